#include "platform/FileSys.h"

#include <cctype>

namespace treskel {

OsFile::OsFile(OsFile&& o) noexcept : handle_(o.handle_) { o.handle_ = kInvalid; }

OsFile& OsFile::operator=(OsFile&& o) noexcept {
    if (this != &o) {
        Close();
        handle_ = o.handle_;
        o.handle_ = kInvalid;
    }
    return *this;
}

OsFile::~OsFile() { Close(); }

static bool MatchFrom(const char* n, const char* m) {
    for (;;) {
        if (*m == '\0') return *n == '\0';
        if (*m == '*') {
            while (*m == '*') ++m;
            if (*m == '\0') return true;
            for (; *n != '\0'; ++n)
                if (MatchFrom(n, m)) return true;
            return false;
        }
        if (*n == '\0') return false;
        if (*m != '?' && std::tolower(static_cast<unsigned char>(*m)) != std::tolower(static_cast<unsigned char>(*n)))
            return false;
        ++m;
        ++n;
    }
}

bool MatchesMask(const std::string& name, const std::string& mask) {
    // "*.*" matches names without a dot too, as the system's search does.
    if (mask == "*.*") return true;
    return MatchFrom(name.c_str(), mask.c_str());
}

bool ForceDirectories(const std::string& name) {
    std::string dir = name;
    while (!dir.empty() && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
    if (dir.empty() || DirectoryExists(dir)) return true;
    size_t p = dir.find_last_of("\\/");
    if (p != std::string::npos && p > 0 && dir[p - 1] != ':') {
        if (!ForceDirectories(dir.substr(0, p))) return false;
    }
    return CreateDir(dir) || DirectoryExists(dir);
}

}  // namespace treskel
