#include "platform/FileSys.h"

#include <cctype>

#include "platform/SysUtils.h"

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

bool IsDeviceName(const std::string& name) {
    std::string base = UpperCase(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$", "CONOUT$"};
    for (const char* d : devices)
        if (base == d) return true;
    // The system also reads the superscript digits 1 to 3 (code page 1252)
    // as port numbers.
    if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0)) {
        const unsigned char digit = static_cast<unsigned char>(base[3]);
        return (digit >= '0' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    }
    return false;
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
