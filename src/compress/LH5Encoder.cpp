// The -lh5- encoder: hash chains of four-byte starts over the 8 KB window
// (and the latest of each three-byte start for the shortest matches) with
// one step of lazy matching, codes gathered in blocks of the size the
// format's writers use, and static Huffman codes per block.
#include <algorithm>
#include <cstring>
#include <vector>

#include "compress/LH5Coder.h"
#include "compress/LH5Format.h"

namespace treskel::lh5 {

namespace {

constexpr int kHashBits = 15;
constexpr uint32_t kHashSize = 1u << kHashBits;
constexpr int kHash3Bits = 14;
constexpr uint32_t kHash3Size = 1u << kHash3Bits;
constexpr uint32_t kWMask = DICSIZ - 1;
// The chain slot of a position is reused 8192 positions later, so matches
// reach back at most 8191 bytes.
constexpr uint32_t kMaxDist = DICSIZ - 1;
constexpr uint32_t kBufData = 128 * 1024;
constexpr uint32_t kMinLookahead = MAXMATCH + THRESHOLD + 1;
constexpr int kMaxChain = 128;
constexpr int kGoodLength = 8;
constexpr int kNiceLength = 128;
// A match this long is taken without looking one byte further for a
// longer one: past it, the look costs more time than it saves bytes.
constexpr int kMaxLazy = 8;
// A 3-byte match further away than this costs more than three literals.
constexpr uint32_t kTooFar = 4096;
// The block buffer, counted as the format's writers count theirs: a flag
// byte per 8 codes, 1 byte per literal, 3 per match; a block is sent when a
// flag byte is due and this much is used.  Four times the reference
// writer's 16 KB: the tables serve more codes, so the output is a little
// smaller and the reader builds fewer tables, and a block still counts
// fewer codes than its 16-bit count can say.
constexpr int kBlockBuffer = 65536;
constexpr int kBlockLimit = kBlockBuffer - 3 * 8;
static_assert(kBlockBuffer * 8 / 9 < 0x10000, "a block's count of codes fits its field");
constexpr size_t kOutChunk = 64 * 1024;

class BitWriter {
public:
    explicit BitWriter(TStream& out) : out_(out) { buf_.reserve(kOutChunk + 16); }
    // n <= 32
    void Put(int n, uint32_t v) {
        acc_ = (acc_ << n) | v;
        count_ += n;
        if (count_ >= 32) {
            count_ -= 32;
            const uint32_t w = static_cast<uint32_t>(acc_ >> count_);
            const uint8_t b[4] = {static_cast<uint8_t>(w >> 24), static_cast<uint8_t>(w >> 16),
                                  static_cast<uint8_t>(w >> 8), static_cast<uint8_t>(w)};
            buf_.insert(buf_.end(), b, b + 4);
            if (buf_.size() >= kOutChunk) FlushBytes();
        }
    }
    // Completes the last byte with zero bits and writes everything out.
    void Finish() {
        while (count_ > 0) {
            const int n = std::min(count_, 8);
            buf_.push_back(static_cast<uint8_t>((acc_ >> (count_ - n)) << (8 - n)));
            count_ -= n;
        }
        FlushBytes();
    }

private:
    void FlushBytes() {
        if (!buf_.empty()) out_.WriteBuffer(buf_.data(), static_cast<int64_t>(buf_.size()));
        buf_.clear();
    }
    TStream& out_;
    std::vector<uint8_t> buf_;
    uint64_t acc_ = 0;
    int count_ = 0;
};

inline int BitLength(uint32_t p) { return p == 0 ? 0 : 32 - __builtin_clz(p); }

class Encoder {
public:
    Encoder(TStream& in, int64_t size, TStream& out, TCodingProgress* progress)
        : in_(in), size_(size), bits_(out), progress_(progress) {}
    void Run();

private:
    void Fill();
    void Slide();
    uint32_t Bytes4(uint32_t pos) const {
        uint32_t v;
        std::memcpy(&v, win_.data() + pos, 4);
        return v;
    }
    // Chains link positions that start with the same four bytes, so that
    // the search spends its steps on matches of four or more; the last
    // position of each three-byte start serves the shortest matches.
    uint32_t Insert(uint32_t pos) {
        const uint32_t v = Bytes4(pos);
        const uint32_t h = (v * 2654435761u) >> (32 - kHashBits);
        const uint32_t head = head_[h];
        prev_[pos & kWMask] = head;
        head_[h] = pos;
        head3_[((v & 0xFFFFFF) * 506832829u) >> (32 - kHash3Bits)] = pos;
        return head;
    }
    uint32_t Last3(uint32_t pos) const {
        return head3_[((Bytes4(pos) & 0xFFFFFF) * 506832829u) >> (32 - kHash3Bits)];
    }
    int LongestMatch(uint32_t cur, uint32_t near3, int prevLength, uint32_t& matchPos) const;
    void Output(int symbol, uint32_t position, const uint8_t* raw, int rawLength) {
        if ((codes_ & 7) == 0) {
            if (blockBytes_ >= kBlockLimit) SendBlock();
            ++blockBytes_;  // the flag byte
        }
        // Past what one block may carry as plain bytes, the bytes are not
        // needed.
        if (blockRaw_.size() <= 0xFFFF) blockRaw_.insert(blockRaw_.end(), raw, raw + rawLength);
        symbols_[codes_] = static_cast<uint16_t>(symbol);
        positions_[codes_] = static_cast<uint16_t>(position);
        ++codes_;
        ++cFreq_[symbol];
        if (symbol >= 256) {
            ++pFreq_[BitLength(position)];
            blockBytes_ += 3;
        } else {
            blockBytes_ += 1;
        }
    }
    int64_t HuffmanBlockBits(const uint8_t* pLen) const;
    void SendIdentityBlock();
    void FlushIdentity();
    void SendBlock();
    void WritePtLengths(const uint8_t* len, int n, int nbit, int special);
    void WriteCLengths();

    TStream& in_;
    int64_t size_;
    int64_t read_ = 0;
    BitWriter bits_;
    TCodingProgress* progress_;

    std::vector<uint8_t> win_;
    uint32_t strStart_ = 1;  // position 0 stays unused so that 0 ends a chain
    uint32_t lookahead_ = 0;
    uint32_t prevMatch_ = 0;  // where the match one byte back was found
    std::vector<uint32_t> head_;
    std::vector<uint32_t> head3_;
    std::vector<uint32_t> prev_;

    // The block being gathered.
    std::vector<uint16_t> symbols_ = std::vector<uint16_t>(kBlockBuffer);
    std::vector<uint16_t> positions_ = std::vector<uint16_t>(kBlockBuffer);
    uint32_t codes_ = 0;
    std::vector<uint8_t> blockRaw_;  // the input bytes the block codes
    std::vector<uint8_t> identity_;  // incompressible bytes not yet sent
    int blockBytes_ = 0;
    uint32_t cFreq_[NC] = {};
    uint32_t pFreq_[NP] = {};
    uint8_t cLen_[NC] = {};
    uint16_t cCode_[NC] = {};
    uint8_t ptLen_[NT] = {};
    uint16_t ptCode_[NT] = {};
};

void Encoder::Slide() {
    // Keep the window behind the current position, drop what lies before.
    const uint32_t delta = strStart_ - DICSIZ - 1;
    std::memmove(win_.data() + 1, win_.data() + 1 + delta, strStart_ + lookahead_ - 1 - delta);
    strStart_ -= delta;
    auto rebase = [delta](uint32_t& v) { v = v > delta ? v - delta : 0; };
    for (uint32_t& v : head_) rebase(v);
    for (uint32_t& v : head3_) rebase(v);
    for (uint32_t& v : prev_) rebase(v);
    rebase(prevMatch_);
}

void Encoder::Fill() {
    while (lookahead_ < kMinLookahead && read_ < size_) {
        uint32_t end = strStart_ + lookahead_;
        if (end >= 1 + kBufData && strStart_ > DICSIZ + 1) {
            Slide();
            end = strStart_ + lookahead_;
        }
        const int64_t room = static_cast<int64_t>(1 + kBufData) - end;
        const int64_t n = std::min(room, size_ - read_);
        in_.ReadBuffer(win_.data() + end, n);
        read_ += n;
        lookahead_ += static_cast<uint32_t>(n);
        if (progress_ != nullptr) progress_->SetPosition(read_);
    }
}

int Encoder::LongestMatch(uint32_t cur, uint32_t near3, int prevLength, uint32_t& matchPos) const {
    const uint8_t* const base = win_.data();
    const uint8_t* const scan = base + strStart_;
    const int maxLen = static_cast<int>(std::min<uint32_t>(MAXMATCH, lookahead_));
    const uint32_t limit = strStart_ > kMaxDist ? strStart_ - kMaxDist : 1;
    int chain = prevLength >= kGoodLength ? kMaxChain >> 2 : kMaxChain;
    int best = prevLength;
    // A candidate can only be longer if it agrees on the four bytes that
    // end one past the best so far, and on the four it starts with.
    auto load4 = [](const uint8_t* p) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    };
    const uint32_t head = load4(scan);
    int endAt = std::max(best - 3, 0);
    uint32_t end = load4(scan + endAt);
    while (cur >= limit && chain-- > 0) {
        const uint8_t* m = base + cur;
        if (load4(m + endAt) == end && load4(m) == head) {
            int len = 0;
            // Word compares; the buffer's tail slack keeps the reads inside.
            while (len < maxLen) {
                uint64_t a, b;
                std::memcpy(&a, scan + len, 8);
                std::memcpy(&b, m + len, 8);
                const uint64_t x = a ^ b;
                if (x != 0) {
                    len += __builtin_ctzll(x) >> 3;
                    break;
                }
                len += 8;
            }
            len = std::min(len, maxLen);
            if (len > best) {
                best = len;
                matchPos = cur;
                if (len >= kNiceLength || len >= maxLen) break;
                endAt = best - 3;
                end = load4(scan + endAt);
            }
        }
        cur = prev_[cur & kWMask];
    }
    if (best < THRESHOLD && near3 >= limit && maxLen >= THRESHOLD) {
        const uint8_t* m = base + near3;
        if (m[0] == scan[0] && m[1] == scan[1] && m[2] == scan[2]) {
            best = THRESHOLD;
            matchPos = near3;
        }
    }
    return best;
}

void Encoder::WritePtLengths(const uint8_t* len, int n, int nbit, int special) {
    while (n > 0 && len[n - 1] == 0) --n;
    bits_.Put(nbit, static_cast<uint32_t>(n));
    int i = 0;
    while (i < n) {
        const int k = len[i++];
        if (k <= 6)
            bits_.Put(3, static_cast<uint32_t>(k));
        else
            bits_.Put(k - 3, (1u << (k - 3)) - 2);
        if (i == special) {
            while (i < 6 && len[i] == 0) ++i;
            bits_.Put(2, static_cast<uint32_t>((i - 3) & 3));
        }
    }
}

// Walks the literal/length code lengths as the stream codes them: zero runs
// and lengths as symbols of the 19-symbol alphabet.
template <class Emit>
void WalkCLengths(const uint8_t* len, Emit&& emit) {
    int n = NC;
    while (n > 0 && len[n - 1] == 0) --n;
    int i = 0;
    while (i < n) {
        const int k = len[i++];
        if (k != 0) {
            emit(k + 2, 0, 0);
            continue;
        }
        int count = 1;
        while (i < n && len[i] == 0) {
            ++i;
            ++count;
        }
        if (count <= 2) {
            for (int j = 0; j < count; ++j) emit(0, 0, 0);
        } else if (count <= 18) {
            emit(1, 4, count - 3);
        } else if (count == 19) {
            emit(0, 0, 0);
            emit(1, 4, 15);
        } else {
            emit(2, CBIT, count - 20);
        }
    }
}

void Encoder::WriteCLengths() {
    int n = NC;
    while (n > 0 && cLen_[n - 1] == 0) --n;
    bits_.Put(CBIT, static_cast<uint32_t>(n));
    WalkCLengths(cLen_, [this](int sym, int extraBits, int extra) {
        bits_.Put(ptLen_[sym], ptCode_[sym]);
        if (extraBits != 0) bits_.Put(extraBits, static_cast<uint32_t>(extra));
    });
}

// Bits of a code-length table in the pt form.
int64_t PtLengthsBits(const uint8_t* len, int n, int nbit, int special) {
    while (n > 0 && len[n - 1] == 0) --n;
    int64_t bits = nbit;
    for (int i = 0; i < n; ++i) {
        bits += len[i] <= 6 ? 3 : len[i] - 3;
        if (i + 1 == special) bits += 2;
    }
    return bits;
}

// Size of the block as Huffman codes, its count field aside.
int64_t Encoder::HuffmanBlockBits(const uint8_t* pLen) const {
    int64_t bits = 0;
    if (std::count_if(cFreq_, cFreq_ + NC, [](uint32_t f) { return f != 0; }) >= 2) {
        bits += std::any_of(ptLen_, ptLen_ + NT, [](uint8_t l) { return l != 0; }) ? PtLengthsBits(ptLen_, NT, TBIT, 3)
                                                                                    : 2 * TBIT;
        bits += CBIT;
        WalkCLengths(cLen_, [&](int sym, int extraBits, int) { bits += ptLen_[sym] + extraBits; });
    } else {
        bits += 2 * TBIT + 2 * CBIT;
    }
    bits += std::any_of(pLen, pLen + NP, [](uint8_t l) { return l != 0; }) ? PtLengthsBits(pLen, NP, PBIT, -1) : 2 * PBIT;
    for (int s = 0; s < NC; ++s) bits += static_cast<int64_t>(cFreq_[s]) * cLen_[s];
    for (int c = 0; c < NP; ++c) bits += static_cast<int64_t>(pFreq_[c]) * (pLen[c] + (c > 1 ? c - 1 : 0));
    return bits;
}

// Incompressible input goes out as literals whose code is the byte
// itself: no bigger than Huffman codes would make it, and the decoder
// copies such a block without decoding symbol by symbol.
void Encoder::FlushIdentity() {
    if (identity_.empty()) return;
    bits_.Put(16, static_cast<uint32_t>(identity_.size()));
    bits_.Put(TBIT, 0);
    bits_.Put(TBIT, 8 + 2);  // the one code-length symbol: length 8
    bits_.Put(CBIT, 256);    // 256 lengths, each a zero-bit code
    bits_.Put(PBIT, 0);
    bits_.Put(PBIT, 0);
    for (uint8_t b : identity_) bits_.Put(8, b);
    identity_.clear();
}

// Neighbouring incompressible blocks join, up to the largest count a
// block can have, so that the reader sets up fewer tables.
void Encoder::SendIdentityBlock() {
    if (identity_.size() + blockRaw_.size() > 0xFFFF) FlushIdentity();
    identity_.insert(identity_.end(), blockRaw_.begin(), blockRaw_.end());
}

void Encoder::SendBlock() {
    const uint32_t count = codes_;
    const int cUsed = MakeCodeLengths(cFreq_, NC, cLen_);
    uint32_t tFreq[NT] = {};
    int tUsed = 0;
    if (cUsed >= 2) {
        WalkCLengths(cLen_, [&tFreq](int sym, int, int) { ++tFreq[sym]; });
        tUsed = MakeCodeLengths(tFreq, NT, ptLen_);
    } else {
        std::fill(std::begin(ptLen_), std::end(ptLen_), 0);
        std::fill(std::begin(cLen_), std::end(cLen_), 0);
    }
    uint8_t pLen[NP];
    uint16_t pCode[NP];
    const int pUsed = MakeCodeLengths(pFreq_, NP, pLen);
    MakeCodes(pLen, NP, pCode);

    const int64_t identityBits = 2 * TBIT + CBIT + 2 * PBIT + 8 * static_cast<int64_t>(blockRaw_.size());
    if (cUsed >= 2 && blockRaw_.size() <= 0xFFFF && identityBits < HuffmanBlockBits(pLen)) {
        SendIdentityBlock();
    } else {
        FlushIdentity();
        bits_.Put(16, count);
        if (cUsed >= 2) {
            if (tUsed >= 2) {
                WritePtLengths(ptLen_, NT, TBIT, 3);
            } else {
                const int only = static_cast<int>(std::find_if(tFreq, tFreq + NT, [](uint32_t f) { return f != 0; }) - tFreq);
                bits_.Put(TBIT, 0);
                bits_.Put(TBIT, static_cast<uint32_t>(only));
            }
            MakeCodes(ptLen_, NT, ptCode_);
            WriteCLengths();
            MakeCodes(cLen_, NC, cCode_);
        } else {
            const int only = cUsed == 0 ? 0 : static_cast<int>(std::find_if(cFreq_, cFreq_ + NC, [](uint32_t f) { return f != 0; }) - cFreq_);
            bits_.Put(TBIT, 0);
            bits_.Put(TBIT, 0);
            bits_.Put(CBIT, 0);
            bits_.Put(CBIT, static_cast<uint32_t>(only));
            std::fill(std::begin(cCode_), std::end(cCode_), 0);
        }
        if (pUsed >= 2) {
            WritePtLengths(pLen, NP, PBIT, -1);
        } else {
            const int only = pUsed == 0 ? 0 : static_cast<int>(std::find_if(pFreq_, pFreq_ + NP, [](uint32_t f) { return f != 0; }) - pFreq_);
            bits_.Put(PBIT, 0);
            bits_.Put(PBIT, static_cast<uint32_t>(only));
        }
        for (uint32_t i = 0; i < count; ++i) {
            const int s = symbols_[i];
            bits_.Put(cLen_[s], cCode_[s]);
            if (s >= 256) {
                const uint32_t p = positions_[i];
                const int c = BitLength(p);
                bits_.Put(pLen[c], pCode[c]);
                if (c > 1) bits_.Put(c - 1, p & ((1u << (c - 1)) - 1));
            }
        }
    }

    codes_ = 0;
    blockRaw_.clear();
    blockBytes_ = 0;
    std::fill(std::begin(cFreq_), std::end(cFreq_), 0);
    std::fill(std::begin(pFreq_), std::end(pFreq_), 0);
}

void Encoder::Run() {
    uint8_t sizeField[4];
    PutU32(sizeField, static_cast<uint32_t>(size_));
    bits_.Put(8, sizeField[0]);
    bits_.Put(8, sizeField[1]);
    bits_.Put(8, sizeField[2]);
    bits_.Put(8, sizeField[3]);
    if (progress_ != nullptr) progress_->SetMax(size_);

    win_.assign(1 + kBufData + MAXMATCH + 16, 0);
    head_.assign(kHashSize, 0);
    head3_.assign(kHash3Size, 0);
    prev_.assign(DICSIZ, 0);
    blockRaw_.reserve(0x10000 + MAXMATCH);

    int prevLength = THRESHOLD - 1;
    bool literalPending = false;
    for (;;) {
        Fill();
        if (lookahead_ == 0) break;
        uint32_t headPos = 0;
        uint32_t near3 = 0;
        if (lookahead_ >= THRESHOLD) {
            near3 = Last3(strStart_);
            headPos = Insert(strStart_);
        }
        int matchLength = THRESHOLD - 1;
        uint32_t matchPos = 0;
        if (prevLength < kMaxLazy) {
            // Only a longer match than the one a byte back is worth finding.
            matchLength = LongestMatch(headPos, near3, std::max(prevLength, THRESHOLD - 1), matchPos);
            if (matchLength == THRESHOLD && strStart_ - matchPos > kTooFar) matchLength = THRESHOLD - 1;
        }
        if (prevLength >= THRESHOLD && matchLength <= prevLength) {
            // The match found one byte back is the better one.
            Output(prevLength + (256 - THRESHOLD), strStart_ - 1 - prevMatch_ - 1, &win_[strStart_ - 1], prevLength);
            const uint32_t end = strStart_ - 1 + static_cast<uint32_t>(prevLength);
            // strStart_ is in the chains already; add the rest of the match.
            for (uint32_t p = strStart_ + 1; p < end; ++p)
                if (strStart_ + lookahead_ - p >= THRESHOLD) Insert(p);
            lookahead_ -= end - strStart_;
            strStart_ = end;
            literalPending = false;
            prevLength = THRESHOLD - 1;
        } else {
            if (literalPending) Output(win_[strStart_ - 1], 0, &win_[strStart_ - 1], 1);
            literalPending = true;
            prevLength = matchLength;
            prevMatch_ = matchPos;
            ++strStart_;
            --lookahead_;
        }
    }
    if (literalPending) Output(win_[strStart_ - 1], 0, &win_[strStart_ - 1], 1);
    SendBlock();
    FlushIdentity();
    bits_.Finish();
}

}  // namespace

void Encode(TStream& in, int64_t size, TStream& out, TCodingProgress* progress) {
    if (size < 0 || size > 0xFFFFFFFFLL) throw EStreamError("Stream too large to compress");
    Encoder e(in, size, out, progress);
    e.Run();
}

}  // namespace treskel::lh5
