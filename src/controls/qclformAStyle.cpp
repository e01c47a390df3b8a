// The caption styler and the form background fill.
#include "controls/qclformA.h"

#include <cstring>

#include "foundation/qclgraphDib.h"
#include "foundation/qclgraphDraw.h"
#include "foundation/qclsysin.h"
#include "foundation/qclutilsWnd.h"
#include "platform/Handles.h"

namespace treskel {

namespace {

// A system that paints gradient captions itself keeps its own.
bool SystemDrawsGradient() {
    BOOL gradient = FALSE;
    SystemParametersInfoA(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0);
    return gradient && QclGetDisplayColorDepth() > 8;
}

// A canvas on a device context it does not own, let go when it goes.
class BorrowedCanvas : public TCanvas {
public:
    explicit BorrowedCanvas(HDC dc) { SetHandle(dc); }
    ~BorrowedCanvas() override { SetHandle(nullptr); }
};

// Clips a device context to a rectangle for a scope.
class ClipScope {
public:
    ClipScope(HDC dc, const TRect& r) : dc_(dc), saved_(SaveDC(dc)) {
        IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
    }
    ~ClipScope() { RestoreDC(dc_, saved_); }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

private:
    HDC dc_;
    int saved_;
};

}  // namespace

// ------------------------------------------------------------ TQclFormStyler

TQclFormStyler::TQclFormStyler(TComponent* owner)
    : TQclWndProcComponent(owner), font_(std::make_unique<TFont>()), font3D_(std::make_unique<TQcl3DCaption>()) {
    if (Designing() && QclCheckOneInstance<TQclFormStyler>(owner, false))
        throw QclEOneInstError(ClassName(), 0);
    font_->OnChange = [this](TObject*) { FontsChanged(); };
    font3D_->OnChange = [this](TObject*) { FontsChanged(); };
}

TQclFormStyler::~TQclFormStyler() = default;

bool TQclFormStyler::Active() const { return active_ || options_.Contains(TQclFormStyleOption::fsInactiveGradient); }

void TQclFormStyler::FontsChanged() {
    if (!options_.Contains(TQclFormStyleOption::fsUseDefaultFont) && paintMode_ != TQclPaintMode::pcNone)
        PaintCaption(false);
}

void TQclFormStyler::SetAlignment(TAlignment v) {
    if (v == alignment_) return;
    alignment_ = v;
    if (paintMode_ != TQclPaintMode::pcNone) PaintCaption(false);
}

void TQclFormStyler::SetColors(TQclColorCount v) {
    if (v == colors_) return;
    colors_ = v;
    if (paintMode_ == TQclPaintMode::pcControl) PaintCaption(false);
}

void TQclFormStyler::SetPaintMode(TQclPaintMode v) {
    if (v == paintMode_) return;
    paintMode_ = v;
    if (v == TQclPaintMode::pcNone)
        RedrawFrame();
    else
        PaintCaption(true);
}

void TQclFormStyler::SetOptions(TQclFormStyleOptions v) {
    if (v == options_) return;
    options_ = v;
    if (paintMode_ == TQclPaintMode::pcNone)
        RedrawFrame();
    else
        PaintCaption(true);
}

void TQclFormStyler::RedrawFrame() {
    if (IsReady()) SendMessageA(GetHookHandle(), WM_NCACTIVATE, 1, 0);
}

void TQclFormStyler::HookOwner() {
    if (!Enabled() || Hooked()) return;
    auto* form = dynamic_cast<TCustomForm*>(Owner());
    if (form == nullptr) return;
    // Read before hooking: from then on the window's text is the styler's.
    const std::string caption = form->Caption();
    if (!Hook()) return;
    if (!options_.Contains(TQclFormStyleOption::fsUseFormCaption)) {
        // The system draws no text over a caption of one blank.
        savedCaption_ = caption;
        captionSaved_ = true;
        form->SetCaption(" ");
    }
    if (!IsLoading()) PaintCaption(true);
}

void TQclFormStyler::RestoreOwner() {
    auto* form = dynamic_cast<TCustomForm*>(Owner());
    const bool wasHooked = Hooked();
    Unhook();
    iconBitmap_.reset();
    if (captionSaved_ && form != nullptr) {
        captionSaved_ = false;
        form->SetCaption(savedCaption_);
    }
    if (wasHooked && !IsDestroying() && form != nullptr && form->HandleAllocated())
        SendMessageA(form->Handle(), WM_NCACTIVATE, 1, 0);
}

void TQclFormStyler::WndProc(TMessage& m) {
    if (!Enabled() || paintMode_ == TQclPaintMode::pcNone) {
        TQclWndProcComponent::WndProc(m);
        return;
    }
    const bool ownText = !options_.Contains(TQclFormStyleOption::fsUseFormCaption);
    switch (m.Msg) {
        case WM_GETTEXT:
            if (ownText) {
                // Only as much as the caller's buffer holds.
                auto* buffer = reinterpret_cast<char*>(m.LParam);
                const size_t size = m.WParam;
                if (buffer == nullptr || size == 0) {
                    m.Result = 0;
                } else if (size == 1) {
                    buffer[0] = '\0';
                    m.Result = 0;
                } else {
                    std::memcpy(buffer, " ", 2);
                    m.Result = 1;
                }
                return;
            }
            break;
        case WM_GETTEXTLENGTH:
            if (ownText) {
                m.Result = 1;
                return;
            }
            break;
        case WM_NCPAINT:
            CallOldWndProc(m);
            if (Active()) PaintCaption(true);
            m.Result = 0;
            return;
        case WM_NCACTIVATE:
            active_ = m.WParam != 0;
            CallOldWndProc(m);
            if (Active()) PaintCaption(false);
            m.Result = 1;
            return;
        default: break;
    }
    TQclWndProcComponent::WndProc(m);
}

void TQclFormStyler::PaintCaption(bool full) {
    auto* form = dynamic_cast<TCustomForm*>(Owner());
    if (Designing() || !Enabled() || paintMode_ == TQclPaintMode::pcNone || busy_ || form == nullptr ||
        !form->HandleAllocated())
        return;
    HWND wnd = form->Handle();
    if ((IsIconic(wnd) && !QclNewStyleControls()) || !IsWindowVisible(wnd)) return;
    if (options_.Contains(TQclFormStyleOption::fsCheckSystemGradient) && SystemDrawsGradient()) return;
    const std::string text = options_.Contains(TQclFormStyleOption::fsUseFormCaption) ? form->Caption()
                                                                                       : savedCaption_;
    WindowDC dc = WindowDC::WholeWindow(wnd);
    if (!dc) return;
    busy_ = true;
    struct Idle {
        bool& b;
        ~Idle() { b = false; }
    } idle{busy_};
    ++paintCount_;

    uint16_t flags = qclCapTextRight;
    if (paintMode_ == TQclPaintMode::pcOwnerDraw && options_.Contains(TQclFormStyleOption::fsAdjustRect))
        flags |= qclCapKeepIcon;
    if (form->BorderStyle() == TFormBorderStyle::bsSingle) flags |= qclCapFrameless;
    TRect cap, textRect;
    QclGetCaptionRect(wnd, cap, textRect, flags);
    const bool icon = (flags & qclCapIcon) != 0, small = (flags & qclCapSmall) != 0;
    BorrowedCanvas canvas(dc.Get());

    if (paintMode_ == TQclPaintMode::pcControl) {
        if (icon && full) {
            if (!iconBitmap_) iconBitmap_ = std::make_unique<TBitmap>();
            iconBitmap_->SetWidth(std::max(1, textRect.Left - cap.Left));
            iconBitmap_->SetHeight(std::max(1, cap.Height()));
            iconBitmap_->Canvas()->CopyRect(Rect(0, 0, iconBitmap_->Width(), iconBitmap_->Height()), &canvas,
                                            Rect(cap.Left, cap.Top, textRect.Left, cap.Bottom));
        }
        if (Active()) {
            QclDrawGradient(&canvas, cap, clBlack, active_ ? clActiveCaption : clInactiveCaption, colors_, 0, 0, 0);
            if (icon && QclNewStyleControls() && iconBitmap_) {
                TRect drawn;
                QclDrawBitmapRect(&canvas, Bounds(cap.Left, cap.Top, iconBitmap_->Width(), iconBitmap_->Height()),
                                  iconBitmap_.get(), qclBmpMaskFromColor, iconBitmap_->TransparentColor(), drawn);
            }
        }
    } else if (paintMode_ == TQclPaintMode::pcOwnerDraw && OnPaint) {
        ClipScope clip(dc.Get(), cap);
        OnPaint(this, &canvas, cap);
    }

    SelectCaptionFont(canvas, textRect, small);
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    DrawCaptionText(canvas, textRect, text, small);
}

void TQclFormStyler::SelectCaptionFont(TCanvas& canvas, const TRect& textRect, bool small) {
    const bool defaultFont = options_.Contains(TQclFormStyleOption::fsUseDefaultFont);
    if (!defaultFont) {
        canvas.SetFont(font_.get());
    } else if (QclNewStyleControls()) {
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        LOGFONTA lf = small ? metrics.lfSmCaptionFont : metrics.lfCaptionFont;
        lf.lfWeight = FW_BOLD;
        GdiHandle<HFONT> font(CreateFontIndirectA(&lf));
        canvas.Font()->SetHandle(font.Get());
    } else {
        canvas.Font()->SetHandle(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
        canvas.Font()->SetHeight(textRect.Height());
        canvas.Font()->SetStyle({TFontStyle::fsBold});
    }
    TColor color;
    if (!active_)
        color = clInactiveCaptionText;
    else if (defaultFont || !options_.Contains(TQclFormStyleOption::fsUseFontColor))
        color = ColorToRGB(clCaptionText) == 0 ? clWhite : clCaptionText;
    else
        color = font_->Color();
    canvas.Font()->SetColor(color);
}

void TQclFormStyler::DrawCaptionText(TCanvas& canvas, const TRect& textRect, const std::string& text, bool) {
    const bool event = options_.Contains(TQclFormStyleOption::fsDrawCaptionEvent) ||
                       paintMode_ == TQclPaintMode::pcOwnerDraw;
    if (event) {
        if (!OnCaptionPaint) return;
        ClipScope clip(canvas.Handle(), textRect);
        OnCaptionPaint(this, &canvas, textRect);
        return;
    }
    if (!(active_ || !options_.Contains(TQclFormStyleOption::fsUseFormCaption) ||
          options_.Contains(TQclFormStyleOption::fsInactiveGradient)))
        return;
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (alignment_ == TAlignment::taRightJustify) format |= DT_RIGHT;
    else if (alignment_ == TAlignment::taCenter) format |= DT_CENTER;
    else format |= DT_LEFT;
    if (options_.Contains(TQclFormStyleOption::fsUseDefaultFont)) {
        RECT r{textRect.Left, textRect.Top, textRect.Right, textRect.Bottom};
        HDC dc = canvas.Handle();
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(canvas.Font()->Color())));
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    } else {
        QclDraw3DText(&canvas, text, font3D_.get(), textRect, format, 10);
    }
}

// ------------------------------------------------------------ TQclCustomFormFill

TQclCustomFormFill::TQclCustomFormFill(TComponent* owner)
    : TQclWndProcComponent(owner), link_(this, [this] { LinkChanged(); }) {}

TQclCustomFormFill::~TQclCustomFormFill() = default;

void TQclCustomFormFill::Notification(TComponent* component, TOperation operation) {
    TQclWndProcComponent::Notification(component, operation);
    if (operation == TOperation::opRemove) link_.Removed(component);
}

bool TQclCustomFormFill::NoImage() { return !link_.HasImage(); }

void TQclCustomFormFill::SetPaintMode(TQclPaintMode v) {
    if (v == paintMode_) return;
    paintMode_ = v;
    Change();
}

void TQclCustomFormFill::Change() {
    TQclWndProcComponent::Change();
    InvalidateOwner(true);
}

void TQclCustomFormFill::LinkChanged() { InvalidateOwner(true); }

void TQclCustomFormFill::InvalidateOwner(bool erase) {
    auto* form = dynamic_cast<TWinControl*>(Owner());
    if (form != nullptr && form->HandleAllocated()) InvalidateRect(form->Handle(), nullptr, erase ? TRUE : FALSE);
}

void TQclCustomFormFill::Loaded() { TQclWndProcComponent::Loaded(); }

void TQclCustomFormFill::HookOwner() {
    const bool was = Hooked();
    TQclWndProcComponent::HookOwner();
    if (!was && Hooked() && !IsLoading()) InvalidateOwner(true);
}

void TQclCustomFormFill::RestoreOwner() {
    const bool was = Hooked();
    Unhook();
    if (was && !IsDestroying()) InvalidateOwner(true);
}

void TQclCustomFormFill::WndProc(TMessage& m) {
    if (!Enabled()) {
        TQclWndProcComponent::WndProc(m);
        return;
    }
    switch (m.Msg) {
        case WM_SIZE: InvalidateOwner(false); break;
        case WM_ERASEBKGND:
            if (EraseBackground(reinterpret_cast<HDC>(m.WParam))) {
                m.Result = 1;
                return;
            }
            break;
        case WM_HSCROLL:
        case WM_VSCROLL: InvalidateOwner(false); break;
        case WM_PALETTECHANGED: InvalidateOwner(true); break;
        default: break;
    }
    TQclWndProcComponent::WndProc(m);
}

bool TQclCustomFormFill::EraseBackground(HDC dc) {
    auto* form = dynamic_cast<TWinControl*>(Owner());
    if (IsLoading() || paintMode_ != TQclPaintMode::pcOwnerDraw || !OnPaint || form == nullptr) return false;
    BorrowedCanvas canvas(dc);
    const TRect client = Rect(0, 0, form->ClientWidth(), form->ClientHeight());
    if (defaultFill_) {
        canvas.Brush()->SetColor(form->Color());
        canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas.FillRect(client);
    }
    OnPaint(this, &canvas, client);
    return true;
}

bool TQclBack::EraseBackground(HDC dc) {
    auto* form = dynamic_cast<TWinControl*>(Owner());
    if (PaintMode() != TQclPaintMode::pcControl || NoImage() || form == nullptr)
        return TQclCustomFormFill::EraseBackground(dc);
    BorrowedCanvas canvas(dc);
    uint16_t flags = qclBmpTile;
    if (!QclPalettesLeftOut()) flags |= qclBmpPalette;
    ImageList()->DrawRect(&canvas, Rect(0, 0, form->ClientWidth(), form->ClientHeight()), ListIndex(), ImageIndex(),
                          flags);
    return true;
}

}  // namespace treskel
