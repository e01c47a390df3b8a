// The host of a windowless rich-edit control that lays text out at a
// width: printing's and the preview's (PrevPrinterText), and the bare
// control measured beside them (bench/wine/treskel_richprobe).
#pragma once

#include <windows.h>

#include <richedit.h>
#include <textserv.h>

#include <cwchar>

namespace treskel::preview {

// The height of the text's area: more than any note is tall.
constexpr LONG kTallest = 0x3fffffff;

// The host of one windowless control: no window, no caret, no scrolling;
// it measures on the reference device and reports the natural height.
class PageHost : public ITextHost {
public:
    PageHost(HDC reference, int width) : reference_(reference), width_(width) {
        cf_.cbSize = sizeof cf_;
        cf_.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE |
                     CFM_STRIKEOUT | CFM_PROTECTED | CFM_OFFSET;
        cf_.dwEffects = CFE_AUTOCOLOR;
        cf_.yHeight = 200;  // twips: 10 pt
        cf_.bCharSet = DEFAULT_CHARSET;
        wcscpy(cf_.szFaceName, L"Arial");
        pf_.cbSize = sizeof pf_;
        pf_.dwMask = PFM_ALL;
        pf_.wAlignment = PFA_LEFT;
        pf_.cTabCount = 1;
        pf_.rgxTabs[0] = 720;
    }
    int height = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HDC TxGetDC() override { return reference_; }
    INT TxReleaseDC(HDC) override { return 1; }
    WINBOOL TxShowScrollBar(INT, WINBOOL) override { return FALSE; }
    WINBOOL TxEnableScrollBar(INT, INT) override { return FALSE; }
    WINBOOL TxSetScrollRange(INT, LONG, INT, WINBOOL) override { return FALSE; }
    WINBOOL TxSetScrollPos(INT, INT, WINBOOL) override { return FALSE; }
    void TxInvalidateRect(LPCRECT, WINBOOL) override {}
    void TxViewChange(WINBOOL) override {}
    WINBOOL TxCreateCaret(HBITMAP, INT, INT) override { return FALSE; }
    WINBOOL TxShowCaret(WINBOOL) override { return FALSE; }
    WINBOOL TxSetCaretPos(INT, INT) override { return FALSE; }
    WINBOOL TxSetTimer(UINT, UINT) override { return FALSE; }
    void TxKillTimer(UINT) override {}
    void TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) override {}
    void TxSetCapture(WINBOOL) override {}
    void TxSetFocus() override {}
    void TxSetCursor(HCURSOR, WINBOOL) override {}
    WINBOOL TxScreenToClient(LPPOINT) override { return FALSE; }
    WINBOOL TxClientToScreen(LPPOINT) override { return FALSE; }
    HRESULT TxActivate(LONG* old) override {
        if (old) *old = 0;
        return S_OK;
    }
    HRESULT TxDeactivate(LONG) override { return S_OK; }
    HRESULT TxGetClientRect(LPRECT prc) override {
        *prc = RECT{0, 0, width_, kTallest};
        return S_OK;
    }
    HRESULT TxGetViewInset(LPRECT prc) override {
        *prc = RECT{0, 0, 0, 0};
        return S_OK;
    }
    HRESULT TxGetCharFormat(const CHARFORMATW** ppCF) override {
        *ppCF = reinterpret_cast<const CHARFORMATW*>(&cf_);
        return S_OK;
    }
    HRESULT TxGetParaFormat(const PARAFORMAT** ppPF) override {
        *ppPF = reinterpret_cast<const PARAFORMAT*>(&pf_);
        return S_OK;
    }
    COLORREF TxGetSysColor(int index) override { return index == COLOR_WINDOW ? RGB(255, 255, 255) : GetSysColor(index); }
    HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override {
        *style = TXTBACK_TRANSPARENT;
        return S_OK;
    }
    HRESULT TxGetMaxLength(DWORD* length) override {
        *length = 0x7fffffff;
        return S_OK;
    }
    HRESULT TxGetScrollBars(DWORD* bars) override {
        *bars = 0;
        return S_OK;
    }
    HRESULT TxGetPasswordChar(TCHAR* ch) override {
        *ch = 0;
        return S_FALSE;
    }
    HRESULT TxGetAcceleratorPos(LONG* cp) override {
        *cp = -1;
        return S_OK;
    }
    HRESULT TxGetExtent(LPSIZEL) override { return E_NOTIMPL; }
    HRESULT OnTxCharFormatChange(const CHARFORMATW*) override { return S_OK; }
    HRESULT OnTxParaFormatChange(const PARAFORMAT*) override { return S_OK; }
    HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override {
        *bits = (TXTBIT_RICHTEXT | TXTBIT_MULTILINE | TXTBIT_WORDWRAP) & mask;
        return S_OK;
    }
    HRESULT TxNotify(DWORD code, void* pv) override {
        if (code == EN_REQUESTRESIZE && pv != nullptr) {
            auto* r = static_cast<REQRESIZE*>(pv);
            height = r->rc.bottom - r->rc.top;
        }
        return S_OK;
    }
    HIMC TxImmGetContext() override { return nullptr; }
    void TxImmReleaseContext(HIMC) override {}
    HRESULT TxGetSelectionBarWidth(LONG* width) override {
        *width = 0;
        return S_OK;
    }

private:
    HDC reference_;
    int width_;
    CHARFORMAT2W cf_{};
    PARAFORMAT2 pf_{};
};

}  // namespace treskel::preview
