// The editor's published properties and events, by name, as layouts use them.
#include "platform/FormLoader.h"
#include "richedit/RichEdit2.h"

namespace treskel {

namespace {

// Properties without a declared default are always stored.
template <class C, class E>
std::function<std::optional<FormValue>(C*)> AlwaysEnum(E (C::*get)() const) {
    return [get](C* c) -> std::optional<FormValue> {
        return FormValue::Ident(GetEnumInfo(E{}).names.at(static_cast<size_t>((c->*get)())));
    };
}

template <class C>
std::function<std::optional<FormValue>(C*)> AlwaysBool(bool (C::*get)() const) {
    return [get](C* c) -> std::optional<FormValue> { return FormValue::Ident((c->*get)() ? "True" : "False"); };
}

const char* const kImeModes[] = {"imDisable", "imClose", "imOpen", "imDontCare"};

}  // namespace

void RegisterRichEditClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RichEditClipboardFormats();
    RegisterWideStringsClass();

    PublishClass<TCustomRichEdit, TWinControl>()
        .NotCreatable()
        .Enum<TAlignment>("Alignment", &TCustomRichEdit::Alignment, &TCustomRichEdit::SetAlignment,
                          TAlignment::taLeftJustify)
        .Enum<TBorderStyle>("BorderStyle", &TCustomRichEdit::BorderStyle, &TCustomRichEdit::SetBorderStyle,
                            TBorderStyle::bsSingle)
        .Bool("HideSelection", &TCustomRichEdit::HideSelection, &TCustomRichEdit::SetHideSelection, true)
        .Bool("HideScrollBars", &TCustomRichEdit::HideScrollBars, &TCustomRichEdit::SetHideScrollBars, true)
        .Custom(
            "ImeMode",
            [](TCustomRichEdit* c, const FormValue& v, LayoutReader& r) {
                std::string name = typinfo::AsString(v, r);
                for (size_t i = 0; i < std::size(kImeModes); ++i)
                    if (SameText(name, kImeModes[i])) return c->SetImeMode(static_cast<TImeMode>(i));
                r.Error("Invalid property value " + name);
            },
            [](TCustomRichEdit* c) -> std::optional<FormValue> {
                if (c->ImeMode() == TImeMode::imDontCare) return std::nullopt;
                return FormValue::Ident(kImeModes[static_cast<size_t>(c->ImeMode())]);
            })
        .String("ImeName", &TCustomRichEdit::ImeName, &TCustomRichEdit::SetImeName)
        .Int("MaxLength", &TCustomRichEdit::MaxLength, &TCustomRichEdit::SetMaxLength)
        .Bool("ReadOnly", &TCustomRichEdit::ReadOnly, &TCustomRichEdit::SetReadOnly)
        .Enum<TScrollStyle>("ScrollBars", &TCustomRichEdit::ScrollBars, &TCustomRichEdit::SetScrollBars,
                            TScrollStyle::ssNone)
        .Bool("WantTabs", &TCustomRichEdit::WantTabs, &TCustomRichEdit::SetWantTabs)
        .Bool("WantReturns", &TCustomRichEdit::WantReturns, &TCustomRichEdit::SetWantReturns, true)
        .Bool("WordWrap", &TCustomRichEdit::WordWrap, &TCustomRichEdit::SetWordWrap, true)
        .Event("OnChange", &TCustomRichEdit::OnChange)
        .Event("OnResizeRequest", &TCustomRichEdit::OnResizeRequest)
        .Event("OnSelectionChange", &TCustomRichEdit::OnSelectionChange)
        .Event("OnProtectChange", &TCustomRichEdit::OnProtectChange)
        .Event("OnSaveClipboard", &TCustomRichEdit::OnSaveClipboard);

    using C = TCustomRichEditEx;
    PublishClass<C, TCustomRichEdit>()
        .NotCreatable()
        .Custom(
            "AutoURLDetect",
            [](C* c, const FormValue& v, LayoutReader& r) {
                c->SetAutoURLDetect(static_cast<TAutoURLDetect>(typinfo::AsEnum(v, GetEnumInfo(TAutoURLDetect{}), r)));
            },
            AlwaysEnum(&C::AutoURLDetect))
        .Object("CustomURLs", &C::CustomURLs)
        .Custom(
            "Language", [](C* c, const FormValue& v, LayoutReader& r) { c->SetLanguage(static_cast<TLanguage>(typinfo::AsInt(v, r))); },
            [](C* c) -> std::optional<FormValue> { return FormValue::Int(c->Language()); })
        .Custom(
            "LangOptions",
            [](C* c, const FormValue& v, LayoutReader& r) {
                c->SetLangOptions(TLangOptions::FromBits(typinfo::AsSet(v, GetEnumInfo(TLangOption{}), r)));
            },
            [](C* c) -> std::optional<FormValue> {
                return typinfo::SetValue(c->LangOptions().Bits(), GetEnumInfo(TLangOption{}));
            })
        .Custom(
            "ShowSelectionBar", [](C* c, const FormValue& v, LayoutReader& r) { c->SetShowSelectionBar(typinfo::AsBool(v, r)); },
            AlwaysBool(&C::ShowSelectionBar))
        .Bool("WordFormatting", &C::WordFormatting, &C::SetWordFormatting, true)
        .Custom(
            "InputFormat",
            [](C* c, const FormValue& v, LayoutReader& r) {
                c->SetInputFormat(static_cast<TInputFormat>(typinfo::AsEnum(v, GetEnumInfo(TInputFormat{}), r)));
            },
            AlwaysEnum(&C::InputFormat))
        .Custom(
            "OutputFormat",
            [](C* c, const FormValue& v, LayoutReader& r) {
                c->SetOutputFormat(static_cast<TOutputFormat>(typinfo::AsEnum(v, GetEnumInfo(TOutputFormat{}), r)));
            },
            AlwaysEnum(&C::OutputFormat))
        .Custom(
            "SelectedInOut", [](C* c, const FormValue& v, LayoutReader& r) { c->SetSelectedInOut(typinfo::AsBool(v, r)); },
            AlwaysBool(&C::SelectedInOut))
        .Custom(
            "PlainRTF", [](C* c, const FormValue& v, LayoutReader& r) { c->SetPlainRTF(typinfo::AsBool(v, r)); },
            AlwaysBool(&C::PlainRTF))
        .Bool("IncludeOLE", &C::IncludeOLE, &C::SetIncludeOLE, false)
        .Bool("AllowInPlace", &C::AllowInPlace, &C::SetAllowInPlace, true)
        .Bool("AutoVerbMenu", &C::AutoVerbMenu, &C::SetAutoVerbMenu, true)
        .Custom(
            "RTF", [](C* c, const FormValue& v, LayoutReader& r) { c->ReadRtfProperty(typinfo::AsString(v, r)); },
            [](C* c) -> std::optional<FormValue> {
                if (!c->HasContent()) return std::nullopt;
                return FormValue::Str(c->WriteRtfProperty());
            })
        .Event("OnURLClick", &C::OnURLClick)
        // A layout may give the lines; they are never written, the text
        // being stored through "RTF".
        .Object("Lines", &C::Lines, [](C*) { return false; });
    PublishClass<TRichEditStringsEx, TStrings>();

    PublishClass<TRichEditEx, TCustomRichEditEx>();
}

}  // namespace treskel
