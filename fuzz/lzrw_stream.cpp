// Any bytes given to the compressed-stream reader: an error or the decoded
// bytes, never a crash, an overrun or a read past the stream.  The input
// is also compressed as data and must come back unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "foundation/qclprocs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace treskel;
    {
        TReadOnlyMemoryStream in(data, static_cast<int64_t>(size));
        TMemoryStream out;
        try {
            QclExpandStream(in, out);
        } catch (const Exception&) {
        }
        if (in.Position() > static_cast<int64_t>(size)) std::abort();
    }
    TReadOnlyMemoryStream plain(data, static_cast<int64_t>(size));
    TMemoryStream packed, back;
    QclCompressStream(plain, packed, static_cast<int>(size));
    packed.SetPosition(0);
    QclExpandStream(packed, back);
    if (back.Size() != static_cast<int64_t>(size) || (size && std::memcmp(back.Memory(), data, size) != 0))
        std::abort();
    return 0;
}
