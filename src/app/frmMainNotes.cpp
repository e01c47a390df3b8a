// The main window's side of note files and treskels: saving the note in
// the editor, showing a note, the tabs made from the archives, and opening
// and saving the treskel of a tab.
#include "store/TreeFile.h"
#include "store/TreskelNames.h"
#include "app/frmMain.h"

namespace treskel {

namespace {
// How long after a change of the tree it is written beside the loose
// notes: changes made together go in one write.
constexpr unsigned kTreeSaveDelay = 300;
// How long after a failed write of the tree it is tried again: once the way
// is clear (a data directory back in its place), the tree is on disk
// without waiting for the next change.
constexpr unsigned kTreeRetryDelay = 2000;

// Shows the hourglass for a scope.
class HourGlass {
public:
    HourGlass() : old_(EnsureScreen()->Cursor()) { Screen->SetCursor(crHourGlass); }
    ~HourGlass() { Screen->SetCursor(old_); }
    HourGlass(const HourGlass&) = delete;
    HourGlass& operator=(const HourGlass&) = delete;

private:
    TCursor old_;
};

}  // namespace

std::string TSysInfoFileOps::NewTempFile() {
    std::string name = sysInfo_ != nullptr ? sysInfo_->GetTempFileName() : std::string();
    if (name.empty()) throw EFCreateError("Cannot create a temporary file in " + QclGetTempPath() + ".");
    return name;
}

TItemData* TfrmTreskel::ItemData(TTreeNode* node) const { return node != nullptr ? AsItem(node)->Data() : nullptr; }

std::unique_ptr<TItemData> TfrmTreskel::NewItemRecord(bool link, int32_t id) {
    auto r = std::make_unique<TItemData>();
    r->Locked = 0;
    r->IsLink = link ? 1 : 0;
    r->Id = id;
    r->Compression = static_cast<uint8_t>(CompressionSetting());
    r->Crc = -1;
    r->ColourIndex = 0;
    r->Style = 0;
    r->FontSize = static_cast<uint8_t>(std::clamp(TreeView->Font()->Size(), 0, 255));
    return r;
}

void TfrmTreskel::SaveItemNote(TTreeNode* node) {
    TItemData* record = ItemData(node);
    if (record == nullptr) return;
    HourGlass wait;
    int level = record->Compression;
    if (IniCtrl->ReadBool("common", "updated", false)) {
        level = CompressionSetting();
        node->SetStateIndex(3 - level);
    }
    TMemoryStream rtf;
    REdit->Lines()->SaveToStream(rtf);
    noteBound_.Counted(rtf.Size());
    LearnNoteWriter(std::string_view(reinterpret_cast<const char*>(rtf.Memory()), static_cast<size_t>(rtf.Size())));
    rtf.SetPosition(0);
    uint32_t crc = Notes.Save(record->Id, level, node->Text(), rtf, *lh5);
    NoteModified = false;
    record->Crc = static_cast<int32_t>(crc);
    storeFailureTold_ = false;
}

namespace {
// Marks a scope in which the editor is filled by the program.
class ShowingNote {
public:
    explicit ShowingNote(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~ShowingNote() { flag_ = old_; }
    ShowingNote(const ShowingNote&) = delete;
    ShowingNote& operator=(const ShowingNote&) = delete;

private:
    bool& flag_;
    bool old_;
};
}  // namespace

void TfrmTreskel::ShowNoteProblem(const std::string& caption) {
    ShowingNote showing(showingNote_);
    shownNoteId_.reset();
    REdit->Lines()->Clear();
    REdit->SetVisible(false);
    Panel2->SetCaption(caption);
    Panel2->SetEnabled(false);
    NoteModified = false;
}

void TfrmTreskel::ShowItemNote(TTreeNode* node) {
    if (node == nullptr) node = TreeView->Items()->GetFirstNode();
    TItemData* record = ItemData(node);
    if (record == nullptr) return;
    ShowingNote showing(showingNote_);
    shownNoteId_.reset();
    if (record->Locked) {
        Panel2->SetCaption("Protected");
        REdit->SetVisible(false);
        Panel2->SetEnabled(false);
        LockButton->SetDown(true);
        return;
    }
    Panel2->SetCaption("");
    Panel2->SetEnabled(true);
    REdit->SetVisible(true);
    LockButton->SetDown(false);

    TTreeNode* noteNode = node;
    if (record->IsLink) {
        TItemNode* origin = FindLinkOrigin(ItemTree(), AsItem(node));
        if (origin == nullptr) {
            Panel2->SetCaption("Link Origin Deleted");
            REdit->SetVisible(false);
            Panel2->SetEnabled(false);
            return;
        }
        if (origin->Data() != nullptr && origin->Data()->Locked) {
            Panel2->SetCaption("Protected");
            REdit->SetVisible(false);
            Panel2->SetEnabled(false);
            LockButton->SetDown(true);
            return;
        }
        noteNode = static_cast<TTreeItemNode*>(origin);
        record = origin->Data();
    }
    StatusBar->Panels()->Items(0)->SetText(noteNode->Text());

    HourGlass wait;
    // The editor names itself in what it writes; empty, that is all it writes.
    if (noteWriter_.empty() && REdit->GetTextLen() == 0) {
        TMemoryStream empty;
        REdit->Lines()->SaveToStream(empty);
        LearnNoteWriter(empty.AsString());
    }
    TMemoryStream rtf;
    try {
        if (Notes.Load(record->Id, rtf, *lh5)) {
            rtf.SetPosition(0);
            REdit->Lines()->LoadFromStream(rtf);
        } else {
            REdit->Lines()->Clear();
        }
        // What the note holds is what was read, when the editor wrote it.
        const std::string_view read(reinterpret_cast<const char*>(rtf.Memory()), static_cast<size_t>(rtf.Size()));
        noteBound_.Read(rtf.Size(), !noteWriter_.empty() && RtfGenerator(read) == noteWriter_);
        // The window counts reading a note as a change; from here on a
        // change is the user's.
        REdit->SetModified(false);
        shownNoteId_ = record->Id;
        // The editor may report the caret while the text is still coming
        // in: the tool bar follows the note as it now stands.
        REditSelectionChange(REdit);
    } catch (const Exception& e) {
        // Never leave the previous note in the editor: entering it would
        // save that note under this item; and the note stays as stored.  A
        // note that cannot be read names itself and says why in its place;
        // a data directory that went away, which no note can be read from or
        // saved into now, says it once in a box, whose lines have room for
        // its path.
        const bool folderGone = dynamic_cast<const EDataFolderGone*>(&e) != nullptr;
        ShowNoteProblem("The note of \"" + noteNode->Text() + "\" cannot be shown. " +
                        (folderGone ? std::string("The data directory is not there.") : e.Message()));
        if (folderGone && !storeFailureTold_) {
            storeFailureTold_ = true;
            ShowError(e.Message());
        }
    }
}

bool TfrmTreskel::ShowsStoredNoteOf(TTreeNode* node) {
    TItemData* record = ItemData(node);
    if (!shownNoteId_ || record == nullptr || record->Locked || !REdit->Visible() || !Panel2->Enabled()) return false;
    if (record->IsLink) {
        TItemNode* origin = FindLinkOrigin(ItemTree(), AsItem(node));
        if (origin == nullptr || origin->Data() == nullptr || origin->Data()->Locked) return false;
        record = origin->Data();
    }
    return record->Id == *shownNoteId_ && !REdit->Modified();
}

void TfrmTreskel::LoadTreskelList() {
    TStrings* tabs = TabControl1->Tabs();
    tabs->BeginUpdate();
    tabs->Clear();
    // Note files an earlier build left loose in the data directory go to
    // their treskels here, before the first of them opens.
    for (const std::string& name : Notes.ListTreskels()) tabs->Add(TreskelTabCaption(name));
    tabs->EndUpdate();
    if (tabs->Count() > 0) {
        if (TabControl1->TabIndex() < 0) TabControl1->SetTabIndex(0);
        OpenTreskel(TabControl1->TabIndex());
    }
}

void TfrmTreskel::SaveTreskel(int tabIndex) {
    if (tabIndex < 0 || tabIndex >= TabControl1->Tabs()->Count()) return;
    if (openFailedTab_ == tabIndex) {
        // What is shown is not that treskel: its archive stays as it was.
        openFailedTab_ = -1;
        ItemTree().Clear();
        return;
    }
    HourGlass wait;
    Notes.Pack(ItemTree(), TreskelOfTab(TabControl1->Tabs()->Get(tabIndex)));
    ReleaseRecords(ItemTree());
    // The archive holds the tree now, and the nodes hold no records until
    // the next open: nothing is to be written beside the notes.
    treeSave_->Stop();
}

void TfrmTreskel::TreeChanged() {
    // While the tree is filled this comes once a node: no more than a test.
    if (!treeSave_->Running()) treeSave_->Start(kTreeSaveDelay);
}

void TfrmTreskel::SaveTreeNow() {
    treeSave_->Stop();
    if (openFailedTab_ >= 0) return;
    try {
        if (Notes.SaveTree(ItemTree())) storeFailureTold_ = false;
    } catch (const Exception& e) {
        // A caption being typed is not cut short by a box: the tree is
        // written again once it is in.
        if (TreeView->IsEditing()) {
            treeSave_->Start(kTreeSaveDelay);
            return;
        }
        treeSave_->Start(kTreeRetryDelay);
        // Said at once, and once: every change and every try after it would
        // say it again.  Leaving the tab and closing the window tell it
        // again, as they cannot save what this could not.
        if (storeFailureTold_) return;
        const int tab = TabControl1->TabIndex();
        ReportSaveFailure("The changes to the items of the treskel '" +
                              (tab >= 0 ? TabControl1->Tabs()->Get(tab) : std::string()) + "'",
                          e.Message(), false);
    }
}

void TfrmTreskel::OpenTreskel(int tabIndex) {
    if (tabIndex < 0 || tabIndex >= TabControl1->Tabs()->Count()) return;
    HourGlass wait;
    // The tab strip shows its captions before the work starts, and the
    // tree is filled without drawing each node it receives.
    TabControl1->Update();
    TreeView->Items()->BeginUpdate();
    struct EndUpdate {
        TTreeNodes* nodes;
        ~EndUpdate() { nodes->EndUpdate(); }
    } endUpdate{TreeView->Items()};
    openFailedTab_ = -1;
    Panel2->SetCaption("");
    StatusBar->Panels()->Items(0)->SetText("");  // no note shown yet
    {
        ShowingNote showing(showingNote_);
        shownNoteId_.reset();
        REdit->Lines()->Clear();
    }
    try {
        Notes.Open(ItemTree(), TreskelOfTab(TabControl1->Tabs()->Get(tabIndex)));
        treeSave_->Stop();  // filling the tree was no change
        EnableByTag(TagNeedsTreskel);
        storeFailureTold_ = false;
    } catch (const Exception& e) {
        // The tree stays empty and this treskel is never saved over its
        // archive; nothing can be added to it while it is shown.
        openFailedTab_ = tabIndex;
        DisableByTag(TagNeedsTreskel);
        DisableByTag(TagNeedsItem);
        ShowNoteProblem("This treskel cannot be opened.");
        storeFailureTold_ = true;
        ShowError(e.Message());
    }
}

void TfrmTreskel::CutItemToStream(TTreeNode* node) { treskel::CutItemToStream(*ItemStream, ItemTree(), AsItem(node)); }

void TfrmTreskel::ReadItemStream(TTreeNode* node) { treskel::ReadItemStream(*ItemStream, *AsItem(node)); }

}  // namespace treskel
