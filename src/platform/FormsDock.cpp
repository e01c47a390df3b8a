// The window a control floats in when it is dragged (dkDock) over no dock
// site: a tool window that holds it over its whole client area, and whose
// caption, taken hold of, drags the control again to dock it.
#include "platform/ControlsHooks.h"
#include "platform/ControlsPriv.h"
#include "platform/Forms.h"

namespace treskel {

TCustomDockForm::TCustomDockForm(TComponent* owner) : TCustomForm(owner) {
    SetBorderStyle(TFormBorderStyle::bsSizeToolWin);
    SetBorderIcons({TBorderIcon::biSystemMenu});
}

void TCustomDockForm::AlignControls(TControl* control, TRect& rect) {
    TCustomForm::AlignControls(control, rect);
    TRect r = ClientRect();
    for (int i = 0; i < DockClientCount(); ++i)
        if (DockClients(i)->Parent() == this) DockClients(i)->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TCustomDockForm::DoClose(TCloseAction& action) {
    action = TCloseAction::caHide;
    TCustomForm::DoClose(action);
}

void TCustomDockForm::WndProc(TMessage& m) {
    if (m.Msg == WM_NCLBUTTONDOWN && m.WParam == HTCAPTION && DockClientCount() == 1 && !IsIconic(Handle())) {
        ctl::BeginDockDrag(DockClients(0), -1);
        m.Result = 0;
        return;
    }
    TCustomForm::WndProc(m);
}

void InstallFloatingHosts() {
    hooks::MakeFloatingHost = [](TControl* client, const TRect& r) -> TWinControl* {
        TComponent* owner = client->Owner() != nullptr ? client->Owner() : EnsureApplication();
        auto* host = MakeOwnedForm<TCustomDockForm>(owner);
        host->SetCaption(client->Caption());
        // The client area is where the frame of the drag was.
        ctl::PlaceClientArea(FormAsControl(host), r);
        return FormAsControl(host);
    };
}

}  // namespace treskel
