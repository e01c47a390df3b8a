#include "winutil/Gradpanl.h"

#include "platform/FormLoader.h"
#include "platform/TypInfo.h"

namespace treskel {

TgradientPanel::TgradientPanel(TComponent* owner) : TCustomPanel(owner) { SetBounds(Left(), Top(), 377, 121); }

void TgradientPanel::SetBeginColor(TColor c) {
    if (c == beginColor_) return;
    beginColor_ = c;
    Invalidate();
}

void TgradientPanel::SetEndColor(TColor c) {
    if (c == endColor_) return;
    endColor_ = c;
    Invalidate();
}

std::array<COLORREF, 256> TgradientPanel::BuildColorTable() const {
    const COLORREF b = ColorToRGB(beginColor_), e = ColorToRGB(endColor_);
    const int dr = GetRValue(e) - GetRValue(b), dg = GetGValue(e) - GetGValue(b), db = GetBValue(e) - GetBValue(b);
    std::array<COLORREF, 256> table{};
    for (int i = 0; i < 256; ++i) {
        const auto step = [&](int from, int d) { return static_cast<BYTE>((from + MulDiv(i, d, kSteps - 1)) & 0xFF); };
        table[static_cast<size_t>(i)] = RGB(step(GetRValue(b), dr), step(GetGValue(b), dg), step(GetBValue(b), db));
    }
    return table;
}

void TgradientPanel::Paint() {
    const std::array<COLORREF, 256> table = BuildColorTable();
    const int w = Width(), h = Height();
    if (w <= 0 || h <= 0) return;
    // Drawn off screen first, so that the bands never flicker.
    WindowDC screen(nullptr);
    GdiHandle<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), w, h));
    MemoryDC mem(screen.Get());
    {
        SelectGuard sel(mem.Get(), bitmap.Get());
        for (int i = 0; i <= kSteps; ++i) {
            RECT band{MulDiv(i, w, kSteps), 0, MulDiv(i + 1, w, kSteps), h};
            if (band.left >= w || band.right <= band.left) continue;
            GdiHandle<HBRUSH> brush(CreateSolidBrush(table[static_cast<size_t>(i)]));
            FillRect(mem.Get(), &band, brush.Get());
        }
        BitBlt(Canvas()->Handle(), 0, 0, w, h, mem.Get(), 0, 0, SRCCOPY);
    }
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->Font()->Assign(Font());
    const int textHeight = c->TextHeight("W");
    const int y = (h - textHeight) >= 0 ? (h - textHeight) / 2 : -((textHeight - h + 1) / 2);
    c->TextOut(4, y, Caption());
}

void RegisterGradientPanelClasses() {
    PublishClass<TgradientPanel, TCustomPanel>()
        .Int("BeginColor", &TgradientPanel::BeginColor, &TgradientPanel::SetBeginColor, clBtnShadow, &ColorIdents())
        .Int("EndColor", &TgradientPanel::EndColor, &TgradientPanel::SetEndColor, 0xC0C0C0, &ColorIdents());
}

}  // namespace treskel
