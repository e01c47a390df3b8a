// Any bytes read as a container file: the header, its offsets and each
// item they point to, and the container stream itself.  An error or items,
// never a crash, an overrun or an allocation the file cannot back.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "foundation/qclcont.h"

namespace {

using namespace treskel;

template <class List>
void Read(TStream& in, bool withOffsets) {
    List list(nullptr);
    try {
        list.LoadFromStream(in, withOffsets);
    } catch (const Exception&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TReadOnlyMemoryStream in(data, static_cast<int64_t>(size));
    int count = 0;
    std::vector<uint32_t> offsets;
    int kind = ckUnknown;
    try {
        kind = QclReadContainerHeader(in, count, &offsets);
    } catch (const Exception&) {
        return 0;
    }
    if (kind == ckUnknown) {
        for (bool withOffsets : {false, true}) {
            in.SetPosition(0);
            Read<TQclStringList>(in, withOffsets);
            in.SetPosition(0);
            Read<TQclWaveList>(in, withOffsets);
        }
        return 0;
    }
    if (count >= 0 && offsets.size() != static_cast<size_t>(count)) std::abort();
    for (int i = 0; i < count && i < 64; ++i) {
        TQclStringListItem strings(nullptr);
        TQclWaveListItem wave(nullptr);
        try {
            QclLoadContainerItem(in, "fuzz", kind, &offsets, strings, i);
        } catch (const Exception&) {
        }
        try {
            QclLoadContainerItem(in, "fuzz", kind, nullptr, wave, i);
        } catch (const Exception&) {
        }
    }
    return 0;
}
