// Locale services of the wide string list for the native build: US English,
// case folding of the C library, code page 1252 widening.
#include <cwctype>

#include "richedit/WStrList.h"

namespace treskel {

TLanguage UserDefaultLanguage() { return 0x0409; }

int CompareWideText(TLanguage, const std::wstring& a, const std::wstring& b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        auto x = std::towlower(static_cast<wint_t>(a[i]));
        auto y = std::towlower(static_cast<wint_t>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::wstring WidenDefault(std::string_view s) {
    // Code page 1252: Latin-1 with the 0x80-0x9F block of typographic signs.
    static const char16_t high[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                      0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    std::wstring w;
    w.reserve(s.size());
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        w.push_back(c >= 0x80 && c < 0xA0 ? static_cast<wchar_t>(high[c - 0x80]) : static_cast<wchar_t>(c));
    }
    return w;
}

}  // namespace treskel
