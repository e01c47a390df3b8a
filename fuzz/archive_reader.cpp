// The archive scan on any bytes: refused, or every entry inside the data.
#include <cstdint>
#include <cstdlib>

#include "store/TreskelArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace treskel;
    TReadOnlyMemoryStream in(data, static_cast<int64_t>(size));
    TArchiveIndex index;
    try {
        index = ScanArchive(in, "fuzz.tsx");
    } catch (const ETreskelError&) {
        return 0;
    }
    const int64_t n = static_cast<int64_t>(size);
    if (index.TreeSize > 0 && index.TreeOffset + index.TreeSize > n) std::abort();
    for (const TArchiveEntry& e : index.Entries) {
        if (e.Size > 0 && (e.Offset < 0 || e.Offset + e.Size > n)) std::abort();
        // What unpacking would copy: the bytes must be readable.
        if (e.Size > 0) {
            volatile uint8_t sink = data[e.Offset] ^ data[e.Offset + e.Size - 1];
            (void)sink;
        }
    }
    return 0;
}
