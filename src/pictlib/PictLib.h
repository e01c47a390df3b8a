// PictLib.dll, the program's picture loader, as the program calls it: the
// library is loaded on first use from beside the program.
//   HBITMAP WINAPI PictLibLoad(const char* fileName, int reserved)
//     the decoded picture as a bitmap (the caller owns it), or null;
//   const char* WINAPI PictLibLastError()
//     why the last load gave null.
#pragma once

#include <windows.h>

#include <string>

#include "platform/SysUtils.h"

namespace treskel {

using PictLibLoadProc = HBITMAP(WINAPI*)(const char* fileName, int reserved);
using PictLibLastErrorProc = const char*(WINAPI*)();

// Loads a picture file through the library.  Raises EInvalidGraphic with the
// library's reason when it gives no picture, and when the library itself
// cannot be loaded.
HBITMAP PictLibLoad(const std::string& fileName);

}  // namespace treskel
