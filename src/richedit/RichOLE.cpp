#include "richedit/RichOLE.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/ControlsHooks.h"
#include "platform/Dialogs.h"
#include "platform/DibBitmap.h"
#include "platform/Forms.h"
#include "richedit/Langs.h"
#include "richedit/RichEdit2.h"

#undef GetObject  // IRichEditOle::GetObject, not the GDI call

namespace treskel {

namespace {

// Frees a METAFILEPICT held in global memory (the dialog's icon).
void FreeMetaPict(HGLOBAL h) {
    GlobalMemory owned(h);
    GlobalLockGuard lock(h);
    if (auto* mfp = static_cast<METAFILEPICT*>(lock.Get())) MetaFileHandle{mfp->hMF};
}

// The picture of an enhanced metafile as a packed 24-bit DIB in global
// memory, at the size of its frame on the screen; null when it cannot be
// made.
HGLOBAL DibOf(HENHMETAFILE emf) {
    ENHMETAHEADER header{};
    if (GetEnhMetaFileHeader(emf, sizeof header, &header) == 0) return nullptr;
    WindowDC screen(nullptr);
    const int w = MulDiv(header.rclFrame.right - header.rclFrame.left, GetDeviceCaps(screen.Get(), LOGPIXELSX), 2540);
    const int h = MulDiv(header.rclFrame.bottom - header.rclFrame.top, GetDeviceCaps(screen.Get(), LOGPIXELSY), 2540);
    if (w <= 0 || h <= 0 || static_cast<int64_t>(w) * h > (64 << 20)) return nullptr;
    const BITMAPINFOHEADER info = DibInfoHeader(w, h, 24);
    void* bits = nullptr;
    GdiHandle<HBITMAP> section = NewDibSection(w, h, 24, &bits);
    if (!section || bits == nullptr) return nullptr;
    {
        MemoryDC dc(screen.Get());
        SelectGuard sel(dc.Get(), section.Get());
        RECT all{0, 0, w, h};
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        PlayEnhMetaFile(dc.Get(), emf, &all);
        GdiFlush();
    }
    GlobalMemory dib(sizeof info + info.biSizeImage);
    GlobalLockGuard lock(dib.Get());
    auto* p = static_cast<uint8_t*>(lock.Get());
    if (p == nullptr) return nullptr;
    std::memcpy(p, &info, sizeof info);
    std::memcpy(p + sizeof info, bits, info.biSizeImage);
    return dib.Release();
}

// Some systems' data cache holds a picture object's enhanced metafile (the
// form the control reads pictures from a note and from the clipboard in)
// but cannot draw it, so the note shows an empty box.  Such an object is
// given the same picture as a device-independent bitmap, which every cache
// draws.  True when the object was given it.
bool MakePictureDrawable(IOleObject* object) {
    ComPtr<IViewObject> view;
    if (FAILED(object->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(view.Put())))) return false;
    {
        MemoryDC probe;
        GdiHandle<HBITMAP> pixel(CreateCompatibleBitmap(probe.Get(), 1, 1));
        SelectGuard sel(probe.Get(), pixel.Get());
        RECTL one{0, 0, 1, 1};
        if (view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, probe.Get(), &one, nullptr, nullptr, 0) !=
            OLE_E_BLANK)
            return false;
    }
    ComPtr<IDataObject> data;
    ComPtr<IOleCache> cache;
    if (FAILED(object->QueryInterface(IID_IDataObject, reinterpret_cast<void**>(data.Put()))) ||
        FAILED(object->QueryInterface(IID_IOleCache, reinterpret_cast<void**>(cache.Put()))))
        return false;
    FORMATETC emf{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&emf, &medium))) return false;
    HGLOBAL dib = medium.tymed == TYMED_ENHMF ? DibOf(medium.hEnhMetaFile) : nullptr;
    ReleaseStgMedium(&medium);
    if (dib == nullptr) return false;
    FORMATETC fmt{CF_DIB, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    DWORD connection = 0;
    STGMEDIUM given{};
    given.tymed = TYMED_HGLOBAL;
    given.hGlobal = dib;
    // The cache owns the bitmap once it took it.
    if (FAILED(cache->Cache(&fmt, ADVF_PRIMEFIRST, &connection)) || FAILED(cache->SetData(&fmt, &given, TRUE))) {
        GlobalMemory{dib};
        return false;
    }
    return true;
}

}  // namespace

void MakePicturesDrawable(IRichEditOle* ole) {
    if (ole == nullptr) return;
    const LONG count = ole->GetObjectCount();
    for (LONG i = 0; i < count; ++i) {
        REOBJECT reo{};
        reo.cbStruct = sizeof reo;
        if (FAILED(ole->GetObject(i, &reo, REO_GETOBJ_POLEOBJ)) || reo.poleobj == nullptr) continue;
        ComPtr<IOleObject> object(reo.poleobj);
        MakePictureDrawable(object.Get());
    }
}

UINT CALLBACK InsertObjectDialogHook(HWND wnd, UINT msg, WPARAM, LPARAM) {
    if (msg != WM_INITDIALOG) return 0;
    HWND target = (GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD) ? GetParent(wnd) : wnd;
    RECT r;
    GetWindowRect(target, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(target, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 3, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 1;
}

namespace {

template <class T>
HRESULT QueryFor(T* self, REFIID iid, void** object, std::initializer_list<const IID*> iids) {
    if (object == nullptr) return E_POINTER;
    for (const IID* i : iids) {
        if (IsEqualIID(iid, *i)) {
            *object = self;
            self->AddRef();
            return S_OK;
        }
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// What the editor puts on the clipboard for a copy or a cut: bytes in
// global memory per format, handed out as copies.
class TClipboardData final : public IDataObject {
public:
    explicit TClipboardData(std::vector<std::pair<CLIPFORMAT, std::string>> formats) : formats_(std::move(formats)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        return QueryFor(this, iid, object, {&IID_IUnknown, &IID_IDataObject});
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (medium == nullptr) return E_INVALIDARG;
        const std::string* bytes = Find(format);
        if (bytes == nullptr) return DV_E_FORMATETC;
        GlobalMemory copy(bytes->size());
        {
            GlobalLockGuard lock(copy.Get());
            if (lock.Get() == nullptr) return E_OUTOFMEMORY;
            std::memcpy(lock.Get(), bytes->data(), bytes->size());
        }
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy.Release();
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override { return Find(format) != nullptr ? S_OK : DV_E_FORMATETC; }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out != nullptr) out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
        if (formats == nullptr) return E_INVALIDARG;
        *formats = nullptr;
        if (direction != DATADIR_GET) return E_NOTIMPL;
        std::vector<FORMATETC> list;
        for (const auto& f : formats_) list.push_back(FORMATETC{f.first, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
        return SHCreateStdEnumFmtEtc(static_cast<UINT>(list.size()), list.data(), formats);
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    ~TClipboardData() = default;
    const std::string* Find(const FORMATETC* format) const {
        if (format == nullptr || (format->tymed & TYMED_HGLOBAL) == 0 || format->dwAspect != DVASPECT_CONTENT)
            return nullptr;
        for (const auto& f : formats_)
            if (f.first == format->cfFormat) return &f.second;
        return nullptr;
    }

    LONG refs_ = 1;
    std::vector<std::pair<CLIPFORMAT, std::string>> formats_;
};

}  // namespace

void OleCheck(HRESULT hr) {
    if (SUCCEEDED(hr)) return;
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   static_cast<DWORD>(hr), 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    LocalMemory owned(text);
    std::string message = text != nullptr ? Trim(text) : std::string();
    if (message.empty()) message = Format("OLE error %08lX", static_cast<unsigned long>(hr));
    throw EOleError(message);
}

void EnsureOleInitialized() {
    // Once for the user-interface thread; never uninitialised, since windows
    // holding OLE interfaces may outlive any scope here.
    static const HRESULT result = OleInitialize(nullptr);
    (void)result;
}

TRichOleState::TRichOleState() = default;
TRichOleState::~TRichOleState() = default;

// ------------------------------------------------------------ callback

STDMETHODIMP TRichEditOleCallback::QueryInterface(REFIID iid, void** object) {
    return QueryFor(this, iid, object, {&IID_IUnknown, &IID_IRichEditOleCallback});
}

STDMETHODIMP_(ULONG) TRichEditOleCallback::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) TRichEditOleCallback::Release() {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

STDMETHODIMP TRichEditOleCallback::GetNewStorage(LPSTORAGE* storage) {
    if (storage == nullptr) return E_INVALIDARG;
    *storage = nullptr;
    ComPtr<ILockBytes> bytes;
    if (FAILED(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.Put()))) return E_OUTOFMEMORY;
    if (FAILED(StgCreateDocfileOnILockBytes(bytes.Get(), STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0,
                                            storage)))
        return E_OUTOFMEMORY;
    return S_OK;
}

STDMETHODIMP TRichEditOleCallback::GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* doc,
                                                     LPOLEINPLACEFRAMEINFO frameInfo) {
    try {
        if (frame != nullptr) *frame = nullptr;
        if (doc != nullptr) *doc = nullptr;
        if (richEdit_ == nullptr || frame == nullptr) return E_FAIL;
        TCustomForm* form = richEdit_->GetParentForm();
        HWND frameWnd = form != nullptr ? form->Handle() : GetAncestor(richEdit_->Handle(), GA_ROOT);
        TRichOleState& state = *richEdit_->ole_;
        if (!state.frame) state.frame = ComPtr<TOleInPlaceFrame>(new TOleInPlaceFrame(frameWnd));
        *frame = state.frame.Get();
        (*frame)->AddRef();
        if (frameInfo != nullptr) {
            frameInfo->fMDIApp = FALSE;
            frameInfo->hwndFrame = frameWnd;
            frameInfo->haccel = nullptr;
            frameInfo->cAccelEntries = 0;
        }
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

STDMETHODIMP TRichEditOleCallback::ShowContainerUI(BOOL) { return E_NOTIMPL; }

STDMETHODIMP TRichEditOleCallback::QueryInsertObject(LPCLSID, LPSTORAGE, LONG) { return S_OK; }

STDMETHODIMP TRichEditOleCallback::DeleteObject(LPOLEOBJECT object) {
    try {
        if (richEdit_ != nullptr) {
            TRichOleState& state = *richEdit_->ole_;
            state.currentObject.Reset();
            state.verbMenu.reset();
            state.verbsBuilt = false;
            auto it = std::find_if(state.tracked.begin(), state.tracked.end(),
                                   [object](const TTrackedObject& t) { return t.object.Get() == object; });
            if (it != state.tracked.end()) {
                it->object->Unadvise(it->connection);
                state.tracked.erase(it);
            }
        }
        // An object deleted from the text is gone; nothing of it is kept.
        if (object != nullptr) object->Close(OLECLOSE_NOSAVE);
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// Pastes are looked at before the window takes them (WM_PASTE); a drop is
// looked at when it is made, not while the drag passes over.
STDMETHODIMP TRichEditOleCallback::QueryAcceptData(LPDATAOBJECT data, CLIPFORMAT*, DWORD reco, BOOL really, HGLOBAL) {
    try {
        if (richEdit_ == nullptr || reco != RECO_DROP || !really || data == nullptr) return S_OK;
        return richEdit_->AcceptsData(data, true) ? S_OK : E_FAIL;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

STDMETHODIMP TRichEditOleCallback::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

// Where the window would put a letter on the clipboard as a look-alike, or
// paragraph words that its reader takes otherwise (in the RTF it writes
// there, which pasting prefers), the editor puts the text and its own RTF
// of the selection, in which every letter and paragraph stays what it is.
// Elsewhere the window puts its own.
STDMETHODIMP TRichEditOleCallback::GetClipboardData(CHARRANGE* range, DWORD, LPDATAOBJECT* data) {
    if (data == nullptr) return E_INVALIDARG;
    *data = nullptr;
    try {
        TCustomRichEditEx* re = richEdit_;
        if (re == nullptr || range == nullptr) return E_NOTIMPL;
        if (!(re->WideWindow() && RichEditWritesLookAlikes()) && !RichEditParaWordFaults().Any()) return E_NOTIMPL;
        CHARRANGE selection{0, 0};
        re->SendToWindow(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        if (selection.cpMin != range->cpMin || selection.cpMax != range->cpMax) return E_NOTIMPL;
        // Text on the clipboard ends its lines with CR LF.
        std::wstring text;
        for (wchar_t c : re->TextRangeW(range->cpMin, range->cpMax)) {
            text += c;
            if (c == L'\r') text += L'\n';
        }
        std::vector<std::pair<CLIPFORMAT, std::string>> formats;
        formats.emplace_back(CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(text.c_str()),
                                                         (text.size() + 1) * sizeof(wchar_t)));
        formats.emplace_back(static_cast<CLIPFORMAT>(RichEditClipboardFormats().Rtf),
                             re->StreamOutRtf(SFF_SELECTION) + '\0');
        *data = new TClipboardData(std::move(formats));
        return S_OK;
    } catch (...) {
        // The window's own data, then.
        return E_NOTIMPL;
    }
}

STDMETHODIMP TRichEditOleCallback::GetDragDropEffect(BOOL drag, DWORD keyState, LPDWORD effect) {
    if (!drag && effect != nullptr) *effect = DropEffectFor(keyState, *effect);
    return S_OK;
}

STDMETHODIMP TRichEditOleCallback::GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU* menu) {
    if (menu != nullptr) *menu = nullptr;
    return S_OK;
}

// ------------------------------------------------------------ advise sink

STDMETHODIMP TObjectAdviseSink::QueryInterface(REFIID iid, void** object) {
    return QueryFor(this, iid, object, {&IID_IUnknown, &IID_IAdviseSink});
}

STDMETHODIMP_(ULONG) TObjectAdviseSink::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) TObjectAdviseSink::Release() {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

void TObjectAdviseSink::Changed() {
    try {
        if (richEdit_ != nullptr) richEdit_->ObjectChanged();
    } catch (...) {
        HandleCallbackException();
    }
}

STDMETHODIMP_(void) TObjectAdviseSink::OnDataChange(FORMATETC*, STGMEDIUM*) { Changed(); }
STDMETHODIMP_(void) TObjectAdviseSink::OnViewChange(DWORD, LONG) { Changed(); }
STDMETHODIMP_(void) TObjectAdviseSink::OnRename(IMoniker*) {}
STDMETHODIMP_(void) TObjectAdviseSink::OnSave() { Changed(); }
STDMETHODIMP_(void) TObjectAdviseSink::OnClose() {}

// ------------------------------------------------------------ in-place frame

STDMETHODIMP TOleInPlaceFrame::QueryInterface(REFIID iid, void** object) {
    return QueryFor(this, iid, object,
                    {&IID_IUnknown, &IID_IOleWindow, &IID_IOleInPlaceUIWindow, &IID_IOleInPlaceFrame});
}

STDMETHODIMP_(ULONG) TOleInPlaceFrame::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) TOleInPlaceFrame::Release() {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

STDMETHODIMP TOleInPlaceFrame::GetWindow(HWND* wnd) {
    if (wnd == nullptr) return E_POINTER;
    *wnd = frame_;
    return S_OK;
}

STDMETHODIMP TOleInPlaceFrame::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }
STDMETHODIMP TOleInPlaceFrame::GetBorder(LPRECT) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP TOleInPlaceFrame::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP TOleInPlaceFrame::SetBorderSpace(LPCBORDERWIDTHS widths) {
    return widths == nullptr ? S_OK : INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP TOleInPlaceFrame::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
    active_ = ComPtr<IOleInPlaceActiveObject>::Share(object);
    return S_OK;
}

STDMETHODIMP TOleInPlaceFrame::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS widths) {
    if (widths != nullptr) widths->width[0] = widths->width[2] = widths->width[4] = 0;
    return S_OK;
}

STDMETHODIMP TOleInPlaceFrame::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
STDMETHODIMP TOleInPlaceFrame::RemoveMenus(HMENU) { return S_OK; }
STDMETHODIMP TOleInPlaceFrame::SetStatusText(LPCOLESTR) { return S_OK; }
STDMETHODIMP TOleInPlaceFrame::EnableModeless(BOOL) { return S_OK; }
STDMETHODIMP TOleInPlaceFrame::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

// ------------------------------------------------------------ the control's objects

IRichEditOle* TCustomRichEditEx::RichEditOle() const { return ole_ ? ole_->richEditOle.Get() : nullptr; }

IRichEditOleCallback* TCustomRichEditEx::OleCallback() const { return ole_ ? ole_->callback.Get() : nullptr; }

void TCustomRichEditEx::CreateOleCallback() {
    if (!ole_->callback) ole_->callback = ComPtr<TRichEditOleCallback>(new TRichEditOleCallback(this));
}

void TCustomRichEditEx::AttachOle() {
    EnsureOleInitialized();
    ole_->richEditOle.Reset();
    IRichEditOle* reo = nullptr;
    if (SendToWindow(EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&reo)) == 0 || reo == nullptr)
        throw Exception("Unable to get interface");
    ole_->richEditOle = ComPtr<IRichEditOle>(reo);
    CreateOleCallback();
    if (SendToWindow(EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(ole_->callback.Get())) == 0)
        throw Exception("Unable to set callback");
}

void TCustomRichEditEx::ReleaseOle() {
    if (!ole_) return;
    for (TTrackedObject& t : ole_->tracked) t.object->Unadvise(t.connection);
    ole_->tracked.clear();
    ole_->currentObject.Reset();
    ole_->verbMenu.reset();
    ole_->verbNames.clear();
    ole_->verbEntries.clear();
    ole_->verbsBuilt = false;
    ole_->richEditOle.Reset();
    if (IsDestroying()) {
        if (ole_->callback) ole_->callback->Detach();
        if (ole_->sink) ole_->sink->Detach();
    }
}

void TCustomRichEditEx::CloseOleObjects() {
    if (!ole_) return;
    // Closing saves what changed; that is no edit of the note.
    for (TTrackedObject& t : ole_->tracked) t.object->Unadvise(t.connection);
    ole_->tracked.clear();
    if (!ole_->richEditOle) return;
    LONG count = ole_->richEditOle->GetObjectCount();
    for (LONG i = 0; i < count; ++i) {
        REOBJECT reo{};
        reo.cbStruct = sizeof reo;
        if (FAILED(ole_->richEditOle->GetObject(i, &reo, REO_GETOBJ_POLEOBJ)) || reo.poleobj == nullptr) continue;
        ComPtr<IOleObject> object(reo.poleobj);
        object->Close(OLECLOSE_SAVEIFDIRTY);
    }
}

void TCustomRichEditEx::TrackObjects() {
    if (!ole_ || !ole_->richEditOle) return;
    LONG count = ole_->richEditOle->GetObjectCount();
    if (count == 0 && ole_->tracked.empty()) return;
    std::vector<ComPtr<IOleObject>> present;
    for (LONG i = 0; i < count; ++i) {
        REOBJECT reo{};
        reo.cbStruct = sizeof reo;
        if (SUCCEEDED(ole_->richEditOle->GetObject(i, &reo, REO_GETOBJ_POLEOBJ)) && reo.poleobj != nullptr)
            present.emplace_back(reo.poleobj);
    }
    auto isPresent = [&](IOleObject* o) {
        return std::any_of(present.begin(), present.end(), [o](const ComPtr<IOleObject>& p) { return p.Get() == o; });
    };
    for (auto it = ole_->tracked.begin(); it != ole_->tracked.end();) {
        if (isPresent(it->object.Get())) {
            ++it;
            continue;
        }
        // Gone from the text without the window telling the callback (some
        // systems' never does): as DeleteObject would, it stops being current and is
        // closed without saving.
        ComPtr<IOleObject> gone = it->object;
        gone->Unadvise(it->connection);
        it = ole_->tracked.erase(it);
        if (gone.Get() == ole_->currentObject.Get()) {
            ole_->currentObject.Reset();
            ole_->verbMenu.reset();
            ole_->verbsBuilt = false;
        }
        gone->Close(OLECLOSE_NOSAVE);
    }
    if (!ole_->sink) ole_->sink = ComPtr<TObjectAdviseSink>(new TObjectAdviseSink(this));
    bool madeDrawable = false;
    for (const ComPtr<IOleObject>& o : present) {
        bool known = std::any_of(ole_->tracked.begin(), ole_->tracked.end(),
                                 [&](const TTrackedObject& t) { return t.object.Get() == o.Get(); });
        if (known) continue;
        madeDrawable = MakePictureDrawable(o.Get()) || madeDrawable;
        TTrackedObject t;
        t.object = o;
        // The object's own advise holder takes any number of sinks; the
        // window keeps its view advise for drawing.
        if (FAILED(o->Advise(ole_->sink.Get(), &t.connection))) t.connection = 0;
        ole_->tracked.push_back(std::move(t));
    }
    // The window may have painted them as empty boxes already: it paints
    // while it reads a note that makes it show its scroll bar.
    if (madeDrawable) InvalidateRect(Handle(), nullptr, FALSE);
}

void TCustomRichEditEx::ObjectChanged() {
    if (!HandleAllocated()) return;
    SendToWindow(EM_SETMODIFY, 1, 0);
    Change();
}

bool TCustomRichEditEx::InsertObjectDialog() {
    EnsureOleInitialized();
    char fileName[256] = {};
    OLEUIINSERTOBJECTA data{};
    data.cbStruct = sizeof data;
    data.dwFlags = IOF_SELECTCREATENEW;
    data.lpfnHook = InsertObjectDialogHook;
    data.lpszFile = fileName;
    data.cchFile = sizeof fileName;
    UINT result = OLEUI_CANCEL;
    RunSystemDialog([&](HWND owner) {
        data.hWndOwner = owner;
        result = OleUIInsertObjectA(&data);
        return result == OLEUI_OK;
    });
    struct IconGuard {
        HGLOBAL h;
        ~IconGuard() { FreeMetaPict(h); }
    } icon{data.hMetaPict};
    if (result != OLEUI_OK) return false;

    TOleCreateRequest request;
    if (data.dwFlags & IOF_SELECTCREATENEW) {
        request.Kind = 0;
        request.ClassID = data.clsid;
    } else {
        request.Kind = (data.dwFlags & IOF_CHECKLINK) ? 2 : 1;
        request.FileName = AnsiToWide(fileName, CP_ACP);
    }
    request.ShowAsIcon = (data.dwFlags & IOF_CHECKDISPLAYASICON) != 0;
    request.IconMetaPict = data.hMetaPict;
    CreateAndInsertObject(request);
    if (request.Kind == 0) DoVerb(OLEIVERB_OPEN);
    return true;
}

void TCustomRichEditEx::CreateAndInsertObject(const TOleCreateRequest& request) {
    if (!ole_->richEditOle || !ole_->callback) OleCheck(E_NOINTERFACE);
    ComPtr<IOleClientSite> site;
    OleCheck(ole_->richEditOle->GetClientSite(site.Put()));
    ComPtr<IStorage> storage;
    OleCheck(ole_->callback->GetNewStorage(storage.Put()));
    ComPtr<IOleObject> object;
    void** out = reinterpret_cast<void**>(object.Put());
    switch (request.Kind) {
        case 0:
            OleCheck(OleCreate(request.ClassID, IID_IOleObject, OLERENDER_DRAW, nullptr, site.Get(), storage.Get(), out));
            break;
        case 1:
            OleCheck(OleCreateFromFile(CLSID_NULL, request.FileName.c_str(), IID_IOleObject, OLERENDER_DRAW, nullptr,
                                       site.Get(), storage.Get(), out));
            break;
        case 2:
            OleCheck(OleCreateLinkToFile(request.FileName.c_str(), IID_IOleObject, OLERENDER_DRAW, nullptr, site.Get(),
                                         storage.Get(), out));
            break;
        case 3:
            OleCheck(OleCreateFromData(request.DataObject.Get(), IID_IOleObject, OLERENDER_DRAW, nullptr, site.Get(),
                                       storage.Get(), out));
            break;
        default:
            OleCheck(OleCreateLinkFromData(request.DataObject.Get(), IID_IOleObject, OLERENDER_DRAW, nullptr,
                                           site.Get(), storage.Get(), out));
            break;
    }
    REOBJECT reo{};
    reo.cbStruct = sizeof reo;
    reo.cp = SelStart();
    object->GetUserClassID(&reo.clsid);
    reo.poleobj = object.Get();
    reo.pstg = storage.Get();
    reo.polesite = site.Get();
    reo.sizel = SIZEL{0, 0};
    reo.dwFlags = REO_RESIZABLE | REO_DYNAMICSIZE | (request.Kind == 0 ? REO_BLANK : 0);
    reo.dwUser = 0;

    ole_->currentObject = object;
    ole_->verbsBuilt = false;
    ole_->verbMenu.reset();
    ole_->drawAspect = DVASPECT_CONTENT;
    if (request.ShowAsIcon) {
        ole_->drawAspect = DVASPECT_ICON;
        HGLOBAL iconPict = request.IconMetaPict;
        HGLOBAL own = nullptr;
        if (iconPict == nullptr) {
            own = OleGetIconOfClass(reo.clsid, nullptr, TRUE);
            iconPict = own;
        }
        ComPtr<IOleCache> cache = object.As<IOleCache>(IID_IOleCache);
        if (cache && iconPict != nullptr) {
            FORMATETC fe{CF_METAFILEPICT, nullptr, DVASPECT_ICON, -1, TYMED_MFPICT};
            DWORD connection = 0;
            cache->Cache(&fe, ADVF_PRIMEFIRST, &connection);
            STGMEDIUM medium{};
            medium.tymed = TYMED_MFPICT;
            medium.hMetaFilePict = iconPict;
            cache->SetData(&fe, &medium, FALSE);
        }
        FreeMetaPict(own);
    }
    reo.dvaspect = ole_->drawAspect;
    std::string title = Application != nullptr ? Application->Title() : std::string();
    // The document is named by the control's name, not its text: the text
    // is the whole note, megabytes of it, that a server would copy and
    // show in its window's caption.
    ole_->richEditOle->SetHostNames(title.c_str(), Name().c_str());
    OleCheck(ole_->richEditOle->InsertObject(&reo));
    TrackObjects();
}

void TCustomRichEditEx::BuildVerbList() {
    ole_->verbMenu.reset();
    ole_->verbNames.clear();
    ole_->verbEntries.clear();
    ole_->verbsBuilt = true;
    if (!ole_->currentObject) return;
    ComPtr<IEnumOLEVERB> verbs;
    if (FAILED(ole_->currentObject->EnumVerbs(verbs.Put())) || !verbs) return;
    OLEVERB verb{};
    ULONG fetched = 0;
    while (verbs->Next(1, &verb, &fetched) == S_OK && fetched == 1) {
        CoTaskMemory owned(verb.lpszVerbName);
        std::string name = verb.lpszVerbName != nullptr ? WideToAnsi(verb.lpszVerbName, CP_ACP) : std::string();
        if (verb.lVerb < 0 || !(verb.grfAttribs & OLEVERBATTRIB_ONCONTAINERMENU)) break;
        ole_->verbNames.push_back(name);
        ole_->verbEntries.push_back(MakeVerbEntry(static_cast<int>(verb.lVerb), verb.fuFlags));
    }
}

void TCustomRichEditEx::DoVerb(int verb) {
    if (!ole_->richEditOle || !ole_->currentObject) return;
    if (verb > 0 && !ole_->verbsBuilt) BuildVerbList();
    int number = ResolveVerb(verb, ole_->verbEntries);
    RECT r = ToRECT(BoundsRect());
    ComPtr<IOleClientSite> site;
    OleCheck(ole_->richEditOle->GetClientSite(site.Put()));
    OleCheck(ole_->currentObject->DoVerb(number, nullptr, site.Get(), 0, Handle(), &r));
}

void TCustomRichEditEx::UpdateObject() {
    if (!ole_->currentObject) return;
    OleCheck(ole_->currentObject->Update());
    Invalidate();
}

void TCustomRichEditEx::UpdateObjectExtent() {
    if (!ole_->currentObject) return;
    ComPtr<IViewObject2> view = ole_->currentObject.As<IViewObject2>(IID_IViewObject2);
    if (view) view->GetExtent(ole_->drawAspect, -1, nullptr, &ole_->extent);
    Invalidate();
}

TPopupMenu* TCustomRichEditEx::GetPopupMenu() {
    TPopupMenu* menu = PopupMenu();
    if (!autoVerbMenu_ || !ole_->richEditOle) return menu;
    REOBJECT reo{};
    reo.cbStruct = sizeof reo;
    ComPtr<IOleObject> selected;
    if (SUCCEEDED(ole_->richEditOle->GetObject(REO_IOB_SELECTION, &reo, REO_GETOBJ_POLEOBJ)))
        selected = ComPtr<IOleObject>(reo.poleobj);
    if (!selected) {
        ole_->currentObject.Reset();
        ole_->verbMenu.reset();
        ole_->verbsBuilt = false;
        return menu;
    }
    if (selected.Get() != ole_->currentObject.Get()) {
        ole_->currentObject = selected;
        ole_->verbsBuilt = false;
    }
    // Built for each object once, also for the object just inserted.
    if (!ole_->verbsBuilt) BuildVerbList();
    if (ole_->verbNames.empty()) return nullptr;
    if (!ole_->verbMenu) {
        ole_->verbMenu = MakeOwned<TPopupMenu>();
        for (size_t i = 0; i < ole_->verbNames.size(); ++i) {
            auto* item = Create<TMenuItem>(ole_->verbMenu.get());
            item->SetCaption(ole_->verbNames[i]);
            item->SetTag(static_cast<int>(i));
            item->SetDefault(static_cast<int16_t>(ole_->verbEntries[i] & 0xFFFF) == 0);
            int index = static_cast<int>(i);
            item->OnClick = [this, index](TObject*) { DoVerb(index); };
            ole_->verbMenu->Items()->Add(item);
        }
    }
    return ole_->verbMenu.get();
}

void TCustomRichEditEx::HandleContextMenu(TMessage& m) {
    if (HandleAllocated() && reinterpret_cast<HWND>(m.WParam) == Handle() && autoVerbMenu_ && ole_->richEditOle) {
        TPopupMenu* menu = GetPopupMenu();
        if (menu != PopupMenu()) {
            // A selected object: its verbs, or no menu at all.
            if (menu != nullptr) {
                TPoint p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
                if (p.x == -1 && p.y == -1) p = ClientToScreen({0, 0});
                menu->SetPopupComponent(this);
                menu->Popup(p.x, p.y);
            }
            m.Result = 0;
            return;
        }
    }
    TCustomRichEdit::WndProc(m);
}

}  // namespace treskel
