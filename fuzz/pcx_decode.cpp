// Any bytes given to the PCX decoder: it decodes them or refuses them with
// its exception, and never reads or writes outside what it was given.
#include <cstdint>
#include <vector>

#include "pictlib/PcxDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace treskel;
    std::vector<uint8_t> copy(data, data + size);  // exact size for the sanitizer
    TRasterImage image;
    try {
        PcxDecode(copy.data(), copy.size(), image);
    } catch (const EPictureFile&) {
        return 0;
    }
    if (image.Pixels.size() != image.Stride() * static_cast<size_t>(image.Height)) __builtin_trap();
    return 0;
}
