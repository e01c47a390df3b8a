#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "richedit/RichEdit2Rules.h"

namespace treskel {
namespace {

// A source that hands out the given pieces one per read, as a stream that
// delivers short reads would.
TStreamChunkReader::Source Pieces(std::vector<std::string> pieces) {
    auto state = std::make_shared<std::pair<std::vector<std::string>, size_t>>(std::move(pieces), 0);
    return [state](uint8_t* buffer, int64_t count) -> int64_t {
        auto& [list, next] = *state;
        if (next >= list.size()) return 0;
        std::string& p = list[next];
        size_t n = std::min(p.size(), static_cast<size_t>(count));
        std::copy_n(p.begin(), n, buffer);
        p.erase(0, n);
        if (p.empty()) ++next;
        return static_cast<int64_t>(n);
    };
}

std::string Drain(TStreamChunkReader& r, int capacity) {
    std::string out;
    std::vector<uint8_t> buf(static_cast<size_t>(capacity));
    for (;;) {
        int n = r.Read(buf.data(), capacity);
        if (n == 0) break;
        EXPECT_LE(n, capacity);
        out.append(reinterpret_cast<char*>(buf.data()), static_cast<size_t>(n));
    }
    return out;
}

TEST(StreamChunks, LineEndsBecomeCrLf) {
    TStreamChunkReader r(Pieces({"a\nb\rc\r\nd"}), true);
    EXPECT_EQ(Drain(r, 100), "a\r\nb\r\nc\r\nd");
}

TEST(StreamChunks, CrAtTheEndOfAReadIsCarriedNotDroppedOrDoubled) {
    TStreamChunkReader crlf(Pieces({"one\r", "\ntwo"}), true);
    EXPECT_EQ(Drain(crlf, 100), "one\r\ntwo");

    TStreamChunkReader crAlone(Pieces({"one\r", "two"}), true);
    EXPECT_EQ(Drain(crAlone, 100), "one\r\ntwo");

    TStreamChunkReader crLast(Pieces({"one\r"}), true);
    EXPECT_EQ(Drain(crLast, 100), "one\r\n");

    TStreamChunkReader crThenCr(Pieces({"a\r", "\r", "\nb"}), true);
    EXPECT_EQ(Drain(crThenCr, 100), "a\r\n\r\nb");
}

TEST(StreamChunks, ZeroBytesDoNotEndAChunk) {
    std::string data("ab\0cd\nef", 8);
    TStreamChunkReader r(Pieces({data}), true);
    EXPECT_EQ(Drain(r, 100), std::string("ab\0cd\r\nef", 9));

    TStreamChunkReader raw(Pieces({data}), false);
    EXPECT_EQ(Drain(raw, 100), data);
}

TEST(StreamChunks, PassThroughLeavesBytesAlone) {
    std::string utf16("a\0\r\0\n\0", 6);
    TStreamChunkReader r(Pieces({utf16.substr(0, 3), utf16.substr(3)}), false);
    EXPECT_EQ(Drain(r, 2), utf16);
}

TEST(StreamChunks, AnyReadAndWindowSizesGiveTheSameBytes) {
    std::mt19937 rng(5);
    const char alphabet[] = {'x', 'y', '\r', '\n', '\0', '{', '\\'};
    std::string text;
    for (int i = 0; i < 5000; ++i) text += alphabet[rng() % sizeof alphabet];

    TStreamChunkReader whole(Pieces({text}), true, 1 << 20);
    std::string expected = Drain(whole, 1 << 20);
    // Every break is CR LF and nothing else is touched.
    for (size_t i = 0; i < expected.size(); ++i) {
        if (expected[i] == '\r') {
            ASSERT_LT(i + 1, expected.size());
            EXPECT_EQ(expected[i + 1], '\n');
        }
        if (expected[i] == '\n') {
            EXPECT_EQ(expected[i - 1], '\r');
        }
    }

    for (int trial = 0; trial < 50; ++trial) {
        std::vector<std::string> pieces;
        for (size_t p = 0; p < text.size();) {
            size_t n = 1 + rng() % 37;
            pieces.push_back(text.substr(p, n));
            p += n;
        }
        int sourceChunk = 1 + static_cast<int>(rng() % 50);
        int window = 1 + static_cast<int>(rng() % 9);
        TStreamChunkReader r(Pieces(pieces), true, sourceChunk);
        ASSERT_EQ(Drain(r, window), expected) << "trial " << trial;
    }
}

TEST(StreamChunks, ExceptionsOfTheSourceReachTheCaller) {
    TStreamChunkReader r([](uint8_t*, int64_t) -> int64_t { throw EReadError("Stream read error"); }, true);
    uint8_t buf[8];
    EXPECT_THROW(r.Read(buf, 8), EReadError);
}

const std::vector<std::wstring> kSchemes{L"http", L"file", L"mailto", L"ftp", L"https", L"gopher",
                                         L"nntp", L"prospero", L"telnet", L"news", L"wais"};

TEST(UrlScan, SchemeNeedsOneCharacterAfterTheColon) {
    EXPECT_FALSE(IsAddressToken(L"http:", kSchemes));
    EXPECT_TRUE(IsAddressToken(L"http:x", kSchemes));
    EXPECT_TRUE(IsAddressToken(L"news:comp.lang", kSchemes));
    EXPECT_FALSE(IsAddressToken(L"xhttp://a", kSchemes));
    EXPECT_TRUE(IsAddressToken(L"gopher://a", {L"GOPHER"}));
}

TEST(UrlScan, MailFormNeedsSomethingBeforeTheAtAndADotAfterIt) {
    EXPECT_TRUE(IsAddressToken(L"a@b.c", kSchemes));
    EXPECT_FALSE(IsAddressToken(L"@b.c", kSchemes));
    EXPECT_FALSE(IsAddressToken(L"a@.b", kSchemes));
    EXPECT_FALSE(IsAddressToken(L"a@bc", kSchemes));
    EXPECT_FALSE(IsAddressToken(L"abc", kSchemes));
}

TEST(UrlScan, TokensAreRunsOfAddressCharacters) {
    std::wstring text = L" see http://x.org/a, mail me@host.net; not:here ";
    auto tokens = ScanUrlTokens(text, kSchemes);
    std::vector<std::wstring> words;
    std::vector<bool> addresses;
    for (const auto& t : tokens) {
        words.push_back(text.substr(static_cast<size_t>(t.Start), static_cast<size_t>(t.Length)));
        addresses.push_back(t.Address);
    }
    EXPECT_EQ(words, (std::vector<std::wstring>{L"see", L"http://x.org/a", L"mail", L"me@host.net", L"not:here"}));
    EXPECT_EQ(addresses, (std::vector<bool>{false, true, false, true, false}));
    EXPECT_TRUE(ScanUrlTokens(L"  ,, ", kSchemes).empty());
}

TEST(UrlScan, RangesWidenToWholeTokens) {
    std::wstring text = L"go http://a.b/c now";
    auto at = [&](int i) { return text[static_cast<size_t>(i)]; };
    int len = static_cast<int>(text.size());
    // Inside the address: back to the word before it, on to its end.
    int start = 8, end = 9;
    WidenToUrlTokens(len, at, start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 15);

    start = 0, end = 1;
    WidenToUrlTokens(len, at, start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 2);

    // Right after a break that cut "http:" from "//a.b/c".
    std::wstring cut = L"go http //a.b/c";
    auto cutAt = [&](int i) { return cut[static_cast<size_t>(i)]; };
    start = 8, end = 8;
    WidenToUrlTokens(static_cast<int>(cut.size()), cutAt, start, end);
    EXPECT_EQ(start, 3);
    EXPECT_EQ(end, static_cast<int>(cut.size()));

    start = 100, end = 100;
    WidenToUrlTokens(len, at, start, end);
    EXPECT_EQ(start, 3);
    EXPECT_EQ(end, len);

    start = 3, end = 3;
    WidenToUrlTokens(0, at, start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 0);
}

// Rich text that may hold an address the control marks: a colon or "www"
// in any case, written or escaped, wherever the pieces are cut.
TEST(UrlScan, RichTextMayHoldAnAddressWhereAColonOrWwwStands) {
    auto may = [](std::string_view rtf, size_t piece) {
        TAddressHint hint;
        for (size_t at = 0; at < rtf.size(); at += piece) hint.Pass(rtf.substr(at, piece));
        return hint.MayHoldAddress();
    };
    const std::string plain = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard Short, plain words. A list\\par}";
    for (const char* rtf : {"{\\rtf1 see http://x.org\\par}", "{\\rtf1 WWW.example.org\\par}", "{\\rtf1 mailto\\'3Ame\\par}",
                            "{\\rtf1 \\'77\\'77\\'77.x\\par}", "{\\rtf1 \\u119?ww.x\\par}", "{\\rtf1 http\\u58?x\\par}"}) {
        for (size_t piece : {1u, 2u, 3u, 7u, 4096u}) EXPECT_TRUE(may(rtf, piece)) << rtf << " in pieces of " << piece;
    }
    for (size_t piece : {1u, 5u, 4096u}) EXPECT_FALSE(may(plain, piece)) << piece;
    EXPECT_FALSE(may("{\\rtf1 ww w. w\\par}", 2));
}

TEST(FindRange, ForwardsRunsToTheEndOrOverTheLength) {
    TFindRange r = FindTextRange(5, 0, false, 100);
    EXPECT_EQ(r.Min, 5);
    EXPECT_EQ(r.Max, -1);
    r = FindTextRange(5, 10, false, 100);
    EXPECT_EQ(r.Max, 15);
}

TEST(FindRange, BackwardsNeverGoesBelowZero) {
    TFindRange r = FindTextRange(30, 70, true, 100);
    EXPECT_EQ(r.Min, 30);
    EXPECT_EQ(r.Max, 0);
    r = FindTextRange(50, 20, true, 100);
    EXPECT_EQ(r.Max, 30);
    r = FindTextRange(50, 0, true, 100);
    EXPECT_EQ(r.Max, 0);
    r = FindTextRange(-1, 0, true, 100);
    EXPECT_EQ(r.Min, 100);
}

TEST(Caret, StandsAtTheEndOfTheSelectionThatMoved) {
    TCaretTracker t;
    auto follow = [&t](int a, int b) {
        t.Follow(a, b);
        return t.Caret(a, b);
    };
    EXPECT_EQ(follow(5, 5), 5);
    // Shift+Left twice, then back over the anchor with Shift+Right.
    EXPECT_EQ(follow(4, 5), 4);
    EXPECT_EQ(follow(3, 5), 3);
    EXPECT_EQ(follow(4, 5), 4);
    EXPECT_EQ(follow(5, 5), 5);
    EXPECT_EQ(follow(5, 6), 6);
    EXPECT_EQ(follow(5, 9), 9);
    // A selection made at once (Select All, a find, a double click) ends
    // at its upper end; so does one the tracker never saw made.
    EXPECT_EQ(follow(0, 40), 40);
    EXPECT_EQ(follow(0, 38), 38);
    EXPECT_EQ(t.Caret(10, 20), 20);
    EXPECT_EQ(t.Caret(7, 7), 7);
    // A drag upwards from 30 keeps its anchor at the lower end's other side.
    EXPECT_EQ(follow(30, 30), 30);
    EXPECT_EQ(follow(22, 30), 22);
    EXPECT_EQ(follow(12, 30), 12);
}

TEST(Formats, AlignmentIsMappedExplicitly) {
    EXPECT_EQ(AlignmentFromParaAlignment(1), 0);
    EXPECT_EQ(AlignmentFromParaAlignment(2), 1);
    EXPECT_EQ(AlignmentFromParaAlignment(3), 2);
    EXPECT_EQ(AlignmentFromParaAlignment(4), 0);  // justified
    EXPECT_EQ(AlignmentFromParaAlignment(0), 0);
    EXPECT_EQ(AlignmentFromParaAlignment(77), 0);
    for (int a = 0; a < 3; ++a) EXPECT_EQ(AlignmentFromParaAlignment(ParaAlignmentFromAlignment(a)), a);
    EXPECT_EQ(ParaAlignmentFromAlignment(2), 3);
}

TEST(Formats, TwipsRoundHalvesToEvenAndHeightsKeepHalfPoints) {
    EXPECT_EQ(PointsToTwips(11), 220);
    EXPECT_EQ(PointsToTwips(10.5), 210);
    EXPECT_EQ(PointsToTwips(0.025), 0);  // 0.5 twip
    EXPECT_EQ(PointsToTwips(0.075), 2);  // 1.5 twips
    EXPECT_EQ(PointsToTwips(-0.075), -2);
    EXPECT_DOUBLE_EQ(TwipsToPoints(219), 10.95);
    // 14 pixels at 96 pixels per inch is 10.5 points.
    EXPECT_EQ(FontHeightToTwips(-14, 96), 210);
    EXPECT_EQ(TwipsToFontHeight(210, 96), -14);
    EXPECT_EQ(TwipsToFontHeight(FontHeightToTwips(-13, 120), 120), -13);
    // Heights between half points take the nearest: a note stores no finer
    // size.  The heights of whole points give those points.
    EXPECT_EQ(FontHeightToTwips(-11, 96), 160);  // 8.25 points: 8
    EXPECT_EQ(FontHeightToTwips(-13, 96), 200);  // 9.75 points: 10
    EXPECT_EQ(FontHeightToTwips(-15, 96), 220);  // 11.25 points: 11
    EXPECT_EQ(FontHeightToTwips(-37, 96), 560);  // 27.75 points: 28
    for (int points = 6; points <= 72; ++points)
        EXPECT_EQ(FontHeightToTwips(-static_cast<int>(std::lround(points * 96 / 72.0)), 96), points * 20) << points;
}

TEST(OleVerbs, ArgumentsAboveZeroIndexTheList) {
    std::vector<int32_t> entries{MakeVerbEntry(0, 2), MakeVerbEntry(1, 2), MakeVerbEntry(-3, 0x8002)};
    EXPECT_EQ(ResolveVerb(1, entries), 1);
    EXPECT_EQ(ResolveVerb(2, entries), -3);
    EXPECT_EQ(ResolveVerb(-65536, entries), 0);
    EXPECT_EQ(ResolveVerb(0, entries), 0);
    EXPECT_EQ(ResolveVerb(-2, entries), -2);
    try {
        ResolveVerb(3, entries);
        FAIL() << "no error";
    } catch (const EOleError& e) {
        EXPECT_STREQ(e.what(), "Invalid Verb");
    }
    EXPECT_EQ(static_cast<uint32_t>(entries[2]) >> 16, 0x8002u);
}

TEST(DropEffect, KeysChooseAndAllowedEffectsLimit) {
    const uint32_t copy = 1, move = 2, link = 4, all = 7;
    EXPECT_EQ(DropEffectFor(0, all), move);
    EXPECT_EQ(DropEffectFor(0x8, all), copy);
    EXPECT_EQ(DropEffectFor(0xC, all), link);
    EXPECT_EQ(DropEffectFor(0x4, all), move);  // Shift alone moves
    EXPECT_EQ(DropEffectFor(0x8, move | link), move | link);  // copy not allowed: unchanged
    EXPECT_EQ(DropEffectFor(0xC, link), link);
}

TEST(UrlText, PercentEncodingIsUtf8) {
    EXPECT_EQ(PercentEncodeUtf8(U'\x043F'), "%D0%BF");
    EXPECT_EQ(PercentEncodeUtf8(U'\x20AC'), "%E2%82%AC");
    EXPECT_EQ(PercentEncodeUtf8(U'\x1F600'), "%F0%9F%98%80");
    EXPECT_EQ(PercentEncodeUtf8(U' '), "%20");
}

TEST(NarrowCopy, LongestFittingPrefixOfWholeCharacters) {
    // Characters above 0x7F take two bytes, as in a double-byte code page.
    auto dbcs = [](std::wstring_view s) {
        size_t n = 0;
        for (wchar_t c : s) n += c > 0x7F ? 2 : 1;
        return n;
    };
    std::wstring text = L"ab\x4E2D\x6587z";
    EXPECT_EQ(FitWidePrefix(text, 100, dbcs), text.size());
    EXPECT_EQ(FitWidePrefix(text, 4, dbcs), 3u);
    EXPECT_EQ(FitWidePrefix(text, 5, dbcs), 3u);
    EXPECT_EQ(FitWidePrefix(text, 6, dbcs), 4u);
    EXPECT_EQ(FitWidePrefix(text, 0, dbcs), 0u);
    std::wstring pair{L'a', static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    EXPECT_EQ(FitWidePrefix(pair, 2, [](std::wstring_view s) { return s.size(); }), 1u);
}

}  // namespace
}  // namespace treskel

namespace treskel {
namespace {

// The code pages of these tests: 1252 (Western) holds é, ü, € and the
// no-break space, 1250 (Central European) č and é, 42 (symbol fonts) the
// symbol area's bullet.
std::string TestCodePages(char32_t c, unsigned codePage) {
    struct Entry {
        unsigned codePage;
        char32_t c;
        const char* bytes;
    };
    static const Entry kEntries[] = {{1252, 0xE9, "\xE9"}, {1252, 0xFC, "\xFC"}, {1252, 0x20AC, "\x80"},
                                     {1252, 0xA0, "\xA0"}, {1250, 0x10D, "\xE8"}, {1250, 0xE9, "\xE9"},
                                     {42, 0xF0B7, "\xB7"}};
    for (const Entry& e : kEntries)
        if (e.codePage == codePage && e.c == c) return e.bytes;
    return std::string();
}

std::string Filtered(const std::vector<std::string_view>& pieces, unsigned documentCodePage = 1252) {
    TUtf8RtfFilter filter(documentCodePage, TestCodePages);
    std::string out;
    for (std::string_view p : pieces) filter.Write(p, out);
    filter.Finish(out);
    return out;
}

// What the window writes in UTF-8 for two paragraphs with a run in a
// Central European font, and what every reader reads from it.
const std::string kWindowUtf8 =
    "{\\urtf\\deff0\\deflang1033{\\fonttbl{\\f0\\fcharset0 MS Sans Serif;}{\\f1\\fcharset238 Arial;}}\r\n"
    "{\\*\\generator Wine Riched20 2.0;}\r\n"
    "\\pard\\fs16\\f0 a\\tab b\\{\\}\\\\c\xC4\x8D\xC3\xA9\xC2\xA0 \xE2\x82\xAC\\par\r\n"
    "s\\f1 \xC4\x8D\xC4\x81\xC3\xA9 \xE4\xB8\xAD\\f0  \xD0\x96 \xEF\x82\xB7\\par\r\n}\r\n";
const std::string kPlain =
    "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0\\deflang1033{\\fonttbl{\\f0\\fcharset0 MS Sans Serif;}{\\f1\\fcharset238 "
    "Arial;}}\r\n"
    "{\\*\\generator Wine Riched20 2.0;}\r\n"
    "\\pard\\fs16\\f0 a\\tab b\\{\\}\\\\c\\u269?\\'e9\\'a0 \\'80\\par\r\n"
    "s\\f1 \\'e8\\u257?\\'e9 \\u20013?\\f0  \\u1046? \\u-3913?\\par\r\n}\r\n";

TEST(Utf8Rtf, LettersAreWrittenInTheirFontsCodePageOrAsUnicodeEscapes) {
    EXPECT_EQ(Filtered({kWindowUtf8}), kPlain);
    // The same, however the window cuts its output.
    for (size_t cut = 0; cut <= kWindowUtf8.size(); ++cut) {
        std::string_view all = kWindowUtf8;
        ASSERT_EQ(Filtered({all.substr(0, cut), all.substr(cut)}), kPlain) << cut;
    }
    std::vector<std::string_view> bytes;
    for (size_t i = 0; i < kWindowUtf8.size(); ++i) bytes.push_back(std::string_view(kWindowUtf8).substr(i, 1));
    EXPECT_EQ(Filtered(bytes), kPlain);

    // The default character set is the document's code page, named in the
    // header.
    EXPECT_EQ(Filtered({"{\\urtf1 {\\fonttbl{\\f0 Arial;}}\\f0 \xC4\x8D}"}, 1250),
              "{\\rtf1\\ansi\\ansicpg1250\\uc1 {\\fonttbl{\\f0 Arial;}}\\f0 \\'e8}");
}

TEST(Utf8Rtf, GroupsFontNamesSkipCountsAndBinaryData) {
    // A font's name in its own code page; \plain and the end of a group
    // go back to the default font; \uc sets how many "?" follow, none
    // taking a space that ends the escape.
    EXPECT_EQ(Filtered({"{\\urtf\\deff1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset238 \xC4\x8D;}}"
                        "\xC4\x8D\\f0 \xC4\x8D{\\f1 \xC4\x8D}\xC4\x8D\\f1\\plain \xC4\x8D"
                        "{\\uc0 \xC4\x81""5}{\\uc2\xC4\x81}\xC4\x81}"}),
              "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset238 \\'e8;}}"
              "\\'e8\\f0 \\u269?{\\f1 \\'e8}\\u269?\\f1\\plain \\'e8"
              "{\\uc0 \\u257 5}{\\uc2\\u257??}\\u257?}");
    // Binary data passes as it is, whatever its bytes.
    EXPECT_EQ(Filtered({"{\\urtf{\\pict\\bin5 \xC4}\\{\xFF}\xC3\xA9}"}),
              "{\\rtf1\\ansi\\ansicpg1252\\uc1{\\pict\\bin5 \xC4}\\{\xFF}\\'e9}");
    // Beyond 16 bits: a pair of escapes.  Bytes that are no UTF-8 (a
    // stray continuation, an overlong form, a surrogate, a cut sequence)
    // stand for the replacement character.
    EXPECT_EQ(Filtered({"{\\urtf \xF0\x9F\x98\x80|\x80|\xC0\x80|\xED\xA0\x80|\xC4}"}),
              "{\\rtf1\\ansi\\ansicpg1252\\uc1 \\u-10179?\\u-8704?|\\u-3?|\\u-3?|\\u-3?|\\u-3?}");
    EXPECT_EQ(Filtered({"{\\urtf x\xE2\x82"}), "{\\rtf1\\ansi\\ansicpg1252\\uc1 x\\u-3?");
}

TEST(Utf8Rtf, OutputThatIsNotUtf8RtfPassesUnchanged) {
    for (std::string s : {"{\\rtf1\\ansi \xE8}", "{\\urtfx \xC4\x8D}", "plain \xC4\x8D", "{\\ur", ""})
        EXPECT_EQ(Filtered({s}), s);
    EXPECT_EQ(Filtered({"{\\rtf1", " \xC4\x8D}"}), "{\\rtf1 \xC4\x8D}");
}

TEST(Utf8Rtf, AnyBytesGiveSevenBitRtfHoweverTheyAreCut) {
    // Random documents of the window's tokens, with stray and broken bytes
    // among them: without binary data the result is seven-bit, and the
    // same in chunks of any size.
    const std::vector<std::string> tokens = {"{", "}", "\\f1 ", "\\f0", "\\plain ", "\\uc0 ", "\\uc2", "\\'e8",
                                             "\\\\", "\\{", "a", " ", "9", "\xC4\x8D", "\xC3\xA9", "\xE4\xB8\xAD",
                                             "\xF0\x9F\x98\x80", "\x80", "\xC4", "\xFF", "{\\fonttbl{\\f1\\fcharset238 A\xC4\x8D;}}",
                                             "\\", "\\'", "\\par\r\n", "\\u"};
    std::mt19937 random(29);
    for (int round = 0; round < 2000; ++round) {
        std::string doc = "{\\urtf1 ";
        for (int n = static_cast<int>(random() % 40); n > 0; --n) doc += tokens[random() % tokens.size()];
        const std::string whole = Filtered({doc});
        for (char c : whole) ASSERT_LT(static_cast<uint8_t>(c), 0x80) << doc;
        const size_t step = 1 + random() % 7;
        std::vector<std::string_view> pieces;
        for (size_t i = 0; i < doc.size(); i += step) pieces.push_back(std::string_view(doc).substr(i, step));
        ASSERT_EQ(Filtered(pieces), whole) << doc;
    }
}

TEST(Utf8Rtf, CharacterSetsReadersKnowHaveTheirCodePages) {
    EXPECT_EQ(CodePageOfCharset(0, 1250), 1252u);
    EXPECT_EQ(CodePageOfCharset(1, 1250), 1250u);
    EXPECT_EQ(CodePageOfCharset(238, 1252), 1250u);
    EXPECT_EQ(CodePageOfCharset(162, 1252), 1254u);
    EXPECT_EQ(CodePageOfCharset(186, 1252), 1257u);
    EXPECT_EQ(CodePageOfCharset(77, 1252), 0u);
}

}  // namespace
}  // namespace treskel
