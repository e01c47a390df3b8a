#include "platform/FileCtrlRules.h"

#include <algorithm>

#include "platform/SysUtils.h"

namespace treskel {

namespace {
bool IsSeparator(char c) { return c == '\\' || c == '/'; }
}  // namespace

std::vector<std::string> SplitDirectoryPath(const std::string& dir) {
    std::vector<std::string> parts;
    size_t i = 0;
    if (dir.size() >= 2 && dir[1] == ':') {
        parts.push_back(dir.substr(0, 2) + "\\");
        i = 2;
    }
    std::string part;
    for (; i <= dir.size(); ++i) {
        if (i == dir.size() || IsSeparator(dir[i])) {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += dir[i];
        }
    }
    return parts;
}

std::vector<TDirEntry> DirectoryEntries(const std::string& dir, std::vector<std::string> subFolders) {
    std::vector<TDirEntry> entries;
    std::vector<std::string> path = SplitDirectoryPath(dir);
    for (size_t i = 0; i < path.size(); ++i) entries.push_back({path[i], static_cast<int>(i), true});
    std::erase_if(subFolders, [](const std::string& s) { return s.empty() || s == "." || s == ".."; });
    std::sort(subFolders.begin(), subFolders.end(),
              [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    const int level = static_cast<int>(path.size());
    for (const std::string& s : subFolders) entries.push_back({s, level, false});
    return entries;
}

std::string DirectoryEntryPath(const std::vector<TDirEntry>& entries, int index) {
    if (index < 0 || index >= static_cast<int>(entries.size())) return {};
    std::string path;
    auto add = [&path](const std::string& name) {
        if (!path.empty() && !IsSeparator(path.back())) path += '\\';
        path += name;
    };
    const TDirEntry& target = entries[static_cast<size_t>(index)];
    for (int i = 0; i < index; ++i) {
        const TDirEntry& e = entries[static_cast<size_t>(i)];
        if (e.open && e.level < target.level) add(e.name);
    }
    add(target.name);
    return path;
}

int CurrentDirectoryEntry(const std::vector<TDirEntry>& entries) {
    int current = -1;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].open) current = static_cast<int>(i);
    return current;
}

}  // namespace treskel
