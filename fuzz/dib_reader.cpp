// Any bytes checked as a .bmp file and as a bare DIB: when the checks pass,
// every byte they promise (header, colour table, pixel rows, RLE data) lies
// inside the input, which the walk below touches under the sanitizer.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/DibFormat.h"

namespace {

unsigned Touch(const uint8_t* dib, const treskel::DibLayout& l) {
    unsigned sum = 0;
    for (uint32_t i = 0; i < l.headerSize; ++i) sum += dib[i];
    for (uint32_t i = 0; i < l.tableBytes; ++i) sum += dib[l.headerSize + i];
    for (uint32_t i = 0; i < l.bitsSize; ++i) sum += dib[l.bitsOffset + i];
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace treskel;
    std::vector<uint8_t> copy(data, data + size);  // exact size for the sanitizer
    DibLayout l;
    volatile unsigned sum = 0;
    if (CheckBitmapFile(copy.data(), copy.size(), l)) {
        if (l.imageSize > kDibMaxImage || l.bitsOffset + static_cast<uint64_t>(l.bitsSize) > size - 14) std::abort();
        sum = sum + Touch(copy.data() + 14, l);
    }
    if (CheckDib(copy.data(), copy.size(), 0, l)) sum = sum + Touch(copy.data(), l);
    (void)sum;
    return 0;
}
