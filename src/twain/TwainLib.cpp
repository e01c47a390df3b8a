// The connection to the source manager, its states, source selection and
// acquisition with its modal loop and transfers.
#include "twain/TwainLib.h"

#include <cstring>
#include <string>

#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "twain/TwainLibPriv.h"

namespace treskel {

using namespace treskel::twainlib;

namespace twainlib {

namespace {
void CopyName(char (&dest)[34], const char* text) {
    std::memset(dest, 0, sizeof dest);
    if (text != nullptr) std::strncpy(dest, text, sizeof dest - 1);
}

void InitAppIdentity(TW_IDENTITY& id) {
    id = TW_IDENTITY{};
    id.Version.MajorNum = 1;
    id.Version.MinorNum = 0;
    id.Version.Language = TWLG_USA;
    id.Version.Country = TWCY_USA;
    CopyName(id.Version.Info, "<?>");
    CopyName(id.Manufacturer, "<?>");
    CopyName(id.ProductFamily, "<?>");
    CopyName(id.ProductName, "<?>");
    id.ProtocolMajor = 1;
    id.ProtocolMinor = 6;
    id.SupportedGroups = DG_CONTROL | DG_IMAGE;
}

const char* ErrorText(int code) {
    switch (code) {
        case kErrCapGet: return "DAT_CAPABILITY/MSG_GET failed";
        case kErrCapSet: return "DAT_CAPABILITY/MSG_SET failed";
        case kErrManager: return "Source Manager operation failed";
        case kErrSource: return "DataSource operation failed";
        case kErrNotState4: return "TWAIN session not in State 4 (Source Open)";
        case kErrNullContainer: return "MSG_GET returned a NULL container handle";
        case kErrBadContainer: return "MSG_GET returned an invalid container handle";
        case kErrContainerType: return "Returned container is not valid type";
        case kErrItemType: return "Returned container has invalid ItemType";
        case kErrEmptyContainer: return "Returned container is empty";
        case kErrNoCommonValues: return "App and source found NO values in common";
        default: return "[no details available]";
    }
}

TW_UINT16 Call(TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, void* data) {
    Session& s = S();
    s.lastResult = TWRC_FAILURE;
    if (s.entry == nullptr) return TWRC_FAILURE;
    s.lastResult = s.entry(&s.app, dest, dg, dat, msg, data);
    return s.lastResult;
}
}  // namespace

Session& S() {
    static Session session = [] {
        Session s;
        InitAppIdentity(s.app);
        return s;
    }();
    return session;
}

bool ManagerCall(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, void* data) {
    return Call(nullptr, dg, dat, msg, data) == TWRC_SUCCESS;
}

bool SourceCall(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, void* data) {
    if (!Check(S().state >= 4)) {
        S().lastResult = TWRC_FAILURE;
        return false;
    }
    return Call(&S().source, dg, dat, msg, data) == TWRC_SUCCESS;
}

bool Check(bool condition) {
    if (!condition) TWAIN_ErrorBox("Assertion failed");
    return condition;
}

void RecordError(int code) {
    Session& s = S();
    if (s.error != kErrNone) return;
    s.error = code;
    if (code >= kErrCapGet && code <= kErrSource) {
        s.errorResult = s.lastResult;
        s.errorCondition = TWAIN_LastConditionCode();
    } else {
        s.errorResult = s.errorCondition = 0;
    }
}

namespace {

// A window of our own for the source to belong to when the caller gave
// none that exists; destroyed when it goes.
class ProxyWindow {
public:
    ProxyWindow() {
        wnd_ = CreateWindowExA(0, "STATIC", "Acquire Proxy", WS_POPUP | WS_VISIBLE | WS_BORDER | WS_SYSMENU,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr,
                               nullptr);
    }
    ~ProxyWindow() {
        if (wnd_ != nullptr) DestroyWindow(wnd_);
    }
    ProxyWindow(const ProxyWindow&) = delete;
    ProxyWindow& operator=(const ProxyWindow&) = delete;
    HWND Get() const { return wnd_; }

private:
    HWND wnd_ = nullptr;
};

// The caller's window stays disabled while the source has the user, and
// is enabled again however the loop ends.
class DisabledWindow {
public:
    explicit DisabledWindow(HWND wnd) : wnd_(wnd), wasDisabled_(EnableWindow(wnd, FALSE) != 0) {}
    ~DisabledWindow() {
        if (!wasDisabled_) EnableWindow(wnd_, TRUE);
    }
    DisabledWindow(const DisabledWindow&) = delete;
    DisabledWindow& operator=(const DisabledWindow&) = delete;

private:
    HWND wnd_;
    bool wasDisabled_;
};

// Keeps an image that arrived, or frees it when the list is full.
void StoreImage(HANDLE dib) {
    Session& s = S();
    if (s.imageCount >= kTwainMaxImages) {
        TWAIN_FreeDib(dib);
        return;
    }
    const int index = s.imageCount;
    s.images[static_cast<size_t>(index)] = dib;
    s.lastImage = dib;
    ++s.imageCount;
    if (s.callbackArmed && s.callback != nullptr) s.callback(dib, index);
}

// Ends a transfer: state 6 while more are pending, else 5.
bool EndTransfer() {
    Session& s = S();
    s.pending = TW_PENDINGXFERS{};
    if (!SourceCall(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &s.pending)) return false;
    s.state = s.pending.Count != 0 ? 6 : 5;
    return true;
}

// Discards whatever transfers are still pending.
void ResetTransfers() {
    Session& s = S();
    s.pending = TW_PENDINGXFERS{};
    if (SourceCall(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &s.pending)) s.state = 5;
}

// Takes the connection down to state 1, whatever the source refuses on the
// way: a step it refuses is passed over for the next one, and closing the
// manager closes a source it still holds.  Left in a middle state, the
// library would fail every later acquisition.
void CloseDown(HWND wnd) {
    Session& s = S();
    if (s.state == 7) EndTransfer();
    if (s.state == 6) ResetTransfers();
    if (s.state > 5) s.state = 5;
    if (s.state == 5 && !TWAIN_DisableSource()) s.state = 4;
    if (s.state == 4 && !TWAIN_CloseSource()) s.state = 3;
    if (s.state == 3 && !TWAIN_CloseSourceManager(wnd)) s.state = 2;
    TWAIN_UnloadSourceManager();
}

// Brings the connection back to state 1 however the acquisition ends.
class Teardown {
public:
    explicit Teardown(HWND wnd) : wnd_(wnd) {}
    ~Teardown() { CloseDown(wnd_); }
    Teardown(const Teardown&) = delete;
    Teardown& operator=(const Teardown&) = delete;

private:
    HWND wnd_;
};

}  // namespace
}  // namespace twainlib

// ---------------------------------------------------------------- states

int WINAPI TWAIN_LoadSourceManager() {
    Session& s = S();
    if (s.state >= 2) return TRUE;
    char dir[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryA(dir, sizeof dir);
    std::string path(dir, n < sizeof dir ? n : 0);
    if (!path.empty() && path.back() != ':' && path.back() != '\\') path += '\\';
    path += "TWAIN_32.DLL";
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        ModuleHandle module(LoadLibraryA(path.c_str()));
        if (module) {
            auto entry = reinterpret_cast<DSMENTRYPROC>(
                reinterpret_cast<void*>(GetProcAddress(module.Get(), "DSM_Entry")));
            if (entry != nullptr) {
                s.manager = std::move(module);
                s.entry = entry;
                s.state = 2;
            }
        }
    }
    s.present = s.state >= 2 ? 1 : -1;
    return s.state >= 2;
}

int WINAPI TWAIN_OpenSourceManager(HWND wnd) {
    Session& s = S();
    if (s.state == 1) TWAIN_LoadSourceManager();
    if (s.state != 2) return s.state >= 3;
    s.parent = wnd;
    if (ManagerCall(DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &s.parent)) s.state = 3;
    return s.state >= 3;
}

int WINAPI TWAIN_OpenDefaultSource() {
    Session& s = S();
    if (s.state != 3) return s.state >= 4;
    s.source = TW_IDENTITY{};
    if (ManagerCall(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &s.source))
        s.state = 4;
    else
        RecordError(kErrManager);
    return s.state >= 4;
}

int WINAPI TWAIN_EnableSource(HWND wnd) {
    Session& s = S();
    if (s.state != 4) return s.state >= 5;
    s.ui = TW_USERINTERFACE{};
    s.ui.ShowUI = s.hideUI ? 0 : 1;
    s.ui.ModalUI = 0;
    s.ui.hParent = wnd;
    SourceCall(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &s.ui);
    if (s.lastResult != TWRC_FAILURE)
        s.state = 5;
    else
        RecordError(kErrSource);
    return s.state >= 5;
}

int WINAPI TWAIN_DisableSource() {
    Session& s = S();
    if (s.state != 5) return s.state <= 4;
    if (SourceCall(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &s.ui)) s.state = 4;
    return s.state <= 4;
}

int WINAPI TWAIN_CloseSource() {
    Session& s = S();
    s.lastResult = TWRC_SUCCESS;
    if (s.state == 5) TWAIN_DisableSource();
    if (s.state != 4) return s.state <= 3;
    // The manager closes the source, as it opened it: a source closed
    // behind its back would be closed again with the manager.
    if (ManagerCall(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &s.source)) s.state = 3;
    return s.state <= 3;
}

int WINAPI TWAIN_CloseSourceManager(HWND wnd) {
    Session& s = S();
    s.lastResult = TWRC_SUCCESS;
    TWAIN_CloseSource();
    if (s.state != 3) return s.state <= 2;
    HWND parent = wnd;
    if (ManagerCall(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent)) s.state = 2;
    return s.state <= 2;
}

int WINAPI TWAIN_UnloadSourceManager() {
    Session& s = S();
    if (s.state != 2) return s.state <= 1;
    s.entry = nullptr;
    s.manager.Reset();
    s.state = 1;
    return TRUE;
}

// ---------------------------------------------------------------- selection and acquisition

int WINAPI TWAIN_SelectImageSource(HWND wnd) {
    // The manager's dialog opens over the window the user works in, not
    // where the hidden proxy stands.
    SystemDialogPlacement placement(wnd != nullptr && IsWindow(wnd) ? wnd : GetActiveWindow());
    std::unique_ptr<ProxyWindow> proxy;
    if (wnd == nullptr) {
        proxy = std::make_unique<ProxyWindow>();
        wnd = proxy->Get();
        if (wnd == nullptr) {
            TWAIN_ErrorBox("TWAIN_SelectImageSource: Unable to create proxy window");
            return FALSE;
        }
    } else if (!IsWindow(wnd)) {
        TWAIN_ErrorBox("TWAIN_SelectImageSource: window handle is invalid");
        return FALSE;
    }
    if (!TWAIN_LoadSourceManager()) {
        TWAIN_ErrorBox("Unable to load Source Manager (TWAIN_32.DLL)");
        return FALSE;
    }
    int chosen = FALSE;
    if (!TWAIN_OpenSourceManager(wnd)) {
        TWAIN_ErrorBox("Unable to open Source Manager (TWAIN_32.DLL)");
    } else {
        TW_IDENTITY choice{};
        chosen = ManagerCall(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, &choice);
    }
    CloseDown(wnd);
    return chosen;
}

HANDLE WINAPI TWAIN_AcquireImages(HWND wnd, unsigned pixelTypeMask) {
    Session& s = S();
    s.lastImage = nullptr;
    s.transferFailed = false;
    s.error = kErrNone;
    s.errorResult = s.errorCondition = 0;
    s.images.fill(nullptr);
    s.imageCount = 0;

    std::unique_ptr<ProxyWindow> proxy;
    if (wnd == nullptr || !IsWindow(wnd)) {
        proxy = std::make_unique<ProxyWindow>();
        wnd = proxy->Get();
        if (wnd == nullptr) {
            TWAIN_ErrorBox("Unable to create proxy window");
            return nullptr;
        }
    }
    Teardown teardown(wnd);
    if (!TWAIN_LoadSourceManager()) {
        TWAIN_ErrorBox("Unable to load Source Manager (TWAIN_32.DLL)");
    } else if (!TWAIN_OpenSourceManager(wnd)) {
        TWAIN_ErrorBox("Unable to open Source Manager (TWAIN_32.DLL)");
    } else if (!TWAIN_OpenDefaultSource()) {
        TWAIN_ReportLastError("Unable to open default Data Source.");
    } else if (!TWAIN_NegotiatePixelTypes(pixelTypeMask)) {
        TWAIN_ReportLastError("Failed to negotiate Pixel Type.");
    } else if (!TWAIN_EnableSource(wnd)) {
        TWAIN_ReportLastError("Failed to enable Data Source.");
    } else {
        AppModalLevel modal;
        DisabledWindow disabled(wnd);
        TWAIN_ModalEventLoop();
    }
    return s.lastImage;
}

int WINAPI TWAIN_ImageCount() { return S().imageCount; }

HANDLE WINAPI TWAIN_GetImage(int index) {
    const Session& s = S();
    if (index < 0 || index >= s.imageCount) return nullptr;
    return s.images[static_cast<size_t>(index)];
}

void WINAPI TWAIN_FreeDib(HANDLE dib) {
    if (dib != nullptr) GlobalMemory{static_cast<HGLOBAL>(dib)};
}

// ---------------------------------------------------------------- events and transfers

void WINAPI TWAIN_ModalEventLoop() {
    Session& s = S();
    MSG msg{};
    while (s.state >= 5 && s.lastImage == nullptr && !s.transferFailed) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The program was asked to quit: its own loop must see that too.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) break;
        if (!TWAIN_MessageHook(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

int WINAPI TWAIN_MessageHook(MSG* msg) {
    Session& s = S();
    if (s.state < 5 || msg == nullptr) return FALSE;
    TW_EVENT event{};
    event.pEvent = msg;
    event.TWMessage = MSG_NULL;
    SourceCall(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
    const bool claimed = s.lastResult == TWRC_DSEVENT;
    switch (event.TWMessage) {
        case MSG_XFERREADY:
            s.state = 6;
            TWAIN_TransferImages();
            break;
        case MSG_CLOSEDSREQ: TWAIN_DisableSource(); break;
        default: break;
    }
    return claimed;
}

void WINAPI TWAIN_TransferImages() {
    Session& s = S();
    if (!Check(s.state == 6)) return;
    while (s.state == 6) {
        TW_UINT32 handle = 0;
        SourceCall(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle);
        switch (s.lastResult) {
            case TWRC_XFERDONE:
                s.state = 7;
                StoreImage(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(handle)));
                break;
            case TWRC_CANCEL: s.state = 7; break;
            default:
                // Not asked for again: what is pending is dropped and the
                // acquisition ends with the images that came.
                s.transferFailed = true;
                ResetTransfers();
                return;
        }
        if (!EndTransfer()) return;
    }
}

int WINAPI TWAIN_TransferOneImage() {
    Session& s = S();
    if (!Check(s.state == 6)) return FALSE;
    TW_UINT32 handle = 0;
    SourceCall(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle);
    switch (s.lastResult) {
        case TWRC_XFERDONE:
            s.state = 7;
            s.lastImage = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(handle));
            break;
        case TWRC_CANCEL: s.state = 7; break;
        default: s.state = 6; break;
    }
    return TWAIN_FinishTransfer();
}

int WINAPI TWAIN_FinishTransfer() {
    Session& s = S();
    if (s.state == 7) EndTransfer();
    if (s.state == 6) ResetTransfers();
    return s.state <= 5;
}

// ---------------------------------------------------------------- settings and codes

int WINAPI TWAIN_ManagerPresent() {
    Session& s = S();
    if (s.present == 0) {
        if (s.state >= 2) {
            s.present = 1;
        } else {
            TWAIN_LoadSourceManager();
            TWAIN_UnloadSourceManager();
        }
    }
    return s.present > 0;
}

int WINAPI TWAIN_LibraryVersion() { return 106; }
int WINAPI TWAIN_CurrentState() { return S().state; }
int WINAPI TWAIN_UserInterfaceHidden() { return S().hideUI; }
void WINAPI TWAIN_HideUserInterface(int hide) { S().hideUI = hide != 0; }

void WINAPI TWAIN_SetImageCallback(TwainImageCallback callback) {
    S().callback = callback;
    S().callbackArmed = true;
}

void WINAPI TWAIN_ClearImageCallback() {
    S().callback = nullptr;
    S().callbackArmed = false;
}

void WINAPI TWAIN_SetAppIdentity(int majorNum, int minorNum, int language, int country, const char* info,
                                 const char* manufacturer, const char* family, const char* product) {
    TW_IDENTITY& id = S().app;
    id.Id = 0;
    id.Version.MajorNum = static_cast<TW_UINT16>(majorNum);
    id.Version.MinorNum = static_cast<TW_UINT16>(minorNum);
    id.Version.Language = static_cast<TW_UINT16>(language);
    id.Version.Country = static_cast<TW_UINT16>(country);
    CopyName(id.Version.Info, info);
    CopyName(id.Manufacturer, manufacturer);
    CopyName(id.ProductFamily, family);
    CopyName(id.ProductName, product);
    id.ProtocolMajor = 1;
    id.ProtocolMinor = 6;
    id.SupportedGroups = DG_CONTROL | DG_IMAGE;
}

uint16_t WINAPI TWAIN_LastResultCode() { return S().lastResult; }

uint16_t WINAPI TWAIN_LastConditionCode() {
    Session& s = S();
    TW_STATUS status{};
    // Asking for the status must not change the result being reported.
    const TW_UINT16 keep = s.lastResult;
    bool ok = false;
    if (s.state >= 4)
        ok = SourceCall(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
    else if (s.state == 3)
        ok = ManagerCall(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
    else
        return TWCC_SEQERROR;
    s.lastResult = keep;
    return ok ? status.ConditionCode : TWCC_BUMMER;
}

void WINAPI TWAIN_ErrorBox(const char* text) {
    ShowMessageBox(nullptr, text != nullptr ? text : "", "TWAIN Error", MB_OK | MB_ICONEXCLAMATION);
}

void WINAPI TWAIN_ReportLastError(const char* text) {
    const Session& s = S();
    std::string message = text != nullptr ? text : "";
    if (s.error != kErrNone) {
        message += "\n\n";
        message += ErrorText(s.error);
        if (s.error >= kErrCapGet && s.error <= kErrSource)
            message += " (result code " + std::to_string(s.errorResult) + ", condition code " +
                       std::to_string(s.errorCondition) + ")";
    }
    if (message.empty()) message = ErrorText(kErrNone);
    TWAIN_ErrorBox(message.c_str());
}

}  // namespace treskel
