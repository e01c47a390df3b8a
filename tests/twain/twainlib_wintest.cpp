// Acquisition through the system's source manager and the test data
// source: batches, cancelled and failed transfers, the image list's limits,
// the modal loop, pixel-type negotiation, capabilities, source selection,
// and the images' measures, palettes, drawing and .bmp files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/Clipbrd.h"
#include "platform/FileSys.h"
#include "platform/Graphics.h"
#include "platform/Streams.h"
#include "support/DibBytes.h"
#include "support/GuiTest.h"
#include "support/Snapshot.h"
#include "support/TwainSource.h"
#include "twain/TwainLib.h"
#include "twain/TwainTypes.h"
#include "support/DialogDriver.h"

namespace treskel::test {

namespace {

// An image as the source hands one over: global memory the receiver frees.
HANDLE GlobalDib(const std::vector<uint8_t>& bytes) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    return h;
}

std::vector<uint8_t> Bytes(HANDLE dib) {
    const auto* p = static_cast<const uint8_t*>(GlobalLock(dib));
    std::vector<uint8_t> v(p, p + GlobalSize(dib));
    GlobalUnlock(dib);
    return v;
}

std::vector<HANDLE> ListedImages() {
    std::vector<HANDLE> v;
    for (int i = 0; i < TWAIN_ImageCount(); ++i) v.push_back(TWAIN_GetImage(i));
    return v;
}

void FreeListed() {
    for (HANDLE h : ListedImages()) TWAIN_FreeDib(h);
}

bool Logged(const TestSourceScript& s, const std::string& line) {
    auto log = s.Log();
    return std::find(log.begin(), log.end(), line) != log.end();
}

bool LoggedStarting(const TestSourceScript& s, const std::string& prefix) {
    for (const std::string& l : s.Log())
        if (l.rfind(prefix, 0) == 0) return true;
    return false;
}

std::string LastBox() { return MessageBoxes().empty() ? std::string() : MessageBoxes().back().text; }

}  // namespace

class Acquisition : public testing::Test {
protected:
    void SetUp() override { InstallTestSource(); }
    void TearDown() override {
        FreeListed();
        EXPECT_EQ(TWAIN_CurrentState(), 1);
    }
};

// ---------------------------------------------------------------- batches

class AcquireBatch : public Acquisition, public testing::WithParamInterface<int> {};

TEST_P(AcquireBatch, KeepsEveryImageInArrivalOrderAndReturnsTheLast) {
    const int n = GetParam();
    TestSourceScript script({{"Images", std::to_string(n)}, {"Depths", "24,8,1"}});
    HANDLE last = TWAIN_AcquireImages(nullptr, 0);
    const std::vector<void*> handed = script.Handed();
    ASSERT_EQ(TWAIN_ImageCount(), n);
    ASSERT_EQ(handed.size(), static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(TWAIN_GetImage(i), handed[static_cast<size_t>(i)]);
        EXPECT_TRUE(SourceImageHeld(TWAIN_GetImage(i), i));
    }
    EXPECT_EQ(last, handed.back());
    EXPECT_EQ(TWAIN_DibBitCount(TWAIN_GetImage(0)), 24);
    if (n > 1) {
        EXPECT_EQ(TWAIN_DibBitCount(TWAIN_GetImage(1)), 8);
    }
    if (n > 2) {
        EXPECT_EQ(TWAIN_DibBitCount(TWAIN_GetImage(2)), 1);
    }
    EXPECT_TRUE(Logged(script, "enable 1"));  // with the source's own user interface
    EXPECT_TRUE(Logged(script, "close"));
    EXPECT_TRUE(MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Images, AcquireBatch, testing::Values(1, 2, 3));

TEST_F(Acquisition, ClosingTheSourcesDialogEndsWithNoImage) {
    TestSourceScript script({{"Close", "1"}});
    EXPECT_EQ(TWAIN_AcquireImages(nullptr, 0), nullptr);
    EXPECT_EQ(TWAIN_ImageCount(), 0);
    EXPECT_TRUE(Logged(script, "closerequest"));
    EXPECT_TRUE(Logged(script, "disable"));
}

TEST_F(Acquisition, ACancelledTransferStoresNothingAndTheBatchGoesOn) {
    TestSourceScript script({{"Images", "3"}, {"Cancel", "2"}});
    HANDLE last = TWAIN_AcquireImages(nullptr, 0);
    ASSERT_EQ(TWAIN_ImageCount(), 2);
    EXPECT_TRUE(Logged(script, "cancel 1"));
    EXPECT_EQ(ListedImages(), (std::vector<HANDLE>{script.Handed()[0], script.Handed()[1]}));
    EXPECT_EQ(last, TWAIN_GetImage(1));
}

TEST_F(Acquisition, AFailedTransferEndsWithTheImagesReceivedSoFar) {
    TestSourceScript script({{"Images", "3"}, {"Fail", "2"}});
    HANDLE last = TWAIN_AcquireImages(nullptr, 0);
    ASSERT_EQ(TWAIN_ImageCount(), 1);
    EXPECT_EQ(last, TWAIN_GetImage(0));
    EXPECT_TRUE(Logged(script, "fail 1"));
    EXPECT_TRUE(Logged(script, "reset"));  // the rest was discarded, not asked for
    EXPECT_EQ(script.Handed().size(), 1u);
}

TEST_F(Acquisition, AFailedFirstTransferEndsTheAcquisitionEmpty) {
    TestSourceScript script({{"Images", "1"}, {"Fail", "1"}});
    EXPECT_EQ(TWAIN_AcquireImages(nullptr, 0), nullptr);
    EXPECT_EQ(TWAIN_ImageCount(), 0);
}

// A source that fails a transfer and then refuses to discard the rest is
// closed all the same: the next acquisition starts afresh and works.  The
// source keeps to the protocol and refuses, with its transfers pending,
// to be disabled or closed: the manager closes it.
TEST_F(Acquisition, ASourceRefusingToDropItsTransfersIsClosedAndTheNextAcquisitionWorks) {
    {
        TestSourceScript script({{"Images", "2"}, {"Fail", "1"}, {"ResetFails", "1"}, {"Strict", "1"}});
        EXPECT_EQ(TWAIN_AcquireImages(nullptr, 0), nullptr);
        EXPECT_EQ(TWAIN_ImageCount(), 0);
        EXPECT_TRUE(Logged(script, "reset refused"));
        EXPECT_TRUE(Logged(script, "refused disable"));
        EXPECT_TRUE(Logged(script, "refused close"));
        EXPECT_EQ(TWAIN_CurrentState(), 1);
    }
    MessageBoxes().clear();
    TestSourceScript script({{"Images", "1"}, {"PixelTypes", "0,2"}, {"Strict", "1"}});
    HANDLE last = TWAIN_AcquireImages(nullptr, 1u << twain::TWPT_RGB);
    EXPECT_TRUE(MessageBoxes().empty()) << LastBox();
    ASSERT_EQ(TWAIN_ImageCount(), 1);
    EXPECT_EQ(last, script.Handed().at(0));
    EXPECT_FALSE(LoggedStarting(script, "refused")) << testing::PrintToString(script.Log());
}

namespace {
std::vector<std::pair<HANDLE, int>> seen;
void WINAPI Seen(HANDLE dib, int index) { seen.emplace_back(dib, index); }
HWND checked;
bool enabledDuring = true;
void WINAPI CheckEnabled(HANDLE, int) { enabledDuring = IsWindowEnabled(checked) != 0; }
}  // namespace

TEST_F(Acquisition, EachStoredImageIsReportedToTheCallback) {
    seen.clear();
    TWAIN_SetImageCallback(Seen);
    {
        TestSourceScript script({{"Images", "2"}});
        TWAIN_AcquireImages(nullptr, 0);
    }
    TWAIN_ClearImageCallback();
    EXPECT_EQ(seen, (std::vector<std::pair<HANDLE, int>>{{TWAIN_GetImage(0), 0}, {TWAIN_GetImage(1), 1}}));
    FreeListed();
    TestSourceScript again({{"Images", "1"}});
    TWAIN_AcquireImages(nullptr, 0);
    EXPECT_EQ(seen.size(), 2u);
}

// ---------------------------------------------------------------- the image list

TEST_F(Acquisition, AnIndexOutsideTheListGivesNoImage) {
    TestSourceScript script({{"Images", "2"}});
    TWAIN_AcquireImages(nullptr, 0);
    ASSERT_EQ(TWAIN_ImageCount(), 2);
    EXPECT_EQ(TWAIN_GetImage(2), nullptr);
    EXPECT_EQ(TWAIN_GetImage(-1), nullptr);
    EXPECT_EQ(TWAIN_GetImage(kTwainMaxImages), nullptr);
}

TEST_F(Acquisition, ImagesBeyondTheListAreFreedNotKept) {
    TestSourceScript script({{"Images", "1001"}, {"Width", "1"}, {"Height", "1"}});
    HANDLE last = TWAIN_AcquireImages(nullptr, 0);
    const std::vector<void*> handed = script.Handed();
    ASSERT_EQ(handed.size(), 1001u);
    ASSERT_EQ(TWAIN_ImageCount(), kTwainMaxImages);
    EXPECT_EQ(last, handed[998]);
    EXPECT_EQ(TWAIN_GetImage(998), handed[998]);
    EXPECT_FALSE(SourceImageHeld(handed[999], 999));
    EXPECT_FALSE(SourceImageHeld(handed[1000], 1000));
}

TEST_F(Acquisition, ANewAcquisitionStartsAnEmptyList) {
    {
        TestSourceScript script({{"Images", "2"}});
        TWAIN_AcquireImages(nullptr, 0);
    }
    FreeListed();
    TestSourceScript script({{"Close", "1"}});
    TWAIN_AcquireImages(nullptr, 0);
    EXPECT_EQ(TWAIN_ImageCount(), 0);
    EXPECT_EQ(TWAIN_GetImage(0), nullptr);
}

// ---------------------------------------------------------------- the modal loop

TEST_F(Acquisition, AQuitRequestEndsTheLoopAndIsPostedAgain) {
    TestSourceScript script({{"Idle", "1"}});
    PostQuitMessage(7);
    EXPECT_EQ(TWAIN_AcquireImages(nullptr, 0), nullptr);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_TRUE(Logged(script, "close"));
}

TEST_F(Acquisition, TheCallersWindowIsDisabledMeanwhileAndEnabledAfter) {
    HWND wnd = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    checked = wnd;
    TWAIN_SetImageCallback(CheckEnabled);
    TestSourceScript script({{"Images", "1"}});
    TWAIN_AcquireImages(wnd, 0);
    TWAIN_ClearImageCallback();
    EXPECT_FALSE(enabledDuring);
    EXPECT_TRUE(IsWindowEnabled(wnd));
    DestroyWindow(wnd);
}

TEST_F(Acquisition, AnInvalidWindowIsReplacedByAProxy) {
    TestSourceScript script({{"Images", "1"}});
    EXPECT_NE(TWAIN_AcquireImages(reinterpret_cast<HWND>(0x7777), 0), nullptr);
    EXPECT_EQ(TWAIN_ImageCount(), 1);
    EXPECT_EQ(FindWindowA("Static", "Acquire Proxy"), nullptr);
}

// ---------------------------------------------------------------- failures

TEST_F(Acquisition, ASourceThatCannotBeOpenedIsReported) {
    TestSourceScript script({{"OpenFails", "1"}});
    EXPECT_EQ(TWAIN_AcquireImages(nullptr, 0), nullptr);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].caption, "TWAIN Error");
    EXPECT_EQ(LastBox().rfind("Unable to open default Data Source.", 0), 0u) << LastBox();
    EXPECT_NE(LastBox().find("Source Manager operation failed"), std::string::npos) << LastBox();
}

TEST_F(Acquisition, ASourceThatCannotBeEnabledIsReportedWithItsCodes) {
    TestSourceScript script({{"EnableFails", "1"}});
    EXPECT_EQ(TWAIN_AcquireImages(nullptr, 0), nullptr);
    EXPECT_EQ(LastBox().rfind("Failed to enable Data Source.", 0), 0u) << LastBox();
    EXPECT_NE(LastBox().find("DataSource operation failed (result code 1, condition code 5)"), std::string::npos)
        << LastBox();
    EXPECT_TRUE(Logged(script, "close"));
}

TEST_F(Acquisition, AnInternalCheckThatFailsFailsTheCall) {
    TestSourceScript script({{"Idle", "1"}});
    ASSERT_TRUE(TWAIN_OpenSourceManager(nullptr));
    ASSERT_TRUE(TWAIN_OpenDefaultSource());
    // No destination for the value: nothing is written anywhere.
    EXPECT_FALSE(TWAIN_GetCapabilityCurrent(twain::ICAP_BITDEPTH, twain::TWTY_UINT16, nullptr));
    EXPECT_EQ(LastBox(), "Assertion failed");
    ASSERT_TRUE(TWAIN_EnableSource(nullptr));
    // No transfer is ready: none is asked for.
    MessageBoxes().clear();
    TWAIN_TransferImages();
    EXPECT_EQ(LastBox(), "Assertion failed");
    EXPECT_EQ(TWAIN_CurrentState(), 5);
    EXPECT_TRUE(script.Handed().empty());
    TWAIN_CloseSourceManager(nullptr);
    TWAIN_UnloadSourceManager();
}

// ---------------------------------------------------------------- negotiation and capabilities

TEST_F(Acquisition, NoMaskAsksNothingOfThePixelTypes) {
    TestSourceScript script({{"Images", "1"}, {"PixelTypes", "0,1,2"}});
    TWAIN_AcquireImages(nullptr, 0);
    EXPECT_FALSE(LoggedStarting(script, "getpixeltypes"));
    EXPECT_FALSE(LoggedStarting(script, "pixeltypes"));
}

TEST_F(Acquisition, TheOfferedPixelTypesAreNarrowedToTheMask) {
    {
        TestSourceScript script({{"Images", "1"}, {"PixelTypes", "2,0,1"}});
        TWAIN_AcquireImages(nullptr, 0b101);
        EXPECT_TRUE(Logged(script, "pixeltypes 0,2"));
        EXPECT_EQ(TWAIN_ImageCount(), 1);
    }
    FreeListed();
    TestSourceScript script({{"Images", "1"}, {"PixelTypes", "1,2"}, {"Container", "array"}});
    TWAIN_AcquireImages(nullptr, 0b110);
    EXPECT_TRUE(Logged(script, "pixeltypes 1,2"));
}

TEST_F(Acquisition, NoPixelTypeInCommonEndsWithAMessage) {
    TestSourceScript script({{"Images", "1"}, {"PixelTypes", "2"}, {"Container", "one"}});
    EXPECT_EQ(TWAIN_AcquireImages(nullptr, 0b1), nullptr);
    EXPECT_EQ(TWAIN_ImageCount(), 0);
    EXPECT_EQ(LastBox(), "Failed to negotiate Pixel Type.\n\nApp and source found NO values in common");
    EXPECT_FALSE(LoggedStarting(script, "enable"));
}

TEST_F(Acquisition, CapabilitiesAreSetAndReadOnlyWithTheSourceOpen) {
    TestSourceScript script({{"Idle", "1"}});
    EXPECT_FALSE(TWAIN_SetTransferCount(3));
    EXPECT_EQ(LastBox(), "Attempt to set capability outside State 4.");
    EXPECT_EQ(TWAIN_GetBitDepthValue(), 0);
    EXPECT_EQ(LastBox(), "Attempt to get capability value below State 4.");
    EXPECT_EQ(TWAIN_LastConditionCode(), twain::TWCC_SEQERROR);
    ASSERT_TRUE(TWAIN_OpenSourceManager(nullptr));
    ASSERT_TRUE(TWAIN_OpenDefaultSource());
    EXPECT_TRUE(TWAIN_SetTransferCount(3));
    EXPECT_TRUE(TWAIN_SetPixelTypeValue(twain::TWPT_GRAY));
    EXPECT_EQ(TWAIN_GetBitDepthValue(), 24);
    EXPECT_EQ(TWAIN_GetPixelTypeValue(), twain::TWPT_RGB);
    int32_t wrongType = 0;
    EXPECT_FALSE(TWAIN_GetCapabilityCurrent(twain::ICAP_BITDEPTH, twain::TWTY_INT32, &wrongType));
    TWAIN_CloseSourceManager(nullptr);
    TWAIN_UnloadSourceManager();
    EXPECT_TRUE(Logged(script, "set 1 1 3"));
    EXPECT_TRUE(Logged(script, "set 257 4 1"));
}

// The item at an enumeration's current index, read only from inside the
// block: an index whose place lies 2^32 bytes on wraps to before it.
TEST_F(Acquisition, ACurrentValueIsReadOnlyFromInsideItsContainer) {
    auto current = [](const std::string& claim) {
        TestSourceScript script({{"Idle", "1"}, {"CurrentEnum", claim}});
        EXPECT_TRUE(TWAIN_OpenSourceManager(nullptr));
        EXPECT_TRUE(TWAIN_OpenDefaultSource());
        uint16_t value = 0;
        const bool read = TWAIN_GetCapabilityCurrent(twain::ICAP_BITDEPTH, twain::TWTY_UINT16, &value);
        TWAIN_CloseSourceManager(nullptr);
        TWAIN_UnloadSourceManager();
        return read ? static_cast<int>(value) : -1;
    };
    EXPECT_EQ(current("4,2"), 102);
    EXPECT_EQ(current("4,4"), -1);
    EXPECT_EQ(current("9,4"), -1);                      // the block holds four
    EXPECT_EQ(current("0x7FFFFFFA,0x7FFFFFF8"), -1);    // 14 + 2 x index wraps to -2
    EXPECT_EQ(current("0xFFFFFFFF,0xFFFFFFFE"), -1);
}

// ---------------------------------------------------------------- the connection

TEST_F(Acquisition, TheManagerIsFoundAndEachStepReachesItsState) {
    TestSourceScript script({{"Idle", "1"}});
    EXPECT_TRUE(TWAIN_ManagerPresent());
    EXPECT_EQ(TWAIN_LibraryVersion(), 106);
    EXPECT_EQ(TWAIN_CurrentState(), 1);
    EXPECT_TRUE(TWAIN_LoadSourceManager());
    EXPECT_EQ(TWAIN_CurrentState(), 2);
    EXPECT_TRUE(TWAIN_OpenSourceManager(nullptr));
    EXPECT_EQ(TWAIN_CurrentState(), 3);
    EXPECT_TRUE(TWAIN_OpenDefaultSource());
    EXPECT_EQ(TWAIN_CurrentState(), 4);
    TWAIN_HideUserInterface(5);
    EXPECT_TRUE(TWAIN_UserInterfaceHidden());
    EXPECT_TRUE(TWAIN_EnableSource(nullptr));
    TWAIN_HideUserInterface(0);
    EXPECT_EQ(TWAIN_CurrentState(), 5);
    EXPECT_TRUE(TWAIN_DisableSource());
    EXPECT_EQ(TWAIN_CurrentState(), 4);
    EXPECT_TRUE(TWAIN_CloseSource());
    EXPECT_EQ(TWAIN_CurrentState(), 3);
    EXPECT_TRUE(TWAIN_CloseSourceManager(nullptr));
    EXPECT_EQ(TWAIN_CurrentState(), 2);
    EXPECT_TRUE(TWAIN_UnloadSourceManager());
    EXPECT_TRUE(Logged(script, "enable 0"));  // the hidden user interface
}

TEST_F(Acquisition, TheSourceIsChosenInTheManagersDialog) {
    {
        DialogDriver driver([](HWND dialog) { DialogDriver::Press(dialog, IDOK); });
        EXPECT_TRUE(TWAIN_SelectImageSource(nullptr));
    }
    EXPECT_EQ(FindWindowA("Static", "Acquire Proxy"), nullptr);
    DialogDriver driver([](HWND dialog) { DialogDriver::Press(dialog, IDCANCEL); });
    EXPECT_FALSE(TWAIN_SelectImageSource(nullptr));
}

TEST_F(Acquisition, SelectionWithAnInvalidWindowLoadsNothing) {
    EXPECT_FALSE(TWAIN_SelectImageSource(reinterpret_cast<HWND>(0x7777)));
    EXPECT_EQ(LastBox(), "TWAIN_SelectImageSource: window handle is invalid");
    EXPECT_EQ(TWAIN_CurrentState(), 1);
}

// ---------------------------------------------------------------- to a file and the clipboard

TEST_F(Acquisition, AnImageGoesToABitmapFile) {
    TempDir dir;
    TestSourceScript script({{"Images", "2"}});
    EXPECT_EQ(TWAIN_AcquireToFile(nullptr, dir.File("scan.bmp").c_str()), 0);
    // Neither image is left behind: the file has the last one, and the
    // list names none of the freed images.
    EXPECT_FALSE(SourceImageHeld(script.Handed()[0], 0));
    EXPECT_FALSE(SourceImageHeld(script.Handed()[1], 1));
    EXPECT_EQ(TWAIN_ImageCount(), 0);
    EXPECT_EQ(TWAIN_GetImage(0), nullptr);
    HANDLE read = TWAIN_ReadDibFile(dir.File("scan.bmp").c_str());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(TWAIN_DibWidth(read), 41);
    EXPECT_EQ(GetU32(Bytes(read).data() + 24), 0x54520001u);
    TWAIN_FreeDib(read);
    TestSourceScript nothing({{"Close", "1"}});
    EXPECT_EQ(TWAIN_AcquireToFile(nullptr, dir.File("none.bmp").c_str()), -1);
    EXPECT_FALSE(FileExists(dir.File("none.bmp")));
}

TEST_F(Acquisition, AnImageGoesToTheClipboardAsADib) {
    TestSourceScript script({{"Images", "2"}});
    EXPECT_EQ(TWAIN_AcquireIntoClipboard(nullptr, 0), 1);
    // The clipboard owns the last image, the first is freed: the list
    // names neither.
    EXPECT_FALSE(SourceImageHeld(script.Handed()[0], 0));
    EXPECT_EQ(TWAIN_ImageCount(), 0);
    std::string dib = Clipboard()->GetBuffer(CF_DIB);
    ASSERT_GE(dib.size(), 40u);
    EXPECT_EQ(GetU32(reinterpret_cast<const uint8_t*>(dib.data()) + 4), 41u);  // the second image's width
    Clipboard()->Clear();
}

// ---------------------------------------------------------------- images and their files

class DibFunctions : public testing::Test {};

TEST_F(DibFunctions, MeasuresOfAnImage) {
    HANDLE dib = GlobalDib(MakeDib({.width = 7, .height = -3, .bits = 8, .colorsUsed = 9}));
    EXPECT_EQ(TWAIN_DibWidth(dib), 7);
    EXPECT_EQ(TWAIN_DibHeight(dib), -3);
    EXPECT_EQ(TWAIN_DibBitCount(dib), 8);
    EXPECT_EQ(TWAIN_DibColorCount(dib), 9);
    TWAIN_FreeDib(dib);
    EXPECT_EQ(TWAIN_DibWidth(nullptr), 0);
    TWAIN_FreeDib(nullptr);
}

TEST_F(DibFunctions, WritingLeavesTheImageAsItWasAndReadsBack) {
    TempDir dir;
    for (DibSpec spec : {DibSpec{.bits = 24}, DibSpec{.bits = 8}, DibSpec{.bits = 16, .compression = 3},
                         DibSpec{.bits = 32, .compression = 3}, DibSpec{.bits = 32}, DibSpec{.bits = 1}}) {
        const std::vector<uint8_t> bytes = MakeDib(spec);
        HANDLE dib = GlobalDib(bytes);
        const std::string name = dir.File("b" + std::to_string(spec.bits) + ".bmp");
        ASSERT_EQ(TWAIN_WriteDibToFile(dib, name.c_str()), 0) << spec.bits;
        EXPECT_EQ(Bytes(dib), bytes) << spec.bits;
        const auto file = ReadAll(name);
        const uint32_t pixels = 40 + (spec.compression == 3 ? 12 : 0) + (spec.bits <= 8 ? 4u << spec.bits : 0);
        EXPECT_EQ(GetU32(file.data() + 10), 14 + pixels) << spec.bits;
        EXPECT_EQ(GetU32(file.data() + 2), file.size()) << spec.bits;
        HANDLE read = TWAIN_ReadDibFile(name.c_str());
        ASSERT_NE(read, nullptr) << spec.bits;
        std::vector<uint8_t> back = Bytes(read);
        back.resize(bytes.size());
        PutU32(back.data() + 20, 0);  // the file carries the image size
        EXPECT_EQ(back, bytes) << spec.bits;
        TWAIN_FreeDib(read);
        TWAIN_FreeDib(dib);
    }
}

TEST_F(DibFunctions, FilesThatCannotBeWrittenOrReadGiveTheirCodes) {
    TempDir dir;
    HANDLE dib = GlobalDib(MakeDib({.bits = 24}));
    EXPECT_EQ(TWAIN_WriteDibToFile(dib, dir.File("no\\such\\dir\\x.bmp").c_str()), -2);
    HANDLE bad = GlobalDib(MakeDib({.bits = 8, .compression = 1}));
    EXPECT_EQ(TWAIN_WriteDibToFile(bad, dir.File("rle.bmp").c_str()), -4);
    EXPECT_FALSE(FileExists(dir.File("rle.bmp")));
    TWAIN_FreeDib(bad);
    // Without a name the save dialog asks; cancelled, nothing is written.
    EXPECT_EQ(TWAIN_WriteDibToFile(dib, ""), -1);
    ASSERT_FALSE(CommonDialogs().empty());
    EXPECT_EQ(CommonDialogs().back(), "TSaveDialog");
    AnswerNextDialog([&](TCommonDialog& d) {
        static_cast<TOpenDialog&>(d).SetFileName(dir.File("asked"));
        return true;
    });
    EXPECT_EQ(TWAIN_WriteDibToFile(dib, nullptr), 0);
    EXPECT_TRUE(FileExists(dir.File("asked.bmp")));
    TWAIN_FreeDib(dib);

    WriteAll(dir.File("text.bmp"), std::string("BM this is no picture at all, not even close"));
    EXPECT_EQ(TWAIN_ReadDibFile(dir.File("text.bmp").c_str()), nullptr);
    EXPECT_EQ(TWAIN_ReadDibFile(dir.File("missing.bmp").c_str()), nullptr);
}

TEST_F(DibFunctions, APaletteFromTheColourTableOrTheDefault) {
    HANDLE dib = GlobalDib(MakeDib({.bits = 4, .colorsUsed = 3}));
    HPALETTE pal = TWAIN_DibToPalette(dib);
    ASSERT_NE(pal, nullptr);
    PALETTEENTRY e[4]{};
    EXPECT_EQ(GetPaletteEntries(pal, 0, 4, e), 3u);
    EXPECT_EQ(e[2].peRed, 2);
    EXPECT_EQ(e[2].peFlags, 0);
    DeleteObject(pal);
    TWAIN_FreeDib(dib);
    dib = GlobalDib(MakeDib({.bits = 24}));
    pal = TWAIN_DibToPalette(dib);
    ASSERT_NE(pal, nullptr);
    PALETTEENTRY all[256]{};
    EXPECT_EQ(GetPaletteEntries(pal, 0, 256, all), 256u);
    EXPECT_EQ(all[0].peFlags, 0);
    EXPECT_EQ(all[128].peFlags, PC_NOCOLLAPSE);
    EXPECT_EQ(all[255].peRed, 255);
    EXPECT_EQ(all[255].peFlags, 0);
    DeleteObject(pal);
    TWAIN_FreeDib(dib);
}

// A source's header is not believed before its block is checked: a block
// of 40 bytes claiming 16000 x 10000 pixels makes no bitmap of 458 MB.
TEST_F(Acquisition, AnImageItsBlockCannotHoldIsRefusedBeforeABitmapIsMade) {
    TestSourceScript script({{"Width", "16000"}, {"Height", "10000"}, {"Truncate", "40"}});
    HANDLE dib = TWAIN_AcquireImages(nullptr, 0);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(GlobalSize(dib), 40u);
    EXPECT_EQ(TWAIN_DibWidth(dib), 16000);
    TBitmap bitmap;
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    bitmap.SetSize(6, 4);
    std::string why;
    try {
        CopyDibToBitmap(dib, &bitmap);
    } catch (const EInvalidGraphic& e) {
        why = e.Message();
    }
    EXPECT_EQ(why, "The image is damaged: its header says 16000 x 10000 pixels of 24 bits, which its 40 bytes do "
                   "not hold.");
    EXPECT_EQ(bitmap.Width(), 6);
    EXPECT_EQ(bitmap.Height(), 4);
}

TEST_F(DibFunctions, AnImageIsDrawnIntoABitmapOfItsSize) {
    // 16 bits with 5-6-5 masks: 0xF800 is pure red.
    DibSpec spec{.width = 6, .height = 4, .bits = 16, .compression = 3, .fill = 0};
    std::vector<uint8_t> bytes = MakeDib(spec);
    for (size_t i = 52; i + 1 < bytes.size(); i += 2) PutU16(bytes.data() + i, 0xF800);
    HANDLE dib = GlobalDib(bytes);
    TBitmap bitmap;
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    CopyDibToBitmap(dib, &bitmap);
    EXPECT_EQ(bitmap.Width(), 6);
    EXPECT_EQ(bitmap.Height(), 4);
    EXPECT_EQ(At(bitmap, 0, 0), static_cast<TColor>(RGB(255, 0, 0)));
    EXPECT_EQ(At(bitmap, 5, 3), static_cast<TColor>(RGB(255, 0, 0)));
    // A damaged image draws nothing.
    HANDLE broken = GlobalDib(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 60));
    TBitmap untouched;
    untouched.SetPixelFormat(TPixelFormat::pf24bit);
    untouched.SetSize(6, 4);
    untouched.Canvas()->Brush()->SetColor(clLime);
    untouched.Canvas()->FillRect(TRect(0, 0, 6, 4));
    TWAIN_DrawDibToDC(untouched.Canvas()->Handle(), 0, 0, 6, 4, broken, 0, 0);
    EXPECT_EQ(At(untouched, 2, 2), clLime);
    TWAIN_FreeDib(broken);
    TWAIN_FreeDib(dib);
}

}  // namespace treskel::test
