// How much of a note a picture takes, and when a note has no room for it.
#include <gtest/gtest.h>

#include "app/frmMainRules.h"
#include "platform/Streams.h"

namespace treskel {
namespace {

TEST(PictureRoom, APictureTakesAboutSixBytesOfItsNoteAPixel) {
    const int64_t small = PictureRtfBytes({100, 100, 24});
    EXPECT_GE(small, 6 * 100 * 100);
    EXPECT_LT(small, 6 * 100 * 100 + 12 * 1024);
    // Rows are whole words; a bitmap of 32 bits takes four bytes a pixel.
    EXPECT_GT(PictureRtfBytes({101, 100, 24}), PictureRtfBytes({100, 100, 24}) + 600);
    EXPECT_EQ(PictureRtfBytes({100, 100, 8}), small);
    EXPECT_GT(PictureRtfBytes({1000, 1000, 32}), PictureRtfBytes({1000, 1000, 24}) * 13 / 10);
    // No overflow at the largest sizes a header can claim; nothing for a
    // negative one.
    EXPECT_GT(PictureRtfBytes({65535, 65535, 32}), int64_t{32} << 30);
    EXPECT_EQ(PictureRtfBytes({-5, 100, 24}), PictureRtfBytes({0, 0, 24}));
}

TEST(PictureRoom, ANoteThatWouldPassItsSaveLimitIsRefusedInWords) {
    EXPECT_EQ(PictureRoomProblem({6000, 6000, 24}, 0), "");
    EXPECT_EQ(PictureRoomProblem({7000, 7000, 24}, 0),
              "It is 7000 x 7000 pixels, which would take about 289 MB in the note; a note can hold at most "
              "256 MB.");
    EXPECT_EQ(PictureRoomProblem({9400, 9400, 24}, 0).rfind("It is 9400 x 9400 pixels, which would take about 521 MB", 0),
              0u);
    // What the note holds already counts.
    const TPictSize picture{3000, 3000, 24};
    const int64_t takes = PictureRtfBytes(picture);
    EXPECT_EQ(PictureRoomProblem(picture, MaxStoredItemSize - takes), "");
    EXPECT_EQ(PictureRoomProblem(picture, MaxStoredItemSize - takes + 1),
              "It is 3000 x 3000 pixels, which would take about 53 MB in the note; the note holds 203 MB already, "
              "and can hold at most 256 MB. It fits in a note of its own.");
}

// What comes by the clipboard or a drop: a bitmap is reckoned by its
// header's pixels, whatever its bytes; a metafile and rich text by their
// bytes, rich text twice over for pictures that come in it as bytes.
TEST(PictureRoom, WhatIsPastedIsReckonedByItsPixelsOrItsBytes) {
    uint8_t dib[40] = {40, 0, 0, 0, 0xB8, 0x24, 0, 0, 0x48, 0xDB, 0xFF, 0xFF, 1, 0, 8, 0, 1};  // 9400 x -9400, RLE8
    const TPictSize size = DibPictureSize(dib, sizeof dib);
    EXPECT_EQ(size.Width, 9400);
    EXPECT_EQ(size.Height, 9400);
    EXPECT_EQ(PictureCost(size).Bytes, PictureRtfBytes({9400, 9400, 24}));
    const uint8_t core[12] = {12, 0, 0, 0, 0x10, 0x27, 0x20, 0x4E, 1, 0, 24, 0};  // 10000 x 20000
    EXPECT_EQ(DibPictureSize(core, sizeof core).Height, 20000);
    EXPECT_EQ(PictureRtfBytes(DibPictureSize(dib, 11)), PictureRtfBytes({0, 0, 24}));  // cut short: nothing

    EXPECT_EQ(RoomProblem(MetafileCost(100 << 20), 0), "");
    EXPECT_EQ(RoomProblem(MetafileCost(140 << 20), 0),
              "It is a metafile of 140 MB, which would take about 289 MB in the note; a note can hold at most 256 MB.");
    EXPECT_EQ(RoomProblem(RichTextCost(130 << 20), 0),
              "It is rich text of 130 MB, which would take about 268 MB in the note; a note can hold at most 256 MB.");
    EXPECT_EQ(RichTextCost(1000).Name, "rich text");
    EXPECT_EQ(MetafileCost(1000).Name, "picture");
    EXPECT_EQ(RoomProblem(MetafileCost(10 << 20), 250 << 20),
              "It is a metafile of 10 MB, which would take about 21 MB in the note; the note holds 250 MB already, and "
              "can hold at most 256 MB. It fits in a note of its own.");
}

// What the note holds is counted once and raised by each change of known
// size; a change of unknown size forgets it; a note the editor wrote is
// known from its reading; a bound that would refuse is counted first.
TEST(NoteBound, ChangesOfKnownSizeRaiseItAndOthersForgetIt) {
    int counts = 0;
    int64_t holds = 1000;
    auto count = [&] {
        ++counts;
        return holds;
    };
    TNoteBound bound;
    EXPECT_EQ(bound.Holds(count), 1000);
    EXPECT_EQ(bound.Holds(count), 1000);
    EXPECT_EQ(counts, 1);
    EXPECT_TRUE(bound.Exact());
    // A keystroke, however many changes the window reports for it.
    bound.Expect(TNoteBound::kKeystrokeBytes);
    bound.Changed();
    bound.Changed();
    bound.Done();
    EXPECT_EQ(bound.Bound(), 1000 + TNoteBound::kKeystrokeBytes);
    EXPECT_FALSE(bound.Exact());
    // Expected and nothing came: nothing added.
    bound.Expect(5000);
    bound.Done();
    EXPECT_EQ(bound.Bound(), 1000 + TNoteBound::kKeystrokeBytes);
    // A change nobody expected.
    bound.Changed();
    EXPECT_EQ(bound.Bound(), std::nullopt);
    holds = 2000;
    EXPECT_EQ(bound.Holds(count), 2000);
    EXPECT_EQ(counts, 2);

    bound.Read(64000, true);
    EXPECT_EQ(bound.Bound(), 64000 + 1000 + 4096);
    bound.Read(64000, false);
    EXPECT_EQ(bound.Bound(), std::nullopt);

    // Known as more than the note holds: counted before it refuses.
    bound.Read(MaxStoredItemSize - 10000, true);
    holds = 10000;
    EXPECT_EQ(bound.RoomFor(MetafileCost(1 << 20), count), "");
    EXPECT_EQ(counts, 3);
    EXPECT_EQ(bound.Bound(), 10000);
    holds = MaxStoredItemSize - 1000;
    bound.Counted(holds);
    EXPECT_EQ(bound.RoomFor(MetafileCost(1 << 20), count).rfind("It is a metafile of 1 MB", 0), 0u);
    EXPECT_EQ(counts, 3);
}

TEST(NoteBound, TheWriterOfRichTextIsFoundInItsHeader) {
    EXPECT_EQ(RtfGenerator("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\r\n{\\*\\generator Wine Riched20 2.0;}\r\nText}"),
              "Wine Riched20 2.0");
    EXPECT_EQ(RtfGenerator("{\\rtf1{\\*\\generator Riched20 10.0.19041}\\viewkind4 Text}"), "Riched20 10.0.19041");
    EXPECT_EQ(RtfGenerator("{\\rtf1\\ansi Text}"), "");
    EXPECT_EQ(RtfGenerator("{\\rtf1{\\*\\generator cut"), "");
    // Only the header is looked at.
    EXPECT_EQ(RtfGenerator("{\\rtf1 " + std::string(70000, 'x') + "{\\*\\generator Late;}}"), "");
}

}  // namespace
}  // namespace treskel
