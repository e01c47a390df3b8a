#include "store/RtfPack.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "store/ByteIO.h"

namespace treskel {

namespace {

// The stored form keeps the 10 bytes after a group's "{" and puts the count
// right behind them, so an objdata group is known by those 10 bytes alone.
constexpr size_t kScan = 10;
constexpr std::string_view kObjData = "\\*\\objdata";
constexpr std::string_view kPictWmet = "\\pict\\wmet";
// After "\pict\wmet" the word must go on as "\wmetafile" and a number; its
// bytes up to the first delimiter are stored as they are, so unpacking can
// check them too.
constexpr std::string_view kMetafileRest = "afile";
constexpr size_t kMaxWordDigits = 10;

bool IsPackDelimiter(uint8_t c) { return c == '\n' || c == '\r' || c == ' ' || c == '}'; }
bool IsUnpackDelimiter(uint8_t c) { return c == '\n' || c == '\r' || c == ' '; }

int HexDigit(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

[[noreturn]] void Corrupt() { throw Exception("File is corrupt!"); }

[[noreturn]] void Unpackable(const std::string& what) {
    throw ERtfPackError("The note cannot be packed: " + what + ". Save it without compression.");
}

enum class TextEnd { End, Group, EscapedBrace };

// Copies text up to the next "{" that opens a group.  A backslash and the
// byte after it are always text, so "\{", "\}", "\\" and "\'7b" neither
// open nor close a group; "\{" is reported, as older packers mistook it.
TextEnd CopyText(TBufferedReader& in, TBufferedWriter& out) {
    while (in.Ensure(1)) {
        const uint8_t* p = in.Ptr();
        const size_t n = in.Buffered();
        size_t i = 0;
        while (i < n && p[i] != '{' && p[i] != '\\') ++i;
        out.Write(p, i);
        in.Skip(i);
        if (i == n) continue;
        if (p[i] == '{') {
            in.Skip(1);
            return TextEnd::Group;
        }
        if (!in.Ensure(2)) {  // a backslash that ends the text
            out.Put(in.Get());
            return TextEnd::End;
        }
        const uint8_t escaped = in.Ptr()[1];
        out.Write(in.Ptr(), 2);
        in.Skip(2);
        if (escaped == '{') return TextEnd::EscapedBrace;
    }
    return TextEnd::End;
}

enum class GroupKind { Other, ObjData, Picture };

bool At(const TBufferedReader& in, size_t offset, std::string_view what) {
    return std::memcmp(in.Ptr() + offset, what.data(), what.size()) == 0;
}

// What the group whose "{" was just read holds, from bytes that packing
// leaves as they are, so that both directions see the same.
GroupKind Recognise(TBufferedReader& in) {
    if (!in.Ensure(kScan)) return GroupKind::Other;
    if (At(in, 0, kObjData)) return GroupKind::ObjData;
    if (!At(in, 0, kPictWmet) || !in.Ensure(kScan + kMetafileRest.size()) || !At(in, kScan, kMetafileRest))
        return GroupKind::Other;
    // "\wmetafile", its number, then the next word or a delimiter.
    for (size_t i = kScan + kMetafileRest.size(); i <= kScan + kMetafileRest.size() + kMaxWordDigits; ++i) {
        if (!in.Ensure(i + 1)) return GroupKind::Other;
        const uint8_t c = in.Ptr()[i];
        if (c >= '0' && c <= '9') continue;
        return c == '\\' || IsUnpackDelimiter(c) ? GroupKind::Picture : GroupKind::Other;
    }
    return GroupKind::Other;
}

// Pairs of hexadecimal digits into bytes; an odd last digit is dropped.
class HexCollector {
public:
    explicit HexCollector(const char* where) : where_(where) {}
    void Add(uint8_t c) {
        if (HexDigit(c) < 0) {
            const char digit[2] = {static_cast<char>(c), 0};
            Unpackable(std::string("'") + digit + "' in " + where_ + " is not a hexadecimal digit");
        }
        if (!half_) {
            first_ = c;
            half_ = true;
            return;
        }
        half_ = false;
        bytes_.push_back(static_cast<uint8_t>(HexDigit(first_) * 16 + HexDigit(c)));
    }
    void WriteCounted(TBufferedWriter& out) const {
        out.WriteU32(static_cast<uint32_t>(bytes_.size()));
        out.Write(bytes_.data(), bytes_.size());
    }

private:
    const char* where_;
    std::vector<uint8_t> bytes_;
    uint8_t first_ = 0;
    bool half_ = false;
};

uint8_t NextOrFail(TBufferedReader& in, const char* what) {
    if (in.AtEnd()) Unpackable(what);
    return in.Get();
}

void PackObjData(TBufferedReader& in, TBufferedWriter& out) {
    HexCollector hex("an embedded object");
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

    HexCollector hex("a metafile picture");
    while (c != '}') {
        if (!IsPackDelimiter(c)) hex.Add(c);
        c = NextOrFail(in, "a metafile picture is not closed");
    }
    hex.WriteCounted(out);
    out.Put('}');
}

void WriteHexByte(TBufferedWriter& out, uint8_t b) {
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
        WriteHexByte(out, in.Get());
        if (objData && i <= 32 && i % 4 == 0 && i != 16) out.Write("\r\n", 2);
    }
    out.Put(in.Get());
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

// Older packers took a typed "{" ("\{") for a group: where "objdata" stood in
// the 10 bytes after it, they stored a count there, and the "}" that ended
// the hexadecimal digits they gathered (usually that of a typed "\}", whose
// backslash they dropped).  The count holds a zero byte, which the editor
// never writes: so such a place is known, and the text is given back.
bool LegacyEscapedGroup(TBufferedReader& in) {
    if (!in.Ensure(kScan + 4)) return false;
    const std::string_view scan(reinterpret_cast<const char*>(in.Ptr()), kScan);
    return scan.find("objdata") != std::string_view::npos && in.Ptr()[kScan + 3] == 0;
}

// Whether the 10 bytes end inside an escape, whose second byte was the "}".
bool EndsInEscape(const uint8_t* s) {
    size_t i = 0;
    while (i < kScan) i += s[i] == '\\' ? 2 : 1;
    return i > kScan;
}

void UnpackLegacyEscapedGroup(TBufferedReader& in, TBufferedWriter& out) {
    const bool escapeOpen = EndsInEscape(in.Ptr());
    out.Write(in.Ptr(), kScan);
    in.Skip(kScan);
    const uint32_t n = in.ReadU32();
    if (static_cast<int64_t>(n) + 1 > in.Remaining()) Corrupt();
    for (uint32_t i = 0; i < n; ++i) WriteHexByte(out, in.Get());
    if (in.Get() != '}') Corrupt();
    if (!escapeOpen) out.Put('\\');
    out.Put('}');
}

void RefuseLegacyLookalike(TBufferedReader& in, TBufferedWriter&) {
    if (LegacyEscapedGroup(in)) Unpackable("a zero byte follows a typed brace");
}

// Copies the RTF text, handing each object's and each picture's payload to
// its coder once the group that holds it has been copied up to it.
template <class ObjData, class Picture, class EscapedBrace>
void TransformRtf(TStream& input, TStream& output, ObjData objData, Picture picture, EscapedBrace escapedBrace) {
    TBufferedReader in(input);
    TBufferedWriter out(output);
    for (;;) {
        const TextEnd end = CopyText(in, out);
        if (end == TextEnd::End) break;
        if (end == TextEnd::EscapedBrace) {
            escapedBrace(in, out);
            continue;
        }
        out.Put('{');
        const GroupKind kind = Recognise(in);
        if (kind == GroupKind::Other) continue;  // its bytes are read as text
        out.Write(in.Ptr(), kScan);
        in.Skip(kScan);
        if (kind == GroupKind::ObjData)
            objData(in, out);
        else
            picture(in, out);
    }
    out.Flush();
}

}  // namespace

void PackRtfObjects(TStream& input, TStream& output) {
    TransformRtf(input, output, PackObjData, PackPicture, RefuseLegacyLookalike);
}

void UnpackRtfObjects(TStream& input, TStream& output) {
    TransformRtf(
        input, output, [](TBufferedReader& in, TBufferedWriter& out) { UnpackPayload(in, out, true); }, UnpackPicture,
        [](TBufferedReader& in, TBufferedWriter& out) {
            if (LegacyEscapedGroup(in)) UnpackLegacyEscapedGroup(in, out);
        });
}

}  // namespace treskel
