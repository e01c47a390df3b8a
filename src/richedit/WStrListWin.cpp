// Locale services of the wide string list on Windows.
#include <windows.h>

#include <cstdlib>

#include "richedit/WStrList.h"

namespace treskel {

namespace {
bool IsNtPlatform() {
    static const bool nt = [] {
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof info;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
        if (!GetVersionExA(&info)) return true;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
        return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
    }();
    return nt;
}

UINT LocaleCodePage(TLanguage language) {
    char buf[6] = {};
    if (GetLocaleInfoA(language, LOCALE_IDEFAULTANSICODEPAGE, buf, sizeof buf) > 0) {
        char* end = nullptr;
        unsigned long cp = strtoul(buf, &end, 10);
        if (end != buf && *end == '\0') return static_cast<UINT>(cp);
    }
    return GetACP();
}

std::string Narrow(const std::wstring& s, UINT codePage) {
    if (s.empty()) return std::string();
    int n = WideCharToMultiByte(codePage, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string r(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(codePage, 0, s.c_str(), static_cast<int>(s.size()), r.data(), n, nullptr, nullptr);
    return r;
}
}  // namespace

TLanguage UserDefaultLanguage() { return static_cast<TLanguage>(GetUserDefaultLCID()); }

int CompareWideText(TLanguage language, const std::wstring& a, const std::wstring& b) {
    int r;
    if (IsNtPlatform()) {
        r = CompareStringW(language, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                           static_cast<int>(b.size()));
    } else {
        UINT cp = LocaleCodePage(language);
        std::string x = Narrow(a, cp), y = Narrow(b, cp);
        r = CompareStringA(language, NORM_IGNORECASE, x.c_str(), static_cast<int>(x.size()), y.c_str(),
                           static_cast<int>(y.size()));
    }
    return r == 0 ? (a == b ? 0 : (a < b ? -1 : 1)) : r - 2;
}

std::wstring WidenDefault(std::string_view s) {
    if (s.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

}  // namespace treskel
