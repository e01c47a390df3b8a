// Cross-check with an archiver nobody here wrote: every stream the coder
// makes, wrapped in a level-0 LHA header, must extract with Debian's lha.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "compress/LH5Control.h"
#include "compress/SampleData.h"
#include "support/TestEnv.h"

namespace treskel {
namespace {

#if defined(_WIN32)
TEST(LH5Lhasa, ArchivesExtractIdentically) { GTEST_SKIP() << "lha runs natively only"; }
#else
uint16_t Crc16(const std::vector<uint8_t>& data) {
    uint16_t crc = 0;
    for (uint8_t b : data) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

// A one-member archive: level-0 header, the bit stream, end mark.
std::vector<uint8_t> LzhArchive(const std::string& name, const std::vector<uint8_t>& original,
                                const std::vector<uint8_t>& lh5) {
    const std::vector<uint8_t> bits(lh5.begin() + 4, lh5.end());
    std::vector<uint8_t> h(22);
    const char method[] = "-lh5-";
    std::copy(method, method + 5, h.begin() + 2);
    PutU32(&h[7], static_cast<uint32_t>(bits.size()));
    PutU32(&h[11], static_cast<uint32_t>(original.size()));
    PutU32(&h[15], 0x5A210000u);  // 2025-01-01 00:00, MS-DOS form
    h[19] = 0x20;
    h[20] = 0;  // header level
    h[21] = static_cast<uint8_t>(name.size());
    h.insert(h.end(), name.begin(), name.end());
    const uint16_t crc = Crc16(original);
    h.push_back(static_cast<uint8_t>(crc));
    h.push_back(static_cast<uint8_t>(crc >> 8));
    h[0] = static_cast<uint8_t>(h.size() - 2);
    uint8_t sum = 0;
    for (size_t i = 2; i < h.size(); ++i) sum = static_cast<uint8_t>(sum + h[i]);
    h[1] = sum;
    h.insert(h.end(), bits.begin(), bits.end());
    h.push_back(0);
    return h;
}

TEST(LH5Lhasa, ArchivesExtractIdentically) {
    if (std::system("command -v lha >/dev/null 2>&1") != 0) GTEST_SKIP() << "lha is not installed";
    test::TempDir dir;
    struct Case {
        std::string name;
        std::vector<uint8_t> data;
    };
    std::vector<Case> cases;
    for (size_t n : {0u, 1u, 2u, 3u, 17u, 8191u, 8192u, 8193u, 16383u, 16384u, 16385u, 1u << 20}) {
        cases.push_back({"text" + std::to_string(n), test::RtfText(n, static_cast<uint32_t>(n))});
        cases.push_back({"random" + std::to_string(n), test::RandomBytes(n, static_cast<uint32_t>(n))});
        cases.push_back({"constant" + std::to_string(n), test::ConstantBytes(n, 'x')});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string archive = dir.File(c.name + ".lzh");
        auto bytes = LzhArchive(c.name, c.data, test::Lh5Compress(c.data));
        test::WriteAll(archive, std::vector<unsigned char>(bytes.begin(), bytes.end()));
        const std::string cmd = "cd '" + dir.Path() + "' && lha xqf '" + c.name + ".lzh' >/dev/null 2>&1";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << "lha refused the archive";
        auto back = test::ReadAll(dir.File(c.name));
        EXPECT_TRUE(std::vector<uint8_t>(back.begin(), back.end()) == c.data) << "lha extracted other bytes";
    }
}
#endif

}  // namespace
}  // namespace treskel
