// The main window's pictures, scans, objects and colours: a picture file
// of each format and scanned images go into the note and come back after
// saving and reopening, and are previewed and printed; damaged files change
// nothing; text colour and highlight come from the swatches, "More..." and
// the keyboard.
#include <windows.h>

#include <array>
#include <cstdio>
#include <atomic>
#include <functional>
#include <thread>

#include <psapi.h>

#include "EditorWindowTest.h"
#include "app/frmMainRules.h"
#include "platform/Clipbrd.h"
#include "platform/JpegImage.h"
#include "platform/Printers.h"
#include "preview/PrevForm.h"
#include "support/ModalDialogs.h"
#include "support/PictureFiles.h"
#include "support/ProcessMemory.h"
#include "support/Snapshot.h"
#include "support/TwainSource.h"
#include "twain/TwainLib.h"
#include "../platform/TestPrinter.h"
#include "support/DialogDriver.h"

namespace treskel::test {

namespace {

const Rgb kRed{220, 20, 30}, kGreen{10, 200, 40}, kBlue{30, 40, 210}, kYellow{240, 230, 20};

size_t Occurrences(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

bool Is(COLORREF c, Rgb want, int tolerance) {
    return Near(Rgb{GetRValue(c), GetGValue(c), GetBValue(c)}, want, tolerance);
}

// The clipboard is shared with the tests that run beside this one: what
// counts is whether this program put something there.
bool ClipboardHoldsThisProgramsData() {
    DWORD process = 0;
    if (HWND owner = GetClipboardOwner()) GetWindowThreadProcessId(owner, &process);
    return process == GetCurrentProcessId() && CountClipboardFormats() > 0;
}

}  // namespace

class PicturesTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        InstallTestSource();
    }
    // The picture button pressed and its open dialog answered with `file`.
    void InsertFile(const std::string& file) {
        AnswerNextDialog([file](TCommonDialog& d) {
            static_cast<TOpenDialog&>(d).SetFileName(file);
            return true;
        });
        PressOfficeButton(W->QclOfficeButton2);
    }
    // "Acquire..." chosen from the scan button's menu.
    void Scan() { PressOfficeButton(W->QclOfficeButton1, W->Acquire1); }
    // How many pixels of the shown note have about this colour.
    int Shown(Rgb colour, int tolerance) {
        Snapshot shot = OnScreen(W->REdit->Handle());
        return shot.Count(TRect(0, 0, shot.width, shot.height),
                          [&](COLORREF c) { return Is(c, colour, tolerance); });
    }
    // Saves the note, restarts the program and shows the note again.
    void SaveAndReopen() {
        Restart();
        SelectItem(Node("First"));
    }
    TempDir files;
    TRasterImage sample = Quadrants(60, 40, kRed, kGreen, kBlue, kYellow);
};

// ---------------------------------------------------------------- pictures

class PictureFormats : public PicturesTest, public testing::WithParamInterface<std::string> {};

TEST_P(PictureFormats, AnInsertedPictureIsInTheNoteAfterSavingAndReopening) {
    const std::string ext = GetParam();
    const int tolerance = ext == "jpg" || ext == "jpeg" ? 16 : 2;
    StartWithItem();
    TypeNote("A picture: ");
    const std::string file = files.File("picture." + ext);
    WriteAll(file, WritePictureFile(ext, sample));
    InsertFile(file);
    EXPECT_TRUE(MessageBoxes().empty()) << MessageBoxes()[0].text;
    EXPECT_EQ(CommonDialogs().back(), "TOpenDialog");
    EXPECT_EQ(W->OpenDialog1->Title(), "Import Graphic");
    EXPECT_EQ(Pictures(), 1u);
    for (Rgb c : {kRed, kGreen, kBlue, kYellow}) EXPECT_GT(Shown(c, tolerance), 200) << ext;
    // The clipboard is left empty.
    EXPECT_FALSE(ClipboardHoldsThisProgramsData());

    SaveAndReopen();
    const std::string rtf = NoteRtf();
    EXPECT_EQ(Occurrences(rtf, "{\\pict"), 1u) << ext;
    EXPECT_NE(rtf.find("\\emfblip"), std::string::npos);
    EXPECT_EQ(NoteText().substr(0, 11), "A picture: ");
    for (Rgb c : {kRed, kGreen, kBlue, kYellow}) EXPECT_GT(Shown(c, tolerance), 200) << ext;
}

TEST_P(PictureFormats, ADamagedFileIsReportedAndChangesNothing) {
    const std::string ext = GetParam();
    StartWithItem();
    TypeNote("Nothing else");
    const std::string before = NoteRtf();
    const std::string file = files.File("damaged." + ext);
    WriteAll(file, DamagedPictureFile(ext, sample));
    InsertFile(file);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].caption, "Error");
    EXPECT_EQ(MessageBoxes()[0].text.rfind("The picture \"damaged." + ext + "\" cannot be inserted.\n\n", 0), 0u)
        << MessageBoxes()[0].text;
    EXPECT_EQ(NoteRtf(), before);
    EXPECT_EQ(Pictures(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureFormats,
                         testing::Values("bmp", "dib", "rle", "gif", "pcx", "tga", "jpg", "jpeg"));

// A note taller than the editor makes the control show its scroll bar, and
// paint, while it reads the note: the pictures it paints then are blank
// boxes until they are made drawable, and what was painted must not stay.
TEST_F(PicturesTest, EveryPictureIsShownWhenANoteTallerThanTheEditorComesBack) {
    StartWithItem();
    TypeNote("Pictures: ");
    const std::string file = files.File("picture.bmp");
    WriteAll(file, WritePictureFile("bmp", Quadrants(200, 100, kRed, kGreen, kBlue, kYellow)));
    for (int n = 0; n < 10; ++n) InsertFile(file);
    ASSERT_EQ(Pictures(), 10u);
    ClickNode(AddItem("Second"));
    ClickNode(Node("First"));
    ASSERT_EQ(Pictures(), 10u);
    ASSERT_NE(GetWindowLongA(Edit(), GWL_STYLE) & WS_VSCROLL, 0);

    // What the screen shows is what a full repaint draws.
    auto count = [](const Snapshot& s, Rgb c) {
        return s.Count(TRect(0, 0, s.width, s.height), [&](COLORREF p) { return Is(p, c, 2); });
    };
    const Snapshot shown = ShownWindow(Edit());
    const Snapshot repainted = OnScreen(Edit());
    for (Rgb c : {kRed, kGreen, kBlue, kYellow}) {
        EXPECT_GT(count(repainted, c), 5000);
        EXPECT_EQ(count(shown, c), count(repainted, c));
    }
}

TEST_F(PicturesTest, OnlyAJpgFileGoesThroughTheJpegPictureClass) {
    StartWithItem();
    // A bitmap named as a JPEG file: ".jpeg" and ".jpe" reach the picture
    // library, which reads what the file holds.
    const std::string bitmap = files.File("bitmap.jpeg");
    WriteAll(bitmap, WriteBmp24(sample));
    InsertFile(bitmap);
    EXPECT_TRUE(MessageBoxes().empty());
    EXPECT_EQ(Pictures(), 1u);
    const std::string jpg = files.File("bitmap.jpg");
    WriteAll(jpg, WriteBmp24(sample));
    InsertFile(jpg);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_NE(MessageBoxes()[0].text.find("JPEG error #"), std::string::npos) << MessageBoxes()[0].text;
    EXPECT_EQ(Pictures(), 1u);
}

// ---------------------------------------------------------------- pictures a note has no room for

// A note may be saved with at most 256 MB of rich text, and a picture takes
// about six bytes of it a pixel: a small file of a large picture is refused
// from its header, before it costs the memory of decoding, with the reason.
TEST_F(PicturesTest, APictureTheNoteHasNoRoomForIsRefusedBeforeItIsDecoded) {
    StartWithItem();
    TypeNote("Nothing else");
    const std::string before = NoteRtf();
    struct Crafted {
        std::string name;
        std::vector<uint8_t> bytes;
        std::string size;
    };
    const Rgb grey{128, 128, 128};
    std::vector<Crafted> crafted{{"large.pcx", UniformPcx(7000, 7000, grey), "7000 x 7000"},
                                 {"large.gif", UniformGif(9400, 9400, grey), "9400 x 9400"},
                                 {"large.jpg", ManyScanJpeg(9400, 9400, 1), "9400 x 9400"}};
    EXPECT_LT(crafted[0].bytes.size(), 2000000u);
    EXPECT_LT(crafted[1].bytes.size(), 70000u);
    for (const Crafted& c : crafted) {
        WriteAll(files.File(c.name), c.bytes);
        MessageBoxes().clear();
        const uint64_t peak = PeakWorkingSet();
        InsertFile(files.File(c.name));
        EXPECT_LT(PeakWorkingSet() - peak, uint64_t{48} << 20) << c.name << " was decoded";
        ASSERT_EQ(MessageBoxes().size(), 1u) << c.name;
        const std::string& text = MessageBoxes()[0].text;
        EXPECT_EQ(text.rfind("The picture \"" + c.name + "\" cannot be inserted.\n\nIt is " + c.size +
                                 " pixels, which would take about ",
                             0),
                  0u)
            << text;
        EXPECT_NE(text.find(" MB in the note; a note can hold at most 256 MB."), std::string::npos) << text;
    }
    EXPECT_EQ(NoteRtf(), before);
    EXPECT_FALSE(ClipboardHoldsThisProgramsData()) << "a refused picture reached the clipboard";
}

// What a picture is reckoned to take is what the note grows by, or a
// little more: an insert never leaves a note that cannot be saved.
TEST_F(PicturesTest, APictureTakesWhatItWasReckonedToTakeOrLess) {
    StartWithItem();
    TypeNote("A picture: ");
    const size_t before = NoteRtf().size();
    WriteAll(files.File("picture.bmp"), WriteBmp24(Quadrants(701, 500, kRed, kGreen, kBlue, kYellow)));
    InsertFile(files.File("picture.bmp"));
    ASSERT_EQ(Pictures(), 1u);
    const auto grown = static_cast<int64_t>(NoteRtf().size() - before);
    const int64_t reckoned = PictureRtfBytes({701, 500, 24});
    EXPECT_LE(grown, reckoned);
    EXPECT_GT(grown, reckoned * 95 / 100);
}

// Ten times no room for the picture costs what once does: the decoder's
// own memory goes with each failure.
TEST_F(PicturesTest, FailedInsertsOfAPictureLeaveNoMemoryBehind) {
    StartWithItem();
    TypeNote("Nothing else");
    const std::string file = files.File("grey.jpg");
    WriteAll(file, ManyScanJpeg(6000, 6000, 10));
    // The picture's 108 MB fit in no hole; what the decoder takes for
    // itself (72 MB) does.
    AddressSpaceHoles holes(100 << 20, 8);
    ASSERT_EQ(holes.Holes(), 8);
    InsertFile(file);
    const uint64_t once = CommittedBytes();
    for (int n = 1; n < 10; ++n) InsertFile(file);
    EXPECT_LT(CommittedBytes() - once, uint64_t{8} << 20);
    ASSERT_EQ(MessageBoxes().size(), 10u);
    for (const BoxRecord& box : MessageBoxes())
        EXPECT_EQ(box.text, "The picture \"grey.jpg\" cannot be inserted.\n\nThere is not enough memory for it.");
    EXPECT_EQ(Pictures(), 0u);
}

TEST_F(PicturesTest, ACancelledOpenDialogChangesNothing) {
    StartWithItem();
    TypeNote("text");
    const std::string before = NoteRtf();
    PressOfficeButton(W->QclOfficeButton2);
    EXPECT_EQ(CommonDialogs().size(), 1u);
    EXPECT_EQ(NoteRtf(), before);
    EXPECT_TRUE(MessageBoxes().empty());
}

// ---------------------------------------------------------------- printing

// Where the system's control cannot format a range, a note is laid out for
// its pages by a control of its own: its pictures reach the preview and the
// printer as the editor shows them, not as empty space.
TEST_F(PicturesTest, APictureIsPreviewedAndPrinted) {
    const std::string out = DataFile("printed.ps");
    TestPrinter printer(out);
    Printer()->SetPrinterIndex(Printer()->Printers()->IndexOf(TestPrinter::kName));
    StartWithItem();
    TypeNote("A picture: ");
    const std::string file = files.File("picture.bmp");
    WriteAll(file, WritePictureFile("bmp", Quadrants(320, 240, kRed, kGreen, kBlue, kYellow)));
    InsertFile(file);
    ASSERT_EQ(Pictures(), 1u);

    std::array<int, 4> previewed{};
    ModalDialogs dialogs;
    dialogs.Install();
    dialogs.Queue([&](TCustomForm& preview) {
        auto* page = static_cast<TPreviewForm&>(preview).ScrollBox1;
        Snapshot shot = OnScreen(page->Handle());
        const Rgb colours[] = {kRed, kGreen, kBlue, kYellow};
        for (size_t n = 0; n < 4; ++n)
            previewed[n] = shot.Count(TRect(0, 0, shot.width, shot.height),
                                      [&](COLORREF p) { return Is(p, colours[n], 40); });
        preview.Close();
    });
    PressOfficeButton(W->PrintButton, W->Preview1);
    dialogs.Remove();
    ASSERT_EQ(dialogs.Shown(), std::vector<std::string>{"TPreviewForm"});
    for (size_t n = 0; n < 4; ++n) EXPECT_GT(previewed[n], 200) << "colour " << n;

    AnswerNextDialog([](TCommonDialog&) { return true; });
    PressOfficeButton(W->PrintButton, W->PrintItem);
    auto ps = ReadAll(out);
    const std::string text(ps.begin(), ps.end());
    EXPECT_NE(text.find("%%Pages: 1"), std::string::npos);
    EXPECT_NE(text.find("\nimage\n"), std::string::npos) << "no picture reached the printer";
}

// Shown smaller than itself ("Fit To Page" here) a picture of red and blue
// rows loses rows: those are blended into the rows kept, never drawn as
// dark lines through the picture.
TEST_F(PicturesTest, APicturePreviewedSmallerThanItselfShowsNoDarkLines) {
    StartWithItem();
    TRasterImage rows;
    rows.Allocate(320, 240);
    for (int y = 0; y < rows.Height; ++y)
        for (int x = 0; x < rows.Width; ++x) rows.Set(x, y, y % 2 == 0 ? 255 : 0, 0, y % 2 == 0 ? 0 : 255);
    const std::string file = files.File("rows.bmp");
    WriteAll(file, WriteBmp24(rows));
    InsertFile(file);
    ASSERT_EQ(Pictures(), 1u);

    std::string zoom;
    Snapshot shot;
    ModalDialogs dialogs;
    dialogs.Install();
    dialogs.Queue([&](TCustomForm& form) {
        auto& preview = static_cast<TPreviewForm&>(form);
        zoom = preview.ZoomLabel->Caption();
        shot = OnScreen(preview.ScrollBox1->Handle());
        preview.Close();
    });
    PressOfficeButton(W->PrintButton, W->Preview1);
    dialogs.Remove();
    ASSERT_LT(std::stoi(zoom), 100) << zoom;
    // The picture: where red or blue show; inside it, nothing dark.
    auto picture = [](COLORREF c) { return GetGValue(c) < 60 && (GetRValue(c) > 100 || GetBValue(c) > 100); };
    TRect box(shot.width, shot.height, 0, 0);
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (picture(shot.At(x, y))) box = Rect(std::min(box.Left, x), std::min(box.Top, y),
                                                   std::max(box.Right, x + 1), std::max(box.Bottom, y + 1));
    ASSERT_GT(box.Width(), 100);
    ASSERT_GT(box.Height(), 60);
    const int dark = shot.Count(box, [](COLORREF c) { return GetRValue(c) < 60 && GetGValue(c) < 60 && GetBValue(c) < 60; });
    EXPECT_EQ(dark, 0) << "of " << box.Width() * box.Height() << " pixels at " << zoom;
}

// ---------------------------------------------------------------- scanning

class ScanCounts : public PicturesTest, public testing::WithParamInterface<int> {};

TEST_P(ScanCounts, EveryScannedImageIsPastedFreedAndKept) {
    const int n = GetParam();
    StartWithItem();
    TypeNote("Scans: ");
    TestSourceScript script({{"Images", std::to_string(n)}});
    Scan();
    ASSERT_EQ(script.Handed().size(), static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) EXPECT_FALSE(SourceImageHeld(script.Handed()[static_cast<size_t>(i)], i)) << i;
    EXPECT_EQ(Pictures(), static_cast<size_t>(n));
    EXPECT_TRUE(W->Enabled());
    EXPECT_FALSE(ClipboardHoldsThisProgramsData());

    SaveAndReopen();
    EXPECT_EQ(Pictures(), static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        EXPECT_GT(Shown(Rgb{200, static_cast<uint8_t>(30 + 40 * i), 60}, 2), 500) << "image " << i;
}

INSTANTIATE_TEST_SUITE_P(Images, ScanCounts, testing::Values(1, 2, 3));

TEST_F(PicturesTest, CancelledOrFailedTransfersPasteOnlyWhatCame) {
    StartWithItem();
    {
        TestSourceScript script({{"Images", "2"}, {"Cancel", "1"}});
        Scan();
        EXPECT_EQ(Pictures(), 1u);
    }
    {
        TestSourceScript script({{"Close", "1"}});
        Scan();
        EXPECT_EQ(Pictures(), 1u);
    }
    {
        TestSourceScript script({{"Images", "1"}, {"Fail", "1"}});
        Scan();
        EXPECT_EQ(Pictures(), 1u);
    }
    EXPECT_TRUE(MessageBoxes().empty());
}

// A scanned image is measured as a picture file is, and the block the
// source handed over is checked against its header, before a bitmap of
// the size it claims is made.
TEST_F(PicturesTest, AScanTheNoteHasNoRoomForOrThatIsCutShortIsRefusedInWords) {
    StartWithItem();
    TypeNote("Scans: ");
    const std::string before = NoteRtf();
    const uint64_t peak = PeakWorkingSet();
    {
        TestSourceScript script({{"Width", "16000"}, {"Height", "10000"}, {"Truncate", "40"}});
        Scan();
    }
    {
        TestSourceScript script({{"Width", "100"}, {"Height", "80"}, {"Truncate", "40"}});
        Scan();
    }
    EXPECT_LT(PeakWorkingSet() - peak, uint64_t{48} << 20);
    ASSERT_EQ(MessageBoxes().size(), 2u);
    EXPECT_EQ(MessageBoxes()[0].text.rfind(
                  "The scanned image cannot be inserted.\n\nIt is 16000 x 10000 pixels, which would take about ", 0),
              0u)
        << MessageBoxes()[0].text;
    EXPECT_EQ(MessageBoxes()[1].text,
              "The scanned image cannot be inserted.\n\nThe image is damaged: its header says 100 x 80 pixels of 24 "
              "bits, which its 40 bytes do not hold.");
    EXPECT_EQ(NoteRtf(), before);
    EXPECT_FALSE(ClipboardHoldsThisProgramsData());
    EXPECT_TRUE(W->Enabled());
}

TEST_F(PicturesTest, TheScanButtonOffersSourceSelectionAndAcquisition) {
    StartWithItem();
    ASSERT_EQ(W->ScanPopup->Items()->Count(), 2);
    EXPECT_EQ(W->ScanPopup->Items()->Items(0)->Caption(), "Select Source...");
    EXPECT_EQ(W->ScanPopup->Items()->Items(1)->Caption(), "Acquire...");
    EXPECT_EQ(W->QclOfficeButton1->DropDownMenu(), W->ScanPopup);
    EXPECT_EQ(W->QclOfficeButton1->Action(), W->ScanImage);
    bool shown = false;
    DialogDriver driver([&](HWND dialog) {
        shown = true;
        DialogDriver::Press(dialog, IDOK);
    });
    PressOfficeButton(W->QclOfficeButton1, W->SelectTwainSource);
    EXPECT_TRUE(shown);
    EXPECT_EQ(DialogDriver::FindDialog(), nullptr);
    EXPECT_EQ(TWAIN_CurrentState(), 1);
}

// The dialogs the system shows for the main window, for a picture file, a
// browser, a scanner and an object, open over the window, centred on it as its own
// dialogs open, wherever the user left it.
TEST_F(PicturesTest, TheImportBrowserSourceAndObjectDialogsOpenOverTheMainWindow) {
    StartWithItem();
    TypeNote("see http://example.com now");
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Qiv\\Treskel!\\common", 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "browserpath");
        RegCloseKey(key);
    }
    SetWindowPos(W->Handle(), nullptr, 330, 210, 820, 640, SWP_NOZORDER);
    PumpMessages();
    RECT main;
    GetWindowRect(W->Handle(), &main);
    auto opensOver = [&](const std::string& caption, const std::function<void()>& open) {
        SCOPED_TRACE(caption);
        RECT at{};
        char title[128] = {};
        DialogDriver driver([&](HWND dialog) {
            GetWindowRect(dialog, &at);
            GetWindowTextA(dialog, title, sizeof title);
            SaveWindowShot(GetDesktopWindow(), "dialogs-over-main-" + caption);
            DialogDriver::Press(dialog, IDCANCEL);
        });
        open();
        EXPECT_EQ(std::string(title), caption);
        EXPECT_NEAR((at.left + at.right) / 2, (main.left + main.right) / 2, 1) << at.left << "," << at.top;
        EXPECT_NEAR((at.top + at.bottom) / 2, (main.top + main.bottom) / 2, 1) << at.left << "," << at.top;
    };
    opensOver("Import Graphic", [&] { PressOfficeButton(W->QclOfficeButton2); });
    opensOver("Browser Path", [&] {
        POINTL pt{0, 0};
        SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), 8);
        ClickAt(Edit(), pt.x + 2, pt.y + 4);
        PumpMessages();
    });
    opensOver("Select Source", [&] { PressOfficeButton(W->QclOfficeButton1, W->SelectTwainSource); });
    opensOver("Insert Object", [&] { PressOfficeButton(W->QclOfficeButton3); });
}

// ---------------------------------------------------------------- objects

TEST_F(PicturesTest, TheEditorsMenuInsertsAnObject) {
    StartWithItem();
    TMenuItem* items = W->PopupMenu1->Items();
    ASSERT_EQ(items->Count(), 9);
    EXPECT_EQ(items->Items(6)->Action(), W->InsertOLE);
    EXPECT_EQ(items->Items(6)->Caption(), "Insert OLE Object");
    EXPECT_EQ(items->Items(5)->Caption(), "-");
    EXPECT_EQ(items->Items(7)->Caption(), "-");
    EXPECT_EQ(W->QclOfficeButton3->Action(), W->InsertOLE);
    // Chosen from the editor's menu, the object dialog shows; cancelled,
    // nothing is inserted.
    bool shown = false;
    DialogDriver driver([&](HWND dialog) {
        shown = true;
        DialogDriver::Press(dialog, IDCANCEL);
    });
    ChooseFromEditorMenu(W->InsertOLE1);
    EXPECT_TRUE(shown);
    EXPECT_EQ(Pictures(), 0u);
}

// The object dialog is the main window's own: the window waits while it is
// up (the mouse changes nothing there) and has the keyboard again after it.
TEST_F(PicturesTest, TheMainWindowWaitsWhileTheObjectDialogIsUp) {
    StartWithItem();
    TypeNote("A note");
    Select(0, 0);
    HWND owner = nullptr;
    bool enabled = true;
    int caretDuring = -1;
    DialogDriver driver([&](HWND dialog) {
        owner = GetWindow(dialog, GW_OWNER);
        enabled = IsWindowEnabled(W->Handle()) != 0;
        // A click into the note, away from the dialog.
        RECT note;
        GetWindowRect(Edit(), &note);
        MouseClickOnScreen(POINT{note.right - 30, note.bottom - 20});
        PumpUntil([] { return false; }, 300);
        caretDuring = W->REdit->SelStart();
        DialogDriver::Press(dialog, IDCANCEL);
    });
    PressOfficeButton(W->QclOfficeButton3);
    EXPECT_EQ(owner, W->Handle());
    EXPECT_FALSE(enabled);
    EXPECT_EQ(caretDuring, 0);
    EXPECT_EQ(Pictures(), 0u);
    EXPECT_TRUE(IsWindowEnabled(W->Handle()));
    EXPECT_EQ(GetActiveWindow(), W->Handle());
    TypeIntoFocus('x');
    EXPECT_EQ(NoteText(), "xA note");
}

// ---------------------------------------------------------------- colours

class ColourPopup : public PicturesTest {
protected:
    TColorButton* Swatch(int n) {
        return dynamic_cast<TColorButton*>(W->FindComponent("ColorButton" + std::to_string(n)));
    }
    void ClickSwatch(int n) {
        ClickAt(Swatch(n)->Handle(), 9, 9);
        PumpMessages();
    }
    // A note "plain red yellow", ready for colouring.
    void StartWithText() {
        StartWithItem();
        TypeNote("plain red yellow");
    }
    HWND Focus() { return GetFocus(); }
};

TEST_F(ColourPopup, ItOpensUnderItsButtonAndClosesWithIt) {
    StartWithText();
    EXPECT_FALSE(W->ColorPanel->Visible());
    ClickTool(W->ColorButton);
    ASSERT_TRUE(W->ColorPanel->Visible());
    EXPECT_TRUE(W->ColorButton->Down());
    EXPECT_EQ(W->ColorPanel->Left(), W->ColorButton->Left());
    EXPECT_EQ(W->ColorPanel->Top(), W->ToolBar2->Top() + W->ColorButton->Top() + W->ColorButton->Height() + 6);
    EXPECT_EQ(W->ColorPanel->Width(), 103);
    EXPECT_EQ(W->ColorPanel->Height(), 93);
    EXPECT_EQ(Focus(), Swatch(1)->Handle());
    EXPECT_EQ(W->HighlightMode, 0);
    ClickTool(W->ColorButton);
    EXPECT_FALSE(W->ColorPanel->Visible());
    EXPECT_FALSE(W->ColorButton->Down());

    ClickTool(W->HiColor);
    EXPECT_TRUE(W->ColorPanel->Visible());
    EXPECT_EQ(W->ColorPanel->Left(), W->HiColor->Left());
    EXPECT_EQ(W->HighlightMode, 1);
    // Leaving it closes it and releases both buttons.
    W->REdit->SetFocus();
    PumpMessages();
    EXPECT_FALSE(W->ColorPanel->Visible());
    EXPECT_FALSE(W->HiColor->Down());
    EXPECT_FALSE(W->ColorButton->Down());
}

TEST_F(ColourPopup, HoldsFifteenSwatchesAndAGradientStrip) {
    StartWithText();
    const TColor colours[] = {clWhite, clBlack, clSilver, clRed,  clLime,   clYellow, clBlue, clFuchsia,
                              clAqua,  clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal};
    for (int i = 1; i <= 15; ++i) {
        ASSERT_NE(Swatch(i), nullptr) << i;
        EXPECT_EQ(Swatch(i)->Color(), colours[i - 1]) << i;
        EXPECT_EQ(Swatch(i)->Width(), 19);
        EXPECT_EQ(Swatch(i)->Margin(), 4);
        EXPECT_TRUE(Swatch(i)->FlatButtonStyle());
        EXPECT_FALSE(Swatch(i)->ShowColorDlg());
    }
    EXPECT_EQ(W->gradientPanel1->BeginColor(), clActiveCaption);
    EXPECT_EQ(W->gradientPanel1->EndColor(), clBtnFace);
    EXPECT_EQ(W->MoreColorButton->Caption(), "More...");
}

TEST_F(ColourPopup, SwatchesColourTheTextAndHighlightItAndTheNoteKeepsBoth) {
    StartWithText();
    Select(6, 3);
    ClickTool(W->ColorButton);
    ClickSwatch(4);  // red
    EXPECT_FALSE(W->ColorPanel->Visible());
    EXPECT_FALSE(W->ColorButton->Down());
    EXPECT_EQ(Focus(), Edit());
    Select(6, 3);
    EXPECT_EQ(W->REdit->SelAttributes()->Color(), clRed);
    Select(10, 6);
    ClickTool(W->HiColor);
    ClickSwatch(6);  // yellow
    Select(10, 6);
    EXPECT_EQ(W->REdit->SelAttributes()->BackColor(), clYellow);
    EXPECT_NE(W->REdit->SelAttributes()->Color(), clYellow);

    SaveAndReopen();
    Select(6, 3);
    EXPECT_EQ(W->REdit->SelAttributes()->Color(), clRed);
    Select(10, 6);
    EXPECT_EQ(W->REdit->SelAttributes()->BackColor(), clYellow);
    Select(0, 5);
    EXPECT_NE(W->REdit->SelAttributes()->Color(), clRed);
}

TEST_F(ColourPopup, MoreChoosesAnyColourInTheColourDialog) {
    StartWithText();
    Select(0, 5);
    ClickTool(W->ColorButton);
    AnswerNextDialog([](TCommonDialog& d) {
        static_cast<TColorDialog&>(d).SetColor(RGB(12, 34, 56));
        return true;
    });
    ClickAt(W->MoreColorButton->Handle(), 20, 8);
    PumpMessages();
    EXPECT_EQ(CommonDialogs().back(), "TColorDialog");
    EXPECT_FALSE(W->ColorPanel->Visible());
    EXPECT_FALSE(W->ColorButton->Down());
    Select(0, 5);
    EXPECT_EQ(W->REdit->SelAttributes()->Color(), static_cast<TColor>(RGB(12, 34, 56)));
    // Cancelled, nothing changes and the pop-up stays.
    Select(6, 3);
    const std::string before = NoteRtf();
    ClickTool(W->HiColor);
    ClickAt(W->MoreColorButton->Handle(), 20, 8);
    PumpMessages();
    EXPECT_TRUE(W->ColorPanel->Visible());
    EXPECT_EQ(NoteRtf(), before);
    SaveAndReopen();
    Select(0, 5);
    EXPECT_EQ(W->REdit->SelAttributes()->Color(), static_cast<TColor>(RGB(12, 34, 56)));
}

TEST_F(ColourPopup, TheKeyboardMovesAmongTheSwatchesAndPressesOne) {
    StartWithText();
    Select(6, 3);
    ClickTool(W->ColorButton);
    ASSERT_EQ(Focus(), Swatch(1)->Handle());
    for (int i = 0; i < 3; ++i) {
        PressKey(Focus(), VK_RIGHT);
        PumpMessages();
    }
    ASSERT_EQ(Focus(), Swatch(4)->Handle());
    PressKey(Focus(), VK_SPACE);
    PumpMessages();
    EXPECT_FALSE(W->ColorPanel->Visible());
    Select(6, 3);
    EXPECT_EQ(W->REdit->SelAttributes()->Color(), clRed);
    // Tab reaches "More..." past the last swatch; Enter on a swatch works too.
    Select(10, 6);
    ClickTool(W->HiColor);
    PressKey(Focus(), VK_DOWN);  // the next swatch: black
    PumpMessages();
    ASSERT_EQ(Focus(), Swatch(2)->Handle());
    PressKey(Focus(), VK_RETURN);
    PumpMessages();
    Select(10, 6);
    EXPECT_EQ(W->REdit->SelAttributes()->BackColor(), clBlack);
    SaveAndReopen();
    Select(6, 3);
    EXPECT_EQ(W->REdit->SelAttributes()->Color(), clRed);
    Select(10, 6);
    EXPECT_EQ(W->REdit->SelAttributes()->BackColor(), clBlack);
}

TEST_F(ColourPopup, TheColourButtonsNeedAnItem) {
    StartWindow();
    NewTreskel("Notes");
    EXPECT_FALSE(W->ColorButton->Enabled());
    EXPECT_FALSE(W->HiColor->Enabled());
    item = AddItem("First");
    SelectItem(item);
    EXPECT_TRUE(W->ColorButton->Enabled());
    EXPECT_TRUE(W->HiColor->Enabled());
    EXPECT_EQ(W->ColorButton->Action(), W->TextColor);
    EXPECT_EQ(W->TextColor->Caption(), "Color");
    EXPECT_EQ(W->Highlite->Hint(), "Highlite");
}

}  // namespace treskel::test

namespace treskel::test {

// Not a check: the scene of the screenshot (run with
// --gtest_also_run_disabled_tests): a note with a picture of each format,
// coloured and highlighted text, and the colour pop-up open.
TEST_F(ColourPopup, DISABLED_ScreenshotScene) {
    StartWithItem();
    W->SetBounds(8, 8, 1240, 560);
    PumpMessages();
    TypeNote("Pictures of every kind (bitmap, DIB, RLE, GIF, PCX, TGA and JPEG),");
    PressKey(Edit(), VK_RETURN);
    TypeText(Edit(), "with red text and a yellow highlight.");
    // The editor counts the line break as one character.
    const std::string text = NoteText();
    Select(static_cast<int>(text.find("red text")) - 1, 8);
    ClickTool(W->ColorButton);
    ClickSwatch(4);
    Select(static_cast<int>(text.find("yellow highlight")) - 1, 16);
    ClickTool(W->HiColor);
    ClickSwatch(6);
    // Four pictures a line, at the right, clear of the pop-up.
    W->REdit->SetSelStart(W->REdit->GetTextLen());
    PressKey(Edit(), VK_RETURN);
    Run(W->RightJustify);
    const Rgb tints[] = {{200, 40, 40}, {40, 160, 60}, {50, 70, 200}, {230, 190, 30},
                         {150, 60, 170}, {30, 170, 170}, {240, 120, 30}, {90, 90, 90}};
    int n = 0;
    for (const std::string ext : {"bmp", "dib", "rle", "gif", "pcx", "tga", "jpg", "jpeg"}) {
        const Rgb t = tints[n];
        const Rgb light{static_cast<uint8_t>(255 - (255 - t.r) / 3), static_cast<uint8_t>(255 - (255 - t.g) / 3),
                        static_cast<uint8_t>(255 - (255 - t.b) / 3)};
        W->REdit->SetSelStart(W->REdit->GetTextLen());
        if (n == 4) PressKey(Edit(), VK_RETURN);
        TypeText(Edit(), "   " + ext + ": ");
        const std::string file = files.File("scene." + ext);
        WriteAll(file, WritePictureFile(ext, Quadrants(56, 40, t, light, light, t)));
        InsertFile(file);
        ++n;
    }
    SaveAndReopen();
    W->SetBounds(8, 8, 1240, 560);
    Select(0, 0);
    ClickTool(W->ColorButton);
    HoldOnScreen(15000);
}

}  // namespace treskel::test

namespace treskel::test {

// Not a check: how long a large picture and a large scan take (run with
// --gtest_also_run_disabled_tests; figures on standard output).
TEST_F(PicturesTest, DISABLED_LargePictureTimes) {
    StartWithItem();
    TypeNote("Large: ");
    const std::string file = files.File("large.jpg");
    WriteAll(file, WriteJpeg(Quadrants(2480, 1754, kRed, kGreen, kBlue, kYellow), 85));
    DWORD t0 = GetTickCount();
    InsertFile(file);
    DWORD t1 = GetTickCount();
    const size_t rtf = NoteRtf().size();
    DWORD t2 = GetTickCount();
    SaveAndReopen();
    DWORD t3 = GetTickCount();
    std::printf("picture 2480x1754: insert %lu ms, note RTF %zu bytes (stream-out %lu ms), save and reopen %lu ms\n",
                t1 - t0, rtf, t2 - t1, t3 - t2);
    TestSourceScript script({{"Images", "1"}, {"Width", "2480"}, {"Height", "1754"}});
    W->REdit->SetSelStart(W->REdit->GetTextLen());
    t0 = GetTickCount();
    Scan();
    t1 = GetTickCount();
    SaveAndReopen();
    t2 = GetTickCount();
    std::printf("scan 2480x1754: acquire and paste %lu ms, save and reopen %lu ms, pictures %zu\n", t1 - t0, t2 - t1,
                Pictures());
}

}  // namespace treskel::test

namespace treskel::test {

// Not a check: what refusing each crafted picture costs where the user
// waits, through the window (run with --gtest_also_run_disabled_tests;
// figures on standard output): the time, and the most memory in use
// beyond what was in use before (the working set, sampled every
// millisecond meanwhile).
TEST_F(PicturesTest, DISABLED_RefusalCosts) {
    StartWithItem();
    TypeNote("Refusals: ");
    const Rgb grey{128, 128, 128};
    WriteAll(files.File("large.pcx"), UniformPcx(7000, 7000, grey));
    WriteAll(files.File("large.gif"), UniformGif(9400, 9400, grey));
    WriteAll(files.File("large.jpg"), ManyScanJpeg(9400, 9400, 1));
    WriteAll(files.File("scans.jpg"), ManyScanJpeg(9400, 9400, 1000));
    WriteAll(files.File("scans6000.jpg"), ManyScanJpeg(6000, 6000, 1000));
    WriteAll(files.File("grey.jpg"), ManyScanJpeg(6000, 6000, 10));
    auto workingSet = [] {
        PROCESS_MEMORY_COUNTERS c{};
        c.cb = sizeof c;
        GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c);
        return static_cast<uint64_t>(c.WorkingSetSize);
    };
    auto measure = [&](const std::string& what, const std::function<void()>& run) {
        PumpMessages();
        const uint64_t before = workingSet();
        std::atomic<uint64_t> most{before};
        std::atomic<bool> done{false};
        std::thread sampler([&] {
            while (!done) {
                most = std::max<uint64_t>(most, workingSet());
                Sleep(1);
            }
        });
        LARGE_INTEGER f, t0, t1;
        QueryPerformanceFrequency(&f);
        QueryPerformanceCounter(&t0);
        run();
        QueryPerformanceCounter(&t1);
        done = true;
        sampler.join();
        const double ms = 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(f.QuadPart);
        std::printf("%-58s %8.1f ms  peak +%4llu MB  boxes %zu\n", what.c_str(), ms,
                    static_cast<unsigned long long>((most - before) >> 20), MessageBoxes().size());
        MessageBoxes().clear();
    };
    for (const char* name : {"large.pcx", "large.gif", "large.jpg", "scans.jpg", "scans6000.jpg"})
        measure(std::string("insert ") + name, [&] { InsertFile(files.File(name)); });
    measure("picture class, scans.jpg (9400 x 9400, 1000 scans)", [&] {
        try {
            TJPEGImage().LoadFromFile(files.File("scans.jpg"));
        } catch (const Exception& e) {
            std::printf("  %s\n", e.Message().c_str());
        }
    });
    measure("scan of 40 bytes claiming 16000 x 10000", [&] {
        TestSourceScript script({{"Width", "16000"}, {"Height", "10000"}, {"Truncate", "40"}});
        Scan();
    });
    {
        AddressSpaceHoles holes(100 << 20, 8);
        InsertFile(files.File("grey.jpg"));
        const uint64_t once = CommittedBytes();
        for (int n = 1; n < 10; ++n) InsertFile(files.File("grey.jpg"));
        std::printf("ten failed inserts of grey.jpg: committed after one %llu MB, after ten %llu MB\n",
                    static_cast<unsigned long long>(once >> 20),
                    static_cast<unsigned long long>(CommittedBytes() >> 20));
    }
    std::printf("note after all: %zu bytes of rich text, %zu pictures\n", NoteRtf().size(), Pictures());
}

}  // namespace treskel::test
