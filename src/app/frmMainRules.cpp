#include "app/frmMainRules.h"

#include <algorithm>

#include "platform/DibFormat.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"

namespace treskel {

namespace {

// The metafile's header and records, a colour table, and the picture's
// group around its digits.
constexpr int64_t kMetafileExtra = 4096;
constexpr int64_t kRtfExtra = 1024;

std::string Megabytes(int64_t bytes) {
    const int64_t mb = (bytes + (1 << 19)) >> 20;
    return IntToStr(mb > 0 ? mb : 1) + " MB";
}

}  // namespace

int64_t PictureRtfBytes(const TPictSize& picture) {
    const int bits = picture.BitCount > 24 ? 32 : 24;
    // A size a damaged header gives may be negative; such a picture is
    // refused as damaged later, and takes nothing here.
    const auto row = static_cast<int64_t>(DibStride(std::max(picture.Width, 0), bits));
    const int64_t metafile = row * std::max(picture.Height, 0) + kMetafileExtra;
    // Two digits a byte, and a line break of up to two characters after
    // every 64 digits.
    return 2 * metafile + metafile / 16 + kRtfExtra;
}

std::string PictureRoomProblem(const TPictSize& picture, int64_t noteBytes) {
    const int64_t takes = PictureRtfBytes(picture);
    if (noteBytes + takes <= MaxStoredItemSize) return std::string();
    std::string why = "It is " + IntToStr(picture.Width) + " x " + IntToStr(picture.Height) +
                      " pixels, which would take about " + Megabytes(takes) + " in the note; ";
    if (takes <= MaxStoredItemSize)
        return why + "the note holds " + Megabytes(noteBytes) + " already, and can hold at most " +
               Megabytes(MaxStoredItemSize) + ". It fits in a note of its own.";
    return why + "a note can hold at most " + Megabytes(MaxStoredItemSize) + ".";
}

}  // namespace treskel
