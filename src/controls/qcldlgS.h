// The library's dialogs built at run time: what they share (caption, an
// extra button, hints, placement, an opening effect, a painted caption and
// a tiled background) and the folder selection dialog.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "controls/qcldlgSRules.h"
#include "controls/qclctrlWin.h"
#include "controls/qclformA.h"
#include "foundation/qclutils.h"
#include "platform/FileCtrl.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

namespace treskel {

class TQclSimpleLabel;

class TQclBaseDialog : public TQclContainerComponent {
    TRESKEL_CLASS(TQclBaseDialog)
public:
    explicit TQclBaseDialog(TComponent* owner);
    ~TQclBaseDialog() override;

    const std::string& CaptionTitle() const { return captionTitle_; }
    void SetCaptionTitle(const std::string& v) { captionTitle_ = v; }
    const std::string& CustomButton() const { return customButton_; }
    void SetCustomButton(const std::string& v) { customButton_ = v; }
    TQclDlgEffect Effect() const { return effect_; }
    void SetEffect(TQclDlgEffect v) { effect_ = v; }
    TStrings* Hints() { return hints_.get(); }
    void SetHints(TStrings* v) { hints_->Assign(v); }
    bool ShowHints() const { return showHints_; }
    void SetShowHints(bool v) { showHints_ = v; }
    bool CaptionFill() const { return captionFill_; }
    void SetCaptionFill(bool v) { captionFill_ = v; }
    uint8_t Colors() const { return colors_; }
    void SetColors(uint8_t v) { colors_ = v; }
    TQclDlgPosition Position() const { return position_; }
    void SetPosition(TQclDlgPosition v) { position_ = v; }
    TQclDlgPosRel RelatePos() const { return relatePos_; }
    void SetRelatePos(TQclDlgPosRel v) { relatePos_ = v; }

    // Shows the dialog; true when the user confirmed it.
    virtual bool Execute() { return false; }

    TNotifyEvent OnCustomize;
    TNotifyEvent OnCustomClick;

protected:
    // Captions, places and shows the window modally; its modal result.
    int PrepareForm(TForm* form, const std::string& defaultCaption, TButton* extra, TQclFormStyler* styler,
                    TQclBack* back);
    // The hint of line `line` for a control, when hints are shown.
    void GiveHint(TControl* control, int line);
    bool Designing() const { return ComponentState().Contains(TComponentStateItem::csDesigning); }

private:
    std::string captionTitle_, customButton_;
    TQclDlgEffect effect_ = TQclDlgEffect::deNone;
    std::unique_ptr<TStringList> hints_;
    bool showHints_ = true, captionFill_ = false;
    uint8_t colors_ = 32;
    TQclDlgPosition position_ = TQclDlgPosition::bpCenter;
    TQclDlgPosRel relatePos_ = TQclDlgPosRel::brScreen;
};

// The folder selection dialog: a folder list, a drive box and, on request,
// a button that makes a new folder.
class TQclDirDlg : public TQclBaseDialog {
    TRESKEL_CLASS(TQclDirDlg)
public:
    explicit TQclDirDlg(TComponent* owner);
    ~TQclDirDlg() override;

    bool AllowNewDir() const { return allowNewDir_; }
    void SetAllowNewDir(bool v) { allowNewDir_ = v; }
    // The folder to start in and, after OK, the one chosen (letter case kept).
    const std::string& Path() const { return path_; }
    void SetPath(const std::string& v) { path_ = v; }
    bool ShowLabelDir() const { return showLabelDir_; }
    void SetShowLabelDir(bool v) { showLabelDir_ = v; }

    bool Execute() override;

    // While the window shows: the window and its controls.
    TForm* Window() const { return window_; }
    TDirectoryListBox* FolderList() const { return folderList_; }
    TDriveComboBox* DriveBox() const { return driveBox_; }
    TButton* NewFolderButton() const { return newFolder_; }
    TButton* OKButton() const { return ok_; }
    TButton* ExtraButton() const { return extra_; }

    void DriveChange(TObject* Sender);
    void NewFolderClick(TObject* Sender);

    // Replaces the message shown when a folder cannot be made.
    TNotifyEvent OnFolderError;

private:
    int ShowFolderForm();
    bool allowNewDir_ = false, showLabelDir_ = false;
    std::string path_;
    TForm* window_ = nullptr;
    TDirectoryListBox* folderList_ = nullptr;
    TDriveComboBox* driveBox_ = nullptr;
    TButton* newFolder_ = nullptr;
    TButton* ok_ = nullptr;
    TButton* extra_ = nullptr;
};

void RegisterDialogClasses();

}  // namespace treskel
