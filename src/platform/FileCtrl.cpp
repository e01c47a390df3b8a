#include "platform/FileCtrl.h"

#include <algorithm>
#include <cctype>

#include "platform/FileSys.h"
#include "platform/FormLoader.h"

namespace treskel {

namespace {

// The sub-folders of a folder, as the system lists them.
std::vector<std::string> SubFolders(const std::string& dir) {
    std::vector<std::string> names;
    std::string mask = dir;
    if (!mask.empty() && mask.back() != '\\') mask += '\\';
    mask += '*';
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(mask.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) names.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

// "C:\" for a drive, the path without its trailing separator otherwise.
std::string Normalized(const std::string& dir) {
    std::string d = dir;
    while (d.size() > 3 && (d.back() == '\\' || d.back() == '/')) d.pop_back();
    if (d.size() == 2 && d[1] == ':') d += '\\';
    return d;
}

std::string ParentFolder(const std::string& dir) {
    std::vector<std::string> parts = SplitDirectoryPath(dir);
    if (parts.size() <= 1) return {};
    parts.pop_back();
    std::string p;
    for (const std::string& part : parts) {
        if (!p.empty() && p.back() != '\\') p += '\\';
        p += part;
    }
    return p;
}

std::string CurrentFolder() {
    char buf[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(MAX_PATH, buf);
    return buf;
}

void DrawFolder(TCanvas* c, int x, int y, bool open) {
    c->Pen()->SetStyle(TPenStyle::psSolid);
    c->Pen()->SetColor(clOlive);
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(open ? clYellow : static_cast<TColor>(0x00B0E0F0));
    c->Polygon({{x, y + 2}, {x + 5, y + 2}, {x + 6, y + 3}, {x + 13, y + 3}, {x + 13, y + 11}, {x, y + 11}});
    if (open) c->Polygon({{x + 2, y + 6}, {x + 15, y + 6}, {x + 13, y + 11}, {x, y + 11}});
}

}  // namespace

// ------------------------------------------------------------ TDirectoryListBox

TDirectoryListBox::TDirectoryListBox(TComponent* owner) : TCustomListBox(owner) {
    SetStyle(TListBoxStyle::lbOwnerDrawFixed);
    SetItemHeight(16);
    SetBounds(Left(), Top(), 145, 97);
    SetDirectory(CurrentFolder());
}

void TDirectoryListBox::SetDirectory(const std::string& dir) {
    std::string d = Normalized(dir);
    // A folder that is gone: the nearest one above it that is there.
    while (!d.empty() && !DirectoryExists(d)) d = ParentFolder(d);
    if (d.empty()) d = Normalized(CurrentFolder());
    const bool changed = d != directory_;
    directory_ = d;
    ReadEntries();
    if (dirLabel_ != nullptr) dirLabel_->SetCaption(directory_);
    if (changed && OnChange) OnChange(this);
}

void TDirectoryListBox::SetDrive(char drive) {
    if (drive == '\0' || std::tolower(static_cast<unsigned char>(drive)) ==
                             std::tolower(static_cast<unsigned char>(Drive())))
        return;
    // The drive's own current folder, as the system keeps one per drive.
    char env[4] = {'=', static_cast<char>(std::toupper(static_cast<unsigned char>(drive))), ':', '\0'};
    char buf[MAX_PATH + 1] = {};
    DWORD n = GetEnvironmentVariableA(env, buf, MAX_PATH);
    std::string root = std::string(1, drive) + ":\\";
    SetDirectory(n > 0 && n < MAX_PATH && DirectoryExists(buf) ? std::string(buf, n) : root);
}

void TDirectoryListBox::SetDirLabel(TControl* label) {
    if (dirLabel_ != nullptr) dirLabel_->RemoveFreeNotification(this);
    dirLabel_ = label;
    if (label != nullptr) {
        label->FreeNotification(this);
        label->SetCaption(directory_);
    }
}

void TDirectoryListBox::Notification(TComponent* component, TOperation operation) {
    TCustomListBox::Notification(component, operation);
    if (operation == TOperation::opRemove && component == dirLabel_) dirLabel_ = nullptr;
}

void TDirectoryListBox::ReadEntries() {
    entries_ = DirectoryEntries(directory_, SubFolders(directory_));
    TStrings* items = Items();
    items->BeginUpdate();
    items->Clear();
    for (const TDirEntry& e : entries_) items->Add(e.name);
    items->EndUpdate();
    SetItemIndex(CurrentDirectoryEntry(entries_));
}

void TDirectoryListBox::OpenCurrent() {
    int i = ItemIndex();
    if (i >= 0) SetDirectory(GetItemPath(i));
}

void TDirectoryListBox::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == LBN_DBLCLK) {
        OpenCurrent();
        return;
    }
    if (m.Msg == WM_KEYDOWN && m.WParam == VK_RETURN) {
        OpenCurrent();
        return;
    }
    // Enter opens the folder; Esc, Tab and the rest stay the dialog's keys.
    if (m.Msg == CM_WANTSPECIALKEY && m.WParam == VK_RETURN) {
        m.Result = 1;
        return;
    }
    TCustomListBox::WndProc(m);
}

void TDirectoryListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState) {
    TCanvas* c = Canvas();
    c->FillRect(rect);
    if (index < 0 || index >= static_cast<int>(entries_.size())) return;
    const TDirEntry& e = entries_[static_cast<size_t>(index)];
    const int x = rect.Left + 2 + e.level * 8;
    const int y = rect.Top + (rect.Height() - 13) / 2;
    TColor textColor = c->Font()->Color();
    DrawFolder(c, x, y, e.open);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->Font()->SetColor(textColor);
    c->TextOut(x + 19, rect.Top + (rect.Height() - c->TextHeight(e.name)) / 2, e.name);
}

// ------------------------------------------------------------ TDriveComboBox

TDriveComboBox::TDriveComboBox(TComponent* owner) : TCustomComboBox(owner) {
    SetStyle(TComboBoxStyle::csDropDownList);
    SetBounds(Left(), Top(), 145, Height());
    std::string cur = CurrentFolder();
    if (cur.size() >= 2 && cur[1] == ':') drive_ = static_cast<char>(std::tolower(static_cast<unsigned char>(cur[0])));
}

void TDriveComboBox::BuildList() {
    letters_.clear();
    TStrings* items = Items();
    items->BeginUpdate();
    items->Clear();
    DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if ((drives & (1u << i)) == 0) continue;
        char letter = static_cast<char>('a' + i);
        std::string root = std::string(1, static_cast<char>('A' + i)) + ":\\";
        std::string text = std::string(1, letter) + ":";
        char volume[MAX_PATH + 1] = {};
        UINT type = GetDriveTypeA(root.c_str());
        // Removable drives are not asked for a label: that would wait for a disk.
        if (type != DRIVE_REMOVABLE && type != DRIVE_CDROM &&
            GetVolumeInformationA(root.c_str(), volume, MAX_PATH, nullptr, nullptr, nullptr, nullptr, 0) &&
            volume[0] != '\0')
            text += std::string(" [") + volume + "]";
        letters_.push_back(letter);
        items->Add(text);
    }
    items->EndUpdate();
    auto it = std::find(letters_.begin(), letters_.end(), drive_);
    SetItemIndex(it == letters_.end() ? -1 : static_cast<int>(it - letters_.begin()));
}

void TDriveComboBox::CreateWnd() {
    TCustomComboBox::CreateWnd();
    BuildList();
}

void TDriveComboBox::SetDrive(char drive) {
    drive = static_cast<char>(std::tolower(static_cast<unsigned char>(drive)));
    if (drive == drive_) return;
    drive_ = drive;
    if (HandleAllocated()) {
        auto it = std::find(letters_.begin(), letters_.end(), drive_);
        SetItemIndex(it == letters_.end() ? -1 : static_cast<int>(it - letters_.begin()));
    }
    if (dirList_ != nullptr) dirList_->SetDrive(drive_);
    TCustomComboBox::Change();
}

void TDriveComboBox::Change() {
    int i = ItemIndex();
    if (i >= 0 && i < static_cast<int>(letters_.size()) && letters_[static_cast<size_t>(i)] != drive_) {
        drive_ = letters_[static_cast<size_t>(i)];
        if (dirList_ != nullptr) dirList_->SetDrive(drive_);
    }
    TCustomComboBox::Change();
}

void TDriveComboBox::SetDirList(TDirectoryListBox* list) {
    if (dirList_ != nullptr) dirList_->RemoveFreeNotification(this);
    dirList_ = list;
    if (list != nullptr) list->FreeNotification(this);
}

void TDriveComboBox::Notification(TComponent* component, TOperation operation) {
    TCustomComboBox::Notification(component, operation);
    if (operation == TOperation::opRemove && component == dirList_) dirList_ = nullptr;
}

void RegisterFileCtrlClasses() {
    PublishClass<TDirectoryListBox, TCustomListBox>()
        .Ref<TControl>("DirLabel", &TDirectoryListBox::DirLabel, &TDirectoryListBox::SetDirLabel)
        .Event("OnChange", &TDirectoryListBox::OnChange);
    PublishClass<TDriveComboBox, TCustomComboBox>()
        .Ref<TDirectoryListBox>("DirList", &TDriveComboBox::DirList, &TDriveComboBox::SetDirList);
}

}  // namespace treskel
