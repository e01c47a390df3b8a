// The options dialog: the data directory, the compression level of new
// notes and whether the tree shows each item's level.
#pragma once

#include "controls/qclbtnWnd.h"
#include "controls/qcldlgS.h"
#include "controls/qclformA.h"
#include "controls/qclgroupWin.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

namespace treskel {

class TfrmOptions : public TForm {
    TRESKEL_CLASS(TfrmOptions)
public:
    explicit TfrmOptions(TComponent* owner) : TForm(owner) {}
    ~TfrmOptions() override;

    // Shows the stored settings of section "common".
    void FormShow(TObject* Sender);
    // Keeps the settings; a data directory that cannot be used is refused
    // and the dialog stays open.
    void BitBtn1Click(TObject* Sender);
    // Chooses the data directory in the folder dialog.
    void QclDockButton1Click(TObject* Sender);

    TGroupBox* GroupBox1 = nullptr;
    TEdit* Edit1 = nullptr;
    TQclDockButton* QclDockButton1 = nullptr;
    TQclDirDlg* DirDlg = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TQclRadioGroup* RadioGroup1 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TCheckBox* CheckBox2 = nullptr;
    TButton* BitBtn1 = nullptr;
    TButton* BitBtn2 = nullptr;
    TQclForm* QclForm1 = nullptr;
};

// Made by the program block at start-up.
extern TfrmOptions* frmOptions;
// The options dialog; made (owned by the application) on first use where
// the program block did not make it, as in the tests.
TfrmOptions* OptionsForm();

void RegisterOptionsClasses();

}  // namespace treskel
