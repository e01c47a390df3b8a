// The about box: the banner, what the program is, and two links that open
// the program's folders.
#pragma once

#include "controls/qclctrlAImage.h"
#include "controls/qclctrlAWin.h"
#include "controls/qclformA.h"
#include "controls/qclstdcS.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

namespace treskel {

class TfrmAboutQiv : public TForm {
    TRESKEL_CLASS(TfrmAboutQiv)
public:
    explicit TfrmAboutQiv(TComponent* owner) : TForm(owner) {}
    ~TfrmAboutQiv() override;

    void FormCreate(TObject* Sender);
    // The links open the data directory in use and the program's directory.
    void FormShow(TObject* Sender);

    TQclNImage* Image1 = nullptr;
    TQclSimplePanel* Panel1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TQclSimpleLabel* JumpLabel1 = nullptr;
    TQclSimpleLabel* JumpLabel2 = nullptr;
    TButton* OKBtn = nullptr;
    TQclForm* QclForm1 = nullptr;
};

// Made by the program block at start-up.
extern TfrmAboutQiv* frmAboutQiv;
// The about box; made (owned by the application) on first use where the
// program block did not make it, as in the tests.
TfrmAboutQiv* AboutForm();

void RegisterAboutClasses();

}  // namespace treskel
