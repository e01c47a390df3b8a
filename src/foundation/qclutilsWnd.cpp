#include "foundation/qclutilsWnd.h"

#include "foundation/qclclass.h"
#include "foundation/qclgraphDraw.h"
#include "platform/Forms.h"
#include "platform/Handles.h"

namespace treskel {

namespace {

TRect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// Where a control lies on the screen.
TRect ScreenRectOf(TControl* control) {
    if (auto* w = dynamic_cast<TWinControl*>(control); w != nullptr && w->HandleAllocated()) {
        RECT r;
        GetWindowRect(w->Handle(), &r);
        return ToRect(r);
    }
    if (control->Parent() == nullptr) return control->BoundsRect();
    TPoint p = control->Parent()->ClientToScreen({control->Left(), control->Top()});
    return Bounds(p.x, p.y, control->Width(), control->Height());
}

// The start point of the effects: (x, y), or the cursor when x is negative.
TPoint EffectStart(int x, int y) {
    if (x >= 0) return {x, y};
    POINT p;
    GetCursorPos(&p);
    return {p.x, p.y};
}

// Draws the frames by inversion, twice: the second pass wipes the first.
void DrawFramePasses(const std::vector<TRect>& frames, int speed) {
    WindowDC dc(nullptr);
    if (!dc) return;
    if (speed < 1) speed = 1;
    for (int pass = 0; pass < 2; ++pass) {
        for (const TRect& f : frames) {
            Sleep(static_cast<DWORD>(speed));
            RECT r{f.Left, f.Top, f.Right, f.Bottom};
            DrawFocusRect(dc.Get(), &r);
        }
    }
}

uint8_t ExplodeSpeed() { return QclApplication != nullptr ? QclApplication->ExplodeSpeed() : 3; }

TQclCaptionWindow CaptionWindowOf(HWND wnd) {
    RECT r;
    GetWindowRect(wnd, &r);
    TQclCaptionWindow w;
    w.width = r.right - r.left;
    w.style = static_cast<uint32_t>(GetWindowLongA(wnd, GWL_STYLE));
    w.exStyle = static_cast<uint32_t>(GetWindowLongA(wnd, GWL_EXSTYLE));
    w.visible = IsWindowVisible(wnd) != FALSE;
    w.iconic = IsIconic(wnd) != FALSE;
    return w;
}

}  // namespace

void QclCenterOnScreen(TControl* control) {
    if (control == nullptr) return;
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    control->SetBounds((sw - control->Width()) / 2, (sh - control->Height()) / 2, control->Width(),
                       control->Height());
}

void QclGetDlgPosRect(TQclDlgPosRel relative, TRect& rect) {
    switch (relative) {
        case TQclDlgPosRel::brScreen:
            rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
            return;
        case TQclDlgPosRel::brScreenWorkArea: {
            RECT r;
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
            rect = ToRect(r);
            return;
        }
        case TQclDlgPosRel::brMainForm:
            if (Application != nullptr && Application->MainForm() != nullptr)
                rect = ScreenRectOf(Application->MainForm());
            return;
        case TQclDlgPosRel::brActiveWindow:
            if (TCustomForm* f = EnsureScreen()->ActiveForm()) rect = ScreenRectOf(f);
            return;
    }
}

void QclPlaceWindow(HWND wnd, const TRect& rect, TQclDlgPosition position) {
    RECT r;
    if (!GetWindowRect(wnd, &r)) return;
    TPoint p = QclPlacePoint(rect, r.right - r.left, r.bottom - r.top, position, GetSystemMetrics(SM_CXSCREEN),
                             GetSystemMetrics(SM_CYSCREEN));
    SetWindowPos(wnd, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void QclExplodeFrame(TControl* control, int x, int y, int speed, int steps) {
    if (control == nullptr) return;
    TPoint start = EffectStart(x, y);
    DrawFramePasses(QclExplodeFrames(ScreenRectOf(control), start.x, start.y, steps), speed);
}

void QclExplodeFrameExt(TControl* control, int x, int y, bool firstPhase, int speed, int boxHeight, int boxWidth,
                        int steps) {
    if (control == nullptr) return;
    TPoint start = EffectStart(x, y);
    DrawFramePasses(QclExplodeFramesExt(ScreenRectOf(control), start.x, start.y, firstPhase, boxHeight, boxWidth,
                                        steps),
                    speed);
}

void QclExplodeWindow(TControl* control) { QclExplodeFrame(control, -1, -1, ExplodeSpeed(), 40); }

void QclExplodeWindowExt(TControl* control) { QclExplodeFrameExt(control, -1, -1, true, ExplodeSpeed(), 10, 20, 40); }

TQclCaptionMetrics QclCaptionMetrics() {
    TQclCaptionMetrics m;
    m.cxBorder = GetSystemMetrics(SM_CXBORDER);
    m.cyBorder = GetSystemMetrics(SM_CYBORDER);
    m.cxFrame = GetSystemMetrics(SM_CXFRAME);
    m.cyFrame = GetSystemMetrics(SM_CYFRAME);
    m.cxDlgFrame = GetSystemMetrics(SM_CXDLGFRAME);
    m.cyDlgFrame = GetSystemMetrics(SM_CYDLGFRAME);
    m.cyCaption = GetSystemMetrics(SM_CYCAPTION);
    m.cxSize = GetSystemMetrics(SM_CXSIZE);
    m.smallCaptionHeight = QclSmallCaptionHeight();
    m.captionButtonWidth = QclCaptionButtonWidth();
    m.smallIconWidth = QclSmallIconWidth();
    m.newStyle = QclNewStyleControls();
    return m;
}

int QclSmallCaptionHeight() { return GetSystemMetrics(QclNewStyleControls() ? SM_CYSMCAPTION : SM_CYCAPTION); }
int QclCaptionButtonWidth() { return GetSystemMetrics(QclNewStyleControls() ? SM_CXSMSIZE : SM_CXSIZE); }
int QclSmallIconWidth() { return GetSystemMetrics(QclNewStyleControls() ? SM_CXSMICON : SM_CXSIZE); }
int QclCaptionWidth() { return GetSystemMetrics(SM_CXSIZE); }
int QclCaptionHeight() { return GetSystemMetrics(SM_CYCAPTION); }
int QclDlgFrameWidth() { return GetSystemMetrics(SM_CXDLGFRAME); }
int QclDlgFrameHeight() { return GetSystemMetrics(SM_CYDLGFRAME); }
int QclBorderWidth() { return GetSystemMetrics(SM_CXBORDER); }
int QclBorderHeight() { return GetSystemMetrics(SM_CYBORDER); }
int QclFrameWidth() { return GetSystemMetrics(SM_CXFRAME); }
int QclFrameHeight() { return GetSystemMetrics(SM_CYFRAME); }

void QclGetCaptionRect(HWND wnd, TRect& capRect, TRect& textRect, uint16_t& flags) {
    QclCaptionRects(CaptionWindowOf(wnd), QclCaptionMetrics(), capRect, textRect, flags);
}

void QclGetCaptionTextRect(HWND wnd, const TRect& capRect, TRect& textRect, uint16_t& flags) {
    QclCaptionTextRect(CaptionWindowOf(wnd), QclCaptionMetrics(), capRect, textRect, flags);
}

}  // namespace treskel
