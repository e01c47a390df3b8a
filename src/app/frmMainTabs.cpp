// The tabs of the main window: one treskel each.
#include "store/TreskelArchive.h"
#include "store/TreskelNames.h"
#include "app/frmMain.h"
#include "platform/FileSys.h"

namespace treskel {

namespace {
constexpr const char* kDuplicateName = "An treskel with this name already exists.";

// True when another treskel than the tab `except`'s has this name: another
// tab's, in any letter case, or the files of one in the data directory as
// the file system finds them (a short name, another letter case), which a
// treskel of this name would write over.  The files of `except` itself
// under another spelling of its own name are its own.
bool TreskelNameTaken(TStrings* tabs, const std::string& dataPath, const std::string& name, int except) {
    for (int i = 0; i < tabs->Count(); ++i)
        if (i != except && AnsiCompareText(TreskelOfTab(tabs->Get(i)), name) == 0) return true;
    const bool ownFiles = except >= 0 && AnsiCompareText(TreskelOfTab(tabs->Get(except)), name) == 0;
    return !ownFiles && TreskelFilesExist(dataPath, name);
}

bool CheckName(const std::string& dataPath, const std::string& name) {
    std::string problem = TreskelNameProblem(dataPath, name);
    if (problem.empty()) return true;
    MessageDlg(problem, TMsgDlgType::mtWarning, {TMsgDlgBtn::mbOK});
    return false;
}
}  // namespace

void TfrmTreskel::NewTreskelExecute(TObject*) {
    std::string name;
    if (!InputQuery("New Treskel", "Enter the name of the new treskel you wish to create?", name) || name.empty())
        return;
    if (!CheckName(DataPath, name)) return;
    if (TreskelNameTaken(TabControl1->Tabs(), DataPath, name, -1)) {
        MessageDlg(kDuplicateName, TMsgDlgType::mtWarning, {TMsgDlgBtn::mbOK});
        return;
    }
    // Its empty archive makes it a treskel of the data directory at once:
    // it comes back at the next start even if it is never entered.
    try {
        CreateTreskel(DataPath, name);
    } catch (const Exception& e) {
        ShowError(e.Message());
        return;
    }
    bool first = TabControl1->Tabs()->Count() == 0;
    TabControl1->Tabs()->Add(name);
    if (first && TabControl1->TabIndex() < 0) TabControl1->SetTabIndex(0);
    if (first) Notes.Open(ItemTree(), name);
    EnableByTag(TagNeedsTreskel);
}

void TfrmTreskel::RenameTreskelExecute(TObject*) {
    int index = TabControl1->TabIndex();
    if (index < 0) return;
    std::string oldName = TreskelOfTab(TabControl1->Tabs()->Get(index));
    std::string name = oldName;
    if (!InputQuery("Rename Treskel", "Enter the new treskel name:", name) || name.empty() || name == oldName) return;
    if (!CheckName(DataPath, name)) return;
    // Another treskel of that name would be overwritten at the next save.
    if (TreskelNameTaken(TabControl1->Tabs(), DataPath, name, index)) {
        MessageDlg(kDuplicateName, TMsgDlgType::mtWarning, {TMsgDlgBtn::mbOK});
        return;
    }
    // A file that is not there yet (a new treskel) simply is not renamed.
    try {
        Notes.Rename(oldName, name);
    } catch (const Exception& e) {
        ShowError(e.Message());
        return;
    }
    TabControl1->Tabs()->Put(index, TreskelTabCaption(name));
}

void TfrmTreskel::TabControl1Changing(TObject*, bool& AllowChange) {
    AllowChange = true;
    if (NoteModified) {
        try {
            SaveItemNote(TreeView->Selected());
        } catch (const Exception& e) {
            // Stay: leaving would pack the treskel without this note.
            ReportSaveFailure(NoteName(TreeView->Selected()), e.Message(), false);
            AllowChange = false;
            return;
        }
        NoteModified = false;
    }
    try {
        SaveTreskel(TabControl1->TabIndex());
    } catch (const Exception& e) {
        ReportSaveFailure(TreskelName(TabControl1->TabIndex()), e.Message(), false);
        AllowChange = false;
    }
}

void TfrmTreskel::TabControl1Change(TObject*) {
    OpenTreskel(TabControl1->TabIndex());
    EnterFirstItem();
}

void TfrmTreskel::EnterFirstItem() {
    TTreeNode* first = TreeView->Items()->GetFirstNode();
    if (first == nullptr) {
        DisableByTag(TagNeedsItem);
        return;
    }
    // Selecting shows the note; a locked item then disables the note panel
    // again, so the commands come first.
    EnableByTag(TagNeedsItem);
    if (TreeView->Selected() != first)
        TreeView->SetSelected(first);
    else
        TreeViewChange(TreeView, first);
    TreeViewClick(TreeView);
}

}  // namespace treskel
