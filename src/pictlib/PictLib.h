// PictLib.dll, the program's picture loader, as the program calls it: the
// library is loaded on first use from beside the program.
//   HBITMAP WINAPI PictLibLoad(const char* fileName, int reserved)
//     the decoded picture as a bitmap (the caller owns it), or null;
//   int WINAPI PictLibPictureSize(const char* fileName, int* width,
//                                 int* height, int* bitCount)
//     nonzero with the picture's size and the bits a pixel of the bitmap
//     that PictLibLoad would give, read from the file's header alone;
//   const char* WINAPI PictLibLastError()
//     why the last call gave null or 0.
#pragma once

#include <windows.h>

#include <string>

#include "platform/RasterImage.h"
#include "platform/SysUtils.h"

namespace treskel {

using PictLibLoadProc = HBITMAP(WINAPI*)(const char* fileName, int reserved);
using PictLibPictureSizeProc = int(WINAPI*)(const char* fileName, int* width, int* height, int* bitCount);
using PictLibLastErrorProc = const char*(WINAPI*)();

// Loads a picture file through the library.  Raises EInvalidGraphic with the
// library's reason when it gives no picture, and when the library itself
// cannot be loaded.
HBITMAP PictLibLoad(const std::string& fileName);
// The size of the picture in a file, measured by the library before it is
// decoded.  Raises EInvalidGraphic as PictLibLoad does.
TPictSize PictLibPictureSize(const std::string& fileName);

}  // namespace treskel
