#include "app/SearchDialog.h"

#include "platform/FormLoader.h"

namespace treskel {

TfrmSearch* frmSearch = nullptr;

TfrmSearch::~TfrmSearch() {
    if (frmSearch == this) frmSearch = nullptr;
}

void TfrmSearch::FormActivate(TObject*) {
    txtSearch->SetText("");
    // The text is typed first, however the dialog was left last time.
    SetActiveControl(txtSearch);
}

TfrmSearch* SearchForm() {
    if (frmSearch == nullptr) frmSearch = MakeOwnedForm<TfrmSearch>(EnsureApplication());
    return frmSearch;
}

void RegisterSearchDialogClasses() {
    PublishClass<TfrmSearch, TForm>()
        .Handler("FormActivate", &TfrmSearch::FormActivate)
        .Field("Label1", &TfrmSearch::Label1)
        .Field("txtSearch", &TfrmSearch::txtSearch)
        .Field("chkMatchCase", &TfrmSearch::chkMatchCase)
        .Field("OKBtn", &TfrmSearch::OKBtn)
        .Field("CancelBtn", &TfrmSearch::CancelBtn)
        .Field("QclForm1", &TfrmSearch::QclForm1);
}

}  // namespace treskel
