// The go-to-page dialog: asks for a page number from 1 to the page count.
#pragma once

#include "platform/Forms.h"
#include "platform/StdCtrls.h"

namespace treskel {

class TGoPageForm : public TForm {
    TRESKEL_CLASS(TGoPageForm)
public:
    explicit TGoPageForm(TComponent* owner) : TForm(owner) {}
    TEdit* PageNum = nullptr;
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;

    void SetMaxValue(int v) { maxValue_ = std::max(1, v); }
    int MaxValue() const { return maxValue_; }
    void SetValue(int v);
    // The typed number held to 1 .. MaxValue (1 when nothing sensible was typed).
    int Value();

private:
    int maxValue_ = 1;
};

void RegisterGoPageClasses();

}  // namespace treskel
