// Streams: the abstract stream, memory and file streams, and little-endian
// field helpers for the stored formats.  No <windows.h>.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/FileSys.h"

namespace treskel {

enum TSeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

// The most bytes that one stored item of the program (the RTF of a note, an
// item of a container) may take once decoded; a stored size beyond it is
// damage, refused before anything is decoded.  The note editor holds at
// most 16,000,000 characters; the RTF it writes takes at most 8 bytes for a
// character (a Unicode escape with its stand-in), and the pictures and
// objects that it counts as characters are written as hexadecimal text,
// two characters for each of their bytes: 16,000,000 x 8 x 2 bytes is
// 256,000,000, and 256 MB (268,435,456 bytes) bounds that, an eighth of
// what a 32-bit process can hold.
inline constexpr int64_t MaxStoredItemSize = int64_t(256) * 1024 * 1024;

class TStream : public TObject {
    TRESKEL_CLASS(TStream)
public:
    // Read and Write move up to `count` bytes and return how many moved.
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    // The *Buffer forms move exactly `count` bytes or raise.
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    // Reads up to `count` bytes at `offset`; the position afterwards is
    // unspecified.  Files do it in one call.
    virtual int64_t ReadAt(void* buffer, int64_t count, int64_t offset);

    int64_t Position() { return Seek(0, soFromCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, soFromBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t newSize);
    // What WriteBuffer says when fewer bytes were written than asked:
    // where the stream can tell, the system's reason and the file.
    virtual std::string WriteFailure() const { return "Stream write error"; }

    // Copies `count` bytes from `source`'s position; 0 copies all of
    // `source` from its start.  Returns the number copied.
    int64_t CopyFrom(TStream& source, int64_t count);
};

class TCustomMemoryStream : public TStream {
    TRESKEL_CLASS(TCustomMemoryStream)
public:
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return size_; }
    void SaveToStream(TStream& stream);
    void SaveToFile(const std::string& fileName);
    const uint8_t* Memory() const { return memory_; }

protected:
    void SetPointer(uint8_t* ptr, int64_t size);
    uint8_t* memory_ = nullptr;
    int64_t size_ = 0;
    int64_t position_ = 0;
};

class TMemoryStream : public TCustomMemoryStream {
    TRESKEL_CLASS(TMemoryStream)
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes);
    int64_t Write(const void* buffer, int64_t count) override;
    void SetSize(int64_t newSize) override;
    void Clear();
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    uint8_t* Memory() { return memory_; }
    std::vector<uint8_t> Bytes() const { return std::vector<uint8_t>(memory_, memory_ + size_); }
    std::string AsString() const { return std::string(reinterpret_cast<const char*>(memory_), size_); }

private:
    void Grow(int64_t capacity);
    std::vector<uint8_t> data_;
};

// A read-only view of bytes held elsewhere.
class TReadOnlyMemoryStream : public TCustomMemoryStream {
    TRESKEL_CLASS(TReadOnlyMemoryStream)
public:
    TReadOnlyMemoryStream(const void* data, int64_t size);
    int64_t Write(const void* buffer, int64_t count) override;
};

// Counts what is written to it and keeps none of it: where only the size
// of some output matters.
class TCountingStream : public TStream {
    TRESKEL_CLASS(TCountingStream)
public:
    int64_t Read(void*, int64_t) override { return 0; }
    int64_t Write(const void*, int64_t count) override {
        written += count;
        return count;
    }
    int64_t Seek(int64_t, TSeekOrigin) override { return written; }
    int64_t written = 0;
};

class THandleStream : public TStream {
    TRESKEL_CLASS(THandleStream)
public:
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t ReadAt(void* buffer, int64_t count, int64_t offset) override;
    void SetSize(int64_t newSize) override;
    std::string WriteFailure() const override;
    // Forces what was written out to the disk.
    void Flush();

protected:
    OsFile file_;
    std::string writeError_;  // the system's reason for the last short write
};

class TFileStream : public THandleStream {
    TRESKEL_CLASS(TFileStream)
public:
    // Mode: fmCreate, or fmOpenRead/fmOpenWrite/fmOpenReadWrite with a
    // share flag.  Raises EFCreateError or EFOpenError.
    TFileStream(const std::string& fileName, uint16_t mode);
    const std::string& FileName() const { return fileName_; }
    std::string WriteFailure() const override;

private:
    std::string fileName_;
};

// Little-endian fields of the stored formats.
void WriteU8(TStream& s, uint8_t v);
void WriteU16(TStream& s, uint16_t v);
void WriteU32(TStream& s, uint32_t v);
inline void WriteI32(TStream& s, int32_t v) { WriteU32(s, static_cast<uint32_t>(v)); }
uint8_t ReadU8(TStream& s);
uint16_t ReadU16(TStream& s);
uint32_t ReadU32(TStream& s);
inline int32_t ReadI32(TStream& s) { return static_cast<int32_t>(ReadU32(s)); }

inline void PutU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}
inline uint16_t GetU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace treskel
