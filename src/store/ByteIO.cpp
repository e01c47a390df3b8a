#include "store/ByteIO.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "store/CRC32c.h"

namespace treskel {

TBufferedReader::TBufferedReader(TStream& stream, size_t bufferSize) : stream_(stream), buf_(bufferSize) {
    pos_ = end_ = buf_.data();
    streamLeft_ = std::max<int64_t>(0, stream.Size() - stream.Position());
}

bool TBufferedReader::Fill(size_t n) {
    const size_t have = static_cast<size_t>(end_ - pos_);
    if (static_cast<int64_t>(have) + streamLeft_ < static_cast<int64_t>(n) || n > buf_.size()) return false;
    std::memmove(buf_.data(), pos_, have);
    const int64_t want = std::min<int64_t>(static_cast<int64_t>(buf_.size() - have), streamLeft_);
    stream_.ReadBuffer(buf_.data() + have, want);
    streamLeft_ -= want;
    pos_ = buf_.data();
    end_ = pos_ + have + want;
    return true;
}

void TBufferedReader::Read(void* dst, int64_t n) {
    if (n < 0 || n > Remaining()) throw EReadError("Stream read error");
    auto* out = static_cast<uint8_t*>(dst);
    const int64_t fromBuf = std::min<int64_t>(n, end_ - pos_);
    std::memcpy(out, pos_, static_cast<size_t>(fromBuf));
    pos_ += fromBuf;
    n -= fromBuf;
    out += fromBuf;
    if (n == 0) return;
    if (n >= static_cast<int64_t>(buf_.size())) {
        // Large reads go straight into the caller's memory.
        stream_.ReadBuffer(out, n);
        streamLeft_ -= n;
        return;
    }
    Fill(static_cast<size_t>(n));
    std::memcpy(out, pos_, static_cast<size_t>(n));
    pos_ += n;
}

void TBufferedReader::Discard(int64_t n) {
    if (n < 0 || n > Remaining()) throw EReadError("Stream read error");
    const int64_t fromBuf = std::min<int64_t>(n, end_ - pos_);
    pos_ += fromBuf;
    n -= fromBuf;
    if (n > 0) {
        stream_.Seek(n, soFromCurrent);
        streamLeft_ -= n;
    }
}

void TBufferedReader::Release() {
    const int64_t unread = end_ - pos_;
    if (unread != 0) stream_.Seek(-unread, soFromCurrent);
    pos_ = end_ = buf_.data();
    streamLeft_ += unread;
}

TBufferedWriter::TBufferedWriter(TStream& stream, size_t bufferSize) : stream_(stream), cap_(bufferSize) {
    buf_.reserve(bufferSize);
}

void TBufferedWriter::Write(const void* data, size_t n) {
    const auto* p = static_cast<const uint8_t*>(data);
    if (buf_.size() + n > cap_) {
        Flush();
        if (n >= cap_) {
            stream_.WriteBuffer(p, static_cast<int64_t>(n));
            return;
        }
    }
    buf_.insert(buf_.end(), p, p + n);
}

void TBufferedWriter::Flush() {
    if (!buf_.empty()) stream_.WriteBuffer(buf_.data(), static_cast<int64_t>(buf_.size()));
    buf_.clear();
}

int64_t TCrcWriteStream::Read(void*, int64_t) { return 0; }

int64_t TCrcWriteStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    const int64_t n = target_.Write(buffer, count);
    if (n > 0) {
        crc_ = UpdateCrc32(buffer, static_cast<size_t>(n), crc_);
        written_ += n;
    }
    return n;
}

int64_t TCrcWriteStream::Seek(int64_t offset, TSeekOrigin origin) {
    if (offset == 0 && origin != soFromBeginning) return written_;
    throw EStreamError("A checksummed stream only writes forward");
}

uint32_t TCrcWriteStream::Crc() const { return FinishCrc32(crc_); }

namespace {
constexpr uint64_t kCheckPrime = 0x9E3779B97F4A7C15ull;
inline uint64_t Word(const uint8_t* p) { return GetU32(p) | (static_cast<uint64_t>(GetU32(p + 4)) << 32); }
inline uint64_t Step(uint64_t lane, uint64_t word) { return std::rotl(lane ^ word, 29) * kCheckPrime; }
}  // namespace

void TByteCheck::Block(const uint8_t* p) {
    for (int i = 0; i < 4; ++i) lanes_[i] = Step(lanes_[i], Word(p + 8 * i));
}

void TByteCheck::Update(const void* data, size_t size) {
    auto* p = static_cast<const uint8_t*>(data);
    total_ += size;
    if (tailSize_ > 0) {
        const size_t n = std::min(size, sizeof tail_ - tailSize_);
        std::memcpy(tail_ + tailSize_, p, n);
        tailSize_ += n;
        p += n;
        size -= n;
        if (tailSize_ < sizeof tail_) return;
        Block(tail_);
        tailSize_ = 0;
    }
    for (; size >= 32; p += 32, size -= 32) Block(p);
    std::memcpy(tail_, p, size);
    tailSize_ = size;
}

uint64_t TByteCheck::Value() const {
    TByteCheck last = *this;
    std::memset(last.tail_ + tailSize_, 0, sizeof tail_ - tailSize_);
    last.Block(last.tail_);
    return last.lanes_[0] ^ std::rotl(last.lanes_[1], 16) ^ std::rotl(last.lanes_[2], 32) ^
           std::rotl(last.lanes_[3], 48) ^ Step(total_, kCheckPrime);
}

int64_t TStreamSlice::Read(void* buffer, int64_t count) {
    const int64_t n = std::min(count, size_ - position_);
    if (n <= 0) return 0;
    const int64_t got = base_.ReadAt(buffer, n, offset_ + position_);
    if (got > 0) position_ += got;
    return got;
}

int64_t TStreamSlice::Write(const void*, int64_t) { throw EStreamError("A stream slice cannot be written"); }

int64_t TStreamSlice::Seek(int64_t offset, TSeekOrigin origin) {
    const int64_t base = origin == soFromBeginning ? 0 : origin == soFromCurrent ? position_ : size_;
    position_ = std::clamp<int64_t>(base + offset, 0, size_);
    return position_;
}

}  // namespace treskel
