// RichEdit2Rules: the rules of the rich-edit control that do not need a
// window: how stream bytes are handed to the window in chunks, how the RTF
// the window writes in UTF-8 becomes RTF every reader reads, how the
// address scan cuts text into tokens, search ranges, paragraph alignment
// and twips, OLE verbs and drop effects.  No <windows.h>.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/SysUtils.h"

namespace treskel {

// The OLE error of the editor's object operations.
TRESKEL_EXCEPTION(EOleError, Exception);

// Hands the bytes of a stream to the rich-edit window in chunks of any
// size the window asks for.  With line-break normalisation every CR, LF
// and CR LF becomes CR LF; a CR that ends what the source delivered is held
// back until the next byte shows whether an LF follows, so breaks that
// straddle two reads survive.  Zero bytes are data like any other.
class TStreamChunkReader {
public:
    // Reads up to `count` bytes into `buffer`; returns how many (0: end).
    using Source = std::function<int64_t(uint8_t* buffer, int64_t count)>;
    TStreamChunkReader(Source source, bool normaliseLineBreaks, int sourceChunk = 4096);

    // Fills up to `capacity` bytes of `dest`; returns 0 only at the end.
    int Read(uint8_t* dest, int capacity);
    bool AtEnd() const { return eof_ && pos_ >= out_.size() && !carriedCR_; }

private:
    void Refill();
    void Normalise(const uint8_t* in, size_t n);

    Source source_;
    bool normalise_;
    int sourceChunk_;
    bool eof_ = false;
    bool carriedCR_ = false;
    std::vector<uint8_t> in_;
    std::vector<uint8_t> out_;
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

// Rewrites those words, as the window writes them after each \pard, into
// words that every reader, that window's included, takes as the paragraph
// the window holds: \li(first + offset)\fi(-offset); a multiple of M lines
// as "\sl-240M\slmultM"; at least and exactly N as "\slN" and "\sl-N".
// Everything else passes byte for byte; so do words in any other order or
// number than the window's.  The bytes come in chunks cut anywhere.
class TParaWordFilter {
public:
    explicit TParaWordFilter(TParaWordFaults faults) : faults_(faults) {}

    // Appends to `out` what the bytes make; a word cut off at the end waits
    // for the next bytes.
    void Write(std::string_view bytes, std::string& out);
    // Appends what is left once the window has written everything.
    void Finish(std::string& out);

private:
    // What the words of a paragraph did since its \pard, per group.
    struct TScope {
        bool Indents = false;
        bool Spacing = false;
    };
    struct TWord;
    void Process(std::string_view bytes, bool final, std::string& out);
    void Take(const TWord& w, std::string& out);
    // Puts the words held, mended.
    void Flush(std::string& out);
    std::string MendedIndents() const;
    std::string MendedSpacing() const;

    TParaWordFaults faults_;
    std::string carry_;  // a word cut off by the end of a chunk
    int64_t binaryLeft_ = 0;
    TScope scope_;
    std::vector<TScope> outer_;
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

}  // namespace treskel
