// A fixture that runs the real main window on a private data directory and
// a private registry key.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/frmMain.h"
#include "support/GuiTest.h"
#include "support/ModalDialogs.h"
#include "support/TestEnv.h"

namespace treskel::test {

// A note as the editor holds a line of text.
inline std::string SmallRtf(const std::string& text) { return "{\\rtf1\\ansi " + text + "\\par}"; }

// A top item of a treskel written before the window starts.
struct NoteItem {
    std::string caption;
    std::string rtf;  // empty: no note file
    int subItems = 0;  // this many small sub-items follow it
};

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates and shows the window (its first showing loads the tabs).
    void StartWindow();
    // Closes the window as the user does (saving) and frees it, after its
    // dialogs, as the program ends.
    void CloseWindow();
    // Frees the dialogs the window made on first use (they keep their
    // places when they go).
    void FreeDialogs();
    // Frees the window without closing it: nothing is saved, and the data
    // directory is left as a killed program leaves it.
    void DropWindow();
    void Restart() {
        CloseWindow();
        StartWindow();
    }

    // The data directory, ending in a separator.
    const std::string& DataDir() const { return data_.Path(); }
    std::string DataFile(const std::string& name) const { return data_.File(name); }
    // Files of the data directory and the loose notes of its note folders
    // ("Work.tsn/12"), sorted by name; the tree beside the notes, written
    // on a timer, is left out.
    std::vector<std::string> DataFiles() const;
    // Where the open treskel keeps the loose note of this id.
    std::string LooseNote(int32_t id) const;

    // A treskel of top items written as the program keeps one, before the
    // window starts, in `dataPath` (none: the data directory).
    void WriteTreskel(const std::string& name, const std::vector<NoteItem>& items, std::string dataPath = "");
    // A treskel of this shape ((level, open) in pre-order, see TreeShape)
    // written the same way: item i captioned "Item i", without notes, every
    // item with sub-items open as the shape says.
    void WriteShapedTreskel(const std::string& name, const std::vector<std::pair<int, bool>>& shape);
    // Makes a treskel and enters it, as the user does.
    void NewTreskel(const std::string& name);
    // Selects a tab as a click on it does.
    void SelectTab(int index);
    // The index of the tab with this caption, or -1.
    int TabIndexOf(const std::string& caption);
    // A click on a tab, through the queue; true once the tab is the current
    // one, false when it is not after `ms` milliseconds.
    bool ClickTab(int index, int ms = 5000);
    // Runs an action as its button does.
    void Run(TAction* action);
    // The node of the first item with this caption, in pre-order.
    TTreeNode* Node(const std::string& caption);
    std::vector<std::string> TopCaptions();
    TItemData* Record(TTreeNode* node);
    // A link to `origin` with this caption under `parent` (none: the last
    // top item), as dragging a link leaves one.
    TTreeNode* PlaceLink(TTreeNode* origin, const std::string& caption, TTreeNode* parent = nullptr);
    // Gives the editor the focus (as a click does) and types the text.
    void TypeNote(const std::string& text);
    // The editor's text.
    std::string NoteText();
    // The editor's text without the line break that ends its last
    // paragraph.
    std::string Shown();

    HWND Tree() { return W->TreeView->Handle(); }
    // The text of the hint the tooltip shows (at most 80 characters: the
    // tooltip gives back no more).
    static std::string TooltipText();
    // The item the tree's window has selected.
    HTREEITEM WindowSelection();
    static TPoint Center(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
    // The whole click waits in the queue: the tree follows a press with
    // the mouse until the button is up.
    void ClickNode(TTreeNode* n);
    // Presses an office button of the editor's tool bar with the mouse; a
    // button that drops a menu down has `item` chosen from it.
    void PressOfficeButton(TQclOfficeButton* b, TMenuItem* item = nullptr);
    // A click on a button of a tool bar.
    void ClickTool(TToolButton* button);
    // The same with the mouse itself, through the system's input (a button
    // named as the layout names it), and a click of the mouse at a point
    // of a window's client area.
    void MouseClickTool(TToolButton* button);
    void MouseClickTool(const std::string& name);
    void MouseClickAt(HWND wnd, TPoint p);
    // A choice from a combo's list, as the mouse makes it.
    void Choose(TCustomComboBox* box, const std::string& text);

    TfrmTreskel* W = nullptr;

private:
    TempDir data_;
    OwnedPtr<TfrmTreskel> window_;
    int32_t nextId_ = 41000000;
};

// The main window whose modal dialogs the test answers through `dialogs_`;
// an answer left over (a dialog that never came) fails the test.
class MainWindowDialogsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        dialogs_.Install();
    }
    void TearDown() override {
        EXPECT_FALSE(dialogs_.Pending()) << "a dialog the test expected did not come";
        dialogs_.Remove();
        if (testsAnswerPrompts_) SetInputQueryResponder(std::move(testsAnswerPrompts_));
        MainWindowTest::TearDown();
    }

    // From here on the program's input prompts show themselves; the next
    // one has `text` typed on the keyboard over the text it offers, then
    // Enter.  Its caption and the text it offered go to `prompts_`.
    void TypeIntoNextPrompt(const std::wstring& text);
    struct Prompt {
        std::string caption;
        std::string offered;
    };
    std::vector<Prompt> prompts_;

    ModalDialogs dialogs_;

private:
    InputQueryResponder testsAnswerPrompts_;
};

}  // namespace treskel::test
