#include "store/RtfPack.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "store/ByteIO.h"

namespace treskel {

namespace {

constexpr size_t kScan = 10;  // bytes looked at after each "{"
constexpr std::string_view kObjData = "objdata";
constexpr std::string_view kPictWmet = "\\pict\\wmet";

bool Contains(const uint8_t* s, std::string_view what) {
    return std::string_view(reinterpret_cast<const char*>(s), kScan).find(what) != std::string_view::npos;
}

bool IsPackDelimiter(uint8_t c) { return c == '\n' || c == '\r' || c == ' ' || c == '}'; }
bool IsUnpackDelimiter(uint8_t c) { return c == '\n' || c == '\r' || c == ' '; }

int HexDigit(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

[[noreturn]] void Corrupt() { throw Exception("File is corrupt!"); }

// Copies up to the next "{" in one block write.
bool CopyPlain(TBufferedReader& in, TBufferedWriter& out) {
    while (!in.AtEnd()) {
        in.Ensure(1);
        const uint8_t* p = in.Ptr();
        const size_t n = in.Buffered();
        const auto* brace = static_cast<const uint8_t*>(std::memchr(p, '{', n));
        const size_t plain = brace != nullptr ? static_cast<size_t>(brace - p) : n;
        out.Write(p, plain);
        in.Skip(plain);
        if (brace != nullptr) {
            in.Skip(1);
            return true;
        }
    }
    return false;
}

// Pairs of hexadecimal digits into bytes; an odd last digit is dropped.
class HexCollector {
public:
    void Add(uint8_t c) {
        if (!half_) {
            first_ = c;
            half_ = true;
            return;
        }
        half_ = false;
        const int hi = HexDigit(first_), lo = HexDigit(c);
        if (hi < 0 || lo < 0) {
            const char pair[3] = {static_cast<char>(first_), static_cast<char>(c), 0};
            throw ERtfPackError(std::string("The note cannot be packed: '") + pair +
                                "' in an embedded object is not a valid hexadecimal byte. Save it without compression.");
        }
        bytes_.push_back(static_cast<uint8_t>(hi * 16 + lo));
    }
    void WriteCounted(TBufferedWriter& out) const {
        out.WriteU32(static_cast<uint32_t>(bytes_.size()));
        out.Write(bytes_.data(), bytes_.size());
    }

private:
    std::vector<uint8_t> bytes_;
    uint8_t first_ = 0;
    bool half_ = false;
};

[[noreturn]] void Unpackable(const char* what) {
    throw ERtfPackError(std::string("The note cannot be packed: ") + what + ". Save it without compression.");
}

uint8_t NextOrFail(TBufferedReader& in, const char* what) {
    if (in.AtEnd()) Unpackable(what);
    return in.Get();
}

void PackObjData(TBufferedReader& in, TBufferedWriter& out) {
    HexCollector hex;
    for (;;) {
        const uint8_t c = NextOrFail(in, "an embedded object is not closed");
        if (c == '}') break;
        if (!IsPackDelimiter(c)) hex.Add(c);
    }
    hex.WriteCounted(out);
    out.Put('}');
}

void PackPicture(TBufferedReader& in, TBufferedWriter& out) {
    const char* const broken = "a metafile picture is not laid out as the editor writes it";
    // The rest of the control words, up to and with the first delimiter.
    uint8_t c;
    do {
        c = NextOrFail(in, broken);
        out.Put(c);
    } while (!IsPackDelimiter(c));
    if (c == '}') Unpackable(broken);
    // The delimiters before the payload; unpacking reads them up to the
    // first line feed, so that must be their last byte and their only one.
    std::vector<uint8_t> run;
    for (;;) {
        c = NextOrFail(in, broken);
        // A "}" right after the line feed closes a picture without payload,
        // as unpacking writes one of count 0.
        if (!IsPackDelimiter(c) || (c == '}' && !run.empty() && run.back() == '\n')) break;
        out.Put(c);
        run.push_back(c);
    }
    size_t feeds = 0;
    for (uint8_t r : run) {
        if (r == '}') Unpackable(broken);
        if (r == '\n') ++feeds;
    }
    if (feeds != 1 || run.empty() || run.back() != '\n') Unpackable(broken);

    HexCollector hex;
    while (c != '}') {
        if (!IsPackDelimiter(c)) hex.Add(c);
        c = NextOrFail(in, "a metafile picture is not closed");
    }
    hex.WriteCounted(out);
    out.Put('}');
}

void WriteHexLine(TBufferedWriter& out, uint8_t b) {
    static const char digits[] = "0123456789ABCDEF";
    const uint8_t pair[2] = {static_cast<uint8_t>(digits[b >> 4]), static_cast<uint8_t>(digits[b & 15])};
    out.Write(pair, 2);
}

// Count and payload of a packed group, then its closing byte.
void UnpackPayload(TBufferedReader& in, TBufferedWriter& out, bool objData) {
    if (in.Remaining() < 4) Corrupt();
    const uint32_t n = in.ReadU32();
    if (static_cast<int64_t>(n) + 1 > in.Remaining()) Corrupt();
    if (objData) out.Write("\r\n", 2);
    for (uint32_t i = 1; i <= n; ++i) {
        WriteHexLine(out, in.Get());
        if (objData && i <= 32 && i % 4 == 0 && i != 16) out.Write("\r\n", 2);
    }
    out.Put(in.Get());
}

// Copies the RTF text, handing each object's and each picture's payload to
// its coder once the group that holds it has been copied up to it.
template <class ObjData, class Picture>
void TransformRtf(TStream& input, TStream& output, ObjData objData, Picture picture) {
    TBufferedReader in(input);
    TBufferedWriter out(output);
    while (CopyPlain(in, out)) {
        out.Put('{');
        // A "{" with fewer than 10 bytes after it cannot start a group.
        if (!in.Ensure(kScan)) continue;
        const uint8_t* s = in.Ptr();
        if (Contains(s, kObjData)) {
            out.Write(s, kScan);
            in.Skip(kScan);
            objData(in, out);
        } else if (Contains(s, kPictWmet)) {
            out.Write(s, kScan);
            in.Skip(kScan);
            picture(in, out);
        }
        // Otherwise the 10 bytes are scanned again as plain text.
    }
    out.Flush();
}

void UnpackPicture(TBufferedReader& in, TBufferedWriter& out) {
    uint8_t c;
    do {
        if (in.AtEnd()) Corrupt();
        c = in.Get();
        out.Put(c);
    } while (!IsUnpackDelimiter(c));
    do {
        if (in.AtEnd()) Corrupt();
        c = in.Get();
        if (IsUnpackDelimiter(c)) out.Put(c);
    } while (c != '\n');
    UnpackPayload(in, out, false);
}

}  // namespace

void PackRtfObjects(TStream& input, TStream& output) {
    TransformRtf(input, output, PackObjData, PackPicture);
}

void UnpackRtfObjects(TStream& input, TStream& output) {
    TransformRtf(input, output, [](TBufferedReader& in, TBufferedWriter& out) { UnpackPayload(in, out, true); },
                 UnpackPicture);
}

}  // namespace treskel
