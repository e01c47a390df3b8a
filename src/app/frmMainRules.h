// The main window's rules that need no window: how much rich text a
// picture takes in a note, and whether the note has room for it.  No
// <windows.h>: tested natively.
#pragma once

#include <cstdint>
#include <string>

#include "platform/RasterImage.h"

namespace treskel {

// The most bytes of rich text that a picture takes in a note once pasted:
// its pixels in a metafile (three bytes each, four for a bitmap of 32 bits),
// each byte written as two hexadecimal digits with line breaks between
// them, and the records and headers around them.
int64_t PictureRtfBytes(const TPictSize& picture);

// Why the picture does not fit in a note that holds `noteBytes` of rich
// text already, which could then never be saved; empty when it fits.
std::string PictureRoomProblem(const TPictSize& picture, int64_t noteBytes);

}  // namespace treskel
