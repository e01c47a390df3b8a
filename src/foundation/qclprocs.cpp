#include "foundation/qclprocs.h"

#include "foundation/qclwave.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/SysUtils.h"

namespace treskel {

namespace {

constexpr uint8_t kFlagCompressed = 64;
constexpr uint8_t kFlagStored = 128;
constexpr uint16_t kEmpty = 0xFFFF;
constexpr int kMaxRun = 4095;

[[noreturn]] void LZRWError() { throw Exception("LZRW Error!"); }

void PutBE16(uint8_t* p, unsigned v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}

}  // namespace

bool QclLZRWFindMatch(const uint8_t* source, uint16_t position, uint16_t sourceLength, uint16_t& offset,
                      uint16_t& length, uint16_t* hashTable) {
    const unsigned i = position, n = sourceLength;
    length = 0;
    // Fewer than three bytes left can never match, and the hash would read
    // past the block: the output is the same without looking.
    if (i + 3 > n) return false;
    uint32_t h = ((((static_cast<uint32_t>(source[i]) << 4) ^ source[i + 1]) << 4) ^ source[i + 2]) * 40543u;
    h = (h >> 4) & 0xFFF;
    const uint16_t e = hashTable[h];
    hashTable[h] = static_cast<uint16_t>(i);
    const int se = static_cast<int16_t>(e);
    if (e == kEmpty || static_cast<int>(i) - se >= 4096) return false;
    unsigned l = 0;
    while (l < 18 && i + l < n && source[i + l] == source[se + l]) ++l;
    if (l < 3) return false;
    offset = e;
    length = static_cast<uint16_t>(l);
    return true;
}

uint16_t QclLZRWCompress(const uint8_t* source, uint8_t* dest, uint16_t sourceLength) {
    const unsigned n = sourceLength;
    if (n > static_cast<unsigned>(kQclLZRWBlock)) LZRWError();
    std::vector<uint16_t> table;
    try {
        table.assign(4096, kEmpty);
    } catch (const std::bad_alloc&) {
        LZRWError();
    }
    dest[0] = kFlagCompressed;
    unsigned control = 1, p = 3, i = 0, k = 0;
    unsigned w = 0;
    while (i < n && p <= n) {
        if (k == 16) {
            PutBE16(dest + control, w);
            control = p;
            p += 2;
            k = 0;
        }
        unsigned r = 1;
        while (i + r < n && r < static_cast<unsigned>(kMaxRun) && source[i + r] == source[i]) ++r;
        uint16_t m = 0, len = 0;
        if (r >= 16) {
            dest[p] = 0;
            dest[p + 1] = static_cast<uint8_t>((r - 16) >> 8);
            dest[p + 2] = static_cast<uint8_t>((r - 16) & 255);
            dest[p + 3] = source[i];
            p += 4;
            i += r;
            w = w * 2 + 1;
        } else if (QclLZRWFindMatch(source, static_cast<uint16_t>(i), sourceLength, m, len, table.data())) {
            PutBE16(dest + p, ((i - m) << 4) + (len - 3u));
            p += 2;
            i += len;
            w = w * 2 + 1;
        } else {
            dest[p++] = source[i++];
            w = w * 2;
        }
        ++k;
    }
    PutBE16(dest + control, w << (16 - k));
    if (p > n) {
        dest[0] = kFlagStored;
        if (n > 0) std::memcpy(dest + 1, source, n);
        return static_cast<uint16_t>(n + 1);
    }
    return static_cast<uint16_t>(p);
}

uint16_t QclLZRWExpand(const uint8_t* source, uint8_t* dest, uint16_t sourceLength) {
    const unsigned n = sourceLength;
    if (n == 0) return 0;
    if (source[0] == kFlagStored) {
        if (n - 1 > static_cast<unsigned>(kQclLZRWBlock)) LZRWError();
        if (n > 1) std::memcpy(dest, source + 1, n - 1);
        return static_cast<uint16_t>(n - 1);
    }
    if (n <= 3) return 0;
    const unsigned limit = kQclLZRWBlock;
    unsigned w = (source[1] << 8) | source[2];
    unsigned q = 3, o = 0, bits = 16;
    do {
        if (bits == 0) {
            if (q + 2 > n) LZRWError();
            w = (source[q] << 8) | source[q + 1];
            q += 2;
            bits = 16;
        }
        if (w & 0x8000) {
            if (q + 2 > n) LZRWError();
            const unsigned b0 = source[q], b1 = source[q + 1];
            const unsigned d = b0 * 16 + (b1 >> 4);
            if (d != 0) {
                const unsigned l = (b1 & 15) + 3;
                if (d > o || o + l > limit) LZRWError();
                for (unsigned j = 0; j < l; ++j, ++o) dest[o] = dest[o - d];  // overlap repeats
                q += 2;
            } else {
                if (q + 4 > n) LZRWError();
                const unsigned count = b1 * 256 + source[q + 2] + 16;
                if (o + count > limit) LZRWError();
                std::memset(dest + o, source[q + 3], count);
                o += count;
                q += 4;
            }
        } else {
            if (o >= limit || q >= n) LZRWError();
            dest[o++] = source[q++];
        }
        w = (w << 1) & 0xFFFF;
        --bits;
    } while (q < n);
    return static_cast<uint16_t>(o);
}

void QclCompressStream(TStream& source, TStream& dest, int count) {
    const int64_t start = dest.Position();
    dest.Seek(start + 4, soFromBeginning);
    std::vector<uint8_t> in(kQclLZRWWork), out(kQclLZRWWork);
    uint32_t total = 0;
    while (count > 0) {
        // Never more than asked: the bytes after Count belong to the caller.
        const int want = std::min(count, kQclLZRWBlock);
        const int64_t got = source.Read(in.data(), want);
        if (got <= 0) throw EReadError("Stream read error");
        const uint16_t len = QclLZRWCompress(in.data(), out.data(), static_cast<uint16_t>(got));
        WriteU32(dest, len);
        dest.WriteBuffer(out.data(), len);
        total += 4u + len;
        count -= static_cast<int>(got);
    }
    const int64_t end = dest.Position();
    dest.Seek(start, soFromBeginning);
    WriteU32(dest, total);
    dest.Seek(end, soFromBeginning);
}

namespace {

// The most bytes the chunks of a stream of `total` bytes at the source's
// position can decode to, from their lengths alone; the source is left
// where it was.
int64_t MostExpanded(TStream& source, int64_t total) {
    const int64_t start = source.Position();
    int64_t most = 0;
    for (int64_t at = 0; total - at >= 4 && most <= MaxStoredItemSize;) {
        uint8_t b[4];
        if (source.ReadAt(b, 4, start + at) != 4) break;
        most += kQclLZRWBlock;
        at += 4 + static_cast<int64_t>(GetU32(b));
    }
    source.SetPosition(start);
    return most;
}

}  // namespace

void QclExpandStream(TStream& source, TStream& dest) {
    int64_t total = ReadU32(source);
    // A total beyond the stream's end is damage, not a reason to read on.
    if (total > source.Size() - source.Position()) LZRWError();
    // No item holds more than a stored item may: refused before anything
    // is decoded.
    if (MostExpanded(source, total) > MaxStoredItemSize) LZRWError();
    std::vector<uint8_t> in(kQclLZRWWork), out(kQclLZRWWork);
    while (total > 0) {
        if (total < 4) LZRWError();
        const uint32_t chunk = ReadU32(source);
        if (chunk > static_cast<uint32_t>(kQclLZRWBlock + 1) || 4 + static_cast<int64_t>(chunk) > total) LZRWError();
        source.ReadBuffer(in.data(), chunk);
        const uint16_t got = QclLZRWExpand(in.data(), out.data(), static_cast<uint16_t>(chunk));
        dest.WriteBuffer(out.data(), got);
        total -= 4 + static_cast<int64_t>(chunk);
    }
}

void QclWriteInteger(TStream& stream, int value) { WriteI32(stream, value); }
int QclReadInteger(TStream& stream) { return ReadI32(stream); }
void QclWriteByte(TStream& stream, uint8_t value) { WriteU8(stream, value); }
uint8_t QclReadByte(TStream& stream) { return ReadU8(stream); }

void QclWriteShortString(TStream& stream, const std::string& s) {
    const size_t n = std::min<size_t>(s.size(), 255);
    WriteU8(stream, static_cast<uint8_t>(n));
    stream.WriteBuffer(s.data(), static_cast<int64_t>(n));
}

std::string QclReadShortString(TStream& stream) {
    std::string s(ReadU8(stream), '\0');
    stream.ReadBuffer(s.data(), static_cast<int64_t>(s.size()));
    return s;
}

void QclWriteItemData(TStream& stream, TCustomMemoryStream& data, bool compressed) {
    data.SetPosition(0);
    if (compressed) {
        QclCompressStream(data, stream, static_cast<int>(data.Size()));
        return;
    }
    WriteU32(stream, static_cast<uint32_t>(data.Size()));
    stream.WriteBuffer(data.Memory(), data.Size());
}

void QclReadItemData(TStream& stream, TMemoryStream& data, bool compressed) {
    data.Clear();
    if (compressed) {
        QclExpandStream(stream, data);
    } else {
        const uint32_t len = ReadU32(stream);
        if (len > stream.Size() - stream.Position()) throw EReadError("Stream read error");
        data.SetSize(len);
        stream.ReadBuffer(data.Memory(), len);
    }
    data.SetPosition(0);
}

void QclWriteStrings(TStream& stream, const TStrings& strings, bool compressed) {
    TMemoryStream text;
    strings.SaveToStream(text);
    QclWriteItemData(stream, text, compressed);
}

void QclReadStrings(TStream& stream, TStrings& strings, bool compressed) {
    TMemoryStream text;
    QclReadItemData(stream, text, compressed);
    strings.LoadFromStream(text);
}

void QclWriteWave(TStream& stream, TQclWave& wave, bool compressed) {
    if (compressed)
        wave.WriteCompressed(stream);
    else
        wave.WriteWithSize(stream);
}

void QclReadWave(TStream& stream, TQclWave& wave, bool compressed) {
    if (compressed)
        wave.ReadCompressed(stream);
    else
        wave.ReadWithSize(stream);
}

}  // namespace treskel
