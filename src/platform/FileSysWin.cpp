// The Windows file layer: the system's ANSI file calls.
#include <windows.h>

#include <algorithm>

#include "platform/FileSys.h"
#include "platform/Handles.h"
#include "platform/SysUtils.h"

namespace treskel {

namespace {
thread_local DWORD lastError = 0;

bool Fail() {
    lastError = GetLastError();
    return false;
}

HANDLE H(intptr_t h) { return reinterpret_cast<HANDLE>(h); }

std::string SystemMessage(DWORD code) {
    char* buf = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<char*>(&buf), 0, nullptr);
    LocalMemory owned(buf);
    std::string s = n != 0 && buf != nullptr ? std::string(buf, n) : Format("System error %lu", code);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ' || s.back() == '.')) s.pop_back();
    return s + ".";
}
}  // namespace

OsFile OsFile::Open(const std::string& name, uint16_t mode, std::string* error) {
    DWORD access, share, disposition;
    if (mode == fmCreate) {
        access = GENERIC_READ | GENERIC_WRITE;
        share = 0;
        disposition = CREATE_ALWAYS;
    } else {
        static const DWORD accessModes[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE, GENERIC_READ};
        static const DWORD shareModes[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE};
        access = accessModes[mode & 3];
        unsigned s = (mode & 0xF0) >> 4;
        share = s < 5 ? shareModes[s] : 0;
        disposition = OPEN_EXISTING;
    }
    OsFile f;
    HANDLE h = CreateFileA(name.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        lastError = GetLastError();
        if (error != nullptr) *error = SystemMessage(lastError);
        return f;
    }
    f.handle_ = reinterpret_cast<intptr_t>(h);
    return f;
}

int64_t OsFile::ReadAt(void* buffer, int64_t count, int64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(H(handle_), buffer, static_cast<DWORD>(std::min<int64_t>(count, 1 << 30)), &got, &at)) {
        lastError = GetLastError();
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    }
    return got;
}

int64_t OsFile::Read(void* buffer, int64_t count) {
    int64_t done = 0;
    auto* p = static_cast<char*>(buffer);
    while (done < count) {
        DWORD chunk = static_cast<DWORD>(std::min<int64_t>(count - done, 1 << 30));
        DWORD got = 0;
        if (!ReadFile(H(handle_), p + done, chunk, &got, nullptr)) {
            lastError = GetLastError();
            return done > 0 ? done : -1;
        }
        if (got == 0) break;
        done += got;
    }
    return done;
}

int64_t OsFile::Write(const void* buffer, int64_t count) {
    int64_t done = 0;
    auto* p = static_cast<const char*>(buffer);
    while (done < count) {
        DWORD chunk = static_cast<DWORD>(std::min<int64_t>(count - done, 1 << 30));
        DWORD put = 0;
        if (!WriteFile(H(handle_), p + done, chunk, &put, nullptr)) {
            lastError = GetLastError();
            return done > 0 ? done : -1;
        }
        if (put == 0) break;
        done += put;
    }
    return done;
}

int64_t OsFile::Seek(int64_t offset, int origin) {
    LARGE_INTEGER d, r;
    d.QuadPart = offset;
    DWORD method = origin == 0 ? FILE_BEGIN : origin == 1 ? FILE_CURRENT : FILE_END;
    if (!SetFilePointerEx(H(handle_), d, &r, method)) {
        lastError = GetLastError();
        return -1;
    }
    return r.QuadPart;
}

bool OsFile::SetSize(int64_t size) {
    LARGE_INTEGER cur{}, zero{}, target;
    if (!SetFilePointerEx(H(handle_), zero, &cur, FILE_CURRENT)) return Fail();
    target.QuadPart = size;
    if (!SetFilePointerEx(H(handle_), target, nullptr, FILE_BEGIN) || !SetEndOfFile(H(handle_))) {
        Fail();
        SetFilePointerEx(H(handle_), cur, nullptr, FILE_BEGIN);
        return false;
    }
    if (cur.QuadPart > size) cur.QuadPart = size;
    SetFilePointerEx(H(handle_), cur, nullptr, FILE_BEGIN);
    return true;
}

bool OsFile::Flush() { return FlushFileBuffers(H(handle_)) || Fail(); }

void OsFile::Close() {
    if (handle_ != kInvalid) {
        KernelHandle closing(H(handle_));
        handle_ = kInvalid;
    }
}

bool FileExists(const std::string& name) {
    DWORD a = GetFileAttributesA(name.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& name) {
    DWORD a = GetFileAttributesA(name.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateDir(const std::string& name) { return CreateDirectoryA(name.c_str(), nullptr) || Fail(); }
bool RemoveDir(const std::string& name) { return RemoveDirectoryA(name.c_str()) || Fail(); }

TFileView::TFileView(const std::string& name) {
    KernelHandle file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (file.Get() == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 ||
        size.QuadPart >= (1LL << 31))
        return;
    // The view keeps the mapping alive.
    KernelHandle mapping(CreateFileMappingA(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (mapping.Get() == nullptr) return;
    if (void* p = MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0)) {
        data_ = static_cast<const uint8_t*>(p);
        size_ = size.QuadPart;
    }
}

TFileView::~TFileView() {
    if (data_ != nullptr) UnmapViewOfFile(data_);
}

bool DeleteFile(const std::string& name) { return DeleteFileA(name.c_str()) || Fail(); }
bool RenameFile(const std::string& oldName, const std::string& newName) {
    // Without leave to copy: a move to another volume fails rather than
    // leaving the file under both names for a while.
    return MoveFileExA(oldName.c_str(), newName.c_str(), 0) || Fail();
}
bool ReplaceFile(const std::string& source, const std::string& dest) {
    return MoveFileExA(source.c_str(), dest.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) || Fail();
}

int64_t FileSizeOf(const std::string& name) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &d) || (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return (static_cast<int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

std::vector<TSearchRec> FindFiles(const std::string& mask) {
    std::vector<TSearchRec> result;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(mask.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return result;
    std::string pattern = ExtractFileName(mask);
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        // The system also matches short 8.3 names; keep what the long name matches.
        if (!MatchesMask(fd.cFileName, pattern)) continue;
        result.push_back({fd.cFileName, (static_cast<int64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow, false,
                          static_cast<int64_t>((static_cast<uint64_t>(fd.ftLastWriteTime.dwHighDateTime) << 32) |
                                               fd.ftLastWriteTime.dwLowDateTime)});
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(result.begin(), result.end(),
              [](const TSearchRec& a, const TSearchRec& b) { return AnsiCompareText(a.Name, b.Name) < 0; });
    return result;
}

std::string LastFileError() { return SystemMessage(lastError); }

std::string TempDirectory() {
    char buf[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof buf, buf);
    if (n == 0 || n > MAX_PATH) return "C:\\";
    return IncludeTrailingBackslash(std::string(buf, n));
}

}  // namespace treskel
