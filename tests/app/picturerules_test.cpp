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

}  // namespace
}  // namespace treskel
