// Pictures and rich text that another program put on the clipboard, or
// that are dropped on the note: what the note could not hold is refused
// before the editor takes it, on every road of a paste, in words; what
// fits is pasted as before and takes what it was reckoned to take or less.
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "EditorWindowTest.h"
#include "app/frmMainRules.h"
#include "richedit/RichOLE.h"
#include "support/DibBytes.h"
#include "support/ProgramRun.h"

namespace treskel::test {

namespace {

HGLOBAL GlobalBytes(const void* bytes, size_t size) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(h), bytes, size);
    GlobalUnlock(h);
    return h;
}
HGLOBAL GlobalBytes(const std::string& s) { return GlobalBytes(s.data(), s.size()); }

// Puts data on the clipboard as another program does: each format as it
// is, the system's conversions left to the system.
void Offer(const std::vector<std::pair<UINT, HANDLE>>& formats) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    for (const auto& [format, data] : formats) SetClipboardData(format, data);
    CloseClipboard();
}

UINT RtfFormat() { return RegisterClipboardFormatA("Rich Text Format"); }

// A picture of one colour in few bytes: an 8-bit run-length encoded DIB.
std::vector<uint8_t> UniformRleDib(int width, int height) {
    DibSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bits = 8;
    spec.compression = 1;
    spec.colorsUsed = 1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; x += 255) spec.pixels.insert(spec.pixels.end(), {uint8_t(std::min(255, width - x)), 0});
        spec.pixels.insert(spec.pixels.end(), {0, 0});
    }
    spec.pixels.back() = 1;  // the last end of line ends the bitmap
    spec.sizeImage = static_cast<uint32_t>(spec.pixels.size());
    return MakeDib(spec);
}

// A picture of `width` x `height` pixels of two colours in a metafile,
// enhanced or older: its pixels in one record, as programs put a bitmap
// there.
template <class Dc, class Close>
auto DrawnPicture(int width, int height, Dc dc, Close close) {
    std::vector<uint8_t> bits(DibStride(width, 24) * static_cast<size_t>(height));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, static_cast<DWORD>(bits.size()), 0, 0, 0, 0};
    for (size_t i = 0; i < bits.size(); ++i) bits[i] = static_cast<uint8_t>(i % 3 == 0 ? 200 : 40);
    StretchDIBits(dc, 0, 0, width, height, 0, 0, width, height, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    return close(dc);
}
HENHMETAFILE PictureEmf(int width, int height) {
    return DrawnPicture(width, height, CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr), CloseEnhMetaFile);
}
HGLOBAL PictureWmf(int width, int height) {
    HMETAFILE wmf = DrawnPicture(width, height, CreateMetaFileA(nullptr), CloseMetaFile);
    const METAFILEPICT pict{MM_ANISOTROPIC, width * 26, height * 26, wmf};
    return GlobalBytes(&pict, sizeof pict);
}

std::string EmfBytes(HENHMETAFILE emf) {
    std::string bytes(GetEnhMetaFileBits(emf, 0, nullptr), '\0');
    GetEnhMetaFileBits(emf, static_cast<UINT>(bytes.size()), reinterpret_cast<BYTE*>(bytes.data()));
    return bytes;
}
std::string WmfBytes(int width, int height) {
    GlobalMemory pict(PictureWmf(width, height));
    MetaFileHandle wmf(static_cast<METAFILEPICT*>(GlobalLockGuard(pict.Get()).Get())->hMF);
    std::string bytes(GetMetaFileBitsEx(wmf.Get(), 0, nullptr), '\0');
    GetMetaFileBitsEx(wmf.Get(), static_cast<UINT>(bytes.size()), bytes.data());
    return bytes;
}
std::string Hex(const std::string& bytes) {
    std::string hex;
    for (unsigned char c : bytes) hex += "0123456789abcdef"[c >> 4], hex += "0123456789abcdef"[c & 15];
    return hex;
}
// Rich text holding a picture's group: `data` as it stands there.
std::string PictureRichText(const std::string& kind, const std::string& data) {
    return "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 A picture: {\\pict\\" + kind +
           "\\picw7900\\pich5300\\picwgoal4500\\pichgoal3000 " + data + "} and text.\\par}";
}

// The bytes the clipboard's own enhanced metafile holds, made from what
// is there when that is another form.
int64_t ClipboardEmfBytes() {
    if (!OpenClipboard(nullptr)) return -1;
    const int64_t bytes = GetEnhMetaFileBits(static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE)), 0, nullptr);
    CloseClipboard();
    return bytes;
}

// What a program a picture is dragged from offers: a DIB in global memory.
class DraggedDib final : public IDataObject {
public:
    explicit DraggedDib(std::vector<uint8_t> dib) : dib_(std::move(dib)) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_IDataObject ? this : nullptr;
        if (*out == nullptr) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    // It lives on the test's stack.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetData(FORMATETC* fe, STGMEDIUM* m) override {
        if (QueryGetData(fe) != S_OK) return DV_E_FORMATETC;
        m->tymed = TYMED_HGLOBAL;
        m->hGlobal = GlobalBytes(dib_.data(), dib_.size());
        m->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* fe) override {
        return fe->cfFormat == CF_DIB && (fe->tymed & TYMED_HGLOBAL) != 0 ? S_OK : DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        FORMATETC dib{CF_DIB, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return direction == DATADIR_GET ? SHCreateStdEnumFmtEtc(1, &dib, out) : E_NOTIMPL;
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    std::vector<uint8_t> dib_;
};

}  // namespace

class PasteTest : public ClipboardEditorTest {};

// The note may be saved with at most 256 MB of rich text; a bitmap takes
// about six bytes of it a pixel.  A picture of 9400 x 9400 pixels, in few
// bytes as a run-length encoded bitmap, is refused however it is pasted,
// and when it is dropped, before the editor takes it.
TEST_F(PasteTest, APictureTheNoteHasNoRoomForIsRefusedOnEveryRoadOfAPaste) {
    StartWithItem();
    TypeNote("Nothing else");
    const std::string before = NoteRtf();
    const std::vector<uint8_t> dib = UniformRleDib(9400, 9400);
    ASSERT_LT(dib.size(), 1u << 20);
    Offer({{CF_DIB, GlobalBytes(dib.data(), dib.size())}});
    const std::string why =
        "It is 9400 x 9400 pixels, which would take about 521 MB in the note; a note can hold at most 256 MB.";
    for (const auto& [road, paste] : PasteRoads()) {
        MessageBoxes().clear();
        paste();
        ASSERT_EQ(MessageBoxes().size(), 1u) << road;
        EXPECT_EQ(MessageBoxes()[0].caption, "Error");
        EXPECT_EQ(MessageBoxes()[0].text, "The picture on the clipboard cannot be pasted.\n\n" + why) << road;
        EXPECT_EQ(NoteRtf(), before) << road;
    }

    // Dropped, it is refused when the drop is made, not while the drag
    // passes over the note.
    DraggedDib dropped(dib);
    IRichEditOleCallback* callback = W->REdit->OleCallback();
    ASSERT_NE(callback, nullptr);
    CLIPFORMAT format = 0;
    MessageBoxes().clear();
    EXPECT_EQ(callback->QueryAcceptData(&dropped, &format, RECO_DROP, FALSE, nullptr), S_OK);
    EXPECT_TRUE(MessageBoxes().empty());
    EXPECT_FALSE(SUCCEEDED(callback->QueryAcceptData(&dropped, &format, RECO_DROP, TRUE, nullptr)));
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "The dropped picture cannot be inserted.\n\n" + why);
    EXPECT_EQ(NoteRtf(), before);
}

// Each form of a picture that the editor pastes grows the note by what it
// was reckoned to take, or less: a paste that was let in never leaves a
// note that cannot be saved.
TEST_F(PasteTest, WhatFitsIsPastedAndTakesWhatItWasReckonedToTakeOrLess) {
    StartWithItem();
    TypeNote("Pictures: ");
    const std::string emf = EmfBytes(EnhMetaFileHandle(PictureEmf(300, 200)).Get());
    struct Case {
        std::string name;
        std::function<int64_t()> offer;  // puts it there; returns what it is reckoned to take
    };
    const std::vector<Case> cases{
        {"an enhanced metafile",
         [&] {
             Offer({{CF_ENHMETAFILE, PictureEmf(300, 200)}});
             return MetafileCost(static_cast<int64_t>(emf.size())).Bytes;
         }},
        {"an older metafile",
         [&] {
             Offer({{CF_METAFILEPICT, PictureWmf(300, 200)}});
             return MetafileCost(ClipboardEmfBytes()).Bytes;
         }},
        {"rich text holding an enhanced metafile",
         [&] {
             const std::string rtf = PictureRichText("emfblip", Hex(emf));
             Offer({{RtfFormat(), GlobalBytes(rtf)}});
             return RichTextCost(static_cast<int64_t>(rtf.size())).Bytes;
         }},
        {"rich text holding an older metafile",
         [&] {
             const std::string rtf = PictureRichText("wmetafile8", Hex(WmfBytes(300, 200)));
             Offer({{RtfFormat(), GlobalBytes(rtf)}});
             return RichTextCost(static_cast<int64_t>(rtf.size())).Bytes;
         }},
    };
    for (const Case& c : cases) {
        const size_t pictures = Pictures();
        const auto before = static_cast<int64_t>(NoteRtf().size());
        const int64_t reckoned = c.offer();
        CtrlKey('V');
        EXPECT_TRUE(MessageBoxes().empty()) << c.name;
        EXPECT_EQ(Pictures(), pictures + 1) << c.name;
        const int64_t grown = static_cast<int64_t>(NoteRtf().size()) - before;
        EXPECT_GT(grown, 2 * static_cast<int64_t>(emf.size()) * 9 / 10) << c.name;
        EXPECT_LE(grown, reckoned) << c.name;
    }
    // Saved and shown again, the note is known from its reading: as at
    // least what it holds.
    ClickNode(AddItem("Second"));
    ClickNode(Node("First"));
    ASSERT_EQ(Pictures(), cases.size());
    EXPECT_GE(W->NoteRtfBytes(), static_cast<int64_t>(NoteRtf().size()));
}

// What the note holds is known without streaming it out for every insert,
// and never as less than it is: after typing, lists, formatting, pastes,
// undoing and showing the note again, whatever is reckoned of the note is
// at least what saving it writes.  A keystroke adds its bound to a count,
// and a note the editor wrote is known from its reading.
TEST_F(PasteTest, WhatTheNoteHoldsIsKnownWithoutCountingAndNeverAsLessThanItIs) {
    StartWithItem();
    TypeNote("A note to write in.");
    const std::string emf = EmfBytes(EnhMetaFileHandle(PictureEmf(300, 200)).Get());
    auto holds = [&] { return static_cast<int64_t>(NoteRtf().size()); };
    auto pastePicture = [&] {
        Offer({{CF_ENHMETAFILE, PictureEmf(300, 200)}});
        CtrlKey('V');
    };
    const std::vector<std::pair<std::string, std::function<void()>>> steps{
        {"typed", [&] { TypeNote(" More words."); }},
        {"a new paragraph", [&] { KeyWith(0, VK_RETURN); }},
        {"a picture pasted", pastePicture},
        {"a picture pasted again", pastePicture},
        {"deleted back", [&] { KeyWith(0, VK_BACK); }},
        {"bold throughout", [&] {
             Select(0, static_cast<int>(NoteText().size()));
             ClickTool(W->BoldButton);
         }},
        {"a list", [&] { ClickTool(W->BulletButton); }},
        {"undone", [&] { CtrlKey('Z'); }},
        {"text pasted", [&] {
             Select(static_cast<int>(NoteText().size()), 0);
             Offer({{CF_TEXT, GlobalBytes(std::string("pasted text\r\nin two lines", 26))}});
             CtrlKey('V');
         }},
        {"left and shown again", [&] {
             ClickNode(AddItem("Second"));
             ClickNode(Node("First"));
         }},
        {"typed after", [&] { TypeNote("x"); }},
    };
    for (const auto& [step, change] : steps) {
        change();
        EXPECT_TRUE(MessageBoxes().empty()) << step;
        const int64_t actual = holds();
        const int64_t reckoned = W->NoteRtfBytes();
        EXPECT_GE(reckoned, actual) << step;
        // Typing and showing are not counted: a bound above the note.
        if (step == "typed after") {
            EXPECT_GE(reckoned, actual + TNoteBound::kKeystrokeBytes - 64) << step;
        }
        if (step == "left and shown again") {
            EXPECT_GT(reckoned, actual) << step;
            EXPECT_LE(reckoned, actual + actual / 32 + 8192) << step;
        }
    }
    EXPECT_EQ(Pictures(), 1u);
}

// The program as the user starts it, and a picture that another program
// put on the clipboard, too large for the note (an enhanced metafile of
// 140 MB): Ctrl+V is refused with the reason, the note stays as it was and
// is saved when the program closes; a small picture is pasted.
TEST_F(PasteTest, TheProgramRefusesAPastedPictureItsNoteHasNoRoomForAndPastesOneThatFits) {
    StartWithItem();
    TypeNote("Pasted: ");
    CloseWindow();
    ProgramProcess program;
    ASSERT_TRUE(program.Start(ProgramExe(), DataDir())) << ProgramExe();
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    HWND editor = FindChildOfClass(main, "TRichEditEx");
    ASSERT_NE(editor, nullptr);
    auto shown = [&] {
        wchar_t text[64] = {};
        SendMessageW(editor, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
        return std::wstring(text);
    };
    ASSERT_TRUE(PumpUntil([&] { return shown() == L"Pasted: "; }, 10000));
    auto pasteIntoNote = [&] {
        SetForegroundWindow(main);
        RECT r;
        GetWindowRect(editor, &r);
        MouseClickOnScreen(POINT{r.right - 30, r.bottom - 20});
        PumpUntil([] { return false; }, 300);
        PressKeyWith(VK_CONTROL, 'v');
    };

    Offer({{CF_ENHMETAFILE, PictureEmf(7000, 7000)}});
    pasteIntoNote();
    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (box = WindowOfCaption(program.Id(), "Error")) != nullptr; }, 30000));
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_EQ(std::string(text),
              "The picture on the clipboard cannot be pasted.\n\nIt is a metafile of 140 MB, which would take about "
              "289 MB in the note; a note can hold at most 256 MB.");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ(shown(), L"Pasted: ");

    Offer({{CF_ENHMETAFILE, PictureEmf(300, 200)}});
    pasteIntoNote();
    EXPECT_TRUE(PumpUntil([&] { return shown().size() == 9; }, 10000)) << shown().size();
    // Closing saves the note: it can be saved.
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(program.Process(), 30000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 1;
    GetExitCodeProcess(program.Process(), &code);
    EXPECT_EQ(code, 0u);

    StartWindow();
    SelectItem(Node("First"));
    EXPECT_EQ(Pictures(), 1u);
    EXPECT_EQ(NoteText().substr(0, 8), "Pasted: ");
}

}  // namespace treskel::test
