#include "winutil/UiUtils.h"

#include "foundation/qclgraphDraw.h"
#include "winutil/WuCtrlsLayout.h"

namespace treskel {

void CopyParentImage(TControl* control, TCanvas* canvas) {
    TWinControl* parent = control->Parent();
    if (parent == nullptr || !parent->HandleAllocated()) return;
    HDC dc = canvas->Handle();
    int saved = SaveDC(dc);
    POINT org;
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.x - control->Left(), org.y - control->Top(), nullptr);
    IntersectClipRect(dc, control->Left(), control->Top(), control->Left() + control->Width(),
                      control->Top() + control->Height());
    TControlState state = parent->ControlState();
    parent->SetControlState(state + TControlStateItem::csPaintCopy);
    try {
        parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    } catch (...) {
        parent->SetControlState(state);
        RestoreDC(dc, saved);
        throw;
    }
    parent->SetControlState(state);
    RestoreDC(dc, saved);
    canvas->Refresh();
}

std::unique_ptr<TBitmap> CreateDisabledBitmap(TBitmap* bitmap, TColor edgeColor) {
    auto result = std::make_unique<TBitmap>();
    if (bitmap == nullptr || bitmap->Empty()) return result;
    int w = bitmap->Width(), h = bitmap->Height();
    result->SetSize(w, h);
    TCanvas* c = result->Canvas();
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(Rect(0, 0, w, h));
    GdiHandle<HBITMAP> mask(bitmap->CreateMask(edgeColor));
    MemoryDC maskDC;
    SelectGuard sel(maskDC.Get(), mask.Get());
    HDC dc = c->Handle();
    auto paint = [&](TColor brush, int x, int y) {
        c->Brush()->SetColor(brush);
        COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
        COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        // Brush where the mask is set, the bitmap elsewhere.
        BitBlt(dc, x, y, w, h, maskDC.Get(), 0, 0, 0xE20746);
        SetBkColor(dc, oldBk);
        SetTextColor(dc, oldText);
    };
    paint(clBtnHighlight, 1, 1);
    paint(clBtnShadow, 0, 0);
    return result;
}

std::string ShortenText(const std::string& text, TCanvas* canvas, int maxWidth) {
    return WuShortenText(text, maxWidth, [canvas](const std::string& s) { return canvas->TextWidth(s); });
}

void KillMessage(HWND wnd, UINT msg) {
    MSG m;
    if (PeekMessageA(&m, wnd, msg, msg, PM_REMOVE) && m.message == WM_QUIT) PostQuitMessage(static_cast<int>(m.wParam));
}

void SwitchToWindow(HWND wnd, bool restore) {
    if (!IsWindowEnabled(wnd)) return;
    SetForegroundWindow(wnd);
    if (restore && IsWindowVisible(wnd)) {
        if (!IsZoomed(wnd)) SendMessageA(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
        SetFocus(wnd);
    }
}

bool IsActiveThreadWindow() {
    HWND active = GetActiveWindow();
    return active != nullptr && GetWindowThreadProcessId(active, nullptr) == GetCurrentThreadId();
}

}  // namespace treskel
