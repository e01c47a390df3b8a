// RichOLE: OLE objects in the note editor: the callback the rich-edit window
// asks about storage, in-place frames and drops; object creation from the
// Insert Object dialog; verbs and their menu; closing the objects; and the
// advise sink through which a changed object marks the note modified.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// The class library's headers come first: they remove the GetObject macro
// that would rename IRichEditOle's method.
#include "platform/Classes.h"
#include "platform/Handles.h"
#include "platform/Menus.h"
#include "richedit/RichEdit2Rules.h"

#include <ole2.h>
#include <oledlg.h>
#include <richole.h>

#undef FindText   // the common dialogs' macro; FindText is the editor's
#undef GetObject  // the GDI macro; GetObject is IRichEditOle's

namespace treskel {

class TCustomRichEditEx;

// Raises EOleError with the system's text for a failing result.
void OleCheck(HRESULT hr);
// OLE is initialised on this thread for the rest of the run.
void EnsureOleInitialized();
// Gives every picture object of a rich-edit control (a window or a
// windowless one) a form the system's data cache can draw, where the cache
// cannot draw the form the picture came in.
void MakePicturesDrawable(IRichEditOle* ole);
// The Insert Object dialog's hook: on WM_INITDIALOG it puts the dialog (or,
// for a child dialog, its parent) in the middle across and a third of the
// way down the screen.
UINT CALLBACK InsertObjectDialogHook(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// How an object is created: 0 new, 1 from a file, 2 linked to a file,
// 3 from data, 4 linked to data.
struct TOleCreateRequest {
    int Kind = 0;
    bool ShowAsIcon = false;
    HGLOBAL IconMetaPict = nullptr;
    CLSID ClassID = CLSID_NULL;
    std::wstring FileName;
    ComPtr<IDataObject> DataObject;
};

class TRichEditOleCallback final : public IRichEditOleCallback {
public:
    explicit TRichEditOleCallback(TCustomRichEditEx* richEdit) : richEdit_(richEdit) {}
    // The control is gone; later calls do nothing.
    void Detach() { richEdit_ = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetNewStorage(LPSTORAGE* storage) override;
    STDMETHODIMP GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* doc,
                                   LPOLEINPLACEFRAMEINFO frameInfo) override;
    STDMETHODIMP ShowContainerUI(BOOL show) override;
    STDMETHODIMP QueryInsertObject(LPCLSID clsid, LPSTORAGE storage, LONG cp) override;
    STDMETHODIMP DeleteObject(LPOLEOBJECT object) override;
    STDMETHODIMP QueryAcceptData(LPDATAOBJECT data, CLIPFORMAT* format, DWORD reco, BOOL really,
                                 HGLOBAL metaPict) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
    STDMETHODIMP GetClipboardData(CHARRANGE* range, DWORD reco, LPDATAOBJECT* data) override;
    STDMETHODIMP GetDragDropEffect(BOOL drag, DWORD keyState, LPDWORD effect) override;
    STDMETHODIMP GetContextMenu(WORD selectionType, LPOLEOBJECT object, CHARRANGE* range, HMENU* menu) override;

private:
    ~TRichEditOleCallback() = default;
    LONG refs_ = 1;
    TCustomRichEditEx* richEdit_;
};

// Hears objects change and tells the control.
class TObjectAdviseSink final : public IAdviseSink {
public:
    explicit TObjectAdviseSink(TCustomRichEditEx* richEdit) : richEdit_(richEdit) {}
    void Detach() { richEdit_ = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP_(void) OnDataChange(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP_(void) OnViewChange(DWORD aspect, LONG index) override;
    STDMETHODIMP_(void) OnRename(IMoniker* moniker) override;
    STDMETHODIMP_(void) OnSave() override;
    STDMETHODIMP_(void) OnClose() override;

private:
    ~TObjectAdviseSink() = default;
    void Changed();
    LONG refs_ = 1;
    TCustomRichEditEx* richEdit_;
};

// The in-place frame of the form an object is activated in.
class TOleInPlaceFrame final : public IOleInPlaceFrame {
public:
    explicit TOleInPlaceFrame(HWND frame) : frame_(frame) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetWindow(HWND* wnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
    STDMETHODIMP GetBorder(LPRECT border) override;
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS widths) override;
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override;
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
    STDMETHODIMP InsertMenus(HMENU shared, LPOLEMENUGROUPWIDTHS widths) override;
    STDMETHODIMP SetMenu(HMENU shared, HOLEMENU ole, HWND activeObject) override;
    STDMETHODIMP RemoveMenus(HMENU shared) override;
    STDMETHODIMP SetStatusText(LPCOLESTR text) override;
    STDMETHODIMP EnableModeless(BOOL enable) override;
    STDMETHODIMP TranslateAccelerator(LPMSG msg, WORD id) override;

private:
    ~TOleInPlaceFrame() = default;
    LONG refs_ = 1;
    HWND frame_;
    ComPtr<IOleInPlaceActiveObject> active_;
};

struct TTrackedObject {
    ComPtr<IOleObject> object;
    DWORD connection = 0;
    bool viewAdvised = false;
};

// The OLE state of one editor control.
struct TRichOleState {
    ComPtr<IRichEditOle> richEditOle;
    ComPtr<TRichEditOleCallback> callback;
    ComPtr<IOleObject> currentObject;
    DWORD drawAspect = DVASPECT_CONTENT;
    SIZEL extent{0, 0};
    std::vector<std::string> verbNames;
    std::vector<int32_t> verbEntries;
    bool verbsBuilt = false;
    OwnedPtr<TPopupMenu> verbMenu;
    std::vector<TTrackedObject> tracked;
    ComPtr<TObjectAdviseSink> sink;
    ComPtr<TOleInPlaceFrame> frame;

    TRichOleState();
    ~TRichOleState();
    TRichOleState(const TRichOleState&) = delete;
    TRichOleState& operator=(const TRichOleState&) = delete;
};

}  // namespace treskel
