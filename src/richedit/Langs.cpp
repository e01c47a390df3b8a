#include "richedit/Langs.h"

#include <cstdlib>
#include <cstring>

#include "platform/Controls.h"
#include "platform/SysUtils.h"
#include "richedit/RichEdit2Rules.h"

namespace treskel {

UINT CodePageFromLocale(LCID locale) {
    char buf[6] = {};
    if (GetLocaleInfoA(locale & 0xFFFF, LOCALE_IDEFAULTANSICODEPAGE, buf, sizeof buf) > 0) {
        char* end = nullptr;
        unsigned long cp = std::strtoul(buf, &end, 10);
        if (end != buf && *end == '\0') return static_cast<UINT>(cp);
    }
    return GetACP();
}

BYTE CharSetFromLocale(LCID locale) {
    CHARSETINFO info{};
    UINT_PTR cp = CodePageFromLocale(locale);
    if (!TranslateCharsetInfo(reinterpret_cast<DWORD*>(cp), &info, TCI_SRCCODEPAGE)) return DEFAULT_CHARSET;
    return static_cast<BYTE>(info.ciCharset);
}

std::wstring AnsiToWide(std::string_view text, UINT codePage) {
    if (text.empty()) return std::wstring();
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), w.data(), n);
    return w;
}

std::string WideToAnsi(std::wstring_view text, UINT codePage) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), s.data(), n, nullptr, nullptr);
    return s;
}

int CopyWideAsAnsi(std::wstring_view text, UINT codePage, char* dest, int capacity, bool terminate) {
    if (dest == nullptr || capacity <= 0) return 0;
    size_t room = static_cast<size_t>(capacity) - (terminate ? 1 : 0);
    size_t units = FitWidePrefix(text, room, [codePage](std::wstring_view s) { return WideToAnsi(s, codePage).size(); });
    std::string bytes = WideToAnsi(text.substr(0, units), codePage);
    std::memcpy(dest, bytes.data(), bytes.size());
    if (terminate) dest[bytes.size()] = '\0';
    return static_cast<int>(bytes.size());
}

std::string AddressToAnsi(std::wstring_view address, UINT codePage) {
    // UTF-8 and UTF-7 lack nothing.
    const bool utf = codePage == CP_UTF8 || codePage == CP_UTF7;
    std::string r;
    for (size_t i = 0, n = 1; i < address.size(); i += n) {
        const char32_t cp = CodePointAt(address, i, &n);
        const std::string bytes = utf ? WideToAnsi(address.substr(i, n), codePage) : ExactBytesInCodePage(cp, codePage);
        r += bytes.empty() ? PercentEncodeUtf8(cp) : bytes;
    }
    return r;
}

}  // namespace treskel
