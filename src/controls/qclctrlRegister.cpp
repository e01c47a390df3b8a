// The library's visual controls as layouts name them, with the older
// property names that layouts may still hold (read, never written).
#include "controls/qclbtnMM.h"
#include "controls/qclbtnWin.h"
#include "controls/qclbtnWnd.h"
#include "controls/qclctrlAWin.h"
#include "controls/qclgroupWin.h"
#include "controls/qclstdcS.h"
#include "foundation/qclgraph.h"
#include "platform/FormLoader.h"
#include "platform/Register.h"

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

void RegisterButtons() {
    using B = TQclBaseGraphicButton;
    PublishClass<B, TQclBaseControl> base;
    base.NotCreatable()
        .Custom("About", QclIgnoreAbout)
        .String("Caption", &B::Caption, &B::SetCaption)
        .Bool("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp)
        .Object("ButtonLayout", &B::ButtonLayout)
        .Int("DropDownIndent", &B::DropDownIndent, &B::SetDropDownIndent)
        .Ref<TPopupMenu>("DropDownMenu", &B::DropDownMenu, &B::SetDropDownMenu)
        .Bool("DropDownRight", &B::DropDownRight, &B::SetDropDownRight)
        .Int("EnterColor", &B::EnterColor, &B::SetEnterColor, clCaptionText, &ColorIdents())
        .Bool("EnterColorChange", &B::EnterColorChange, &B::SetEnterColorChange)
        .Object("FontFx", &B::FontFx)
        .Object("Glyph", &B::Glyph, [](B* b) { return b->GlyphStored(); })
        .Int("GroupIndex", &B::GroupIndex, &B::SetGroupIndex)
        .Bool("HideHint", &B::HideHint, &B::SetHideHint, true)
        .Bool("MultiLine", &B::MultiLine, &B::SetMultiLine)
        .Int("NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs, 1)
        .Bool("Pressed", &B::Pressed, &B::SetPressed)
        .Bool("RepeatedClick", &B::RepeatedClick, &B::SetRepeatedClick)
        .Int("RepeatingInterval", &B::RepeatingInterval, &B::SetRepeatingInterval, 100)
        .Event("OnDropDown", &B::OnDropDown);
    OwnColor(base);
    PublishBiDi(base);
    PublishConstraints(base);
    PublishDockClient(base);
    PublishClass<TQclCustomSpeedButton, B>()
        .NotCreatable()
        .Enum<TQclUserButtonStyle>("Style", &TQclCustomSpeedButton::Style, &TQclCustomSpeedButton::SetStyle,
                                   TQclUserButtonStyle::ubsAutoDetect);
    PublishClass<TQclOfficeButton, TQclCustomSpeedButton>();
    PublishClass<TQclExplorerButton, TQclOfficeButton>()
        .Unpublish({"DropDownIndent", "DropDownMenu", "DropDownRight", "OnDropDown"})
        .Bool("UnColorMain", &TQclExplorerButton::UnColorMain, &TQclExplorerButton::SetUnColorMain, true)
        // An older property: read, never written.
        .Custom("Transparent", [](TQclExplorerButton* b, const FormValue& v, LayoutReader& r) {
            b->SetTransparent(typinfo::AsBool(v, r));
        });
}

void RegisterPanels() {
    using S = TQclCustomScrollBox;
    PublishClass<S, TScrollBox> box;
    box.NotCreatable()
        .Custom("About", QclIgnoreAbout)
        .ReadOnly("BorderStyle")  // always bsNone: the bevel is the frame
        .Bool("AutoSize", &S::AutoSize, &S::SetAutoSize)
        .Object("Bevel", &S::Bevel)
        .Bool("InstantUpdate", &S::InstantUpdate, &S::SetInstantUpdate, true)
        .Bool("MouseWheelSupport", &S::MouseWheelSupport, &S::SetMouseWheelSupport)
        .Bool("Transparent", &S::Transparent, &S::SetTransparent)
        .Event("OnPaint", &S::OnPaint);
    PublishBiDi(box);
    PublishConstraints(box);
    PublishResizeEvents(box);
    PublishDockClient(box);
    PublishDockSite(box);
    PublishClass<TQclScrollBox, S>();
    using P = TQclCustomBevelPanel;
    PublishClass<TQclCustomPanel, TQclCustomControl>()
        .NotCreatable()
        .Custom("About", QclIgnoreAbout)
        .Bool("Locked", &TQclCustomPanel::Locked, &TQclCustomPanel::SetLocked)
        .Bool("Transparent", &TQclCustomPanel::Transparent, &TQclCustomPanel::SetTransparent)
        .Int("Color", &TQclCustomPanel::Color, &TQclCustomPanel::SetColor, clBtnFace, &ColorIdents());
    PublishClass<P, TQclCustomPanel>().NotCreatable().Object("Bevel", &P::Bevel);
    PublishClass<TQclSimplePanel, P> simple;
    simple.Bool("AutoSize", &TQclSimplePanel::AutoSize, &TQclSimplePanel::SetAutoSize)
        .Bool("UseDockManager", &TQclSimplePanel::UseDockManager, &TQclSimplePanel::SetUseDockManager, true);
    PublishBiDi(simple);
    PublishConstraints(simple);
    PublishResizeEvents(simple);
    PublishDockClient(simple);
    PublishDockSite(simple);
    PublishClass<TQclCustomParentPanel, P>().NotCreatable();
    PublishClass<TQclParentPanel, TQclCustomParentPanel>();
    using G = TQclCustomGroupBox;
    PublishClass<G, TQclCustomParentPanel>()
        .NotCreatable()
        .String("Caption", &G::Caption, &G::SetCaption)
        .Enum<TQclGroupCaptionAlign>("Alignment", &G::Alignment, &G::SetAlignment, TQclGroupCaptionAlign::gcaTopLeft)
        .Object("CaptionFont", &G::CaptionFont)
        .Object("CaptionFont3D", &G::CaptionFont3D)
        .Int("CaptionOffset", &G::CaptionOffset, &G::SetCaptionOffset, 8)
        .Bool("CaptionParentFont", &G::CaptionParentFont, &G::SetCaptionParentFont, true)
        .Bool("ShowAccelChar", &G::ShowAccelChar, &G::SetShowAccelChar, true);
    PublishClass<TQclGroupBox, G>();
}

void RegisterLabels() {
    using L = TQclBaseLabel;
    PublishClass<L, TQclBaseControl> label;
    OwnColor(label)
        .NotCreatable()
        .Custom("About", QclIgnoreAbout)
        .String("Caption", &L::Caption, &L::SetCaption)
        .Enum<TQclAlignment>("Alignment", &L::Alignment, &L::SetAlignment, TQclAlignment::agTopLeft)
        .Bool("AutoSize", &L::AutoSize, &L::SetAutoSize, true)
        .Ref<TWinControl>("FocusControl", &L::FocusControl, &L::SetFocusControl)
        .Bool("MultiLine", &L::MultiLine, &L::SetMultiLine)
        .Bool("ShowAccelChar", &L::ShowAccelChar, &L::SetShowAccelChar, true)
        .Bool("Transparent", &L::Transparent, &L::SetTransparent, true);
    PublishBiDi(label);
    PublishConstraints(label);
    PublishDockClient(label);
    using S = TQclCustomSimpleLabel;
    PublishClass<S, L>()
        .NotCreatable()
        .Object("Font3D", &S::Font3D)
        .String("Jump", &S::Jump, &S::SetJump)
        .Int("ActiveColor", &S::ActiveColor, &S::SetActiveColor, 0x800080, &ColorIdents())
        .Int("InActiveColor", &S::InActiveColor, &S::SetInActiveColor, 0xFF0000, &ColorIdents())
        .Bool("JumpUnderline", &S::JumpUnderline, &S::SetJumpUnderline, true)
        .Enum<TQclJumpModes>("JumpMode", &S::JumpMode, &S::SetJumpMode, TQclJumpModes::jmNone)
        .SetOf<TQclLabelOption>("Options", &S::Options, &S::SetOptions, {})
        .Custom("UseAsJump", [](S* s, const FormValue& v, LayoutReader& r) { s->SetUseAsJump(typinfo::AsBool(v, r)); });
    PublishClass<TQclSimpleLabel, S>();
    using D = TQclCustomDockLabel;
    PublishClass<D, S>()
        .NotCreatable()
        // The jump of the simple label is not the dock label's.
        .Unpublish({"Jump", "ActiveColor", "InActiveColor", "JumpUnderline", "JumpMode", "Options"})
        .Bool("AutoSize", &D::AutoSize, &D::SetAutoSize, false)
        .Bool("AdjustDockedSize", &D::AdjustDockedSize, &D::SetAdjustDockedSize)
        .Alias("AdjustSize", "AdjustDockedSize")
        .Bool("Docked", &D::Docked, &D::SetDocked, true)
        .Int("Margin", &D::Margin, &D::SetMargin, 1)
        .Enum<TQclDockPosition>("Position", &D::Position, &D::SetPosition, TQclDockPosition::dpLeft)
        .Bool("ReflectOwnChanges", &D::ReflectOwnChanges, &D::SetReflectOwnChanges);
    PublishClass<TQclDockLabel, D>();
}

void RegisterRadio() {
    using C = TQclButtonControl;
    PublishClass<C, TQclCustomPanel>()
        .NotCreatable()
        .String("Caption", &C::Caption, &C::SetCaption)
        .Object("Alignment", &C::Alignment)
        .Bool("AutoSize", &C::AutoSize, &C::SetAutoSize)
        .Int("FocusColor", &C::FocusColor, &C::SetFocusColor, 0x808080, &ColorIdents())
        .Enum<TQclGlyphTextFocusStyle>("FocusStyle", &C::FocusStyle, &C::SetFocusStyle, TQclGlyphTextFocusStyle::fcText)
        .Object("Font3D", &C::Font3D)
        .Int("GlyphSize", &C::GlyphSize, &C::SetGlyphSize, 13)
        .Bool("GlyphFlat", &C::GlyphFlat, &C::SetGlyphFlat)
        .Bool("GlyphTransparent", &C::GlyphTransparent, &C::SetGlyphTransparent, true)
        .Int("GlyphTransparentColor", &C::GlyphTransparentColor, &C::SetGlyphTransparentColor, 0x008080, &ColorIdents())
        .Int("HelpContext", &C::HelpContext, &C::SetHelpContext)
        .Bool("ReadOnly", &C::ReadOnly, &C::SetReadOnly)
        .Bool("UseBitmap", &C::UseBitmap, &C::SetUseBitmap)
        .Bool("UseFocusColor", &C::UseFocusColor, &C::SetUseFocusColor);
    PublishClass<TQclRadioButton, C> radio;
    radio.Bool("Checked", &TQclRadioButton::Checked, &TQclRadioButton::SetChecked);
    PublishBiDi(radio);
    PublishConstraints(radio);
    PublishDockClient(radio);
    using G = TQclCustomButtonGroup;
    PublishClass<G, TQclCustomGroupBox>()
        .NotCreatable()
        .Object("Items", &G::Items)
        .Int("Columns", &G::Columns, &G::SetColumns, 1)
        .Int("FocusColor", &G::FocusColor, &G::SetFocusColor, 0x808080, &ColorIdents())
        .Enum<TQclGlyphTextFocusStyle>("FocusStyle", &G::FocusStyle, &G::SetFocusStyle, TQclGlyphTextFocusStyle::fcText)
        .Object("Font3D", &G::Font3D)
        .Ref<TQclCustomImageList>("GlyphImageList", &G::GlyphImageList, &G::SetGlyphImageList)
        .Int("GlyphImageIndex", &G::GlyphImageIndex, &G::SetGlyphImageIndex)
        .Int("GlyphListIndex", &G::GlyphListIndex, &G::SetGlyphListIndex)
        .Custom("GlyphInternal",
                [](G* g, const FormValue& v, LayoutReader& r) { g->SetGlyphImageList(QclReadGlobalListRef(typinfo::AsString(v, r))); },
                [](G* g) -> std::optional<FormValue> {
                    if (!QclIsGlobalList(g->GlyphImageList())) return std::nullopt;
                    return FormValue::Str(QclWriteGlobalListRef(g->GlyphImageList()));
                })
        .Bool("GlyphFlat", &G::GlyphFlat, &G::SetGlyphFlat)
        .Int("GlyphSize", &G::GlyphSize, &G::SetGlyphSize, 13)
        .Bool("GlyphTransparent", &G::GlyphTransparent, &G::SetGlyphTransparent, true)
        .Int("GlyphTransparentColor", &G::GlyphTransparentColor, &G::SetGlyphTransparentColor, 0x008080, &ColorIdents())
        .Enum<TQclChildHelpContextID>("HelpContextBtn", &G::HelpContextBtn, &G::SetHelpContextBtn,
                                      TQclChildHelpContextID::ciDefault)
        .Int("HelpContext", &G::HelpContext, &G::SetHelpContext)
        .Int("ItemHeight", &G::ItemHeight, &G::SetItemHeight, -1)
        .Int("ItemOffset", &G::ItemOffset, &G::SetItemOffset, 4)
        .Bool("ReadOnly", &G::ReadOnly, &G::SetReadOnly)
        .Bool("UseBitmap", &G::UseBitmap, &G::SetUseBitmap)
        .Bool("UseFocusColor", &G::UseFocusColor, &G::SetUseFocusColor)
        .Event("OnChange", &G::OnChange);
    PublishClass<TQclCustomRadioGroup, G> group;
    group.NotCreatable().Bool("AutoSize", &G::AutoSize, &G::SetAutoSize);
    PublishBiDi(group);
    PublishConstraints(group);
    PublishDockClient(group);
    PublishClass<TQclRadioGroup, TQclCustomRadioGroup>().Int("ItemIndex", &TQclRadioGroup::ItemIndex,
                                                            &TQclRadioGroup::SetItemIndex, -1);
}

void RegisterWindowedButtons() {
    using B = TQclCustomButton;
    PublishClass<B, TButton> button;
    OwnColor(PublishImageLink(button))
        .Custom("About", QclIgnoreAbout)
        .Object("ButtonLayout", &B::ButtonLayout)
        .Object("FontFx", &B::FontFx)
        .Object("Glyph", &B::Glyph, [](B* b) { return b->GlyphStored(); })
        .Bool("HideHint", &B::HideHint, &B::SetHideHint, true)
        .Int("NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs, 1)
        .Bool("MultiLine", &B::MultiLine, &B::SetMultiLine)
        .Bool("RepeatedClick", &B::RepeatedClick, &B::SetRepeatedClick)
        .Int("RepeatingInterval", &B::RepeatingInterval, &B::SetRepeatingInterval, 100)
        .Enum<TQclNormalButtonStyle>("Style", &B::Style, &B::SetStyle, TQclNormalButtonStyle::nbsAutoDetect)
        .Event("OnMouseEnter", &B::OnMouseEnter)
        .Event("OnMouseExit", &B::OnMouseExit)
        .Bool("TabStop", &B::TabStop, &B::SetTabStop, true);
    PublishBiDi(button);
    PublishConstraints(button);
    PublishDockClient(button);
    using D = TQclDockButton;
    PublishClass<D, B>()
        .Ref<TWinControl>("Control", &D::Control, &D::SetControl)
        .Bool("AdjustDockedSize", &D::AdjustDockedSize, &D::SetAdjustDockedSize, true)
        .Alias("AdjustSize", "AdjustDockedSize")
        .Bool("Docked", &D::Docked, &D::SetDocked, true)
        .Int("Margin", &D::Margin, &D::SetMargin, 1)
        .Enum<TQclDockPosition>("Position", &D::Position, &D::SetPosition, TQclDockPosition::dpRight)
        .Bool("ReflectOwnChanges", &D::ReflectOwnChanges, &D::SetReflectOwnChanges, true)
        .Enum<TQclGlyphKind>("GlyphKind", &D::GlyphKind, &D::SetGlyphKind, TQclGlyphKind::gkEllipsis);
}

}  // namespace

void RegisterQclControlClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterWinUtilControlClasses();  // the bitmap data of glyphs
    PublishClass<TQclContainerComponent, TQclComponent> container;
    container.NotCreatable();
    PublishImageLink(container);
    PublishClass<TQclBaseControl, TGraphicControl> base;
    base.NotCreatable();
    PublishImageLink(base).Event("OnMouseEnter", &TQclBaseControl::OnMouseEnter).Event("OnMouseExit", &TQclBaseControl::OnMouseExit);
    PublishClass<TQclCustomControl, TCustomControl> windowed;
    windowed.NotCreatable();
    PublishImageLink(windowed);
    RegisterButtons();
    RegisterPanels();
    RegisterLabels();
    RegisterRadio();
    RegisterWindowedButtons();
    RegisterMultimediaButtons();
}

}  // namespace treskel
