// Langs: code pages of locales and the conversions between single-byte
// text in a code page and wide text.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "richedit/WStrList.h"

namespace treskel {

// The default ANSI code page of a locale; the system's when the locale
// does not give a number.
UINT CodePageFromLocale(LCID locale);
// The character set of a locale's code page.
BYTE CharSetFromLocale(LCID locale);
std::wstring AnsiToWide(std::string_view text, UINT codePage);
std::string WideToAnsi(std::wstring_view text, UINT codePage);

// Copies the single-byte form of `text` into `dest`, which holds
// `capacity` bytes, whole characters only; with `terminate` a zero byte
// follows within the capacity.  Returns the bytes written before the zero.
int CopyWideAsAnsi(std::wstring_view text, UINT codePage, char* dest, int capacity, bool terminate);

// An address in single-byte form: characters the code page lacks are
// percent-encoded as UTF-8, so nothing is turned into '?'.
std::string AddressToAnsi(std::wstring_view address, UINT codePage);

}  // namespace treskel
