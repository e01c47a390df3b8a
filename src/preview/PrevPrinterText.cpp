// Laying rich text out page by page with the windowless rich-edit control,
// for systems whose control formats no range, and mending the metafile
// records its glyph text leaves behind.
#include <windows.h>

#include <richedit.h>
#include <textserv.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Handles.h"
#include "platform/SysUtils.h"
#include "preview/PrevPrinter.h"
#include "preview/PrevPrinterHost.h"
#include "richedit/RichEditBase.h"
#include "richedit/RichOLE.h"

namespace treskel::preview {

namespace {

const IID kIIDTextServices = {0x8d33f740, 0xcf58, 0x11ce, {0xa8, 0x9d, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};

using CreateTextServicesProc = HRESULT(WINAPI*)(IUnknown*, ITextHost*, IUnknown**);

[[noreturn]] void CannotLayOut() {
    throw EOutOfResources("The rich-edit control cannot lay text out");
}

}  // namespace

// The library of the windowless control, loaded for one layout.
class TextServicesLibrary {
public:
    TextServicesLibrary() : module_(LoadLibraryA("riched20.dll")) {
        if (module_)
            create_ = reinterpret_cast<CreateTextServicesProc>(
                reinterpret_cast<void*>(GetProcAddress(module_.Get(), "CreateTextServices")));
        if (create_ == nullptr) CannotLayOut();
    }
    IUnknown* Create(ITextHost* host) const {
        IUnknown* unknown = nullptr;
        if (FAILED(create_(nullptr, host, &unknown)) || unknown == nullptr) CannotLayOut();
        return unknown;
    }

private:
    ModuleHandle module_;
    CreateTextServicesProc create_ = nullptr;
};

// One windowless control and its host, laying the text out at the page
// width from the start, active in place: an inactive control wraps at the
// width of its last draw, and before the first draw at no width at all, a
// character a line (a gigabyte of lines for each megabyte streamed in, and
// seconds).
class TextControl {
public:
    TextControl(const TextServicesLibrary& library, HDC reference, int width)
        : host_(reference, width), width_(width) {
        unknown_.Reset(library.Create(&host_));
        ITextServices* services = nullptr;
        if (FAILED(unknown_.Get()->QueryInterface(kIIDTextServices, reinterpret_cast<void**>(&services))) ||
            services == nullptr)
            CannotLayOut();
        services_.Reset(services);
        Send(EM_SETUNDOLIMIT, 0, 0);
        RECT client{0, 0, width, kTallest};
        services_.Get()->OnTxInPlaceActivate(&client);
    }
    LRESULT Send(UINT message, WPARAM w = 0, LPARAM l = 0) {
        LRESULT result = 0;
        services_.Get()->TxSendMessage(message, w, l, &result);
        return result;
    }
    void Load(const std::string& text, bool rtf) {
        MemoryReader source(text, rtf);
        EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&source), 0, MemoryReadCallback};
        Send(EM_STREAMIN, rtf ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&es));
    }
    // The note's pictures print as the editor shows them.
    void MakePicturesDrawable() {
        IRichEditOle* ole = nullptr;
        Send(EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole));
        ComPtr<IRichEditOle> oleHolder(ole);
        treskel::MakePicturesDrawable(ole);
    }
    int LineCount() { return static_cast<int>(Send(EM_GETLINECOUNT)); }
    int LineTop(int line) {
        LRESULT index = Send(EM_LINEINDEX, static_cast<WPARAM>(line));
        POINTL pt{0, 0};
        Send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), index);
        return static_cast<int>(pt.y);
    }
    // The laid-out text's natural height.
    int Height() {
        Send(EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE);
        Send(EM_REQUESTRESIZE);
        return host_.height;
    }
    // Draws the band top..bottom of the text with its top at `at`.  The
    // bounds are the same at every draw: others make the control lay all the
    // text out again.
    void Draw(HDC dc, POINT at, int top, int bottom) {
        const RECTL area{0, 0, width_, kTallest};
        int saved = SaveDC(dc);
        SetViewportOrgEx(dc, at.x, at.y - top, nullptr);
        RECT clip{0, top, width_, bottom};
        IntersectClipRect(dc, 0, top, width_, bottom);
        services_.Get()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, dc, nullptr, &area, nullptr, &clip, nullptr, 0,
                                TXTVIEW_INACTIVE);
        RestoreDC(dc, saved);
    }

private:
    PageHost host_;  // outlives the control
    int width_;
    UniqueHandle<ComTraits<IUnknown>> unknown_;
    UniqueHandle<ComTraits<ITextServices>> services_;
};

namespace {

// Memory the control takes to lay a part out, with its share of the pages
// recorded, as measured: about a hundred bytes a character, and, because
// the control measures each line of a paragraph to the paragraph's end, a
// share that grows with the square of its length (50,000 characters in one
// paragraph take 500 MB); and a few kilobytes a paragraph, however short
// (1.7 KB an empty one in the windowed control).
uint64_t LaidOutBytes(const TPartSize& part) {
    return (1u << 20) + 128 * part.chars + part.squares / 4 + 8 * part.pictures + 3072 * part.paragraphs;
}
// Parts kept laid out for the pages asked for next.
constexpr size_t kPartsAtHand = 2;

}  // namespace

TextPages::TextPages(std::string note, HDC reference, int width, int height, size_t partChars)
    : library_(std::make_unique<TextServicesLibrary>()),
      parts_(std::move(note), partChars),
      reference_(reference),
      width_(width) {
    std::vector<int> tops;
    int bottom = 0;
    for (size_t k = 0; k < parts_.Count(); ++k) {
        TextControl& part = Load(k);
        Placed placed{bottom, 0};
        const int lines = part.LineCount();
        for (int i = 0; i < lines; ++i) {
            int top = bottom + part.LineTop(i);
            if (!tops.empty() && top < tops.back()) top = tops.back();
            tops.push_back(top);
        }
        placed.height = part.Height();
        bottom += placed.height;
        placed_.push_back(placed);
        Keep(kPartsAtHand);
    }
    tops.push_back(std::max(bottom, tops.empty() ? 0 : tops.back()));
    const int lines = static_cast<int>(tops.size()) - 1;
    int first = 0;
    do {
        const int next = NextPageStart(tops, first, height);
        pages_.push_back(Page{lines > 0 ? tops[static_cast<size_t>(first)] : 0, tops[static_cast<size_t>(next)]});
        first = next;
    } while (first < lines);
}

TextPages::~TextPages() = default;

TextControl& TextPages::Load(size_t k) {
    auto& parts = atHand_;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (parts[i].first != k) continue;
        std::rotate(parts.begin() + static_cast<ptrdiff_t>(i), parts.begin() + static_cast<ptrdiff_t>(i) + 1,
                    parts.end());
        return *parts.back().second;
    }
    EnsureRoom(LaidOutBytes(parts_.Size(k)), kNoRoomForPages);
    auto control = std::make_unique<TextControl>(*library_, reference_, width_);
    control->Load(parts_.Part(k), parts_.IsRtf());
    control->MakePicturesDrawable();
    parts.emplace_back(k, std::move(control));
    return *parts.back().second;
}

void TextPages::Keep(size_t count) {
    auto& parts = atHand_;
    if (parts.size() > count) parts.erase(parts.begin(), parts.end() - static_cast<ptrdiff_t>(count));
}

void TextPages::Draw(int page, HDC dc, POINT origin) {
    const Page& p = pages_.at(static_cast<size_t>(page));
    if (p.bottom <= p.top) return;
    for (size_t k = 0; k < placed_.size(); ++k) {
        const Placed& part = placed_[k];
        // The first part reaches up and the last one down without end: a
        // note of one part draws the band as the whole text would.
        const int partTop = k == 0 ? INT_MIN : part.top;
        const int partBottom = k + 1 == placed_.size() ? INT_MAX : part.top + part.height;
        const int from = std::max(p.top, partTop), to = std::min(p.bottom, partBottom);
        if (to > from) Load(k).Draw(dc, POINT{origin.x, origin.y + (from - p.top)}, from - part.top, to - part.top);
    }
    Keep(kPartsAtHand);
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
