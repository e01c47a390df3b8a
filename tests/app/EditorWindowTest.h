// The main window with an item whose note is in the editor, and the ways
// the tests type, select and click there.
#pragma once

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
    std::string Status() { return W->StatusBar->Panels()->Items(1)->Text(); }
    void Select(int start, int length) {
        W->REdit->SetSelStart(start);
        W->REdit->SetSelLength(length);
        PumpMessages();
    }
    // Ctrl and a letter, as the keyboard sends them: the key goes down with
    // Ctrl held and the message loop makes the control character of it.
    void CtrlKey(char letter) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
        SetKeyboardState(keys);
        PostMessageA(Edit(), WM_KEYDOWN, static_cast<WPARAM>(letter), 1);
        PumpMessages();
        PostMessageA(Edit(), WM_KEYUP, static_cast<WPARAM>(letter), 0xC0000001);
        PumpMessages();
        keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
        SetKeyboardState(keys);
    }
    TTreeNode* item = nullptr;
};

}  // namespace treskel::test
