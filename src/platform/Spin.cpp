#include "platform/Spin.h"

#include <commctrl.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/Clipbrd.h"
#include "platform/FormLoader.h"

namespace treskel {

namespace {
void InitArrowClass() {
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    done = true;
}

// The whole number `text` holds, if it holds one and nothing else.
bool ParseWhole(const std::string& text, int& out) {
    if (text.empty() || text.size() > 12) return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    if (text[0] == '+' || text[0] == ' ') return false;
    out = static_cast<int>(v);
    return true;
}
}  // namespace

TSpinEdit::TSpinEdit(TComponent* owner) : TCustomEdit(owner) {
    SetBounds(Left(), Top(), 121, 21);
    SetText("0");
}

int TSpinEdit::CheckValue(int v) const {
    if (maxValue_ == minValue_) return v;
    return std::clamp(v, std::min(minValue_, maxValue_), std::max(minValue_, maxValue_));
}

bool TSpinEdit::HasNumber() {
    int v = 0;
    return ParseWhole(GetText(), v);
}

int TSpinEdit::Value() {
    int v = 0;
    if (!ParseWhole(GetText(), v)) return minValue_;
    return CheckValue(v);
}

void TSpinEdit::SetValue(int v) {
    SetText(std::to_string(CheckValue(v)));
}

void TSpinEdit::UpClick() {
    if (ReadOnly()) {
        MessageBeep(0);
        return;
    }
    SetValue(Value() + increment_);
    SelectAll();
}

void TSpinEdit::DownClick() {
    if (ReadOnly()) {
        MessageBeep(0);
        return;
    }
    SetValue(Value() - increment_);
    SelectAll();
}

bool TSpinEdit::IsValidChar(char key) const {
    if (static_cast<unsigned char>(key) < 32) return true;  // editing keys: backspace, copy, paste
    if (!editorEnabled_) return false;
    return (key >= '0' && key <= '9') || (key == '-' && std::min(minValue_, maxValue_) < 0);
}

bool TSpinEdit::KeyPress(char& key) {
    if (!IsValidChar(key)) {
        key = 0;
        MessageBeep(0);
    }
    if (key == 0) return false;
    return TCustomEdit::KeyPress(key);
}

bool TSpinEdit::KeyDown(WORD& key, TShiftState shift) {
    if (key == VK_UP) UpClick();
    else if (key == VK_DOWN) DownClick();
    else return TCustomEdit::KeyDown(key, shift);
    key = 0;
    return false;
}

void TSpinEdit::Paste() {
    // Pasted text is typed text: a number, or nothing at all.
    std::string text = Clipboard()->AsText();
    bool ok = editorEnabled_ && !text.empty();
    for (char c : text) ok = ok && static_cast<unsigned char>(c) >= 32 && IsValidChar(c);
    if (ok) SetSelText(text);
    else MessageBeep(0);
}

void TSpinEdit::CreateParams(TCreateParams& p) {
    TCustomEdit::CreateParams(p);
    // The arrows are a child of the edit and keep their own paint.
    p.Style |= WS_CLIPCHILDREN;
}

void TSpinEdit::CreateWnd() {
    TCustomEdit::CreateWnd();
    InitArrowClass();
    arrows_ = CreateWindowExW(0, UPDOWN_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, Handle(), nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    // The arrows never move on their own: each press is a step of ours.
    SendMessageW(arrows_, UDM_SETRANGE32, 0, 2);
    SendMessageW(arrows_, UDM_SETPOS32, 0, 1);
    PlaceArrows();
}

void TSpinEdit::PlaceArrows() {
    if (arrows_ == nullptr) return;
    RECT r;
    GetClientRect(Handle(), &r);
    int w = std::min<int>(GetSystemMetrics(SM_CXVSCROLL), r.right / 2);
    SetWindowPos(arrows_, nullptr, r.right - w, 0, w, r.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, w + 2));
}

bool TSpinEdit::ArrowsNotify(TMessage& m) {
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    if (arrows_ == nullptr || hdr == nullptr || hdr->hwndFrom != arrows_ || hdr->code != UDN_DELTAPOS) return false;
    auto* delta = reinterpret_cast<NMUPDOWN*>(m.LParam);
    if (delta->iDelta > 0) UpClick();
    else if (delta->iDelta < 0) DownClick();
    if (CanFocus() && GetFocus() != Handle()) SetFocus();
    m.Result = 1;  // the arrows keep their position
    return true;
}

void TSpinEdit::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_NOTIFY:
            if (ArrowsNotify(m)) return;
            break;
        case WM_PASTE:
            Paste();
            return;
        case WM_SIZE:
            TCustomEdit::WndProc(m);
            PlaceArrows();
            return;
        case WM_DESTROY:
            arrows_ = nullptr;
            break;
        case WM_KILLFOCUS: {
            // Leaving the edit shows the number it stands for.
            int v = 0;
            if (ParseWhole(GetText(), v) && v != CheckValue(v)) SetValue(v);
            break;
        }
        default:
            break;
    }
    TCustomEdit::WndProc(m);
}

void RegisterSpinClasses() {
    PublishClass<TSpinEdit, TCustomEdit>()
        .Int("MinValue", &TSpinEdit::MinValue, &TSpinEdit::SetMinValue)
        .Int("MaxValue", &TSpinEdit::MaxValue, &TSpinEdit::SetMaxValue)
        .Int("Increment", &TSpinEdit::Increment, &TSpinEdit::SetIncrement, 1)
        .Bool("EditorEnabled", &TSpinEdit::EditorEnabled, &TSpinEdit::SetEditorEnabled, true)
        .Int("Value", &TSpinEdit::Value, &TSpinEdit::SetValue);
}

}  // namespace treskel
