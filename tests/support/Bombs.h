// Valid compressed streams that are small on disk and expand to gigabytes,
// as a crafted file would: the stored formats must refuse them before
// decoding, and a writer of bit streams by hand to make such inputs.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Streams.h"

namespace treskel::test {

// An -lh5- stream written bit by bit, most significant bit first, behind
// its 4-byte declared size.
class Lh5Bits {
public:
    explicit Lh5Bits(uint32_t size) {
        bytes_.resize(4);
        PutU32(bytes_.data(), size);
    }
    Lh5Bits& Put(int n, uint32_t v) {
        for (int i = n - 1; i >= 0; --i) {
            if (used_ % 8 == 0) bytes_.push_back(0);
            if ((v >> i) & 1) bytes_.back() |= static_cast<uint8_t>(0x80 >> (used_ % 8));
            ++used_;
        }
        return *this;
    }
    // With four zero bytes of room, so that only the tables decide.
    std::vector<uint8_t> Bytes() const {
        auto b = bytes_;
        b.resize(b.size() + 4, 0);
        return b;
    }

private:
    std::vector<uint8_t> bytes_;
    int64_t used_ = 0;
};

// Blocks of 65,535 matches of 256 bytes, each coded in 0 bits (every table
// holds one symbol): 52 bits of stream for 16.7 MB of output.  Declares
// `declared` bytes and holds enough blocks to give them.
inline std::vector<uint8_t> Lh5Bomb(uint32_t declared) {
    constexpr int64_t kPerBlock = 65535LL * 256;
    Lh5Bits b(declared);
    for (int64_t out = 0; out < declared; out += kPerBlock)
        b.Put(16, 65535).Put(5, 0).Put(5, 0).Put(9, 0).Put(9, 509).Put(4, 0).Put(4, 0);
    return b.Bytes();
}

// A container's compressed stream of `chunks` blocks, each of run items
// that fill the 32,781 bytes a block may give: 39 bytes a chunk.
inline std::vector<uint8_t> LzrwRunBomb(int chunks) {
    std::vector<uint8_t> block = {64, 0xFF, 0};  // compressed: 8 items, all runs
    int left = 32781;
    for (int i = 0; i < 8; ++i) {
        const int count = std::min(left, 4111);
        left -= count;
        block.insert(block.end(), {0, static_cast<uint8_t>((count - 16) >> 8), static_cast<uint8_t>((count - 16) & 255),
                                   'x'});
    }
    std::vector<uint8_t> s(4);
    for (int i = 0; i < chunks; ++i) {
        uint8_t len[4];
        PutU32(len, static_cast<uint32_t>(block.size()));
        s.insert(s.end(), len, len + 4);
        s.insert(s.end(), block.begin(), block.end());
    }
    PutU32(s.data(), static_cast<uint32_t>(s.size() - 4));
    return s;
}

// Where a decoder's output goes when only its size matters.
using treskel::TCountingStream;

}  // namespace treskel::test
