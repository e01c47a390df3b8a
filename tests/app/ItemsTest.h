// The main window with the dialogs of its item commands answered as the
// user answers them, for the tests of the item commands.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <optional>

#include "MainWindowTest.h"
#include "support/ModalDialogs.h"
#include "store/CRC32c.h"
#include "app/LinkInformation.h"
#include "app/SearchDialog.h"
#include "store/TreskelArchive.h"
#include "platform/FileSys.h"

namespace treskel::test {

inline void Click(TWinControl* button) { SendMessageA(button->Handle(), BM_CLICK, 0, 0); }

inline void Type(TWinControl* edit, const std::string& text) {
    for (unsigned char ch : text) SendMessageA(edit->Handle(), WM_CHAR, ch, 1);
}

inline bool Contains(const std::vector<unsigned char>& bytes, const std::string& text) {
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

// What the search dialog held when it came up.
struct SearchSeen {
    std::string text;
    bool matchCase = false;
    bool editFocused = false;
};

// What the item information dialog showed.
struct InfoSeen {
    std::string caption, name, count, fileName;
    bool locked = false, link = false;
};

class Items : public MainWindowDialogsTest {
protected:
    // The window with an empty treskel entered; notes are stored
    // uncompressed so that their text can be found in the files.
    void Start() {
        StartWindow();
        W->IniCtrl->WriteInteger("common", "compression", 0);
        NewTreskel("Work");
    }

    // Runs a creating command and gives the new item its caption as the
    // user does, in the in-place editor the command opened.
    TTreeNode* Add(TAction* command, const std::string& caption) {
        Run(command);
        TTreeNode* node = W->TreeView->Selected();
        EXPECT_NE(node, nullptr);
        if (node == nullptr) return nullptr;
        Rename(node, caption);
        return node;
    }
    TTreeNode* AddUnder(TTreeNode* parent, TAction* command, const std::string& caption) {
        W->TreeView->SetSelected(parent);
        return Add(command, caption);
    }
    void Rename(TTreeNode* node, const std::string& caption) {
        HWND edit = reinterpret_cast<HWND>(SendMessageA(W->TreeView->Handle(), TVM_GETEDITCONTROL, 0, 0));
        if (edit != nullptr) {
            SetWindowTextA(edit, caption.c_str());
            node->EndEdit(false);
            PumpMessages();
        } else {
            node->SetText(caption);
        }
        EXPECT_EQ(node->Text(), caption);
    }
    void Select(TTreeNode* node) {
        W->TreeView->SetSelected(node);
        PumpMessages();
    }

    // Puts text into the editor as the note of `node` and saves it.
    void SaveNote(TTreeNode* node, const std::string& text) {
        Select(node);
        W->REdit->SetText(text);
        W->SaveItemNote(node);
        W->NoteModified = false;
    }
    std::string NoteFile(TTreeNode* node) { return LooseNote(Record(node)->Id); }
    std::string NoteFile(int32_t id) { return LooseNote(id); }
    bool FileHolds(int32_t id, const std::string& text) { return Contains(ReadAll(NoteFile(id)), text); }
    std::string Editor() {
        std::string t = NoteText();
        while (!t.empty() && (t.back() == '\r' || t.back() == '\n')) t.pop_back();
        return t;
    }
    std::vector<std::string> Captions(TTreeNode* parent) {
        std::vector<std::string> v;
        if (parent == nullptr) return TopCaptions();
        for (int i = 0; i < parent->Count(); ++i) v.push_back(parent->Item(i)->Text());
        return v;
    }
    bool Locked(TTreeNode* node) { return Record(node)->Locked != 0; }

    // The next password prompts are answered with these entries, in order.
    void Passwords(std::initializer_list<std::string> entries) {
        for (const std::string& e : entries) AnswerNextQuery(e);
    }
    void Lock(TTreeNode* node, const std::string& password) {
        Select(node);
        Passwords({password});
        Run(W->LockItem);
    }

    // The next search dialog is answered with this text and, when given,
    // this "Match case" state; OK is clicked.
    void AnswerSearch(const std::string& text, std::optional<bool> matchCase = std::nullopt) {
        dialogs_.Queue([this, text, matchCase](TCustomForm& f) {
            auto* s = dynamic_cast<TfrmSearch*>(&f);
            ASSERT_NE(s, nullptr) << f.ClassName();
            searchSeen_.push_back({s->txtSearch->Text(), s->chkMatchCase->Checked(),
                                   GetFocus() == s->txtSearch->Handle()});
            Type(s->txtSearch, text);
            if (matchCase && *matchCase != s->chkMatchCase->Checked()) Click(s->chkMatchCase);
            Click(s->OKBtn);
        });
    }
    void Search(TAction* command, const std::string& text, std::optional<bool> matchCase = std::nullopt) {
        AnswerSearch(text, matchCase);
        Run(command);
    }

    // Runs "Item Information" on `node` and reads the dialog.
    InfoSeen ItemInfo(TTreeNode* node) {
        InfoSeen seen;
        Select(node);
        dialogs_.Queue([&seen](TCustomForm& f) {
            auto* info = dynamic_cast<TfrmItemInfo*>(&f);
            ASSERT_NE(info, nullptr) << f.ClassName();
            seen = {info->Caption(),          info->Edit1->Text(),
                    info->Edit3->Text(),      info->Edit4->Text(),
                    info->CheckBox1->Checked(), info->CheckBox2->Checked()};
            Click(info->OKBtn);
        });
        Run(W->DisplayItemInfo);
        return seen;
    }

    std::vector<TAction*> ItemActions() {
        return {W->NewSubItem, W->RemoveItem, W->LockItem,       W->ExpandItem, W->SearchItems,
                W->SortAZ,     W->SortZA,     W->CreateLink,     W->LinkOrigin1, W->SearchSubItems,
                W->CloneNote,  W->DisplayItemInfo, W->SearchText};
    }
    std::vector<TControl*> ItemControls() {
        return {W->ToolBar3,    W->Panel2,       W->ToolBar2,     W->BoldButton,  W->ItalicButton,
                W->UnderlineButton, W->BulletButton, W->UndoButton, W->LeftButton, W->CenterButton,
                W->RightButton, W->PasteButton};
    }

    std::vector<SearchSeen> searchSeen_;
};

}  // namespace treskel::test
