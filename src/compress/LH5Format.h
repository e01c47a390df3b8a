// Constants of the -lh5- bit stream and the prefix-code helpers shared by
// its encoder and decoder.  Internal to the compressor.
#pragma once

#include <cstdint>

namespace treskel::lh5 {

inline constexpr int DICBIT = 13;
inline constexpr int DICSIZ = 1 << DICBIT;  // 8192-byte window
inline constexpr int MAXMATCH = 256;
inline constexpr int THRESHOLD = 3;
inline constexpr int NC = 255 + MAXMATCH + 2 - THRESHOLD;  // 510 literal/length symbols
inline constexpr int CBIT = 9;
inline constexpr int NT = 19;
inline constexpr int TBIT = 5;
inline constexpr int NP = DICBIT + 1;  // 14 position classes
inline constexpr int PBIT = 4;
inline constexpr int MAXCODELEN = 16;

// Lengths (at most 16) of an optimal prefix code for the frequencies; all
// lengths are 0 when fewer than two symbols occur.  Returns the number of
// symbols that occur.
int MakeCodeLengths(const uint32_t* freq, int n, uint8_t* len);

// Canonical codes: in symbol order within each length, shorter lengths
// first, starting from 0.
void MakeCodes(const uint8_t* len, int n, uint16_t* code);

// Lookup table of a prefix code for the decoder.  Codes up to `bits` long
// resolve with one lookup; longer ones fall back to a canonical search.
class DecodeTable {
public:
    static constexpr uint16_t kLong = 0xFFFF;

    // A table of position classes counts the low bits of the position that
    // follow a code into its entry's length, so that one shift takes both.
    explicit DecodeTable(bool positions = false) : positions_(positions) {}

    // False when the lengths do not fill the code space exactly or a length
    // exceeds 16.
    bool Build(const uint8_t* len, int n, int bits);
    // Every code is the one symbol, zero bits long.
    void BuildSingle(int symbol, int bits);
    // The 256 byte values, each 8 bits long: the code is the byte.
    void BuildIdentity(int bits);

    int Bits() const { return bits_; }
    // Entry: symbol << 6 | length, or kLong.  The length sits low so that
    // a shift by the entry itself takes the code's bits; a literal's
    // entry is below kLiteralEnd.
    static constexpr uint16_t MakeEntry(int symbol, int length) { return static_cast<uint16_t>(symbol << 6 | length); }
    static constexpr int Length(uint32_t entry) { return static_cast<int>(entry & 63); }
    static constexpr int Symbol(uint32_t entry) { return static_cast<int>(entry >> 6); }
    static constexpr uint32_t kLiteralEnd = 256u << 6;
    // The position coded by an entry of a position table and the bits at
    // the top of `buf`, the entry's code first.
    static uint32_t Position(uint32_t entry, uint64_t buf) {
        // Class c is 0, 1, or 2^(c-1) and c - 1 low bits.
        static constexpr uint16_t kBase[NP] = {0, 1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 1024, 2048, 4096};
        static constexpr uint16_t kLow[NP] = {0, 0, 1, 3, 7, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095};
        const int c = Symbol(entry);
        return kBase[c] + (static_cast<uint32_t>((buf >> 1) >> (63 - Length(entry))) & kLow[c]);
    }
    uint16_t Entry(uint32_t index) const { return table_[index]; }
    const uint16_t* Table() const { return table_; }
    // The entry of a code longer than Bits(), from the next 16 bits.
    uint32_t DecodeLong(uint32_t next16) const;
    // The entry of the code at the top of the next 16 bits.
    uint32_t Decode(uint32_t next16) const {
        const uint32_t e = table_[next16 >> (MAXCODELEN - bits_)];
        return e != kLong ? e : DecodeLong(next16);
    }

private:
    uint16_t EntryOf(int symbol, int length) const {
        return MakeEntry(symbol, length + (positions_ && symbol > 1 ? symbol - 1 : 0));
    }

    bool positions_;
    int bits_ = 0;
    uint16_t table_[4096];
    uint16_t start_[MAXCODELEN + 2] = {};
    uint16_t count_[MAXCODELEN + 1] = {};
    uint16_t index_[MAXCODELEN + 1] = {};
    uint16_t sorted_[NC] = {};
};

}  // namespace treskel::lh5
