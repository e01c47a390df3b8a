// Rich text the editor's control cannot hold, pasted by Ctrl+V and stored
// as the note shown at start-up: groups nested deeper than the control
// survives, and more paragraphs than memory holds.  A paste is refused in
// words before the control reads it; a stored note is shown with its deep
// groups flattened, keeping their text, or, when the control could not
// hold it, names itself and says why, and is never written over.  The
// program goes on.
#include <windows.h>

#include <ole2.h>
#include <richole.h>

#include <chrono>
#include <filesystem>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "EditorWindowTest.h"
#include "richedit/RichEdit2Rules.h"
#include "richedit/RichOLE.h"
#include "store/NoteFile.h"
#include "support/ProcessMemory.h"
#include "support/RtfDepth.h"

namespace treskel::test {

namespace {

const std::string kHead = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ";

// Rich text whose groups nest as the control cannot take them, the text
// "x" among them; `depth` counts the document's own group.
struct Deep {
    std::string name;
    std::string rtf;
    int64_t depth;
    bool text;         // whether its "x" is text the note shows
    bool shown = true;  // groups never closed: the note is cut off
};

std::vector<Deep> DeepShapes() {
    auto nested = [](long n) { return kHead + Repeat("{", n) + "x" + Repeat("}", n) + "}"; };
    return {
        {"31 groups", nested(31), 32, true},
        {"40 groups", nested(40), 41, true},
        {"100 groups", nested(100), 101, true},
        {"10,000 groups", nested(10000), 10001, true},
        {"1,000,000 groups", nested(1000000), 1000001, true},
        {"100 groups never closed", kHead + Repeat("{", 100) + "x", 101, true, false},
        {"100 nested objects",
         kHead + Repeat("{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0105}{\\result ", 100) + "x" +
             Repeat("}}", 100) + "}",
         201, false},
        {"100,000 nested pictures", kHead + Repeat("{\\pict ", 100000) + "x" + Repeat("}", 100000) + "}", 100001, false},
    };
}

// Short indented paragraphs, as many as the 43 MB paste held.
std::string ManyParagraphs(long n) { return kHead + Repeat("\\pard\\li360\\fi-360 a short line\\par\r\n", n) + "}"; }

HGLOBAL GlobalText(const std::string& s) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, s.size() + 1);
    std::memcpy(GlobalLock(h), s.c_str(), s.size() + 1);
    GlobalUnlock(h);
    return h;
}

// Puts text on the clipboard in one format, as another program does.
void Offer(UINT format, const std::string& s) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(format, GlobalText(s));
    CloseClipboard();
}

UINT RtfFormat() { return RegisterClipboardFormatA("Rich Text Format"); }

std::string WithoutBreaks(std::string s) {
    std::string out;
    for (char c : s)
        if (c != '\r' && c != '\n') out += c;
    return out;
}

}  // namespace

class RichTextTest : public ClipboardEditorTest {
protected:
    // Ctrl+V, as the keyboard sends it; the message boxes it brought.
    std::vector<BoxRecord> Paste() {
        MessageBoxes().clear();
        CtrlKey('V');
        return MessageBoxes();
    }
    // The stored note of the first item of the open treskel.
    std::string StoredNote(int row) {
        TMemoryStream rtf;
        if (!W->Notes.Load(Record(W->TreeView->Items()->TopLevelItem(row))->Id, rtf, *W->lh5)) return "";
        return rtf.AsString();
    }
    // Starts on a treskel whose first item holds `rtf`, after another
    // start's treskel is gone.
    void StartOn(const std::string& caption, const std::string& rtf) {
        const std::string name = "Stored " + std::to_string(++starts_);
        WriteTreskel(name, {{caption, rtf}, {"After", kHead + "after\\par}"}});
        StartWindow();
        ASSERT_EQ(W->TabControl1->Tabs()->Get(W->TabControl1->TabIndex()), name);
    }
    void EndStart() {
        const std::string name = W->TabControl1->Tabs()->Get(W->TabControl1->TabIndex());
        CloseWindow();
        DeleteFileA(DataFile(name + ".tsx").c_str());
        std::filesystem::remove_all(DataFile(name + ".tsn"));
    }
    void ShowRow(int row) {
        W->TreeView->SetSelected(W->TreeView->Items()->TopLevelItem(row));
        PumpMessages();
    }

private:
    int starts_ = 0;
};

// Rich text nested deeper than the control takes is refused in words when
// Ctrl+V would paste it, whatever its groups are, and the note stays as it
// was; rich text as deep as the control takes is pasted.
TEST_F(RichTextTest, RichTextNestedTooDeepIsRefusedInWordsWhenPasted) {
    StartWithItem();
    TypeNote("Before ");
    const std::string before = NoteRtf();
    for (const Deep& deep : DeepShapes()) {
        Offer(RtfFormat(), deep.rtf);
        const std::vector<BoxRecord> boxes = Paste();
        ASSERT_EQ(boxes.size(), 1u) << deep.name;
        EXPECT_EQ(boxes[0].caption, "Error");
        const std::string why = "whose groups nest " + Thousands(deep.depth) + " deep; the editor takes groups at most " +
                                std::to_string(kRichEditDepth) + " deep.";
        EXPECT_EQ(boxes[0].text.rfind("The rich text on the clipboard cannot be pasted.\n\nIt is rich text of ", 0), 0u)
            << boxes[0].text;
        EXPECT_NE(boxes[0].text.find(why), std::string::npos) << boxes[0].text;
        EXPECT_EQ(NoteRtf(), before) << deep.name;
    }
    // Every road of a paste, and a drop, is refused the same way.
    const std::string why = "It is rich text of 1 MB whose groups nest 41 deep; the editor takes groups at most " +
                            std::to_string(kRichEditDepth) + " deep.";
    Offer(RtfFormat(), DeepShapes()[1].rtf);
    for (const auto& [road, paste] : PasteRoads()) {
        MessageBoxes().clear();
        paste();
        ASSERT_EQ(MessageBoxes().size(), 1u) << road;
        EXPECT_EQ(MessageBoxes()[0].text, "The rich text on the clipboard cannot be pasted.\n\n" + why) << road;
        EXPECT_EQ(NoteRtf(), before) << road;
    }
    ComPtr<IDataObject> dropped;
    ASSERT_EQ(OleGetClipboard(dropped.Put()), S_OK);
    CLIPFORMAT format = 0;
    MessageBoxes().clear();
    EXPECT_FALSE(SUCCEEDED(W->REdit->OleCallback()->QueryAcceptData(dropped.Get(), &format, RECO_DROP, TRUE, nullptr)));
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "The dropped rich text cannot be inserted.\n\n" + why);
    EXPECT_EQ(NoteRtf(), before);
    Offer(RtfFormat(), kHead + Repeat("{", kRichEditDepth - 1) + "pasted" + Repeat("}", kRichEditDepth - 1) + "}");
    EXPECT_TRUE(Paste().empty());
    EXPECT_EQ(WithoutBreaks(NoteText()), "Before pasted");
}

// A stored note nested deeper than the control takes, the first item's
// at start-up, is shown with its deep groups flattened, keeping their
// text; it is not written over, and the program goes on to the next item.
TEST_F(RichTextTest, AStoredNoteNestedTooDeepIsShownFlattenedAtStartUp) {
    for (const Deep& deep : DeepShapes()) {
        SCOPED_TRACE(deep.name);
        StartOn("Deep", deep.rtf);
        const std::string caption =
            deep.shown ? "" : "The note of \"Deep\" cannot be shown. The rich text is cut off: 101 of its groups are never closed.";
        EXPECT_EQ(W->REdit->Visible(), deep.shown);
        EXPECT_EQ(W->Panel2->Caption(), caption);
        if (deep.text && deep.shown) {
            EXPECT_EQ(WithoutBreaks(NoteText()), "x");
        }
        ShowRow(1);
        EXPECT_EQ(WithoutBreaks(NoteText()), "after");
        ShowRow(0);
        EXPECT_EQ(W->REdit->Visible(), deep.shown);
        EXPECT_EQ(W->Panel2->Caption(), caption);
        EXPECT_EQ(StoredNote(0), deep.rtf);
        EndStart();
    }
}

// 43 MB of rich text in 1,200,000 short indented paragraphs, or as many
// lines of text, are refused in words before the control reads them: the
// control would take more than the 2 GB it may (it took 3.7 GB and ended
// the process).  Rich text
// that would fit, pasted while the memory left is short, is refused too,
// and pasted once there is room.
TEST_F(RichTextTest, APasteTheEditorCannotHoldIsRefusedInWordsBeforeItIsRead) {
    StartWithItem();
    TypeNote("Before ");
    const std::string before = NoteRtf();
    const std::string huge = ManyParagraphs(1200000);
    ASSERT_GT(huge.size(), 42u << 20);
    Offer(RtfFormat(), huge);
    const uint64_t committed = CommittedBytes();
    const auto t0 = std::chrono::steady_clock::now();
    std::vector<BoxRecord> boxes = Paste();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
    std::printf("A paste of %zu bytes in 1,200,000 paragraphs refused in %lld ms, %+lld MB committed\n", huge.size(),
                static_cast<long long>(ms),
                (static_cast<long long>(CommittedBytes()) - static_cast<long long>(committed)) >> 20);
    // Refused in words: what it is, and the memory it would take.
    auto refused = [&](const std::vector<BoxRecord>& shown, const std::string& what) {
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text.rfind(what + ", which would take about ", 0), 0u) << shown[0].text;
        EXPECT_NE(shown[0].text.find(" GB of memory in the editor; the editor can take at most 2 GB."),
                  std::string::npos)
            << shown[0].text;
        EXPECT_EQ(NoteRtf(), before);
    };
    refused(boxes, "The rich text on the clipboard cannot be pasted.\n\nIt is rich text of 42 MB in 1,200,000 paragraphs");
    Offer(CF_TEXT, Repeat("a short line\r\n", 1200000));
    refused(Paste(), "The text on the clipboard cannot be pasted.\n\nIt is text of 16 MB in 1,200,000 paragraphs");

    // About 200 MB for the control, with 10 holes of 16 MB free.
    Offer(RtfFormat(), ManyParagraphs(50000));
    {
        AddressSpaceHoles tight(16u << 20, 10);
        ASSERT_EQ(tight.Holes(), 10);
        boxes = Paste();
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "The rich text on the clipboard cannot be pasted.\n\nThere is not enough memory for the editor to hold it.");
    EXPECT_EQ(NoteRtf(), before);
    EXPECT_TRUE(Paste().empty());
    EXPECT_GT(W->REdit->GetTextLen(), 600000);
}

// A stored note the control could not hold, the first item's at start-up,
// names itself and says why where it would be shown; the program goes on
// to the next item, and the note is never written over.  A note that
// fits, shown while memory is short, says so, and is shown with room.
TEST_F(RichTextTest, AStoredNoteTheEditorCannotHoldSaysWhyAndStaysAsStored) {
    const std::string huge = ManyParagraphs(1200000);
    StartOn("Huge", huge);
    EXPECT_FALSE(W->REdit->Visible());
    const std::string why = "The note of \"Huge\" cannot be shown. It has 1,200,000 paragraphs, which would take about ";
    EXPECT_EQ(W->Panel2->Caption().rfind(why, 0), 0u) << W->Panel2->Caption();
    EXPECT_NE(W->Panel2->Caption().find(" GB of memory in the editor; the editor can take at most 2 GB."),
              std::string::npos);
    ShowRow(1);
    EXPECT_TRUE(W->REdit->Visible());
    EXPECT_EQ(WithoutBreaks(NoteText()), "after");
    ShowRow(0);
    EXPECT_EQ(W->Panel2->Caption().rfind(why, 0), 0u);
    EXPECT_EQ(StoredNote(0), huge);
    EndStart();

    const std::string medium = ManyParagraphs(50000);
    StartOn("Medium", medium);
    ShowRow(1);
    {
        AddressSpaceHoles tight(16u << 20, 10);
        ShowRow(0);
    }
    EXPECT_FALSE(W->REdit->Visible());
    EXPECT_EQ(W->Panel2->Caption(),
              "The note of \"Medium\" cannot be shown. There is not enough memory for the editor to hold it.");
    ShowRow(1);
    ShowRow(0);
    EXPECT_TRUE(W->REdit->Visible());
    EXPECT_GT(W->REdit->GetTextLen(), 600000);
    EXPECT_EQ(StoredNote(0), medium);
    EndStart();
}

}  // namespace treskel::test
