// The open and save dialogs over the system's file dialogs.
#include <cstring>
#include <utility>
#include <vector>

#include "platform/Dialogs.h"

namespace treskel {

namespace {
// Room for many names of a multiple selection.
constexpr DWORD kFileBufferChars = 32768;

const std::pair<TOpenOption, DWORD> kOpenFlags[] = {
    {TOpenOption::ofReadOnly, OFN_READONLY},
    {TOpenOption::ofOverwritePrompt, OFN_OVERWRITEPROMPT},
    {TOpenOption::ofHideReadOnly, OFN_HIDEREADONLY},
    {TOpenOption::ofNoChangeDir, OFN_NOCHANGEDIR},
    {TOpenOption::ofShowHelp, OFN_SHOWHELP},
    {TOpenOption::ofNoValidate, OFN_NOVALIDATE},
    {TOpenOption::ofAllowMultiSelect, OFN_ALLOWMULTISELECT},
    {TOpenOption::ofExtensionDifferent, OFN_EXTENSIONDIFFERENT},
    {TOpenOption::ofPathMustExist, OFN_PATHMUSTEXIST},
    {TOpenOption::ofFileMustExist, OFN_FILEMUSTEXIST},
    {TOpenOption::ofCreatePrompt, OFN_CREATEPROMPT},
    {TOpenOption::ofShareAware, OFN_SHAREAWARE},
    {TOpenOption::ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
    {TOpenOption::ofNoTestFileCreate, OFN_NOTESTFILECREATE},
    {TOpenOption::ofNoNetworkButton, OFN_NONETWORKBUTTON},
    {TOpenOption::ofNoLongNames, OFN_NOLONGNAMES},
    {TOpenOption::ofNoDereferenceLinks, OFN_NODEREFERENCELINKS},
    {TOpenOption::ofEnableSizing, OFN_ENABLESIZING},
};

// "Text|*.txt|All|*.*" as the system wants it: NUL-separated, two NULs
// at the end.
std::string SystemFilter(const std::string& filter) {
    std::string f = filter;
    for (char& c : f)
        if (c == '|') c = '\0';
    f.push_back('\0');
    f.push_back('\0');
    return f;
}
}  // namespace

TOpenDialog::TOpenDialog(TComponent* owner) : TCommonDialog(owner), files_(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute() {
    files_->Clear();
    bool ok = RunModal([this](HWND owner) { return DoExecute(owner, false); });
    if (ok && files_->Count() == 0 && !fileName_.empty()) files_->Add(fileName_);
    return ok;
}

bool TSaveDialog::Execute() {
    Files()->Clear();
    bool ok = RunModal([this](HWND owner) { return DoExecute(owner, true); });
    if (ok && Files()->Count() == 0 && !FileName().empty()) Files()->Add(FileName());
    return ok;
}

bool TOpenDialog::DoExecute(HWND owner, bool save) {
    std::vector<char> file(kFileBufferChars, '\0');
    std::memcpy(file.data(), fileName_.c_str(), std::min<size_t>(fileName_.size(), kFileBufferChars - 1));
    std::string filter = SystemFilter(filter_);
    std::string defExt = defaultExt_;
    if (!defExt.empty() && defExt[0] == '.') defExt.erase(0, 1);

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.hInstance = GetModuleHandleA(nullptr);
    ofn.lpstrFilter = filter_.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(std::max(filterIndex_, 0));
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kFileBufferChars;
    ofn.lpstrInitialDir = initialDir_.empty() ? nullptr : initialDir_.c_str();
    ofn.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
    ofn.lpstrDefExt = defExt.empty() ? nullptr : defExt.c_str();
    ofn.Flags = options_.Contains(TOpenOption::ofOldStyleDialog) ? 0 : OFN_EXPLORER;
    for (auto [option, flag] : kOpenFlags)
        if (options_.Contains(option)) ofn.Flags |= flag;
    ofn.Flags &= ~static_cast<DWORD>(OFN_EXTENSIONDIFFERENT);  // an answer, not a request

    BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!ok) {
        DWORD err = CommDlgExtendedError();
        if (err == 0) return false;  // cancelled
        throw EInvalidOperation(Format("The file dialog could not be shown (error 0x%lX)", static_cast<unsigned long>(err)));
    }

    filterIndex_ = static_cast<int>(ofn.nFilterIndex);
    options_ = ofn.Flags & OFN_READONLY ? options_ + TOpenOption::ofReadOnly : options_ - TOpenOption::ofReadOnly;
    options_ = ofn.Flags & OFN_EXTENSIONDIFFERENT ? options_ + TOpenOption::ofExtensionDifferent
                                                   : options_ - TOpenOption::ofExtensionDifferent;
    files_->Clear();
    if (options_.Contains(TOpenOption::ofAllowMultiSelect) && ofn.nFileOffset > 0 &&
        file[ofn.nFileOffset - 1] == '\0') {
        // Several files: the folder, then each name, NUL-separated.
        std::string dir = IncludeTrailingBackslash(file.data());
        for (const char* p = file.data() + ofn.nFileOffset; *p != '\0'; p += std::strlen(p) + 1)
            files_->Add(dir + p);
    } else {
        files_->Add(file.data());
    }
    fileName_ = files_->Count() > 0 ? files_->Get(0) : std::string();
    return true;
}

}  // namespace treskel
