// Character and paragraph attributes of the note editor.
#include <algorithm>
#include <cmath>
#include <cwchar>

#include "richedit/Langs.h"
#include "richedit/RichEdit2.h"
#include "richedit/RichEdit2Rules.h"

namespace treskel {

// ------------------------------------------------------------ character format

TTextAttributesEx::TTextAttributesEx(TCustomRichEditEx* richEdit, TAttributeType type)
    : richEdit_(richEdit), type_(type) {}

bool TTextAttributesEx::Fallback() const { return richEdit_->RichEdit10(); }

TTextAttributes* TTextAttributesEx::Plain() {
    auto* plain = static_cast<TCustomRichEdit*>(richEdit_);
    return type_ == TAttributeType::atSelected ? plain->SelAttributes() : plain->DefAttributes();
}

CHARFORMAT2W TTextAttributesEx::Get() {
    CHARFORMAT2W f{};
    f.cbSize = sizeof f;
    if (richEdit_->HandleAllocated())
        richEdit_->SendToWindow(EM_GETCHARFORMAT, type_ == TAttributeType::atSelected ? SCF_SELECTION : SCF_DEFAULT,
                                reinterpret_cast<LPARAM>(&f));
    return f;
}

namespace {
// The control of the compatibility layer (known by the version export of
// its system library) takes its own formatting of "the word at the caret"
// for a broken paragraph and aborts the program at the next caret move;
// there the word is formatted as a selection of its own.
bool WordFormattingBroken() {
    static const bool compatibilityLayer =
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return compatibilityLayer;
}

bool IsWordChar(wchar_t c) { return c == L'_' || IsCharAlphaNumericW(c); }

// The word the caret stands inside, as the control's word formatting sees
// it: a word character on both sides.  At a word's start or end the range
// is empty, so that only the insertion point takes the format and turning
// a format off after typing a word leaves that word as it is.  `charAt`
// reads one character of the text.
template <class CharAt>
CHARRANGE WordAt(LONG at, LONG length, CharAt charAt) {
    if (at <= 0 || at >= length || !IsWordChar(charAt(at - 1)) || !IsWordChar(charAt(at))) return CHARRANGE{at, at};
    LONG start = at, end = at;
    while (start > 0 && IsWordChar(charAt(start - 1))) --start;
    while (end < length && IsWordChar(charAt(end))) ++end;
    return CHARRANGE{start, end};
}
}  // namespace

void TTextAttributesEx::Set(CHARFORMAT2W& f) {
    f.cbSize = sizeof f;
    if (!richEdit_->HandleAllocated()) return;
    WPARAM flags = SCF_DEFAULT;
    if (type_ == TAttributeType::atSelected) {
        flags = SCF_SELECTION | SCF_USEUIRULES;
        CHARRANGE r{0, 0};
        richEdit_->SendToWindow(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
        if (r.cpMin == r.cpMax && richEdit_->WordFormatting()) {
            if (!WordFormattingBroken()) {
                flags |= SCF_WORD;
            } else {
                LONG length = static_cast<LONG>(richEdit_->SendToWindow(WM_GETTEXTLENGTH));
                CHARRANGE word = WordAt(r.cpMin, length, [this](LONG pos) {
                    wchar_t buf[2] = {0, 0};
                    TEXTRANGEW tr{{pos, pos + 1}, buf};
                    richEdit_->SendToWindow(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
                    return buf[0];
                });
                if (word.cpMin < word.cpMax) {
                    richEdit_->SendToWindow(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&word));
                    richEdit_->SendToWindow(EM_SETCHARFORMAT, flags, reinterpret_cast<LPARAM>(&f));
                    richEdit_->SendToWindow(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
                    return;
                }
            }
        }
    }
    richEdit_->SendToWindow(EM_SETCHARFORMAT, flags, reinterpret_cast<LPARAM>(&f));
}

bool TTextAttributesEx::GetEffect(DWORD effect) { return (Get().dwEffects & effect) != 0; }

void TTextAttributesEx::SetEffect(DWORD mask, DWORD effect, bool on) {
    CHARFORMAT2W f{};
    f.dwMask = mask;
    if (on) f.dwEffects = effect;
    Set(f);
}

TColor TTextAttributesEx::Color() {
    if (Fallback()) return Plain()->Color();
    CHARFORMAT2W f = Get();
    return (f.dwEffects & CFE_AUTOCOLOR) ? clWindowText : static_cast<TColor>(f.crTextColor);
}

void TTextAttributesEx::SetColor(TColor value) {
    if (Fallback()) return Plain()->SetColor(value);
    CHARFORMAT2W f{};
    f.dwMask = CFM_COLOR;
    if (value == clWindowText || value == clDefault)
        f.dwEffects = CFE_AUTOCOLOR;
    else
        f.crTextColor = ColorToRGB(value);
    Set(f);
}

std::string TTextAttributesEx::Name() {
    if (Fallback()) return Plain()->Name();
    CHARFORMAT2W f = Get();
    return WideToAnsi(f.szFaceName, richEdit_->TextCodePage());
}

void TTextAttributesEx::SetName(const std::string& value) {
    if (Fallback()) return Plain()->SetName(value);
    CHARFORMAT2W f{};
    f.dwMask = CFM_FACE;
    std::wstring w = AnsiToWide(value, richEdit_->TextCodePage());
    w.resize(std::min(w.size(), static_cast<size_t>(LF_FACESIZE - 1)));
    std::wmemcpy(f.szFaceName, w.c_str(), w.size() + 1);
    Set(f);
}

TFontPitch TTextAttributesEx::Pitch() {
    if (Fallback()) return Plain()->Pitch();
    switch (Get().bPitchAndFamily & 3) {
        case FIXED_PITCH: return TFontPitch::fpFixed;
        case VARIABLE_PITCH: return TFontPitch::fpVariable;
        default: return TFontPitch::fpDefault;
    }
}

void TTextAttributesEx::SetPitch(TFontPitch value) {
    if (Fallback()) return Plain()->SetPitch(value);
    // The pitch travels with a face name; alone it carries no mask bit and
    // the window keeps the pitch of the face.
    CHARFORMAT2W f{};
    f.bPitchAndFamily = value == TFontPitch::fpVariable ? VARIABLE_PITCH : value == TFontPitch::fpFixed ? FIXED_PITCH : 0;
    Set(f);
}

int TTextAttributesEx::Size() {
    if (Fallback()) return Plain()->Size();
    return Get().yHeight / 20;
}

void TTextAttributesEx::SetSize(int value) { SetSizeTwips(value * 20); }

int TTextAttributesEx::SizeTwips() {
    if (Fallback()) return Plain()->SizeTwips();
    return Get().yHeight;
}

void TTextAttributesEx::SetSizeTwips(int value) {
    if (Fallback()) return Plain()->SetSizeTwips(value);
    CHARFORMAT2W f{};
    f.dwMask = CFM_SIZE;
    f.yHeight = value;
    Set(f);
}

int TTextAttributesEx::Weight() {
    if (Fallback()) return Plain()->Style().Contains(TFontStyle::fsBold) ? 700 : 400;
    return Get().wWeight;
}

void TTextAttributesEx::SetWeight(int value) {
    if (Fallback()) return;
    CHARFORMAT2W f{};
    f.dwMask = CFM_WEIGHT;
    f.wWeight = static_cast<WORD>(value);
    Set(f);
}

TColor TTextAttributesEx::BackColor() {
    if (Fallback()) return clNone;
    CHARFORMAT2W f = Get();
    // No highlight reads as no colour, as on the fall-back.
    return (f.dwEffects & CFE_AUTOBACKCOLOR) ? clNone : static_cast<TColor>(f.crBackColor);
}

void TTextAttributesEx::SetBackColor(TColor value) {
    if (Fallback()) return;
    CHARFORMAT2W f{};
    f.dwMask = CFM_BACKCOLOR;
    if (value == clNone || value == clDefault || value == clWindow)
        f.dwEffects = CFE_AUTOBACKCOLOR;
    else
        f.crBackColor = ColorToRGB(value);
    Set(f);
}

TLanguage TTextAttributesEx::Language() {
    if (Fallback()) return 0x0800;
    return static_cast<TLanguage>(Get().lcid);
}

void TTextAttributesEx::SetLanguage(TLanguage value) {
    if (Fallback()) return;
    CHARFORMAT2W f{};
    f.dwMask = CFM_LCID;
    f.lcid = value;
    Set(f);
}

int TTextAttributesEx::SubscriptStyle() {
    if (Fallback()) return 0;
    switch (Get().dwEffects & (CFE_SUBSCRIPT | CFE_SUPERSCRIPT)) {
        case CFE_SUBSCRIPT: return 1;
        case CFE_SUPERSCRIPT: return 2;
        default: return 0;
    }
}

void TTextAttributesEx::SetSubscriptStyle(int value) {
    if (Fallback()) return;
    CHARFORMAT2W f{};
    f.dwMask = CFM_SUBSCRIPT;
    if (value == 1) f.dwEffects = CFE_SUBSCRIPT;
    if (value == 2) f.dwEffects = CFE_SUPERSCRIPT;
    Set(f);
}

double TTextAttributesEx::Offset() {
    if (Fallback()) return 0;
    return TwipsToPoints(Get().yOffset);
}

void TTextAttributesEx::SetOffset(double value) {
    if (Fallback()) return;
    CHARFORMAT2W f{};
    f.dwMask = CFM_OFFSET;
    f.yOffset = PointsToTwips(value);
    Set(f);
}

double TTextAttributesEx::Spacing() {
    if (Fallback()) return 0;
    return TwipsToPoints(Get().sSpacing);
}

void TTextAttributesEx::SetSpacing(double value) {
    if (Fallback()) return;
    CHARFORMAT2W f{};
    f.dwMask = CFM_SPACING;
    f.sSpacing = static_cast<SHORT>(PointsToTwips(value));
    Set(f);
}

double TTextAttributesEx::Kerning() {
    if (Fallback()) return 0;
    return TwipsToPoints(Get().wKerning);
}

void TTextAttributesEx::SetKerning(double value) {
    if (Fallback()) return;
    CHARFORMAT2W f{};
    f.dwMask = CFM_KERNING;
    f.wKerning = static_cast<WORD>(PointsToTwips(value));
    Set(f);
}

int TTextAttributesEx::Underline() {
    if (Fallback()) return Plain()->Style().Contains(TFontStyle::fsUnderline) ? 1 : 0;
    CHARFORMAT2W f = Get();
    // The effect says whether there is a line; the type which one.
    if (!(f.dwEffects & CFE_UNDERLINE)) return 0;
    return f.bUnderlineType != 0 ? f.bUnderlineType : CFU_UNDERLINE;
}

void TTextAttributesEx::SetUnderline(int value) {
    if (Fallback()) {
        TFontStyles s = Plain()->Style();
        Plain()->SetStyle(value != 0 ? s + TFontStyle::fsUnderline : s - TFontStyle::fsUnderline);
        return;
    }
    CHARFORMAT2W f{};
    f.dwMask = CFM_UNDERLINETYPE | CFM_UNDERLINE;
    f.bUnderlineType = static_cast<BYTE>(value);
    if (value != 0) f.dwEffects = CFE_UNDERLINE;
    Set(f);
}

int TTextAttributesEx::Animation() {
    if (Fallback()) return 0;
    return Get().bAnimation;
}

void TTextAttributesEx::SetAnimation(int value) {
    if (Fallback()) return;
    CHARFORMAT2W f{};
    f.dwMask = CFM_ANIMATION;
    f.bAnimation = static_cast<BYTE>(value);
    Set(f);
}

bool TTextAttributesEx::Bold() {
    if (Fallback()) return Plain()->Style().Contains(TFontStyle::fsBold);
    return GetEffect(CFE_BOLD);
}

void TTextAttributesEx::SetBold(bool value) {
    if (Fallback()) {
        TFontStyles s = Plain()->Style();
        Plain()->SetStyle(value ? s + TFontStyle::fsBold : s - TFontStyle::fsBold);
        return;
    }
    SetEffect(CFM_BOLD, CFE_BOLD, value);
}

bool TTextAttributesEx::Italic() {
    if (Fallback()) return Plain()->Style().Contains(TFontStyle::fsItalic);
    return GetEffect(CFE_ITALIC);
}

void TTextAttributesEx::SetItalic(bool value) {
    if (Fallback()) {
        TFontStyles s = Plain()->Style();
        Plain()->SetStyle(value ? s + TFontStyle::fsItalic : s - TFontStyle::fsItalic);
        return;
    }
    SetEffect(CFM_ITALIC, CFE_ITALIC, value);
}

#define TRESKEL_EFFECT(Prop, Mask)                       \
    bool TTextAttributesEx::Prop() {                     \
        if (Fallback()) return false;                    \
        return GetEffect(Mask);                          \
    }                                                    \
    void TTextAttributesEx::Set##Prop(bool value) {      \
        if (Fallback()) return;                          \
        SetEffect(Mask, Mask, value);                    \
    }

TRESKEL_EFFECT(SmallCaps, CFM_SMALLCAPS)
TRESKEL_EFFECT(AllCaps, CFM_ALLCAPS)
TRESKEL_EFFECT(Hidden, CFM_HIDDEN)
TRESKEL_EFFECT(Contour, CFM_OUTLINE)
TRESKEL_EFFECT(Shadow, CFM_SHADOW)
TRESKEL_EFFECT(Emboss, CFM_EMBOSS)
TRESKEL_EFFECT(Imprint, CFM_IMPRINT)
TRESKEL_EFFECT(Link, CFM_LINK)

#undef TRESKEL_EFFECT

void TTextAttributesEx::Assign(TPersistent* source) {
    if (auto* a = dynamic_cast<TTextAttributesEx*>(source)) {
        SetColor(a->Color());
        SetName(a->Name());
        SetSizeTwips(a->SizeTwips());
        SetPitch(a->Pitch());
        SetWeight(a->Weight());
        SetBackColor(a->BackColor());
        SetLanguage(a->Language());
        SetSubscriptStyle(a->SubscriptStyle());
        SetOffset(a->Offset());
        SetSpacing(a->Spacing());
        SetKerning(a->Kerning());
        SetUnderline(a->Underline());
        SetBold(a->Bold());
        SetItalic(a->Italic());
        SetAnimation(a->Animation());
        SetSmallCaps(a->SmallCaps());
        SetAllCaps(a->AllCaps());
        SetHidden(a->Hidden());
        SetContour(a->Contour());
        SetShadow(a->Shadow());
        SetEmboss(a->Emboss());
        SetImprint(a->Imprint());
        SetLink(a->Link());
        return;
    }
    if (auto* font = dynamic_cast<TFont*>(source)) {
        SetColor(font->Color());
        SetName(font->Name());
        SetSizeTwips(font->Height() < 0 ? FontHeightToTwips(font->Height(), font->PixelsPerInch()) : font->Size() * 20);
        SetPitch(font->Pitch());
        SetBold(font->Style().Contains(TFontStyle::fsBold));
        SetItalic(font->Style().Contains(TFontStyle::fsItalic));
        SetUnderline(font->Style().Contains(TFontStyle::fsUnderline) ? 1 : 0);
        return;
    }
    if (auto* plain = dynamic_cast<TTextAttributes*>(source)) {
        TFontStyles s = plain->Style();
        SetColor(plain->Color());
        SetName(plain->Name());
        SetSizeTwips(plain->SizeTwips());
        SetPitch(plain->Pitch());
        SetBold(s.Contains(TFontStyle::fsBold));
        SetItalic(s.Contains(TFontStyle::fsItalic));
        SetUnderline(s.Contains(TFontStyle::fsUnderline) ? 1 : 0);
        return;
    }
    TPersistent::Assign(source);
}

void TTextAttributesEx::AssignTo(TPersistent* dest) {
    if (auto* a = dynamic_cast<TTextAttributesEx*>(dest)) {
        a->Assign(this);
        return;
    }
    TFontStyles style;
    if (Bold()) style += TFontStyle::fsBold;
    if (Italic()) style += TFontStyle::fsItalic;
    if (Underline() != 0) style += TFontStyle::fsUnderline;
    if (auto* font = dynamic_cast<TFont*>(dest)) {
        font->SetColor(Color());
        font->SetName(Name());
        font->SetStyle(style);
        font->SetCharset(CharSetFromLocale(Language()));
        font->SetHeight(TwipsToFontHeight(SizeTwips(), font->PixelsPerInch()));
        font->SetPitch(Pitch());
        return;
    }
    if (auto* plain = dynamic_cast<TTextAttributes*>(dest)) {
        plain->SetColor(Color());
        plain->SetName(Name());
        plain->SetStyle(style);
        plain->SetCharset(CharSetFromLocale(Language()));
        plain->SetSizeTwips(SizeTwips());
        plain->SetPitch(Pitch());
        return;
    }
    TPersistent::AssignTo(dest);
}

// ------------------------------------------------------------ paragraph format

TParaAttributesEx::TParaAttributesEx(TCustomRichEditEx* richEdit) : TParaAttributes(richEdit), richEditEx_(richEdit) {}

bool TParaAttributesEx::Fallback() const { return richEditEx_->RichEdit10(); }

PARAFORMAT2 TParaAttributesEx::Get() {
    PARAFORMAT2 f{};
    f.cbSize = sizeof f;
    if (richEditEx_->HandleAllocated()) richEditEx_->SendToWindow(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&f));
    return f;
}

void TParaAttributesEx::Set(PARAFORMAT2& f) {
    f.cbSize = sizeof f;
    if (!richEditEx_->HandleAllocated()) return;
    // As the plain control: a changed paragraph is a changed text.
    if (richEditEx_->SendToWindow(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&f)))
        richEditEx_->SendToWindow(EM_SETMODIFY, TRUE, 0);
}

double TParaAttributesEx::LeftIndent() {
    if (Fallback()) return TParaAttributes::LeftIndent();
    return TwipsToPoints(Get().dxOffset);
}

void TParaAttributesEx::SetLeftIndent(double value) {
    if (Fallback()) return TParaAttributes::SetLeftIndent(static_cast<int>(std::lround(value)));
    PARAFORMAT2 f{};
    f.dwMask = PFM_OFFSET;
    f.dxOffset = PointsToTwips(value);
    Set(f);
}

TAlignment TParaAttributesEx::Alignment() {
    if (Fallback()) return TParaAttributes::Alignment();
    return static_cast<TAlignment>(AlignmentFromParaAlignment(Get().wAlignment));
}

void TParaAttributesEx::SetAlignment(TAlignment value) {
    if (Fallback()) return TParaAttributes::SetAlignment(value);
    PARAFORMAT2 f{};
    f.dwMask = PFM_ALIGNMENT;
    f.wAlignment = static_cast<WORD>(ParaAlignmentFromAlignment(static_cast<int>(value)));
    Set(f);
}

int TParaAttributesEx::Numbering() {
    if (Fallback()) return TParaAttributes::Numbering() == TNumberingStyle::nsBullet ? 1 : 0;
    return Get().wNumbering;
}

void TParaAttributesEx::SetNumbering(int value) {
    if (Fallback())
        return TParaAttributes::SetNumbering(value != 0 ? TNumberingStyle::nsBullet : TNumberingStyle::nsNone);
    PARAFORMAT2 f{};
    f.dwMask = PFM_NUMBERING;
    f.wNumbering = static_cast<WORD>(value);
    Set(f);
}

}  // namespace treskel
