#include "richedit/RichEdit2.h"

#include <algorithm>

#include "platform/Graphics.h"
#include "platform/Streams.h"
#include "richedit/Langs.h"
#include "richedit/RichOLE.h"

namespace treskel {

namespace {

bool IsNtPlatform() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return true;
#pragma GCC diagnostic pop
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

TRichEditLibraryLoader& Loader() {
    static TRichEditLibraryLoader loader;
    return loader;
}

bool& WideWindowsFlag() {
    static bool wide = IsNtPlatform();
    return wide;
}

HMODULE LoadRichEdit20() {
    UINT old = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    HMODULE h = Loader() ? Loader()("RICHED20.DLL") : LoadLibraryA("RICHED20.DLL");
    SetErrorMode(old);
    if (reinterpret_cast<UINT_PTR>(h) < 32) h = nullptr;
    if (h != nullptr) {
        // Data objects the window puts on the clipboard live in the library:
        // it must not unload while the program runs, whatever windows go.
        HMODULE pinned = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, "RICHED20.DLL", &pinned);
    }
    return h;
}

const char* const kDefaultSchemes = "http\nfile\nmailto\nftp\nhttps\ngopher\nnntp\nprospero\ntelnet\nnews\nwais";

}  // namespace

void SetRichEditLibraryLoader(TRichEditLibraryLoader loader) { Loader() = std::move(loader); }

bool RichEditWideWindows() { return WideWindowsFlag(); }

const TRichEditClipboardFormats& RichEditClipboardFormats() {
    static const TRichEditClipboardFormats formats = [] {
        TRichEditClipboardFormats f;
        f.Rtf = RegisterClipboardFormatA("Rich Text Format");
        f.RtfNoObjs = RegisterClipboardFormatA("Rich Text Format Without Objects");
        f.TextAndObjects = RegisterClipboardFormatA("RichEdit Text and Objects");
        return f;
    }();
    return formats;
}


TCustomRichEditEx::TCustomRichEditEx(TComponent* owner) : TCustomRichEdit(owner) {
    urlUpdateCount_ = 0;
    showSelectionBar_ = false;
    langOptions_ = TLangOptions{TLangOption::loAutoFont};
    selAttributes_ = std::make_unique<TTextAttributesEx>(this, TAttributeType::atSelected);
    defAttributes_ = std::make_unique<TTextAttributesEx>(this, TAttributeType::atDefaultText);
    paragraph_ = std::make_unique<TParaAttributesEx>(this);
    lines_ = std::make_unique<TRichEditStringsEx>(this);
    wideLines_ = std::make_unique<TWideRichEditStringsEx>(this);
    {
        WindowDC screen(nullptr);
        screenLogPixels_ = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    }
    wideText_ = false;
    wordFormatting_ = true;
    SetLanguage(static_cast<TLanguage>(GetSystemDefaultLCID()));
    customURLs_ = std::make_unique<TStringList>();
    customURLs_->SetText(kDefaultSchemes);
    pendingUrlRange_ = CHARRANGE{0, 0};
    autoVerbMenu_ = true;
    inputFormat_ = TInputFormat::ifRTF;
    outputFormat_ = TOutputFormat::ofRTF;
    plainRTF_ = false;
    selectedInOut_ = false;
    includeOLE_ = false;
    ole_ = std::make_unique<TRichOleState>();
    RichEditClipboardFormats();
}

void TCustomRichEditEx::BeforeDestruction() {
    TCustomRichEdit::BeforeDestruction();
    // The window goes while this object is whole: its teardown closes the
    // objects and frees the library.
    DestroyHandle();
}

TCustomRichEditEx::~TCustomRichEditEx() {
    Destroying();
    DestroyHandle();
    ReleaseOle();
    ole_.reset();
}

// ------------------------------------------------------------ window

void TCustomRichEditEx::CreateParams(TCreateParams& p) {
    // A creation that failed before the window's teardown could free it.
    richEditLibrary_.Reset();
    HMODULE lib = LoadRichEdit20();
    richEdit10_ = false;
    if (lib == nullptr) {
        richEdit10_ = true;
        WideWindowsFlag() = false;
        TCustomRichEdit::CreateParams(p);
        return;
    }
    richEditLibrary_.Reset(lib);
    p.Unicode = WideWindowsFlag();
    TWinControl::CreateParams(p);
    // A single-byte window needs the class whose procedure is single-byte:
    // the wide class's procedure called through a single-byte window still
    // hands out wide text for the rich-edit messages.
    CreateSubClass(p, p.Unicode ? "RICHEDIT20W" : "RICHEDIT20A");
    // One registration per name: wide and single-byte windows need their own.
    p.WinClassName = std::string(ClassName()) + (p.Unicode ? "" : ".A");
    AddEditStyles(p);
    p.Style |= ES_SAVESEL;
}

void TCustomRichEditEx::CreateWindowHandle(const TCreateParams& p) {
    TCreateParams q = p;
    q.Caption.clear();
    TCustomRichEdit::CreateWindowHandle(q);
    if (!HandleAllocated() || !q.Unicode) return;
    // Messages that come through the system (from other windows, the
    // platform, or this control's own SendMessage calls) are in the
    // window's own form; this attachment, in front of the control's, marks
    // them as such.
    HWND wnd = Handle();
    systemMarker_.Attach(wnd, [this, wnd](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        systemMessage_ = true;
        result = systemMarker_.CallNext(msg, wParam, lParam);
        // Looked up again: the message may have freed this control.
        if (auto* c = dynamic_cast<TCustomRichEditEx*>(TWinControl::FindControl(wnd))) c->systemMessage_ = false;
        return true;
    });
}

void TCustomRichEditEx::SetupWindow() {
    // Pasting and dropping go through OLE's clipboard and drag and drop.
    EnsureOleInitialized();
    TCustomRichEdit::SetupWindow();
    SendToWindow(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_REQUESTRESIZE | ENM_SELCHANGE | ENM_PROTECTED | ENM_LINK);
    SendToWindow(EM_AUTOURLDETECT, autoURLDetect_ == TAutoURLDetect::adDefault ? 1 : 0, 0);
    LRESULT options = SendToWindow(EM_GETOPTIONS);
    SendToWindow(EM_SETOPTIONS, ECOOP_SET,
                 showSelectionBar_ ? (options | ECO_SELECTIONBAR) : (options & ~static_cast<LRESULT>(ECO_SELECTIONBAR)));
    SendToWindow(EM_SETLANGOPTIONS, 0, static_cast<LPARAM>(langOptions_.Bits()));
    // The window's own default format differs between systems (one starts
    // with a bold system font): the control's font is the default.
    defAttributes_->Assign(Font());
    ApplyDefaultFormat(false);
    SendToWindow(EM_EMPTYUNDOBUFFER);
    if (includeOLE_) AttachOle();
}

void TCustomRichEditEx::ApplyDefaultFormat(bool sizeOnly) {
    CHARFORMAT2W f{};
    f.cbSize = sizeof f;
    SendToWindow(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&f));
    if (sizeOnly) f.dwMask = CFM_SIZE;
    SendToWindow(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&f));
}

void TCustomRichEditEx::RestoreContent() {
    if (pendingRtf_) {
        std::string rtf = std::move(*pendingRtf_);
        pendingRtf_.reset();
        ReadRtfProperty(rtf);
    }
    TCustomRichEdit::RestoreContent();
    if (includeOLE_) TrackObjects();
}

void TCustomRichEditEx::DiscardContent() {
    pendingRtf_.reset();
    TCustomRichEdit::DiscardContent();
}

LRESULT TCustomRichEditEx::CallRichEdit(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND h = Handle();
    return IsWindowUnicode(h) ? CallWindowProcW(DefWndProc(), h, msg, wParam, lParam)
                              : CallWindowProcA(DefWndProc(), h, msg, wParam, lParam);
}

int TCustomRichEditEx::WideTextLength() {
    if (richEdit10_) return static_cast<int>(SendToWindow(WM_GETTEXTLENGTH));
    GETTEXTLENGTHEX g{GTL_DEFAULT, 1200};
    return static_cast<int>(CallRichEdit(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&g), 0));
}

std::wstring TCustomRichEditEx::TextRangeW(int start, int end) {
    int len = WideTextLength();
    if (end < 0 || end > len) end = len;
    start = std::clamp(start, 0, end);
    if (start == end) return std::wstring();
    if (WideWindow()) {
        std::wstring buf(static_cast<size_t>(end - start) + 1, L'\0');
        TEXTRANGEW tr{{start, end}, buf.data()};
        LRESULT n = SendMessageW(Handle(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
        buf.resize(static_cast<size_t>(std::clamp<LRESULT>(n, 0, end - start)));
        return buf;
    }
    std::string buf(static_cast<size_t>(end - start) * 2 + 1, '\0');
    TEXTRANGEA tr{{start, end}, buf.data()};
    LRESULT n = SendMessageA(Handle(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
    buf.resize(static_cast<size_t>(std::clamp<LRESULT>(n, 0, static_cast<LRESULT>(buf.size()) - 1)));
    return AnsiToWide(buf, CP_ACP);
}

void TCustomRichEditEx::ReplaceSelectionW(const std::wstring& text) {
    if (WideWindow())
        SendMessageW(Handle(), EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(text.c_str()));
    else
        SendMessageA(Handle(), EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(WideToAnsi(text, CP_ACP).c_str()));
}

// Single-byte text messages given to the control, converted with the code
// page of its Language into and out of the wide window.  Results go into the
// caller's buffer only as far as its size in bytes allows.
bool TCustomRichEditEx::HandleNarrowText(TMessage& m) {
    UINT cp = codePage_;
    switch (m.Msg) {
        case WM_SETTEXT: {
            const char* s = reinterpret_cast<const char*>(m.LParam);
            std::wstring w = AnsiToWide(s != nullptr ? s : "", cp);
            m.Result = CallRichEdit(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()));
            return true;
        }
        case WM_GETTEXT: {
            std::wstring w = TextRangeW(0, -1);
            m.Result = CopyWideAsAnsi(w, cp, reinterpret_cast<char*>(m.LParam), static_cast<int>(m.WParam), true);
            return true;
        }
        case EM_REPLACESEL: {
            const char* s = reinterpret_cast<const char*>(m.LParam);
            std::wstring w = AnsiToWide(s != nullptr ? s : "", cp);
            m.Result = CallRichEdit(EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(w.c_str()));
            return true;
        }
        case EM_GETSELTEXT: {
            CHARRANGE r{0, 0};
            CallRichEdit(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
            int len = std::max(static_cast<int>(r.cpMax - r.cpMin), 0);
            std::wstring w = TextRangeW(r.cpMin, r.cpMax);
            m.Result = CopyWideAsAnsi(w, cp, reinterpret_cast<char*>(m.LParam), len + 1, true);
            return true;
        }
        case EM_GETTEXTRANGE: {
            auto* tr = reinterpret_cast<TEXTRANGEA*>(m.LParam);
            if (tr == nullptr || tr->lpstrText == nullptr) {
                m.Result = 0;
                return true;
            }
            int textLength = WideTextLength();
            int start = std::clamp(static_cast<int>(tr->chrg.cpMin), 0, textLength);
            int end = tr->chrg.cpMax < 0 ? textLength : std::clamp(static_cast<int>(tr->chrg.cpMax), start, textLength);
            std::wstring w = TextRangeW(start, end);
            m.Result = CopyWideAsAnsi(w, cp, tr->lpstrText, end - start + 1, true);
            return true;
        }
        case EM_GETLINE: {
            auto* dest = reinterpret_cast<char*>(m.LParam);
            if (dest == nullptr) {
                m.Result = 0;
                return true;
            }
            WORD size = *reinterpret_cast<WORD*>(dest);
            if (size == 0) {
                m.Result = 0;
                return true;
            }
            std::wstring buf(static_cast<size_t>(size) + 1, L'\0');
            *reinterpret_cast<WORD*>(buf.data()) = size;
            LRESULT n = CallRichEdit(EM_GETLINE, m.WParam, reinterpret_cast<LPARAM>(buf.data()));
            buf.resize(static_cast<size_t>(std::clamp<LRESULT>(n, 0, size)));
            m.Result = CopyWideAsAnsi(buf, cp, dest, size, false);
            return true;
        }
        default:
            return false;
    }
}

void TCustomRichEditEx::WndProc(TMessage& m) {
    bool fromSystem = std::exchange(systemMessage_, false);
    switch (m.Msg) {
        case WM_SETTEXT:
        case WM_GETTEXT:
        case EM_REPLACESEL:
        case EM_GETLINE:
        case EM_GETSELTEXT:
        case EM_GETTEXTRANGE:
            if (HandleAllocated() && !fromSystem && WideWindow()) {
                if (!wideText_ && HandleNarrowText(m)) return;
                m.Result = CallRichEdit(m.Msg, m.Msg == EM_REPLACESEL ? 1 : m.WParam, m.LParam);
                return;
            }
            break;
        case WM_GETTEXTLENGTH:
            if (HandleAllocated() && !richEdit10_) {
                m.Result = WideTextLength();
                return;
            }
            break;
        case WM_PAINT:
            if (urlUpdateCount_ > 0) {
                // The scan repaints everything when it ends.
                ValidateRect(Handle(), nullptr);
                m.Result = 0;
                return;
            }
            break;
        case WM_SETFONT:
            TCustomRichEdit::WndProc(m);
            if (HandleAllocated()) {
                defAttributes_->Assign(Font());
                // The window gave the text the font itself: in the size the
                // note stores, typed text keeps its width at the next reload.
                ApplyDefaultFormat(true);
            }
            return;
        case CM_FONTCHANGED:
            if (HandleAllocated()) defAttributes_->Assign(Font());
            TWinControl::WndProc(m);
            return;
        case WM_DESTROY:
            CloseOleObjects();
            ReleaseOle();
            break;
        case WM_NCDESTROY:
            TCustomRichEdit::WndProc(m);
            richEditLibrary_.Reset();
            return;
        case WM_CONTEXTMENU:
            HandleContextMenu(m);
            return;
        case WM_PASTE:
        case EM_PASTESPECIAL:
            // What would come in is looked at before the window takes it.
            if (HandleAllocated() && !ReadOnly() && !AcceptsData(nullptr, true)) {
                m.Result = 0;
                return;
            }
            if (HandleAllocated() && !ReadOnly() && !richEdit10_ && PasteBeforeListItem(m)) return;
            break;
        case CN_COMMAND:
            if (HIWORD(m.WParam) == EN_CHANGE) {
                if (autoURLDetect_ == TAutoURLDetect::adExtended && !IsLoading() &&
                    !ComponentState().Contains(TComponentStateItem::csReading) && customURLs_->Count() > 0 &&
                    urlUpdateCount_ == 0) {
                    CHARRANGE sel{0, 0};
                    SendToWindow(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
                    ScanForUrls(std::min(pendingUrlRange_.cpMin, sel.cpMin), std::max(pendingUrlRange_.cpMax, sel.cpMax));
                    pendingUrlRange_ = sel;
                }
                if (includeOLE_) TrackObjects();
            }
            break;
        case CN_NOTIFY:
            if (reinterpret_cast<NMHDR*>(m.LParam)->code == EN_LINK) {
                HandleLink(m);
                return;
            }
            break;
        default:
            break;
    }
    TCustomRichEdit::WndProc(m);
}

bool TCustomRichEditEx::AcceptsData(IDataObject* data, bool really) {
    bool accept = true;
    if (OnQueryAcceptData) OnQueryAcceptData(this, data, really, accept);
    return accept;
}

// ------------------------------------------------------------ properties

void TCustomRichEditEx::SetLines(TStrings* lines) {
    if (lines != nullptr) lines_->Assign(lines);
}

void TCustomRichEditEx::SetAutoURLDetect(TAutoURLDetect value) {
    autoURLDetect_ = value;
    if (HandleAllocated()) SendToWindow(EM_AUTOURLDETECT, value == TAutoURLDetect::adDefault ? 1 : 0, 0);
}

void TCustomRichEditEx::SetCustomURLs(TStringList* value) {
    if (value != nullptr && value != customURLs_.get()) customURLs_->Assign(value);
}

void TCustomRichEditEx::SetLanguage(TLanguage value) {
    language_ = value;
    codePage_ = CodePageFromLocale(value);
}

void TCustomRichEditEx::SetLangOptions(TLangOptions value) {
    langOptions_ = value;
    if (HandleAllocated()) SendToWindow(EM_SETLANGOPTIONS, 0, static_cast<LPARAM>(value.Bits()));
}

void TCustomRichEditEx::SetShowSelectionBar(bool value) {
    if (value == showSelectionBar_) return;
    showSelectionBar_ = value;
    // The bar's width is fixed when the window is made; set-up applies it.
    RecreateWnd();
}

void TCustomRichEditEx::SetIncludeOLE(bool value) {
    includeOLE_ = value;
    if (value) CreateOleCallback();
    RecreateWnd();
}

UINT TCustomRichEditEx::ReadFormat() const {
    UINT f = SF_RTF;
    switch (inputFormat_) {
        case TInputFormat::ifText: f = SF_TEXT; break;
        case TInputFormat::ifRTF: f = SF_RTF; break;
        // The window takes Unicode text only as text.
        case TInputFormat::ifUnicode: f = SF_TEXT | SF_UNICODE; break;
    }
    if (selectedInOut_) f |= SFF_SELECTION;
    if (plainRTF_) f |= SFF_PLAINRTF;
    return f;
}

UINT TCustomRichEditEx::WriteFormat() const {
    UINT f = SF_RTF;
    switch (outputFormat_) {
        case TOutputFormat::ofText: f = SF_TEXT; break;
        case TOutputFormat::ofRTF: f = SF_RTF; break;
        case TOutputFormat::ofRTFNoObjs: f = SF_RTFNOOBJS; break;
        case TOutputFormat::ofTextized: f = SF_TEXTIZED; break;
        case TOutputFormat::ofUnicode: f = SF_TEXT | SF_UNICODE; break;
    }
    if (selectedInOut_) f |= SFF_SELECTION;
    if (plainRTF_) f |= SFF_PLAINRTF;
    return f;
}

// ------------------------------------------------------------ stored RTF

void TCustomRichEditEx::ReadRtfProperty(const std::string& value) {
    std::string rtf = value.substr(0, value.find('\0'));
    if (!HandleAllocated()) {
        savedContent_.reset();
        KeepScrollBarsFor(static_cast<int64_t>(rtf.size()));
        pendingRtf_ = std::move(rtf);
        return;
    }
    TNotifyEvent change = std::move(OnChange), selChange = std::move(OnSelectionChange);
    OnChange = nullptr;
    OnSelectionChange = nullptr;
    auto restore = [&] {
        OnChange = std::move(change);
        OnSelectionChange = std::move(selChange);
    };
    try {
        Clear();
        defAttributes_->Assign(Font());
        TMemoryStream s(std::vector<uint8_t>(rtf.begin(), rtf.end()));
        lines_->LoadFromStream(s);
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

std::string TCustomRichEditEx::WriteRtfProperty() {
    if (!HandleAllocated()) {
        if (pendingRtf_) return *pendingRtf_;
        if (savedContent_) return savedContent_->rtf;
        return std::string();
    }
    TMemoryStream s;
    lines_->SaveToStream(s);
    std::string rtf = s.AsString();
    return rtf.substr(0, rtf.find('\0'));
}

bool TCustomRichEditEx::HasContent() {
    if (HandleAllocated()) return Perform(WM_GETTEXTLENGTH) > 0;
    return (pendingRtf_ && !pendingRtf_->empty()) || savedContent_.has_value() || !text_.empty();
}

void TCustomRichEditEx::Clear() {
    pendingRtf_.reset();
    if (HandleAllocated()) CloseOleObjects();
    TCustomRichEdit::Clear();
    // What is typed next starts in the default font, not in the format the
    // last text had.
    if (!HandleAllocated()) return;
    ApplyDefaultFormat(false);
    SendToWindow(EM_EMPTYUNDOBUFFER);
}

}  // namespace treskel
