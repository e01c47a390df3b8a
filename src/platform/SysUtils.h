// Exceptions and the small string, number and path procedures every unit uses.
// No <windows.h>: this builds natively too.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace treskel {

// Root of every error the program raises.  The message is the text shown in
// the application's error box.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const { return message_; }
    void SetMessage(std::string m) { message_ = std::move(m); }
    int HelpContext = 0;

private:
    std::string message_;
};

#define TRESKEL_EXCEPTION(Name, Base)                       \
    class Name : public Base {                              \
    public:                                                 \
        using Base::Base;                                   \
    }

// What the user is told of a failure: the program's own message, and for a
// failure of the language's library (memory, and the rest) words of ours,
// never the library's name for it.
std::string ExceptionMessage(const std::exception& e);

// Silent exception: unwinds to the message loop without showing a box.
TRESKEL_EXCEPTION(EAbort, Exception);
TRESKEL_EXCEPTION(EConvertError, Exception);
TRESKEL_EXCEPTION(EStreamError, Exception);
TRESKEL_EXCEPTION(EReadError, EStreamError);
TRESKEL_EXCEPTION(EWriteError, EStreamError);
TRESKEL_EXCEPTION(EFOpenError, EStreamError);
TRESKEL_EXCEPTION(EFCreateError, EStreamError);
TRESKEL_EXCEPTION(EInOutError, Exception);
TRESKEL_EXCEPTION(EListError, Exception);
TRESKEL_EXCEPTION(EStringListError, Exception);
TRESKEL_EXCEPTION(EOutOfResources, Exception);
TRESKEL_EXCEPTION(EOutOfMemory, Exception);
TRESKEL_EXCEPTION(EInvalidOperation, Exception);
TRESKEL_EXCEPTION(EInvalidPointer, Exception);
TRESKEL_EXCEPTION(EComponentError, Exception);
TRESKEL_EXCEPTION(EClassNotFound, Exception);
TRESKEL_EXCEPTION(EPropertyError, Exception);
TRESKEL_EXCEPTION(EInvalidGraphic, Exception);
TRESKEL_EXCEPTION(EInvalidGraphicOperation, Exception);
TRESKEL_EXCEPTION(EResNotFound, Exception);
TRESKEL_EXCEPTION(EPrinter, Exception);
TRESKEL_EXCEPTION(EOSError, Exception);
TRESKEL_EXCEPTION(ERegistryException, Exception);
TRESKEL_EXCEPTION(EIniFileException, Exception);
TRESKEL_EXCEPTION(EMenuError, Exception);
TRESKEL_EXCEPTION(EActionError, Exception);

// Raises EAbort: ends the current operation without an error box.
[[noreturn]] void Abort();

// printf-style formatting into a std::string.
std::string Format(const char* fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Numbers.
std::string IntToStr(int64_t value);
// A number with its thousands apart: "1,200,000" (or with `separator`).
std::string Thousands(int64_t value, std::string_view separator = ",");
std::string IntToHex(uint64_t value, int digits);
int StrToInt(std::string_view s);              // raises EConvertError
int StrToIntDef(std::string_view s, int def);
bool TryStrToInt(std::string_view s, int& value);  // decimal, or hex with '$' or "0x"
bool TryStrToInt64(std::string_view s, int64_t& value);

// Strings (single-byte, code page 1252 where letters matter).
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string UpperCase(std::string_view s);  // ASCII letters only
std::string LowerCase(std::string_view s);
std::string AnsiUpperCase(std::string_view s);  // letters of code page 1252
std::string AnsiLowerCase(std::string_view s);
int CompareText(std::string_view a, std::string_view b);  // ASCII case-insensitive
bool SameText(std::string_view a, std::string_view b);
int AnsiCompareText(std::string_view a, std::string_view b);
int AnsiCompareStr(std::string_view a, std::string_view b);
std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to);
std::string QuotedStr(std::string_view s);  // 'it''s'
// Whether `key` is the accelerator of a caption: the letter after its
// first single "&" ("&&" shows one ampersand), in any letter case.
bool IsAccel(char key, std::string_view caption);
std::vector<std::string> SplitString(std::string_view s, char sep);
// The character at `i` of wide text and in `units` the units it takes: a
// surrogate pair is one character of two, a lone surrogate stands as it is.
char32_t CodePointAt(std::wstring_view text, size_t i, size_t* units = nullptr);

// Paths are Windows style ('\' separators, drive letters) everywhere; the
// native build's file layer maps '\' to '/' so that tests run on the build host.
std::string IncludeTrailingBackslash(std::string_view path);
std::string ExcludeTrailingBackslash(std::string_view path);
std::string ExtractFilePath(std::string_view name);   // up to and including the last '\' or ':'
std::string ExtractFileDir(std::string_view name);    // the same without the trailing '\'
std::string ExtractFileName(std::string_view name);
std::string ExtractFileExt(std::string_view name);    // with the dot
std::string ChangeFileExt(std::string_view name, std::string_view ext);


}  // namespace treskel
