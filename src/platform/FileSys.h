// Files and directories.  One interface; a Win32 half and a POSIX half
// (the native build, where '\' in a name is taken as '/').
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The system's header names its own DeleteFile and ReplaceFile; ours are
// the ones meant wherever this header is seen (Windows code calls the
// system's with their A names).
#ifdef DeleteFile
#undef DeleteFile
#endif
#ifdef ReplaceFile
#undef ReplaceFile
#endif

namespace treskel {

// Open modes of file streams.
inline constexpr uint16_t fmCreate = 0xFFFF;
inline constexpr uint16_t fmOpenRead = 0x0000;
inline constexpr uint16_t fmOpenWrite = 0x0001;
inline constexpr uint16_t fmOpenReadWrite = 0x0002;
inline constexpr uint16_t fmShareCompat = 0x0000;
inline constexpr uint16_t fmShareExclusive = 0x0010;
inline constexpr uint16_t fmShareDenyWrite = 0x0020;
inline constexpr uint16_t fmShareDenyRead = 0x0030;
inline constexpr uint16_t fmShareDenyNone = 0x0040;

// An open file; closed when it goes.
class OsFile {
public:
    OsFile() = default;
    OsFile(OsFile&& o) noexcept;
    OsFile& operator=(OsFile&& o) noexcept;
    OsFile(const OsFile&) = delete;
    OsFile& operator=(const OsFile&) = delete;
    ~OsFile();

    // Opens or creates; on failure returns a closed file and sets `error`
    // to the system's message.
    static OsFile Open(const std::string& name, uint16_t mode, std::string* error);

    bool IsOpen() const { return handle_ != kInvalid; }
    int64_t Read(void* buffer, int64_t count);          // -1 on error
    // Reads at `offset` in one call; the position afterwards is unspecified.
    int64_t ReadAt(void* buffer, int64_t count, int64_t offset);  // -1 on error
    int64_t Write(const void* buffer, int64_t count);   // -1 on error
    int64_t Seek(int64_t offset, int origin);           // -1 on error
    bool SetSize(int64_t size);
    bool Flush();
    void Close();

private:
    static constexpr intptr_t kInvalid = -1;
    intptr_t handle_ = kInvalid;
};

// A file's bytes mapped into memory for reading: only the pages touched are
// read, with no call per read.  Empty when the file cannot be mapped or is
// empty.  The file cannot be replaced while it is mapped.
class TFileView {
public:
    explicit TFileView(const std::string& name);
    ~TFileView();
    TFileView(const TFileView&) = delete;
    TFileView& operator=(const TFileView&) = delete;
    const uint8_t* Data() const { return data_; }
    int64_t Size() const { return size_; }

private:
    const uint8_t* data_ = nullptr;
    int64_t size_ = 0;
};

struct TSearchRec {
    std::string Name;  // the file's name without its directory
    int64_t Size = 0;
    bool Directory = false;
    // When the file was last written, in 100-nanosecond steps since 1601
    // (the system's file time).
    int64_t Time = 0;
};

bool FileExists(const std::string& name);
bool DirectoryExists(const std::string& name);
bool CreateDir(const std::string& name);
bool ForceDirectories(const std::string& name);
bool RemoveDir(const std::string& name);
bool DeleteFile(const std::string& name);
// Fails when `newName` exists, and never copies: the file or directory is
// under one of the two names at every moment.
bool RenameFile(const std::string& oldName, const std::string& newName);
// Moves `source` over `dest`, replacing it in one step where the system can.
bool ReplaceFile(const std::string& source, const std::string& dest);
int64_t FileSizeOf(const std::string& name);  // -1 when absent
// Files (not directories) in the directory of `mask` whose names match its
// wildcards (* and ?, case-insensitive), sorted by name.
std::vector<TSearchRec> FindFiles(const std::string& mask);
// The system's message for the last failed file call.
std::string LastFileError();
// The directory for temporary files, ending in a separator.
std::string TempDirectory();

// Wildcard match of a file name, case-insensitive.
bool MatchesMask(const std::string& name, const std::string& mask);

// Whether the system takes this name for one of its devices (CON, PRN,
// AUX, NUL, COM0 to COM9, LPT0 to LPT9, CLOCK$, CONIN$, CONOUT$), in any
// letter case and whatever extension or trailing spaces follow: no file
// or folder can have such a name.
bool IsDeviceName(const std::string& name);

}  // namespace treskel
