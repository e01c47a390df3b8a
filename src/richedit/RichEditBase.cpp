#include "richedit/RichEditBase.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

#include "richedit/Langs.h"
#include "richedit/RichEdit2Rules.h"

namespace treskel {

namespace {

// The 1.0 window class lives in RICHED32.DLL, loaded once for the run.
class RichEdit10Library {
public:
    RichEdit10Library() {
        UINT old = SetErrorMode(SEM_NOOPENFILEERRORBOX);
        module_.Reset(LoadLibraryA("RICHED32.DLL"));
        SetErrorMode(old);
    }

private:
    ModuleHandle module_;
};

// What the window's stream-out callback works on: where the bytes go, the
// filters they pass first, and what went wrong, carried out to be raised
// after the window returns.
struct TStreamOutCookie {
    const TCustomRichEdit::TStreamWriter* write = nullptr;
    // Letters the window writes in UTF-8 made plain RTF, then the
    // paragraph words it writes wrongly mended.
    std::optional<TUtf8RtfFilter> letters;
    std::optional<TParaWordFilter> paragraphs;
    std::string lettered, filtered;
    std::exception_ptr error;
    bool shortWrite = false;

    // Hands what the window wrote on through the filters (`last` once it
    // has written everything); false when it was not all taken.
    bool Take(std::string_view bytes, bool last) {
        if (letters) {
            lettered.clear();
            letters->Write(bytes, lettered);
            if (last) letters->Finish(lettered);
            bytes = lettered;
        }
        if (paragraphs) {
            filtered.clear();
            paragraphs->Write(bytes, filtered);
            if (last) paragraphs->Finish(filtered);
            bytes = filtered;
        }
        int64_t n = (*write)(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int64_t>(bytes.size()));
        // A short write (a full disk) would cut the content off silently.
        shortWrite = n != static_cast<int64_t>(bytes.size());
        return !shortWrite;
    }
};

DWORD CALLBACK StreamOutCallback(DWORD_PTR cookie, LPBYTE buffer, LONG cb, LONG* pcb) {
    auto* c = reinterpret_cast<TStreamOutCookie*>(cookie);
    *pcb = 0;
    try {
        if (!c->Take(std::string_view(reinterpret_cast<const char*>(buffer), static_cast<size_t>(cb)), false)) return 1;
        *pcb = cb;
        return 0;
    } catch (...) {
        c->error = std::current_exception();
        return 2;
    }
}

TCustomRichEdit::TStreamWriter AppendTo(std::string& out) {
    return [&out](const uint8_t* bytes, int64_t count) {
        out.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(count));
        return count;
    };
}

}  // namespace

MemoryReader::MemoryReader(const std::string& data, bool richText) : data_(data) {
    reader_ = std::make_unique<TStreamChunkReader>(
        [this](uint8_t* buffer, int64_t count) {
            const size_t n = std::min(static_cast<size_t>(count), data_.size() - pos_);
            std::memcpy(buffer, data_.data() + pos_, n);
            pos_ += n;
            return static_cast<int64_t>(n);
        },
        false, 64 * 1024, richText);
}

MemoryReader::~MemoryReader() = default;

int MemoryReader::Read(uint8_t* buffer, int capacity) { return reader_->Read(buffer, capacity); }

DWORD CALLBACK MemoryReadCallback(DWORD_PTR cookie, LPBYTE buffer, LONG cb, LONG* pcb) {
    *pcb = reinterpret_cast<MemoryReader*>(cookie)->Read(buffer, static_cast<int>(cb));
    return 0;
}

uint64_t ReservableAddressSpace(uint64_t most) {
    // Free regions show as free, and so does not what a system keeps in
    // reserve for a process and hands out as it asks (Wine keeps most of
    // the upper 2 GB so): what can be had is what can be reserved, in
    // pieces that a growing heap can use, given back at once.
    constexpr SIZE_T kPiece = 16u << 20;
    std::vector<void*> taken;
    uint64_t had = 0;
    while (had < most) {
        void* p = VirtualAlloc(nullptr, kPiece, MEM_RESERVE, PAGE_NOACCESS);
        if (p == nullptr) break;
        taken.push_back(p);
        had += kPiece;
    }
    for (void* p : taken) VirtualFree(p, 0, MEM_RELEASE);
    return had;
}

void EnsureRoom(uint64_t bytes, const char* message) {
    const uint64_t needed = bytes + kSpareAddressSpace;
    if (ReservableAddressSpace(needed) < needed) throw EOutOfMemory(message);
}

// ------------------------------------------------------------ character format

TTextAttributes::TTextAttributes(TCustomRichEdit* richEdit, TAttributeType type) : richEdit_(richEdit), type_(type) {}

CHARFORMATA TTextAttributes::Get() {
    CHARFORMATA f{};
    f.cbSize = sizeof f;
    if (richEdit_->HandleAllocated())
        SendMessageA(richEdit_->Handle(), EM_GETCHARFORMAT, type_ == TAttributeType::atSelected ? SCF_SELECTION : 0,
                     reinterpret_cast<LPARAM>(&f));
    return f;
}

void TTextAttributes::Set(CHARFORMATA& f) {
    f.cbSize = sizeof f;
    if (richEdit_->HandleAllocated())
        SendMessageA(richEdit_->Handle(), EM_SETCHARFORMAT, type_ == TAttributeType::atSelected ? SCF_SELECTION : 0,
                     reinterpret_cast<LPARAM>(&f));
}

TColor TTextAttributes::Color() {
    CHARFORMATA f = Get();
    return (f.dwEffects & CFE_AUTOCOLOR) ? clWindowText : static_cast<TColor>(f.crTextColor);
}

void TTextAttributes::SetColor(TColor value) {
    CHARFORMATA f{};
    f.dwMask = CFM_COLOR;
    if (value == clWindowText || value == clDefault)
        f.dwEffects = CFE_AUTOCOLOR;
    else
        f.crTextColor = ColorToRGB(value);
    Set(f);
}

std::string TTextAttributes::Name() { return Get().szFaceName; }

void TTextAttributes::SetName(const std::string& value) {
    CHARFORMATA f{};
    f.dwMask = CFM_FACE;
    std::strncpy(f.szFaceName, value.c_str(), LF_FACESIZE - 1);
    Set(f);
}

TFontPitch TTextAttributes::Pitch() {
    switch (Get().bPitchAndFamily & 3) {
        case FIXED_PITCH: return TFontPitch::fpFixed;
        case VARIABLE_PITCH: return TFontPitch::fpVariable;
        default: return TFontPitch::fpDefault;
    }
}

void TTextAttributes::SetPitch(TFontPitch value) {
    CHARFORMATA f = Get();
    f.bPitchAndFamily &= ~3;
    if (value == TFontPitch::fpFixed) f.bPitchAndFamily |= FIXED_PITCH;
    if (value == TFontPitch::fpVariable) f.bPitchAndFamily |= VARIABLE_PITCH;
    Set(f);
}

int TTextAttributes::Size() { return Get().yHeight / 20; }

void TTextAttributes::SetSize(int value) { SetSizeTwips(value * 20); }

int TTextAttributes::SizeTwips() { return Get().yHeight; }

void TTextAttributes::SetSizeTwips(int value) {
    CHARFORMATA f{};
    f.dwMask = CFM_SIZE;
    f.yHeight = value;
    Set(f);
}

TFontStyles TTextAttributes::Style() {
    CHARFORMATA f = Get();
    TFontStyles s;
    if (f.dwEffects & CFE_BOLD) s += TFontStyle::fsBold;
    if (f.dwEffects & CFE_ITALIC) s += TFontStyle::fsItalic;
    if (f.dwEffects & CFE_UNDERLINE) s += TFontStyle::fsUnderline;
    if (f.dwEffects & CFE_STRIKEOUT) s += TFontStyle::fsStrikeOut;
    return s;
}

void TTextAttributes::SetStyle(TFontStyles value) {
    CHARFORMATA f{};
    f.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    if (value.Contains(TFontStyle::fsBold)) f.dwEffects |= CFE_BOLD;
    if (value.Contains(TFontStyle::fsItalic)) f.dwEffects |= CFE_ITALIC;
    if (value.Contains(TFontStyle::fsUnderline)) f.dwEffects |= CFE_UNDERLINE;
    if (value.Contains(TFontStyle::fsStrikeOut)) f.dwEffects |= CFE_STRIKEOUT;
    Set(f);
}

int TTextAttributes::Charset() { return Get().bCharSet; }

void TTextAttributes::SetCharset(int value) {
    CHARFORMATA f{};
    f.dwMask = CFM_CHARSET;
    f.bCharSet = static_cast<BYTE>(value);
    Set(f);
}

bool TTextAttributes::Protected() { return (Get().dwEffects & CFE_PROTECTED) != 0; }

void TTextAttributes::SetProtected(bool value) {
    CHARFORMATA f{};
    f.dwMask = CFM_PROTECTED;
    if (value) f.dwEffects = CFE_PROTECTED;
    Set(f);
}

void TTextAttributes::Assign(TPersistent* source) {
    if (auto* font = dynamic_cast<TFont*>(source)) {
        SetColor(font->Color());
        SetName(font->Name());
        SetCharset(font->Charset());
        SetSizeTwips(font->Height() < 0 ? FontHeightToTwips(font->Height(), font->PixelsPerInch()) : font->Size() * 20);
        SetStyle(font->Style());
        SetPitch(font->Pitch());
        return;
    }
    if (auto* a = dynamic_cast<TTextAttributes*>(source)) {
        SetColor(a->Color());
        SetName(a->Name());
        SetCharset(a->Charset());
        SetSizeTwips(a->SizeTwips());
        SetStyle(a->Style());
        SetPitch(a->Pitch());
        return;
    }
    TPersistent::Assign(source);
}

void TTextAttributes::AssignTo(TPersistent* dest) {
    if (auto* font = dynamic_cast<TFont*>(dest)) {
        font->SetColor(Color());
        font->SetName(Name());
        font->SetCharset(Charset());
        font->SetHeight(TwipsToFontHeight(SizeTwips(), font->PixelsPerInch()));
        font->SetStyle(Style());
        font->SetPitch(Pitch());
        return;
    }
    if (auto* a = dynamic_cast<TTextAttributes*>(dest)) {
        a->Assign(this);
        return;
    }
    TPersistent::AssignTo(dest);
}

// ------------------------------------------------------------ paragraph format

TParaAttributes::TParaAttributes(TCustomRichEdit* richEdit) : richEdit_(richEdit) {}

PARAFORMAT TParaAttributes::GetParaFormat() {
    PARAFORMAT f{};
    f.cbSize = sizeof f;
    if (richEdit_->HandleAllocated())
        SendMessageA(richEdit_->Handle(), EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&f));
    return f;
}

void TParaAttributes::SetParaFormat(PARAFORMAT& f) {
    f.cbSize = sizeof f;
    if (!richEdit_->HandleAllocated()) return;
    // The window marks itself modified for a new character format but not
    // for a new paragraph format; a changed paragraph is a changed text.
    if (SendMessageA(richEdit_->Handle(), EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&f)))
        SendMessageA(richEdit_->Handle(), EM_SETMODIFY, TRUE, 0);
}

TAlignment TParaAttributes::Alignment() {
    return static_cast<TAlignment>(AlignmentFromParaAlignment(GetParaFormat().wAlignment));
}

void TParaAttributes::SetAlignment(TAlignment value) {
    PARAFORMAT f{};
    f.dwMask = PFM_ALIGNMENT;
    f.wAlignment = static_cast<WORD>(ParaAlignmentFromAlignment(static_cast<int>(value)));
    SetParaFormat(f);
}

int TParaAttributes::FirstIndent() { return GetParaFormat().dxStartIndent / 20; }

void TParaAttributes::SetFirstIndent(int value) {
    PARAFORMAT f{};
    f.dwMask = PFM_STARTINDENT;
    f.dxStartIndent = value * 20;
    SetParaFormat(f);
}

int TParaAttributes::LeftIndent() { return GetParaFormat().dxOffset / 20; }

void TParaAttributes::SetLeftIndent(int value) {
    PARAFORMAT f{};
    f.dwMask = PFM_OFFSET;
    f.dxOffset = value * 20;
    SetParaFormat(f);
}

int TParaAttributes::RightIndent() { return GetParaFormat().dxRightIndent / 20; }

void TParaAttributes::SetRightIndent(int value) {
    PARAFORMAT f{};
    f.dwMask = PFM_RIGHTINDENT;
    f.dxRightIndent = value * 20;
    SetParaFormat(f);
}

TNumberingStyle TParaAttributes::Numbering() {
    return GetParaFormat().wNumbering == PFN_BULLET ? TNumberingStyle::nsBullet : TNumberingStyle::nsNone;
}

void TParaAttributes::SetNumbering(TNumberingStyle value) {
    PARAFORMAT f{};
    f.dwMask = PFM_NUMBERING;
    f.wNumbering = value == TNumberingStyle::nsBullet ? PFN_BULLET : 0;
    SetParaFormat(f);
}

int TParaAttributes::Tab(int index) {
    if (index < 0 || index >= MAX_TAB_STOPS) return 0;
    return GetParaFormat().rgxTabs[index] / 20;
}

void TParaAttributes::SetTab(int index, int value) {
    if (index < 0 || index >= MAX_TAB_STOPS) return;
    PARAFORMAT f = GetParaFormat();
    f.dwMask = PFM_TABSTOPS;
    if (f.cTabCount <= index) f.cTabCount = static_cast<SHORT>(index + 1);
    f.rgxTabs[index] = value * 20;
    SetParaFormat(f);
}

int TParaAttributes::TabCount() { return GetParaFormat().cTabCount; }

void TParaAttributes::SetTabCount(int value) {
    PARAFORMAT f = GetParaFormat();
    f.dwMask = PFM_TABSTOPS;
    f.cTabCount = static_cast<SHORT>(std::clamp(value, 0, MAX_TAB_STOPS));
    SetParaFormat(f);
}

void TParaAttributes::Assign(TPersistent* source) {
    if (auto* p = dynamic_cast<TParaAttributes*>(source)) {
        SetAlignment(p->Alignment());
        SetFirstIndent(p->FirstIndent());
        SetLeftIndent(p->LeftIndent());
        SetRightIndent(p->RightIndent());
        SetNumbering(p->Numbering());
        int tabs = p->TabCount();
        SetTabCount(tabs);
        for (int i = 0; i < tabs; ++i) SetTab(i, p->Tab(i));
        return;
    }
    TPersistent::Assign(source);
}

// ------------------------------------------------------------ the control

TCustomRichEdit::TCustomRichEdit(TComponent* owner)
    : TWinControl(owner),
      selAttributes_(std::make_unique<TTextAttributes>(this, TAttributeType::atSelected)),
      defAttributes_(std::make_unique<TTextAttributes>(this, TAttributeType::atDefaultText)),
      paragraph_(std::make_unique<TParaAttributes>(this)) {
    // The content lives in the window and is kept as RTF, not as a caption.
    SetControlStyle(ControlStyle() - TControlStyleItem::csSetCaption);
    SetTabStop(true);
    SetBounds(0, 0, 185, 89);
}

TCustomRichEdit::~TCustomRichEdit() = default;

bool TCustomRichEdit::WideWindow() const {
    return HandleAllocated() && IsWindowUnicode(const_cast<TCustomRichEdit*>(this)->Handle());
}

LRESULT TCustomRichEdit::SendToWindow(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND h = Handle();
    return IsWindowUnicode(h) ? SendMessageW(h, msg, wParam, lParam) : SendMessageA(h, msg, wParam, lParam);
}

void TCustomRichEdit::CreateParams(TCreateParams& p) {
    static RichEdit10Library library;
    p.Unicode = false;
    TWinControl::CreateParams(p);
    CreateSubClass(p, "RICHEDIT");
    p.WinClassName = std::string(ClassName()) + ".RE10";
    AddEditStyles(p);
}

void TCustomRichEdit::AddEditStyles(TCreateParams& p) {
    p.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
    if (!wordWrap_) p.Style |= ES_AUTOHSCROLL;
    switch (scrollBars_) {
        case TScrollStyle::ssHorizontal: p.Style |= WS_HSCROLL; break;
        case TScrollStyle::ssVertical: p.Style |= WS_VSCROLL; break;
        case TScrollStyle::ssBoth: p.Style |= WS_HSCROLL | WS_VSCROLL; break;
        default: break;
    }
    if (wordWrap_) p.Style &= ~WS_HSCROLL;  // nothing to scroll to
    if (alignment_ == TAlignment::taRightJustify) p.Style |= ES_RIGHT;
    if (alignment_ == TAlignment::taCenter) p.Style |= ES_CENTER;
    // The window never hides its selection by focus itself: one system's
    // window goes by the style it was made with and no message changes that
    // later, so the control hides and shows it (ShowSelectionByFocus).
    p.Style |= ES_NOHIDESEL;
    if (readOnly_) p.Style |= ES_READONLY;
    if (!hideScrollBars_ || scrollBarsKept_) p.Style |= ES_DISABLENOSCROLL;
    if (borderStyle_ == TBorderStyle::bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomRichEdit::CreateWnd() {
    TWinControl::CreateWnd();
    SetupWindow();
    // The new window was made for the content it takes.
    restoringContent_ = true;
    try {
        RestoreContent();
    } catch (...) {
        restoringContent_ = false;
        throw;
    }
    restoringContent_ = false;
}

void TCustomRichEdit::SetupWindow() {
    SendToWindow(EM_EXLIMITTEXT, 0, maxLength_);
    SendToWindow(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE | ENM_REQUESTRESIZE | ENM_PROTECTED);
    SendToWindow(EM_SETTARGETDEVICE, 0, wordWrap_ ? 0 : 1);
    SendToWindow(EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
    SendToWindow(EM_SETMODIFY, modified_ ? 1 : 0, 0);
    ShowSelectionByFocus();
}

void TCustomRichEdit::RestoreContent() {
    if (savedContent_) {
        TSavedContent c = std::move(*savedContent_);
        savedContent_.reset();
        StreamInRtf(c.rtf);
        SendToWindow(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&c.selection));
    } else if (isControlTextSet_ && !text_.empty()) {
        SetText(text_);
    }
}

void TCustomRichEdit::DestroyWnd() {
    if (HandleAllocated() && !IsDestroying() && !discardingContent_) {
        TSavedContent c;
        c.rtf = StreamOutRtf();
        SendToWindow(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&c.selection));
        modified_ = SendToWindow(EM_GETMODIFY) != 0;
        KeepScrollBarsFor(static_cast<int64_t>(c.rtf.size()));
        savedContent_ = std::move(c);
    }
    TWinControl::DestroyWnd();
}

namespace {

// A window of the system's control of its own that only takes messages,
// for asking how it writes what it holds.
class TProbeWindow {
public:
    TProbeWindow()
        : wnd_(CreateWindowExW(0, L"RICHEDIT20W", L"", ES_MULTILINE, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr)) {}
    explicit operator bool() const { return static_cast<bool>(wnd_); }
    HWND Get() const { return wnd_.Get(); }

    void StreamIn(const std::string& rtf) const {
        MemoryReader reader(rtf);
        EDITSTREAM in{reinterpret_cast<DWORD_PTR>(&reader), 0, MemoryReadCallback};
        SendMessageW(wnd_.Get(), EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&in));
    }
    // The RTF the window writes itself.
    std::string StreamOut() const {
        std::string rtf;
        TCustomRichEdit::TStreamWriter write = AppendTo(rtf);
        TStreamOutCookie cookie;
        cookie.write = &write;
        EDITSTREAM out{reinterpret_cast<DWORD_PTR>(&cookie), 0, StreamOutCallback};
        SendMessageW(wnd_.Get(), EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&out));
        return rtf;
    }

private:
    WindowHandle wnd_;
};

}  // namespace

// Asked once: a round trip of three such letters.
bool RichEditWritesLookAlikes() {
    static const bool lookAlikes = [] {
        TProbeWindow wnd;
        if (!wnd) return false;
        const std::wstring letters = L"\x0100\x010D\x03B1";
        SendMessageW(wnd.Get(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(letters.c_str()));
        const std::string rtf = wnd.StreamOut();
        SendMessageW(wnd.Get(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        wnd.StreamIn(rtf);
        return WindowTextW(wnd.Get()) != letters;
    }();
    return lookAlikes;
}

void TCustomRichEdit::StreamOut(UINT format, const TStreamWriter& write) {
    TStreamOutCookie cookie;
    cookie.write = &write;
    if ((format & SF_RTF) != 0) {
        // Where the window would write a letter as a look-alike, it writes
        // its text in UTF-8, which the filter turns into plain RTF that
        // keeps every letter.
        if (WideWindow() && RichEditWritesLookAlikes()) {
            format |= SF_USECODEPAGE | (CP_UTF8 << 16);
            cookie.letters.emplace(GetACP(), ExactBytesInCodePage);
        }
        // Where it writes paragraph words that its reader takes otherwise,
        // they are mended.  Elsewhere the window's own RTF is kept as it is.
        if (TParaWordFaults faults = RichEditParaWordFaults(); faults.Any()) cookie.paragraphs.emplace(faults);
    }
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&cookie), 0, StreamOutCallback};
    SendToWindow(EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&es));
    if (cookie.error) std::rethrow_exception(cookie.error);
    if (es.dwError == 0 && (cookie.letters || cookie.paragraphs)) cookie.Take({}, true);
    if (es.dwError != 0 || cookie.shortWrite) throw EOutOfResources("Failed to Save Stream");
}

std::string TCustomRichEdit::StreamOutRtf(UINT flags) {
    std::string out;
    StreamOut(SF_RTF | flags, AppendTo(out));
    return out;
}

void TCustomRichEdit::StreamInRtf(const std::string& rtf) {
    MemoryReader reader(rtf);
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&reader), 0, MemoryReadCallback};
    SendToWindow(EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
    if (es.dwError != 0) throw EReadError("Failed to Load Stream");
}

namespace {

// The paragraph formats that tell the faults apart: indents, and line
// spacing.
struct TProbeParagraph {
    LONG First, Offset, Spacing;
    BYTE Rule;
};

std::vector<TProbeParagraph> ProbeParagraphs(HWND wnd, int count) {
    std::vector<TProbeParagraph> held;
    for (int i = 0; i < count; ++i) {
        const auto at = static_cast<LONG>(SendMessageW(wnd, EM_LINEINDEX, static_cast<WPARAM>(i), 0));
        CHARRANGE r{at, at};
        SendMessageW(wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
        PARAFORMAT2 f{};
        f.cbSize = sizeof f;
        SendMessageW(wnd, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&f));
        held.push_back({f.dxStartIndent, f.dxOffset, f.dyLineSpacing, f.bLineSpacingRule});
    }
    return held;
}

}  // namespace

// Asked once: a paragraph with a hanging indent and three with line
// spacing the window reads right, written out and read back as they are
// and with each kind of words mended.  A fault is mended only where the
// window's own round trip shows it and the mend undoes it.
TParaWordFaults RichEditParaWordFaults() {
    static const TParaWordFaults faults = [] {
        TParaWordFaults found;
        TProbeWindow wnd;
        if (!wnd) return found;
        auto read = [&wnd](const std::string& rtf) {
            wnd.StreamIn(rtf);
            return ProbeParagraphs(wnd.Get(), 4);
        };
        const auto held = read(
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\li600\\fi-200 a\\par\\pard\\slmult2 b\\par"
            "\\pard\\sl300 c\\par\\pard\\sl-300 d\\par}");
        const std::string written = wnd.StreamOut();
        auto sameIndents = [&](const std::vector<TProbeParagraph>& p) {
            return p[0].First == held[0].First && p[0].Offset == held[0].Offset;
        };
        auto sameSpacing = [&](const std::vector<TProbeParagraph>& p) {
            for (int i = 1; i < 4; ++i)
                if (p[i].Spacing != held[i].Spacing || p[i].Rule != held[i].Rule) return false;
            return true;
        };
        const auto plain = read(written);
        found.SwappedIndents = !sameIndents(plain) && sameIndents(read(MendParaWords(written, {true, false})));
        found.LineSpacing = !sameSpacing(plain) && sameSpacing(read(MendParaWords(written, {false, true})));
        return found;
    }();
    return faults;
}

void TCustomRichEdit::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    RecreateWnd();
}

void TCustomRichEdit::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    RecreateWnd();
}

void TCustomRichEdit::SetHideSelection(bool value) {
    if (value == hideSelection_) return;
    hideSelection_ = value;
    ShowSelectionByFocus();
}

void TCustomRichEdit::ShowSelectionByFocus() {
    if (HandleAllocated()) SendToWindow(EM_HIDESELECTION, hideSelection_ && GetFocus() != Handle() ? 1 : 0, 0);
}

void TCustomRichEdit::SetHideScrollBars(bool value) {
    if (value == hideScrollBars_) return;
    hideScrollBars_ = value;
    RecreateWnd();
}

void TCustomRichEdit::SetMaxLength(int value) {
    maxLength_ = value;
    if (HandleAllocated()) SendToWindow(EM_EXLIMITTEXT, 0, value);
}

void TCustomRichEdit::SetReadOnly(bool value) {
    readOnly_ = value;
    if (HandleAllocated()) SendToWindow(EM_SETREADONLY, value ? 1 : 0, 0);
}

void TCustomRichEdit::SetScrollBars(TScrollStyle value) {
    if (value == scrollBars_) return;
    scrollBars_ = value;
    RecreateWnd();
}

void TCustomRichEdit::SetWordWrap(bool value) {
    if (value == wordWrap_) return;
    wordWrap_ = value;
    RecreateWnd();
}

bool TCustomRichEdit::Modified() { return HandleAllocated() ? SendToWindow(EM_GETMODIFY) != 0 : modified_; }

void TCustomRichEdit::SetModified(bool value) {
    modified_ = value;
    if (HandleAllocated()) SendToWindow(EM_SETMODIFY, value ? 1 : 0, 0);
}

int TCustomRichEdit::SelStart() {
    CHARRANGE r{0, 0};
    SendToWindow(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    return r.cpMin;
}

void TCustomRichEdit::SetSelStart(int value) {
    CHARRANGE r{value, value};
    SendToWindow(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

int TCustomRichEdit::SelLength() {
    CHARRANGE r{0, 0};
    SendToWindow(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    return r.cpMax - r.cpMin;
}

void TCustomRichEdit::SetSelLength(int value) {
    CHARRANGE r{0, 0};
    SendToWindow(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    r.cpMax = r.cpMin + value;
    SendToWindow(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

std::string TCustomRichEdit::SelText() {
    CHARRANGE r{0, 0};
    SendToWindow(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    int len = std::max(static_cast<int>(r.cpMax - r.cpMin), 0);
    if (WideWindow()) {
        std::wstring buf(static_cast<size_t>(len) + 1, L'\0');
        LRESULT n = SendMessageW(Handle(), EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buf.data()));
        buf.resize(static_cast<size_t>(std::clamp<LRESULT>(n, 0, len)));
        return WideToAnsi(buf, TextCodePage());
    }
    std::string buf(static_cast<size_t>(len) * 2 + 1, '\0');
    LRESULT n = SendMessageA(Handle(), EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buf.data()));
    buf.resize(static_cast<size_t>(std::clamp<LRESULT>(n, 0, static_cast<LRESULT>(buf.size()) - 1)));
    return buf;
}

void TCustomRichEdit::SetSelText(const std::string& value) {
    if (WideWindow()) {
        std::wstring w = AnsiToWide(value, TextCodePage());
        SendMessageW(Handle(), EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(w.c_str()));
    } else {
        SendMessageA(Handle(), EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(value.c_str()));
    }
}

void TCustomRichEdit::SelectAll() {
    CHARRANGE r{0, -1};
    SendToWindow(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

void TCustomRichEdit::ClearSelection() { SendToWindow(WM_CLEAR); }
void TCustomRichEdit::CopyToClipboard() { SendToWindow(WM_COPY); }
void TCustomRichEdit::CutToClipboard() { SendToWindow(WM_CUT); }
void TCustomRichEdit::PasteFromClipboard() { SendToWindow(WM_PASTE); }
void TCustomRichEdit::Undo() { SendToWindow(EM_UNDO); }
bool TCustomRichEdit::CanUndo() { return HandleAllocated() && SendToWindow(EM_CANUNDO) != 0; }

void TCustomRichEdit::DiscardContent() {
    savedContent_.reset();
    isControlTextSet_ = false;
    text_.clear();
    modified_ = false;
}

void TCustomRichEdit::KeepScrollBarsFor(int64_t length) {
    scrollBarsKept_ = scrollBars_ != TScrollStyle::ssNone && (!hideScrollBars_ || length > KeepScrollBarsAbove);
}

bool TCustomRichEdit::DropLongText(int64_t coming) {
    if (!HandleAllocated()) {
        KeepScrollBarsFor(coming);
        return false;
    }
    if (restoringContent_) return false;
    const bool kept = scrollBarsKept_;
    KeepScrollBarsFor(coming);
    if (GetTextLen() <= RecreateAboveLength && scrollBarsKept_ == kept) return false;
    // The focus leaves for nowhere and comes back: moving it to another
    // control of ours would make the form leave and enter this one.
    bool hadFocus = Focused();
    if (hadFocus) ::SetFocus(nullptr);
    discardingContent_ = true;
    try {
        DiscardContent();
        RecreateWnd();
    } catch (...) {
        discardingContent_ = false;
        throw;
    }
    discardingContent_ = false;
    if (hadFocus && CanFocus()) SetFocus();
    return true;
}

void TCustomRichEdit::Clear() {
    if (!HandleAllocated()) {
        savedContent_.reset();
        KeepScrollBarsFor(0);
        TControl::SetText("");
        return;
    }
    if (DropLongText()) return;
    if (WideWindow())
        SendMessageW(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    else
        SendMessageA(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
}

int TCustomRichEdit::GetTextLen() {
    if (!HandleAllocated()) return static_cast<int>(text_.size());
    return static_cast<int>(SendToWindow(WM_GETTEXTLENGTH));
}

std::string TCustomRichEdit::GetText() {
    if (!HandleAllocated()) return TWinControl::GetText();
    if (WideWindow()) {
        int n = static_cast<int>(SendMessageW(Handle(), WM_GETTEXTLENGTH, 0, 0));
        std::wstring w(static_cast<size_t>(std::max(n, 0)) + 1, L'\0');
        n = static_cast<int>(SendMessageW(Handle(), WM_GETTEXT, w.size(), reinterpret_cast<LPARAM>(w.data())));
        w.resize(static_cast<size_t>(std::clamp(n, 0, static_cast<int>(w.size()) - 1)));
        return WideToAnsi(w, TextCodePage());
    }
    return TWinControl::GetText();
}

void TCustomRichEdit::SetText(const std::string& s) {
    if (!HandleAllocated()) {
        savedContent_.reset();
        KeepScrollBarsFor(static_cast<int64_t>(s.size()));
        TWinControl::SetText(s);
        return;
    }
    DropLongText(static_cast<int64_t>(s.size()));
    if (WideWindow()) {
        std::wstring w = AnsiToWide(s, TextCodePage());
        SendMessageW(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()));
    } else {
        SendMessageA(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.c_str()));
    }
    Perform(CM_TEXTCHANGED);
}

void TCustomRichEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomRichEdit::SelectionChange() {
    if (OnSelectionChange) OnSelectionChange(this);
}

void TCustomRichEdit::RequestSize(const TRect& rect) {
    if (OnResizeRequest) OnResizeRequest(this, rect);
}

bool TCustomRichEdit::ProtectChange(int startPos, int endPos) {
    bool allow = false;
    if (OnProtectChange) OnProtectChange(this, startPos, endPos, allow);
    return allow;
}

bool TCustomRichEdit::SaveClipboard(int numObjects, int numChars) {
    bool save = true;
    if (OnSaveClipboard) OnSaveClipboard(this, numObjects, numChars, save);
    return save;
}

void TCustomRichEdit::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CN_COMMAND:
            if (HIWORD(m.WParam) == EN_CHANGE) {
                Change();
                return;
            }
            break;
        case CN_NOTIFY: {
            auto* nm = reinterpret_cast<NMHDR*>(m.LParam);
            switch (nm->code) {
                case EN_SELCHANGE:
                    SelectionChange();
                    return;
                case EN_REQUESTRESIZE:
                    RequestSize(FromRECT(reinterpret_cast<REQRESIZE*>(m.LParam)->rc));
                    return;
                case EN_PROTECTED: {
                    auto* p = reinterpret_cast<ENPROTECTED*>(m.LParam);
                    m.Result = ProtectChange(p->chrg.cpMin, p->chrg.cpMax) ? 0 : 1;
                    return;
                }
                case EN_SAVECLIPBOARD: {
                    auto* s = reinterpret_cast<ENSAVECLIPBOARD*>(m.LParam);
                    m.Result = SaveClipboard(s->cObjectCount, s->cch) ? 0 : 1;
                    return;
                }
                default:
                    break;
            }
            break;
        }
        case WM_GETDLGCODE:
            TWinControl::WndProc(m);
            if (wantTabs_)
                m.Result |= DLGC_WANTTAB;
            else
                m.Result &= ~DLGC_WANTTAB;
            if (!wantReturns_) m.Result &= ~DLGC_WANTALLKEYS;
            return;
        case CM_COLORCHANGED:
            if (HandleAllocated()) SendToWindow(EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
            break;
        case CM_FONTCHANGED:
            if (HandleAllocated()) defAttributes_->Assign(Font());
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            TWinControl::WndProc(m);
            ShowSelectionByFocus();
            return;
        default:
            break;
    }
    TWinControl::WndProc(m);
}

}  // namespace treskel
