// Any bytes given to the expander: an error or exactly the stored size,
// never a crash, an overrun or a hang; and read from memory, through a
// buffer or through the expanding stream in pieces of every size, or
// written into memory, the same bytes or the same refusal.
#include <cstdint>
#include <cstdlib>
#include <vector>

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
    int64_t Write(const void* b, int64_t n) override {
        for (int64_t i = 0; i < n; ++i) hash = (hash ^ static_cast<const uint8_t*>(b)[i]) * 1099511628211ull;
        written_ += n;
        return n;
    }
    int64_t Seek(int64_t, treskel::TSeekOrigin) override { return written_; }
    uint64_t hash = 14695981039346656037ull;

private:
    int64_t written_ = 0;
};

struct Result {
    bool ok = false;
    uint64_t hash = 0;
    int64_t end = 0;  // where the input was left
    bool operator==(const Result&) const = default;
};

Result Pull(const uint8_t* data, size_t size) {
    using namespace treskel;
    TReadOnlyMemoryStream memory(data, static_cast<int64_t>(size));
    Indirect in(memory);
    Sink out;
    std::vector<uint8_t> buf(70000);
    size_t step = size;
    try {
        TLH5ExpandStream pulled(in, in.Size());
        for (int64_t n; (n = pulled.Read(buf.data(), static_cast<int64_t>(1 + step % buf.size()))) > 0; step = step * 31 + 7)
            out.Write(buf.data(), n);
        if (out.Size() != pulled.Size()) std::abort();
    } catch (const Exception&) {
        return {};
    }
    return {true, out.hash, in.Position()};
}

// False when the expander refused the stream.
bool Expanded(treskel::TStream& in, treskel::TStream& out) {
    using namespace treskel;
    LH5Compression lh5(nullptr);
    lh5.SetUseStreamMode(true);
    lh5.StreamIn = &in;
    lh5.StreamOut = &out;
    try {
        lh5.Expand();
    } catch (const Exception&) {
        return false;
    }
    return true;
}

Result Expand(const uint8_t* data, size_t size, bool direct) {
    using namespace treskel;
    TReadOnlyMemoryStream memory(data, static_cast<int64_t>(size));
    Indirect indirect(memory);
    TStream& in = direct ? static_cast<TStream&>(memory) : indirect;
    Sink out;
    if (!Expanded(in, out)) return {};
    if (size >= 4 && out.Size() != GetU32(data)) std::abort();
    if (in.Position() > static_cast<int64_t>(size)) std::abort();
    return {true, out.hash, in.Position()};
}

// Expanded into memory, where the bulk goes straight in: the same bytes,
// and nothing written past them (the stream holds bytes there already).
Result ExpandToMemory(const uint8_t* data, size_t size) {
    using namespace treskel;
    TReadOnlyMemoryStream in(data, static_cast<int64_t>(size));
    const int64_t declared = size >= 4 ? GetU32(data) : 0;
    TMemoryStream out;
    const std::vector<uint8_t> guard(static_cast<size_t>(declared) + 64, 0xA5);
    out.WriteBuffer(guard.data(), static_cast<int64_t>(guard.size()));
    out.SetPosition(0);
    if (!Expanded(in, out)) return {};
    if (out.Position() != declared || out.Size() != static_cast<int64_t>(guard.size())) std::abort();
    for (int64_t i = declared; i < out.Size(); ++i)
        if (out.Memory()[i] != 0xA5) std::abort();
    Sink hashed;
    hashed.Write(out.Memory(), declared);
    return {true, hashed.hash, in.Position()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Gigabytes of valid output only cost time; the paths are the same.
    if (size >= 4 && treskel::GetU32(data) > (8u << 20)) return 0;
    // Read where it lies or through the expander's own buffer, which
    // stops the fast road at every refill: the same bytes or the same
    // refusal.
    const Result direct = Expand(data, size, true);
    const Result pushed = Expand(data, size, false);
    if (!(direct == pushed)) std::abort();
    if (!(ExpandToMemory(data, size) == pushed)) std::abort();
    if (size >= 4 && !(Pull(data, size) == pushed)) std::abort();
    return 0;
}
