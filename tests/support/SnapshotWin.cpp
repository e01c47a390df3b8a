#include "support/Snapshot.h"

#include <algorithm>
#include <cstring>

#include "platform/DibBitmap.h"
#include "platform/Graphics.h"

namespace treskel::test {

std::unique_ptr<TBitmap> Filled(int w, int h, TColor color, TPixelFormat format) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(format);
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(color);
    b->Canvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

TColor At(TBitmap& b, int x, int y) { return b.Canvas()->Pixel(x, y) & 0xFFFFFF; }

COLORREF Snapshot::At(int x, int y) const {
    const uint8_t* p = &bgr[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
    return RGB(p[2], p[1], p[0]);
}

int Snapshot::Count(const TRect& r, const std::function<bool(COLORREF)>& match) const {
    int n = 0;
    for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, height); ++y)
        for (int x = std::max(r.Left, 0); x < std::min(r.Right, width); ++x)
            if (match(At(x, y))) ++n;
    return n;
}

int Snapshot::LongestRun(const TRect& r, int y, const std::function<bool(COLORREF)>& match) const {
    int best = 0, run = 0;
    for (int x = std::max(r.Left, 0); x < std::min(r.Right, width); ++x) {
        run = match(At(x, y)) ? run + 1 : 0;
        best = std::max(best, run);
    }
    return best;
}

namespace {
Snapshot Painted(int width, int height, const std::function<void(HDC)>& paint) {
    Snapshot s{width, height, {}};
    void* bits = nullptr;
    GdiHandle<HBITMAP> dib = NewDibSection(s.width, -s.height, 24, &bits);
    MemoryDC dc;
    {
        SelectGuard g(dc.Get(), dib.Get());
        paint(dc.Get());
        GdiFlush();
    }
    const size_t row = static_cast<size_t>(s.width) * 3;
    const size_t stride = static_cast<size_t>(DibStride(s.width, 24));
    s.bgr.resize(row * static_cast<size_t>(s.height));
    for (size_t y = 0; y < static_cast<size_t>(s.height); ++y)
        std::memcpy(&s.bgr[y * row], static_cast<uint8_t*>(bits) + y * stride, row);
    return s;
}
}  // namespace

Snapshot PaintedClient(HWND wnd, const std::function<void(HDC)>& paint) {
    RECT rc;
    GetClientRect(wnd, &rc);
    return Painted(rc.right, rc.bottom, paint);
}

Snapshot ShownWindow(HWND wnd) {
    RECT w;
    GetWindowRect(wnd, &w);
    const int width = w.right - w.left, height = w.bottom - w.top;
    return Painted(width, height, [&](HDC dc) {
        WindowDC window = WindowDC::WholeWindow(wnd);
        BitBlt(dc, 0, 0, width, height, window.Get(), 0, 0, SRCCOPY);
    });
}

Snapshot ScreenArea(const TRect& r) {
    return Painted(r.Right - r.Left, r.Bottom - r.Top, [&](HDC dc) {
        WindowDC screen(nullptr);
        BitBlt(dc, 0, 0, r.Right - r.Left, r.Bottom - r.Top, screen.Get(), r.Left, r.Top, SRCCOPY);
    });
}

Snapshot PrintClient(HWND wnd) {
    return PaintedClient(wnd, [wnd](HDC dc) {
        SendMessageA(wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    });
}

Snapshot OnScreen(HWND wnd) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return PaintedClient(wnd, [wnd](HDC dc) {
        RECT rc;
        GetClientRect(wnd, &rc);
        WindowDC screen(wnd);
        BitBlt(dc, 0, 0, rc.right, rc.bottom, screen.Get(), 0, 0, SRCCOPY);
    });
}

bool Reddish(COLORREF c) { return GetRValue(c) > 160 && GetGValue(c) < 90 && GetBValue(c) < 90; }
bool Bluish(COLORREF c) { return GetBValue(c) > 160 && GetRValue(c) < 90 && GetGValue(c) < 90; }
bool Dark(COLORREF c) { return GetRValue(c) < 110 && GetGValue(c) < 110 && GetBValue(c) < 110; }

}  // namespace treskel::test
