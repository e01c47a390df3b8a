#include "platform/Types.h"

namespace treskel {

bool ShowsOnMonitors(const TRect& r, const std::vector<TRect>& monitors) {
    const TPoint grip = WindowGrip(r);
    for (const TRect& m : monitors)
        if (PtInRect(m, grip)) return true;
    return false;
}

TRect KeepOnMonitors(const TRect& r, const std::vector<TRect>& monitors, const TRect& workArea) {
    if (ShowsOnMonitors(r, monitors)) return r;
    const int w = r.Width(), h = r.Height();
    const int left = std::max(workArea.Left, std::min(r.Left, workArea.Right - w));
    const int top = std::max(workArea.Top, std::min(r.Top, workArea.Bottom - h));
    return Bounds(left, top, w, h);
}

const IntIdents& ColorIdents() {
    static const IntIdents idents{{
        {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
        {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
        {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
        {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
        {"clScrollBar", clScrollBar}, {"clBackground", clBackground}, {"clActiveCaption", clActiveCaption},
        {"clInactiveCaption", clInactiveCaption}, {"clMenu", clMenu}, {"clWindow", clWindow},
        {"clWindowFrame", clWindowFrame}, {"clMenuText", clMenuText}, {"clWindowText", clWindowText},
        {"clCaptionText", clCaptionText}, {"clActiveBorder", clActiveBorder},
        {"clInactiveBorder", clInactiveBorder}, {"clAppWorkSpace", clAppWorkSpace},
        {"clHighlight", clHighlight}, {"clHighlightText", clHighlightText}, {"clBtnFace", clBtnFace},
        {"clBtnShadow", clBtnShadow}, {"clGrayText", clGrayText}, {"clBtnText", clBtnText},
        {"clInactiveCaptionText", clInactiveCaptionText}, {"clBtnHighlight", clBtnHighlight},
        {"cl3DDkShadow", cl3DDkShadow}, {"cl3DLight", cl3DLight}, {"clInfoText", clInfoText},
        {"clInfoBk", clInfoBk}, {"clGradientActiveCaption", clGradientActiveCaption},
        {"clGradientInactiveCaption", clGradientInactiveCaption}, {"clNone", clNone}, {"clDefault", clDefault},
    }};
    return idents;
}

bool ColorToIdent(TColor color, std::string& ident) {
    auto n = ColorIdents().Name(color);
    if (!n) return false;
    ident = *n;
    return true;
}

bool IdentToColor(const std::string& ident, TColor& color) {
    auto v = ColorIdents().Find(ident);
    if (!v) return false;
    color = *v;
    return true;
}

std::string ColorToString(TColor color) {
    std::string ident;
    if (ColorToIdent(color, ident)) return ident;
    return "$" + IntToHex(static_cast<uint32_t>(color), 8);
}

bool TryStringToColor(const std::string& s, TColor& color) {
    if (IdentToColor(s, color)) return true;
    int v;
    if (!TryStrToInt(s, v)) return false;
    color = v;
    return true;
}

const IntIdents& CursorIdents() {
    static const IntIdents idents{{
        {"crDefault", crDefault}, {"crNone", crNone}, {"crArrow", crArrow}, {"crCross", crCross},
        {"crIBeam", crIBeam}, {"crSizeNESW", crSizeNESW}, {"crSizeNS", crSizeNS}, {"crSizeNWSE", crSizeNWSE},
        {"crSizeWE", crSizeWE}, {"crUpArrow", crUpArrow}, {"crHourGlass", crHourGlass}, {"crDrag", crDrag},
        {"crNoDrop", crNoDrop}, {"crHSplit", crHSplit}, {"crVSplit", crVSplit}, {"crMultiDrag", crMultiDrag},
        {"crSQLWait", crSQLWait}, {"crNo", crNo}, {"crAppStart", crAppStart}, {"crHelp", crHelp},
        {"crHandPoint", crHandPoint}, {"crSizeAll", crSizeAll},
    }};
    return idents;
}

namespace {
struct KeyName {
    uint16_t key;
    const char* name;
};
constexpr KeyName kKeyNames[] = {
    {0x08, "BkSp"}, {0x09, "Tab"},  {0x0D, "Enter"}, {0x1B, "Esc"},  {0x20, "Space"}, {0x21, "PgUp"},
    {0x22, "PgDn"}, {0x23, "End"},  {0x24, "Home"},  {0x25, "Left"}, {0x26, "Up"},    {0x27, "Right"},
    {0x28, "Down"}, {0x2D, "Ins"},  {0x2E, "Del"},
};

std::string KeyToText(uint16_t key) {
    for (auto& k : kKeyNames)
        if (k.key == key) return k.name;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
    if (key >= 0x70 && key <= 0x87) return "F" + std::to_string(key - 0x6F);
    return std::string();
}
}  // namespace

TShortCut ShortCut(uint16_t key, TShiftState shift) {
    if ((key & 0xFF00) != 0) return 0;
    TShortCut s = key;
    if (shift.Contains(TShiftStateItem::ssShift)) s |= scShift;
    if (shift.Contains(TShiftStateItem::ssCtrl)) s |= scCtrl;
    if (shift.Contains(TShiftStateItem::ssAlt)) s |= scAlt;
    return s;
}

std::string ShortCutToText(TShortCut shortCut) {
    std::string name = KeyToText(shortCut & 0xFF);
    if (name.empty()) return std::string();
    std::string r;
    if (shortCut & scShift) r += "Shift+";
    if (shortCut & scCtrl) r += "Ctrl+";
    if (shortCut & scAlt) r += "Alt+";
    return r + name;
}

TShortCut TextToShortCut(const std::string& text) {
    std::string rest = text;
    TShortCut mods = 0;
    for (;;) {
        if (rest.size() > 6 && SameText(rest.substr(0, 6), "Shift+")) {
            mods |= scShift;
            rest = rest.substr(6);
        } else if (rest.size() > 5 && SameText(rest.substr(0, 5), "Ctrl+")) {
            mods |= scCtrl;
            rest = rest.substr(5);
        } else if (rest.size() > 4 && SameText(rest.substr(0, 4), "Alt+")) {
            mods |= scAlt;
            rest = rest.substr(4);
        } else {
            break;
        }
    }
    for (uint16_t key = 8; key < 256; ++key) {
        std::string n = KeyToText(key);
        if (!n.empty() && SameText(n, rest)) return static_cast<TShortCut>(key | mods);
    }
    return 0;
}

}  // namespace treskel
