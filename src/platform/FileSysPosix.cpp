// The native build's file layer: POSIX calls, '\' in names taken as '/'.
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/FileSys.h"
#include "platform/SysUtils.h"

namespace treskel {

namespace {
thread_local int lastError = 0;

std::string Native(const std::string& name) {
    std::string r = name;
    std::replace(r.begin(), r.end(), '\\', '/');
    return r;
}

bool Fail() {
    lastError = errno;
    return false;
}
}  // namespace

OsFile OsFile::Open(const std::string& name, uint16_t mode, std::string* error) {
    int flags;
    if (mode == fmCreate)
        flags = O_RDWR | O_CREAT | O_TRUNC;
    else if ((mode & 3) == fmOpenWrite)
        flags = O_WRONLY;
    else if ((mode & 3) == fmOpenReadWrite)
        flags = O_RDWR;
    else
        flags = O_RDONLY;
    OsFile f;
    std::string n = Native(name);
    struct stat st;
    if (::stat(n.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        errno = EISDIR;
    } else {
        int fd = ::open(n.c_str(), flags | O_CLOEXEC, 0644);
        if (fd >= 0) {
            f.handle_ = fd;
            return f;
        }
    }
    lastError = errno;
    if (error != nullptr) *error = std::strerror(errno);
    return f;
}

int64_t OsFile::ReadAt(void* buffer, int64_t count, int64_t offset) {
    ssize_t n;
    do {
        n = ::pread(static_cast<int>(handle_), buffer, static_cast<size_t>(count), static_cast<off_t>(offset));
    } while (n < 0 && errno == EINTR);
    if (n < 0) lastError = errno;
    return n;
}

int64_t OsFile::Read(void* buffer, int64_t count) {
    int64_t done = 0;
    auto* p = static_cast<char*>(buffer);
    while (done < count) {
        ssize_t n = ::read(static_cast<int>(handle_), p + done, static_cast<size_t>(count - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            lastError = errno;
            return done > 0 ? done : -1;
        }
        if (n == 0) break;
        done += n;
    }
    return done;
}

int64_t OsFile::Write(const void* buffer, int64_t count) {
    int64_t done = 0;
    auto* p = static_cast<const char*>(buffer);
    while (done < count) {
        ssize_t n = ::write(static_cast<int>(handle_), p + done, static_cast<size_t>(count - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            lastError = errno;
            return done > 0 ? done : -1;
        }
        done += n;
    }
    return done;
}

int64_t OsFile::Seek(int64_t offset, int origin) {
    int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(static_cast<int>(handle_), static_cast<off_t>(offset), whence);
    if (r < 0) lastError = errno;
    return r;
}

bool OsFile::SetSize(int64_t size) {
    return ::ftruncate(static_cast<int>(handle_), static_cast<off_t>(size)) == 0 || Fail();
}

bool OsFile::Flush() { return ::fsync(static_cast<int>(handle_)) == 0 || Fail(); }

void OsFile::Close() {
    if (handle_ != kInvalid) {
        ::close(static_cast<int>(handle_));
        handle_ = kInvalid;
    }
}

bool FileExists(const std::string& name) {
    struct stat st;
    return ::stat(Native(name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& name) {
    struct stat st;
    return ::stat(Native(name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const std::string& name) { return ::mkdir(Native(name).c_str(), 0755) == 0 || Fail(); }
bool RemoveDir(const std::string& name) { return ::rmdir(Native(name).c_str()) == 0 || Fail(); }

TFileView::TFileView(const std::string& name) {
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
        void* p = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (p != MAP_FAILED) {
            data_ = static_cast<const uint8_t*>(p);
            size_ = st.st_size;
        }
    }
    ::close(fd);
}

TFileView::~TFileView() {
    if (data_ != nullptr) ::munmap(const_cast<uint8_t*>(data_), static_cast<size_t>(size_));
}

bool DeleteFile(const std::string& name) {
    if (DirectoryExists(name)) {
        errno = EISDIR;
        return Fail();
    }
    return ::unlink(Native(name).c_str()) == 0 || Fail();
}

bool RenameFile(const std::string& oldName, const std::string& newName) {
    struct stat st;
    if (::stat(Native(newName).c_str(), &st) == 0) {
        errno = EEXIST;
        return Fail();
    }
    return ::rename(Native(oldName).c_str(), Native(newName).c_str()) == 0 || Fail();
}

bool ReplaceFile(const std::string& source, const std::string& dest) {
    return ::rename(Native(source).c_str(), Native(dest).c_str()) == 0 || Fail();
}

int64_t FileSizeOf(const std::string& name) {
    struct stat st;
    if (::stat(Native(name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return st.st_size;
}

std::vector<TSearchRec> FindFiles(const std::string& mask) {
    std::vector<TSearchRec> result;
    std::string m = Native(mask);
    size_t p = m.find_last_of('/');
    std::string dir = p == std::string::npos ? "." : m.substr(0, p);
    std::string pattern = p == std::string::npos ? m : m.substr(p + 1);
    if (dir.empty()) dir = "/";
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return result;
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        if (!MatchesMask(name, pattern)) continue;
        struct stat st;
        if (::stat((dir + "/" + name).c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) continue;
        // Seconds from 1601 to 1970: 369 years with 89 leap days.
        constexpr int64_t kEpoch = 11644473600;
        result.push_back({name, static_cast<int64_t>(st.st_size), false,
                          (static_cast<int64_t>(st.st_mtim.tv_sec) + kEpoch) * 10000000 + st.st_mtim.tv_nsec / 100});
    }
    ::closedir(d);
    std::sort(result.begin(), result.end(), [](const TSearchRec& a, const TSearchRec& b) { return AnsiCompareText(a.Name, b.Name) < 0; });
    return result;
}

std::string LastFileError() { return std::strerror(lastError); }

std::string TempDirectory() {
    const char* t = std::getenv("TMPDIR");
    std::string d = t != nullptr && *t != '\0' ? t : "/tmp";
    if (d.back() != '/') d += '/';
    return d;
}

}  // namespace treskel
