// The input query: a small dialog with a prompt, an edit and two buttons.
#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

namespace treskel {

bool InputQueryWindow(const std::string& caption, const std::string& prompt, std::string& value) {
    OwnedPtr<TForm> form(new TForm(nullptr));
    form->SetBorderStyle(TFormBorderStyle::bsDialog);
    form->SetCaption(caption);
    form->SetPosition(TPosition::poScreenCenter);
    form->SetFormClientWidth(240);
    form->SetFormClientHeight(110);
    auto* label = Create<TLabel>(form.get());
    label->SetParent(form.get());
    label->SetBounds(8, 8, 224, 16);
    label->SetCaption(prompt);
    auto* edit = Create<TEdit>(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(8, 30, 224, 21);
    edit->SetText(value);
    edit->SetTabOrder(0);
    auto* ok = Create<TButton>(form.get());
    ok->SetParent(form.get());
    ok->SetBounds(76, 74, 75, 25);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    ok->SetTabOrder(1);
    auto* cancel = Create<TButton>(form.get());
    cancel->SetParent(form.get());
    cancel->SetBounds(157, 74, 75, 25);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    cancel->SetTabOrder(2);
    form->SetActiveControl(edit);
    if (form->ShowModal() != mrOk) return false;
    value = edit->Text();
    return true;
}

}  // namespace treskel
