// Inputs for the coder tests: RTF-like text, random bytes, one repeated
// byte; and the compressor run in stream mode over them.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "compress/LH5Control.h"

namespace treskel::test {

inline std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed = 1) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    for (auto& b : v) b = static_cast<uint8_t>(rng());
    return v;
}

inline std::vector<uint8_t> ConstantBytes(size_t n, uint8_t value = 'A') { return std::vector<uint8_t>(n, value); }

// Paragraphs of words in RTF markup, the kind of text a note body holds.
inline std::vector<uint8_t> RtfText(size_t n, uint32_t seed = 7) {
    static const char* const words[] = {"the",   "note",    "tree",   "item",  "of",     "and",    "to",
                                        "treskel", "window", "garden", "letter", "meeting", "budget", "plan",
                                        "a",     "is",      "for",    "with",  "Monday", "project", "idea",
                                        "list",  "call",    "review", "draft", "summer", "paper",  "in"};
    static const char* const marks[] = {"\\par\r\n", "\\b ", "\\b0 ", "\\i ", "\\i0 ", "{\\f1\\fs20 ", "}"};
    std::mt19937 rng(seed);
    std::string s = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fswiss Tahoma;}}\r\n";
    while (s.size() < n) {
        const uint32_t r = rng();
        if (r % 11 == 0)
            s += marks[(r >> 8) % 7];
        else {
            s += words[(r >> 8) % (sizeof(words) / sizeof(words[0]))];
            s += (r >> 16) % 9 == 0 ? ", " : " ";
        }
        if (r % 97 == 0) s += std::to_string(r % 100000);
    }
    s.resize(n);
    return std::vector<uint8_t>(s.begin(), s.end());
}

// Compress or Expand of a compressor in stream mode over the two streams.
inline void Lh5Code(TStream& in, TStream& out, void (LH5Compression::*op)()) {
    LH5Compression lh5(nullptr);
    lh5.SetUseStreamMode(true);
    lh5.StreamIn = &in;
    lh5.StreamOut = &out;
    (lh5.*op)();
}

inline void Lh5Compress(TStream& in, TStream& out) { Lh5Code(in, out, &LH5Compression::Compress); }
inline void Lh5Expand(TStream& in, TStream& out) { Lh5Code(in, out, &LH5Compression::Expand); }

inline std::vector<uint8_t> Lh5Compress(const std::vector<uint8_t>& data) {
    TMemoryStream in(data), out;
    Lh5Compress(in, out);
    return out.Bytes();
}

inline std::vector<uint8_t> Lh5Expand(const std::vector<uint8_t>& data) {
    TMemoryStream in(data), out;
    Lh5Expand(in, out);
    return out.Bytes();
}

}  // namespace treskel::test
