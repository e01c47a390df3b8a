// The directory list box and the drive combo box: a folder's path and
// sub-folders to open with a double click or Enter, and the drives to
// choose from.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/FileCtrlRules.h"
#include "platform/ListCtrls.h"

namespace treskel {

class TDirectoryListBox : public TCustomListBox {
    TRESKEL_CLASS(TDirectoryListBox)
public:
    explicit TDirectoryListBox(TComponent* owner);

    // The folder shown, letter case as given ("C:\" for a root).
    const std::string& Directory() const { return directory_; }
    // Shows `dir`, or the nearest folder above it that exists.
    void SetDirectory(const std::string& dir);
    char Drive() const { return directory_.empty() ? '\0' : directory_[0]; }
    // The drive's current folder (its root when it has none).
    void SetDrive(char drive);
    // A control whose caption follows the folder shown.
    TControl* DirLabel() const { return dirLabel_; }
    void SetDirLabel(TControl* label);
    // The path of an entry of the list.
    std::string GetItemPath(int index) const { return DirectoryEntryPath(entries_, index); }
    const std::vector<TDirEntry>& Entries() const { return entries_; }
    // Opens the selected entry (as a double click or Enter does).
    void OpenCurrent();

    TNotifyEvent OnChange;

    void WndProc(TMessage& m) override;

protected:
    void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void ReadEntries();
    std::string directory_;
    std::vector<TDirEntry> entries_;
    TControl* dirLabel_ = nullptr;
};

class TDriveComboBox : public TCustomComboBox {
    TRESKEL_CLASS(TDriveComboBox)
public:
    explicit TDriveComboBox(TComponent* owner);
    // The drive chosen, a lower-case letter.
    char Drive() const { return drive_; }
    void SetDrive(char drive);
    // A directory list that follows the drive chosen.
    TDirectoryListBox* DirList() const { return dirList_; }
    void SetDirList(TDirectoryListBox* list);
    // The drives of the system, each "c: [label]".
    void BuildList();

protected:
    void CreateWnd() override;
    void Change() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    char drive_ = 'c';
    std::vector<char> letters_;
    TDirectoryListBox* dirList_ = nullptr;
};

void RegisterFileCtrlClasses();

}  // namespace treskel
