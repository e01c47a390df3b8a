// The arithmetic of acquired images and their .bmp files.
#include <gtest/gtest.h>

#include "support/DibBytes.h"
#include "platform/DibFormat.h"
#include "twain/TwainDib.h"

namespace treskel::test {

namespace {
uint32_t Colors(const DibSpec& s) {
    auto d = MakeDib(s);
    return DibHeaderColorCount(d.data(), d.size());
}
uint32_t Offset(const DibSpec& s) {
    auto d = MakeDib(s);
    return DibPixelOffset(d.data(), d.size());
}
}  // namespace

TEST(DibHeader, ColourTableEntriesByDepth) {
    EXPECT_EQ(Colors({.bits = 1}), 2u);
    EXPECT_EQ(Colors({.bits = 4}), 16u);
    EXPECT_EQ(Colors({.bits = 8}), 256u);
    EXPECT_EQ(Colors({.bits = 8, .colorsUsed = 17}), 17u);
    EXPECT_EQ(Colors({.bits = 24}), 0u);
    EXPECT_EQ(Colors({.bits = 16, .compression = 3}), 0u);
    // A 32-bit image has no table unless its header gives one.
    EXPECT_EQ(Colors({.bits = 32}), 0u);
    EXPECT_EQ(Colors({.bits = 32, .colorsUsed = 5}), 5u);
    // A core header: three bytes an entry, never more than 256.
    uint8_t core[12] = {12, 0, 0, 0, 4, 0, 2, 0, 1, 0, 8, 0};
    EXPECT_EQ(DibHeaderColorCount(core, sizeof core), 256u);
    EXPECT_EQ(DibPixelOffset(core, sizeof core), 12u + 3 * 256);
    core[10] = 24;
    EXPECT_EQ(DibHeaderColorCount(core, sizeof core), 0u);
}

TEST(DibHeader, PixelsFollowTheMasksOfABitFieldImage) {
    EXPECT_EQ(Offset({.bits = 24}), 40u);
    EXPECT_EQ(Offset({.bits = 8}), 40u + 1024);
    EXPECT_EQ(Offset({.bits = 16, .compression = 3}), 52u);
    EXPECT_EQ(Offset({.bits = 32, .compression = 3}), 52u);
    EXPECT_EQ(Offset({.bits = 32}), 40u);
    EXPECT_EQ(Offset({.bits = 16}), 40u);
}

namespace {
DibFileParts Prepare(const std::vector<uint8_t>& dib) {
    DibFileParts parts;
    EXPECT_TRUE(PrepareDibFile(dib.data(), dib.size(), parts));
    return parts;
}
uint32_t OffBits(const DibFileParts& p) { return GetU32(p.fileHeader + 10); }
}  // namespace

TEST(DibFile, DataOffsetCountsHeaderMasksAndTable) {
    EXPECT_EQ(OffBits(Prepare(MakeDib({.bits = 24}))), 54u);
    EXPECT_EQ(OffBits(Prepare(MakeDib({.bits = 8}))), 1078u);
    EXPECT_EQ(OffBits(Prepare(MakeDib({.bits = 8, .colorsUsed = 2}))), 62u);
    EXPECT_EQ(OffBits(Prepare(MakeDib({.bits = 16, .compression = 3}))), 66u);
    EXPECT_EQ(OffBits(Prepare(MakeDib({.bits = 32, .compression = 3}))), 66u);
    EXPECT_EQ(OffBits(Prepare(MakeDib({.bits = 32}))), 54u);
}

TEST(DibFile, GoldenBytesOfA24BitImage) {
    const auto dib = MakeDib({.width = 3, .height = 2, .bits = 24, .fill = 7});
    DibFileParts p = Prepare(dib);
    const uint8_t header[14] = {'B', 'M', 54 + 24, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(p.fileHeader, p.fileHeader + 14), std::vector<uint8_t>(header, header + 14));
    ASSERT_EQ(p.head.size(), 40u);
    EXPECT_EQ(GetU32(p.head.data() + 20), 24u);  // rows of 12 bytes (9 padded), two of them
    EXPECT_EQ(p.bitsSize, 24u);
    EXPECT_EQ(p.bits, dib.data() + 40);
}

TEST(DibFile, TheImageItselfKeepsItsOwnImageSize) {
    const auto dib = MakeDib({.width = 5, .height = 3, .bits = 16, .compression = 3});
    const auto before = dib;
    DibFileParts p = Prepare(dib);
    EXPECT_EQ(dib, before);
    EXPECT_EQ(GetU32(dib.data() + 20), 0u);
    EXPECT_EQ(GetU32(p.head.data() + 20), 12u * 3);
    // The masks go into the file with the header.
    EXPECT_EQ(GetU32(p.head.data() + 40), 0xF800u);
    EXPECT_EQ(GetU32(p.fileHeader + 2), 66u + 36);
}

TEST(DibFile, RefusesWhatItCannotWriteWhole) {
    DibFileParts p;
    // Run-length encoded without its length.
    std::vector<uint8_t> rle = MakeDib({.width = 4, .height = 1, .bits = 8, .compression = 1});
    EXPECT_FALSE(PrepareDibFile(rle.data(), rle.size(), p));
    PutU32(rle.data() + 20, 2);
    rle.resize(40 + 1024);
    rle.insert(rle.end(), {0, 1});  // end of bitmap
    EXPECT_TRUE(PrepareDibFile(rle.data(), rle.size(), p));
    EXPECT_EQ(p.bitsSize, 2u);
    // Pixels missing.
    auto shortDib = MakeDib({.bits = 24});
    shortDib.pop_back();
    EXPECT_FALSE(PrepareDibFile(shortDib.data(), shortDib.size(), p));
    EXPECT_FALSE(PrepareDibFile(shortDib.data(), 10, p));
}

TEST(DibFile, ReadingPacksThePixelsAfterTheTable) {
    const auto dib = MakeDib({.width = 2, .height = 2, .bits = 4, .fill = 0x12});
    const uint32_t pixels = 40 + 64;
    EXPECT_EQ(DibFromBitmapFile(MakeBitmapFile(dib, pixels, 0).data(), dib.size() + 14), dib);
    const auto gapped = MakeBitmapFile(dib, pixels, 10);
    EXPECT_EQ(DibFromBitmapFile(gapped.data(), gapped.size()), dib);
    // A file one pixel byte short is no picture.
    EXPECT_TRUE(DibFromBitmapFile(gapped.data(), gapped.size() - 1).empty());
    EXPECT_TRUE(DibFromBitmapFile(gapped.data(), 13).empty());
}

}  // namespace treskel::test

namespace treskel::test {

// An image handed over is checked against its own block: the words say
// what is wrong with it.
TEST(DibHeader, WhatIsWrongWithAnImageIsSaidInWords) {
    std::vector<uint8_t> good = MakeDib({.width = 6, .height = 4, .bits = 24});
    EXPECT_EQ(DibProblem(good.data(), good.size()), "");
    std::vector<uint8_t> claim = MakeDib({.width = 16000, .height = 10000, .bits = 24, .pixels = {0}});
    EXPECT_EQ(DibProblem(claim.data(), 40),
              "The image is damaged: its header says 16000 x 10000 pixels of 24 bits, which its 40 bytes do not "
              "hold.");
    EXPECT_EQ(DibProblem(good.data(), good.size() - 1),
              "The image is damaged: its header says 6 x 4 pixels of 24 bits, which its 119 bytes do not hold.");
    EXPECT_EQ(DibProblem(good.data(), 30), "The image is damaged: its header is not complete.");
    EXPECT_EQ(DibProblem(nullptr, 0), "The image is damaged: its header is not complete.");
    // Runs hold no count of pixels to check the block against.
    std::vector<uint8_t> huge = MakeDib({.width = 30000, .height = 10000, .bits = 8, .compression = 1, .pixels = {0, 1}});
    EXPECT_EQ(DibProblem(huge.data(), huge.size()),
              "The image is too large: 30000 x 10000 pixels of 8 bits would take 286 MB, more than the 256 MB a "
              "picture may take.");
}

}  // namespace treskel::test
