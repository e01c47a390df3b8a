// Stream-to-stream -lh5- coding behind the LH5Compression component.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/Streams.h"

namespace treskel {

// Where a coder reports how far it has come; a progress bar adapts to it.
class TCodingProgress {
public:
    virtual ~TCodingProgress() = default;
    virtual void SetMax(int64_t max) = 0;
    virtual void SetPosition(int64_t position) = 0;
};

inline constexpr const char* SFileCorrupt = "File is corrupt!";

namespace lh5 {

// Writes the 4-byte size and the bit stream of the `size` bytes that `in`
// holds from its position.
void Encode(TStream& in, int64_t size, TStream& out, TCodingProgress* progress);

// Decodes the stream that `in` holds in its next `budget` bytes into `out`;
// never reads more than `budget` bytes.  Leaves `in` just after the last
// byte the stream used.  Raises Exception(SFileCorrupt) for a damaged or
// cut-off stream.
void Decode(TStream& in, int64_t budget, TStream& out, TCodingProgress* progress);

class Decoder;

}  // namespace lh5

// The decoded bytes of the stream that `in` holds in its next `budget`
// bytes, read as they are decoded: a reader takes them without the whole
// output ever being held.  Size() is the declared size, known once the
// stream is made and before anything is decoded.  Reads forward only;
// raises Exception(SFileCorrupt) as Decode does.  Once the last byte is
// read, `in` stands just after the last byte the stream used.
class TLH5ExpandStream : public TStream {
    TRESKEL_CLASS(TLH5ExpandStream)
public:
    TLH5ExpandStream(TStream& in, int64_t budget, TCodingProgress* progress = nullptr);
    ~TLH5ExpandStream() override;
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return size_; }

private:
    std::unique_ptr<lh5::Decoder> decoder_;
    int64_t size_ = 0;
    int64_t position_ = 0;
    size_t taken_ = 0;  // of the decoder's ready bytes
};

}  // namespace treskel
