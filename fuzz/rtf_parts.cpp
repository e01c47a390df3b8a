// Cutting any bytes into parts: the note itself when it stays one part;
// otherwise parts in order, each its own stretch of the note closed by a
// brace, and no more characters counted than the note has bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "preview/RtfParts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using treskel::preview::TRtfParts;
    const std::string note(reinterpret_cast<const char*>(data), size);
    for (size_t partChars : {size_t{1}, size_t{16}}) {
        TRtfParts parts(note, partChars);
        if (parts.Count() == 0) std::abort();
        if (parts.Count() == 1 && parts.Part(0) != note) std::abort();
        uint64_t chars = 0;
        for (size_t k = 0; k < parts.Count(); ++k) {
            if (k > 0 && parts.Begin(k) <= parts.Begin(k - 1)) std::abort();
            const std::string part = parts.Part(k);
            if (parts.Count() > 1 && parts.IsRtf() && (part.front() != '{' || part.back() != '}')) std::abort();
            chars += parts.Size(k).chars;
        }
        if (chars > size) std::abort();
    }
    return 0;
}
