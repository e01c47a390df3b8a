// Item commands of the main window: new items, sub-items, links and
// clones, removal, locking, expansion, promotion, sorting, the caption
// searches and the item information.
#include "app/LinkInformation.h"
#include "app/SearchDialog.h"
#include "store/TreskelArchive.h"
#include "app/frmMain.h"
#include "platform/FileSys.h"

namespace treskel {

namespace {
// Images of ExpColButton.
constexpr int GlyphExpanded = 5;
constexpr int GlyphCollapsed = 9;

constexpr const char* kNewCaption = "New Item";
constexpr const char* kPasswordTitle = "Password";
constexpr const char* kPasswordPrompt = "Enter the password for this item (10 chars. max)";
// Why the prompt comes back empty, and why an item stays locked.
constexpr const char* kPasswordTooLong = "The password typed has %d characters; a password has at most 10.";
// A search without a match says so; the selection stays.
constexpr const char* kNoItemFound = "\"%s\" was not found in any item's caption.";
constexpr const char* kNoSubItemFound = "\"%s\" was not found in the captions of the sub-items.";
constexpr const char* kPasswordWrong =
    "This is not the item's password (letter case counts), so the item stays locked.";

bool IsLinkNode(TTreeNode* node) {
    const TItemData* r = AsItem(node)->Data();
    return r != nullptr && r->IsLink != 0;
}

// A tree file may carry the lock image without the flag or the other way
// round; either bars changes to the item.
bool IsLockedNode(TTreeNode* node) {
    const TItemData* r = AsItem(node)->Data();
    return (r != nullptr && r->Locked != 0) || node->ImageIndex() == ImgLocked;
}

// The image of an item that now has sub-items; a locked item keeps its own.
void MarkAsParent(TTreeNode* node) {
    if (IsLockedNode(node)) return;
    AsItem(node)->SetImageIndex(IsLinkNode(node) ? ImgLinkParent : ImgParent);
}

// The image of an unlocked item by what it is and holds.
int PlainImage(TTreeNode* node) {
    const bool parent = node->Count() > 0;
    if (IsLinkNode(node)) return parent ? ImgLinkParent : ImgLink;
    return parent ? ImgParent : ImgItem;
}

void Tell(const std::string& text, const std::string& caption, UINT icon) {
    Application->MessageBox(text, caption, MB_OK | icon);
}

// Removes the notes of the items below `node`, links excepted (their note
// is their origin's), and releases their records.
void DeleteSubItemNotes(TNoteStore& notes, TTreeNode* node) {
    TItemNode* top = AsItem(node);
    ForEachInBranch(top, [&](TItemNode* n) {
        if (n == top) return;
        if (const TItemData* r = n->Data(); r != nullptr && r->IsLink == 0)
            notes.Remove(r->Id);
        n->SetData(nullptr);
    });
}

// True when the caption holds the text; without matching case both are
// compared upper-cased (letters a to z).
bool CaptionMatches(const std::string& caption, const std::string& text, bool matchCase) {
    if (matchCase) return caption.find(text) != std::string::npos;
    return UpperCase(caption).find(UpperCase(text)) != std::string::npos;
}

// The descending order of SortZA: the negated locale-aware comparison
// that ignores letter case.
int CompareDescending(TTreeNode* a, TTreeNode* b) {
    const std::string x = a->Text(), y = b->Text();
    int c = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, x.c_str(), static_cast<int>(x.size()), y.c_str(),
                           static_cast<int>(y.size()));
    return -(c - CSTR_EQUAL);
}
}  // namespace

// ------------------------------------------------------------ helpers

namespace {
// What the commands need of the window besides its handlers.
struct ItemCommands {
    TfrmTreskel& w;

    TTreeNode* Selection() const {
        TTreeNode* node = w.TreeView->Selected();
        return node != nullptr && w.ItemData(node) != nullptr ? node : nullptr;
    }

    // The note being left is saved before the selection moves.  False
    // when it could not be: the user was told, the typed text stays in the
    // editor, and the command does nothing more.
    bool LeaveNote() { return w.SaveLeavingNote(); }

    void Select(TTreeNode* node) {
        if (LeaveNote()) w.TreeView->SetSelected(node);
    }

    // A record with the new-item defaults and a fresh id.
    std::unique_ptr<TItemData> NewRecord() { return w.NewItemRecord(false, NewItemId(w.ItemTree(), w.Notes)); }

    // Gives a new plain item its record, image and compression marker.
    void SetUpItem(TTreeNode* node, std::unique_ptr<TItemData> record) {
        AsItem(node)->SetData(std::move(record));
        AsItem(node)->SetImageIndex(ImgItem);
        node->SetStateIndex(3 - w.CompressionSetting());
    }

    // The empty editor of a new item: the program's clearing is no edit.
    void ClearEditor() {
        w.REdit->Lines()->Clear();
        w.NoteModified = false;
    }

    // Asks for a password of at most 10 characters; empty when cancelled.
    // A longer one is asked again, after saying why.
    std::string AskPassword() {
        for (;;) {
            std::string entry;
            if (!PasswordQuery(kPasswordTitle, kPasswordPrompt, entry)) return {};
            if (static_cast<int>(entry.size()) <= MaxPasswordLength) return entry;
            Tell(Format(kPasswordTooLong, static_cast<int>(entry.size())), kPasswordTitle, MB_ICONEXCLAMATION);
        }
    }

    void Search(bool belowSelection) {
        TTreeNode* from = Selection();
        if (belowSelection ? from == nullptr : w.ItemTree().Count() == 0) return;
        TfrmSearch* dialog = SearchForm();
        if (dialog->ShowModal() != mrOk) return;
        const std::string text = dialog->txtSearch->Text();
        const bool matchCase = dialog->chkMatchCase->Checked();
        if (text.empty()) return;
        TItemNode* found = nullptr;
        auto visit = [&](TItemNode* n) {
            if (found == nullptr && CaptionMatches(n->Text(), text, matchCase)) found = n;
        };
        if (belowSelection) {
            TItemNode* top = AsItem(from);
            ForEachInBranch(top, [&](TItemNode* n) {
                if (n != top) visit(n);
            });
        } else {
            ForEachItem(w.ItemTree(), visit);
        }
        if (found != nullptr)
            Select(static_cast<TTreeItemNode*>(found));
        else
            Tell(Format(belowSelection ? kNoSubItemFound : kNoItemFound, text.c_str()), "Search", MB_ICONINFORMATION);
    }
};
}  // namespace

// ------------------------------------------------------------ new items

void TfrmTreskel::NewItemExecute(TObject*) {
    ItemCommands c{*this};
    if (!c.LeaveNote()) return;
    EnableByTag(TagNeedsItem);
    Panel2->SetEnabled(true);
    auto record = c.NewRecord();
    TTreeNode* node = TreeView->Items()->Add(TreeView->Selected(), kNewCaption);
    c.SetUpItem(node, std::move(record));
    c.Select(node);
    c.ClearEditor();
    node->EditText();
}

void TfrmTreskel::NewRootItemExecute(TObject*) {
    ItemCommands c{*this};
    if (!c.LeaveNote()) return;
    EnableByTag(TagNeedsItem);
    Panel2->SetEnabled(true);
    auto record = c.NewRecord();
    TTreeNode* node = TreeView->Items()->Add(nullptr, kNewCaption);
    c.SetUpItem(node, std::move(record));
    c.Select(node);
    c.ClearEditor();
    node->EditText();
}

void TfrmTreskel::NewSubItemExecute(TObject*) {
    ItemCommands c{*this};
    TTreeNode* sel = c.Selection();
    if (sel == nullptr) return;
    if (IsLockedNode(sel)) {
        Tell("No sub-items can be added to a locked item.", "Locked", MB_ICONEXCLAMATION);
        return;
    }
    if (!c.LeaveNote()) return;
    auto record = c.NewRecord();
    MarkAsParent(sel);
    TTreeNode* node = TreeView->Items()->AddChildFirst(sel, kNewCaption);
    c.SetUpItem(node, std::move(record));
    sel->Expand(false);
    c.Select(node);
    ExpColButton->SetImageIndex(GlyphCollapsed);
    node->EditText();
}

void TfrmTreskel::CreateLinkExecute(TObject*) {
    ItemCommands c{*this};
    TTreeNode* sel = c.Selection();
    if (sel == nullptr) return;
    if (IsLockedNode(sel)) {
        Tell("No links can be added to a locked item.", "Locked", MB_ICONEXCLAMATION);
        return;
    }
    if (!c.LeaveNote()) return;
    // A link of a link shares the same origin.
    auto record = NewItemRecord(true, ItemData(sel)->Id);
    MarkAsParent(sel);
    TTreeNode* link = TreeView->Items()->AddChildFirst(sel, sel->Text());
    AsItem(link)->SetData(std::move(record));
    sel->Expand(false);
    AsItem(link)->SetImageIndex(ImgLink);
    c.Select(link);
    ExpColButton->SetImageIndex(GlyphCollapsed);
}

void TfrmTreskel::CloneNoteExecute(TObject*) {
    ItemCommands c{*this};
    TTreeNode* sel = c.Selection();
    if (sel == nullptr) return;
    // A link's note is its origin's: a locked origin's note is not
    // copied out into a clone that anyone can read.
    TItemNode* origin = IsLinkNode(sel) ? FindLinkOrigin(ItemTree(), AsItem(sel)) : nullptr;
    if (IsLockedNode(sel) || (origin != nullptr && IsLockedNode(static_cast<TTreeItemNode*>(origin)))) {
        Tell("Locked items cannot be cloned.", "Locked", MB_ICONEXCLAMATION);
        return;
    }
    auto record = c.NewRecord();
    // The note as last saved; a link's file is its origin's.  Copied
    // before the tree changes: a copy that raises leaves it as it was.
    Notes.Copy(ItemData(sel)->Id, record->Id);
    MarkAsParent(sel);
    TTreeNode* clone = TreeView->Items()->AddChildFirst(sel, "Copy of " + sel->Text());
    AsItem(clone)->SetData(std::move(record));
    sel->Expand(false);
    AsItem(clone)->SetImageIndex(ImgItem);
    c.Select(clone);
    ExpColButton->SetImageIndex(GlyphCollapsed);
    clone->EditText();
}

// ------------------------------------------------------------ removal

void TfrmTreskel::RemoveItemExecute(TObject*) {
    ItemCommands c{*this};
    TTreeNode* sel = c.Selection();
    if (sel == nullptr) return;
    if (CheckLocked(AsItem(sel))) {
        Tell("The item is locked or a sub item is locked.  Locked\nitems cannot be deleted until they are unlocked.",
             "Error", MB_ICONSTOP);
        return;
    }
    const std::string caption = sel->Text();
    const std::string question =
        sel->Count() == 0
            ? "Are you sure you want to delete '" + caption + "' from the treskel?"
            : "Deleting '" + caption + "' will remove its children as well.\nAre you sure you want to do this?";
    if (Application->MessageBox(question, "Delete Treskel Item", MB_YESNO | MB_ICONQUESTION) != IDYES) return;

    // A change to the note of the item that goes is dropped: deleting the
    // node moves the selection, which would otherwise write it again, or
    // under the next item.
    NoteModified = false;
    const TItemData* record = ItemData(sel);
    if (record->IsLink == 0) Notes.Remove(record->Id);
    if (sel->Count() > 0) DeleteSubItemNotes(Notes, sel);
    TTreeNode* parent = sel->Parent();
    if (parent != nullptr && parent->Count() == 1 && !IsLockedNode(parent))
        AsItem(parent)->SetImageIndex(parent->ImageIndex() == ImgLinkParent ? ImgLink : ImgItem);
    // Released before the node goes: nothing can read it from here on.
    AsItem(sel)->SetData(nullptr);
    TreeView->Items()->Delete(sel);

    if (TreeView->Items()->Count() > 0) {
        ShowItemNote(TreeView->Selected());
    } else {
        c.ClearEditor();
        DisableByTag(TagNeedsItem);
    }
}

// ------------------------------------------------------------ lock

void TfrmTreskel::LockItemExecute(TObject*) {
    ItemCommands c{*this};
    TTreeNode* sel = c.Selection();
    if (sel == nullptr) return;
    TItemData* record = ItemData(sel);
    const std::string entry = c.AskPassword();
    if (entry.empty()) {
        // The check button toggled itself when clicked; it shows the lock.
        LockButton->SetDown(record->Locked != 0);
        return;
    }
    if (record->Locked != 0) {
        if (entry != record->Password) {
            LockButton->SetDown(true);
            Tell(kPasswordWrong, "Locked", MB_ICONEXCLAMATION);
            return;
        }
        record->Password.clear();
        record->Locked = 0;
        AsItem(sel)->SetImageIndex(PlainImage(sel));
        REdit->SetVisible(true);
        Panel2->SetEnabled(true);
        ShowItemNote(sel);
    } else {
        // What was typed stays the item's before the editor goes; what
        // cannot be saved keeps the item open with it.
        if (!c.LeaveNote()) {
            LockButton->SetDown(false);  // it toggled itself when clicked
            return;
        }
        sel->Collapse(true);
        SetItemPassword(AsItem(sel), entry);
        AsItem(sel)->SetImageIndex(ImgLocked);
        LockButton->SetDown(true);
        REdit->SetVisible(false);
        Panel2->SetCaption("Protected");
        Panel2->SetEnabled(false);
    }
    TreeView->Invalidate();
}

// ------------------------------------------------------------ expansion, origin, promotion

void TfrmTreskel::ExpandItemExecute(TObject*) {
    ItemCommands c{*this};
    TTreeNode* sel = c.Selection();
    if (sel == nullptr || sel->Count() == 0) return;
    if (sel->Expanded())
        sel->Collapse(true);
    else
        sel->Expand(true);
    // A locked item refuses to open: the button shows what happened.
    ExpColButton->SetImageIndex(sel->Expanded() ? GlyphExpanded : GlyphCollapsed);
}

void TfrmTreskel::LinkOrigin1Execute(TObject*) {
    ItemCommands c{*this};
    TTreeNode* sel = c.Selection();
    if (sel == nullptr) return;
    if (TItemNode* origin = FindLinkOrigin(ItemTree(), AsItem(sel))) c.Select(static_cast<TTreeItemNode*>(origin));
}

void TfrmTreskel::PromoteItemExecute(TObject*) {
    ItemCommands c{*this};
    TTreeNode* sel = c.Selection();
    if (sel == nullptr || sel->Parent() == nullptr) return;
    TTreeNode* parent = sel->Parent();
    // Saved first, so that the record that moves carries the note's CRC.
    if (!c.LeaveNote()) return;
    CutItemToStream(sel);
    if (IsLockedNode(parent)) AsItem(parent)->SetImageIndex(ImgLocked);
    TTreeNode* node = TreeView->Items()->Insert(parent, "");
    ReadItemStream(node);
    // Locked items of the moved branch stay closed.
    ForEachInBranch(AsItem(node), [](TItemNode* n) {
        auto* t = static_cast<TTreeItemNode*>(n);
        if (IsLockedNode(t) && t->Expanded()) t->Collapse(true);
    });
    c.Select(node);
}

// ------------------------------------------------------------ sorting, search

void TfrmTreskel::SortAZExecute(TObject*) { TreeView->AlphaSort(true); }

void TfrmTreskel::SortZAExecute(TObject*) { TreeView->CustomSort(CompareDescending, true); }

void TfrmTreskel::SearchItemsExecute(TObject*) { ItemCommands{*this}.Search(false); }

void TfrmTreskel::SearchSubItemsExecute(TObject*) { ItemCommands{*this}.Search(true); }

// ------------------------------------------------------------ information, pop-up menu

void TfrmTreskel::DisplayItemInfoExecute(TObject*) {
    ItemCommands c{*this};
    TTreeNode* sel = c.Selection();
    if (sel == nullptr) return;
    // Freed when this returns: the modal loop leaves a dialog that closes
    // itself to its caller.
    OwnedPtr<TfrmItemInfo> info(Create<TfrmItemInfo>(this));
    info->InitializeForm();
    info->Edit1->SetText(sel->Text());
    info->Edit3->SetText(IntToStr(sel->Count()));
    info->ItemData = ItemData(sel);
    info->ShowModal();
}

void TfrmTreskel::PopupMenu2Popup(TObject*) {
    TTreeNode* sel = TreeView->Selected();
    PromoteItem->SetEnabled(sel != nullptr && sel->Parent() != nullptr);
}

}  // namespace treskel
