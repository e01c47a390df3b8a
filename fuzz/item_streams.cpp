// Any bytes read as list items (string lists and waves, plain and
// compressed) and as the items' own fields: an error or an item that
// writes itself back and reads back equal, never a crash or an overrun.
#include <cstdint>
#include <cstdlib>

#include "foundation/qclcont.h"
#include "foundation/qclprocs.h"

namespace {

using namespace treskel;

template <class Item>
void Try(const uint8_t* data, size_t size) {
    TReadOnlyMemoryStream in(data, static_cast<int64_t>(size));
    Item item(nullptr);
    try {
        item.LoadFromStream(in);
    } catch (const Exception&) {
        return;
    }
    TMemoryStream again;
    item.SaveToStream(again);
    again.SetPosition(0);
    Item copy(nullptr);
    copy.LoadFromStream(again);
    if (copy.Description() != item.Description() || copy.Ident() != item.Ident() ||
        copy.GetFlags() != item.GetFlags())
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Try<TQclStringListItem>(data, size);
    Try<TQclWaveListItem>(data, size);
    for (bool compressed : {false, true}) {
        TReadOnlyMemoryStream in(data, static_cast<int64_t>(size));
        TMemoryStream bytes;
        try {
            QclReadItemData(in, bytes, compressed);
            QclReadShortString(in);
        } catch (const Exception&) {
        }
    }
    return 0;
}
