// PictLib.dll as the program calls it, and the JPEG picture class: files of
// every format become bitmaps with the right pixels the right way up, and
// damaged ones are refused with the library's reason.
#include <gtest/gtest.h>

#include "pictlib/PictLib.h"
#include "platform/Graphics.h"
#include "platform/JpegCodec.h"
#include "platform/JpegImage.h"
#include "support/PictureFiles.h"
#include "support/Snapshot.h"
#include "support/TestEnv.h"

namespace treskel::test {

namespace {

const Rgb kRed{220, 20, 30}, kGreen{10, 200, 40}, kBlue{30, 40, 210}, kYellow{240, 230, 20};

Rgb ColorOf(TColor c) { return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)}; }

void ExpectQuadrants(TBitmap& b, int tolerance) {
    const int w = b.Width(), h = b.Height();
    EXPECT_TRUE(Near(ColorOf(At(b, 2, 2)), kRed, tolerance));
    EXPECT_TRUE(Near(ColorOf(At(b, w - 3, 2)), kGreen, tolerance));
    EXPECT_TRUE(Near(ColorOf(At(b, 2, h - 3)), kBlue, tolerance));
    EXPECT_TRUE(Near(ColorOf(At(b, w - 3, h - 3)), kYellow, tolerance));
}

std::string LoadError(const std::string& file) {
    try {
        DeleteObject(PictLibLoad(file));
    } catch (const EInvalidGraphic& e) {
        return e.Message();
    }
    return "<loaded>";
}

}  // namespace

class PictLibFiles : public testing::TestWithParam<std::string> {
protected:
    TempDir dir;
    TRasterImage sample = Quadrants(24, 16, kRed, kGreen, kBlue, kYellow);
};

TEST_P(PictLibFiles, BecomeABitmapTheRightWayUp) {
    const std::string name = dir.File("picture." + GetParam());
    WriteAll(name, WritePictureFile(GetParam(), sample));
    TBitmap bitmap;
    bitmap.SetHandle(PictLibLoad(name));
    EXPECT_EQ(bitmap.Width(), 24);
    EXPECT_EQ(bitmap.Height(), 16);
    ExpectQuadrants(bitmap, GetParam() == "jpeg" ? 16 : 0);
}

TEST_P(PictLibFiles, DamagedAreRefusedWithTheLibrarysReason) {
    const std::string name = dir.File("damaged." + GetParam());
    WriteAll(name, DamagedPictureFile(GetParam(), sample));
    const std::string why = LoadError(name);
    EXPECT_NE(why, "<loaded>");
    EXPECT_NE(why, "The picture cannot be loaded.");
}

// What a caller learns before it lets a picture be decoded.
TEST_P(PictLibFiles, AreMeasuredFromTheirHeaderAlone) {
    const std::string name = dir.File("picture." + GetParam());
    WriteAll(name, WritePictureFile(GetParam(), sample));
    const TPictSize size = PictLibPictureSize(name);
    EXPECT_EQ(size.Width, 24);
    EXPECT_EQ(size.Height, 16);
    EXPECT_EQ(size.BitCount, GetParam() == "rle" ? 8 : 24);
    // A header that cannot be right is refused as loading refuses it.
    WriteAll(name, DamagedPictureFile(GetParam(), sample));
    std::string why = "<measured>";
    try {
        PictLibPictureSize(name);
    } catch (const EInvalidGraphic& e) {
        why = e.Message();
    }
    if (why != "<measured>") {
        EXPECT_EQ(why, LoadError(name));
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, PictLibFiles, testing::Values("bmp", "dib", "rle", "gif", "pcx", "tga", "jpeg"));

// The system decodes runs only when told their length: a header without
// it (image size 0, as many writers leave it) is given the runs' own.
TEST(PictLib, RunLengthBitmapsLoadWithOrWithoutTheirImageSize) {
    TempDir dir;
    const TRasterImage sample = Quadrants(16, 16, kRed, kGreen, kBlue, kYellow);
    for (int bits : {8, 4})
        for (bool sized : {true, false}) {
            std::vector<uint8_t> file = WriteBmpRle(sample, bits);
            if (!sized) PutU32(file.data() + 14 + 20, 0);
            // Bytes after the end mark are not the system's to read.
            file.insert(file.end(), {0xEE, 0xEE, 0xEE});
            const std::string name = dir.File("runs.rle");
            WriteAll(name, file);
            TBitmap bitmap;
            bitmap.SetHandle(PictLibLoad(name));
            ASSERT_EQ(bitmap.Width(), 16) << bits << sized;
            ExpectQuadrants(bitmap, 0);
        }
    // Runs that leave the rows say what is wrong.
    std::vector<uint8_t> wrong = WriteBmpRle(sample, 4);
    wrong[14 + 40 + 4 * 4] = 200;
    WriteAll(dir.File("wrong.rle"), wrong);
    EXPECT_EQ(LoadError(dir.File("wrong.rle")), "The bitmap is damaged, or of a kind that cannot be shown.");
}

TEST(PictLib, FilesThatAreNotThereOrEmptySaySo) {
    TempDir dir;
    EXPECT_THROW(PictLibPictureSize(dir.File("missing.bmp")), EInvalidGraphic);
    EXPECT_EQ(LoadError(dir.File("missing.bmp")), "The picture file cannot be opened.");
    WriteAll(dir.File("empty.gif"), std::string());
    EXPECT_EQ(LoadError(dir.File("empty.gif")), "The picture file is empty or cannot be read.");
    EXPECT_EQ(LoadError(""), "No picture file was named.");
}

TEST(JpegPicture, LoadsThroughThePictureClassByExtension) {
    TempDir dir;
    const TRasterImage sample = Quadrants(32, 24, kRed, kGreen, kBlue, kYellow);
    for (const std::string ext : {"jpg", "jpeg", "jpe"}) {
        WriteAll(dir.File("p." + ext), WriteJpeg(sample));
        TPicture picture;
        picture.LoadFromFile(dir.File("p." + ext));
        auto* jpeg = dynamic_cast<TJPEGImage*>(picture.Graphic());
        ASSERT_NE(jpeg, nullptr) << ext;
        EXPECT_EQ(picture.Width(), 32);
        ExpectQuadrants(*jpeg->Bitmap(), 16);
    }
    WriteAll(dir.File("bad.jpg"), DamagedPictureFile("jpg", sample));
    TPicture picture;
    try {
        picture.LoadFromFile(dir.File("bad.jpg"));
        ADD_FAILURE() << "loaded";
    } catch (const EJPEG& e) {
        EXPECT_EQ(e.Message().rfind("JPEG error #", 0), 0u);
    }
    EXPECT_EQ(picture.Graphic(), nullptr);
}

}  // namespace treskel::test
