// The main window's rules that need no window: how much rich text a
// picture takes in a note, and whether the note has room for it.  No
// <windows.h>: tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/RasterImage.h"

namespace treskel {

// The most bytes of rich text that a picture takes in a note once pasted:
// its pixels in a metafile (three bytes each, four for a bitmap of 32 bits),
// each byte written as two hexadecimal digits with line breaks between
// them, and the records and headers around them.
int64_t PictureRtfBytes(const TPictSize& picture);

// What something brought into a note would take in it at most, and how
// the user is told of it.
struct TPictureCost {
    std::string Name;  // "picture", "rich text"
    std::string What;  // "It is 7000 x 7000 pixels"
    int64_t Bytes = 0;
};

// A picture of this size, pasted as Insert Picture pastes it.
TPictureCost PictureCost(const TPictSize& picture);
// A metafile of `bytes`: the note keeps it as it is, in hexadecimal.
TPictureCost MetafileCost(int64_t bytes);
// Rich text of `bytes`: what it says in text the note says again, and the
// pictures in it may come as bytes (\bin), which the note keeps as two
// hexadecimal digits each.
TPictureCost RichTextCost(int64_t bytes);

// The picture a device-independent bitmap's header describes; nothing
// when the header is cut short.
TPictSize DibPictureSize(const uint8_t* dib, size_t size);

// Why what `cost` describes does not fit in a note that holds `noteBytes`
// of rich text already, which could then never be saved; empty when it
// fits.
std::string RoomProblem(const TPictureCost& cost, int64_t noteBytes);
inline std::string PictureRoomProblem(const TPictSize& picture, int64_t noteBytes) {
    return RoomProblem(PictureCost(picture), noteBytes);
}

}  // namespace treskel
