// A form whose layouts bind the window utilities' events to handlers that
// note what they were told, for the tests of the window utilities.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "platform/Register.h"
#include "support/GuiTest.h"

namespace treskel::test {

inline constexpr UINT kProbe = WM_APP + 7;

// A plain form on the screen at (100, 100), 400 by 300.
inline OwnedPtr<TForm> ShownForm() {
    auto form = MakeForm<TForm>();
    form->SetBounds(100, 100, 400, 300);
    form->Show();
    PumpMessages();
    return form;
}

class TWinUtilTestForm : public TForm {
    TRESKEL_CLASS(TWinUtilTestForm)
public:
    using TForm::TForm;
    std::vector<std::string> log;
    // What the caption handlers paint over the text and button 0.
    TColor captionFill = clNone, buttonFill = clNone;

    void CapDrawCaption(TObject*, std::string& text, TCanvas* canvas, const TRect& rect, bool& drawn) {
        log.push_back("caption " + text);
        if (captionFill == clNone) return;
        canvas->Brush()->SetColor(captionFill);
        canvas->FillRect(rect);
        drawn = true;
    }
    void CapButtonDraw(TObject*, int index, TCanvas* canvas, const TRect& rect, bool& drawn) {
        if (index != 0 || buttonFill == clNone) return;
        canvas->Brush()->SetColor(buttonFill);
        canvas->FillRect(rect);
        drawn = true;
    }
    void PlacementSaved(TObject*) { log.push_back("saved"); }
    void PlacementRestored(TObject*) { log.push_back("restored"); }
    void HookBefore(TObject* sender, TMessage& m, bool&) {
        if (m.Msg == kProbe) log.push_back(static_cast<TComponent*>(sender)->Name() + " before");
    }
    void HookAfter(TObject* sender, TMessage& m, bool&) {
        if (m.Msg == kProbe) log.push_back(static_cast<TComponent*>(sender)->Name() + " after");
    }
    void TrayMouseDown(TObject*, TMouseButton, TShiftState, int, int) { log.push_back("down"); }
    void TrayMouseMove(TObject*, TShiftState, int, int) { log.push_back("move"); }
    void TrayMouseUp(TObject*, TMouseButton, TShiftState, int, int) { log.push_back("up"); }
};

// A form at (100, 100), 400 by 300, read from a layout whose components
// (and further form properties) are `body`.
inline OwnedPtr<TWinUtilTestForm> LoadWinUtilForm(const std::string& body) {
    static bool registered = false;
    if (!registered) {
        registered = true;
        using F = TWinUtilTestForm;
        PublishClass<F, TForm>()
            .Handler("CapDrawCaption", &F::CapDrawCaption)
            .Handler("CapButtonDraw", &F::CapButtonDraw)
            .Handler("PlacementSaved", &F::PlacementSaved)
            .Handler("PlacementRestored", &F::PlacementRestored)
            .Handler("HookBefore", &F::HookBefore)
            .Handler("HookAfter", &F::HookAfter)
            .Handler("TrayMouseDown", &F::TrayMouseDown)
            .Handler("TrayMouseMove", &F::TrayMouseMove)
            .Handler("TrayMouseUp", &F::TrayMouseUp);
    }
    OwnedPtr<TWinUtilTestForm> form(new TWinUtilTestForm(nullptr));
    form->InitializeForm("object F: TWinUtilTestForm\n  Left = 100\n  Top = 100\n  Width = 400\n  Height = 300\n" +
                             body + "end\n",
                         "winutil.form");
    return form;
}

template <class T>
T* Find(TComponent* root, const char* name) {
    return dynamic_cast<T*>(root->FindComponent(name));
}

}  // namespace treskel::test
