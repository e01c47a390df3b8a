// Unpacking any bytes: an error or output bounded by the input; and RTF
// that packs must unpack and pack again to the same bytes.
#include <cstdint>
#include <cstdlib>

#include "store/RtfPack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace treskel;
    {
        TReadOnlyMemoryStream in(data, static_cast<int64_t>(size));
        TMemoryStream out;
        try {
            UnpackRtfObjects(in, out);
            if (out.Size() > 3 * static_cast<int64_t>(size) + 16) std::abort();
        } catch (const Exception&) {
        }
    }
    TReadOnlyMemoryStream rtf(data, static_cast<int64_t>(size));
    TMemoryStream packed;
    try {
        PackRtfObjects(rtf, packed);
    } catch (const EConvertError&) {
        return 0;
    }
    packed.SetPosition(0);
    TMemoryStream unpacked;
    UnpackRtfObjects(packed, unpacked);  // must not fail on what packing made
    unpacked.SetPosition(0);
    TMemoryStream repacked;
    PackRtfObjects(unpacked, repacked);
    if (repacked.Bytes() != packed.Bytes()) std::abort();
    return 0;
}
