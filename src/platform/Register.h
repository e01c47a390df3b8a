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

}  // namespace treskel
