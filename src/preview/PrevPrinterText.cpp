// Laying rich text out page by page with the windowless rich-edit control,
// for systems whose control formats no range, and mending the metafile
// records its glyph text leaves behind.
#include <windows.h>

#include <richedit.h>
#include <textserv.h>

#include <cstring>
#include <map>
#include <vector>

#include "platform/Handles.h"
#include "platform/SysUtils.h"
#include "preview/PrevPrinter.h"
#include "richedit/RichEditBase.h"
#include "richedit/RichOLE.h"

namespace treskel::preview {

namespace {

const IID kIIDTextServices = {0x8d33f740, 0xcf58, 0x11ce, {0xa8, 0x9d, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};

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

using CreateTextServicesProc = HRESULT(WINAPI*)(IUnknown*, ITextHost*, IUnknown**);

}  // namespace

void DrawRtfPages(const std::string& rtf, HDC reference, int width, int height,
                  const std::function<HDC(int page, POINT& origin)>& beginPage) {
    ModuleHandle module(LoadLibraryA("riched20.dll"));
    auto create = module ? reinterpret_cast<CreateTextServicesProc>(
                               reinterpret_cast<void*>(GetProcAddress(module.Get(), "CreateTextServices")))
                         : nullptr;
    if (create == nullptr) throw EOutOfResources("The rich-edit control cannot lay text out");
    PageHost host(reference, width);
    IUnknown* unknown = nullptr;
    if (FAILED(create(nullptr, &host, &unknown)) || unknown == nullptr)
        throw EOutOfResources("The rich-edit control cannot lay text out");
    UniqueHandle<ComTraits<IUnknown>> unknownHolder(unknown);
    ITextServices* services = nullptr;
    if (FAILED(unknown->QueryInterface(kIIDTextServices, reinterpret_cast<void**>(&services))) || services == nullptr)
        throw EOutOfResources("The rich-edit control cannot lay text out");
    UniqueHandle<ComTraits<ITextServices>> servicesHolder(services);
    LRESULT result = 0;
    MemoryReader source{&rtf, 0};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&source), 0, MemoryReadCallback};
    bool isRtf = rtf.rfind("{\\rtf", 0) == 0;
    services->TxSendMessage(EM_STREAMIN, isRtf ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&es), &result);
    // The note's pictures print as the editor shows them.
    IRichEditOle* ole = nullptr;
    services->TxSendMessage(EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole), &result);
    ComPtr<IRichEditOle> oleHolder(ole);
    MakePicturesDrawable(ole);
    services->TxSendMessage(EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE, &result);

    // One draw at the page width lays the whole text out.  Every page is
    // drawn with the same bounds, moved into place by the origin: bounds
    // that differ from the last draw's make the control lay all the text
    // out again, once a page (a 2 MB note took hours).
    MemoryDC measure(reference);
    const RECTL area{0, 0, width, kTallest};
    RECT none{0, 0, 0, 0};
    services->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, measure.Get(), nullptr, &area, nullptr, &none, nullptr, 0,
                     TXTVIEW_INACTIVE);
    services->TxSendMessage(EM_REQUESTRESIZE, 0, 0, &result);

    LRESULT lines = 0;
    services->TxSendMessage(EM_GETLINECOUNT, 0, 0, &lines);
    std::vector<int> tops;
    for (int i = 0; i < lines; ++i) {
        LRESULT index = 0;
        services->TxSendMessage(EM_LINEINDEX, static_cast<WPARAM>(i), 0, &index);
        POINTL pt{0, 0};
        services->TxSendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), index, &result);
        if (!tops.empty() && pt.y < tops.back()) pt.y = tops.back();
        tops.push_back(pt.y);
    }
    int docHeight = std::max(host.height, tops.empty() ? 0 : tops.back());
    tops.push_back(docHeight);
    std::vector<int> starts = BreakPages(tops, height);
    for (size_t p = 0; p < starts.size(); ++p) {
        int top = tops.size() > 1 ? tops[static_cast<size_t>(starts[p])] : 0;
        int bottom = p + 1 < starts.size() ? tops[static_cast<size_t>(starts[p + 1])] : docHeight;
        POINT origin{0, 0};
        HDC dc = beginPage(static_cast<int>(p), origin);
        if (bottom <= top) continue;
        int saved = SaveDC(dc);
        SetViewportOrgEx(dc, origin.x, origin.y - top, nullptr);
        RECT clip{0, top, width, bottom};
        IntersectClipRect(dc, 0, top, width, bottom);
        services->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, dc, nullptr, &area, nullptr, &clip, nullptr, 0,
                         TXTVIEW_INACTIVE);
        RestoreDC(dc, saved);
    }
}

// ------------------------------------------------------------ mending

namespace {
uint32_t Get32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
void Put32(uint8_t* p, uint32_t v) {
    std::memcpy(p, &v, 4);
}
}  // namespace

HENHMETAFILE MendGlyphAdvances(HENHMETAFILE mf, HDC reference) {
    UINT size = GetEnhMetaFileBits(mf, 0, nullptr);
    if (size == 0) return nullptr;
    std::vector<uint8_t> bits(size);
    GetEnhMetaFileBits(mf, size, bits.data());
    MemoryDC measure(reference);
    std::map<uint32_t, LOGFONTW> fonts;
    uint32_t current = 0;
    bool changed = false;
    for (size_t at = 0; at + 8 <= bits.size();) {
        uint32_t type = Get32(&bits[at]), length = Get32(&bits[at + 4]);
        if (length < 8 || at + length > bits.size()) break;
        uint8_t* r = &bits[at];
        if (type == EMR_EXTCREATEFONTINDIRECTW && length >= 12 + sizeof(LOGFONTW)) {
            LOGFONTW lf;
            std::memcpy(&lf, r + 12, sizeof lf);
            fonts[Get32(r + 8)] = lf;
        } else if (type == EMR_SELECTOBJECT && length >= 12) {
            uint32_t h = Get32(r + 8);
            if (fonts.count(h)) current = h;
        } else if (type == EMR_EXTTEXTOUTW && length >= 76) {
            uint32_t chars = Get32(r + 44), offString = Get32(r + 48), options = Get32(r + 52),
                     offDx = Get32(r + 72);
            if ((options & ETO_PDY) && offDx != 0 && offDx < length && chars > 0) {
                uint32_t stored = (length - offDx) / 4;
                if (offString > offDx) stored = (offString - offDx) / 4;
                if (stored >= chars) {
                    // Keep the advances that survived; measure the rest.
                    uint32_t kept = std::min(stored / 2, chars);
                    std::vector<uint32_t> dx(chars);
                    for (uint32_t i = 0; i < kept; ++i) dx[i] = Get32(r + offDx + 8 * i);
                    if (kept < chars && fonts.count(current) && offString + 2 * chars <= length) {
                        GdiHandle<HFONT> font(CreateFontIndirectW(&fonts[current]));
                        HGDIOBJ old = SelectObject(measure.Get(), font.Get());
                        for (uint32_t i = kept; i < chars; ++i) {
                            WORD glyph;
                            std::memcpy(&glyph, r + offString + 2 * i, 2);
                            INT w = 0;
                            if (options & ETO_GLYPH_INDEX) {
                                GetCharWidthI(measure.Get(), glyph, 1, nullptr, &w);
                            } else {
                                GetCharWidth32W(measure.Get(), glyph, glyph, &w);
                            }
                            dx[i] = static_cast<uint32_t>(w);
                        }
                        SelectObject(measure.Get(), old);
                    }
                    for (uint32_t i = 0; i < chars; ++i) Put32(r + offDx + 4 * i, dx[i]);
                    Put32(r + 52, options & ~static_cast<uint32_t>(ETO_PDY));
                    changed = true;
                }
            }
        }
        at += length;
    }
    if (!changed) return nullptr;
    return SetEnhMetaFileBits(static_cast<UINT>(bits.size()), bits.data());
}

// ------------------------------------------------------------ printing

namespace {
struct PagePlay {
    bool outlineOtherFonts;
    std::vector<uint8_t> copy;
};

// Whether the font selected into the printer's context has outlines but no
// TrueType ones: a font the driver would have to download in another form.
bool HasOtherOutlines(HDC dc) {
    constexpr DWORD kGlyf = 0x66796c67;  // 'glyf', little-endian
    return GetFontData(dc, kGlyf, 0, nullptr, 0) == GDI_ERROR && GetOutlineTextMetricsW(dc, 0, nullptr) > 0;
}

// A text record drawn as the outlines of its glyphs, filled in the text
// colour; its opaque background, if any, first.
void PlayTextAsOutlines(HDC dc, HANDLETABLE* table, const ENHMETARECORD* record, int handles,
                        std::vector<uint8_t>& copy) {
    const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
    copy.assign(reinterpret_cast<const uint8_t*>(record), reinterpret_cast<const uint8_t*>(record) + record->nSize);
    auto* edited = reinterpret_cast<EMREXTTEXTOUTW*>(copy.data());
    if (text->emrtext.fOptions & ETO_OPAQUE) {
        edited->emrtext.nChars = 0;
        PlayEnhMetaFileRecord(dc, table, reinterpret_cast<const ENHMETARECORD*>(copy.data()), handles);
        edited->emrtext.nChars = text->emrtext.nChars;
    }
    edited->emrtext.fOptions &= ~static_cast<DWORD>(ETO_OPAQUE);
    int saved = SaveDC(dc);
    BeginPath(dc);
    PlayEnhMetaFileRecord(dc, table, reinterpret_cast<const ENHMETARECORD*>(copy.data()), handles);
    EndPath(dc);
    GdiHandle<HBRUSH> brush(CreateSolidBrush(GetTextColor(dc)));
    SelectObject(dc, brush.Get());
    SetPolyFillMode(dc, WINDING);
    FillPath(dc);
    RestoreDC(dc, saved);
}

int CALLBACK PlayPageRecord(HDC dc, HANDLETABLE* table, const ENHMETARECORD* record, int handles, LPARAM data) {
    auto* play = reinterpret_cast<PagePlay*>(data);
    bool text = record->iType == EMR_EXTTEXTOUTW || record->iType == EMR_EXTTEXTOUTA;
    if (play->outlineOtherFonts && text && record->nSize >= sizeof(EMREXTTEXTOUTW) && HasOtherOutlines(dc)) {
        PlayTextAsOutlines(dc, table, record, handles, play->copy);
        return 1;
    }
    PlayEnhMetaFileRecord(dc, table, record, handles);
    return 1;
}
}  // namespace

void PlayPrintedPage(HDC dc, HENHMETAFILE page, const RECT& r, bool outlineOtherFonts) {
    PagePlay play{outlineOtherFonts, {}};
    EnumEnhMetaFile(dc, page, PlayPageRecord, &play, &r);
}

}  // namespace treskel::preview
