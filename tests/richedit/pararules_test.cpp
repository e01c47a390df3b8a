// The paragraph words a rich-edit window writes wrongly, mended.
#include <gtest/gtest.h>

#include <random>
#include <cstdio>
#include <string>

#include "richedit/RichEdit2Rules.h"

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
