// The go-to-page dialog: asks for a page number from 1 to the page count.
#pragma once

#include "platform/Forms.h"
#include "platform/Spin.h"
#include "platform/StdCtrls.h"

namespace treskel {

class TGoPageForm : public TForm {
    TRESKEL_CLASS(TGoPageForm)
public:
    explicit TGoPageForm(TComponent* owner) : TForm(owner) {}
    TSpinEdit* PageNum = nullptr;
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;

    void SetMaxValue(int v) { PageNum->SetMaxValue(std::max(1, v)); }
    int MaxValue() const { return PageNum->MaxValue(); }
    void SetValue(int v) { PageNum->SetValue(v); }
    // The typed number held to 1 .. MaxValue.
    int Value() { return PageNum->Value(); }

    // OK closes the dialog only on a number.
    void OKBtnClick(TObject* Sender);
};

void RegisterGoPageClasses();

}  // namespace treskel
