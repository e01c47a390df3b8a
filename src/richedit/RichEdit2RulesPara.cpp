// The paragraph words that some rich-edit windows write in a form their own
// reader takes as another format, and rich text as the control's reader is
// given it: measured, and flattened where it nests too deep
// (RichEdit2Rules.h).
#include <algorithm>
#include <cctype>
#include <charconv>
#include <string>
#include <unordered_set>
#include <utility>

#include "richedit/RichEdit2Rules.h"

namespace treskel {

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr int kSingleLine = 240;  // twips of one line in "\slN\slmult1"
// Groups deeper than this share the scope of the group at this depth.
constexpr size_t kScopes = 4096;

using Names = std::unordered_set<std::string_view>;

// A paragraph's length times itself, up to what one paragraph is reckoned
// at most (and never past what the type holds).
int64_t ParagraphSquares(int64_t length) {
    return length >= 100'000 ? TRtfShape::kMostSquares : std::min(length * length, TRtfShape::kMostSquares);
}

// Words that end a paragraph or a line of one.
bool EndsParagraph(std::string_view name) {
    static const Names names{"par", "line", "lbr", "cell", "row", "nestcell", "nestrow", "sect", "page"};
    return names.count(name) > 0;
}
// Words that stand for a character of text.
bool IsCharacterWord(std::string_view name) {
    static const Names names{"tab",    "emdash",    "endash",    "emspace", "enspace", "qmspace", "bullet",
                             "lquote", "rquote",    "ldblquote", "rdblquote", "zwj",   "zwnj",    "u"};
    return names.count(name) > 0;
}
// Destinations whose text is not shown: pictures and objects, the
// header's tables, bullets' text, fields' instructions, headers and notes.
bool IsHiddenDestination(std::string_view name) {
    static const Names names{
        "pict",      "object",     "objdata",  "objclass",  "objname",    "fonttbl",   "colortbl",
        "stylesheet", "info",      "listtable", "listoverridetable", "rsidtbl", "generator", "themedata",
        "colorschememapping", "datastore", "latentstyles", "xmlnstbl", "pntext", "pntxta", "pntxtb",
        "fldinst",   "header",     "headerl",  "headerr",   "headerf",    "footer",    "footerl",
        "footerr",   "footerf",    "footnote", "annotation", "bkmkstart", "bkmkend",   "xe",
        "tc",        "txe",        "shppict",  "nonshppict"};
    return names.count(name) > 0;
}

void PutWord(const char* name, int value, std::string& out) {
    out += '\\';
    out += name;
    char digits[16];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

}  // namespace

struct TParaWordFilter::TWord {
    std::string_view Bytes;  // with the space that ends it, if any
    std::string_view Name;
    int Value = 0;
    bool DoubleMinus = false;  // "\sl--N"
    bool Space = false;
};

namespace {

// The length of the control word or symbol at `at` (a backslash), or 0
// when the bytes end before it does and more may come.
size_t WordLength(std::string_view d, size_t at, bool final) {
    size_t i = at + 1;
    if (i >= d.size()) return final ? d.size() - at : 0;
    if (!IsLetter(d[i])) return 2;
    while (i < d.size() && IsLetter(d[i])) ++i;
    // A minus (two after \sl), digits, and one space that ends the word.
    for (int minus = 0; minus < 2 && i < d.size() && d[i] == '-'; ++minus) ++i;
    while (i < d.size() && IsDigit(d[i])) ++i;
    if (i >= d.size()) return final ? d.size() - at : 0;
    if (d[i] == ' ') ++i;
    return i - at;
}

}  // namespace

TParaWordFilter TParaWordFilter::ToControl(int maxDepth) {
    TParaWordFilter filter(TParaWordFaults{});
    filter.control_ = true;
    filter.maxDepth_ = std::max(maxDepth, 0);
    return filter;
}

void TParaWordFilter::Write(std::string_view bytes, std::string& out) {
    if (carry_.empty()) {
        Process(bytes, false, out);
    } else {
        std::string joined = std::move(carry_);
        carry_.clear();
        joined.append(bytes);
        Process(joined, false, out);
    }
}

void TParaWordFilter::Finish(std::string& out) {
    std::string rest = std::move(carry_);
    carry_.clear();
    Process(rest, true, out);
    Flush(out);
    EndParagraph();
    shape_.Unclosed = open_;
}

void TParaWordFilter::Pass(std::string_view bytes) {
    // In pieces: what they make is never held whole.
    constexpr size_t kPiece = 64 * 1024;
    std::string made;
    for (size_t at = 0; at < bytes.size(); at += kPiece) {
        made.clear();
        Write(bytes.substr(at, kPiece), made);
    }
}

void TParaWordFilter::Finish() {
    std::string made;
    Finish(made);
}

void TParaWordFilter::Process(std::string_view d, bool final, std::string& out) {
    size_t i = 0;
    while (i < d.size()) {
        if (binaryLeft_ > 0) {
            size_t n = static_cast<size_t>(std::min<int64_t>(binaryLeft_, static_cast<int64_t>(d.size() - i)));
            out.append(d.substr(i, n));
            binaryLeft_ -= static_cast<int64_t>(n);
            i += n;
            continue;
        }
        char c = d[i];
        if (c != '\\' && c != '{' && c != '}') {
            size_t j = i + 1;
            while (j < d.size() && d[j] != '\\' && d[j] != '{' && d[j] != '}') ++j;
            Flush(out);
            Text(d.substr(i, j - i), out);
            i = j;
            continue;
        }
        if (c == '{') {
            Flush(out);
            Open(out);
            ++i;
            continue;
        }
        if (c == '}') {
            Flush(out);
            Close(out);
            ++i;
            continue;
        }
        size_t n = WordLength(d, i, final);
        if (n == 0) {
            carry_.assign(d.substr(i));
            return;
        }
        TWord w;
        w.Bytes = d.substr(i, n);
        size_t k = 1;
        while (k < n && IsLetter(w.Bytes[k])) ++k;
        w.Name = w.Bytes.substr(1, k - 1);
        bool negative = k < n && w.Bytes[k] == '-';
        if (negative) ++k;
        w.DoubleMinus = negative && k < n && w.Bytes[k] == '-';
        if (w.DoubleMinus) ++k;
        size_t digits = k;
        while (k < n && IsDigit(w.Bytes[k])) ++k;
        std::from_chars(w.Bytes.data() + digits, w.Bytes.data() + k, w.Value);
        if (negative && !w.DoubleMinus) w.Value = -w.Value;
        w.Space = w.Bytes.back() == ' ' && n > 2;
        Take(w, out);
        i += n;
    }
}

void TParaWordFilter::Text(std::string_view text, std::string& out) {
    if (!control_) {
        out.append(text);
        return;
    }
    // Line ends between tokens mean nothing to a reader.
    if (text.find_first_not_of("\r\n") == std::string_view::npos) {
        if (skipFrom_ == 0) out.append(text);
        return;
    }
    groupStart_ = false;
    if (skipFrom_ > 0) return;
    out.append(text);
    if (scope_.Destination) {
        hexLeft_ = 0;
        return;
    }
    int64_t characters = 0;
    for (char b : text) {
        // The digits of a "\'" escape belong to its one character.
        if (hexLeft_ > 0 && std::isxdigit(static_cast<unsigned char>(b))) {
            --hexLeft_;
            continue;
        }
        hexLeft_ = 0;
        if (b != '\r' && b != '\n') ++characters;
    }
    Characters(characters);
}

void TParaWordFilter::Characters(int64_t n) {
    if (n <= 0) return;
    if (std::exchange(newFormat_, false)) ++shape_.Runs;
    shape_.Characters += n;
    paragraph_ += n;
}

void TParaWordFilter::EndParagraph() {
    shape_.Squares += ParagraphSquares(paragraph_);
    paragraph_ = 0;
}

void TParaWordFilter::Open(std::string& out) {
    hexLeft_ = 0;
    newFormat_ = true;
    if (outer_.size() < kScopes) outer_.push_back(scope_);
    shape_.Depth = std::max(shape_.Depth, ++open_);
    groupStart_ = true;
    // A group beyond the depth keeps its text but not its braces.
    if (skipFrom_ == 0 && !Beyond()) out += '{';
}

void TParaWordFilter::Close(std::string& out) {
    hexLeft_ = 0;
    newFormat_ = true;
    groupStart_ = false;
    if (open_ == 0) {
        // More groups closed than opened: that passes as it came.
        if (skipFrom_ == 0) out += '}';
        return;
    }
    const bool beyond = Beyond();
    if (static_cast<size_t>(open_) <= outer_.size() && !outer_.empty()) {
        scope_ = outer_.back();
        outer_.pop_back();
    }
    --open_;
    if (skipFrom_ > 0) {
        if (open_ < skipFrom_) skipFrom_ = 0;
        return;
    }
    if (!beyond) out += '}';
}

void TParaWordFilter::Measure(const TWord& w) {
    if (!w.Name.empty()) {
        if (EndsParagraph(w.Name)) {
            EndParagraph();
            ++shape_.Paragraphs;
            newFormat_ = true;
        } else if (IsCharacterWord(w.Name)) {
            Characters(1);
        } else {
            newFormat_ = true;
        }
        return;
    }
    switch (w.Bytes.size() > 1 ? w.Bytes[1] : '\0') {
        case '\'':
            Characters(1);
            hexLeft_ = 2;
            break;
        case '~':
        case '-':
        case '_':
        case '\\':
        case '{':
        case '}':
            Characters(1);
            break;
        case '\r':
        case '\n':
            // A backslash before a line end is a paragraph mark.
            EndParagraph();
            ++shape_.Paragraphs;
            newFormat_ = true;
            break;
        default:
            break;
    }
}

void TParaWordFilter::Take(const TWord& w, std::string& out) {
    if (control_) {
        const bool first = std::exchange(groupStart_, false);
        hexLeft_ = 0;
        if (skipFrom_ > 0) return;
        if (first && (w.Bytes == "\\*" || IsHiddenDestination(w.Name))) {
            scope_.Destination = true;
            // Beyond the depth, a group that shows no text goes whole.
            if (Beyond()) {
                skipFrom_ = open_;
                return;
            }
        }
        if (!scope_.Destination) Measure(w);
    }
    const bool indent = faults_.SwappedIndents && (w.Name == "li" || w.Name == "fi") && !w.DoubleMinus;
    const bool spacing = faults_.LineSpacing && (w.Name == "sl" || w.Name == "slmult");
    if (!indent && !spacing) {
        Flush(out);
        out.append(w.Bytes);
        if (w.Name == "pard") {
            scope_ = TScope{false, false, scope_.Destination};
        } else if (w.Name == "bin" && !control_) {
            binaryLeft_ = std::max(w.Value, 0);
        }
        return;
    }
    if (held_.empty()) spacingFirst_ = spacing;
    held_.append(w.Bytes);
    (indent ? indentWords_ : spacingWords_).append(w.Space ? w.Bytes.substr(0, w.Bytes.size() - 1) : w.Bytes);
    heldSpace_ = w.Space;
    if (w.Name == "li") {
        li_ = w.Value;
        ++liCount_;
    } else if (w.Name == "fi") {
        fi_ = w.Value;
        ++fiCount_;
    } else if (w.Name == "sl") {
        sl_ = w.Value;
        slDoubleMinus_ = w.DoubleMinus;
        ++slCount_;
    } else {
        slmult_ = w.Value;
        ++slmultCount_;
    }
}

std::string TParaWordFilter::MendedIndents() const {
    // Mended only as the window writes them: once, right after the
    // paragraph's \pard, where what it leaves out is 0.
    if (liCount_ > 1 || fiCount_ > 1 || scope_.Indents) return indentWords_;
    // The window wrote the first line's indent (\fi) and the offset of the
    // other lines from it (\li).
    const int left = fi_ + li_, first = -li_;
    std::string words;
    if (left != 0 || first == 0) PutWord("li", left, words);
    if (first != 0) PutWord("fi", first, words);
    return words;
}

std::string TParaWordFilter::MendedSpacing() const {
    if (slCount_ != 1 || slmultCount_ != 1 || scope_.Spacing) return spacingWords_;
    std::string words;
    if (slmult_ == 1 && sl_ <= 0 && sl_ % kSingleLine == 0) {
        // A multiple of single lines: the window's reader takes the count
        // from \slmult, others the twips from \sl.
        PutWord("sl", sl_, words);
        PutWord("slmult", -sl_ / kSingleLine, words);
    } else if (slmult_ == 0) {
        // At least N, or exactly N (which the window holds as -N and
        // writes as "--N"): \slmult0 would read as no lines at all.
        PutWord("sl", slDoubleMinus_ ? -sl_ : sl_, words);
    } else {
        return spacingWords_;
    }
    return words;
}

void TParaWordFilter::Flush(std::string& out) {
    if (held_.empty()) return;
    std::string indents = indentWords_.empty() ? std::string() : MendedIndents();
    std::string spacing = spacingWords_.empty() ? std::string() : MendedSpacing();
    if (indents == indentWords_ && spacing == spacingWords_) {
        out += held_;
    } else {
        out += spacingFirst_ ? spacing + indents : indents + spacing;
        // The space that ended the last word held ends the last one put.
        if (heldSpace_) out += ' ';
    }
    if (!indentWords_.empty()) scope_.Indents = true;
    if (!spacingWords_.empty()) scope_.Spacing = true;
    held_.clear();
    indentWords_.clear();
    spacingWords_.clear();
    li_ = fi_ = sl_ = slmult_ = 0;
    slDoubleMinus_ = false;
    liCount_ = fiCount_ = slCount_ = slmultCount_ = 0;
}

std::string FlattenRtf(std::string_view rtf, int maxDepth, TRtfShape* shape) {
    TParaWordFilter filter = TParaWordFilter::ToControl(maxDepth);
    std::string out;
    out.reserve(rtf.size());
    filter.Write(rtf, out);
    filter.Finish(out);
    if (shape != nullptr) *shape = filter.Shape();
    return out;
}

uint64_t RichEditBytes(const TRtfShape& shape) {
    constexpr uint64_t kControl = 1 << 20, kParagraph = 3072, kRun = 768, kCharacter = 32;
    auto n = [](int64_t v) { return static_cast<uint64_t>(std::max<int64_t>(v, 0)); };
    return kControl + n(shape.Paragraphs) * kParagraph + n(shape.Runs) * kRun + n(shape.Characters) * kCharacter +
           n(shape.Squares) / 25 * 8;
}

std::string MemoryAmount(uint64_t bytes) {
    // Rounded up: what is said to take more than a bound never reads as it.
    constexpr uint64_t kMB = 1 << 20, kGB = uint64_t{1} << 30;
    if (bytes < kGB) return std::to_string(std::max<uint64_t>((bytes + kMB - 1) / kMB, 1)) + " MB";
    const uint64_t tenths = (bytes * 10 + kGB - 1) / kGB;
    return std::to_string(tenths / 10) + (tenths % 10 != 0 ? "." + std::to_string(tenths % 10) : "") + " GB";
}

std::string RichEditRoomProblem(const TRtfShape& shape, std::string_view it) {
    const uint64_t need = RichEditBytes(shape);
    if (need <= kRichEditMostBytes) return std::string();
    return std::string(it) + " " + Thousands(shape.Paragraphs) + (shape.Paragraphs == 1 ? " paragraph" : " paragraphs") +
           ", which would take about " + MemoryAmount(need) + " of memory in the editor; the editor can take at most " +
           MemoryAmount(kRichEditMostBytes) + ".";
}

namespace {

template <class Char>
TRtfShape PlainShape(std::basic_string_view<Char> text) {
    TRtfShape shape;
    int64_t line = 0;
    auto endLine = [&] {
        if (line > 0) ++shape.Runs;
        shape.Squares += ParagraphSquares(line);
        line = 0;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const Char c = text[i];
        if (c == Char('\r') || c == Char('\n')) {
            if (c == Char('\r') && i + 1 < text.size() && text[i + 1] == Char('\n')) ++i;
            endLine();
            ++shape.Paragraphs;
        } else {
            ++shape.Characters;
            ++line;
        }
    }
    endLine();
    return shape;
}

}  // namespace

TRtfShape PlainTextShape(std::string_view text) { return PlainShape(text); }
TRtfShape PlainTextShape(std::u16string_view text) { return PlainShape(text); }

std::string MendParaWords(std::string_view rtf, TParaWordFaults faults) {
    TParaWordFilter filter(faults);
    std::string out;
    out.reserve(rtf.size() + rtf.size() / 16);
    filter.Write(rtf, out);
    filter.Finish(out);
    return out;
}

}  // namespace treskel
