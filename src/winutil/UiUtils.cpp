#include "winutil/UiUtils.h"

#include "foundation/qclgraphDraw.h"
#include "winutil/WuCtrlsLayout.h"

namespace treskel {

namespace {
// Marks a control as painting a copy while it paints into someone else's
// canvas; the mark goes on every exit.
class PaintingCopy {
public:
    explicit PaintingCopy(TControl* c) : control_(c), state_(c->ControlState()) {
        control_->SetControlState(state_ + TControlStateItem::csPaintCopy);
    }
    ~PaintingCopy() { control_->SetControlState(state_); }
    PaintingCopy(const PaintingCopy&) = delete;
    PaintingCopy& operator=(const PaintingCopy&) = delete;

private:
    TControl* control_;
    TControlState state_;
};

// Paints into `dc` with the origin at `at` and clipped to `clip` there.
template <class F>
void PaintAt(HDC dc, TPoint at, const TRect& clip, F paint) {
    const int saved = SaveDC(dc);
    POINT org;
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.x + at.x, org.y + at.y, nullptr);
    IntersectClipRect(dc, clip.Left, clip.Top, clip.Right, clip.Bottom);
    try {
        paint();
    } catch (...) {
        RestoreDC(dc, saved);
        throw;
    }
    RestoreDC(dc, saved);
}
}  // namespace

void CopyParentImage(TControl* control, TCanvas* canvas) {
    TWinControl* parent = control->Parent();
    if (parent == nullptr || !parent->HandleAllocated()) return;
    HDC dc = canvas->Handle();
    const TRect self = control->BoundsRect();
    // The parent's own painting, without its windowless controls.
    PaintAt(dc, Point(-self.Left, -self.Top), self, [&] {
        PaintingCopy copy(parent);
        parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    });
    // Then the windowless controls beneath this one: those before it in
    // the parent's list.  Those after it lie on top and stay out.
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == control) break;
        if (dynamic_cast<TWinControl*>(c) != nullptr || !c->Visible()) continue;
        const TRect r = c->BoundsRect();
        RECT overlap, a = ToRECT(r), b = ToRECT(self);
        if (!IntersectRect(&overlap, &a, &b)) continue;
        PaintAt(dc, Point(r.Left - self.Left, r.Top - self.Top), Rect(0, 0, r.Width(), r.Height()), [&] {
            PaintingCopy copy(c);
            c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        });
    }
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
