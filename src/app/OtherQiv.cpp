#include "app/OtherQiv.h"

#include "app/frmMain.h"
#include "foundation/qclutils.h"
#include "platform/FormLoader.h"

namespace treskel {

TfrmAboutQiv* frmAboutQiv = nullptr;

TfrmAboutQiv::~TfrmAboutQiv() {
    if (frmAboutQiv == this) frmAboutQiv = nullptr;
}

void TfrmAboutQiv::FormCreate(TObject*) {
    Image1->Bitmap()->LoadFromResourceName(GetModuleHandleA(nullptr), "BANNER");
}

void TfrmAboutQiv::FormShow(TObject*) {
    std::string data = frmTreskel != nullptr ? frmTreskel->DataPath : std::string();
    JumpLabel1->SetJump(data);
    JumpLabel1->SetVisible(!data.empty());
    JumpLabel2->SetJump(QclGetProgramDir());
}

TfrmAboutQiv* AboutForm() {
    if (frmAboutQiv == nullptr) frmAboutQiv = MakeOwnedForm<TfrmAboutQiv>(EnsureApplication());
    return frmAboutQiv;
}

void RegisterAboutClasses() {
    using F = TfrmAboutQiv;
    PublishClass<F, TForm>()
        .Handler("FormCreate", &F::FormCreate)
        .Handler("FormShow", &F::FormShow)
        .Field("Image1", &F::Image1)
        .Field("Panel1", &F::Panel1)
        .Field("Label1", &F::Label1)
        .Field("Label2", &F::Label2)
        .Field("Label3", &F::Label3)
        .Field("JumpLabel1", &F::JumpLabel1)
        .Field("JumpLabel2", &F::JumpLabel2)
        .Field("OKBtn", &F::OKBtn)
        .Field("QclForm1", &F::QclForm1);
}

}  // namespace treskel
