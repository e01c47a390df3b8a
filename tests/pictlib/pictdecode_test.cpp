// The picture decoders: every format told apart by its bytes and decoded,
// the odd kinds of PCX, and damaged files refused with a message.
#include <gtest/gtest.h>

#include "pictlib/PcxDecode.h"
#include "pictlib/PictDecode.h"
#include "platform/JpegCodec.h"
#include "platform/Streams.h"
#include "support/PictureFiles.h"

namespace treskel::test {

namespace {

const Rgb kRed{220, 20, 30}, kGreen{10, 200, 40}, kBlue{30, 40, 210}, kYellow{240, 230, 20};

TRasterImage Sample(int w = 13, int h = 9) { return Quadrants(w, h, kRed, kGreen, kBlue, kYellow); }

TPictImage Decode(const std::vector<uint8_t>& bytes) {
    TPictImage image;
    PictDecode(bytes.data(), bytes.size(), image);
    return image;
}

void ExpectSample(const TRasterImage& got, const TRasterImage& want, int tolerance = 0) {
    ASSERT_EQ(got.Width, want.Width);
    ASSERT_EQ(got.Height, want.Height);
    // Away from the quadrants' edges, where a lossy coder blurs.
    for (auto [x, y] : {std::pair{1, 1}, std::pair{want.Width - 2, 1}, std::pair{1, want.Height - 2},
                        std::pair{want.Width - 2, want.Height - 2}})
        EXPECT_TRUE(Near(PixelAt(got, x, y), PixelAt(want, x, y), tolerance)) << x << "," << y;
    if (tolerance == 0) {
        EXPECT_EQ(got.Pixels, want.Pixels);
    }
}

// What a decoder says when it refuses the bytes; "<decoded>" when it
// takes them.
template <class Decoder>
std::string RefusalBy(Decoder decode, const std::vector<uint8_t>& bytes) {
    try {
        decode(bytes);
    } catch (const Exception& e) {
        return e.Message();
    }
    return "<decoded>";
}

std::string Refusal(const std::vector<uint8_t>& bytes) { return RefusalBy(Decode, bytes); }

}  // namespace

// ---------------------------------------------------------------- formats

TEST(PictDecode, DecodesEachFormatByItsBytes) {
    const TRasterImage sample = Sample(300, 7);  // more pixels than one run of literal codes
    {
        TPictImage p = Decode(WriteGif(sample));
        EXPECT_EQ(p.Format, TPictFormat::Gif);
        ExpectSample(p.Raster, sample);
    }
    for (bool rle : {false, true}) {
        TPictImage p = Decode(WriteTga(sample, rle));
        EXPECT_EQ(p.Format, TPictFormat::Tga);
        ExpectSample(p.Raster, sample);
    }
    {
        TPictImage p = Decode(WritePcx24(sample));
        EXPECT_EQ(p.Format, TPictFormat::Pcx);
        ExpectSample(p.Raster, sample);
        ExpectSample(Decode(WritePcx8(sample)).Raster, sample);
    }
    {
        TPictImage p = Decode(WriteJpeg(Sample(32, 32)));
        EXPECT_EQ(p.Format, TPictFormat::Jpeg);
        ExpectSample(p.Raster, Sample(32, 32), 12);
    }
}

TEST(PictDecode, BitmapsAreCheckedAndPackedForTheSystem) {
    const TRasterImage sample = Sample();
    const std::vector<uint8_t> bmp = WriteBmp24(sample);
    TPictImage p = Decode(bmp);
    EXPECT_EQ(p.Format, TPictFormat::Bitmap);
    EXPECT_EQ(p.Dib, std::vector<uint8_t>(bmp.begin() + 14, bmp.end()));
    // A DIB without its file header.
    EXPECT_EQ(Decode(WritePictureFile("dib", sample)).Dib, p.Dib);
    // Run-length encoded: the runs stay for the system to decode.
    const std::vector<uint8_t> rle = WriteBmpRle8(sample);
    TPictImage r = Decode(rle);
    EXPECT_EQ(GetU32(r.Dib.data() + 16), 1u);
    EXPECT_EQ(r.Dib.size(), rle.size() - 14);
}

TEST(PictDecode, DamagedFilesOfEveryFormatAreRefusedWithAMessage) {
    const TRasterImage sample = Sample(40, 30);
    for (const std::string ext : {"bmp", "dib", "rle", "gif", "pcx", "tga", "jpg"}) {
        const std::string why = Refusal(DamagedPictureFile(ext, sample));
        EXPECT_NE(why, "<decoded>") << ext;
        EXPECT_FALSE(why.empty()) << ext;
    }
    EXPECT_EQ(Refusal(DamagedPictureFile("gif", sample)).rfind("The GIF picture is damaged", 0), 0u);
    EXPECT_EQ(Refusal(DamagedPictureFile("pcx", sample)), "The PCX picture is damaged: its pixels end too soon.");
    EXPECT_EQ(Refusal(DamagedPictureFile("bmp", sample)), "The bitmap is damaged, or of a kind that cannot be shown.");
    EXPECT_EQ(Refusal(DamagedPictureFile("jpg", sample)).rfind("JPEG error #", 0), 0u);
}

TEST(PictDecode, FilesTooShortForTheirPixelsAreDamagedNotBlack) {
    const TRasterImage sample = Sample(40, 30);
    std::vector<uint8_t> tga = WriteTga(sample, false);
    tga.resize(tga.size() - 3);  // one pixel short
    EXPECT_EQ(Refusal(tga), "The TGA picture is damaged: its pixels end too soon.");
    // A header that claims a large picture over a few bytes.
    std::vector<uint8_t> gif = WriteGif(sample);
    PutU16(gif.data() + 6, 9000);
    PutU16(gif.data() + 8, 9000);
    PutU16(gif.data() + 6 + 7 + 768 + 5, 9000);
    PutU16(gif.data() + 6 + 7 + 768 + 7, 9000);
    EXPECT_EQ(Refusal(gif), "The GIF picture is damaged: its pixels end too soon.");
    std::vector<uint8_t> jpeg = WriteJpeg(Sample(16, 16));
    for (size_t i = 2; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {  // the frame header: height, then width
            PutU16(jpeg.data() + i + 5, 0x1E00);
            PutU16(jpeg.data() + i + 7, 0x1E00);
            std::swap(jpeg[i + 5], jpeg[i + 6]);
            std::swap(jpeg[i + 7], jpeg[i + 8]);
            break;
        }
    EXPECT_EQ(Refusal(jpeg).rfind("JPEG error #", 0), 0u) << Refusal(jpeg);
}

// The crafted files of the tests: small, of one colour, and what they say.
TEST(PictDecode, OneColourFilesOfLargePicturesDecode) {
    const Rgb teal{0, 128, 128};
    const std::vector<uint8_t> gif = UniformGif(3000, 2000, teal);
    EXPECT_LT(gif.size(), 10000u);
    TPictImage g = Decode(gif);
    ASSERT_EQ(g.Raster.Width, 3000);
    ASSERT_EQ(g.Raster.Height, 2000);
    for (auto [x, y] : {std::pair{0, 0}, std::pair{2999, 0}, std::pair{1500, 1000}, std::pair{2999, 1999}})
        EXPECT_EQ(PixelAt(g.Raster, x, y), teal) << x << "," << y;
    TPictImage p = Decode(UniformPcx(701, 300, teal));
    ASSERT_EQ(p.Raster.Width, 701);
    EXPECT_EQ(PixelAt(p.Raster, 700, 299), teal);
}

TEST(PictDecode, WhatIsNoPictureAtAllSaysSo) {
    const std::string expected =
        "The file is not a picture that can be inserted (bitmap, GIF, JPEG, PCX or TGA), or it is damaged.";
    EXPECT_EQ(Refusal({}), expected);
    const std::string text = "Just some words in a file that has a picture's name.";
    EXPECT_EQ(Refusal(std::vector<uint8_t>(text.begin(), text.end())), expected);
}

// ---------------------------------------------------------------- JPEG

TEST(JpegCodec, GreyPicturesComeOutGrey) {
    TRasterImage grey = Quadrants(16, 16, {90, 90, 90}, {90, 90, 90}, {200, 200, 200}, {200, 200, 200});
    std::vector<uint8_t> jpeg = WriteJpeg(grey, 100);
    TReadOnlyMemoryStream s(jpeg.data(), static_cast<int64_t>(jpeg.size()));
    TRasterImage out;
    JpegDecode(s, out);
    EXPECT_TRUE(Near(PixelAt(out, 3, 3), {90, 90, 90}, 3));
    EXPECT_TRUE(Near(PixelAt(out, 12, 12), {200, 200, 200}, 3));
}

TEST(JpegCodec, ErrorsNameTheLibrarysCode) {
    std::vector<uint8_t> jpeg = WriteJpeg(Sample(16, 16));
    // A marker no JPEG file has, right after the start.
    std::vector<uint8_t> bad(jpeg.begin(), jpeg.begin() + 2);
    bad.insert(bad.end(), {0xFF, 0x01, 0, 4, 0, 0});
    for (const auto& bytes : {bad, std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + jpeg.size() / 2)}) {
        TReadOnlyMemoryStream s(bytes.data(), static_cast<int64_t>(bytes.size()));
        TRasterImage out;
        try {
            JpegDecode(s, out);
            ADD_FAILURE() << "decoded";
        } catch (const EJPEG& e) {
            EXPECT_EQ(e.Message().rfind("JPEG error #", 0), 0u) << e.Message();
            EXPECT_GT(std::stoi(e.Message().substr(12)), 0);
            // And why, in words.
            EXPECT_NE(e.Message().find(": the "), std::string::npos) << e.Message();
        }
    }
}

// A progressive file costs a pass over the blocks of each scan: the scans
// are counted against the picture's blocks before each is read, and what
// would take far too long is refused in words, whatever the scan limit.
TEST(JpegCodec, ScansBeyondTheWorkAPictureNeedsAreRefusedInWords) {
    auto refusal = [](const std::vector<uint8_t>& bytes) {
        return RefusalBy([](const std::vector<uint8_t>& b) {
            TReadOnlyMemoryStream s(b.data(), static_cast<int64_t>(b.size()));
            TRasterImage out;
            JpegDecode(s, out);
        }, bytes);
    };
    // 62,500 blocks: 64 scans of them pass, a thousand do not.
    EXPECT_EQ(refusal(ManyScanJpeg(2000, 2000, 64)), "<decoded>");
    EXPECT_EQ(refusal(ManyScanJpeg(2000, 2000, 1000)),
              "JPEG error #47: the picture is stored in so many scans for its size that showing it would take "
              "far too long.");
    // A small picture may have many scans, up to the limit.
    EXPECT_EQ(refusal(ManyScanJpeg(16, 16, 1000)), "<decoded>");
    EXPECT_EQ(refusal(ManyScanJpeg(16, 16, 1001)),
              "JPEG error #47: the picture is stored in more than 1000 scans, far more than any picture needs.");
    // The usual progression of a large colour picture.
    std::vector<uint8_t> plain = WriteJpeg(Sample(1200, 900));
    EXPECT_EQ(refusal(plain), "<decoded>");
}

TEST(JpegCodec, TheSizeIsReadFromTheHeaderAlone) {
    std::vector<uint8_t> jpeg = ManyScanJpeg(640, 480, 2000);
    TReadOnlyMemoryStream s(jpeg.data(), static_cast<int64_t>(jpeg.size()));
    int width = 0, height = 0;
    JpegPictureSize(s, width, height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    std::vector<uint8_t> head(jpeg.begin(), jpeg.begin() + 100);
    TReadOnlyMemoryStream cut(head.data(), static_cast<int64_t>(head.size()));
    EXPECT_THROW(JpegPictureSize(cut, width, height), EJPEG);
}

// ---------------------------------------------------------------- PCX

namespace {
std::vector<uint8_t> PcxHeaderOnly(int bits, int planes, int width, int height, int bytesPerLine) {
    std::vector<uint8_t> h(128, 0);
    h[0] = 0x0A;
    h[1] = 5;
    h[2] = 1;
    h[3] = static_cast<uint8_t>(bits);
    PutU16(h.data() + 8, static_cast<uint16_t>(width - 1));
    PutU16(h.data() + 10, static_cast<uint16_t>(height - 1));
    h[65] = static_cast<uint8_t>(planes);
    PutU16(h.data() + 66, static_cast<uint16_t>(bytesPerLine));
    for (int i = 0; i < 16; ++i) {  // palette entry i: (16 i, 0, 255 - 16 i)
        h[16 + 3 * i] = static_cast<uint8_t>(16 * i);
        h[18 + 3 * i] = static_cast<uint8_t>(255 - 16 * i);
    }
    return h;
}

TRasterImage Pcx(const std::vector<uint8_t>& bytes) {
    TRasterImage out;
    PcxDecode(bytes.data(), bytes.size(), out);
    return out;
}

std::string PcxRefusal(const std::vector<uint8_t>& bytes) { return RefusalBy(Pcx, bytes); }
}  // namespace

TEST(PcxDecode, MonochromeAndPlanarSixteenColours) {
    // 1 bit: 10 pixels in a line of 2 bytes, white where the bit is set.
    std::vector<uint8_t> mono = PcxHeaderOnly(1, 1, 10, 1, 2);
    mono.insert(mono.end(), {0xC1, 0xA0, 0x40});  // 0xA0 written as a run, 0x40 plain
    TRasterImage m = Pcx(mono);
    EXPECT_EQ(PixelAt(m, 0, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(m, 1, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(m, 2, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(m, 9, 0), (Rgb{255, 255, 255}));
    // Four planes of one bit: pixel 0 has bits in planes 0 and 2 (index 5).
    std::vector<uint8_t> ega = PcxHeaderOnly(1, 4, 8, 1, 2);
    ega.insert(ega.end(), {0x80, 0, 0, 0, 0x80, 0, 0, 0});
    EXPECT_EQ(PixelAt(Pcx(ega), 0, 0), (Rgb{80, 0, 175}));
    EXPECT_EQ(PixelAt(Pcx(ega), 1, 0), (Rgb{0, 0, 255}));
    // Packed four bits: the high nibble first.
    std::vector<uint8_t> nibbles = PcxHeaderOnly(4, 1, 2, 1, 2);
    nibbles.insert(nibbles.end(), {0x3C, 0});
    EXPECT_EQ(PixelAt(Pcx(nibbles), 0, 0), (Rgb{48, 0, 207}));
    EXPECT_EQ(PixelAt(Pcx(nibbles), 1, 0), (Rgb{192, 0, 63}));
}

TEST(PcxDecode, RunsGoOnIntoTheNextLineAndMissingPalettesGiveGreys) {
    // 256 colours without the palette at the end: index = grey level.
    std::vector<uint8_t> f = PcxHeaderOnly(8, 1, 2, 2, 2);
    f.insert(f.end(), {0xC3, 0x40, 0x80});  // 0x40 three times: across the first line's end
    TRasterImage g = Pcx(f);
    EXPECT_EQ(PixelAt(g, 1, 0), (Rgb{0x40, 0x40, 0x40}));
    EXPECT_EQ(PixelAt(g, 0, 1), (Rgb{0x40, 0x40, 0x40}));
    EXPECT_EQ(PixelAt(g, 1, 1), (Rgb{0x80, 0x80, 0x80}));
}

TEST(PcxDecode, HeadersThatCannotBeRightAreRefused) {
    EXPECT_EQ(PcxRefusal(PcxHeaderOnly(8, 1, 10, 1, 4)), "The PCX picture is damaged: its line length does not fit its width.");
    EXPECT_EQ(PcxRefusal(PcxHeaderOnly(8, 1, 1, 1, 200)), "The PCX picture is damaged: its line length does not fit its width.");
    EXPECT_EQ(PcxRefusal(PcxHeaderOnly(2, 2, 8, 1, 2)), "The PCX picture has a kind of colours that cannot be shown.");
    EXPECT_EQ(PcxRefusal(PcxHeaderOnly(8, 3, 65535, 65535, 65535)), "The PCX picture is too large.");
    std::vector<uint8_t> reversed = PcxHeaderOnly(8, 1, 4, 1, 4);
    PutU16(reversed.data() + 4, 9);  // xmin beyond xmax
    EXPECT_EQ(PcxRefusal(reversed), "The PCX picture is damaged: its size is negative.");
    const std::vector<uint8_t> header = PcxHeaderOnly(8, 1, 4, 1, 4);
    EXPECT_EQ(PcxRefusal(std::vector<uint8_t>(header.begin(), header.begin() + 100)),
              "The PCX picture is damaged: its header is not complete.");
    // A run's mark as the last byte: its value is missing.
    std::vector<uint8_t> cut = PcxHeaderOnly(8, 1, 4, 1, 4);
    cut.push_back(0xC4);
    EXPECT_EQ(PcxRefusal(cut), "The PCX picture is damaged: its pixels end too soon.");
}

}  // namespace treskel::test
