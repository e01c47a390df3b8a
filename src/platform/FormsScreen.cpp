// The screen: its cursors, sizes, monitors and fonts, and the form and
// control that are active on it.
#include <memory>

#include "platform/ControlsHooks.h"
#include "platform/Forms.h"

namespace treskel {

TScreen* EnsureScreen() {
    if (Screen == nullptr) Screen = new TScreen(nullptr);
    return Screen;
}

TScreen::TScreen(TComponent* owner) : TComponent(owner) {
    if (Screen == nullptr) Screen = this;
    InstallFormComponentFinder();
    struct {
        TCursor index;
        LPCSTR id;
    } const defaults[] = {
        {crArrow, IDC_ARROW},       {crCross, IDC_CROSS},       {crIBeam, IDC_IBEAM},      {crSizeNESW, IDC_SIZENESW},
        {crSizeNS, IDC_SIZENS},     {crSizeNWSE, IDC_SIZENWSE}, {crSizeWE, IDC_SIZEWE},    {crUpArrow, IDC_UPARROW},
        {crHourGlass, IDC_WAIT},    {crDrag, IDC_ARROW},        {crNoDrop, IDC_NO},        {crHSplit, IDC_SIZEWE},
        {crVSplit, IDC_SIZENS},     {crMultiDrag, IDC_ARROW},   {crSQLWait, IDC_WAIT},     {crNo, IDC_NO},
        {crAppStart, IDC_APPSTARTING}, {crHelp, IDC_HELP},      {crHandPoint, IDC_HAND},   {crSizeAll, IDC_SIZEALL},
        {crDefault, IDC_ARROW},
    };
    for (auto& d : defaults) cursors_.emplace_back(d.index, LoadCursorA(nullptr, d.id));
    hooks::CursorHandle = [this](TCursor c) { return Cursors(c); };
    hooks::ScreenCursor = [this] { return cursor_; };
}

HCURSOR TScreen::Cursors(TCursor index) {
    for (auto& [i, h] : cursors_)
        if (i == index) return h;
    for (auto& [i, h] : cursors_)
        if (i == crDefault) return h;
    return nullptr;
}

void TScreen::SetCursors(TCursor index, HCURSOR cursor) {
    for (auto& [i, h] : cursors_)
        if (i == index) {
            h = cursor;
            return;
        }
    cursors_.emplace_back(index, cursor);
}

void TScreen::SetCursor(TCursor c) {
    cursor_ = c;
    POINT p;
    GetCursorPos(&p);
    // Show it at once, not only at the next mouse move.
    ::SetCursor(Cursors(c == crDefault ? crArrow : c));
}

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }
int TScreen::DesktopWidth() const { return GetSystemMetrics(SM_CXVIRTUALSCREEN); }
int TScreen::DesktopHeight() const { return GetSystemMetrics(SM_CYVIRTUALSCREEN); }

TRect TScreen::WorkAreaRect() const {
    RECT r;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return FromRECT(r);
}

namespace {
BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoA(monitor, &mi)) reinterpret_cast<std::vector<TRect>*>(data)->push_back(FromRECT(mi.rcMonitor));
    return TRUE;
}
}  // namespace

std::vector<TRect> TScreen::MonitorRects() const {
    std::vector<TRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

bool TScreen::ShowsOnMonitor(const TRect& r) const { return ShowsOnMonitors(r, MonitorRects()); }

TRect TScreen::KeepOnMonitor(const TRect& r) const { return KeepOnMonitors(r, MonitorRects(), WorkAreaRect()); }

int TScreen::PixelsPerInch() const {
    WindowDC dc(nullptr);
    return GetDeviceCaps(dc.Get(), LOGPIXELSY);
}

namespace {
int CALLBACK EnumFontProc(const LOGFONTA* lf, const TEXTMETRICA*, DWORD, LPARAM data) {
    auto* list = reinterpret_cast<TStringList*>(data);
    if (lf->lfFaceName[0] != '@') list->Add(lf->lfFaceName);
    return 1;
}
}  // namespace

TStrings* TScreen::Fonts() {
    if (!fonts_) {
        fonts_ = std::make_unique<TStringList>();
        fonts_->SetSorted(true);
        fonts_->SetDuplicates(TDuplicates::dupIgnore);
        WindowDC dc(nullptr);
        LOGFONTA lf{};
        lf.lfCharSet = DEFAULT_CHARSET;
        EnumFontFamiliesExA(dc.Get(), &lf, EnumFontProc, reinterpret_cast<LPARAM>(fonts_.get()), 0);
    }
    return fonts_.get();
}

TCustomForm* TScreen::ActiveForm() const {
    HWND active = GetActiveWindow();
    for (TCustomForm* f : forms_)
        if (f->HandleAllocated() && f->Handle() == active) return f;
    return nullptr;
}

TWinControl* TScreen::ActiveControl() const { return TWinControl::FindControl(GetFocus()); }

}  // namespace treskel
