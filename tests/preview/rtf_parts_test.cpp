#include <gtest/gtest.h>

#include "preview/RtfParts.h"

using namespace treskel::preview;

namespace {

// What part k holds of the note itself, from its beginning on.
std::string Own(const TRtfParts& parts, const std::string& note, size_t k) {
    return note.substr(parts.Begin(k), 12);
}

}  // namespace

TEST(RtfParts, AShortNoteIsOnePartItself) {
    const std::string note = "{\\rtf1\\ansi Short\\par note.\\par}";
    TRtfParts parts(note, 1000);
    ASSERT_EQ(parts.Count(), 1u);
    EXPECT_EQ(parts.Part(0), note);
    EXPECT_EQ(parts.Size(0).chars, 10u);
    EXPECT_EQ(parts.Size(0).squares, 25u + 25u);
}

TEST(RtfParts, EachPartIsReadAfterTheLastValueOfEverySettingBeforeIt) {
    const std::string header = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Times;}}{\\colortbl;\\red255;}";
    const std::string first = "\r\n\\pard\\sl-240\\slmult1\\tx720\\tx1440 \\f1\\fs24\\b First\\b0  para";
    const std::string second = "\r\n\\fs20\\cf1 Second {\\i group\\par inner} end";
    const std::string third = "\r\nThird\\par\r\n";
    const std::string note = header + first + "\\par" + second + "\\par" + third + "}";
    TRtfParts parts(note, 5);
    ASSERT_EQ(parts.Count(), 3u);
    // The first part is the note up to and with its last paragraph mark.
    EXPECT_EQ(parts.Part(0), header + first + "\\par}");
    // Settings replace those before them, in the order last made; tab stops
    // add up; a group's settings end with it.
    const std::string settings =
        "\\rtf1 \\ansi \\deff0 {\\fonttbl{\\f0 Arial;}{\\f1 Times;}}{\\colortbl;\\red255;}\\pard \\sl-240 \\slmult1 "
        "\\tx720 \\tx1440 \\f1 ";
    EXPECT_EQ(parts.Part(1), "{" + settings + "\\fs24 \\b0 " + second + "\\par}");
    EXPECT_EQ(parts.Part(2), "{" + settings + "\\b0 \\fs20 \\cf1 " + third + "}");
    // Sizes by paragraph, the one in the group counted apart.
    EXPECT_EQ(parts.Size(0).chars, 10u);
    EXPECT_EQ(parts.Size(1).chars, 12u + 9u);
    EXPECT_EQ(parts.Size(1).squares, 12u * 12u + 9u * 9u);
    EXPECT_EQ(parts.Size(2).chars, 5u);
}

TEST(RtfParts, NoPartBeginsInATableOrAtANumberedParagraphButOneMayAtABullet) {
    const std::string note =
        "{\\rtf1\\ansi Before\\par"
        "\\trowd\\cellx1000\\cellx2000\\intbl left\\cell right\\cell\\row"
        "\\pard After\\par"
        "\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec}One\\par{\\pntext 2.\\tab}Two\\par"
        "\\pard{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}Dot one\\par{\\pntext\\'b7\\tab}Dot two\\par"
        "\\pard Last\\par}";
    TRtfParts parts(note, 1);
    std::vector<std::string> begins;
    for (size_t k = 1; k < parts.Count(); ++k) begins.push_back(Own(parts, note, k));
    EXPECT_EQ(begins, (std::vector<std::string>{"\\pard{\\pntex", "{\\pntext\\'b7", "\\pard Last\\p"}));
    EXPECT_NE(parts.Part(1).find("Dot one"), std::string::npos);
    // The part of the second bullet is read with the bullets' numbering.
    EXPECT_NE(parts.Part(2).find("{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}{\\pntext\\'b7"), std::string::npos) << parts.Part(2);
    // What it cannot cut, the part before holds whole.
    EXPECT_NE(parts.Part(0).find("\\row\\pard After"), std::string::npos);
}

TEST(RtfParts, PlainTextIsCutAtLineEnds) {
    TRtfParts parts("aaaa\r\nbbbb\ncccc\rdddd\r\n", 4);
    ASSERT_EQ(parts.Count(), 4u);
    EXPECT_FALSE(parts.IsRtf());
    EXPECT_EQ(parts.Part(0), "aaaa");
    EXPECT_EQ(parts.Part(1), "bbbb");
    EXPECT_EQ(parts.Part(2), "cccc");
    EXPECT_EQ(parts.Part(3), "dddd\r\n");
}

TEST(RtfParts, TextNotReadWithCertaintyStaysWholeWithItsSize) {
    // The document or a group in it not closed.
    for (const std::string& note : {std::string("{\\rtf1 one\\par two\\par three\\par"),
                                   std::string("{\\rtf1 one\\par {\\b two\\par} three\\par {\\i four\\par}")}) {
        TRtfParts parts(note, 1);
        ASSERT_EQ(parts.Count(), 1u) << note;
        EXPECT_EQ(parts.Part(0), note);
        EXPECT_GE(parts.Size(0).chars, 3u) << note;
    }
    // Binary bytes are skipped whatever they spell.
    TRtfParts binary("{\\rtf1 one\\par{\\pict\\bin4 }}}}}\\par two\\par}", 1);
    ASSERT_EQ(binary.Count(), 3u);
    EXPECT_EQ(binary.Size(1).pictures, 4u);
    EXPECT_EQ(binary.Size(2).chars, 3u);
    // A picture counts one character and its bytes.
    TRtfParts picture("{\\rtf1 abc\\par de{\\pict\\wmetafile8 0011223344}\\par}", 1000);
    EXPECT_EQ(picture.Size(0).chars, 6u);
    EXPECT_EQ(picture.Size(0).squares, 18u);
    EXPECT_EQ(picture.Size(0).pictures, 5u);
}
