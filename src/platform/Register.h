// Registration of the class library's classes for layouts.
#pragma once

#include <optional>
#include <string>

#include "platform/Controls.h"
#include "platform/FormLoader.h"

namespace treskel {

void RegisterGraphicsClasses();
void RegisterControlClasses();
void RegisterFormClasses();
void RegisterActionClasses();
void RegisterMenuClasses();
void RegisterStdControlClasses();
void RegisterStdLibClasses();  // memo, check box, panel, dialogs, ... (RegisterStdLib.cpp)

// All of the above, once.
void RegisterPlatformClasses();

// Controls that take their parent's colour by default write a colour only
// when they have one of their own.
template <class C, class P>
PublishClass<C, P>& OwnColor(PublishClass<C, P>& pc) {
    return pc.Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, true)
        .Custom(
            "Color", [](C* c, const FormValue& v, LayoutReader& r) {
                c->SetColor(static_cast<TColor>(typinfo::AsInt(v, r, &ColorIdents())));
            },
            [](C* c) -> std::optional<FormValue> {
                if (c->ParentColor()) return std::nullopt;
                std::string ident;
                if (ColorToIdent(c->Color(), ident)) return FormValue::Ident(ident);
                return FormValue::Int(c->Color());
            });
}

// The reading order: BiDiMode is written whenever the control has a mode of
// its own, whatever it is (read back, it must not follow the parent again).
template <class C, class P>
PublishClass<C, P>& PublishBiDi(PublishClass<C, P>& pc) {
    return pc
        .Custom(
            "BiDiMode",
            [](C* c, const FormValue& v, LayoutReader& r) {
                c->SetBiDiMode(static_cast<TBiDiMode>(typinfo::AsEnum(v, GetEnumInfo(TBiDiMode{}), r)));
            },
            [](C* c) -> std::optional<FormValue> {
                if (c->ParentBiDiMode()) return std::nullopt;
                return FormValue::Ident(GetEnumInfo(TBiDiMode{}).names.at(static_cast<size_t>(c->BiDiMode())));
            })
        .Bool("ParentBiDiMode", &C::ParentBiDiMode, &C::SetParentBiDiMode, true);
}

// A control that can be docked: how a drag from it goes, and its start
// and end.
template <class C, class P>
PublishClass<C, P>& PublishDockClient(PublishClass<C, P>& pc) {
    return pc.template Enum<TDragKind>("DragKind", &C::DragKind, &C::SetDragKind, TDragKind::dkDrag)
        .template Event<TStartDockEvent>("OnStartDock", &C::OnStartDock)
        .template Event<TEndDragEvent>("OnEndDock", &C::OnEndDock);
}

// The limits of its size.
template <class C, class P>
PublishClass<C, P>& PublishConstraints(PublishClass<C, P>& pc) {
    return pc.Object("Constraints", &C::Constraints);
}

// The events asked before a change of size.
template <class C, class P>
PublishClass<C, P>& PublishResizeEvents(PublishClass<C, P>& pc) {
    return pc.template Event<TCanResizeEvent>("OnCanResize", &C::OnCanResize)
        .template Event<TConstrainedResizeEvent>("OnConstrainedResize", &C::OnConstrainedResize);
}

// A windowed control that controls can be docked into.
template <class C, class P>
PublishClass<C, P>& PublishDockSite(PublishClass<C, P>& pc) {
    return pc.Bool("DockSite", &C::DockSite, &C::SetDockSite, false)
        .template Event<TDockDropEvent>("OnDockDrop", &C::OnDockDrop)
        .template Event<TDockOverEvent>("OnDockOver", &C::OnDockOver)
        .template Event<TGetSiteInfoEvent>("OnGetSiteInfo", &C::OnGetSiteInfo)
        .template Event<TUnDockEvent>("OnUnDock", &C::OnUnDock);
}

}  // namespace treskel
