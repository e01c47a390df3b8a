// The library's visual controls as layouts name them, with the older
// property names that layouts may still hold (read, never written).
#include "controls/qclbtnWin.h"
#include "foundation/qclgraph.h"
#include "platform/FormLoader.h"

namespace treskel {

namespace {

// The image-list link: a reference to a list of the layout, or "Internal"
// holding the signature of one of the two global lists.
template <class C, class P>
PublishClass<C, P>& PublishImageLink(PublishClass<C, P>& p) {
    return p.template Ref<TQclCustomImageList>("ImageList", &C::ImageList, &C::SetImageList)
        .Int("ImageIndex", &C::ImageIndex, &C::SetImageIndex)
        .Int("ListIndex", &C::ListIndex, &C::SetListIndex)
        .Custom("Internal",
                [](C* c, const FormValue& v, LayoutReader& r) { c->SetImageList(QclReadGlobalListRef(typinfo::AsString(v, r))); },
                [](C* c) -> std::optional<FormValue> {
                    if (!QclIsGlobalList(c->ImageList())) return std::nullopt;
                    return FormValue::Str(QclWriteGlobalListRef(c->ImageList()));
                });
}

void IgnoreAbout(TObject*, const FormValue&, LayoutReader&) {}

void RegisterButtons() {
    using B = TQclBaseGraphicButton;
    PublishClass<B, TQclBaseControl> base;
    base.NotCreatable()
        .Custom("About", IgnoreAbout)
        .String("Caption", &B::Caption, &B::SetCaption)
        .Bool("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp)
        .Object("ButtonLayout", &B::ButtonLayout)
        .Int("DropDownIndent", &B::DropDownIndent, &B::SetDropDownIndent)
        .Ref<TPopupMenu>("DropDownMenu", &B::DropDownMenu, &B::SetDropDownMenu)
        .Bool("DropDownRight", &B::DropDownRight, &B::SetDropDownRight)
        .Int("EnterColor", &B::EnterColor, &B::SetEnterColor, clCaptionText, &ColorIdents())
        .Bool("EnterColorChange", &B::EnterColorChange, &B::SetEnterColorChange)
        .Object("FontFx", &B::FontFx)
        .Object("Glyph", &B::Glyph)
        .Int("GroupIndex", &B::GroupIndex, &B::SetGroupIndex)
        .Bool("HideHint", &B::HideHint, &B::SetHideHint, true)
        .Bool("MultiLine", &B::MultiLine, &B::SetMultiLine)
        .Int("NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs, 1)
        .Bool("Pressed", &B::Pressed, &B::SetPressed)
        .Bool("RepeatedClick", &B::RepeatedClick, &B::SetRepeatedClick)
        .Int("RepeatingInterval", &B::RepeatingInterval, &B::SetRepeatingInterval, 100)
        .Event("OnDropDown", &B::OnDropDown);
    PublishClass<TQclCustomSpeedButton, B>()
        .NotCreatable()
        .Enum<TQclUserButtonStyle>("Style", &TQclCustomSpeedButton::Style, &TQclCustomSpeedButton::SetStyle,
                                   TQclUserButtonStyle::ubsAutoDetect);
    PublishClass<TQclOfficeButton, TQclCustomSpeedButton>();
    PublishClass<TQclExplorerButton, TQclOfficeButton>()
        .Bool("UnColorMain", &TQclExplorerButton::UnColorMain, &TQclExplorerButton::SetUnColorMain, true)
        .Bool("Transparent", &TQclExplorerButton::Transparent, &TQclExplorerButton::SetTransparent, true);
}

}  // namespace

void RegisterQclControlClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterWinUtilControlClasses();  // the bitmap data of glyphs
    PublishClass<TQclBaseControl, TGraphicControl> base;
    base.NotCreatable();
    PublishImageLink(base).Event("OnMouseEnter", &TQclBaseControl::OnMouseEnter).Event("OnMouseExit", &TQclBaseControl::OnMouseExit);
    PublishClass<TQclCustomControl, TCustomControl> windowed;
    windowed.NotCreatable();
    PublishImageLink(windowed);
    RegisterButtons();
}

}  // namespace treskel
