#include "preview/Gopage.h"

#include "platform/FormLoader.h"

namespace treskel {

void TGoPageForm::OKBtnClick(TObject*) {
    if (!PageNum->HasNumber()) {
        MessageBeep(0);
        PageNum->SetFocus();
        PageNum->SelectAll();
        return;
    }
    SetModalResult(mrOk);
}

void RegisterGoPageClasses() {
    PublishClass<TGoPageForm, TForm>()
        .Handler("OKBtnClick", &TGoPageForm::OKBtnClick)
        .Field("PageNum", &TGoPageForm::PageNum)
        .Field("OKBtn", &TGoPageForm::OKBtn)
        .Field("CancelBtn", &TGoPageForm::CancelBtn);
}

}  // namespace treskel
