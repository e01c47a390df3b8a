#include <gtest/gtest.h>

#include <cstring>

#include "platform/Clipbrd.h"
#include "platform/Graphics.h"

using namespace treskel;

namespace {
TColor PixelOf(TBitmap& b, int x, int y) { return b.Canvas()->Pixel(x, y) & 0xFFFFFF; }
}  // namespace

TEST(Clipboard, TextRoundTripsAndClearEmptiesIt) {
    std::string text = "Line one\r\nLine two \xE9\xE8 \t end";
    Clipboard()->SetAsText(text);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->AsText(), text);
    // A NUL ends the text; nothing after it reaches the clipboard.
    Clipboard()->SetAsText(std::string("before\0after", 12));
    EXPECT_EQ(Clipboard()->AsText(), "before");
    Clipboard()->Clear();
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->AsText(), "");
}

TEST(Clipboard, BitmapRoundTripsPixelForPixel) {
    TBitmap b;
    b.SetPixelFormat(TPixelFormat::pf24bit);
    b.SetSize(7, 5);
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(Rect(0, 0, 7, 5));
    b.Canvas()->SetPixel(0, 0, clRed);
    b.Canvas()->SetPixel(6, 0, clLime);
    b.Canvas()->SetPixel(0, 4, clBlue);
    b.Canvas()->SetPixel(6, 4, ColorRGB(0x12, 0x34, 0x56));
    Clipboard()->Assign(&b);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));  // the text that was there went

    TBitmap back;
    back.Assign(Clipboard());
    ASSERT_EQ(back.Width(), 7);
    ASSERT_EQ(back.Height(), 5);
    EXPECT_EQ(PixelOf(back, 0, 0), clRed);
    EXPECT_EQ(PixelOf(back, 6, 0), clLime);
    EXPECT_EQ(PixelOf(back, 0, 4), clBlue);
    EXPECT_EQ(PixelOf(back, 6, 4), ColorRGB(0x12, 0x34, 0x56));
    EXPECT_EQ(PixelOf(back, 3, 2), clWhite);

    // A picture reads it back as a bitmap too.
    TPicture picture;
    picture.Assign(Clipboard());
    ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 7);
}

TEST(Clipboard, MetafileAndPictureGoInTheirOwnFormat) {
    TMetafile mf;
    mf.SetMMWidth(2540);
    mf.SetMMHeight(2540);
    {
        TMetafileCanvas c(&mf, nullptr);
        c.Brush()->SetColor(clRed);
        c.FillRect(Rect(0, 0, 50, 50));
    }
    TPicture picture;
    picture.SetGraphic(&mf);
    Clipboard()->Assign(&picture);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_ENHMETAFILE));
    TMetafile back;
    back.Assign(Clipboard());
    ASSERT_FALSE(back.Empty());
    // Playing the copy draws what was recorded.
    TBitmap target;
    target.SetPixelFormat(TPixelFormat::pf24bit);
    target.SetSize(20, 20);
    back.Draw(target.Canvas(), Rect(0, 0, 20, 20));
    EXPECT_EQ(PixelOf(target, 4, 4), clRed);  // 50 of 96 pixels: the top-left half
    EXPECT_EQ(PixelOf(target, 16, 16), clWhite);
}

TEST(Clipboard, RegisteredFormatsCarryRawBytesAndSeveralFormatsShareOneOpening) {
    UINT format = RegisterClipboardFormatA("Treskel Test Format");
    std::string bytes("\x01\x00\x02\xFF", 4);
    Clipboard()->Open();
    Clipboard()->SetAsText("plain");
    Clipboard()->SetBuffer(format, bytes.data(), bytes.size());
    Clipboard()->Close();
    // Both formats stay: only the first of one opening empties the clipboard.
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_TRUE(Clipboard()->HasFormat(format));
    EXPECT_EQ(Clipboard()->GetBuffer(format).substr(0, 4), bytes);
    EXPECT_EQ(Clipboard()->AsText(), "plain");

    // A handle handed over is the clipboard's; reading gives its own.
    GlobalMemory mem(3);
    {
        GlobalLockGuard lock(mem.Get());
        std::memcpy(lock.Get(), "ab", 3);
    }
    Clipboard()->SetAsHandle(CF_TEXT, mem.Release());
    EXPECT_FALSE(Clipboard()->HasFormat(format));
    Clipboard()->Open();
    HANDLE h = Clipboard()->GetAsHandle(CF_TEXT);
    ASSERT_NE(h, nullptr);
    {
        GlobalLockGuard lock(h);
        EXPECT_STREQ(static_cast<const char*>(lock.Get()), "ab");
    }
    Clipboard()->Close();
}

TEST(Clipboard, ReadingAMissingPictureFormatRaises) {
    Clipboard()->SetAsText("no picture here");
    TBitmap b;
    EXPECT_THROW(b.Assign(Clipboard()), EClipboardException);
    TPicture p;
    EXPECT_THROW(p.Assign(Clipboard()), EClipboardException);
}
