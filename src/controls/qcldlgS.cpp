#include "controls/qcldlgS.h"

#include <cstdlib>

#include "controls/qclctrlAWin.h"
#include "foundation/qclutilsWnd.h"
#include "platform/Dialogs.h"
#include "platform/FileSys.h"
#include "platform/FormLoader.h"

namespace treskel {

namespace {
// The unit's start seeds the runtime's random numbers once, from the clock.
[[maybe_unused]] const bool randomSeeded = [] {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    std::srand(static_cast<unsigned>(now.QuadPart ^ (now.QuadPart >> 32)));
    return true;
}();
}  // namespace

// ------------------------------------------------------------ TQclBaseDialog

TQclBaseDialog::TQclBaseDialog(TComponent* owner)
    : TQclContainerComponent(owner), hints_(std::make_unique<TStringList>()) {}

TQclBaseDialog::~TQclBaseDialog() = default;

void TQclBaseDialog::GiveHint(TControl* control, int line) {
    if (control == nullptr || !showHints_ || line >= hints_->Count()) return;
    control->SetHint(hints_->Get(line));
    control->SetShowHint(true);
}

int TQclBaseDialog::PrepareForm(TForm* form, const std::string& defaultCaption, TButton* extra,
                                TQclFormStyler* styler, TQclBack* back) {
    form->SetCaption(captionTitle_.empty() ? defaultCaption : captionTitle_);
    if (extra != nullptr) {
        if (!customButton_.empty()) {
            extra->SetCaption(customButton_);
            extra->SetVisible(true);
            if (OnCustomClick) extra->OnClick = OnCustomClick;
        } else {
            extra->SetVisible(false);
        }
    }
    if (OnCustomize) OnCustomize(form);
    TRect area;
    QclGetDlgPosRect(Designing() ? TQclDlgPosRel::brScreenWorkArea : relatePos_, area);
    QclPlaceWindow(form->Handle(), area, position_);
    if (effect_ == TQclDlgEffect::deExplode) QclExplodeWindow(form);
    if (effect_ == TQclDlgEffect::deExplodeExt) QclExplodeWindowExt(form);
    if (styler != nullptr) {
        if (captionFill_) styler->SetColors(colors_);
        styler->SetOptions(styler->Options() + TQclFormStyleOption::fsCheckSystemGradient);
        styler->SetEnabled(captionFill_);
    }
    if (back != nullptr && ImageList() != nullptr) {
        back->SetImageList(ImageList());
        back->SetListIndex(ListIndex());
        back->SetImageIndex(ImageIndex());
        back->SetEnabled(true);
    }
    return form->ShowModal();
}

// ------------------------------------------------------------ TQclDirDlg

TQclDirDlg::TQclDirDlg(TComponent* owner) : TQclBaseDialog(owner) {}

TQclDirDlg::~TQclDirDlg() = default;

bool TQclDirDlg::Execute() { return ShowFolderForm() == mrOk; }

namespace {
template <class T>
T* Put(TForm* form, int left, int top, int width, int height, int tabOrder = -1) {
    T* c = Create<T>(form);
    c->SetParent(form);
    c->SetBounds(left, top, width, height);
    if constexpr (std::is_base_of_v<TWinControl, T>)
        if (tabOrder >= 0) c->SetTabOrder(tabOrder);
    return c;
}

TButton* PutButton(TForm* form, int top, int tabOrder, const std::string& caption) {
    auto* b = Put<TButton>(form, 302, top, 86, 24, tabOrder);
    b->SetCaption(caption);
    return b;
}
}  // namespace

int TQclDirDlg::ShowFolderForm() {
    OwnedPtr<TForm> form(new TForm(nullptr));
    form->InitializeForm();
    TForm* f = form.get();
    f->SetBorderStyle(TFormBorderStyle::bsDialog);
    f->Font()->SetName("MS Sans Serif");
    f->Font()->SetHeight(-12);
    f->Font()->SetColor(clWindowText);
    f->SetPosition(TPosition::poDefault);
    f->SetPixelsPerInch(96);

    ok_ = PutButton(f, 20, 2, "OK");
    ok_->SetDefault(true);
    ok_->SetModalResult(mrOk);
    TButton* cancel = PutButton(f, 47, 3, kQclCancelCaption);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    extra_ = PutButton(f, 81, 4, "");
    extra_->SetVisible(false);
    newFolder_ = PutButton(f, 225, 5, "");
    newFolder_->SetVisible(false);
    if (allowNewDir_) {
        newFolder_->SetCaption(kQclNewFolderCaption);
        newFolder_->SetVisible(true);
        newFolder_->OnClick = [this](TObject* s) { NewFolderClick(s); };
    }
    auto* current = Put<TLabel>(f, 35, 5, 186, 13);
    current->SetAutoSize(false);
    current->Font()->SetColor(clNavy);
    current->SetTransparent(true);
    current->SetVisible(showLabelDir_);
    driveBox_ = Put<TDriveComboBox>(f, 6, 267, 290, 19, 1);
    driveBox_->OnChange = [this](TObject* s) { DriveChange(s); };
    auto* driveCaption = Put<TLabel>(f, 8, 253, 3, 10);
    driveCaption->SetCaption(kQclDriveCaption);
    driveCaption->SetTransparent(true);
    driveCaption->SetFocusControl(driveBox_);
    folderList_ = Put<TDirectoryListBox>(f, 6, 20, 290, 229, 0);
    folderList_->SetItemHeight(17);
    folderList_->SetDirectory(path_.empty() ? folderList_->Directory() : path_);
    folderList_->SetDirLabel(current);
    driveBox_->SetDrive(folderList_->Drive());
    auto* pathCaption = Put<TQclSimpleLabel>(f, 6, 5, 3, 10);
    pathCaption->SetCaption(kQclPathCaption);
    pathCaption->SetFocusControl(folderList_);
    auto* styler = Create<TQclFormStyler>(f);
    styler->SetEnabled(false);
    styler->SetOptions({TQclFormStyleOption::fsAdjustRect, TQclFormStyleOption::fsUseDefaultFont,
                        TQclFormStyleOption::fsUseFormCaption});
    auto* back = Create<TQclBack>(f);
    back->SetEnabled(false);

    f->SetFormClientWidth(ok_->Left() + ok_->Width() + 7);
    f->SetFormClientHeight(driveBox_->Top() + driveBox_->Height() + 6);
    f->SetActiveControl(folderList_);
    if (ShowHints() && Hints()->Count() > 0) {
        f->SetShowHint(true);
        GiveHint(ok_, 0);
        GiveHint(extra_, 1);
        GiveHint(cancel, 2);
        GiveHint(folderList_, 3);
        GiveHint(driveBox_, 4);
        GiveHint(newFolder_, 5);
    }

    window_ = f;
    // The window goes when this returns, however it returns.
    struct Forget {
        TQclDirDlg* d;
        ~Forget() {
            d->window_ = nullptr;
            d->folderList_ = nullptr;
            d->driveBox_ = nullptr;
            d->newFolder_ = d->ok_ = d->extra_ = nullptr;
        }
    } forget{this};
    const int result = PrepareForm(f, kQclSelectPathCaption, extra_, styler, back);
    if (result == mrOk) path_ = Designing() ? std::string() : folderList_->Directory();
    return result;
}

void TQclDirDlg::DriveChange(TObject*) {
    if (folderList_ != nullptr && driveBox_ != nullptr) folderList_->SetDrive(driveBox_->Drive());
}

void TQclDirDlg::NewFolderClick(TObject*) {
    if (folderList_ == nullptr || folderList_->ItemIndex() < 0) return;
    const std::string dir = folderList_->Directory();
    std::string made;
    bool reported = false;
    // A name the folder cannot have, or one the system refuses, is told
    // why while the box stays open with it.
    auto make = [&](const std::string& typed) -> std::string {
        const std::string problem = QclNewFolderNameProblem(dir, typed);
        if (!problem.empty()) return problem;
        const std::string name = QclTrim(typed);
        const std::string folder = QclNewFolderPath(dir, name);
        if (CreateDir(folder)) {
            made = folder;
            return {};
        }
        const std::string reason = LastFileError();
        if (OnFolderError) {
            // The event takes the message's place, and the box goes.
            reported = true;
            return {};
        }
        return QclNewFolderFailure(name, FileExists(folder) || DirectoryExists(folder), reason);
    };
    std::string name;
    if (!InputQuery(QclNewFolderQueryCaption(), QclNewFolderPrompt(folderList_->GetItemPath(folderList_->ItemIndex())),
                    name, make))
        return;
    if (reported) OnFolderError(this);
    else if (!made.empty() && folderList_ != nullptr) folderList_->SetDirectory(made);
}

// ------------------------------------------------------------ registration

void RegisterDialogClasses() {
    using B = TQclBaseDialog;
    PublishClass<B, TQclContainerComponent>()
        .NotCreatable()
        .String("CaptionTitle", &B::CaptionTitle, &B::SetCaptionTitle)
        .String("CustomButton", &B::CustomButton, &B::SetCustomButton)
        .Enum<TQclDlgEffect>("Effect", &B::Effect, &B::SetEffect, TQclDlgEffect::deNone)
        .Object("Hints", &B::Hints)
        .Bool("ShowHints", &B::ShowHints, &B::SetShowHints, true)
        .Bool("CaptionFill", &B::CaptionFill, &B::SetCaptionFill)
        .Int("Colors", &B::Colors, [](B* b, int v) { b->SetColors(static_cast<uint8_t>(v)); }, 32)
        .Enum<TQclDlgPosition>("Position", &B::Position, &B::SetPosition, TQclDlgPosition::bpCenter)
        .Enum<TQclDlgPosRel>("RelatePos", &B::RelatePos, &B::SetRelatePos, TQclDlgPosRel::brScreen)
        .Event("OnCustomize", &B::OnCustomize)
        .Event("OnCustomClick", &B::OnCustomClick);
    using D = TQclDirDlg;
    PublishClass<D, B>()
        .Custom("About", QclIgnoreAbout)
        .Bool("AllowNewDir", &D::AllowNewDir, &D::SetAllowNewDir)
        .Bool("ShowLabelDir", &D::ShowLabelDir, &D::SetShowLabelDir)
        .Event("OnFolderError", &D::OnFolderError);
}

}  // namespace treskel
