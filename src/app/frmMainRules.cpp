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
            PictureRtfBytes(picture), std::nullopt};
}

TPictureCost MetafileCost(int64_t bytes) {
    return {"picture", "It is a metafile of " + Megabytes(bytes), HexRtfBytes(bytes), std::nullopt};
}

TPictureCost RichTextCost(int64_t bytes) {
    return {"rich text", "It is rich text of " + Megabytes(bytes), 2 * bytes + bytes / 16 + kRtfExtra, std::nullopt};
}

TPictureCost RichTextCost(int64_t bytes, const TRtfShape& shape) {
    TPictureCost cost = RichTextCost(bytes);
    cost.Shape = shape;
    return cost;
}

TPictureCost TextCost(int64_t bytes, const TRtfShape& shape) {
    return {"text", "It is text of " + Megabytes(bytes), 0, shape};
}

std::string ControlProblem(const TPictureCost& cost) {
    if (!cost.Shape) return std::string();
    if (cost.Shape->Depth > kRichEditDepth)
        return cost.What + " whose groups nest " + Thousands(cost.Shape->Depth) +
               " deep; the editor takes groups at most " + IntToStr(kRichEditDepth) + " deep.";
    return RichEditRoomProblem(*cost.Shape, cost.What + " in");
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

void TNoteBound::Counted(int64_t bytes) {
    bound_ = bytes;
    exact_ = true;
}

void TNoteBound::Read(int64_t bytes, bool sameWriter) {
    bound_.reset();
    if (sameWriter) bound_ = bytes + bytes / 64 + 4096;
    exact_ = false;
}

void TNoteBound::Expect(int64_t bytes) {
    expected_ = bytes;
    charged_ = false;
}

void TNoteBound::Changed() {
    if (!expected_) {
        bound_.reset();
        return;
    }
    if (!charged_ && bound_) *bound_ += *expected_;
    charged_ = true;
    exact_ = false;
}

int64_t TNoteBound::Holds(const std::function<int64_t()>& count) {
    if (!bound_) Counted(count());
    return *bound_;
}

std::string TNoteBound::RoomFor(const TPictureCost& cost, const std::function<int64_t()>& count) {
    std::string problem = RoomProblem(cost, Holds(count));
    if (problem.empty() || exact_) return problem;
    Counted(count());
    return RoomProblem(cost, *bound_);
}

std::string RtfGenerator(std::string_view rtf) {
    // It stands in the header, after the font and colour tables.
    constexpr std::string_view tag = "{\\*\\generator ";
    const size_t at = rtf.substr(0, 65536).find(tag);
    if (at == std::string_view::npos) return std::string();
    const size_t from = at + tag.size(), end = rtf.find('}', from);
    if (end == std::string_view::npos) return std::string();
    std::string_view name = rtf.substr(from, end - from);
    if (!name.empty() && name.back() == ';') name.remove_suffix(1);
    return std::string(name);
}

}  // namespace treskel
