// OLE objects in the note editor under Wine, with an object of our own
// (a fresh prefix has no OLE server that could make one).
#include <algorithm>
#include <vector>

#include "platform/ControlsHooks.h"
#include "platform/Menus.h"
#include "richedit/EditorFixture.h"
#include "richedit/RichOLE.h"
#include "support/DialogDriver.h"

namespace treskel::test {
namespace {

struct FakeVerb {
    LONG number;
    const wchar_t* name;
    DWORD attribs;
};

class FakeVerbs final : public IEnumOLEVERB {
public:
    explicit FakeVerbs(std::vector<FakeVerb> verbs) : verbs_(std::move(verbs)) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumOLEVERB)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }
    STDMETHODIMP Next(ULONG count, OLEVERB* out, ULONG* fetched) override {
        ULONG n = 0;
        while (n < count && next_ < verbs_.size()) {
            const FakeVerb& v = verbs_[next_++];
            size_t bytes = (wcslen(v.name) + 1) * sizeof(wchar_t);
            auto* name = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
            memcpy(name, v.name, bytes);
            out[n] = OLEVERB{v.number, name, 0, v.attribs};
            ++n;
        }
        if (fetched != nullptr) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG n) override {
        next_ += n;
        return S_OK;
    }
    STDMETHODIMP Reset() override {
        next_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumOLEVERB**) override { return E_NOTIMPL; }

private:
    ~FakeVerbs() = default;
    ULONG refs_ = 1;
    std::vector<FakeVerb> verbs_;
    size_t next_ = 0;
};

// An embedded object that draws as a small metafile and records what the
// container asks of it.
class FakeObject final : public IOleObject, public IDataObject {
public:
    explicit FakeObject(std::vector<FakeVerb> verbs) : verbs_(std::move(verbs)) {
        CreateOleAdviseHolder(&advise_);
    }

    std::vector<DWORD> closes;
    std::vector<LONG> verbsRun;
    int advises = 0;
    int unadvises = 0;
    IAdviseSink* lastSink = nullptr;

    // Tells the container the object was saved (as a server would).
    void Saved() { advise_->SendOnSave(); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject)) {
            *out = static_cast<IOleObject*>(this);
        } else if (IsEqualIID(iid, IID_IDataObject)) {
            *out = static_cast<IDataObject*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override {
        site_ = ComPtr<IOleClientSite>::Share(site);
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** site) override {
        *site = site_.Get();
        if (*site != nullptr) (*site)->AddRef();
        return S_OK;
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD option) override {
        closes.push_back(option);
        return S_OK;
    }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override {
        verbsRun.push_back(verb);
        return S_OK;
    }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** out) override {
        *out = new FakeVerbs(verbs_);
        return S_OK;
    }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override {
        *clsid = CLSID_NULL;
        return S_OK;
    }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return S_OK; }
    STDMETHODIMP GetExtent(DWORD, SIZEL* size) override {
        *size = SIZEL{1000, 500};
        return S_OK;
    }
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override {
        ++advises;
        lastSink = sink;
        return advise_->Advise(sink, connection);
    }
    STDMETHODIMP Unadvise(DWORD connection) override {
        ++unadvises;
        return advise_->Unadvise(connection);
    }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override {
        *status = 0;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IDataObject: the picture the window draws and writes.
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (format->cfFormat != CF_ENHMETAFILE || !(format->tymed & TYMED_ENHMF)) return DV_E_FORMATETC;
        RECT frame{0, 0, 1000, 500};
        HDC rec = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
        Rectangle(rec, 0, 0, 30, 15);
        medium->tymed = TYMED_ENHMF;
        medium->hEnhMetaFile = CloseEnhMetaFile(rec);
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override {
        return format->cfFormat == CF_ENHMETAFILE ? S_OK : DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    ~FakeObject() {
        if (advise_ != nullptr) advise_->Release();
    }
    ULONG refs_ = 1;
    std::vector<FakeVerb> verbs_;
    IOleAdviseHolder* advise_ = nullptr;
    ComPtr<IOleClientSite> site_;
};

class OleEditorTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        editor->SetIncludeOLE(true);
        ASSERT_NE(editor->RichEditOle(), nullptr);
    }

    // Puts an object into the text at the selection, as the window does for
    // a pasted or dropped one, and lets the control see the change.
    FakeObject* InsertFake(std::vector<FakeVerb> verbs = {}) {
        auto* object = new FakeObject(std::move(verbs));
        objects.emplace_back(object);
        ComPtr<IOleClientSite> site;
        editor->RichEditOle()->GetClientSite(site.Put());
        REOBJECT reo{};
        reo.cbStruct = sizeof reo;
        reo.cp = REO_CP_SELECTION;
        reo.poleobj = object;
        reo.polesite = site.Get();
        reo.dvaspect = DVASPECT_CONTENT;
        reo.dwFlags = REO_RESIZABLE;
        EXPECT_EQ(editor->RichEditOle()->InsertObject(&reo), S_OK);
        Append(editor, L" ");  // an edit: the control looks at its objects
        return object;
    }

    void TearDown() override {
        editor = nullptr;
        form.reset();
        objects.clear();
    }

    std::vector<ComPtr<FakeObject>> objects;
};

TEST_F(OleEditorTest, AChangedObjectMarksTheNoteModified) {
    Append(editor, L"note ");
    FakeObject* object = InsertFake();
    EXPECT_EQ(editor->RichEditOle()->GetObjectCount(), 1);
    EXPECT_EQ(object->advises, 1);

    int changes = 0;
    editor->OnChange = [&](TObject*) { ++changes; };
    editor->SetModified(false);
    object->Saved();
    EXPECT_TRUE(editor->Modified());
    EXPECT_EQ(changes, 1);

    // The object is written as a picture of it.
    EXPECT_NE(Save(editor).find("\\emfblip"), std::string::npos);
}

TEST_F(OleEditorTest, ClosingSavesObjectsThatChangedAndStopsListening) {
    FakeObject* object = InsertFake();
    editor->CloseOleObjects();
    ASSERT_EQ(object->closes.size(), 1u);
    EXPECT_EQ(object->closes[0], static_cast<DWORD>(OLECLOSE_SAVEIFDIRTY));
    EXPECT_EQ(object->unadvises, 1);

    int changes = 0;
    editor->OnChange = [&](TObject*) { ++changes; };
    object->Saved();
    EXPECT_EQ(changes, 0);

    // Clearing the note and freeing the editor close with saving too.
    FakeObject* second = InsertFake();
    editor->Clear();
    ASSERT_FALSE(second->closes.empty());
    EXPECT_EQ(second->closes[0], static_cast<DWORD>(OLECLOSE_SAVEIFDIRTY));
    FakeObject* third = InsertFake();
    editor->Free();
    editor = nullptr;
    ASSERT_FALSE(third->closes.empty());
    EXPECT_EQ(third->closes.back(), static_cast<DWORD>(OLECLOSE_SAVEIFDIRTY));
}

TEST_F(OleEditorTest, VerbMenuOffersTheContainerVerbsAndRunsThem) {
    FakeObject* object = InsertFake({{0, L"&Edit", OLEVERBATTRIB_ONCONTAINERMENU},
                                     {1, L"&Open", OLEVERBATTRIB_ONCONTAINERMENU},
                                     {2, L"Hidden", 0},
                                     {3, L"After", OLEVERBATTRIB_ONCONTAINERMENU}});
    Select(editor, 0, 1);
    TPopupMenu* menu = editor->GetPopupMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->Items()->Count(), 2);  // the list stops at the first verb not for containers
    EXPECT_EQ(menu->Items()->Items(0)->Caption(), "&Edit");
    EXPECT_TRUE(menu->Items()->Items(0)->Default());
    EXPECT_FALSE(menu->Items()->Items(1)->Default());
    EXPECT_EQ(editor->GetPopupMenu(), menu);  // built once per object

    std::vector<std::string> offered;
    TPopupMenu::TestChooser = [&](TPopupMenu* m) -> WORD {
        for (int i = 0; i < m->Items()->Count(); ++i) offered.push_back(m->Items()->Items(i)->Caption());
        return m->Items()->Items(1)->Command();
    };
    POINT p{10, 10};
    ClientToScreen(editor->Handle(), &p);
    SendMessageW(editor->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(editor->Handle()), MAKELPARAM(p.x, p.y));
    PumpMessages();
    TPopupMenu::TestChooser = nullptr;
    EXPECT_EQ(offered, (std::vector<std::string>{"&Edit", "&Open"}));
    ASSERT_EQ(object->verbsRun.size(), 1u);
    EXPECT_EQ(object->verbsRun[0], 1);

    editor->DoVerb(-65536);
    editor->DoVerb(-2);
    EXPECT_EQ(object->verbsRun, (std::vector<LONG>{1, 0, -2}));
    try {
        editor->DoVerb(2);
        FAIL() << "no error";
    } catch (const EOleError& e) {
        EXPECT_STREQ(e.what(), "Invalid Verb");
    }
}

TEST_F(OleEditorTest, AnObjectWithoutContainerVerbsGetsNoMenuAtAll) {
    auto* plain = Create<TPopupMenu>(form.get());
    auto* item = Create<TMenuItem>(plain);
    item->SetCaption("Cut");
    plain->Items()->Add(item);
    editor->SetPopupMenu(plain);
    InsertFake({{-1, L"Show", OLEVERBATTRIB_ONCONTAINERMENU}});
    Select(editor, 0, 1);
    EXPECT_EQ(editor->GetPopupMenu(), nullptr);
    // The control's own menu would be shown through the platform's hook.
    int popups = 0;
    auto savedHook = hooks::PopupControlMenu;
    hooks::PopupControlMenu = [&](TControl* c, TPoint) {
        EXPECT_EQ(c, editor);
        ++popups;
    };
    SendMessageW(editor->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(editor->Handle()), MAKELPARAM(-1, -1));
    EXPECT_EQ(popups, 0);

    // With the text selected the control's own menu is back.
    Select(editor, 1, 2);
    EXPECT_EQ(editor->GetPopupMenu(), plain);
    SendMessageW(editor->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(editor->Handle()), MAKELPARAM(-1, -1));
    EXPECT_EQ(popups, 1);
    hooks::PopupControlMenu = savedHook;

    editor->SetAutoVerbMenu(false);
    Select(editor, 0, 1);
    EXPECT_EQ(editor->GetPopupMenu(), plain);
}

TEST_F(OleEditorTest, DeletingAnObjectFromTheTextClosesItWithoutSaving) {
    FakeObject* object = InsertFake({{0, L"Edit", OLEVERBATTRIB_ONCONTAINERMENU}});
    Select(editor, 0, 1);
    ASSERT_NE(editor->GetPopupMenu(), nullptr);
    SendMessageW(editor->Handle(), EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(L""));
    EXPECT_EQ(editor->RichEditOle()->GetObjectCount(), 0);
    ASSERT_FALSE(object->closes.empty());
    EXPECT_EQ(object->closes[0], static_cast<DWORD>(OLECLOSE_NOSAVE));
    EXPECT_EQ(object->unadvises, 1);
    // Nothing of it stays current: verbs go nowhere.
    editor->DoVerb(0);
    EXPECT_TRUE(object->verbsRun.empty());
}

TEST_F(OleEditorTest, CancellingTheInsertObjectDialogInsertsNothing) {
    bool seen = false;
    bool inserted;
    {
        DialogDriver cancel([&](HWND d) {
            seen = true;
            PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
        });
        inserted = editor->InsertObjectDialog();
    }
    EXPECT_FALSE(inserted);
    EXPECT_TRUE(seen);
    EXPECT_EQ(editor->RichEditOle()->GetObjectCount(), 0);
}

TEST(InsertObjectDialog, HookPutsTheDialogInTheMiddleAThirdOfTheWayDown) {
    HWND dialog = CreateWindowExA(0, "STATIC", "dialog", WS_POPUP, 5, 5, 300, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(InsertObjectDialogHook(dialog, WM_INITDIALOG, 0, 0), 1u);
    RECT r;
    GetWindowRect(dialog, &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 300) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 200) / 3);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(InsertObjectDialogHook(dialog, WM_COMMAND, 0, 0), 0u);
    DestroyWindow(dialog);
}

}  // namespace
}  // namespace treskel::test
