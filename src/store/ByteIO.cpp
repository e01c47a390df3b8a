#include "store/ByteIO.h"

#include <algorithm>

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

}  // namespace treskel
