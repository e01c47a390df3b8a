// The search dialog: asks for the text of the caption searches.
#pragma once

#include "controls/qclformA.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

namespace treskel {

class TfrmSearch : public TForm {
    TRESKEL_CLASS(TfrmSearch)
public:
    explicit TfrmSearch(TComponent* owner) : TForm(owner) {}
    ~TfrmSearch() override;

    // Every showing starts with an empty text to type; "Match case" keeps
    // its state.
    void FormActivate(TObject* Sender);

    TLabel* Label1 = nullptr;
    TEdit* txtSearch = nullptr;
    TCheckBox* chkMatchCase = nullptr;
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;
    TQclForm* QclForm1 = nullptr;
};

// Made by the program block at start-up.
extern TfrmSearch* frmSearch;

// The search dialog; made (owned by the application) on first use where
// the program block did not make it, as in the tests.
TfrmSearch* SearchForm();

void RegisterSearchDialogClasses();

}  // namespace treskel
