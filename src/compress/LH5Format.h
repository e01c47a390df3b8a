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

    // False when the lengths do not fill the code space exactly or a length
    // exceeds 16.
    bool Build(const uint8_t* len, int n, int bits);
    // Every code is the one symbol, zero bits long.
    void BuildSingle(int symbol, int bits);
    // The 256 byte values, each 8 bits long: the code is the byte.
    void BuildIdentity(int bits);

    int Bits() const { return bits_; }
    // Entry: symbol | length << 10, or kLong.
    uint16_t Entry(uint32_t index) const { return table_[index]; }
    // Decodes a code longer than Bits() from the next 16 bits; returns the
    // symbol and sets its length.
    int DecodeLong(uint32_t next16, int& length) const;

private:
    int bits_ = 0;
    uint16_t table_[4096];
    uint16_t start_[MAXCODELEN + 2] = {};
    uint16_t count_[MAXCODELEN + 1] = {};
    uint16_t index_[MAXCODELEN + 1] = {};
    uint16_t sorted_[NC] = {};
};

}  // namespace treskel::lh5
