// The published properties of the class library's classes, by name, as
// layouts use them.
#include "platform/Register.h"

#include "platform/ActnList.h"
#include "platform/ComCtrls.h"
#include "platform/Controls.h"
#include "platform/FileCtrl.h"
#include "platform/FormLoader.h"
#include "platform/JpegImage.h"
#include "platform/ListCtrls.h"
#include "platform/ScrollBox.h"
#include "platform/Spin.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"

namespace treskel {

namespace {

void ReadShortCut(TShortCut& out, const FormValue& v, LayoutReader& r) {
    if (v.kind == FormValue::kInt) {
        out = static_cast<TShortCut>(v.i);
        return;
    }
    if (v.kind == FormValue::kString) {
        if (v.s.empty()) {
            out = 0;
            return;
        }
        TShortCut sc = TextToShortCut(v.s);
        if (sc == 0) r.Error("Invalid shortcut '" + v.s + "'");
        out = sc;
        return;
    }
    r.Error("Invalid property value " + v.Describe() + " (shortcut expected)");
}

std::optional<FormValue> WriteShortCut(TShortCut sc) {
    if (sc == 0) return std::nullopt;
    std::string t = ShortCutToText(sc);
    return t.empty() ? FormValue::Int(sc) : FormValue::Str(t);
}

}  // namespace

void RegisterGraphicsClasses() {
    PublishClass<TGraphicsObject, TPersistent>();
    // Pictures of each kind say how they are written (bitmap, icon).
    PublishClass<TGraphic, TPersistent>();
    PublishClass<TFont, TGraphicsObject>()
        .Int("Charset", &TFont::Charset, &TFont::SetCharset, DEFAULT_CHARSET)
        .Int("Color", &TFont::Color, &TFont::SetColor, clWindowText, &ColorIdents())
        .Int("Height", &TFont::Height, &TFont::SetHeight, -11)
        .String("Name", &TFont::Name, &TFont::SetName, "MS Sans Serif")
        .Enum<TFontPitch>("Pitch", &TFont::Pitch, &TFont::SetPitch, TFontPitch::fpDefault)
        .Custom("Size", [](TFont* f, const FormValue& v, LayoutReader& r) { f->SetSize(static_cast<int>(typinfo::AsInt(v, r))); })
        .SetOf<TFontStyle>("Style", &TFont::Style, &TFont::SetStyle, {});
    PublishClass<TPen, TGraphicsObject>()
        .Int("Color", &TPen::Color, &TPen::SetColor, clBlack, &ColorIdents())
        .Enum<TPenMode>("Mode", &TPen::Mode, &TPen::SetMode, TPenMode::pmCopy)
        .Enum<TPenStyle>("Style", &TPen::Style, &TPen::SetStyle, TPenStyle::psSolid)
        .Int("Width", &TPen::Width, &TPen::SetWidth, 1);
    PublishClass<TBrush, TGraphicsObject>()
        .Int("Color", &TBrush::Color, &TBrush::SetColor, clWhite, &ColorIdents())
        .Enum<TBrushStyle>("Style", &TBrush::Style, &TBrush::SetStyle, TBrushStyle::bsSolid);
}

void RegisterControlClasses() {
    PublishClass<TControl, TComponent>()
        .NotCreatable()
        .Int("Left", &TControl::Left, &TControl::SetLeft)
        .Int("Top", &TControl::Top, &TControl::SetTop)
        .Int("Width", &TControl::Width, &TControl::SetWidth, -1)
        .Int("Height", &TControl::Height, &TControl::SetHeight, -1)
        .Enum<TAlign>("Align", &TControl::Align, &TControl::SetAlign, TAlign::alNone)
        .SetOf<TAnchorKind>("Anchors", &TControl::Anchors, &TControl::SetAnchors,
                            {TAnchorKind::akLeft, TAnchorKind::akTop})
        .Bool("Visible", &TControl::Visible, &TControl::SetVisible, true)
        .Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
        .String("Hint", &TControl::Hint, &TControl::SetHint)
        .Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
        .Bool("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true)
        .Object("Font", &TControl::Font)
        .Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true)
        .Int("Color", &TControl::Color, &TControl::SetColor, clWindow, &ColorIdents())
        .Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor)
        .Bool("Ctl3D", &TControl::Ctl3D, &TControl::SetCtl3D, true)
        .Bool("ParentCtl3D", &TControl::ParentCtl3D, &TControl::SetParentCtl3D, true)
        .Int("Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault, &CursorIdents())
        .Int("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor, crDrag, &CursorIdents())
        .Enum<TDragMode>("DragMode", &TControl::DragMode, &TControl::SetDragMode, TDragMode::dmManual)
        .Ref<TPopupMenu>("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
        .Ref<TBasicAction>("Action", &TControl::Action, &TControl::SetAction)
        .Event("OnClick", &TControl::OnClick)
        .Event("OnDblClick", &TControl::OnDblClick)
        .Event("OnMouseDown", &TControl::OnMouseDown)
        .Event("OnMouseMove", &TControl::OnMouseMove)
        .Event("OnMouseUp", &TControl::OnMouseUp)
        .Event("OnResize", &TControl::OnResize)
        .Event("OnDragOver", &TControl::OnDragOver)
        .Event("OnDragDrop", &TControl::OnDragDrop)
        .Event("OnStartDrag", &TControl::OnStartDrag)
        .Event("OnEndDrag", &TControl::OnEndDrag)
        .Event("OnContextPopup", &TControl::OnContextPopup);
    PublishClass<TWinControl, TControl>()
        .NotCreatable()
        .Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder, -1)
        .Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)
        .Event("OnEnter", &TWinControl::OnEnter)
        .Event("OnExit", &TWinControl::OnExit)
        .Event("OnKeyDown", &TWinControl::OnKeyDown)
        .Event("OnKeyPress", &TWinControl::OnKeyPress)
        .Event("OnKeyUp", &TWinControl::OnKeyUp);
    PublishClass<TGraphicControl, TControl>().NotCreatable();
    using Z = TSizeConstraints;
    PublishClass<Z, TPersistent>()
        .Int("MaxHeight", &Z::MaxHeight, &Z::SetMaxHeight)
        .Int("MaxWidth", &Z::MaxWidth, &Z::SetMaxWidth)
        .Int("MinHeight", &Z::MinHeight, &Z::SetMinHeight)
        .Int("MinWidth", &Z::MinWidth, &Z::SetMinWidth);
    PublishClass<TCustomControl, TWinControl>().NotCreatable();
}

void RegisterFormClasses() {
    PublishClass<TCustomForm, TCustomControl>()
        .NotCreatable()
        .String("Caption", &TCustomForm::Caption, &TCustomForm::SetCaption)
        .Int("ClientWidth", &TCustomForm::FormClientWidth, &TCustomForm::SetFormClientWidth, -1)
        .Int("ClientHeight", &TCustomForm::FormClientHeight, &TCustomForm::SetFormClientHeight, -1)
        .Enum<TPosition>("Position", &TCustomForm::Position, &TCustomForm::SetPosition, TPosition::poDesigned)
        .Enum<TFormBorderStyle>("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle,
                                TFormBorderStyle::bsSizeable)
        .SetOf<TBorderIcon>("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons,
                            {TBorderIcon::biSystemMenu, TBorderIcon::biMinimize, TBorderIcon::biMaximize})
        .Enum<TFormStyle>("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle, TFormStyle::fsNormal)
        .Enum<TWindowState>("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState,
                            TWindowState::wsNormal)
        .Bool("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview)
        .Ref<TMainMenu>("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu)
        .Ref<TWinControl>("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl)
        .Bool("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled, true)
        .Int("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch, 96)
        .Event("OnCreate", &TCustomForm::OnCreate)
        .Event("OnShow", &TCustomForm::OnShow)
        .Event("OnHide", &TCustomForm::OnHide)
        .Event("OnClose", &TCustomForm::OnClose)
        .Event("OnCloseQuery", &TCustomForm::OnCloseQuery)
        .Event("OnDestroy", &TCustomForm::OnDestroy)
        .Event("OnActivate", &TCustomForm::OnActivate)
        .Event("OnDeactivate", &TCustomForm::OnDeactivate)
        .Event("OnPaint", &TCustomForm::OnPaint);
    PublishClass<TForm, TCustomForm>().NotCreatable();
}

void RegisterActionClasses() {
    PublishClass<TBasicAction, TComponent>()
        .NotCreatable()
        .Event("OnExecute", &TBasicAction::OnExecute)
        .Event("OnUpdate", &TBasicAction::OnUpdate);
    PublishClass<TContainedAction, TBasicAction>()
        .NotCreatable()
        .String("Category", &TContainedAction::Category, &TContainedAction::SetCategory);
    PublishClass<TCustomAction, TContainedAction>()
        .NotCreatable()
        .String("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption)
        .Bool("Checked", &TCustomAction::Checked, &TCustomAction::SetChecked)
        .Bool("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled, true)
        .Int("HelpContext", &TCustomAction::HelpContext, &TCustomAction::SetHelpContext)
        .String("Hint", &TCustomAction::Hint, &TCustomAction::SetHint)
        .Int("ImageIndex", &TCustomAction::ImageIndex, &TCustomAction::SetImageIndex, -1)
        .Custom(
            "ShortCut",
            [](TCustomAction* a, const FormValue& v, LayoutReader& r) {
                TShortCut sc = 0;
                ReadShortCut(sc, v, r);
                a->SetShortCut(sc);
            },
            [](TCustomAction* a) { return WriteShortCut(a->ShortCut()); })
        .Bool("Visible", &TCustomAction::Visible, &TCustomAction::SetVisible, true);
    PublishClass<TAction, TCustomAction>();
    PublishClass<TCustomActionList, TComponent>()
        .NotCreatable()
        .Event("OnExecute", &TCustomActionList::OnExecute)
        .Event("OnUpdate", &TCustomActionList::OnUpdate)
        .Event("OnChange", &TCustomActionList::OnChange);
    PublishClass<TActionList, TCustomActionList>();
}

void RegisterMenuClasses() {
    InstallMenuHooks();
    PublishClass<TMenuItem, TComponent>()
        .Ref<TBasicAction>("Action", &TMenuItem::Action, &TMenuItem::SetAction)
        .String("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
        .Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked)
        .Bool("Default", &TMenuItem::Default, &TMenuItem::SetDefault)
        .Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true)
        .Int("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex)
        .String("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
        .Int("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex, -1)
        .Bool("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem)
        .Custom(
            "ShortCut",
            [](TMenuItem* m, const FormValue& v, LayoutReader& r) {
                TShortCut sc = 0;
                ReadShortCut(sc, v, r);
                m->SetShortCut(sc);
            },
            [](TMenuItem* m) -> std::optional<FormValue> {
                // An item that follows an action takes its shortcut from it.
                if (m->Action() != nullptr) return std::nullopt;
                return WriteShortCut(m->ShortCut());
            })
        .Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true)
        .Event("OnClick", &TMenuItem::OnClick);
    PublishClass<TMenu, TComponent>().NotCreatable();
    PublishClass<TMainMenu, TMenu>();
    PublishClass<TPopupMenu, TMenu>()
        .Enum<TPopupAlignment>("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment,
                               TPopupAlignment::paLeft)
        .Bool("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, true)
        .Event("OnPopup", &TPopupMenu::OnPopup);
}

void RegisterStdControlClasses() {
    PublishClass<TCustomLabel, TGraphicControl>()
        .NotCreatable()
        .String("Caption", &TCustomLabel::Caption, &TCustomLabel::SetCaption)
        .Enum<TAlignment>("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment,
                          TAlignment::taLeftJustify)
        .Bool("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize, true)
        .Ref<TWinControl>("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl)
        .Enum<TTextLayout>("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout, TTextLayout::tlTop)
        .Bool("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar, true)
        .Bool("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent)
        .Bool("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap);
    PublishClass<TLabel, TCustomLabel>();
    PublishClass<TCustomEdit, TWinControl>()
        .NotCreatable()
        .String("Text", &TCustomEdit::Text, &TCustomEdit::SetText)
        .Bool("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect, true)
        .Enum<TBorderStyle>("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle,
                            TBorderStyle::bsSingle)
        .Enum<TEditCharCase>("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase,
                             TEditCharCase::ecNormal)
        .Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength)
        .Custom(
            "PasswordChar",
            [](TCustomEdit* e, const FormValue& v, LayoutReader& r) {
                std::string s = typinfo::AsString(v, r);
                e->SetPasswordChar(s.empty() ? 0 : s[0]);
            },
            [](TCustomEdit* e) -> std::optional<FormValue> {
                if (e->PasswordChar() == 0) return std::nullopt;
                return FormValue::Str(std::string(1, e->PasswordChar()));
            })
        .Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly)
        .Bool("WideWindow", &TCustomEdit::WideWindow, &TCustomEdit::SetWideWindow)
        .Event("OnChange", &TCustomEdit::OnChange);
    PublishClass<TEdit, TCustomEdit>();
    PublishClass<TButtonControl, TWinControl>().NotCreatable();
    PublishClass<TButton, TButtonControl>()
        .String("Caption", &TButton::Caption, &TButton::SetCaption)
        .Bool("Cancel", &TButton::Cancel, &TButton::SetCancel)
        .Bool("Default", &TButton::Default, &TButton::SetDefault)
        .Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, 0, &ModalResultIdents());
}

void RegisterPlatformClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterGraphicsClasses();
    RegisterActionClasses();
    RegisterMenuClasses();
    RegisterControlClasses();
    RegisterFormClasses();
    RegisterStdControlClasses();
    RegisterListControlClasses();
    RegisterFileCtrlClasses();
    RegisterScrollBoxClasses();
    RegisterSpinClasses();
    RegisterStdLibClasses();
    RegisterImageListClasses();
    RegisterComCtrlClasses();
    RegisterJpegFileFormat();
}

}  // namespace treskel
