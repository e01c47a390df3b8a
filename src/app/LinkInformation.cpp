#include "app/LinkInformation.h"

#include "platform/FormLoader.h"

namespace treskel {

void TfrmItemInfo::FormShow(TObject*) {
    if (ItemData == nullptr) return;
    Edit4->SetText(IntToStr(ItemData->Id));
    CheckBox1->SetChecked(ItemData->Locked != 0);
    CheckBox2->SetChecked(ItemData->IsLink != 0);
}

void TfrmItemInfo::FormClose(TObject*, TCloseAction& Action) { Action = TCloseAction::caFree; }

void TfrmItemInfo::Edit3KeyPress(TObject*, char& Key) { Key = 0; }

void RegisterItemInfoClasses() {
    PublishClass<TfrmItemInfo, TForm>()
        .Handler("FormShow", &TfrmItemInfo::FormShow)
        .Handler("FormClose", &TfrmItemInfo::FormClose)
        .Handler("Edit3KeyPress", &TfrmItemInfo::Edit3KeyPress)
        .Field("Panel1", &TfrmItemInfo::Panel1)
        .Field("Label1", &TfrmItemInfo::Label1)
        .Field("Label2", &TfrmItemInfo::Label2)
        .Field("Label3", &TfrmItemInfo::Label3)
        .Field("Edit1", &TfrmItemInfo::Edit1)
        .Field("Edit3", &TfrmItemInfo::Edit3)
        .Field("Edit4", &TfrmItemInfo::Edit4)
        .Field("CheckBox1", &TfrmItemInfo::CheckBox1)
        .Field("CheckBox2", &TfrmItemInfo::CheckBox2)
        .Field("OKBtn", &TfrmItemInfo::OKBtn)
        .Field("QclForm1", &TfrmItemInfo::QclForm1);
}

}  // namespace treskel
