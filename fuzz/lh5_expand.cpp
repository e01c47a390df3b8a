// Any bytes given to the expander: an error or exactly the stored size,
// never a crash, an overrun or a hang.
#include <cstdint>
#include <cstdlib>

#include "compress/LH5Control.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace treskel;
    TReadOnlyMemoryStream in(data, static_cast<int64_t>(size));
    TMemoryStream out;
    LH5Compression lh5(nullptr);
    lh5.SetUseStreamMode(true);
    lh5.StreamIn = &in;
    lh5.StreamOut = &out;
    try {
        lh5.Expand();
    } catch (const Exception&) {
        return 0;
    }
    if (size >= 4 && out.Size() != GetU32(data)) std::abort();
    if (in.Position() > static_cast<int64_t>(size)) std::abort();
    return 0;
}
