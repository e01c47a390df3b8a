// The main window: tabs of treskels, the item tree and the note editor.
#pragma once

#include "foundation/qclnonvS.h"
#include "foundation/qclsysin.h"
#include "platform/Forms.h"

namespace treskel {

class TfrmTreskel : public TForm {
    TRESKEL_CLASS(TfrmTreskel)
public:
    explicit TfrmTreskel(TComponent* owner) : TForm(owner) {}

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormDestroy(TObject* Sender);

    TQclIniCtrl* IniCtrl = nullptr;
    TQclOneInstance* QclOneInstance1 = nullptr;
};

extern TfrmTreskel* frmTreskel;

void RegisterMainFormClasses();

}  // namespace treskel
