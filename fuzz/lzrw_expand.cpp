// Any bytes given to the block expander: "LZRW Error!" or a result that
// fits the block, never a write outside the buffer.  Blocks the expander
// accepts are re-encoded and must expand to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "foundation/qclprocs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace treskel;
    if (size > 0xFFFF) return 0;
    // Exactly sized buffers, so that the sanitizer sees any overrun.
    std::vector<uint8_t> src(data, data + size);
    std::vector<uint8_t> out(kQclLZRWBlock);
    uint16_t n = 0;
    try {
        n = QclLZRWExpand(src.data(), out.data(), static_cast<uint16_t>(size));
    } catch (const Exception&) {
        return 0;
    }
    if (n > kQclLZRWBlock) std::abort();
    std::vector<uint8_t> block(n + 6u), back(kQclLZRWBlock);
    const uint16_t len = QclLZRWCompress(out.data(), block.data(), n);
    if (len > n + 1u) std::abort();
    if (QclLZRWExpand(block.data(), back.data(), len) != n || std::memcmp(back.data(), out.data(), n) != 0)
        std::abort();
    return 0;
}
