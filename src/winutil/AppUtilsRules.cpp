#include "winutil/AppUtilsRules.h"

#include <utility>

#include "platform/SysUtils.h"

namespace treskel {

std::function<std::string()> DefaultIniNameHook;
std::string DefaultRegistrySubKey;
bool DefaultRegistryUseTitle = false;

namespace {
// The start (0-based) and length of the n-th word; npos when there are fewer.
std::pair<size_t, size_t> FindWord(int n, const std::string& s, const std::string& delimiters) {
    size_t pos = 0;
    for (int i = 1;; ++i) {
        pos = s.find_first_not_of(delimiters, pos);
        if (pos == std::string::npos || n < 1) return {std::string::npos, 0};
        size_t end = s.find_first_of(delimiters, pos);
        if (end == std::string::npos) end = s.size();
        if (i == n) return {pos, end - pos};
        pos = end;
    }
}
}  // namespace

std::string NthWord(int n, const std::string& s, const std::string& delimiters) {
    auto [pos, length] = FindWord(n, s, delimiters);
    return pos == std::string::npos ? std::string() : s.substr(pos, length);
}

int NthWordPos(int n, const std::string& s, const std::string& delimiters) {
    size_t pos = FindWord(n, s, delimiters).first;
    return pos == std::string::npos ? 0 : static_cast<int>(pos) + 1;
}

std::string IniFileNameFor(const std::string& programPath) {
    if (DefaultIniNameHook) return DefaultIniNameHook();
    return ChangeFileExt(ExtractFileName(programPath), ".INI");
}

std::string RegistryKeyFor(const std::string& programPath, const std::string& title) {
    std::string name = DefaultRegistryUseTitle && !title.empty() ? title
                                                                 : ChangeFileExt(ExtractFileName(programPath), "");
    if (!DefaultRegistrySubKey.empty()) name = DefaultRegistrySubKey + "\\" + name;
    return "Software\\" + name;
}

}  // namespace treskel
