#include <gtest/gtest.h>

#include <random>

#include "store/CRC32c.h"
#include "support/TestEnv.h"

namespace treskel {
namespace {

TEST(Crc32, KnownValues) {
    EXPECT_EQ(Crc32("abc", 3), 0x352441C2u);
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32("", 0), 0u);
}

TEST(Crc32, BlockFormEqualsByteSteps) {
    std::mt19937 rng(3);
    std::vector<uint8_t> data(1000);
    for (auto& b : data) b = static_cast<uint8_t>(rng());
    for (size_t offset : {0u, 1u, 3u, 7u}) {
        for (size_t len : {0u, 1u, 7u, 8u, 9u, 63u, 500u}) {
            uint32_t bytewise = Crc32Start;
            for (size_t i = 0; i < len; ++i) bytewise = UpdateCrc32(data[offset + i], bytewise);
            EXPECT_EQ(UpdateCrc32(data.data() + offset, len, Crc32Start), bytewise);
        }
    }
}

TEST(Crc32, FilesEmptyMissingAndAbc) {
    test::TempDir dir;
    test::WriteAll(dir.File("abc"), std::string("abc"));
    test::WriteAll(dir.File("empty"), std::string());
    EXPECT_EQ(FileCrc32(dir.File("abc")), 0x352441C2u);
    EXPECT_EQ(FileCrc32(dir.File("empty")), 0u);
    EXPECT_EQ(FileCrc32(dir.File("missing")), 0xFFFFFFFFu);
    EXPECT_EQ(static_cast<int32_t>(FileCrc32(dir.File("missing"))), -1);
}

}  // namespace
}  // namespace treskel
