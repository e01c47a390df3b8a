#include "preview/RtfParts.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace treskel::preview {

namespace {

// The longest state a part is read after; past it the rest stays one part.
constexpr size_t kMaxState = 64 * 1024;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHex(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

enum class Kind { Open, Close, Word, Symbol, Text, End };

struct Token {
    Kind kind = Kind::End;
    size_t begin = 0, end = 0;  // a word's end is past its delimiter
    size_t nameEnd = 0;         // a word's end before its delimiter
    std::string_view name;      // a word's letters, a symbol's character
    bool hasParam = false;
    long long param = 0;
};

// The tokens of rich text; line ends between them mean nothing.
class Scanner {
public:
    explicit Scanner(std::string_view s) : s_(s) {}
    Token Next();
    void Skip(long long n) { pos_ = n <= 0 ? pos_ : std::min(s_.size(), pos_ + static_cast<size_t>(n)); }

private:
    Token Word(Token t, size_t letters);
    std::string_view s_;
    size_t pos_ = 0;
};

Token Scanner::Next() {
    while (pos_ < s_.size() && (s_[pos_] == '\r' || s_[pos_] == '\n')) ++pos_;
    Token t;
    t.begin = t.end = t.nameEnd = pos_;
    if (pos_ >= s_.size()) return t;
    const char c = s_[pos_];
    if (c == '{' || c == '}') {
        t.kind = c == '{' ? Kind::Open : Kind::Close;
        t.end = t.nameEnd = ++pos_;
        return t;
    }
    if (c != '\\') {
        size_t e = pos_;
        while (e < s_.size() && s_[e] != '{' && s_[e] != '}' && s_[e] != '\\' && s_[e] != '\r' && s_[e] != '\n') ++e;
        t.kind = Kind::Text;
        t.end = t.nameEnd = pos_ = e;
        return t;
    }
    size_t p = pos_ + 1;
    if (p < s_.size() && IsLetter(s_[p])) return Word(t, p);
    t.kind = Kind::Symbol;
    if (p < s_.size()) {
        t.name = s_.substr(p, 1);
        ++p;
        if (t.name == "'")
            for (int i = 0; i < 2 && p < s_.size() && IsHex(s_[p]); ++i) ++p;
    }
    t.end = t.nameEnd = pos_ = p;
    return t;
}

Token Scanner::Word(Token t, size_t letters) {
    size_t n = letters;
    while (n < s_.size() && IsLetter(s_[n])) ++n;
    t.kind = Kind::Word;
    t.name = s_.substr(letters, n - letters);
    size_t q = n;
    const bool negative = q + 1 < s_.size() && s_[q] == '-' && IsDigit(s_[q + 1]);
    if (negative) ++q;
    if (q < s_.size() && IsDigit(s_[q])) {
        t.hasParam = true;
        long long v = 0;
        for (; q < s_.size() && IsDigit(s_[q]); ++q)
            if (v < 1000000000000LL) v = v * 10 + (s_[q] - '0');
        t.param = negative ? -v : v;
    } else {
        q = n;
    }
    t.nameEnd = q;
    if (q < s_.size() && s_[q] == ' ') ++q;
    t.end = pos_ = q;
    return t;
}

using Names = std::unordered_set<std::string_view>;

// Words that put something into the text.
const Names& ContentWords() {
    static const Names names{"par",     "sect",     "page",      "column",    "line",      "lbr",      "tab",
                             "cell",    "nestcell", "row",       "nestrow",   "emdash",    "endash",   "emspace",
                             "enspace", "qmspace",  "bullet",    "lquote",    "rquote",    "ldblquote", "rdblquote",
                             "zwj",     "zwnj",     "zwbo",      "zwnbo",     "ltrmark",   "rtlmark",  "u",
                             "chpgn",   "chftn",    "chdate",    "chtime",    "chatn",     "chftnsep", "chftnsepc",
                             "sectnum", "softline", "softpage",  "softcol",   "softlheight", "bin",    "objattph"};
    return names;
}
// Of those, the ones that end a paragraph.
const Names& ParagraphEnds() {
    static const Names names{"par", "sect", "page", "cell", "nestcell", "row", "nestrow"};
    return names;
}
const Names& TableWords() {
    static const Names names{"intbl", "trowd", "itap", "cell", "row", "nestcell", "nestrow", "nesttableprops", "cellx"};
    return names;
}
// Destinations that set the document's tables and defaults.
const Names& HeaderGroups() {
    static const Names names{"fonttbl", "colortbl", "stylesheet", "listtable", "listoverridetable", "revtbl",
                             "rsidtbl", "info",     "generator",  "filetbl",   "defchp",            "defpap"};
    return names;
}
// Settings that add to those before them rather than replace them: tab
// stops and borders, each made of several words in turn.
bool AddsUp(std::string_view name) {
    return name == "tx" || name == "tb" || name == "box" || name == "brsp" || name.substr(0, 4) == "brdr" ||
           name.substr(0, 2) == "tl" || name.substr(0, 2) == "tq";
}
bool NumbersParagraphs(std::string_view name) {
    static const Names names{"pnlvlbody", "pnlvlcont", "pnlvl", "pndec",  "pnucltr", "pnlcltr",
                             "pnucrm",    "pnlcrm",    "pncard", "pnord", "pnordt",  "ls",      "ilvl"};
    return names.count(name) > 0;
}

enum class Group { Document, Content, Header, Numbering, ListText, Picture, Hidden };
enum class Numbering { None, Bullet, Numbered };

struct Frame {
    Group kind = Group::Content;
    bool classified = false;
    bool star = false;
    size_t open = 0;
    std::string_view name;
    Numbering numbering = Numbering::None;
};

// A setting, with the order in which it was last made.
struct Setting {
    std::string text;
    uint64_t order = 0;
};

// A candidate cut at a paragraph mark of the document's group, waiting for
// the next paragraph's settings to show whether it is numbered or in a
// table.
struct Pending {
    size_t markEnd = 0;
    std::string state;
};

// Reads rich text once, token by token, keeping the settings in force and
// cutting where a part may begin.
class RtfCutter {
public:
    struct Piece {
        size_t begin = 0, end = 0;
        std::string state;
        TPartSize size;
    };
    RtfCutter(const std::string& note, size_t partChars) : note_(note), scan_(note), partChars_(partChars) {}
    // The parts; fewer than two when the text is not read with certainty
    // (then one, the whole, with its size).
    std::vector<Piece> Run();

private:
    bool Step(const Token& t);
    void Open(const Token& t);
    void Close(const Token& t);
    void WordAtTop(const Token& t);
    void WordInGroup(const Token& t, Frame& f);
    void Classify(Frame& f, const Token& t);
    bool Counts() const {
        const Group g = stack_.back().kind;
        return g == Group::Document || g == Group::Content || g == Group::ListText;
    }
    void Chars(uint64_t n) {
        if (Counts()) paragraph_ += n;
    }
    void EndParagraph() {
        ++part_.paragraphs;
        part_.chars += paragraph_;
        part_.squares += paragraph_ * paragraph_;
        paragraph_ = 0;
    }
    void Remember(const std::string& key, std::string text) { settings_[key] = Setting{std::move(text), order_++}; }
    std::string WordText(const Token& t) const { return note_.substr(t.begin, t.nameEnd - t.begin) + " "; }
    std::optional<std::string> State() const;
    void FirstContent();
    void Mark(const Token& t);

    const std::string& note_;
    Scanner scan_;
    size_t partChars_;
    std::vector<Frame> stack_;
    bool cutting_ = true;
    size_t end_ = std::string::npos;  // the document group's closing brace
    uint64_t paragraph_ = 0;
    TPartSize part_;
    std::vector<Piece> pieces_;
    std::unordered_map<std::string, Setting> settings_;
    std::vector<Setting> addingUp_;  // since the last \pard
    uint64_t order_ = 0;
    Numbering numbering_ = Numbering::None;
    bool inTable_ = false;       // \intbl since the last \pard
    bool touchedTable_ = false;  // since the last paragraph mark
    std::optional<Pending> pending_;
};

std::optional<std::string> RtfCutter::State() const {
    std::vector<const Setting*> all;
    all.reserve(settings_.size() + addingUp_.size());
    for (const auto& entry : settings_) all.push_back(&entry.second);
    for (const Setting& s : addingUp_) all.push_back(&s);
    std::sort(all.begin(), all.end(), [](const Setting* a, const Setting* b) { return a->order < b->order; });
    std::string state;
    for (const Setting* s : all) {
        state += s->text;
        if (state.size() > kMaxState) return std::nullopt;
    }
    return state;
}

// The next paragraph's first content: its settings are known, and a cut
// waiting before it is made or dropped.
void RtfCutter::FirstContent() {
    if (!pending_) return;
    if (!inTable_ && !touchedTable_ && numbering_ != Numbering::Numbered) {
        pieces_.back().end = pending_->markEnd;
        pieces_.back().size = part_;
        pieces_.push_back(Piece{pending_->markEnd, 0, std::move(pending_->state), {}});
        part_ = TPartSize{};
    }
    pending_.reset();
}

// A paragraph mark of the document's group: a part may begin after it.
void RtfCutter::Mark(const Token& t) {
    FirstContent();  // an empty paragraph's mark is its content
    const bool table = touchedTable_;
    EndParagraph();
    touchedTable_ = inTable_;
    if (!cutting_ || table || part_.chars < partChars_) return;
    std::optional<std::string> state = State();
    if (!state) {
        cutting_ = false;
        return;
    }
    pending_ = Pending{t.end, std::move(*state)};
}

void RtfCutter::Classify(Frame& f, const Token& t) {
    f.classified = true;
    const Group parent = stack_[stack_.size() - 2].kind;
    if (parent == Group::Header || parent == Group::Numbering || parent == Group::Picture || parent == Group::Hidden) {
        f.kind = parent == Group::Header ? Group::Hidden : parent;
        return;
    }
    if (t.kind == Kind::Word) {
        f.name = t.name;
        if (HeaderGroups().count(t.name)) f.kind = Group::Header;
        else if (t.name == "pn" && f.star) f.kind = Group::Numbering;
        else if (t.name == "pntext" || t.name == "listtext") f.kind = Group::ListText;
        else if (t.name == "pict" || t.name == "objdata") f.kind = Group::Picture;
        else if (f.star) f.kind = Group::Hidden;
    }
    // A group of text or a picture is the next paragraph's content; its
    // list text is not, for its numbering comes after it.
    if (stack_.size() == 2 && (f.kind == Group::Content || f.kind == Group::Picture)) FirstContent();
    if (f.kind == Group::Picture && t.kind == Kind::Word && t.name == "pict") paragraph_ += 1;
}

void RtfCutter::Open(const Token& t) {
    Frame f;
    f.open = t.begin;
    if (stack_.empty()) {
        f.kind = Group::Document;
        f.classified = true;
    }
    stack_.push_back(f);
}

void RtfCutter::Close(const Token& t) {
    const Frame f = stack_.back();
    stack_.pop_back();
    if (stack_.empty()) {
        end_ = t.begin;
        return;
    }
    if (f.kind == Group::Numbering && stack_.back().kind == Group::Numbering) {
        if (f.numbering != Numbering::None) stack_.back().numbering = f.numbering;
        return;
    }
    if (stack_.size() != 1) return;
    if (f.kind == Group::Header) {
        Remember("{" + std::string(f.name), note_.substr(f.open, t.end - f.open));
    } else if (f.kind == Group::Numbering) {
        addingUp_.push_back(Setting{note_.substr(f.open, t.end - f.open), order_++});
        if (f.numbering != Numbering::None) numbering_ = f.numbering;
    }
}

void RtfCutter::WordAtTop(const Token& t) {
    const std::string_view name = t.name;
    if (ContentWords().count(name)) {
        if (name == "par") {
            Mark(t);
            return;
        }
        FirstContent();
        if (TableWords().count(name)) touchedTable_ = true;
        if (ParagraphEnds().count(name)) EndParagraph();
        else Chars(1);
        if (name == "bin") scan_.Skip(t.param);  // bytes of any value
        return;
    }
    if (name == "pard") {
        addingUp_.clear();
        numbering_ = Numbering::None;
        inTable_ = false;
        Remember("pard", WordText(t));
        return;
    }
    if (TableWords().count(name) && (name != "itap" || t.param > 0)) {
        touchedTable_ = true;
        if (name == "intbl") inTable_ = true;
    }
    if (name == "pnlvlblt") numbering_ = Numbering::Bullet;
    else if (NumbersParagraphs(name)) numbering_ = Numbering::Numbered;
    if (AddsUp(name)) addingUp_.push_back(Setting{WordText(t), order_++});
    else Remember(std::string(name), WordText(t));
}

void RtfCutter::WordInGroup(const Token& t, Frame& f) {
    const std::string_view name = t.name;
    if (f.kind == Group::Numbering) {
        if (name == "pnlvlblt") f.numbering = Numbering::Bullet;
        else if (NumbersParagraphs(name) && f.numbering != Numbering::Bullet) f.numbering = Numbering::Numbered;
        return;
    }
    if (TableWords().count(name) && (name != "itap" || t.param > 0)) touchedTable_ = true;
    if (name == "bin") {
        if (f.kind == Group::Picture) part_.pictures += static_cast<uint64_t>(std::max(0LL, t.param));
        scan_.Skip(t.param);
        return;
    }
    if (!ContentWords().count(name)) return;
    if (!ParagraphEnds().count(name)) Chars(1);
    else if (Counts()) EndParagraph();
}

// One token; false when the text is not read with certainty.
bool RtfCutter::Step(const Token& t) {
    if (t.kind == Kind::Open) {
        if (!stack_.empty() && !stack_.back().classified) Classify(stack_.back(), t);
        Open(t);
        return true;
    }
    if (stack_.empty()) return false;
    if (t.kind == Kind::Close) {
        Close(t);
        return true;
    }
    Frame& f = stack_.back();
    if (!f.classified) {
        if (t.kind == Kind::Symbol && t.name == "*") {
            f.star = true;
            return true;
        }
        Classify(f, t);
    }
    const bool top = stack_.size() == 1;
    if (t.kind == Kind::Word) {
        if (top) WordAtTop(t);
        else WordInGroup(t, f);
    } else if (t.kind == Kind::Symbol && t.name != "*") {
        const bool mark = t.name == "\r" || t.name == "\n";
        if (top && mark) {
            Mark(t);
            return true;
        }
        if (top) FirstContent();
        if (!mark) Chars(1);
        else if (Counts()) EndParagraph();
    } else if (t.kind == Kind::Text) {
        if (top) FirstContent();
        if (f.kind == Group::Picture) part_.pictures += (t.end - t.begin) / 2;
        else Chars(t.end - t.begin);
    }
    return true;
}

std::vector<RtfCutter::Piece> RtfCutter::Run() {
    bool certain = true;
    pieces_.push_back(Piece{1, 0, std::string(), {}});
    while (end_ == std::string::npos) {
        const Token t = scan_.Next();
        if (t.kind == Kind::End) break;
        if (!Step(t)) certain = false;
    }
    EndParagraph();
    pieces_.back().size = part_;
    if (certain && end_ != std::string::npos) {
        pieces_.back().end = end_;
        return std::move(pieces_);
    }
    TPartSize whole;
    for (const Piece& p : pieces_) {
        whole.chars += p.size.chars;
        whole.squares += p.size.squares;
        whole.pictures += p.size.pictures;
        whole.paragraphs += p.size.paragraphs;
    }
    return {Piece{0, note_.size(), std::string(), whole}};
}

}  // namespace

// ------------------------------------------------------------ TRtfParts

TRtfParts::TRtfParts(std::string note, size_t partChars) : note_(std::move(note)) {
    rtf_ = note_.rfind("{\\rtf", 0) == 0;
    if (rtf_) CutRtf(partChars);
    else CutText(partChars);
}

void TRtfParts::CutRtf(size_t partChars) {
    for (RtfCutter::Piece& p : RtfCutter(note_, partChars).Run())
        cuts_.push_back(Cut{p.begin, p.end, std::move(p.state), p.size});
    if (cuts_.size() == 1) cuts_[0] = Cut{0, note_.size(), std::string(), cuts_[0].size};
}

void TRtfParts::CutText(size_t partChars) {
    cuts_.push_back(Cut{});
    uint64_t line = 0;
    TPartSize part;
    for (size_t i = 0; i < note_.size(); ++i) {
        const char c = note_[i];
        if (c != '\r' && c != '\n') {
            ++line;
            continue;
        }
        const size_t mark = i;
        if (c == '\r' && i + 1 < note_.size() && note_[i + 1] == '\n') ++i;
        part.chars += line;
        part.squares += line * line;
        ++part.paragraphs;
        line = 0;
        if (part.chars >= partChars && i + 1 < note_.size()) {
            cuts_.back().end = mark;
            cuts_.back().size = part;
            cuts_.push_back(Cut{i + 1, 0, std::string(), {}});
            part = TPartSize{};
        }
    }
    part.chars += line;
    part.squares += line * line;
    ++part.paragraphs;
    cuts_.back().end = note_.size();
    cuts_.back().size = part;
}

std::string TRtfParts::Part(size_t k) const {
    const Cut& c = cuts_.at(k);
    if (cuts_.size() == 1) return note_;
    if (!rtf_) return note_.substr(c.begin, c.end - c.begin);
    std::string part;
    part.reserve(c.state.size() + (c.end - c.begin) + 2);
    part += '{';
    part += c.state;
    part.append(note_, c.begin, c.end - c.begin);
    part += '}';
    return part;
}

}  // namespace treskel::preview
