// The input query: a small dialog with a prompt, an edit and two buttons,
// as wide as its prompt needs.
#include <algorithm>

#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

namespace treskel {

bool InputQueryWindow(const std::string& caption, const std::string& prompt, std::string& value, bool masked,
                      const TQueryCheck& check) {
    constexpr int margin = 8;
    OwnedPtr<TForm> form(new TForm(nullptr));
    form->SetBorderStyle(TFormBorderStyle::bsDialog);
    form->SetCaption(caption);
    form->SetPosition(TPosition::poScreenCenter);
    auto* label = Create<TLabel>(form.get());
    label->SetParent(form.get());
    label->SetLeft(margin);
    label->SetTop(margin);
    label->SetCaption(prompt);  // the label takes the width of its text
    // The whole prompt shows, within the screen.
    int width = std::clamp(label->Width(), 224, GetSystemMetrics(SM_CXSCREEN) - 4 * margin);
    form->SetFormClientWidth(width + 2 * margin);
    form->SetFormClientHeight(110);
    label->SetWidth(width);
    auto* edit = Create<TEdit>(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(margin, 30, width, 21);
    // The text is single-byte: letters the code page lacks are refused at
    // OK and stay in the box, as typed, for the user to change.
    edit->SetWideWindow(true);
    edit->SetText(value);
    edit->SetTabOrder(0);
    if (masked) edit->SetPasswordChar('*');
    auto* ok = Create<TButton>(form.get());
    ok->SetParent(form.get());
    ok->SetBounds(margin + width - 156, 74, 75, 25);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    ok->SetTabOrder(1);
    auto* cancel = Create<TButton>(form.get());
    cancel->SetParent(form.get());
    cancel->SetBounds(margin + width - 75, 74, 75, 25);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    cancel->SetTabOrder(2);
    form->SetActiveControl(edit);
    form->OnCloseQuery = [&](TObject*, bool& canClose) {
        if (form->ModalResult() != mrOk) return;
        const std::wstring typed = edit->WideText();
        if (RefuseLettersOutsideCodePage(typed, !masked)) {
            canClose = false;
            edit->SetFocus();
            edit->SelectWide(static_cast<int>(FirstLetterOutsideCodePage(typed)), 1);
            return;
        }
        // A value the caller refuses is told why and left as it was,
        // selected for typing over.
        if (!check) return;
        const std::string problem = check(edit->Text());
        if (problem.empty()) return;
        canClose = false;
        ShowMessageBox(form->Handle(), problem, caption, MB_OK | MB_ICONWARNING);
        edit->SetFocus();
        edit->SelectAll();
    };
    if (form->ShowModal() != mrOk) return false;
    value = edit->Text();
    return true;
}

}  // namespace treskel
