#include "platform/Streams.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace treskel {

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count < 0 || (count != 0 && Read(buffer, count) != count)) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count < 0 || (count != 0 && Write(buffer, count) != count)) throw EWriteError(WriteFailure());
}

int64_t TStream::ReadAt(void* buffer, int64_t count, int64_t offset) {
    SetPosition(offset);
    return Read(buffer, count);
}

int64_t TStream::Size() {
    int64_t pos = Seek(0, soFromCurrent);
    int64_t size = Seek(0, soFromEnd);
    Seek(pos, soFromBeginning);
    return size;
}

void TStream::SetSize(int64_t) { throw EStreamError("Stream does not support changing its size"); }

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    const int64_t total = count;
    std::vector<uint8_t> buf(static_cast<size_t>(std::min<int64_t>(count, 1 << 20)) + 1);
    while (count > 0) {
        int64_t n = std::min<int64_t>(count, static_cast<int64_t>(buf.size()));
        source.ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        count -= n;
    }
    return total;
}

// ---- memory streams ----

namespace {
constexpr int64_t kMaxMemoryStream = int64_t(1) << 31;
}

void TCustomMemoryStream::SetPointer(uint8_t* ptr, int64_t size) {
    memory_ = ptr;
    size_ = size;
}

int64_t TCustomMemoryStream::Read(void* buffer, int64_t count) {
    if (count <= 0 || position_ >= size_) return 0;
    int64_t n = std::min(count, size_ - position_);
    std::memcpy(buffer, memory_ + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == soFromBeginning ? 0 : origin == soFromCurrent ? position_ : size_;
    int64_t p = base + offset;
    if (p < 0) throw EStreamError("Invalid stream position");
    position_ = p;
    return position_;
}

void TCustomMemoryStream::SaveToStream(TStream& stream) {
    if (size_ > 0) stream.WriteBuffer(memory_, size_);
}

void TCustomMemoryStream::SaveToFile(const std::string& fileName) {
    TFileStream f(fileName, fmCreate);
    SaveToStream(f);
}

TMemoryStream::TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {
    SetPointer(data_.data(), static_cast<int64_t>(data_.size()));
}

void TMemoryStream::Grow(int64_t capacity) {
    if (capacity <= static_cast<int64_t>(data_.size())) return;
    // Keep growth geometric so that many small writes stay linear.
    int64_t want = std::max<int64_t>(capacity, static_cast<int64_t>(data_.size()) * 3 / 2 + 64);
    try {
        // The program is 32-bit: no memory stream can pass 2 GB there, and
        // the native build keeps the same limit.
        if (capacity > kMaxMemoryStream) throw std::bad_alloc();
        want = std::min(want, kMaxMemoryStream);
        try {
            data_.resize(static_cast<size_t>(want));
        } catch (const std::bad_alloc&) {
            // The generous step failed; the exact size may still fit.
            data_.resize(static_cast<size_t>(capacity));
        }
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Out of memory");
    }
    memory_ = data_.data();
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    int64_t end = position_ + count;
    Grow(end);
    std::memcpy(memory_ + position_, buffer, static_cast<size_t>(count));
    position_ = end;
    if (end > size_) size_ = end;
    return count;
}

void TMemoryStream::SetSize(int64_t newSize) {
    if (newSize < 0) throw EStreamError("Invalid stream size");
    Grow(newSize);
    if (newSize > size_) std::memset(memory_ + size_, 0, static_cast<size_t>(newSize - size_));
    size_ = newSize;
    if (position_ > size_) position_ = size_;
}

void TMemoryStream::Clear() {
    data_.clear();
    data_.shrink_to_fit();
    SetPointer(nullptr, 0);
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
    stream.SetPosition(0);
    int64_t n = stream.Size();
    SetSize(n);
    if (n != 0) stream.ReadBuffer(memory_, n);
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(f);
}

TReadOnlyMemoryStream::TReadOnlyMemoryStream(const void* data, int64_t size) {
    SetPointer(static_cast<uint8_t*>(const_cast<void*>(data)), size);
}

int64_t TReadOnlyMemoryStream::Write(const void*, int64_t) { return 0; }

// ---- file streams ----

int64_t THandleStream::Read(void* buffer, int64_t count) {
    int64_t n = file_.Read(buffer, count);
    return n < 0 ? 0 : n;
}

int64_t THandleStream::ReadAt(void* buffer, int64_t count, int64_t offset) {
    const int64_t n = file_.ReadAt(buffer, count, offset);
    return n < 0 ? 0 : n;
}

int64_t THandleStream::Write(const void* buffer, int64_t count) {
    int64_t n = file_.Write(buffer, count);
    if (n < count) writeError_ = LastFileError();
    return n < 0 ? 0 : n;
}

std::string THandleStream::WriteFailure() const { return "Stream write error: " + writeError_; }

std::string TFileStream::WriteFailure() const {
    return Format("Cannot write file %s. %s", fileName_.c_str(), writeError_.c_str());
}

int64_t THandleStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t r = file_.Seek(offset, origin);
    if (r < 0) throw EStreamError("Stream seek error: " + LastFileError());
    return r;
}

void THandleStream::SetSize(int64_t newSize) {
    if (!file_.SetSize(newSize)) throw EStreamError("Stream size error: " + LastFileError());
}

void THandleStream::Flush() {
    if (!file_.Flush()) throw EWriteError("Stream write error: " + LastFileError());
}

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : fileName_(fileName) {
    std::string error;
    file_ = OsFile::Open(fileName, mode, &error);
    if (!file_.IsOpen()) {
        if (mode == fmCreate) throw EFCreateError(Format("Cannot create file %s. %s", fileName.c_str(), error.c_str()));
        throw EFOpenError(Format("Cannot open file %s. %s", fileName.c_str(), error.c_str()));
    }
}

// ---- little-endian fields ----

void WriteU8(TStream& s, uint8_t v) { s.WriteBuffer(&v, 1); }

void WriteU16(TStream& s, uint16_t v) {
    uint8_t b[2];
    PutU16(b, v);
    s.WriteBuffer(b, 2);
}

void WriteU32(TStream& s, uint32_t v) {
    uint8_t b[4];
    PutU32(b, v);
    s.WriteBuffer(b, 4);
}

uint8_t ReadU8(TStream& s) {
    uint8_t v;
    s.ReadBuffer(&v, 1);
    return v;
}

uint16_t ReadU16(TStream& s) {
    uint8_t b[2];
    s.ReadBuffer(b, 2);
    return GetU16(b);
}

uint32_t ReadU32(TStream& s) {
    uint8_t b[4];
    s.ReadBuffer(b, 4);
    return GetU32(b);
}

}  // namespace treskel
