// Buffered reading and writing of the stored formats over a TStream, so
// that no format touches its stream once per byte or field.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Streams.h"

namespace treskel {

// Reads a stream from its position to its end through a buffer.
class TBufferedReader {
public:
    explicit TBufferedReader(TStream& stream, size_t bufferSize = 64 * 1024);

    // Bytes left between the read position and the stream's end.
    int64_t Remaining() const { return (end_ - pos_) + streamLeft_; }
    bool AtEnd() { return pos_ == end_ && streamLeft_ == 0; }
    // The next byte; the caller has checked AtEnd().
    uint8_t Get() {
        if (pos_ == end_) Fill(1);
        return *pos_++;
    }
    // Makes the next `n` bytes (n <= buffer size) contiguous; false when
    // fewer remain.
    bool Ensure(size_t n) {
        if (static_cast<size_t>(end_ - pos_) >= n) return true;
        return Fill(n);
    }
    const uint8_t* Ptr() const { return pos_; }
    size_t Buffered() const { return static_cast<size_t>(end_ - pos_); }
    void Skip(size_t n) { pos_ += n; }  // within Buffered()
    // Passes over `n` bytes, seeking past those not buffered.
    void Discard(int64_t n);
    // Reads exactly `n` bytes; raises EReadError when fewer remain.
    void Read(void* dst, int64_t n);
    uint32_t ReadU32() {
        uint8_t b[4];
        Read(b, 4);
        return GetU32(b);
    }
    // Moves the stream back to just after the bytes taken.
    void Release();

private:
    bool Fill(size_t n);
    TStream& stream_;
    std::vector<uint8_t> buf_;
    const uint8_t* pos_;
    const uint8_t* end_;
    int64_t streamLeft_;
};

// Gathers writes and hands them on in large blocks.  Flush() must be
// called to finish: a destructor cannot report a failed write.
class TBufferedWriter {
public:
    explicit TBufferedWriter(TStream& stream, size_t bufferSize = 64 * 1024);
    void Put(uint8_t b) {
        if (buf_.size() == cap_) Flush();
        buf_.push_back(b);
    }
    void Write(const void* data, size_t n);
    void WriteU32(uint32_t v) {
        uint8_t b[4];
        PutU32(b, v);
        Write(b, 4);
    }
    void Flush();

private:
    TStream& stream_;
    std::vector<uint8_t> buf_;
    size_t cap_;
};

// A 64-bit check of a run of bytes, several times faster than CRC-32, for
// telling whether bytes read back are the bytes written.  Each 8-byte word
// goes through a step that is one-to-one in the word and in the state, so a
// change confined to one word always shows.
class TByteCheck {
public:
    void Update(const void* data, size_t size);
    uint64_t Value() const;

private:
    void Block(const uint8_t* p);  // 32 bytes
    uint64_t lanes_[4] = {1, 2, 3, 4};
    uint8_t tail_[32] = {};
    size_t tailSize_ = 0;
    uint64_t total_ = 0;
};

// A read-only window on `size` bytes of another stream from `offset` on;
// each read seeks the other stream to where the window stands.
class TStreamSlice : public TStream {
    TRESKEL_CLASS(TStreamSlice)
public:
    TStreamSlice(TStream& base, int64_t offset, int64_t size) : base_(base), offset_(offset), size_(size) {}
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return size_; }

private:
    TStream& base_;
    int64_t offset_;
    int64_t size_;
    int64_t position_ = 0;
};

// Passes writes on to another stream and keeps the CRC-32 of all bytes
// written.  Only writes forward; position queries report the count.
class TCrcWriteStream : public TStream {
    TRESKEL_CLASS(TCrcWriteStream)
public:
    explicit TCrcWriteStream(TStream& target) : target_(target) {}
    int64_t Read(void*, int64_t) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    std::string WriteFailure() const override { return target_.WriteFailure(); }
    uint32_t Crc() const;
    int64_t Written() const { return written_; }

private:
    TStream& target_;
    uint32_t crc_ = 0xFFFFFFFFu;
    int64_t written_ = 0;
};

}  // namespace treskel
