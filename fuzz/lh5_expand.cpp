// Any bytes given to the expander: an error or exactly the stored size,
// never a crash, an overrun or a hang.
#include <cstdint>
#include <cstdlib>

#include "compress/LH5Control.h"

namespace {

// A stream that is not a memory stream, so the expander reads it through
// its own buffer as it reads files.
class Indirect : public treskel::TStream {
public:
    explicit Indirect(treskel::TStream& s) : s_(s) {}
    int64_t Read(void* b, int64_t n) override { return s_.Read(b, n); }
    int64_t Write(const void* b, int64_t n) override { return s_.Write(b, n); }
    int64_t Seek(int64_t o, treskel::TSeekOrigin origin) override { return s_.Seek(o, origin); }

private:
    treskel::TStream& s_;
};

// Counts what is written: a valid stream of a few bytes may expand to
// gigabytes, which need not be kept.
class Sink : public treskel::TStream {
public:
    int64_t Read(void*, int64_t) override { return 0; }
    int64_t Write(const void*, int64_t n) override {
        written_ += n;
        return n;
    }
    int64_t Seek(int64_t, treskel::TSeekOrigin) override { return written_; }

private:
    int64_t written_ = 0;
};

int Expand(const uint8_t* data, size_t size, bool direct) {
    using namespace treskel;
    TReadOnlyMemoryStream memory(data, static_cast<int64_t>(size));
    Indirect indirect(memory);
    TStream& in = direct ? static_cast<TStream&>(memory) : indirect;
    Sink out;
    LH5Compression lh5(nullptr);
    lh5.SetUseStreamMode(true);
    lh5.StreamIn = &in;
    lh5.StreamOut = &out;
    try {
        lh5.Expand();
    } catch (const Exception&) {
        return 0;
    }
    if (size >= 4 && out.Size() != GetU32(data)) std::abort();
    if (in.Position() > static_cast<int64_t>(size)) std::abort();
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Gigabytes of valid output only cost time; the paths are the same.
    if (size >= 4 && treskel::GetU32(data) > (8u << 20)) return 0;
    Expand(data, size, true);
    return Expand(data, size, false);
}
