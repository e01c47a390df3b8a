// Bitmap file images, gradients and the picture containers under Wine:
// files written and read back, their images drawn and checked pixel by
// pixel, and a wave entry played where there is a sound device.
#include <gtest/gtest.h>

#include <mmsystem.h>

#include <optional>

#include "foundation/qclcontWin.h"
#include "foundation/qclgraphDib.h"
#include "foundation/qclprocs.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "support/Snapshot.h"
#include "support/DibBytes.h"
#include "support/Media.h"
#include "support/TestEnv.h"

using namespace treskel;
using treskel::test::At;
using treskel::test::Filled;

namespace {

int Count(TBitmap& b, TColor c) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) n += At(b, x, y) == c;
    return n;
}

// Counts the libraries the process loads while it lives (the loader's own
// notification), -1 where the system has none.
class LoadWatch {
    template <class F>
    static F Ntdll(const char* name) {
        return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
    }

public:
    LoadWatch() {
        using Register = LONG(NTAPI*)(ULONG, void*, void*, void**);
        auto reg = Ntdll<Register>("LdrRegisterDllNotification");
        if (reg == nullptr || reg(0, reinterpret_cast<void*>(&Notified), &loads_, &cookie_) != 0) loads_ = -1;
    }
    ~LoadWatch() {
        using Unregister = LONG(NTAPI*)(void*);
        auto unreg = Ntdll<Unregister>("LdrUnregisterDllNotification");
        if (cookie_ != nullptr && unreg != nullptr) unreg(cookie_);
    }
    int Loads() const { return loads_; }

private:
    static void NTAPI Notified(ULONG reason, const void*, void* context) {
        if (reason == 1) ++*static_cast<int*>(context);
    }
    int loads_ = 0;
    void* cookie_ = nullptr;
};

}  // namespace

TEST(QclBitmapFiles, TenByTenSixteenColours) {
    auto b = Filled(10, 10, clRed, TPixelFormat::pfDevice);
    int info = 0, image = 0;
    QclGetDIBSizes(b->Handle(), info, image, 16);
    EXPECT_EQ(info, 104);
    EXPECT_EQ(image, 80);
    const std::vector<uint8_t> file = QclBitmapToFileImage(b->Handle(), nullptr, 16);
    ASSERT_EQ(file.size(), 198u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(GetU32(file.data() + 2), 198u);
    EXPECT_EQ(GetU32(file.data() + 10), 118u);
    EXPECT_EQ(GetU32(file.data() + 14), 40u);
    EXPECT_EQ(GetU16(file.data() + 28), 4);
    EXPECT_EQ(GetU32(file.data() + 34), 80u);
    QclGetDIBSizes(b->Handle(), info, image, 0);  // the true-colour display's own depth
    EXPECT_EQ(info, 40);
    EXPECT_THROW(QclBitmapToFileImage(nullptr, nullptr, 16), EInvalidGraphic);
    // The 4-bit image reads back as the same picture.
    TReadOnlyMemoryStream in(file.data(), static_cast<int64_t>(file.size()));
    TBitmap back;
    back.LoadFromStream(in);
    EXPECT_EQ(At(back, 9, 9), clRed);
}

TEST(QclBitmapFiles, LoadingChecksEverySizeFirst) {
    TBitmap b;
    const auto rle = test::Bmp(4, 2, 8, 1, {2, 255, 2, 0, 0, 0, 4, 128, 0, 1});
    TReadOnlyMemoryStream in(rle.data(), static_cast<int64_t>(rle.size()));
    b.LoadFromStream(in);
    EXPECT_EQ(At(b, 0, 1), clWhite);  // bottom row first
    EXPECT_EQ(At(b, 3, 1), clBlack);
    EXPECT_EQ(At(b, 2, 0), 0x808080);
    auto shortRows = test::Bmp(10, 10, 24);
    shortRows.resize(shortRows.size() - 3);
    for (const auto& bad : {shortRows, test::Bmp(4, 1, 8, 1, {5, 1, 0, 1})}) {
        TReadOnlyMemoryStream s(bad.data(), static_cast<int64_t>(bad.size()));
        EXPECT_THROW(b.LoadFromStream(s), EInvalidGraphic);
    }
}

TEST(QclGradients, BandsAndPalette) {
    auto b = Filled(10, 2, clWhite);
    QclDrawGradient(b->Canvas(), Rect(0, 0, 10, 2), clBlack, static_cast<TColor>(0x0000FF), 4, 0, 0, 0);
    const TColor steps[] = {0x000000, 0x000055, 0x0000AA, 0x0000FF};
    const int bandOf[] = {0, 0, 0, 1, 1, 2, 2, 2, 3, 3};  // boundaries 0, 3, 5, 8, 10
    for (int x = 0; x < 10; ++x) EXPECT_EQ(At(*b, x, 1), steps[bandOf[x]]) << x;
    std::vector<TColor> one;
    QclMakeColorList(clRed, clBlue, 1, &one);
    EXPECT_EQ(one, std::vector<TColor>{clRed});
    // The palette leaves the canvas before the caller deletes it.
    std::vector<TColor> colors;
    QclMakeColorList(clBlack, clWhite, 3, &colors);
    HPALETTE palette = QclCreatePaletteFromList(&colors);
    QclFillGradient(b->Canvas(), Rect(0, 0, 10, 2), 1, 0, qclGradPalette | qclGradBuffered, palette, &colors);
    EXPECT_NE(GetCurrentObject(b->Canvas()->Handle(), OBJ_PAL), palette);
    EXPECT_TRUE(DeleteObject(palette));
    EXPECT_EQ(At(*b, 5, 0), clBlack);
}

// The shapes other than bands: the start colour innermost, at the centre
// or at the shape's corner, the end colour outermost.
TEST(QclGradients, RectanglesEllipsesAndCornersStartWhereTheirShapeDoes) {
    std::vector<TColor> colors;
    QclMakeColorList(clBlack, clWhite, 4, &colors);  // black, 0x555555, 0xAAAAAA, white
    auto paint = [&](TQclGradientShape shape) {
        auto b = Filled(40, 40, clRed);
        QclFillGradient(b->Canvas(), Rect(0, 0, 40, 40), shape, 0, 0, nullptr, &colors);
        EXPECT_EQ(Count(*b, clRed), 0) << static_cast<int>(shape);
        return b;
    };
    auto rects = paint(2);
    EXPECT_EQ(At(*rects, 20, 20), colors[0]);
    EXPECT_EQ(At(*rects, 0, 0), colors[3]);
    EXPECT_EQ(At(*rects, 7, 20), colors[2]);  // the third ring: 5 to 36
    EXPECT_EQ(At(*rects, 20, 2), colors[3]);
    // Ellipses: round rings, so a point on the axis lies further in than a
    // point as far out on the diagonal.
    auto ellipses = paint(3);
    EXPECT_EQ(At(*ellipses, 20, 20), colors[0]);
    EXPECT_EQ(At(*ellipses, 20, 2), colors[2]);
    EXPECT_EQ(At(*ellipses, 3, 3), colors[3]);
    // From a corner: the start colour there, the end colour at the three
    // others (top-left, top-right, bottom-left, bottom-right in turn).
    const TPoint corners[] = {Point(0, 0), Point(39, 0), Point(0, 39), Point(39, 39)};
    for (int shape = 4; shape <= 7; ++shape) {
        auto b = paint(static_cast<TQclGradientShape>(shape));
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(At(*b, corners[k].x, corners[k].y), k == shape - 4 ? colors[0] : colors[3]) << shape << " " << k;
    }
}

// A bitmap saved to a stream is its file image, with no size in front;
// the stream is left at its start, and a monochrome bitmap keeps its two
// colours whatever is asked.
TEST(QclBitmapFiles, SavedToAStreamFromItsStart) {
    auto mono = Filled(10, 4, clWhite, TPixelFormat::pf1bit);
    PatBlt(mono->Canvas()->Handle(), 0, 0, 5, 4, BLACKNESS);
    ASSERT_TRUE(mono->Monochrome());
    TMemoryStream s;
    s.WriteBuffer("xy", 2);  // the stream's earlier bytes go first
    QclSaveBitmapToStream(s, *mono, 256);
    EXPECT_EQ(s.Position(), 0);
    std::vector<uint8_t> bytes = s.Bytes();
    ASSERT_GT(bytes.size(), 2u + 62u);
    const uint8_t* file = bytes.data() + 2;
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(GetU16(file + 28), 1);  // one bit a pixel
    EXPECT_EQ(GetU32(file + 10), 14u + 40u + 8u);
    EXPECT_EQ(GetU32(file + 2), bytes.size() - 2);
    TReadOnlyMemoryStream in(file, static_cast<int64_t>(bytes.size() - 2));
    TBitmap back;
    back.LoadFromStream(in);
    EXPECT_EQ(At(back, 1, 1), clBlack);
    EXPECT_EQ(At(back, 8, 1), clWhite);
    // A picture in colour at the depth asked for.
    auto red = Filled(10, 10, clRed, TPixelFormat::pfDevice);
    TMemoryStream c;
    QclSaveBitmapToStream(c, *red, 16);
    EXPECT_EQ(c.Position(), 0);
    EXPECT_EQ(c.Bytes(), QclBitmapToFileImage(red->Handle(), nullptr, 16));
}

// A masked image drawn in each mode: through the mask onto the canvas, onto
// a background colour, and dithered in a colour over the image.
TEST(QclImageItems, DrawModesBackgroundsAndDithers) {
    auto image = Filled(16, 16, clRed);
    PatBlt(image->Canvas()->Handle(), 12, 0, 4, 16, BLACKNESS);
    auto mask = Filled(16, 16, clBlack, TPixelFormat::pf1bit);
    PatBlt(mask->Canvas()->Handle(), 12, 0, 4, 16, WHITENESS);  // the last four columns are transparent
    auto drawn = [&](int mode, std::optional<TColor> back, std::optional<TColor> dither) {
        TQclImageListItem item(nullptr);
        item.SetMasked(true);
        EXPECT_EQ(item.Add(image.get(), mask.get()), 0);
        item.SetDrawMode(mode);
        if (back) item.SetBackColor(*back);
        if (dither) item.SetDitherColor(*dither);
        auto canvas = Filled(16, 16, clYellow);
        item.Draw(canvas->Canvas(), 0, 0, 0);
        return canvas;
    };
    // 3: straight through the mask, whatever background colour is set.
    auto direct = drawn(3, clBlue, std::nullopt);
    EXPECT_EQ(At(*direct, 0, 0), clRed);
    EXPECT_EQ(At(*direct, 14, 5), clYellow);
    // 0 and 1 without a dither colour draw as 2 does: onto the background
    // colour where one is set, else onto what the canvas holds.
    for (int mode : {0, 1}) {
        auto plain = drawn(mode, std::nullopt, std::nullopt);
        EXPECT_EQ(Count(*plain, clRed), 12 * 16) << mode;
        EXPECT_EQ(Count(*plain, clYellow), 4 * 16) << mode;
        auto onBlue = drawn(mode, clBlue, std::nullopt);
        EXPECT_EQ(Count(*onBlue, clBlue), 4 * 16) << mode;
    }
    // 1: a checkerboard of the dither colour over everything drawn.
    auto checker = drawn(1, std::nullopt, clLime);
    EXPECT_EQ(Count(*checker, clLime), 128);
    EXPECT_EQ(At(*checker, 0, 0), clRed);
    EXPECT_EQ(At(*checker, 1, 0), clLime);
    EXPECT_EQ(At(*checker, 13, 1), clYellow);
    // 0: all but the pixels at odd columns of odd rows.
    auto dense = drawn(0, clBlue, clLime);
    EXPECT_EQ(Count(*dense, clLime), 192);
    EXPECT_EQ(At(*dense, 1, 1), clRed);
    EXPECT_EQ(At(*dense, 13, 1), clBlue);
}

TEST(QclImageItems, StripsAcceptWholeImagesOnly) {
    TQclImageListItem item(nullptr);
    EXPECT_EQ(item.Add(Filled(48, 16, clRed).get(), nullptr), 0);
    EXPECT_EQ(item.Count(), 3);
    EXPECT_EQ(item.Add(Filled(20, 16, clRed).get(), nullptr), -1);
    EXPECT_EQ(item.Count(), 3);
    EXPECT_THROW(TQclImageListItem::CreateSize(nullptr, 0, 16), EInvalidGraphicOperation);
    EXPECT_EQ(item.GetImageRect(2), Rect(32, 0, 48, 16));
    // A stored count beyond the strip it comes with is refused.
    TMemoryStream s;
    item.SaveToStream(s);
    std::vector<uint8_t> bytes = s.Bytes();
    EXPECT_EQ(GetU32(bytes.data() + 14), 3u);
    PutU32(bytes.data() + 14, 5);  // the strip has room for 4
    TReadOnlyMemoryStream in(bytes.data(), static_cast<int64_t>(bytes.size()));
    TQclImageListItem other(nullptr);
    EXPECT_THROW(other.LoadFromStream(in), EReadError);
    EXPECT_EQ(other.Count(), 0);
    item.SetWidth(8);
    EXPECT_EQ(item.Count(), 0);
}

TEST(QclContainerFiles, WrittenReadBackAndDrawn) {
    test::TempDir dir;
    TQclBitmapList bitmaps(nullptr);
    const TColor colors[] = {clRed, clBlue, clLime};
    for (int i = 0; i < 3; ++i) {
        auto* item = bitmaps.Items(bitmaps.Add());
        item->Bitmap()->Assign(Filled(6, 4, colors[i]).get());
        item->SetCompressed(i == 1);
        item->SetPixelFormat(i == 2 ? TQclSavePixelFormat::spf4bit : TQclSavePixelFormat::spfDefault);
        item->SetIdent(static_cast<uint16_t>(10 + i));
    }
    const std::string bmpFile = dir.File("pics.bmp");
    bitmaps.SaveToFile(bmpFile);
    int count = 0;
    std::vector<uint32_t> offsets;
    ASSERT_EQ(QclReadContainerHeader(bmpFile, count, &offsets), ckBitmapList);
    EXPECT_EQ(count, 3);
    for (int i = 0; i < 3; ++i) {
        TBitmap b;
        ASSERT_TRUE(QclLoadBitmapFromContainer(bmpFile, i, &b));
        EXPECT_EQ(b.Width(), 6);
        EXPECT_EQ(At(b, 5, 3), colors[i]) << i;
    }

    // An image strip, masked: the middle image shows the background where
    // its mask is white.
    TQclImageList images(nullptr);
    auto* strip = images.Items(images.Add());
    strip->SetWidth(4);
    strip->SetHeight(4);
    strip->SetMasked(true);
    auto pic = Filled(12, 4, clBlue);
    auto mask = Filled(12, 4, clBlack, TPixelFormat::pf1bit);
    PatBlt(mask->Canvas()->Handle(), 4, 0, 2, 4, WHITENESS);
    PatBlt(pic->Canvas()->Handle(), 4, 0, 2, 4, BLACKNESS);
    ASSERT_EQ(strip->Add(pic.get(), mask.get()), 0);
    strip->SetCompressed(true);
    const std::string imlFile = dir.File("strip.iml");
    images.SaveToFile(imlFile);
    TQclImageList back(nullptr);
    TFileStream in(imlFile, fmOpenRead);
    EXPECT_EQ(QclReadShortString(in), "QCLIML30");
    back.LoadFromStream(in, true);
    ASSERT_EQ(back.Count(), 1);
    ASSERT_EQ(back.ImageCount(0), 3);
    EXPECT_TRUE(back.ImageMasked(0));
    auto canvas = Filled(8, 4, clYellow);
    back.Items(0)->Draw(canvas->Canvas(), 0, 0, 1);
    back.Items(0)->Draw(canvas->Canvas(), 4, 0, 2);
    EXPECT_EQ(At(*canvas, 0, 0), clYellow);  // masked part of image 1
    EXPECT_EQ(At(*canvas, 2, 2), clBlue);
    EXPECT_EQ(At(*canvas, 4, 0), clBlue);
    EXPECT_EQ(back.TransparentColor(0, 7), static_cast<TColor>(0xFFFFFF));  // no such image
}

TEST(QclContainerFiles, StorageModesFetchOrRefuse) {
    test::TempDir dir;
    {
        TQclBitmapList source(nullptr);
        source.Items(source.Add())->Bitmap()->Assign(Filled(3, 3, clRed).get());
        source.Items(source.Add())->Bitmap()->Assign(Filled(3, 3, clBlue).get());
        source.SaveToFile(dir.File("lib.bmp"));
    }
    Filled(2, 2, clLime)->SaveToFile(dir.File("abc7.bmp"));
    TQclBitmapList list(nullptr);
    auto* item = list.Items(list.Add());
    item->SetIdent(1);
    list.SetPathPrefix(TQclPathPrefix::ppFixed);
    list.SetStorageMode(1);
    list.SetFileName(dir.File("lib.bmp"));
    // Mode 1 joins the prefix directory (none for a fixed prefix) and the name.
    EXPECT_EQ(At(*item->Bitmap(), 0, 0), clBlue);
    item->Clear();
    list.SetStorageMode(4);
    list.SetFileName(dir.File("abcdef"));
    item->SetIdent(7);
    EXPECT_EQ(At(*item->Bitmap(), 1, 1), clLime);
    item->Clear();
    // Mode 3 would load a library the stored data name: nothing is loaded.
    list.SetStorageMode(3);
    list.SetPathPrefix(TQclPathPrefix::ppSystem);
    list.SetFileName("mapi32.dll");
    LoadWatch watch;
    if (watch.Loads() < 0) GTEST_SKIP() << "no loader notification to watch with";
    EXPECT_TRUE(item->Bitmap()->Empty());
    EXPECT_EQ(watch.Loads(), 0);
    HMODULE probe = LoadLibraryA("mapi32.dll");  // the watch does see a load
    if (probe != nullptr) {
        EXPECT_GE(watch.Loads(), 1);
    }
    if (probe != nullptr) FreeLibrary(probe);
}

namespace {

std::string Hex(const std::vector<uint8_t>& b) {
    std::string s;
    for (uint8_t x : b) s += IntToHex(x, 2);
    return s;
}

template <class T>
T* Find(TComponent* root, const char* name) {
    return dynamic_cast<T*>(root->FindComponent(name));
}

}  // namespace

// Bitmap and image lists and the container of four keep their items in a
// layout: each item inside its list, the container's sorted into its lists
// by kind, the image lists' defaults as properties.
TEST(QclContainerLayouts, PictureListsAndTheContainerOfFourKeepTheirItems) {
    auto form = MakeOwned<TForm>();
    form->InitializeForm(R"(object Form1: TForm
  object Bitmaps1: TQclBitmapList
    DefaultCompressed = True
    DefaultPixelFormat = spf8bit
  end
  object Images1: TQclImageList
  end
  object Container1: TQclContainer
    About = 'four lists'
  end
end
)",
                         "test");
    auto* bitmaps = Find<TQclBitmapList>(form.get(), "Bitmaps1");
    auto* images = Find<TQclImageList>(form.get(), "Images1");
    auto* container = Find<TQclContainer>(form.get(), "Container1");
    ASSERT_TRUE(bitmaps != nullptr && images != nullptr && container != nullptr);
    EXPECT_TRUE(bitmaps->DefaultCompressed());
    EXPECT_EQ(bitmaps->DefaultPixelFormat(), TQclSavePixelFormat::spf8bit);
    EXPECT_EQ(container->About(), "four lists");
    // The defaults are the list's own: new items start plain, and a copy
    // of the list takes them.
    auto* red = bitmaps->Items(bitmaps->Add());
    EXPECT_FALSE(red->Compressed());
    EXPECT_EQ(red->PixelFormat(), TQclSavePixelFormat::spfDefault);
    red->Bitmap()->Assign(Filled(5, 3, clRed).get());
    red->SetCompressed(true);
    TQclBitmapList copy(nullptr);
    copy.Assign(bitmaps);
    EXPECT_TRUE(copy.DefaultCompressed());
    EXPECT_EQ(copy.DefaultPixelFormat(), TQclSavePixelFormat::spf8bit);

    auto* strip = images->Items(images->Add());
    strip->SetWidth(4);
    strip->SetHeight(4);
    strip->SetMasked(true);
    ASSERT_EQ(strip->Add(Filled(8, 4, clBlue).get(), Filled(8, 4, clBlack, TPixelFormat::pf1bit).get()), 0);
    container->Bitmaps()->Items(container->Bitmaps()->Add())->Bitmap()->Assign(Filled(2, 2, clLime).get());
    container->Strings()->Items(container->Strings()->Add())->Items()->Add("kept");
    container->Strings()->Add();
    TQclWave& wave = *container->Waves()->Items(container->Waves()->Add())->Wave();
    const std::vector<uint8_t> beep = test::Wave(200);
    TReadOnlyMemoryStream beepStream(beep.data(), static_cast<int64_t>(beep.size()));
    wave.LoadFromStream(beepStream);

    const std::string text = WriteLayout(form.get());
    EXPECT_NE(text.find("object TQclBitmapListItem\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("Masked"), std::string::npos) << text;  // inside "Internal" now
    auto back = MakeOwned<TForm>();
    back->InitializeForm(text, "back");
    auto* b2 = Find<TQclBitmapList>(back.get(), "Bitmaps1");
    auto* i2 = Find<TQclImageList>(back.get(), "Images1");
    auto* c2 = Find<TQclContainer>(back.get(), "Container1");
    ASSERT_TRUE(b2 != nullptr && i2 != nullptr && c2 != nullptr);
    ASSERT_EQ(b2->Count(), 1);
    EXPECT_TRUE(b2->Items(0)->Compressed());
    EXPECT_EQ(At(*b2->Items(0)->Bitmap(), 4, 2), clRed);
    ASSERT_EQ(i2->ImageCount(0), 2);
    EXPECT_TRUE(i2->ImageMasked(0));
    EXPECT_EQ(i2->ImageRect(0, 1), Rect(4, 0, 8, 4));
    ASSERT_EQ(c2->Bitmaps()->Count(), 1);
    EXPECT_EQ(At(*c2->Bitmaps()->Items(0)->Bitmap(), 1, 1), clLime);
    ASSERT_EQ(c2->Strings()->Count(), 2);
    EXPECT_EQ(c2->Strings()->Items(0)->Items()->Get(0), "kept");
    ASSERT_EQ(c2->Waves()->Count(), 1);
    EXPECT_EQ(c2->Waves()->Items(0)->Wave()->Size(), static_cast<int64_t>(beep.size()));
    EXPECT_EQ(c2->Images()->Count(), 0);
    EXPECT_EQ(WriteLayout(back.get()), text);
}

// Older layouts gave an image item its sizes and then its strips under
// "Bitmap": read as then, written only as "Internal".
TEST(QclContainerLayouts, TheOlderBitmapPropertyOfImageItemsIsReadNeverWritten) {
    TMemoryStream strips;
    WriteI32(strips, 3);
    auto pic = Filled(18, 6, clBlue);
    PatBlt(pic->Canvas()->Handle(), 6, 0, 6, 6, WHITENESS);
    PatBlt(pic->Canvas()->Handle(), 12, 0, 6, 6, BLACKNESS);  // where the mask hides it
    QclWriteBitmap(strips, *pic, false, -1);
    auto mask = Filled(18, 6, clBlack, TPixelFormat::pf1bit);
    PatBlt(mask->Canvas()->Handle(), 12, 0, 6, 6, WHITENESS);
    QclWriteBitmap(strips, *mask, false, 2);
    auto form = MakeOwned<TForm>();
    form->InitializeForm("object Form1: TForm\n  object Images1: TQclImageList\n    object Old: TQclImageListItem\n"
                         "      Width = 6\n      Height = 6\n      Masked = True\n      AllocBy = 2\n"
                         "      Bitmap = {" + Hex(strips.Bytes()) + "}\n    end\n  end\nend\n",
                         "old");
    auto* images = Find<TQclImageList>(form.get(), "Images1");
    ASSERT_NE(images, nullptr);
    auto* item = images->Items(0);
    ASSERT_EQ(item->Count(), 3);
    EXPECT_EQ(item->Width(), 6);
    EXPECT_EQ(item->AllocBy(), 2);
    EXPECT_TRUE(item->Masked());
    auto canvas = Filled(18, 6, clYellow);
    for (int i = 0; i < 3; ++i) item->Draw(canvas->Canvas(), 6 * i, 0, i);
    EXPECT_EQ(At(*canvas, 2, 2), clBlue);
    EXPECT_EQ(At(*canvas, 8, 2), clWhite);
    EXPECT_EQ(At(*canvas, 14, 2), clYellow);  // masked out
    const std::string text = WriteLayout(form.get());
    EXPECT_EQ(text.find("Bitmap ="), std::string::npos) << text;
    EXPECT_EQ(text.find("Masked ="), std::string::npos) << text;
    EXPECT_NE(text.find("Internal = {"), std::string::npos) << text;
    // More images than the strip holds: the layout is refused.
    TMemoryStream tooMany;
    WriteI32(tooMany, 4);
    QclWriteBitmap(tooMany, *pic, false, -1);
    auto other = MakeOwned<TForm>();
    EXPECT_THROW(other->InitializeForm("object Form1: TForm\n  object Images1: TQclImageList\n"
                                       "    object TQclImageListItem\n      Width = 6\n      Height = 6\n"
                                       "      Bitmap = {" + Hex(tooMany.Bytes()) + "}\n    end\n  end\nend\n",
                                       "bad"),
                 EReadError);
}

TEST(QclContainerFiles, GlobalListReferences) {
    TQclContainer* global = QclGlobalContainer();
    EXPECT_EQ(QclReadGlobalListRef("QCLBML30"), global->Bitmaps());
    EXPECT_EQ(QclReadGlobalListRef("QCLIML30"), global->Images());
    EXPECT_EQ(QclReadGlobalListRef("QCLWVL30"), nullptr);
    EXPECT_EQ(QclWriteGlobalListRef(global->Images()), "QCLIML30");
    TQclBitmapList own(nullptr);
    EXPECT_FALSE(QclIsGlobalList(&own));
    EXPECT_TRUE(QclIsGlobalList(global->Bitmaps()));
}

TEST(QclWaveFiles, WaveEntryPlays) {
    test::TempDir dir;
    TQclWaveList waves(nullptr);
    auto* item = waves.Items(waves.Add());
    const auto bytes = test::Wave(800);
    TReadOnlyMemoryStream in(bytes.data(), static_cast<int64_t>(bytes.size()));
    item->Wave()->LoadFromStream(in);
    item->SetCompressed(true);
    waves.SaveToFile(dir.File("sounds.wav"));
    TQclWaveListItem back(nullptr);
    ASSERT_TRUE(QclLoadContainerItem(dir.File("sounds.wav"), ckWaveList, nullptr, back, 0));
    ASSERT_EQ(back.Wave()->Size(), static_cast<int64_t>(bytes.size()));
    if (waveOutGetNumDevs() == 0)
        GTEST_SKIP() << "Wine has no sound device here (waveOutGetNumDevs is 0): nothing can play";
    EXPECT_TRUE(sndPlaySoundA(reinterpret_cast<LPCSTR>(back.Wave()->Memory()), SND_MEMORY | SND_SYNC));
}
