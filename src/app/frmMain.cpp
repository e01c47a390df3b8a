#include "app/frmMain.h"

#include "platform/FormLoader.h"

namespace treskel {

TfrmTreskel* frmTreskel = nullptr;

void TfrmTreskel::FormCreate(TObject*) {}

void TfrmTreskel::FormShow(TObject*) {}

void TfrmTreskel::FormClose(TObject*, TCloseAction&) {}

void TfrmTreskel::FormDestroy(TObject*) {}

void RegisterMainFormClasses() {
    PublishClass<TfrmTreskel, TForm>()
        .Handler("FormCreate", &TfrmTreskel::FormCreate)
        .Handler("FormShow", &TfrmTreskel::FormShow)
        .Handler("FormClose", &TfrmTreskel::FormClose)
        .Handler("FormDestroy", &TfrmTreskel::FormDestroy)
        .Field("IniCtrl", &TfrmTreskel::IniCtrl)
        .Field("QclOneInstance1", &TfrmTreskel::QclOneInstance1);
}

}  // namespace treskel
