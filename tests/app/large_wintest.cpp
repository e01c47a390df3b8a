// Large notes and large treskels in the main window: leaving a large note
// shows the next note exactly as stored, an arrow key reads a note once,
// every item record is freed once, a megabyte of one paragraph loads
// and leaves with the program's addresses above 2 GB, and a long note's
// preview says so when memory runs short.
#include "EditorWindowTest.h"

#include <richedit.h>

#include <map>

#include "store/NoteFile.h"
#include "store/NoteStore.h"
#include "store/TreskelArchive.h"
#include "platform/FileSys.h"
#include "support/StoreTest.h"
#include "support/TreeShapes.h"
#include "platform/Subclass.h"
#include "../preview/PageText.h"

namespace treskel::test {

namespace {

// Paragraphs of about 80 characters, `size` bytes of RTF in all.
std::string ParagraphsRtf(size_t size, const std::string& word) {
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\r\n";
    for (int k = 0; rtf.size() < size; ++k)
        rtf += "\\pard " + word + " " + std::to_string(k) + ": some words of a line of about eighty characters.\\par\r\n";
    return rtf + "}";
}

// Written text of about `size` bytes of RTF: paragraphs of about 80
// characters of words with commas and stops inside, the first one and the
// last one holding an address.
std::string ProseRtf(size_t size, const std::string& first, const std::string& last) {
    static const char* const words[] = {"the", "notes", "of", "a", "day", "were", "kept", "in", "order", "and", "read"};
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\r\n\\pard See " + first + " first.\\par\r\n";
    for (unsigned k = 0; rtf.size() < size; ++k) {
        std::string p = "Paragraph " + std::to_string(k) + ".";
        for (unsigned w = k; p.size() < 76; w = w * 7 + 3) p += std::string(w % 5 == 0 ? ", " : " ") + words[w % 11];
        rtf += "\\pard " + p + ".\\par\r\n";
    }
    return rtf + "\\pard And " + last + " last.\\par}";
}

// A note of one picture: an enhanced metafile holding a bitmap of `side`
// pixels square, in hexadecimal as the control writes pictures.
std::string PictureRtf(int side) {
    RECT frame{0, 0, 2000, 2000};
    HDC rec = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), side, side, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint8_t> bits(static_cast<size_t>((side * 3 + 3) / 4 * 4 * side));
    for (size_t i = 0; i < bits.size(); ++i) bits[i] = static_cast<uint8_t>(i * 7 / 3);
    StretchDIBits(rec, 0, 0, side, side, 0, 0, side, side, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    HENHMETAFILE emf = CloseEnhMetaFile(rec);
    std::vector<uint8_t> data(GetEnhMetaFileBits(emf, 0, nullptr));
    GetEnhMetaFileBits(emf, static_cast<UINT>(data.size()), data.data());
    DeleteEnhMetaFile(emf);
    static const char digits[] = "0123456789abcdef";
    std::string rtf = "{\\rtf1\\ansi{\\pict\\emfblip\\picw2000\\pich2000\\picwgoal1134\\pichgoal1134\r\n";
    for (size_t i = 0; i < data.size(); ++i) {
        rtf += digits[data[i] >> 4];
        rtf += digits[data[i] & 15];
        if (i % 64 == 63) rtf += "\r\n";
    }
    return rtf + "}\\par}";
}

}  // namespace

class LargeTest : public EditorTest {
protected:
    HWND Tree() { return W->TreeView->Handle(); }
    // A click on a top item's caption, through the queue.
    void ClickRow(HWND tree, int row) {
        TRect r = W->TreeView->Items()->TopLevelItem(row)->DisplayRect(true);
        PostClick(tree, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    HWND Editor() { return W->REdit->Handle(); }
    std::string StoredRtf(TTreeNode* n) {
        TMemoryStream rtf;
        if (!LoadNoteFile(LooseNote(Record(n)->Id), rtf, *W->lh5)) return "";
        return rtf.AsString();
    }
    CHARRANGE Selection() {
        CHARRANGE r{-1, -1};
        SendMessageA(Editor(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    // Whether the characters are marked as an address.
    bool IsLink(int start, int length) {
        Select(start, length);
        CHARFORMAT2W f{};
        f.cbSize = sizeof f;
        SendMessageW(Editor(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
        return (f.dwMask & CFM_LINK) != 0 && (f.dwEffects & CFE_LINK) != 0;
    }
    // Gives the tree the focus as a click on it would.
    void FocusTree() {
        W->TreeView->SetFocus();
        PumpMessages();
    }
};

// ---------------------------------------------------------------- leaving a large note

using LargeNotes = LargeTest;

TEST_F(LargeNotes, LeavingALargeNoteShowsTheNextOneAsStoredWithItsEditorWhole) {
    // Longer than the editor keeps when it moves on, shorter than slow.
    const std::string large = ParagraphsRtf(200 * 1024, "Large");
    WriteTreskel("Notes", {{"Large", large}, {"Small", SmallRtf("the small note")}, {"Other", ParagraphsRtf(60 * 1024, "Other")}});
    StartWindow();
    ASSERT_EQ(W->TreeView->Items()->Count(), 3);
    ClickRow(Tree(), 0);
    ASSERT_GT(W->REdit->GetTextLen(), TCustomRichEdit::RecreateAboveLength);
    const HWND before = Editor();
    // Typed into the large note, which is saved as it is left.
    W->REdit->SetFocus();
    PumpMessages();
    TypeText(Editor(), "typed ");
    ASSERT_TRUE(W->NoteModified);
    ClickRow(Tree(), 1);
    EXPECT_EQ(Shown(), "the small note");
    EXPECT_NE(StoredRtf(Node("Large")).find("typed Large 0"), std::string::npos);
    // The note shown is the stored one, with nothing to undo, the caret
    // at its start and its first line at the top.
    EXPECT_FALSE(W->REdit->CanUndo());
    EXPECT_FALSE(W->REdit->Modified());
    EXPECT_EQ(Selection().cpMin, 0);
    EXPECT_EQ(Selection().cpMax, 0);
    EXPECT_EQ(W->REdit->FirstVisibleLine(), 0);
    EXPECT_FALSE(W->NoteModified);
    // A new window took the old one's place, with the control's settings,
    // its binding, its events and the form's references.
    const HWND after = Editor();
    EXPECT_NE(after, before);
    EXPECT_FALSE(IsWindow(before));
    EXPECT_EQ(TWinControl::FindControl(after), W->REdit);
    EXPECT_EQ(GetParent(after), W->Panel2->Handle());
    EXPECT_TRUE(IsWindowVisible(after));
    EXPECT_EQ(SendMessageA(after, EM_GETLIMITTEXT, 0, 0), 16000000);
    EXPECT_NE(SendMessageA(after, EM_GETOPTIONS, 0, 0) & ECO_SELECTIONBAR, 0);
    EXPECT_EQ(SendMessageA(after, EM_GETEVENTMASK, 0, 0) & (ENM_CHANGE | ENM_SELCHANGE | ENM_LINK),
              ENM_CHANGE | ENM_SELCHANGE | ENM_LINK);
    EXPECT_NE(W->REdit->RichEditOle(), nullptr);
    EXPECT_EQ(W->QclFontComboBox1->FocusControl(), W->REdit);
    // Typing in it is an edit of the small note.
    W->REdit->SetFocus();
    PumpMessages();
    TypeText(Editor(), "more ");
    EXPECT_TRUE(W->NoteModified);
    EXPECT_EQ(Shown(), "more the small note");
    // Back by the Up key: the large note as saved, and again nothing to undo.
    FocusTree();
    PressKey(Tree(), VK_UP);
    EXPECT_EQ(W->TreeView->Selected(), Node("Large"));
    EXPECT_EQ(Shown().rfind("typed Large 0", 0), 0u);
    EXPECT_FALSE(W->REdit->CanUndo());
    EXPECT_NE(StoredRtf(Node("Small")).find("more the small note"), std::string::npos);
    // And on to another long note, by a click.
    ClickRow(Tree(), 2);
    EXPECT_EQ(Shown().rfind("Other 0", 0), 0u);
    EXPECT_FALSE(W->REdit->CanUndo());
    EXPECT_EQ(Selection().cpMin, 0);
}

// A long note is read into a window that keeps its vertical scroll bar,
// so that the control lays the note out once, and not again when the bar
// comes; addresses are marked in it and the status line follows the caret
// as in any note.  A short note's window shows its bar only when needed.
TEST_F(LargeNotes, ALongNoteKeepsItsScrollBarAndItsAddressesAndCaretLine) {
    const std::string first = "http://example.com/first", last = "http://example.com/last";
    WriteTreskel("Notes", {{"Long", ProseRtf(200 * 1024, first, last)}, {"Small", SmallRtf("see http://example.com/small")}});
    auto keepsBar = [this] { return (GetWindowLongA(Editor(), GWL_STYLE) & ES_DISABLENOSCROLL) != 0; };
    auto barShown = [this] { return (GetWindowLongA(Editor(), GWL_STYLE) & WS_VSCROLL) != 0; };
    std::vector<std::string> clicked;
    auto clickAddress = [&](int at) {
        W->REdit->OnURLClick = [&](TObject*, const std::string& url) { clicked.push_back(url); };
        POINTL pt{0, 0};
        SendMessageW(Editor(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), at);
        ClickAt(Editor(), pt.x + 2, pt.y + 4);
        PumpMessages();
    };
    auto isLink = [this](int start, int length) { return IsLink(start, length); };
    // The note's last characters, as the control holds them.
    auto tail = [this](int n) {
        GETTEXTLENGTHEX g{GTL_DEFAULT, 1200};
        const auto length = static_cast<LONG>(SendMessageW(Editor(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&g), 0));
        std::wstring t(static_cast<size_t>(n) + 1, L'\0');
        TEXTRANGEW r{{length - n, length}, t.data()};
        t.resize(static_cast<size_t>(SendMessageW(Editor(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&r))));
        return std::string(t.begin(), t.end());
    };
    auto lastAddressAt = [&] {
        const std::wstring find(last.begin(), last.end());
        FINDTEXTEXW ft{{0, -1}, find.c_str(), {0, 0}};
        return static_cast<int>(SendMessageW(Editor(), EM_FINDTEXTEXW, FR_DOWN, reinterpret_cast<LPARAM>(&ft)));
    };

    // The first item, shown at start.
    StartWindow();
    ASSERT_EQ(W->TreeView->Selected(), Node("Long"));
    ASSERT_EQ(Shown().rfind("See " + first + " first.", 0), 0u);
    const std::string lastLine = "And " + last + " last.";
    EXPECT_EQ(tail(static_cast<int>(lastLine.size())), lastLine);
    EXPECT_TRUE(keepsBar());
    EXPECT_TRUE(W->REdit->ScrollBarsKept());
    EXPECT_TRUE(barShown());
    EXPECT_EQ(Status(), "Line: 0 Col: 0");
    EXPECT_TRUE(isLink(4, static_cast<int>(first.size())));
    EXPECT_TRUE(isLink(lastAddressAt(), static_cast<int>(last.size())));
    EXPECT_FALSE(isLink(lastAddressAt() - 4, 3));
    clickAddress(6);
    EXPECT_EQ(clicked, std::vector<std::string>{first});
    // The caret at the note's end: the status line names its last line.
    W->REdit->SetFocus();
    PumpMessages();
    KeyWith(VK_CONTROL, VK_END);
    const int lines = static_cast<int>(SendMessageA(Editor(), EM_GETLINECOUNT, 0, 0));
    EXPECT_GT(lines, 2000);
    const std::string lastLineAt = "Line: " + std::to_string(lines - 1) + " Col: ";
    EXPECT_EQ(Status(), lastLineAt + std::to_string(lastLine.size()));
    TypeText(Editor(), " typed");
    EXPECT_EQ(Status(), lastLineAt + std::to_string(lastLine.size() + 6));

    // A short note, by the Down key, which saves the long one: a window
    // as before, with no scroll bar while the note needs none.
    FocusTree();
    PressKey(Tree(), VK_DOWN);
    ASSERT_EQ(Shown(), "see http://example.com/small");
    EXPECT_FALSE(keepsBar());
    EXPECT_FALSE(W->REdit->ScrollBarsKept());
    EXPECT_FALSE(barShown());
    EXPECT_EQ(Status(), "Line: 0 Col: 0");
    EXPECT_TRUE(isLink(4, 24));
    EXPECT_NE(StoredRtf(Node("Long")).find("typed"), std::string::npos);

    // Back by a click: the long note as saved, its window keeping the bar.
    ClickRow(Tree(), 0);
    ASSERT_EQ(tail(static_cast<int>(lastLine.size()) + 6), lastLine + " typed");
    EXPECT_TRUE(keepsBar());
    EXPECT_TRUE(isLink(lastAddressAt(), static_cast<int>(last.size())));
    clicked.clear();
    Select(0, 0);
    clickAddress(10);
    EXPECT_EQ(clicked, std::vector<std::string>{first});
    // Made anew with what it holds (a setting of the window that needs a
    // new one), the window keeps the bar and the note.
    const std::string shown = Shown();
    W->REdit->SetShowSelectionBar(false);
    PumpMessages();
    EXPECT_TRUE(keepsBar());
    EXPECT_EQ(Shown(), shown);
    W->REdit->SetShowSelectionBar(true);
    PumpMessages();
    // Emptied, for a new note, the window is one as before.
    W->REdit->Lines()->Clear();
    PumpMessages();
    EXPECT_FALSE(keepsBar());
    EXPECT_FALSE(barShown());
}

TEST_F(LargeNotes, TheEditorWithTheFocusKeepsItWithoutBeingEnteredAgain) {
    WriteTreskel("Notes", {{"Large", ParagraphsRtf(100 * 1024, "Large")}, {"Small", SmallRtf("small")}});
    StartWindow();
    ClickRow(Tree(), 0);
    W->REdit->SetFocus();
    PumpMessages();
    ASSERT_TRUE(W->NoteModified);
    int entered = 0, left = 0;
    W->REdit->OnEnter = [&](TObject*) { ++entered; };
    W->REdit->OnExit = [&](TObject*) { ++left; };
    // The editor empties itself for what comes, as a new item's does.
    W->REdit->Lines()->Clear();
    PumpMessages();
    EXPECT_EQ(W->REdit->GetTextLen(), 0);
    EXPECT_EQ(GetFocus(), Editor());
    EXPECT_EQ(entered, 0);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(W->ActiveControl(), W->REdit);
}

namespace {

// Points the process's temporary directory at a folder of the test's own
// while it lives.
class TempPathIn {
public:
    explicit TempPathIn(const std::string& dir) {
        for (const char* name : {"TMP", "TEMP"}) {
            char old[MAX_PATH] = {};
            const DWORD n = GetEnvironmentVariableA(name, old, sizeof old);
            kept_.emplace_back(name, n > 0 && n < sizeof old ? std::optional<std::string>(old) : std::nullopt);
            SetEnvironmentVariableA(name, dir.c_str());
        }
    }
    ~TempPathIn() {
        for (const auto& [name, value] : kept_) SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr);
    }
    TempPathIn(const TempPathIn&) = delete;
    TempPathIn& operator=(const TempPathIn&) = delete;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> kept_;
};

// Lists a folder's files when compression starts, that is while the
// packed note it reads lies there.
class FolderAtCompression : public TCodingProgress {
public:
    explicit FolderAtCompression(std::string dir) : dir_(std::move(dir)) {}
    void SetMax(int64_t) override {
        for (const TSearchRec& f : FindFiles(dir_ + "*")) seen.push_back(f.Name);
    }
    void SetPosition(int64_t) override {}
    std::vector<std::string> seen;

private:
    std::string dir_;
};

}  // namespace

// Saved at the highest level, a note of more rich text than is packed in
// memory passes through a file that the system information component
// names, in the system's temporary folder, gone once the note is saved.
// (A large picture makes the rich text long and shows at once.)
TEST_F(LargeNotes, ALargeNotesPassingFileIsNamedByTheSystemInformation) {
    WriteTreskel("Notes", {{"Small", SmallRtf("small")}, {"Picture", PictureRtf(520)}});
    TempDir temp;
    TempPathIn tempPath(temp.Path());
    StartWindow();
    W->IniCtrl->WriteBool("common", "updated", true);
    W->IniCtrl->WriteInteger("common", "compression", 2);
    ClickRow(Tree(), 1);
    W->REdit->SetFocus();
    PumpMessages();
    ASSERT_TRUE(W->NoteModified);
    TMemoryStream held;
    W->REdit->Lines()->SaveToStream(held);
    ASSERT_GT(held.Size(), NoteTempThreshold);
    FolderAtCompression watch(temp.Path());
    W->lh5->SetProgress(&watch);
    ClickRow(Tree(), 0);
    W->lh5->SetProgress(nullptr);
    ASSERT_EQ(watch.seen.size(), 1u);
    EXPECT_EQ(UpperCase(watch.seen[0]).rfind("DEL", 0), 0u) << watch.seen[0];
    EXPECT_EQ(UpperCase(ExtractFileExt(watch.seen[0])), ".TMP");
    EXPECT_TRUE(FindFiles(temp.Path() + "*").empty());
    EXPECT_EQ(ReadAll(LooseNote(Record(Node("Picture"))->Id))[4], 2);
    const std::string stored = StoredRtf(Node("Picture"));
    EXPECT_NE(stored.find("\\emfblip"), std::string::npos);
    EXPECT_GT(stored.size(), static_cast<size_t>(NoteTempThreshold));
}

// ---------------------------------------------------------------- arrow keys

using ArrowKeys = LargeTest;

TEST_F(ArrowKeys, AnUnchangedNoteIsReadOnceAndAChangedOneIsSavedAndReadAgain) {
    WriteTreskel("Notes", {{"Alpha", SmallRtf("alpha's note")}, {"Beta", SmallRtf("beta's note")}});
    StartWindow();
    ClickRow(Tree(), 1);
    ASSERT_EQ(Shown(), "beta's note");
    // The key's move showed the note; its release reads nothing again: the
    // caret stays where it was put, and a file changed behind the
    // program's back is not read.
    CHARRANGE caret{3, 3};
    SendMessageA(Editor(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    {
        LH5Compression lh5(nullptr);
        std::string rtf = SmallRtf("changed behind its back");
        TMemoryStream changed(std::vector<uint8_t>(rtf.begin(), rtf.end()));
        const std::string loose = LooseNote(Record(Node("Beta"))->Id);
        ForceDirectories(ExtractFilePath(loose));
        SaveNoteFile(loose, 0, "Beta", changed, lh5);
    }
    FocusTree();
    PressKey(Tree(), VK_DOWN);  // the last item: the selection stays
    EXPECT_EQ(W->TreeView->Selected(), Node("Beta"));
    EXPECT_EQ(Shown(), "beta's note");
    EXPECT_EQ(Selection().cpMin, 3);
    // Changed in the editor: at the key's release the edit is saved and the
    // note read again from its file; the editor's own history goes.
    W->REdit->SetFocus();
    PumpMessages();
    TypeText(Editor(), "edited ");
    ASSERT_TRUE(W->REdit->CanUndo());
    FocusTree();
    PressKey(Tree(), VK_DOWN);
    EXPECT_FALSE(W->NoteModified);
    EXPECT_EQ(Shown(), "betedited a's note");
    EXPECT_NE(StoredRtf(Node("Beta")).find("betedited a's note"), std::string::npos);
    EXPECT_FALSE(W->REdit->CanUndo());
    EXPECT_EQ(Selection().cpMin, 0);
    // A paragraph's alignment is a change too.
    ClickRow(Tree(), 0);
    ASSERT_EQ(Shown(), "alpha's note");
    W->REdit->SetFocus();
    PumpMessages();
    W->CenterJustify->Execute();
    PumpMessages();
    FocusTree();
    PressKey(Tree(), VK_UP);
    EXPECT_NE(StoredRtf(Node("Alpha")).find("\\qc"), std::string::npos);
    EXPECT_FALSE(W->REdit->Modified());
}

// ---------------------------------------------------------------- item records

using LargeTreskels = LargeTest;

TEST_F(LargeTreskels, EveryItemRecordIsFreedOnceWhenATreskelIsLeftOrClosed) {
    // 300 closed top items of ten sub-items each, and a small treskel.
    std::vector<NoteItem> many;
    for (int i = 0; i < 300; ++i) many.push_back({"Top " + std::to_string(i), i % 50 == 0 ? SmallRtf("note") : "", 10});
    WriteTreskel("Big", many);
    WriteTreskel("Tiny", {{"One", SmallRtf("one")}, {"Two", ""}});
    const int alive = TAliveCount<TItemData>::count;
    StartWindow();
    const int big = TabIndexOf("Big"), tiny = TabIndexOf("Tiny");
    ASSERT_GE(big, 0);
    ASSERT_GE(tiny, 0);
    if (W->TabControl1->TabIndex() != big) ClickTab(big);
    ASSERT_EQ(W->TreeView->Items()->Count(), 3300);
    EXPECT_EQ(TAliveCount<TItemData>::count - alive, 3300);
    ClickTab(tiny);
    EXPECT_EQ(W->TreeView->Items()->Count(), 2);
    EXPECT_EQ(TAliveCount<TItemData>::count - alive, 2);
    ClickTab(big);
    EXPECT_EQ(TAliveCount<TItemData>::count - alive, 3300);
    // Sub-items of a closed item join the window when it opens.
    FocusTree();
    PressKey(Tree(), VK_RIGHT);
    EXPECT_TRUE(Node("Top 0")->Expanded());
    PressKey(Tree(), VK_DOWN);
    EXPECT_EQ(W->TreeView->Selected(), Node("Top 0.0"));
    CloseWindow();
    EXPECT_EQ(TAliveCount<TItemData>::count, alive);
}

TEST_F(LargeTreskels, EveryShapeIsShownWholeAndFreedOnceWithoutANoticeToTheWindowPerItem) {
    for (const std::string& kind : TreeShapeKinds()) WriteShapedTreskel(kind, TreeShape(kind, 600));
    const int alive = TAliveCount<TItemData>::count;
    StartWindow();
    // What the tree tells its parent and the window of each item it
    // deletes, as it is emptied at each change of tab and destroyed at
    // close.
    int told = 0;
    auto count = [&told](UINT msg, WPARAM, LPARAM lParam, LRESULT&) {
        if (msg == WM_NOTIFY) {
            const UINT code = reinterpret_cast<NMHDR*>(lParam)->code;
            told += code == TVN_DELETEITEMA || code == TVN_DELETEITEMW;
        }
        return false;
    };
    WindowSubclass tabs, window;
    tabs.Attach(W->TabControl1->Handle(), count);
    window.Attach(W->Handle(), count);
    for (int round = 0; round < 2; ++round) {
        for (const std::string& kind : TreeShapeKinds()) {
            SCOPED_TRACE(kind);
            const int tab = TabIndexOf(kind);
            ASSERT_GE(tab, 0);
            if (W->TabControl1->TabIndex() != tab) {
                ASSERT_TRUE(ClickTab(tab));
            }
            ASSERT_EQ(W->TreeView->Items()->Count(), 600);
            EXPECT_EQ(TAliveCount<TItemData>::count - alive, 600);
            // Every item is open or at the top: all are in the window, in
            // the model's order, each with its node.
            EXPECT_EQ(SendMessageA(Tree(), TVM_GETCOUNT, 0, 0), 600);
            int row = 0;
            TTreeNode* node = W->TreeView->Items()->GetFirstNode();
            for (auto item = reinterpret_cast<HTREEITEM>(SendMessageA(Tree(), TVM_GETNEXTITEM, TVGN_ROOT, 0));
                 item != nullptr && node != nullptr;
                 item = reinterpret_cast<HTREEITEM>(
                     SendMessageA(Tree(), TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(item))),
                      node = node->GetNext(), ++row)
                if (node->ItemId() != item) break;
            EXPECT_EQ(row, 600);
        }
    }
    // An open run deleted goes with its records; opening and closing still
    // answer the keys.
    TTreeNode* run = W->TreeView->Items()->TopLevelItem(4);  // the fifth top item, a run of four
    ASSERT_EQ(run->Count(), 1);
    ClickNode(run);
    FocusTree();
    PressKey(Tree(), VK_LEFT);
    EXPECT_FALSE(run->Expanded());
    PressKey(Tree(), VK_RIGHT);
    EXPECT_TRUE(run->Expanded());
    AnswerNextBox(IDYES);
    Run(W->RemoveItem);
    EXPECT_EQ(W->TreeView->Items()->Count(), 595);
    EXPECT_EQ(TAliveCount<TItemData>::count - alive, 595);
    CloseWindow();
    EXPECT_EQ(TAliveCount<TItemData>::count, alive);
    EXPECT_EQ(told, 0);
}

// ---------------------------------------------------------------- addresses above 2 GB

TEST_F(LargeNotes, AMegabyteOfOneParagraphLoadsAndLeavesAboveTwoGigabytes) {
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\r\n\\pard ";
    while (rtf.size() < 1024 * 1024) rtf += "some words of one long paragraph that never ends ";
    rtf += "\\par}";
    WriteTreskel("Notes", {{"Small", SmallRtf("small")}, {"Paragraph", rtf}, {"After", SmallRtf("after")}});
    StartWindow();
    // What is left below 2 GB is taken: the note's memory comes from above.
    std::vector<void*> low;
    for (;;) {
        void* p = VirtualAlloc(nullptr, 16 << 20, MEM_RESERVE, PAGE_NOACCESS);
        if (p == nullptr) break;
        if (reinterpret_cast<uintptr_t>(p) >= 0x80000000u) {
            VirtualFree(p, 0, MEM_RELEASE);
            break;
        }
        low.push_back(p);
    }
    void* high = VirtualAlloc(nullptr, 64 << 20, MEM_COMMIT, PAGE_READWRITE);
    EXPECT_GE(reinterpret_cast<uintptr_t>(high), 0x80000000u);
    VirtualFree(high, 0, MEM_RELEASE);
    ClickRow(Tree(), 1);
    EXPECT_GT(W->REdit->GetTextLen(), 1000000);
    EXPECT_EQ(Shown().rfind("some words of one long paragraph", 0), 0u);
    ClickRow(Tree(), 2);
    EXPECT_EQ(Shown(), "after");
    EXPECT_FALSE(W->REdit->CanUndo());
    for (void* p : low) VirtualFree(p, 0, MEM_RELEASE);
}

// ---------------------------------------------------------------- preview without room

namespace {

// Takes all the free address space but `left` bytes, given back in pieces
// of a megabyte, for as long as it lives.
class AddressSpaceLeft {
public:
    explicit AddressSpaceLeft(size_t left) {
        for (size_t block : {size_t{256} << 20, size_t{16} << 20, size_t{1} << 20})
            while (void* p = VirtualAlloc(nullptr, block, MEM_RESERVE, PAGE_NOACCESS)) taken_.push_back(p);
        for (size_t given = 0; given < left && !taken_.empty(); given += size_t{1} << 20) {
            VirtualFree(taken_.back(), 0, MEM_RELEASE);
            taken_.pop_back();
        }
    }
    ~AddressSpaceLeft() {
        for (void* p : taken_) VirtualFree(p, 0, MEM_RELEASE);
    }
    AddressSpaceLeft(const AddressSpaceLeft&) = delete;
    AddressSpaceLeft& operator=(const AddressSpaceLeft&) = delete;

private:
    std::vector<void*> taken_;
};

}  // namespace

TEST_F(LargeNotes, APreviewWithoutRoomSaysSoAndTheProgramGoesOnWithTheNoteAsItWas) {
    // Long enough to be laid out in several parts.
    const std::string large = ParagraphsRtf(400 * 1024, "Large");
    const int paragraphs = static_cast<int>(std::count(large.begin(), large.end(), '\n')) - 1;
    WriteTreskel("Notes", {{"Small", SmallRtf("small")}, {"Large", large}});
    StartWindow();
    ClickRow(Tree(), 1);
    const std::string shown = Shown();
    ASSERT_EQ(shown.rfind("Large 0:", 0), 0u);
    const auto stored = treskel::test::DataFiles(DataDir());
    MessageBoxes().clear();
    {
        AddressSpaceLeft tight(32u << 20);
        PressOfficeButton(W->PrintButton, W->Preview1);
    }
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "There is not enough memory to lay the note out in pages.");
    EXPECT_EQ(W->Preview->GetPageCount(), 0);
    EXPECT_EQ(Shown(), shown);
    EXPECT_EQ(treskel::test::DataFiles(DataDir()), stored);
    // With room again the preview shows the note, to its last paragraph.
    ModalDialogs dialogs;
    dialogs.Install();
    int pages = 0;
    std::string first, last;
    dialogs.Queue([&](TCustomForm& preview) {
        pages = W->Preview->GetPageCount();
        first = PageText(W->Preview->GetPage(0)->Handle());
        last = PageText(W->Preview->GetPage(pages - 1)->Handle());
        preview.Close();
    });
    PressOfficeButton(W->PrintButton, W->Preview1);
    dialogs.Remove();
    ASSERT_EQ(dialogs.Shown(), std::vector<std::string>{"TPreviewForm"});
    EXPECT_GT(pages, 60);
    EXPECT_NE(first.find("Large 0: some words"), std::string::npos);
    EXPECT_NE(last.find("Large " + std::to_string(paragraphs - 1) + ": some words"), std::string::npos) << last;
    EXPECT_EQ(MessageBoxes().size(), 1u);
}

// Showing a note of thousands of paragraphs costs the editor one read by
// its window and a few dozen messages, whatever the note's length: nothing
// of ours goes over it line by line.
TEST_F(LargeNotes, ShowingANoteOfManyParagraphsReadsItOnceAndWalksNoLines) {
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\r\n";
    int paragraphs = 0;
    for (; rtf.size() < 100 * 1024; ++paragraphs) rtf += "\\pard Item " + std::to_string(paragraphs) + ".\\par\r\n";
    WriteTreskel("Notes", {{"Small", SmallRtf("small")}, {"Long", rtf + "}"}});
    StartWindow();
    std::map<UINT, int> seen;
    W->REdit->WindowProc = [&seen, old = W->REdit->WindowProc](TMessage& m) {
        ++seen[m.Msg];
        old(m);
    };
    FocusTree();
    PressKey(Tree(), VK_DOWN);
    PumpMessages();
    ASSERT_GE(static_cast<int>(SendMessageA(Editor(), EM_GETLINECOUNT, 0, 0)), paragraphs);
    EXPECT_EQ(seen[EM_STREAMIN], 1);
    int messages = 0;
    for (const auto& [msg, count] : seen) messages += count;
    EXPECT_LT(messages, 300);
}

// The control looks at every word it reads for an address: a note that
// can hold none is read with that off, one that holds an address with it
// on; after either, an address typed is marked as it is typed.
TEST_F(LargeNotes, OnlyANoteThatMayHoldAnAddressIsReadLookingForAddresses) {
    std::string plain = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\r\n";
    for (int k = 0; k < 2000; ++k) plain += "\\pard Item " + std::to_string(k) + ", a word.\\par\r\n";
    WriteTreskel("Notes", {{"Small", SmallRtf("small")}, {"Plain", plain + "}"}, {"Address", SmallRtf("see http://example.com/a")}});
    StartWindow();
    std::vector<LRESULT> lookingWhileRead;
    W->REdit->WindowProc = [this, &lookingWhileRead, old = W->REdit->WindowProc](TMessage& m) {
        if (m.Msg == EM_STREAMIN) lookingWhileRead.push_back(SendMessageA(Editor(), EM_GETAUTOURLDETECT, 0, 0));
        old(m);
    };
    auto typedAddressMarked = [this] {
        W->REdit->SetFocus();
        PumpMessages();
        KeyWith(VK_CONTROL, VK_END);
        const int end = Selection().cpMin;
        TypeText(Editor(), " http://typed.example.org ");
        return IsLink(end + 1, 24);
    };
    FocusTree();
    PressKey(Tree(), VK_DOWN);
    ASSERT_EQ(W->TreeView->Selected(), Node("Plain"));
    EXPECT_EQ(lookingWhileRead, std::vector<LRESULT>{0});
    EXPECT_EQ(SendMessageA(Editor(), EM_GETAUTOURLDETECT, 0, 0), 1);
    EXPECT_TRUE(typedAddressMarked());
    FocusTree();
    PressKey(Tree(), VK_DOWN);
    ASSERT_EQ(Shown(), "see http://example.com/a");
    EXPECT_EQ(lookingWhileRead, (std::vector<LRESULT>{0, 1}));
    EXPECT_TRUE(IsLink(4, 20));
    EXPECT_TRUE(typedAddressMarked());
}

}  // namespace treskel::test
