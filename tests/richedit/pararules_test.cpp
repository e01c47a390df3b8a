// The paragraph words a rich-edit window writes wrongly, mended.
#include <gtest/gtest.h>

#include <random>
#include <cstdio>
#include <string>

#include "richedit/RichEdit2Rules.h"
#include "support/RtfDepth.h"

namespace treskel {
namespace {

const TParaWordFaults kBoth{true, true};

// What the window wrote (the words after each \pard as it writes them:
// \fi the first line's indent, \li the other lines' offset from it, line
// spacing in its own form), and what every reader must be given instead.
const char* kWritten =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"
    "\\viewkind4\\uc1\\pard\\sl-240\\slmult1\\fi720 \\lang1033\\fs16\\f0 left\\par\r\n"
    "\\pard\\sl-240\\slmult1\\li-360\\fi360 first\\par\r\n"
    "\\pard\\sl-240\\slmult1\\li360\\fi360 hanging\\par\r\n"
    "\\pard\\sl-240\\slmult1\\li-720 negative\\par\r\n"
    "\\pard\\sl-240\\slmult1\\li-720\\fi2160\\ri360 all\\par\r\n"
    "\\pard{\\pntext\\f1 \\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\sl-240\\slmult1\\li360\\fi360 "
    "bullet\\par\r\n"
    "\\pard{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent360\\pnstart1\\pndec{\\pntxta.}}\\sl-240\\slmult1"
    "\\li360\\fi360 one\\par\r\n"
    "{\\pntext\\f0 2.\\tab}two\\par\r\n"
    "\\pard\\sl-480\\slmult1\\keep double\\par\r\n"
    "\\pard\\sl300\\slmult0 at least\\par\r\n"
    "\\pard\\sl--300\\slmult0 exactly\\par\r\n"
    "\\pard\\sl-0\\slmult1 none\\par\r\n"
    "\\pard\\sl-240\\slmult1\\tx720 typed \\\\li360\\\\fi360 and \\{\\\\sl-480\\\\slmult1\\}\\par\r\n"
    "\\pard\\sl-240\\slmult1 plain\\par\r\n}\r\n";

const char* kMended =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"
    "\\viewkind4\\uc1\\pard\\sl-240\\slmult1\\li720 \\lang1033\\fs16\\f0 left\\par\r\n"
    "\\pard\\sl-240\\slmult1\\fi360 first\\par\r\n"
    "\\pard\\sl-240\\slmult1\\li720\\fi-360 hanging\\par\r\n"
    "\\pard\\sl-240\\slmult1\\li-720\\fi720 negative\\par\r\n"
    "\\pard\\sl-240\\slmult1\\li1440\\fi720\\ri360 all\\par\r\n"
    "\\pard{\\pntext\\f1 \\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\sl-240\\slmult1\\li720\\fi-360 "
    "bullet\\par\r\n"
    "\\pard{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent360\\pnstart1\\pndec{\\pntxta.}}\\sl-240\\slmult1"
    "\\li720\\fi-360 one\\par\r\n"
    "{\\pntext\\f0 2.\\tab}two\\par\r\n"
    "\\pard\\sl-480\\slmult2\\keep double\\par\r\n"
    "\\pard\\sl300 at least\\par\r\n"
    "\\pard\\sl-300 exactly\\par\r\n"
    "\\pard\\sl0\\slmult0 none\\par\r\n"
    "\\pard\\sl-240\\slmult1\\tx720 typed \\\\li360\\\\fi360 and \\{\\\\sl-480\\\\slmult1\\}\\par\r\n"
    "\\pard\\sl-240\\slmult1 plain\\par\r\n}\r\n";

TEST(ParaWordFilter, MendsWhatTheWindowWritesAndNothingElseWhereverTheChunksEnd) {
    EXPECT_EQ(MendParaWords(kWritten, kBoth), kMended);
    // A window that writes these words right gets its RTF back untouched.
    EXPECT_EQ(MendParaWords(kWritten, {}), kWritten);
    EXPECT_EQ(MendParaWords(kMended, {}), kMended);

    const std::string written = kWritten;
    for (size_t cut = 0; cut <= written.size(); ++cut) {
        TParaWordFilter filter(kBoth);
        std::string out;
        filter.Write(std::string_view(written).substr(0, cut), out);
        filter.Write(std::string_view(written).substr(cut), out);
        filter.Finish(out);
        ASSERT_EQ(out, kMended) << "cut at " << cut;
    }
    std::mt19937 random(29);
    for (int trial = 0; trial < 50; ++trial) {
        TParaWordFilter filter(kBoth);
        std::string out;
        for (size_t at = 0; at < written.size();) {
            size_t n = std::uniform_int_distribution<size_t>(0, 9)(random);
            filter.Write(std::string_view(written).substr(at, n), out);
            at += n;
        }
        filter.Finish(out);
        ASSERT_EQ(out, kMended);
    }
}

TEST(ParaWordFilter, LeavesWordsItCannotReadAsTheWindowsAlone) {
    // Each fault alone mends only its own words.
    EXPECT_EQ(MendParaWords("\\pard\\sl-480\\slmult1\\li360\\fi360 x", {true, false}),
              "\\pard\\sl-480\\slmult1\\li720\\fi-360 x");
    EXPECT_EQ(MendParaWords("\\pard\\sl-480\\slmult1\\li360\\fi360 x", {false, true}),
              "\\pard\\sl-480\\slmult2\\li360\\fi360 x");
    // Indents a paragraph sets twice, or once more after the first, in a
    // group or outside it, are not the window's: they pass as they are.
    const char* twice[] = {"\\pard\\li360\\li200 x", "\\pard\\li360 x\\li200 y", "\\pard\\fi100{\\li200 x}",
                           "\\pard\\sl-480\\slmult1\\tab\\sl-480\\slmult1 x"};
    std::string first = MendParaWords("\\pard\\li360 x", kBoth);
    EXPECT_EQ(first, "\\pard\\li360\\fi-360 x");
    for (const char* t : twice) {
        std::string out = MendParaWords(t, kBoth);
        // The first run is mended, the second is passed on.
        EXPECT_NE(out.find(std::string(t).substr(std::string(t).rfind('\\'))), std::string::npos) << t;
    }
    // A new group after \pard starts afresh only at the next \pard.
    EXPECT_EQ(MendParaWords("{\\pard\\li100 a\\par}\\pard\\li100 b", kBoth),
              "{\\pard\\li100\\fi-100 a\\par}\\pard\\li100\\fi-100 b");
    // Spacing that is no multiple of whole lines, or a lone \slmult, stays.
    EXPECT_EQ(MendParaWords("\\pard\\sl-360\\slmult1 x", kBoth), "\\pard\\sl-360\\slmult1 x");
    EXPECT_EQ(MendParaWords("\\pard\\slmult1 x", kBoth), "\\pard\\slmult1 x");
    // Binary data and control symbols are no words.
    const std::string binary = std::string("\\pard\\bin6 \\li1{}\\fi2\\li3 ") + "x";
    EXPECT_EQ(MendParaWords(binary, kBoth), "\\pard\\bin6 \\li1{}\\li5\\fi-3 x");
    EXPECT_EQ(MendParaWords("\\pard\\'5cli9\\~\\li9", kBoth), "\\pard\\'5cli9\\~\\li9\\fi-9");
    EXPECT_EQ(MendParaWords("\\pard\\li--9 x", kBoth), "\\pard\\li--9 x");
    // A word the stream ends in is mended too.
    EXPECT_EQ(MendParaWords("\\pard\\fi-40", kBoth), "\\pard\\li-40");
}

// Whatever the window holds, the reader's sense of the mended words (the
// other lines at \li, the first at \li + \fi) is the window's paragraph.
TEST(ParaWordFilter, MendedIndentsReadAsTheParagraphTheWindowHeld) {
    const int values[] = {-1440, -360, -1, 0, 1, 200, 720, 31680};
    for (int start : values)
        for (int offset : values) {
            std::string written = "\\pard";
            if (offset != 0) written += "\\li" + std::to_string(offset);
            if (start != 0) written += "\\fi" + std::to_string(start);
            written += " x";
            std::string mended = MendParaWords(written, kBoth);
            auto value = [&](const char* word) {
                size_t at = mended.find(word);
                return at == std::string::npos ? 0 : std::stoi(mended.substr(at + 3));
            };
            const int li = value("\\li"), fi = value("\\fi");
            EXPECT_EQ(li + fi, start) << written << " -> " << mended;
            EXPECT_EQ(-fi, offset) << written << " -> " << mended;
        }
}

}  // namespace
}  // namespace treskel

// ---------------------------------------------------------------- the control's reader

namespace treskel {
namespace {

using test::ControlDepth;
using test::Repeat;

std::string Letters(std::string_view rtf) {
    std::string out;
    for (char c : rtf)
        if (c == 'x') out += c;
    return out;
}

TEST(RichTextToTheControl, GroupsBeyondTheDepthAreFlattenedKeepingTheirText) {
    const std::string head = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ";
    for (int nested : {23, 31, 40, 100, 10000}) {
        // Text at every depth, and a picture and an object at the deepest.
        std::string rtf = head + Repeat("{\\b x", nested) + "{\\pict\\wmetafile8 0102}{\\*\\objdata 0304}" +
                          Repeat("x}", nested) + "}";
        TRtfShape shape;
        const std::string flat = FlattenRtf(rtf, kRichEditDepth, &shape);
        EXPECT_EQ(shape.Depth, nested + 2) << nested;
        EXPECT_EQ(ControlDepth(flat), std::min<int64_t>(nested + 2, kRichEditDepth)) << nested;
        EXPECT_EQ(Letters(flat), Letters(rtf)) << nested;
        if (nested + 2 <= kRichEditDepth) {
            EXPECT_EQ(flat, rtf);
        } else {
            EXPECT_EQ(flat.find("0102"), std::string::npos) << nested;
            EXPECT_EQ(flat.find("objdata"), std::string::npos) << nested;
        }
    }
    // Groups never closed, a million of them.
    const std::string unclosed = head + std::string(1000000, '{') + "x";
    TRtfShape shape;
    const std::string flat = FlattenRtf(unclosed, kRichEditDepth, &shape);
    EXPECT_EQ(shape.Depth, 1000001);
    EXPECT_EQ(ControlDepth(flat), kRichEditDepth);
    EXPECT_EQ(Letters(flat), "x");
    // Pictures nested in pictures go with the first beyond the depth.
    const std::string pictures = head + Repeat("{\\pict ", 100000) + "x" + std::string(100000, '}') + "}";
    EXPECT_EQ(ControlDepth(FlattenRtf(pictures, kRichEditDepth)), kRichEditDepth);
}

TEST(RichTextToTheControl, BracesCountAsTheControlReadsThem) {
    // Escaped braces are text; the control reads the bytes after "\bin" as
    // rich text, so braces there open groups.
    EXPECT_EQ(FlattenRtf(Repeat("{\\{}", 50), 4), Repeat("{\\{}", 50));
    EXPECT_EQ(ControlDepth(FlattenRtf(Repeat("{\\bin1 {}", 50), 4)), 4);
    TRtfShape shape;
    FlattenRtf("{\\'7b{\\u123}\\\\{x}}", 0, &shape);
    EXPECT_EQ(shape.Depth, 2);
    // More closed than opened passes as it came.
    EXPECT_EQ(FlattenRtf("}}{x}", 1), "}}{x}");

    const std::string rtf = "{\\rtf1" + Repeat("{\\i a\\par", 40) + "\\bin2 {}" + std::string(40, '}') + "}";
    const std::string whole = FlattenRtf(rtf, kRichEditDepth, &shape);
    for (size_t cut = 0; cut <= rtf.size(); cut += 7) {
        TParaWordFilter filter = TParaWordFilter::ToControl(kRichEditDepth);
        std::string out;
        filter.Write(std::string_view(rtf).substr(0, cut), out);
        filter.Write(std::string_view(rtf).substr(cut), out);
        filter.Finish(out);
        ASSERT_EQ(out, whole) << cut;
        ASSERT_EQ(filter.Shape().Paragraphs, shape.Paragraphs);
    }
}

TEST(RichTextToTheControl, MeasuresWhatTheControlHolds) {
    TRtfShape shape;
    FlattenRtf(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1;}\\pard\\li360 one {\\b two}\\par"
        "{\\pict\\wmetafile8 0102030405}\\'e8\\u269?\\tab\\par\\par{\\*\\generator Text 1.0;}}",
        0, &shape);
    EXPECT_EQ(shape.Paragraphs, 3);
    // "one ", "two", and the characters after the picture.
    EXPECT_EQ(shape.Runs, 3);
    EXPECT_EQ(shape.Characters, 4 + 3 + 1 + 2 + 1);
    EXPECT_EQ(shape.Squares, 7 * 7 + 4 * 4);
    EXPECT_EQ(shape.Depth, 3);

    const TRtfShape text = PlainTextShape(std::string_view("one\r\ntwo\rthree\n\nfour"));
    EXPECT_EQ(text.Paragraphs, 4);
    EXPECT_EQ(text.Runs, 4);
    EXPECT_EQ(text.Characters, 15);
    EXPECT_EQ(PlainTextShape(std::u16string_view(u"a\r\nbc")).Squares, 1 + 4);
}

// The control's memory, reckoned from the shape against what was measured
// of the bare control, and the bound: notes the editor holds today fit,
// the paste that took 3.7 GB does not.
TEST(RichTextToTheControl, TheControlsMemoryIsReckonedFromParagraphsRunsAndCharacters) {
    auto reckon = [](const std::string& rtf) {
        TRtfShape shape;
        FlattenRtf(rtf, 0, &shape);
        return RichEditBytes(shape);
    };
    auto paragraphs = [](const std::string& paragraph, int n) {
        return "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 " + Repeat(paragraph, n) + "}";
    };
    // Measured committed bytes a paragraph (treskel_richprobe paragraphs),
    // from an empty one to one of 40,960 characters.
    auto words = [](int characters) { return "\\pard " + Repeat("word ", characters / 5) + "\\par\r\n"; };
    const struct {
        std::string paragraph;
        int count;
        uint64_t measured;
    } shapes[] = {{"\\par\r\n", 10000, 1690},
                  {"\\pard\\li360\\fi-360 a short line\\par\r\n", 10000, 2721},
                  {"{\\b bold}{\\i italic}{\\ul under} plain\\par\r\n", 10000, 4945},
                  {"{\\b a}{\\i b}{\\ul c}{\\b d}{\\i e}{\\ul f}{\\b g}{\\i h}{\\ul i}{\\b j}\\par\r\n", 10000, 9129},
                  {"\\pard some words of a line of about eighty characters, as the benchmark's notes.\\par\r\n", 10000,
                   7801},
                  {words(320), 100, 41775},
                  {words(1280), 10, 541065},
                  {words(5120), 2, 8265400},
                  {words(10240), 1, 32857129},
                  {words(40960), 1, 536870912}};
    for (const auto& s : shapes) {
        const uint64_t reckoned = reckon(paragraphs(s.paragraph, s.count));
        EXPECT_GE(reckoned, s.count * s.measured) << s.paragraph.substr(0, 40);
        EXPECT_LE(reckoned, s.count * s.measured * 2 + (2 << 20)) << s.paragraph.substr(0, 40);
    }
    // 8 MB of such paragraphs, and a megabyte of one, fit.
    EXPECT_LT(reckon(paragraphs("\\pard some words of a line of about eighty characters, as the benchmark's notes.\\par\r\n",
                                100000)),
              kRichEditMostBytes / 2);
    EXPECT_LT(reckon(paragraphs(Repeat("some words of one long paragraph ", 32000), 1)), kRichEditMostBytes);
    // 43 MB of short indented paragraphs do not, nor two paragraphs of
    // 81,920 characters (one committed 2 GB).
    EXPECT_GT(reckon(paragraphs("\\pard\\li360\\fi-360 a short line\\par\r\n", 1200000)), kRichEditMostBytes);
    EXPECT_LT(reckon(paragraphs(words(81920), 1)), kRichEditMostBytes);
    EXPECT_GT(reckon(paragraphs(words(81920), 2)), kRichEditMostBytes);
}

}  // namespace
}  // namespace treskel
