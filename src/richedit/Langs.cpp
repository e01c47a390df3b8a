#include "richedit/Langs.h"

#include <cstdlib>
#include <cstring>

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

std::string ExactBytesInCodePage(char32_t c, unsigned codePage) {
    if (c > 0xFFFF || (c >= 0xD800 && c < 0xE000)) return std::string();
    const auto w = static_cast<wchar_t>(c);
    char bytes[4];
    int n = WideCharToMultiByte(codePage, 0, &w, 1, bytes, sizeof bytes, nullptr, nullptr);
    wchar_t back[2];
    if (n <= 0 || MultiByteToWideChar(codePage, 0, bytes, n, back, 2) != 1 || back[0] != w) return std::string();
    return std::string(bytes, static_cast<size_t>(n));
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
    std::string r;
    for (size_t i = 0; i < address.size(); ++i) {
        size_t n = 1;
        char32_t cp = address[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < address.size() && address[i + 1] >= 0xDC00 && address[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (address[i + 1] - 0xDC00);
            n = 2;
        }
        // UTF-8 and UTF-7 lack nothing (and take no default character).
        bool utf = codePage == CP_UTF8 || codePage == CP_UTF7;
        BOOL usedDefault = FALSE;
        char buf[8];
        int k = WideCharToMultiByte(codePage, utf ? 0 : WC_NO_BEST_FIT_CHARS, address.data() + i, static_cast<int>(n),
                                    buf, sizeof buf, nullptr, utf ? nullptr : &usedDefault);
        if (k > 0 && !usedDefault)
            r.append(buf, static_cast<size_t>(k));
        else
            r += PercentEncodeUtf8(cp);
        i += n - 1;
    }
    return r;
}

}  // namespace treskel
