// The main window with an item whose note is in the editor, and the ways
// the tests type, select and click there.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "MainWindowTest.h"
#include "store/ItemData.h"

namespace treskel::test {

class EditorTest : public MainWindowTest {
protected:
    // An item as the item commands make it, so that these tests need
    // nothing but the editor's side.
    TTreeNode* AddItem(const std::string& caption) {
        TTreeItemNode* n = W->ItemTree().AddTop();
        n->SetText(caption);
        n->SetData(W->NewItemRecord(false, NewItemId(W->ItemTree(), W->Notes)));
        n->SetImageIndex(ImgItem);
        W->EnableByTag(TagNeedsItem);
        return n;
    }
    void SelectItem(TTreeNode* node) {
        W->TreeView->SetSelected(node);
        PumpMessages();
    }
    // A window with a treskel and one selected item.
    void StartWithItem() {
        StartWindow();
        NewTreskel("Notes");
        item = AddItem("First");
        SelectItem(item);
    }
    HWND Edit() { return W->REdit->Handle(); }
    // The note as the editor would save it.
    std::string NoteRtf() {
        TMemoryStream s;
        W->REdit->Lines()->SaveToStream(s);
        return s.AsString();
    }
    // How many pictures the note holds.
    size_t Pictures() {
        const std::string rtf = NoteRtf();
        size_t n = 0;
        for (size_t at = rtf.find("{\\pict"); at != std::string::npos; at = rtf.find("{\\pict", at + 1)) ++n;
        return n;
    }
    std::string Status() { return W->StatusBar->Panels()->Items(1)->Text(); }
    void Select(int start, int length) {
        W->REdit->SetSelStart(start);
        W->REdit->SetSelLength(length);
        PumpMessages();
    }
    // Ctrl and a letter, as the keyboard sends them: the key goes down with
    // Ctrl held and the message loop makes the control character of it.
    void CtrlKey(char letter) { KeyWith(VK_CONTROL, static_cast<WORD>(letter)); }
    // A key pressed with Ctrl or Shift (`modifier`, or none: 0) held, the
    // same way.
    void KeyWith(BYTE modifier, WORD key) {
        const BYTE left = modifier == VK_CONTROL ? VK_LCONTROL : VK_LSHIFT;
        BYTE keys[256];
        GetKeyboardState(keys);
        if (modifier != 0) keys[modifier] = keys[left] = 0x80;
        SetKeyboardState(keys);
        PostMessageA(Edit(), WM_KEYDOWN, key, 1);
        PumpMessages();
        PostMessageA(Edit(), WM_KEYUP, key, 0xC0000001);
        PumpMessages();
        if (modifier != 0) keys[modifier] = keys[left] = 0;
        SetKeyboardState(keys);
    }
    // An item of the editor's menu chosen, as a right click shows it.
    void ChooseFromEditorMenu(TMenuItem* item) {
        const WORD command = item->Command();
        TPopupMenu::TestChooser = [command](TPopupMenu*) -> WORD { return command; };
        POINT at{20, 20};
        ClientToScreen(Edit(), &at);
        SendMessageA(Edit(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Edit()), MAKELPARAM(at.x, at.y));
        TPopupMenu::TestChooser = nullptr;
        PumpMessages();
    }
    // The roads of a paste: Ctrl+V, Shift+Insert, the Paste command and
    // the editor's menu, by name.
    std::vector<std::pair<std::string, std::function<void()>>> PasteRoads() {
        TMenuItem* menuPaste = W->PopupMenu1->Items()->Items(2);
        EXPECT_EQ(menuPaste->Action(), W->Paste);
        return {
            {"Ctrl+V", [this] { CtrlKey('V'); }},
            {"Shift+Insert", [this] { KeyWith(VK_SHIFT, VK_INSERT); }},
            {"the Paste command", [this] { Run(W->Paste); }},
            {"the editor's menu", [this, menuPaste] { ChooseFromEditorMenu(menuPaste); }},
        };
    }
    TTreeNode* item = nullptr;
};

// The editor of tests that paste: the clipboard is left empty.
class ClipboardEditorTest : public EditorTest {
protected:
    void TearDown() override {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        EditorTest::TearDown();
    }
};

}  // namespace treskel::test
