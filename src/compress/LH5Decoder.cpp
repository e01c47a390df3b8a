// The -lh5- decoder: a 64-bit bit reader over a buffered input, one-lookup
// tables for the common codes and a linear output buffer that keeps the
// 8 KB window in front of what it decodes.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "compress/LH5Coder.h"
#include "compress/LH5Format.h"

namespace treskel {
namespace lh5 {

namespace {

constexpr int kCBits = 12;  // literal/length lookup bits
constexpr int kPBits = 8;   // code-length and position lookup bits
constexpr int64_t kInChunk = 64 * 1024;
constexpr size_t kOutChunk = 256 * 1024;
// Smallest block: count, one-symbol tables and an empty length list.
constexpr int64_t kMinBlockBits = 16 + 10 + 9 + 8;
constexpr int64_t kMaxBlockOutput = 65535LL * MAXMATCH;
// Most one step of the fast loop writes: a literal and the longest match.
constexpr int64_t kFastMargin = 1 + MAXMATCH;
// Room behind the output chunk for that step and the word copies' overrun.
constexpr size_t kOutSlack = MAXMATCH + 64;

[[noreturn]] void Corrupt() { throw Exception(SFileCorrupt); }

inline uint64_t LoadBE64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return __builtin_bswap64(v);
}

}  // namespace

class Decoder {
public:
    Decoder(TStream& in, int64_t budget, TCodingProgress* progress)
        : in_(in), budget_(budget), progress_(progress) {}

    // Reads the size field and returns it; nothing else is read or made
    // until the first Fill.
    int64_t Begin();
    // Decodes until a chunk of about `chunk` bytes (at most kOutChunk) is
    // ready or the stream ends; the bytes ready are
    // Ready()..Ready()+ReadySize().
    void Fill(size_t chunk = kOutChunk);
    const uint8_t* Ready() const { return outBuf_ ? outBuf_.get() + DICSIZ : nullptr; }
    size_t ReadySize() const { return outPos_ - DICSIZ; }
    // The ready bytes have been taken: the window slides on behind them.
    void Consume();
    // Once a window's worth of bytes has gone out to `out`, decodes the
    // bulk of the rest straight into its memory, behind them; Fill does
    // the last bytes.
    void FillInto(TMemoryStream& out);
    int64_t Remaining() const { return remaining_; }
    // Leaves the input just after the last byte the stream used.
    void Finish();

private:
    void FillSlow();
    void Refill() {
        if (bitCount_ >= 48) return;
        if (inEnd_ - inPtr_ >= 8) {
            bitBuf_ |= LoadBE64(inPtr_) >> bitCount_;
            inPtr_ += (63 - bitCount_) >> 3;
            bitCount_ |= 56;
        } else {
            FillSlow();
        }
    }
    // Tops the bit buffer up to at least 56 bits.
    void RefillFull() {
        if (inEnd_ - inPtr_ >= 8) {
            bitBuf_ |= LoadBE64(inPtr_) >> bitCount_;
            inPtr_ += (63 - bitCount_) >> 3;
            bitCount_ |= 56;
        } else {
            FillSlow();
        }
    }
    uint32_t Peek(int n) const { return static_cast<uint32_t>(bitBuf_ >> (64 - n)); }
    void Drop(int n) {
        bitBuf_ <<= n;
        bitCount_ -= n;
    }
    uint32_t GetBits(int n) {
        Refill();
        uint32_t v = n == 0 ? 0 : Peek(n);
        Drop(n);
        return v;
    }
    int DecodeSymbol(const DecodeTable& t) {
        const uint32_t e = t.Decode(Peek(16));
        Drop(DecodeTable::Length(e));
        return DecodeTable::Symbol(e);
    }
    // Bits taken beyond the end of the input mean a cut-off stream.
    void CheckOverrun() const {
        if (zeroBytes_ * 8 > bitCount_) Corrupt();
    }

    size_t CopyIdentity(uint8_t* dst, size_t n);
    uint8_t* DecodeFast(uint8_t* out, uint8_t* flushAt);
    void ReadPtLengths(DecodeTable& table, int nn, int nbit, int special);
    void ReadCLengths();
    void ReadBlockHeader();
    // The input buffer, or the input's own memory, and the output buffer.
    void Prepare();

    TStream& in_;
    int64_t budget_;  // input bytes not yet taken from the stream
    TCodingProgress* progress_;
    int64_t start_ = 0;
    int64_t total_ = 0;
    int64_t remaining_ = 0;  // of the declared size, not yet decoded

    std::vector<uint8_t> inBuf_;
    const uint8_t* inPtr_ = nullptr;
    const uint8_t* inEnd_ = nullptr;
    int64_t zeroBytes_ = 0;
    uint64_t bitBuf_ = 0;
    int bitCount_ = 0;

    std::unique_ptr<uint8_t[]> outBuf_;
    size_t outPos_ = DICSIZ;
    int64_t written_ = 0;

    uint32_t blockLeft_ = 0;
    bool cIdentity_ = false;  // literals only, each code the byte itself
    DecodeTable cTable_, ptTable_, pTable_{true};
};

void Decoder::FillSlow() {
    while (bitCount_ <= 56) {
        if (inPtr_ == inEnd_ && budget_ > 0) {
            const int64_t n = std::min(budget_, kInChunk);
            in_.ReadBuffer(inBuf_.data(), n);
            budget_ -= n;
            inPtr_ = inBuf_.data();
            inEnd_ = inPtr_ + n;
        }
        uint8_t b = 0;
        if (inPtr_ != inEnd_) {
            b = *inPtr_++;
        } else {
            ++zeroBytes_;
        }
        // The fast path may have left the top bits of this byte in place
        // already; or-ing the same bits again changes nothing.
        bitBuf_ |= static_cast<uint64_t>(b) << (56 - bitCount_);
        bitCount_ += 8;
    }
    CheckOverrun();
}

// Literal codes that are the bytes themselves: seven bytes per step, with
// the reader's state in registers.
size_t Decoder::CopyIdentity(uint8_t* dst, size_t n) {
    uint64_t buf = bitBuf_;
    int count = bitCount_;
    const uint8_t* p = inPtr_;
    const uint8_t* const end = inEnd_;
    size_t done = 0;
    while (n - done >= 7 && end - p >= 8) {
        buf |= LoadBE64(p) >> count;
        p += (63 - count) >> 3;
        count |= 56;
        const uint64_t o = __builtin_bswap64(buf);
        std::memcpy(dst + done, &o, 8);
        buf <<= 56;
        count -= 56;
        done += 7;
    }
    bitBuf_ = buf;
    bitCount_ = count;
    inPtr_ = p;
    return done;
}

// The bulk of a block, with the reader's and the writer's state in locals:
// written through a byte pointer, members would be stored and loaded again
// around every byte.  A step starts with at least 56 bits in the buffer:
// up to three literals that the table resolves (12 bits each), or one
// symbol of any kind (16 + 16 + 12 bits), alone or after one such literal.
// The entry of the next code is looked up as soon as its bits are at the
// top.  Stops before the input's last 8 bytes, before `flushAt` and while
// the declared size has room for a whole step, so that nothing here needs
// a bounds check; nothing is written past the declared size.  Returns
// where the output stops.
uint8_t* Decoder::DecodeFast(uint8_t* out, uint8_t* flushAt) {
    uint64_t buf = bitBuf_;
    int count = bitCount_;
    const uint8_t* in = inPtr_;
    const uint8_t* const inLast = inEnd_ - 8;
    uint8_t* const start = out;
    uint8_t* const outLimit = remaining_ - kFastMargin < flushAt - out ? out + (remaining_ - kFastMargin) : flushAt;
    uint32_t left = blockLeft_;
    const uint16_t* const ctab = cTable_.Table();
    const uint16_t* const ptab = pTable_.Table();
    constexpr uint16_t kLong = DecodeTable::kLong;
    static_assert(kCBits == 12 && kPBits == 8, "the shifts below take 12 and 8 bits");
    auto refill = [&] {
        buf |= LoadBE64(in) >> count;
        in += (63 - count) >> 3;
        count |= 56;
    };
    auto isLiteral = [](uint32_t entry) { return entry < DecodeTable::kLiteralEnd; };
    auto take = [&](uint32_t entry) {
        const int l = DecodeTable::Length(entry);
        buf <<= l;
        count -= l;
    };

    if (left == 0 || out >= outLimit || in > inLast) return out;
    refill();
    uint32_t e = ctab[buf >> 52];
    while (left != 0 && out < outLimit && in <= inLast) {
        refill();
        if (isLiteral(e)) {
            take(e);
            *out++ = static_cast<uint8_t>(DecodeTable::Symbol(e));
            e = ctab[buf >> 52];
            if (--left == 0) break;
            if (isLiteral(e)) {
                take(e);
                *out++ = static_cast<uint8_t>(DecodeTable::Symbol(e));
                e = ctab[buf >> 52];
                if (--left == 0 || !isLiteral(e)) continue;
                take(e);
                *out++ = static_cast<uint8_t>(DecodeTable::Symbol(e));
                e = ctab[buf >> 52];
                --left;
                continue;
            }
            // After one literal, 44 bits are left: enough for any symbol.
        }
        --left;
        if (e == kLong) e = cTable_.DecodeLong(static_cast<uint32_t>(buf >> 48));
        take(e);
        if (isLiteral(e)) {
            *out++ = static_cast<uint8_t>(DecodeTable::Symbol(e));
            e = ctab[buf >> 52];
            continue;
        }
        const uint32_t length = static_cast<uint32_t>(DecodeTable::Symbol(e) - (256 - THRESHOLD));
        uint32_t pe = ptab[buf >> 56];
        if (pe == kLong) pe = pTable_.DecodeLong(static_cast<uint32_t>(buf >> 48));
        const uint32_t p = DecodeTable::Position(pe, buf);
        take(pe);
        e = ctab[buf >> 52];  // at least 12 bits are left
        // At most 8192 back, and the window in front of the chunk is 8192.
        const size_t distance = p + 1;
        const uint8_t* src = out - distance;
        if (distance >= 16) {
            // Whole 16-byte pieces; the slack behind the chunk takes the overrun.
            // Two pieces whatever the length: most matches need no more,
            // and a wrong guess about the length costs more than a piece.
            std::memcpy(out, src, 16);
            std::memcpy(out + 16, src + 16, 16);
            for (uint32_t k = 32; k < length; k += 16) std::memcpy(out + k, src + k, 16);
        } else if (distance >= 8) {
            std::memcpy(out, src, 8);
            std::memcpy(out + 8, src + 8, 8);
            for (uint32_t k = 16; k < length; k += 8) std::memcpy(out + k, src + k, 8);
        } else if (distance == 1) {
            std::memset(out, *src, length);
        } else {
            for (uint32_t k = 0; k < length; ++k) out[k] = src[k];
        }
        out += length;
    }
    bitBuf_ = buf;
    bitCount_ = count;
    inPtr_ = in;
    remaining_ -= out - start;
    blockLeft_ = left;
    return out;
}

void Decoder::ReadPtLengths(DecodeTable& table, int nn, int nbit, int special) {
    const int n = static_cast<int>(GetBits(nbit));
    if (n == 0) {
        const int c = static_cast<int>(GetBits(nbit));
        if (c >= nn) Corrupt();
        table.BuildSingle(c, kPBits);
        return;
    }
    if (n > nn) Corrupt();
    uint8_t len[NT] = {};
    int i = 0;
    while (i < n) {
        Refill();
        int c = static_cast<int>(Peek(3));
        Drop(3);
        if (c == 7) {
            while (Peek(1) != 0) {
                if (++c > MAXCODELEN) Corrupt();
                Drop(1);
            }
            Drop(1);
        }
        len[i++] = static_cast<uint8_t>(c);
        if (i == special) {
            int run = static_cast<int>(GetBits(2));
            while (run-- > 0) len[i++] = 0;
        }
    }
    if (!table.Build(len, nn, kPBits)) Corrupt();
}

void Decoder::ReadCLengths() {
    const int n = static_cast<int>(GetBits(CBIT));
    if (n == 0) {
        const int c = static_cast<int>(GetBits(CBIT));
        if (c >= NC) Corrupt();
        cTable_.BuildSingle(c, kCBits);
        cIdentity_ = false;
        return;
    }
    if (n > NC) Corrupt();
    uint8_t len[NC] = {};
    int i = 0;
    while (i < n) {
        Refill();
        const int c = DecodeSymbol(ptTable_);
        if (c <= 2) {
            int run;
            if (c == 0)
                run = 1;
            else if (c == 1)
                run = static_cast<int>(GetBits(4)) + 3;
            else
                run = static_cast<int>(GetBits(CBIT)) + 20;
            if (i + run > NC) Corrupt();
            i += run;  // already zero
        } else {
            len[i++] = static_cast<uint8_t>(c - 2);
        }
    }
    // All 256 literals 8 bits long fill the code space alone: then the
    // canonical code of each byte is the byte.
    cIdentity_ = n == 256 && std::all_of(len, len + 256, [](uint8_t l) { return l == 8; });
    if (cIdentity_)
        cTable_.BuildIdentity(kCBits);
    else if (!cTable_.Build(len, NC, kCBits))
        Corrupt();
}

void Decoder::ReadBlockHeader() {
    blockLeft_ = GetBits(16);
    ReadPtLengths(ptTable_, NT, TBIT, 3);
    ReadCLengths();
    ReadPtLengths(pTable_, NP, PBIT, -1);
    CheckOverrun();
}

void Decoder::Consume() {
    const size_t n = outPos_ - DICSIZ;
    if (n == 0) return;
    written_ += static_cast<int64_t>(n);
    if (progress_ != nullptr) progress_->SetPosition(written_);
    std::memmove(outBuf_.get(), outBuf_.get() + outPos_ - DICSIZ, DICSIZ);
    outPos_ = DICSIZ;
}

int64_t Decoder::Begin() {
    start_ = in_.Position();
    total_ = budget_;
    uint8_t sizeField[4];
    if (budget_ < 4) throw EReadError("Stream read error");
    in_.ReadBuffer(sizeField, 4);
    budget_ -= 4;
    remaining_ = GetU32(sizeField);
    // No stream of this many bytes can say that much: refuse it before
    // decoding anything.
    if (remaining_ > (budget_ * 8 / kMinBlockBits) * kMaxBlockOutput) Corrupt();
    if (progress_ != nullptr) progress_->SetMax(remaining_);
    return remaining_;
}

void Decoder::Prepare() {
    if (auto* memory = dynamic_cast<TCustomMemoryStream*>(&in_)) {
        // Bytes already in memory are read where they are.
        inPtr_ = memory->Memory() + in_.Position();
        inEnd_ = inPtr_ + budget_;
        budget_ = 0;
    } else {
        inBuf_.resize(static_cast<size_t>(std::min(budget_, kInChunk)) + 1);
        inPtr_ = inEnd_ = inBuf_.data();
    }
    // The window starts as zeros, so a reference before the first byte
    // reads zeros and never uninitialised memory.
    outBuf_.reset(new uint8_t[DICSIZ + kOutChunk + kOutSlack]);
    std::memset(outBuf_.get(), 0, DICSIZ);
}

void Decoder::Fill(size_t chunk) {
    if (!outBuf_) Prepare();
    uint8_t* const out = outBuf_.get();
    const size_t flushAt = DICSIZ + std::min<size_t>(chunk, kOutChunk);
    int64_t remaining = remaining_;
    while (remaining > 0 && outPos_ < flushAt) {
        if (blockLeft_ == 0) {
            ReadBlockHeader();
            continue;
        }
        if (cIdentity_ && blockLeft_ >= 7 && remaining >= 7) {
            // Seven bytes per step straight from the bit buffer.
            const size_t n = static_cast<size_t>(std::min<int64_t>({blockLeft_, remaining, static_cast<int64_t>(flushAt - outPos_) + 7}));
            uint8_t* dst = out + outPos_;
            size_t done = CopyIdentity(dst, n);
            while (n - done >= 7) {  // the last bytes of the input
                RefillFull();
                const uint64_t v = __builtin_bswap64(bitBuf_);
                std::memcpy(dst + done, &v, 8);
                Drop(56);
                done += 7;
            }
            outPos_ += done;
            remaining -= static_cast<int64_t>(done);
            blockLeft_ -= static_cast<uint32_t>(done);
            continue;
        }
        if (remaining > kFastMargin && inEnd_ - inPtr_ >= 8) {
            remaining_ = remaining;
            outPos_ = static_cast<size_t>(DecodeFast(out + outPos_, out + flushAt) - out);
            remaining = remaining_;
            if (blockLeft_ == 0 || outPos_ >= flushAt) continue;
        }
        // Symbol by symbol near the ends of the input, the output and the
        // declared size, where the reader may run dry.
        --blockLeft_;
        Refill();
        const int c = DecodeSymbol(cTable_);
        if (c < 256) {
            out[outPos_++] = static_cast<uint8_t>(c);
            --remaining;
        } else {
            const int64_t length = c - (256 - THRESHOLD);
            const uint32_t pe = pTable_.Decode(Peek(16));
            const uint32_t p = DecodeTable::Position(pe, bitBuf_);
            Drop(DecodeTable::Length(pe));
            const size_t distance = p + 1;
            // Never past the declared size, whatever the stream says.
            const size_t n = static_cast<size_t>(std::min(length, remaining));
            uint8_t* dst = out + outPos_;
            const uint8_t* src = dst - distance;
            if (distance >= 8) {
                // Whole words; the slack behind the buffer takes the overshoot.
                for (size_t k = 0; k < n; k += 8) std::memcpy(dst + k, src + k, 8);
            } else {
                for (size_t k = 0; k < n; ++k) dst[k] = src[k];
            }
            outPos_ += n;
            remaining -= static_cast<int64_t>(n);
        }
    }
    remaining_ = remaining;
    if (remaining_ == 0) CheckOverrun();
}

void Decoder::FillInto(TMemoryStream& out) {
    if (written_ < DICSIZ || remaining_ <= kFastMargin) return;
    const int64_t pos = out.Position();
    if (out.Size() < pos + remaining_) out.SetSize(pos + remaining_);
    uint8_t* const memory = out.Memory();
    uint8_t* p = memory + pos;
    while (remaining_ > kFastMargin) {
        if (blockLeft_ == 0) {
            ReadBlockHeader();
            continue;
        }
        // In pieces, so that progress is told as often as through Fill.
        uint8_t* const flushAt = p + std::min<int64_t>(remaining_, kOutChunk);
        uint8_t* q;
        if (cIdentity_) {
            // Eight bytes written for every seven: one short of the end.
            const size_t n = static_cast<size_t>(std::min<int64_t>({blockLeft_, remaining_ - 1, flushAt - p}));
            q = p + CopyIdentity(p, n);
            remaining_ -= q - p;
            blockLeft_ -= static_cast<uint32_t>(q - p);
        } else {
            q = DecodeFast(p, flushAt);
        }
        if (q == p) break;  // the input's last bytes: Fill's road
        written_ += q - p;
        p = q;
        out.SetPosition(p - memory);
        if (progress_ != nullptr) progress_->SetPosition(written_);
    }
    // Fill goes on behind the window it left in the stream.
    std::memcpy(outBuf_.get(), p - DICSIZ, DICSIZ);
    outPos_ = DICSIZ;
}

void Decoder::Finish() {
    const int64_t fed = (total_ - 4 - budget_) - (inEnd_ - inPtr_);
    const int64_t usedBits = fed * 8 + zeroBytes_ * 8 - bitCount_;
    in_.SetPosition(start_ + 4 + (usedBits + 7) / 8);
}

void Decode(TStream& in, int64_t budget, TStream& out, TCodingProgress* progress) {
    if (budget <= 0) return;
    Decoder d(in, budget, progress);
    d.Begin();
    // Into memory, the first window's worth goes through the buffer and
    // the rest straight in.
    auto* memory = dynamic_cast<TMemoryStream*>(&out);
    while (d.Remaining() > 0) {
        d.Fill(memory != nullptr ? DICSIZ : kOutChunk);
        out.WriteBuffer(d.Ready(), static_cast<int64_t>(d.ReadySize()));
        d.Consume();
        if (memory != nullptr) d.FillInto(*memory);
    }
    d.Finish();
}

}  // namespace lh5

TLH5ExpandStream::TLH5ExpandStream(TStream& in, int64_t budget, TCodingProgress* progress)
    : decoder_(std::make_unique<lh5::Decoder>(in, budget, progress)) {
    if (budget <= 0) return;
    size_ = decoder_->Begin();
    if (size_ == 0) decoder_->Finish();
}

TLH5ExpandStream::~TLH5ExpandStream() = default;

int64_t TLH5ExpandStream::Read(void* buffer, int64_t count) {
    auto* dst = static_cast<uint8_t*>(buffer);
    int64_t done = 0;
    while (done < count && position_ < size_) {
        if (taken_ == decoder_->ReadySize()) {
            decoder_->Consume();
            taken_ = 0;
            decoder_->Fill();
            if (position_ + static_cast<int64_t>(decoder_->ReadySize()) == size_) decoder_->Finish();
        }
        const size_t n = static_cast<size_t>(std::min<int64_t>(count - done, static_cast<int64_t>(decoder_->ReadySize() - taken_)));
        std::memcpy(dst + done, decoder_->Ready() + taken_, n);
        taken_ += n;
        done += static_cast<int64_t>(n);
        position_ += static_cast<int64_t>(n);
    }
    return done;
}

int64_t TLH5ExpandStream::Write(const void*, int64_t) { throw EStreamError("An expanding stream cannot be written"); }

int64_t TLH5ExpandStream::Seek(int64_t offset, TSeekOrigin origin) {
    const int64_t base = origin == soFromBeginning ? 0 : origin == soFromCurrent ? position_ : size_;
    if (base + offset != position_) throw EStreamError("An expanding stream only reads forward");
    return position_;
}

}  // namespace treskel
