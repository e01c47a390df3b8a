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

// Bytes written as two hexadecimal digits each, with a line break of up to
// two characters after every 64 digits, in a picture's group.
int64_t HexRtfBytes(int64_t bytes) { return 2 * bytes + bytes / 16 + kRtfExtra; }

}  // namespace

int64_t PictureRtfBytes(const TPictSize& picture) {
    const int bits = picture.BitCount > 24 ? 32 : 24;
    // A size a damaged header gives may be negative; such a picture is
    // refused as damaged later, and takes nothing here.
    const auto row = static_cast<int64_t>(DibStride(std::max(picture.Width, 0), bits));
    return HexRtfBytes(row * std::max(picture.Height, 0) + kMetafileExtra);
}

TPictureCost PictureCost(const TPictSize& picture) {
    return {"picture", "It is " + IntToStr(picture.Width) + " x " + IntToStr(picture.Height) + " pixels",
            PictureRtfBytes(picture)};
}

TPictureCost MetafileCost(int64_t bytes) {
    return {"picture", "It is a metafile of " + Megabytes(bytes), HexRtfBytes(bytes)};
}

TPictureCost RichTextCost(int64_t bytes) {
    return {"rich text", "It is rich text of " + Megabytes(bytes), 2 * bytes + bytes / 16 + kRtfExtra};
}

TPictSize DibPictureSize(const uint8_t* dib, size_t size) {
    if (size < 12) return {0, 0, 24};
    const uint32_t header = GetU32(dib);
    if (header == 12) return {GetU16(dib + 4), GetU16(dib + 6), GetU16(dib + 10)};
    if (header < 40 || size < 16) return {0, 0, 24};
    const auto height = static_cast<int32_t>(GetU32(dib + 8));
    return {static_cast<int32_t>(GetU32(dib + 4)), height == INT32_MIN ? 0 : std::abs(height), GetU16(dib + 14)};
}

std::string RoomProblem(const TPictureCost& cost, int64_t noteBytes) {
    if (noteBytes + cost.Bytes <= MaxStoredItemSize) return std::string();
    const std::string why = cost.What + ", which would take about " + Megabytes(cost.Bytes) + " in the note; ";
    if (cost.Bytes <= MaxStoredItemSize)
        return why + "the note holds " + Megabytes(noteBytes) + " already, and can hold at most " +
               Megabytes(MaxStoredItemSize) + ". It fits in a note of its own.";
    return why + "a note can hold at most " + Megabytes(MaxStoredItemSize) + ".";
}

}  // namespace treskel
