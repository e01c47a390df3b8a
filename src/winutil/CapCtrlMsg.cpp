// Painting of the caption bar and the form's messages that the caption
// control follows.
#include <windowsx.h>

#include <cmath>

#include "platform/DibBitmap.h"
#include "winutil/CapCtrl.h"

namespace treskel {

// The caption glyphs are letters of a symbol font whose thin strokes,
// smoothed, come out grey at the small sizes of a caption bar, so that an
// enabled button looks disabled.  Drawn on a bitmap of the button colours
// they come out solid: text on a bitmap of 256 colours is not smoothed.
void DrawCaptionFrameControl(HDC dc, const RECT& r, UINT type, UINT state) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info{};
    info.header = DibInfoHeader(w, -h, 8);
    info.header.biClrUsed = 256;
    const int faces[] = {COLOR_BTNFACE, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_3DDKSHADOW,
                         COLOR_3DLIGHT, COLOR_BTNTEXT, COLOR_GRAYTEXT, COLOR_WINDOWFRAME};
    int n = 0;
    for (int face : faces) {
        COLORREF c = GetSysColor(face);
        info.colors[n++] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
    }
    void* bits = nullptr;
    GdiHandle<HBITMAP> bitmap(
        CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryDC mem(dc);
    if (!bitmap || !mem) {
        RECT copy = r;
        DrawFrameControl(dc, &copy, type, state);
        return;
    }
    SelectGuard select(mem.Get(), bitmap.Get());
    RECT inside = {0, 0, w, h};
    DrawFrameControl(mem.Get(), &inside, type, state);
    BitBlt(dc, r.left, r.top, w, h, mem.Get(), 0, 0, SRCCOPY);
}

void TCustomCaptionControl::PaintCaption(HDC windowDC) {
    TRect cap = GetCaptionRect();
    if (cap.Width() <= 0 || cap.Height() <= 0) return;
    captionRect_ = cap;
    const int w = cap.Width(), h = cap.Height();
    TRect r = Rect(0, 0, w, h);
    MemoryDC mem(windowDC);
    GdiHandle<HBITMAP> bmp(CreateCompatibleBitmap(windowDC, w, h));
    SelectGuard selBmp(mem.Get(), bmp.Get());
    HDC dc = mem.Get();
    // Handlers draw on the canvas, which lets go of the bitmap at the end.
    struct CanvasOn {
        TCanvas* canvas;
        CanvasOn(TCanvas* c, HDC dc) : canvas(c) { canvas->SetHandle(dc); }
        ~CanvasOn() { canvas->SetHandle(nullptr); }
    } canvasOn(canvas_.get(), dc);

    bool bands = gradient_ == TCaptionGradient::cgAlways || (gradient_ == TCaptionGradient::cgActive && active_);
    if (bands) {
        const double bw = static_cast<double>(w) / colorBands_;
        for (int i = 0; i < colorBands_; ++i) {
            RECT band = {static_cast<int>(std::lround(i * bw)), 0, static_cast<int>(std::lround((i + 1) * bw)), h};
            GdiHandle<HBRUSH> brush(CreateSolidBrush(tables_[active_ ? 1 : 0][i]));
            FillRect(dc, &band, brush.Get());
        }
    } else {
        RECT all = {0, 0, w, h};
        FillRect(dc, &all, GetSysColorBrush(active_ ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    }
    r.Left += 1;

    TBorderIcons icons = form_->BorderIcons();
    auto style = form_->BorderStyle();
    if (icons.Contains(TBorderIcon::biSystemMenu) &&
        (style == TFormBorderStyle::bsSingle || style == TFormBorderStyle::bsSizeable)) {
        HWND wnd = form_->Handle();
        auto icon = reinterpret_cast<HICON>(SendMessageA(wnd, WM_GETICON, ICON_SMALL, 0));
        if (icon == nullptr) icon = reinterpret_cast<HICON>(SendMessageA(wnd, WM_GETICON, ICON_BIG, 0));
        if (icon == nullptr) icon = reinterpret_cast<HICON>(GetClassLongPtrA(wnd, GCLP_HICONSM));
        if (icon == nullptr) icon = reinterpret_cast<HICON>(GetClassLongPtrA(wnd, GCLP_HICON));
        const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
        if (icon != nullptr) {
            IconHandle copy(static_cast<HICON>(CopyImage(icon, IMAGE_ICON, cx, cy, LR_COPYFROMRESOURCE)));
            if (!copy) copy.Reset(static_cast<HICON>(CopyImage(icon, IMAGE_ICON, cx, cy, 0)));
            DrawIconEx(dc, r.Left + 1, r.Top + 1, copy ? copy.Get() : icon, cx, cy, 0, nullptr, DI_NORMAL);
        }
        r.Left += cx + 1;
    }
    PaintButtons(dc, r);
    PaintCaptionText(dc, r);
    BitBlt(windowDC, cap.Left, cap.Top, w, h, dc, 0, 0, SRCCOPY);
}

void TCustomCaptionControl::PaintButtons(HDC dc, TRect& cap) {
    TRect b = Rect(cap.Left + 2, cap.Top + 2, cap.Right - 2, cap.Bottom - 2);
    auto frame = [&](UINT type, UINT state) {
        DrawCaptionFrameControl(dc, ToRECT(b), type, state);
    };
    auto style = form_->BorderStyle();
    TBorderIcons icons = form_->BorderIcons();
    buttonRects_.clear();
    if (IsTool()) {
        b.Left = b.Right - GetSystemMetrics(SM_CXSMSIZE) + 2;
        frame(DFC_CAPTION, DFCS_CAPTIONCLOSE);
        cap.Right = b.Left - 2;
        return;
    }
    int W = GetSystemMetrics(SM_CXSMICON) - 2;
    if ((W & 1) != ((cap.Bottom - cap.Top) & 1)) ++W;
    buttonWidth_ = W;
    b.Left = b.Right - W - 2;
    const bool sysMenu = icons.Contains(TBorderIcon::biSystemMenu);
    auto moveLeft = [&](int by) {
        b.Left -= by;
        b.Right -= by;
    };
    if (sysMenu) frame(DFC_CAPTION, DFCS_CAPTIONCLOSE);
    const bool minBox = icons.Contains(TBorderIcon::biMinimize), maxBox = icons.Contains(TBorderIcon::biMaximize);
    if (style != TFormBorderStyle::bsDialog && sysMenu && (minBox || maxBox)) {
        moveLeft(W + 4);
        frame(DFC_CAPTION, (maximized_ ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX) | (maxBox ? 0 : DFCS_INACTIVE));
        moveLeft(W + 2);
        frame(DFC_CAPTION, DFCS_CAPTIONMIN | (minBox ? 0 : DFCS_INACTIVE));
    }
    HWND wnd = form_->Handle();
    LONG st = GetWindowLongA(wnd, GWL_STYLE), ex = GetWindowLongA(wnd, GWL_EXSTYLE);
    if ((ex & WS_EX_CONTEXTHELP) != 0 && (st & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0) {
        if (sysMenu) moveLeft(W + 4);
        frame(DFC_CAPTION, DFCS_CAPTIONHELP);
    }
    if (sysMenu) cap.Right = b.Left - 2;
    const int n = buttons_->Count();
    if (!showButtons_ || n == 0) return;
    if (direction_ == TDirection::dirLeft) {
        b = Rect(cap.Left + 2, cap.Top + 2, cap.Right - 2, cap.Bottom - 2);
    } else {
        if (!sysMenu) b.Left = b.Right;
        for (int i = 0; i < n; ++i) b.Left -= buttons_->Items(i)->IsSeparator() ? 4 : W + 2;
        cap.Right = b.Left - 2;
    }
    buttonsStart_ = b.Left;
    b.Right = b.Left + W + 2;
    buttonRects_.assign(n, TRect{});
    for (int i = 0; i < n; ++i) {
        TCaptionButton* button = buttons_->Items(i);
        const bool last = i == n - 1;
        if (button->IsSeparator()) {
            if (!last) moveLeft(-2);
            continue;
        }
        const bool pressed = button->Pushed() || (i == held_ && pressedLook_ && button->Enabled());
        if (button->Visible()) {
            buttonRects_[i] = b;
            frame(DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
            TRect c = b;
            if (pressed) {
                c.Left += 2;
                c.Top += 2;
            }
            c = Rect(c.Left + 2, c.Top + 2, c.Right - 2, c.Bottom - 2);
            bool drawn = false;
            if (!Designing()) DoButtonDraw(i, canvas_.get(), c, drawn);
            if (!drawn) button->Draw(c);
        }
        if (!last) moveLeft(-(W + 2));
    }
    if (direction_ == TDirection::dirLeft) cap.Left = b.Right + 2;
}

void TCustomCaptionControl::PaintCaptionText(HDC dc, TRect rect) {
    rect.Left += 2;
    COLORREF color;
    if (gradient_ == TCaptionGradient::cgNone)
        color = GetSysColor(active_ ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT);
    else if (gradient_ == TCaptionGradient::cgActive && !active_)
        color = GetSysColor(COLOR_INACTIVECAPTIONTEXT);
    else
        color = ColorToRGB(colors_->Color(active_ ? 4 : 5));
    SetTextColor(dc, color);
    SetBkMode(dc, TRANSPARENT);
    SelectGuard sel(dc, font_.Get());
    LONG ex = GetWindowLongA(form_->Handle(), GWL_EXSTYLE);
    UINT flags = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER;
    if ((ex & WS_EX_RIGHT) != 0) flags |= DT_RIGHT;
    if ((ex & WS_EX_RTLREADING) != 0) flags |= DT_RTLREADING;
    std::string text = form_->Caption();
    bool drawn = false;
    DoDrawCaption(text, canvas_.get(), rect, drawn);
    RECT r = {rect.Left, rect.Top, rect.Right, rect.Bottom};
    if (!drawn) DrawTextA(dc, text.c_str(), -1, &r, flags);
}

TPoint TCustomCaptionControl::WindowPoint(LPARAM screenPos) const {
    RECT w;
    GetWindowRect(form_->Handle(), &w);
    return {GET_X_LPARAM(screenPos) - w.left, GET_Y_LPARAM(screenPos) - w.top};
}

TPoint TCustomCaptionControl::ClientToWindowPoint(LPARAM clientPos) const {
    POINT p = {GET_X_LPARAM(clientPos), GET_Y_LPARAM(clientPos)};
    ClientToScreen(form_->Handle(), &p);
    return WindowPoint(MAKELPARAM(p.x, p.y));
}

namespace {
void Swallow(TMessage& m) {
    m.Result = 1;
    m.Msg = 0;
}
}  // namespace

void TCustomCaptionControl::OnMouseDown(TMessage& m) {
    held_ = ButtonAtPoint(WindowPoint(m.LParam));
    if (held_ < 0) {
        UpdateCaption();
        return;
    }
    SetCapture(form_->Handle());
    captured_ = true;
    if (buttons_->Items(held_)->Enabled()) pressedLook_ = true;
    UpdateCaption();
    Swallow(m);
}

void TCustomCaptionControl::OnMouseUp(TMessage& m) {
    pressedLook_ = false;
    if (held_ >= 0) {
        const int index = held_;
        if (ButtonAtPoint(ClientToWindowPoint(m.LParam)) == index) {
            // A disabled button's release is reported too.
            bool pushed = buttons_->Items(index)->Pushed();
            if (!Designing()) DoButtonClick(index, pushed);
            if (index < buttons_->Count()) buttons_->Items(index)->SetPushed(pushed);
        }
        UpdateCaption();
        Swallow(m);
    }
    held_ = -1;
    if (captured_) {
        captured_ = false;
        ReleaseCapture();
    }
}

// The caption is painted first, and the form's own painting of its frame
// is handed a region without it, so the caption never flickers.
void TCustomCaptionControl::BeginNcPaint(TMessage& m) {
    HWND wnd = form_->Handle();
    RECT w;
    GetWindowRect(wnd, &w);
    ncDC_ = WindowDC::WholeWindow(wnd);
    // wParam: the part of the frame to paint (screen coordinates), or 1
    // for all of it.
    GdiHandle<HRGN> region(CreateRectRgn(0, 0, 0, 0));
    if (m.WParam <= 1 || CombineRgn(region.Get(), reinterpret_cast<HRGN>(m.WParam), nullptr, RGN_COPY) == ERROR)
        SetRectRgn(region.Get(), w.left, w.top, w.right, w.bottom);
    OffsetRgn(region.Get(), -w.left, -w.top);
    SelectClipRgn(ncDC_.Get(), region.Get());
    PaintCaption(ncDC_.Get());
    GdiHandle<HRGN> caption(CreateRectRgn(captionRect_.Left, captionRect_.Top, captionRect_.Right,
                                          captionRect_.Bottom));
    if (GetCaptionRect().Width() > 0) CombineRgn(region.Get(), region.Get(), caption.Get(), RGN_DIFF);
    OffsetRgn(region.Get(), w.left, w.top);
    m.WParam = reinterpret_cast<WPARAM>(region.Get());
    ncRegion_ = std::move(region);
}

void TCustomCaptionControl::EndNcPaint() {
    ncRegion_.Reset();
    ncDC_ = WindowDC();
}

void TCustomCaptionControl::BeforeFormMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_NCPAINT:
            if (enabled_ && form_->HandleAllocated()) BeginNcPaint(m);
            break;
        case WM_SIZE:
            maximized_ = m.WParam == SIZE_MAXIMIZED;
            break;
        case WM_SYSCOLORCHANGE:
            ColorsChanged();
            break;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            if (enabled_) OnMouseDown(m);
            break;
        case WM_NCRBUTTONDOWN:
            // Only a menu of our own replaces the system menu on the frame.
            if (enabled_ && !Designing() && popupMenu_ != nullptr && popupMenu_->AutoPopup()) {
                SetCapture(form_->Handle());
                captured_ = true;
                rightDown_ = true;
                Swallow(m);
            }
            break;
        case WM_MOUSEMOVE:
            if (enabled_ && held_ >= 0) {
                bool over = ButtonAtPoint(ClientToWindowPoint(m.LParam)) == held_;
                if (over != pressedLook_) {
                    pressedLook_ = over;
                    UpdateCaption();
                }
                Swallow(m);
            }
            break;
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
            if (enabled_) OnMouseUp(m);
            break;
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
            if (enabled_ && !Designing()) {
                if (rightDown_ && popupMenu_ != nullptr && popupMenu_->AutoPopup()) {
                    POINT p = {GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
                    ClientToScreen(form_->Handle(), &p);
                    popupMenu_->Popup(p.x, p.y);
                    Swallow(m);
                }
                rightDown_ = false;
                if (captured_) {
                    captured_ = false;
                    ReleaseCapture();
                }
            }
            break;
        default:
            break;
    }
}

void TCustomCaptionControl::AfterFormMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_NCACTIVATE:
            active_ = m.WParam != 0;
            if (enabled_) UpdateCaption();
            break;
        case WM_SETTINGCHANGE:
            if (m.WParam == SPI_SETNONCLIENTMETRICS) {
                UpdateCaptionFont();
                UpdateCaption();
            }
            break;
        case WM_NCPAINT:
            EndNcPaint();
            break;
        case WM_WINDOWPOSCHANGED:
            // The caption is composed in memory and copied in one piece.
            if (enabled_ && form_->HandleAllocated()) {
                WindowDC dc = WindowDC::WholeWindow(form_->Handle());
                PaintCaption(dc.Get());
            }
            break;
        case WM_SETTEXT:
        case 0x003F:
        case WM_SYSCOMMAND:
        case WM_ENTERIDLE:
            if (enabled_) UpdateCaption();
            break;
        default:
            break;
    }
}

}  // namespace treskel
