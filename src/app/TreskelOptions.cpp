#include "app/TreskelOptions.h"

#include "app/TreskelOptionsRules.h"
#include "app/frmMain.h"
#include "platform/Dialogs.h"
#include "platform/FormLoader.h"

namespace treskel {

TfrmOptions* frmOptions = nullptr;

namespace {
constexpr const char* kPathChangeNotice =
    "Any changes to the data path will not be implemented\nuntil after Treskel! has restarted.";
constexpr const char* kPathRefused =
    "The data directory \"%s\" cannot be used.\n%s\n\nThe data directory in use stays as it is.";

TQclIniCtrl* Settings() { return frmTreskel != nullptr ? frmTreskel->IniCtrl : nullptr; }
}  // namespace

TfrmOptions::~TfrmOptions() {
    if (frmOptions == this) frmOptions = nullptr;
}

void TfrmOptions::FormShow(TObject*) {
    TQclIniCtrl* ini = Settings();
    if (ini == nullptr) return;
    Edit1->SetText(ini->ReadString("common", "path", ""));
    RadioGroup1->SetItemIndex(ini->ReadInteger("common", "compression", 2));
    CheckBox1->SetChecked(ini->ReadBool("common", "updated", true));
    CheckBox2->SetChecked(ini->ReadBool("common", "showcompression", false));
}

void TfrmOptions::BitBtn1Click(TObject*) {
    TQclIniCtrl* ini = Settings();
    if (ini == nullptr) return;
    // The path is stored single-byte: letters the code page lacks are
    // refused here, as typed (the box is a wide window).
    const std::wstring typed = Edit1->WideText();
    if (RefuseLettersOutsideCodePage(typed)) {
        SetModalResult(mrNone);
        Edit1->SetFocus();
        Edit1->SelectWide(static_cast<int>(FirstLetterOutsideCodePage(typed)), 1);
        return;
    }
    const std::string path = Trim(Edit1->Text());
    if (!SameDirectory(path, ini->ReadString("common", "path", ""))) {
        const std::string problem = DataDirectoryProblem(path);
        if (!problem.empty()) {
            Application->MessageBox(Format(kPathRefused, path.c_str(), problem.c_str()), "Error",
                                    MB_OK | MB_ICONSTOP);
            SetModalResult(mrNone);
            Edit1->SetFocus();
            return;
        }
    }
    ini->WriteString("common", "path", path);
    ini->WriteInteger("common", "compression", RadioGroup1->ItemIndex());
    ini->WriteBool("common", "updated", CheckBox1->Checked());
    ini->WriteBool("common", "showcompression", CheckBox2->Checked());
    frmTreskel->TreeView->SetStateImages(CheckBox2->Checked() ? frmTreskel->ImageList2 : nullptr);
}

void TfrmOptions::QclDockButton1Click(TObject*) {
    MessageDlg(kPathChangeNotice, TMsgDlgType::mtInformation, {TMsgDlgBtn::mbOK});
    DirDlg->SetPath(Edit1->Text());
    if (DirDlg->Execute()) Edit1->SetText(DirDlg->Path());
}

TfrmOptions* OptionsForm() {
    if (frmOptions == nullptr) frmOptions = MakeOwnedForm<TfrmOptions>(EnsureApplication());
    return frmOptions;
}

void RegisterOptionsClasses() {
    using F = TfrmOptions;
    PublishClass<F, TForm>()
        .Handler("FormShow", &F::FormShow)
        .Handler("BitBtn1Click", &F::BitBtn1Click)
        .Handler("QclDockButton1Click", &F::QclDockButton1Click)
        .Field("GroupBox1", &F::GroupBox1)
        .Field("Edit1", &F::Edit1)
        .Field("QclDockButton1", &F::QclDockButton1)
        .Field("DirDlg", &F::DirDlg)
        .Field("GroupBox2", &F::GroupBox2)
        .Field("RadioGroup1", &F::RadioGroup1)
        .Field("CheckBox1", &F::CheckBox1)
        .Field("CheckBox2", &F::CheckBox2)
        .Field("BitBtn1", &F::BitBtn1)
        .Field("BitBtn2", &F::BitBtn2)
        .Field("QclForm1", &F::QclForm1);
}

}  // namespace treskel
