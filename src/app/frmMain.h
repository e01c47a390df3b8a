// The main window: tabs of treskels, the item tree and the note editor.
#pragma once

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
};

extern TfrmTreskel* frmTreskel;

void RegisterMainFormClasses();

}  // namespace treskel
