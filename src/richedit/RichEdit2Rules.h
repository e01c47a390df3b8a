// RichEdit2Rules: the rules of the rich-edit control that do not need a
// window: how stream bytes are handed to the window in chunks, how the RTF
// the window writes in UTF-8 becomes RTF every reader reads, how the
// address scan cuts text into tokens, search ranges, paragraph alignment
// and twips, OLE verbs and drop effects.  No <windows.h>.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/SysUtils.h"

namespace treskel {

// The OLE error of the editor's object operations.
TRESKEL_EXCEPTION(EOleError, Exception);

class TParaWordFilter;
struct TRtfShape;

// Hands the bytes of a stream to the rich-edit window in chunks of any
// size the window asks for.  With line-break normalisation every CR, LF
// and CR LF becomes CR LF; a CR that ends what the source delivered is held
// back until the next byte shows whether an LF follows, so breaks that
// straddle two reads survive.  Zero bytes are data like any other.  Rich
// text passes the control's reader (TParaWordFilter::ToControl), which
// flattens what nests deeper than kRichEditDepth and measures it.
class TStreamChunkReader {
public:
    // Reads up to `count` bytes into `buffer`; returns how many (0: end).
    using Source = std::function<int64_t(uint8_t* buffer, int64_t count)>;
    TStreamChunkReader(Source source, bool normaliseLineBreaks, int sourceChunk = 4096, bool richText = false);
    ~TStreamChunkReader();
    TStreamChunkReader(const TStreamChunkReader&) = delete;
    TStreamChunkReader& operator=(const TStreamChunkReader&) = delete;

    // Fills up to `capacity` bytes of `dest`; returns 0 only at the end.
    int Read(uint8_t* dest, int capacity);
    bool AtEnd() const { return finished_ && pos_ >= out_.size(); }
    // The shape of the rich text read so far; null for other text.
    const TRtfShape* Shape() const;

private:
    void Refill();
    void Normalise(const uint8_t* in, size_t n);

    Source source_;
    bool normalise_;
    int sourceChunk_;
    std::unique_ptr<TParaWordFilter> richText_;
    bool finished_ = false;
    bool carriedCR_ = false;
    std::vector<uint8_t> in_;
    std::vector<uint8_t> out_;
    std::string filtered_;
    size_t pos_ = 0;
};

// The RTF that the window writes with its text in UTF-8 (a "{\urtf"
// document) made into RTF that every reader reads: the header names the
// document's code page, and each character beyond ASCII is written in its
// font's code page ("\'e8") where that code page holds it exactly, and as
// "\uN" followed by "?" for readers that do not know it everywhere else.
// So no letter becomes another on the way.  The window's bytes come in
// chunks cut anywhere; output that does not start as UTF-8 RTF passes
// unchanged.
class TUtf8RtfFilter {
public:
    // The bytes of a character in a code page that holds it exactly (they
    // give the character back), or nothing.
    using Encoder = std::function<std::string(char32_t c, unsigned codePage)>;
    TUtf8RtfFilter(unsigned documentCodePage, Encoder encode);

    // Appends to `out` what the bytes make; a token cut off at the end waits
    // for the next bytes.
    void Write(std::string_view bytes, std::string& out);
    // Appends what is left once the window has written everything.
    void Finish(std::string& out);

private:
    enum class TState { Header, Text, Utf8, Escape, Word, Param, Hex, Binary, Unchanged };
    struct TGroup {
        int Font = -1;  // -1: the document's default font
        int SkipCount = 1;
        bool FontTable = false;
    };

    void Put(char b, std::string& out);
    void PutText(char b, std::string& out);
    void PutHeader(char b, std::string& out);
    void EndWord(std::string& out);
    void PutCharacter(char32_t c, std::string& out);
    // The code page's bytes of a character, kNone when it has none.
    uint32_t ExactBytes(char32_t c, unsigned codePage);
    static constexpr uint32_t kNotAsked = 0, kNone = 1;
    unsigned CodePageHere() const;

    unsigned documentCodePage_;
    Encoder encode_;
    TState state_ = TState::Header;
    std::string held_;  // the header until it is known
    std::string word_;
    std::string param_;
    int hexLeft_ = 0;
    int64_t binaryLeft_ = 0;
    char32_t utf8_ = 0;
    int utf8Left_ = 0;
    int utf8Length_ = 0;
    bool groupStart_ = false;
    int defaultFont_ = 0;
    TGroup group_;
    std::vector<TGroup> outer_;
    std::unordered_map<int, int> fontCharsets_;
    std::unordered_map<unsigned, std::vector<uint32_t>> exact_;
};

// The code page in which readers take the bytes of a font of this
// character set (the document's for the default set), or 0 when it is not
// one that every reader knows.
unsigned CodePageOfCharset(int charset, unsigned documentCodePage);

// Characters an address is made of: ( ) - . / 0-9 : @ A-Z a-z and '\'.
bool IsUrlChar(wchar_t c);

// Whether rich text may hold an address that the control's own detection
// marks: each one it knows has a ":" after its scheme or begins with
// "www.".  Looks at the bytes as written, escapes of ":" and "w" included,
// so that it errs only towards "may"; takes the text in pieces of any size.
class TAddressHint {
public:
    void Pass(std::string_view bytes);
    bool MayHoldAddress() const { return may_; }

private:
    bool may_ = false;
    std::string tail_;  // the last bytes of the pieces so far
};

struct TUrlToken {
    int Start = 0;   // offset in the scanned text
    int Length = 0;
    bool Address = false;
};

// Whether a (lower-case) token is an address: a scheme of the list followed
// by ":" and at least one more character, or an e-mail form (something,
// "@", something holding a "." after its first character).
bool IsAddressToken(std::wstring_view token, const std::vector<std::wstring>& schemes);
// Cuts lower-case text into runs of address characters and classifies each.
std::vector<TUrlToken> ScanUrlTokens(std::wstring_view text, const std::vector<std::wstring>& schemes);
// Widens [start, end) of a text of `length` characters to whole tokens,
// taking in the token before the one at `start` as well.
void WidenToUrlTokens(int length, const std::function<wchar_t(int)>& charAt, int& start, int& end);

// The range EM_FINDTEXTEX searches: forwards from StartPos over Length
// characters (Length <= 0: to the end), or backwards from StartPos down to
// StartPos - Length (Length <= 0: to the start).  A backward range never
// reaches below 0.
struct TFindRange {
    int Min = 0;
    int Max = -1;
};
TFindRange FindTextRange(int startPos, int length, bool backwards, int textLength);

// Where the caret stands in a selection.  The window reports a selection
// as its lower and upper end only; the caret is the end that moved, the
// other one (the anchor) stays where the selection began.  Each reported
// selection goes through Follow; Caret gives the caret of the selection
// the window holds now, the upper end when it is not the one followed
// (a selection made at once, as Select All or a find makes it, ends
// there).
class TCaretTracker {
public:
    void Follow(int selMin, int selMax);
    int Caret(int selMin, int selMax) const;

private:
    int anchor_ = 0;
    int caret_ = 0;
};

// Paragraph alignment: the window's PFA value and the ordinal of TAlignment
// (0 taLeftJustify, 1 taRightJustify, 2 taCenter).  Justified and unknown
// values read as left-justified.
int AlignmentFromParaAlignment(int paraAlignment);
int ParaAlignmentFromAlignment(int alignment);

// Points and twips: to the nearest twip, halves to even.
int PointsToTwips(double points);
double TwipsToPoints(int twips);
// A font height in pixels (negative: character height) at `ppi` and back.
// The twips are whole half points, the finest size a note stores: text
// typed in the font keeps its size when its note comes back.  Halves go to
// even, so that the heights of whole point sizes (8 points: 11 pixels at
// 96 per inch) give those sizes again.
int FontHeightToTwips(int height, int ppi);
int TwipsToFontHeight(int twips, int ppi);

// OLE verbs: a list entry holds the verb number in its low 16 bits and its
// menu flags in the high 16 bits.
int32_t MakeVerbEntry(int verbNumber, unsigned menuFlags);
// The verb to run for a verb argument: above 0, an index into the list
// (EOleError "Invalid Verb" past its end); -65536 the primary verb 0;
// anything else unchanged.
int ResolveVerb(int verb, const std::vector<int32_t>& entries);

// The effect of a drop onto the editor: link with Ctrl and Shift, copy with
// Ctrl, else move, each only when the allowed effects contain it.
uint32_t DropEffectFor(uint32_t keyState, uint32_t effect);

// A character of an address that the code page lacks, percent-encoded
// as UTF-8 ("%D0%BF").
std::string PercentEncodeUtf8(char32_t c);

// The longest prefix of `text` (in code units, never splitting a surrogate
// pair) whose single-byte form, measured by `narrowLength`, fits `capacity`.
size_t FitWidePrefix(std::wstring_view text, size_t capacity,
                     const std::function<size_t(std::wstring_view)>& narrowLength);

// Paragraph words that a rich-edit window writes in a form its own reader
// takes as another paragraph format, so that every save moves them.
struct TParaWordFaults {
    // The first line's indent written as \fi and the other lines' offset
    // from it as \li, where a reader takes \li as the other lines' indent
    // and \fi as the first line's offset from that.
    bool SwappedIndents = false;
    // Line spacing written as "\slN\slmultM", which the reader takes as M
    // single lines whatever N says (M = 0 included), and exact spacing as
    // "\sl--N".
    bool LineSpacing = false;
    bool Any() const { return SwappedIndents || LineSpacing; }
};

// What rich text asks of a rich-edit control that reads it, as the
// control reads it: how deep its groups nest, and what its text outside
// destinations holds, from which the memory the control takes for it is
// reckoned (RichEditBytes).
struct TRtfShape {
    int64_t Depth = 0;       // the most groups open at once
    int64_t Paragraphs = 0;  // paragraph, line, cell and row marks
    int64_t Runs = 0;        // stretches of text after a change of format
    int64_t Characters = 0;
    // Over the paragraphs, each one's characters times as many of them
    // again, up to kMostSquares: the control measures each line of a
    // paragraph to the paragraph's end.
    int64_t Squares = 0;
    int64_t Unclosed = 0;  // groups left open at the end
    static constexpr int64_t kMostSquares = 5'000'000'000;
};

// The most groups the rich-edit control is given open at once.  Wine 8's
// control ends the process when 33 are (its document's group and 32
// nested in it), whatever the groups are; pictures' groups it reads
// apart, at any depth (bench/wine/treskel_richprobe depths).
constexpr int kRichEditDepth = 24;
// The most memory the control may take for one note or one paste: half
// of the 4 GB a 32-bit program has under a 64-bit system, so that saving,
// printing and the program's own windows have the rest.
constexpr uint64_t kRichEditMostBytes = uint64_t{2} << 30;
// What the control takes for text of that shape, an upper bound of what
// was measured (treskel_richprobe paragraphs): 1.7 KB an empty paragraph
// and 2.6 KB one of a short line, 0.7 KB more a run of another format,
// and, for the characters, a few bytes each and 0.3 bytes a character of
// their paragraph (a paragraph of 5,120 characters takes 8 MB, one of
// 81,920 2 GB); no paragraph is reckoned above 1.6 GB, so that the
// megabyte in one paragraph that the editor holds is still shown.
uint64_t RichEditBytes(const TRtfShape& shape);
// Why the control is not given text of this shape, in words that follow
// `it` ("It has 1,200,000 paragraphs, which would take about 4.8 GB of
// memory in the editor; the editor can take at most 2 GB."); empty when
// it takes at most kRichEditMostBytes.
std::string RichEditRoomProblem(const TRtfShape& shape, std::string_view it);
// An amount of memory in megabytes or gigabytes ("612 MB", "4.8 GB",
// "2 GB"); counts are written with Thousands (platform/SysUtils).
std::string MemoryAmount(uint64_t bytes);
// The shape of plain text: a paragraph a line.
TRtfShape PlainTextShape(std::string_view text);
TRtfShape PlainTextShape(std::u16string_view text);

// Rewrites those words, as the window writes them after each \pard, into
// words that every reader, that window's included, takes as the paragraph
// the window holds: \li(first + offset)\fi(-offset); a multiple of M lines
// as "\sl-240M\slmultM"; at least and exactly N as "\slN" and "\sl-N".
// Everything else passes byte for byte; so do words in any other order or
// number than the window's.  The bytes come in chunks cut anywhere.
//
// The same reader stands between rich text and the control's reader
// (ToControl): it mends nothing there, takes "\bin" as the control does
// (as a word, the bytes after it read as rich text), measures the text's
// shape, and flattens the groups nested deeper than the control survives:
// their braces go and their text stays, while such a group that holds no
// text (a picture, an object, a header's table, a "\*" destination) goes
// with all it holds.
class TParaWordFilter {
public:
    explicit TParaWordFilter(TParaWordFaults faults) : faults_(faults) {}
    // For the control's reader: groups deeper than `maxDepth` flattened
    // (none when it is 0).
    static TParaWordFilter ToControl(int maxDepth);

    // Appends to `out` what the bytes make; a word cut off at the end waits
    // for the next bytes.
    void Write(std::string_view bytes, std::string& out);
    // Appends what is left once the window has written everything.
    void Finish(std::string& out);
    // Reads bytes, or the rest, for their shape alone, keeping nothing of
    // what they make.
    void Pass(std::string_view bytes);
    void Finish();
    // The shape of what the control's reader was given so far; whole after
    // Finish.
    const TRtfShape& Shape() const { return shape_; }

private:
    // What the words of a paragraph did since its \pard, per group, and
    // whether the group's text is shown.
    struct TScope {
        bool Indents = false;
        bool Spacing = false;
        bool Destination = false;
    };
    struct TWord;
    void Process(std::string_view bytes, bool final, std::string& out);
    void Text(std::string_view text, std::string& out);
    void Open(std::string& out);
    void Close(std::string& out);
    void Take(const TWord& w, std::string& out);
    void Measure(const TWord& w);
    void Characters(int64_t n);
    void EndParagraph();
    bool Beyond() const { return maxDepth_ > 0 && open_ > maxDepth_; }
    // Puts the words held, mended.
    void Flush(std::string& out);
    std::string MendedIndents() const;
    std::string MendedSpacing() const;

    TParaWordFaults faults_;
    // The control's reader: "\binN" is a word like another, the text is
    // measured, and groups beyond maxDepth_ are flattened.
    bool control_ = false;
    int64_t maxDepth_ = 0;
    std::string carry_;  // a word cut off by the end of a chunk
    int64_t binaryLeft_ = 0;
    TScope scope_;
    std::vector<TScope> outer_;  // of the groups open, as deep as kScopes
    int64_t open_ = 0;          // groups open
    bool groupStart_ = false;   // no token yet in the group just opened
    int64_t skipFrom_ = 0;      // in a group beyond the depth dropped whole: its depth
    TRtfShape shape_;
    int64_t paragraph_ = 0;     // characters of the paragraph so far
    bool newFormat_ = true;     // text from here starts a run
    int hexLeft_ = 0;           // digits of a "\'" escape still to come
    // The run of indent and spacing words held until it ends: its bytes,
    // each kind's words without the space that ends them, their values and
    // how often each came.
    std::string held_;
    std::string indentWords_;
    std::string spacingWords_;
    bool heldSpace_ = false;
    bool spacingFirst_ = false;
    int li_ = 0, fi_ = 0, sl_ = 0, slmult_ = 0;
    bool slDoubleMinus_ = false;
    int liCount_ = 0, fiCount_ = 0, slCount_ = 0, slmultCount_ = 0;
};

// The whole of an RTF text through the filter.
std::string MendParaWords(std::string_view rtf, TParaWordFaults faults);
// The whole of an RTF text as the control's reader is given it, flattened
// below `maxDepth`, and its shape.
std::string FlattenRtf(std::string_view rtf, int maxDepth, TRtfShape* shape = nullptr);

}  // namespace treskel
