#include "foundation/qclsysin.h"

#include <commctrl.h>
#include <lmcons.h>
#include <winspool.h>

#include <vector>

#include "platform/Dialogs.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "platform/Registry.h"

namespace treskel {

const char* const QclUnknownText = "(Unknown)";

namespace {

OSVERSIONINFOA VersionInfo() {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
    GetVersionExA(&v);
    return v;
}

struct PlatformFlags {
    PlatformFlags() {
        OSVERSIONINFOA v = VersionInfo();
        if (v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
            QclIsWin95 = true;
            QclIsWin98 = v.dwMinorVersion >= 10;
            // SPI_GETWINDOWSEXTENSION: the Plus! pack on that family.
            QclPlusAvailable = SystemParametersInfoA(92, 1, nullptr, 0) != 0;
        } else {
            QclIsNT = v.dwPlatformId == VER_PLATFORM_WIN32_NT;
            QclPlusAvailable = true;
        }
    }
};

}  // namespace

bool QclIsWin95 = false;
bool QclIsWin98 = false;
bool QclIsNT = false;
bool QclPlusAvailable = false;
static const PlatformFlags platformFlags;

// ------------------------------------------------------------ procedures

std::string QclGetOSPlatformName(DWORD platformId) {
    switch (platformId) {
        case 0: return "Win32s";
        case 1: return "Windows 95";
        case 2: return "Windows NT";
        default: return QclUnknownText;
    }
}

std::string QclGetOSPlatformName() { return QclGetOSPlatformName(VersionInfo().dwPlatformId); }

std::string QclGetCPUName(DWORD processorType) {
    switch (processorType) {
        case 386: return "Intel 386";
        case 486: return "Intel 486";
        case 586: return "Intel Pentium";
        case 21064: return "Alpha 21064";
        case 2000:
        case 3000:
        case 4000: return "Mips R" + IntToStr(processorType);
        default: return IntToStr(processorType);
    }
}

std::string QclGetCPUName() {
    SYSTEM_INFO si{};
    GetSystemInfo(&si);
    return QclGetCPUName(si.dwProcessorType);
}

namespace {
std::string RegisteredValue(const char* name) {
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    std::string key = std::string("\\SOFTWARE\\Microsoft\\") + (QclIsNT ? "Windows NT" : "Windows") + "\\CurrentVersion";
    if (!reg.OpenKeyReadOnly(key)) return QclUnknownText;
    try {
        return reg.ReadString(name);
    } catch (const ERegistryException&) {
        return {};
    }
}
}  // namespace

std::string QclGetRegisteredOrganization() { return RegisteredValue("RegisteredOrganization"); }

std::string QclGetRegisteredOwner() { return RegisteredValue("RegisteredOwner"); }

std::string QclGetOSVersionString() {
    OSVERSIONINFOA v = VersionInfo();
    return Format("%lu.%lu", v.dwMajorVersion, v.dwMinorVersion);
}

std::string QclGetComputerNameStr() {
    char buf[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD n = sizeof buf;
    if (!GetComputerNameA(buf, &n)) return QclUnknownText;
    return std::string(buf, n);
}

std::string QclGetUserNameStr() {
    char buf[UNLEN + 1];
    DWORD n = sizeof buf;
    if (!GetUserNameA(buf, &n) || n == 0) return QclUnknownText;
    return std::string(buf, n - 1);  // the count includes the terminating zero
}

std::string QclGetTempPath() {
    char buf[MAX_PATH + 1];
    DWORD n = GetTempPathA(MAX_PATH, buf);
    return n > 0 && n < MAX_PATH ? std::string(buf, n) : std::string();
}

std::string QclGetTempFileName() {
    char buf[MAX_PATH + 1];
    std::string dir = QclGetTempPath();
    if (dir.empty() || GetTempFileNameA(dir.c_str(), "DEL", 0, buf) == 0) return {};
    return buf;
}

int QclGetFreeResources(int) { return 0; }

int QclGetDisplayColorDepth() {
    OwnedDC dc(CreateDCA("DISPLAY", nullptr, nullptr, nullptr));
    if (!dc) return 0;
    return GetDeviceCaps(dc.Get(), BITSPIXEL) * GetDeviceCaps(dc.Get(), PLANES);
}

void QclGetEnvironment(TStrings& list) {
    list.BeginUpdate();
    list.Clear();
    char* block = GetEnvironmentStringsA();
    if (block != nullptr) {
        for (const char* p = block; *p != '\0'; p += strlen(p) + 1) list.Add(p);
        FreeEnvironmentStringsA(block);
    }
    list.EndUpdate();
}

// ------------------------------------------------------------ TQclSysInfo

TQclSysInfo::TQclSysInfo(TComponent* owner)
    : TQclComponent(owner),
      environment_(std::make_unique<TStringList>()),
      fonts_(std::make_unique<TStringList>()),
      printers_(std::make_unique<TStringList>()) {}

TQclSysInfo::~TQclSysInfo() = default;

TStringList* TQclSysInfo::AllFonts() {
    fonts_->SetSorted(false);
    fonts_->Clear();
    if (TScreen* screen = EnsureScreen()) fonts_->AddStrings(*screen->Fonts());
    fonts_->SetSorted(true);
    return fonts_.get();
}

TStringList* TQclSysInfo::AllPrinters() {
    printers_->SetSorted(false);
    printers_->Clear();
    DWORD needed = 0, count = 0;
    DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    EnumPrintersA(flags, nullptr, 4, nullptr, 0, &needed, &count);
    if (needed > 0) {
        std::vector<BYTE> buf(needed);
        if (EnumPrintersA(flags, nullptr, 4, buf.data(), needed, &needed, &count)) {
            auto* info = reinterpret_cast<PRINTER_INFO_4A*>(buf.data());
            for (DWORD i = 0; i < count; ++i)
                if (info[i].pPrinterName != nullptr) printers_->Add(info[i].pPrinterName);
        }
    }
    printers_->SetSorted(true);
    return printers_.get();
}

TStringList* TQclSysInfo::Environment() {
    QclGetEnvironment(*environment_);
    return environment_.get();
}

int TQclSysInfo::ScreenSaverDelay() const {
    int seconds = 0;
    SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &seconds, 0);
    return seconds / 60;
}

std::string TQclSysInfo::WinPath() const { return QclGetWindowsDir(); }

std::string TQclSysInfo::WinSysPath() const { return QclGetSystemDir(); }

std::string TQclSysInfo::FreeGdiRes() const { return Format("%d %%", QclGetFreeResources(1) & 0x7F); }
std::string TQclSysInfo::FreeUsrRes() const { return Format("%d %%", QclGetFreeResources(2) & 0x7F); }
std::string TQclSysInfo::FreeSysRes() const { return Format("%d %%", QclGetFreeResources(0) & 0x7F); }

int TQclSysInfo::BuildNumber() const { return static_cast<int>(VersionInfo().dwBuildNumber & 0xFFFF); }

namespace {
MEMORYSTATUS Memory() {
    MEMORYSTATUS m{};
    m.dwLength = sizeof m;
    GlobalMemoryStatus(&m);
    return m;
}
int KB(SIZE_T bytes) { return static_cast<int>(bytes / 1024); }
}  // namespace

int TQclSysInfo::MemPhysTotal() const { return KB(Memory().dwTotalPhys); }
int TQclSysInfo::MemPhysFree() const { return KB(Memory().dwAvailPhys); }
int TQclSysInfo::MemVirtTotal() const { return KB(Memory().dwTotalVirtual); }
int TQclSysInfo::MemVirtFree() const { return KB(Memory().dwAvailVirtual); }
int TQclSysInfo::MemPageTotal() const { return KB(Memory().dwTotalPageFile); }
int TQclSysInfo::MemPageFree() const { return KB(Memory().dwAvailPageFile); }
std::string TQclSysInfo::MemoryLoaded() const { return Format("%lu %%", Memory().dwMemoryLoad); }

uint8_t TQclSysInfo::ProcessorNumber() const {
    SYSTEM_INFO si{};
    GetSystemInfo(&si);
    return static_cast<uint8_t>(si.dwNumberOfProcessors);
}

std::string TQclSysInfo::DefaultLanguageString() const {
    char buf[256];
    DWORD n = VerLanguageNameA(GetSystemDefaultLangID(), buf, 255);
    return std::string(buf, std::min<DWORD>(n, 255));
}

std::string TQclSysInfo::TimeZone() const {
    TIME_ZONE_INFORMATION tz{};
    if (GetTimeZoneInformation(&tz) == TIME_ZONE_ID_INVALID) return {};
    char buf[sizeof tz.StandardName * 2];
    int n = WideCharToMultiByte(CP_ACP, 0, tz.StandardName, -1, buf, sizeof buf, nullptr, nullptr);
    return n > 0 ? std::string(buf) : std::string();
}

int TQclSysInfo::TimeZoneDiff() const {
    TIME_ZONE_INFORMATION tz{};
    if (GetTimeZoneInformation(&tz) == TIME_ZONE_ID_INVALID) return 0;
    return tz.Bias;
}

int TQclSysInfo::ScreenWidth() const { return GetSystemMetrics(SM_CXSCREEN); }
int TQclSysInfo::ScreenHeight() const { return GetSystemMetrics(SM_CYSCREEN); }
int TQclSysInfo::ScreenPPi() const {
    TScreen* screen = EnsureScreen();
    return screen != nullptr ? screen->PixelsPerInch() : 96;
}

bool TQclSysInfo::ToggleState(int vk) { return (GetKeyState(vk) & 1) != 0; }

void TQclSysInfo::SetToggleState(int vk, bool on) {
    if (ToggleState(vk) == on) return;
    if (QclIsWin95) {
        BYTE keys[256];
        if (!GetKeyboardState(keys)) return;
        keys[vk] ^= 1;
        SetKeyboardState(keys);
    } else {
        keybd_event(static_cast<BYTE>(vk), 0x45, KEYEVENTF_EXTENDEDKEY, 0);
        keybd_event(static_cast<BYTE>(vk), 0x45, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
    }
}

namespace {
constexpr UINT kUpdateAndBroadcast = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;

bool GetSpiBool(UINT action) {
    BOOL v = FALSE;
    return SystemParametersInfoA(action, 0, &v, 0) && v;
}
void SetSpiValue(UINT action, UINT value) { SystemParametersInfoA(action, value, nullptr, kUpdateAndBroadcast); }
}  // namespace

int TQclSysInfo::KeyboardDelay() const {
    int v = 0;
    SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &v, 0);
    return v;
}

void TQclSysInfo::SetKeyboardDelay(int value) { SetSpiValue(SPI_SETKEYBOARDDELAY, static_cast<UINT>(value)); }

int TQclSysInfo::KeyboardSpeed() const {
    DWORD v = 0;
    SystemParametersInfoA(SPI_GETKEYBOARDSPEED, 0, &v, 0);
    return static_cast<int>(v);
}

void TQclSysInfo::SetKeyboardSpeed(int value) { SetSpiValue(SPI_SETKEYBOARDSPEED, static_cast<UINT>(value)); }

bool TQclSysInfo::WindowAnimation() const {
    ANIMATIONINFO ai{};
    ai.cbSize = sizeof ai;
    return SystemParametersInfoA(SPI_GETANIMATION, sizeof ai, &ai, 0) && ai.iMinAnimate != 0;
}

void TQclSysInfo::SetWindowAnimation(bool on) {
    ANIMATIONINFO ai{};
    ai.cbSize = sizeof ai;
    ai.iMinAnimate = on ? 1 : 0;
    SystemParametersInfoA(SPI_SETANIMATION, sizeof ai, &ai, kUpdateAndBroadcast);
}

bool TQclSysInfo::WarningBeep() const { return GetSpiBool(SPI_GETBEEP); }
void TQclSysInfo::SetWarningBeep(bool on) { SetSpiValue(SPI_SETBEEP, on ? 1 : 0); }
bool TQclSysInfo::ScreenSaveActive() const { return GetSpiBool(SPI_GETSCREENSAVEACTIVE); }
void TQclSysInfo::SetScreenSaveActive(bool on) { SetSpiValue(SPI_SETSCREENSAVEACTIVE, on ? 1 : 0); }

bool TQclSysInfo::FontSmoothing() const { return QclPlusAvailable && GetSpiBool(SPI_GETFONTSMOOTHING); }
void TQclSysInfo::SetFontSmoothing(bool on) {
    if (QclPlusAvailable) SetSpiValue(SPI_SETFONTSMOOTHING, on ? 1 : 0);
}
bool TQclSysInfo::DragFullWindows() const { return QclPlusAvailable && GetSpiBool(SPI_GETDRAGFULLWINDOWS); }
void TQclSysInfo::SetDragFullWindows(bool on) {
    if (QclPlusAvailable) SetSpiValue(SPI_SETDRAGFULLWINDOWS, on ? 1 : 0);
}
bool TQclSysInfo::SnapToDefaultButton() const { return QclIsNT && GetSpiBool(SPI_GETSNAPTODEFBUTTON); }
void TQclSysInfo::SetSnapToDefaultButton(bool on) {
    if (QclIsNT) SetSpiValue(SPI_SETSNAPTODEFBUTTON, on ? 1 : 0);
}

// ------------------------------------------------------------ single instance

namespace {
int livingOneInstances = 0;
}  // namespace

std::function<void()>& QclHaltProc() {
    static std::function<void()> halt = [] { ExitProcess(0); };
    return halt;
}

TQclOneInstance::TQclOneInstance(TComponent* owner) : TQclComponent(owner) {
    if (++livingOneInstances > 1) {
        --livingOneInstances;
        throw QclEOneInstError(StaticClassName, 1);
    }
}

TQclOneInstance::~TQclOneInstance() { --livingOneInstances; }

void TQclOneInstance::Loaded() {
    TQclComponent::Loaded();
    if (ComponentState().Contains(TComponentStateItem::csDesigning) || !enabled_) return;
    if (QclApplication == nullptr || !QclApplication->PrevInstance()) return;
    switch (mode_) {
        case TQclOneInstanceMode::oiActivateOnly: QclActivatePrevInstance(); break;
        case TQclOneInstanceMode::oiDefaultMessage: {
            std::string title = Application != nullptr ? Application->Title() : std::string();
            MessageDlg("\"" + title + "\" was already started...", TMsgDlgType::mtInformation, {TMsgDlgBtn::mbOK}, 0);
            QclActivatePrevInstance();
            break;
        }
        case TQclOneInstanceMode::oiCustom:
            if (OnCustom)
                OnCustom(this);
            else
                QclActivatePrevInstance();
            break;
    }
    if (Application != nullptr) Application->Terminate();
    if (QclHaltProc()) QclHaltProc()();
}

UINT QclActivateInstanceMessage() {
    static const UINT msg = RegisterWindowMessageA("QclActivatePrevInstance");
    return msg;
}

void QclActivatePrevInstance() {
    if (QclApplication == nullptr || !QclApplication->PrevInstance() || Application == nullptr) return;
    std::string title = Application->Title();
    // This instance's own window must not be the one found.
    SetWindowTextA(Application->Handle(), "");
    HWND other = FindWindowA("TApplication", title.c_str());
    if (other == nullptr) return;
    DWORD pid = 0;
    GetWindowThreadProcessId(other, &pid);
    AllowSetForegroundWindow(pid);
    PostMessageA(other, QclActivateInstanceMessage(), 0, 0);
}

void QclBringMainFormForward() {
    if (Application == nullptr) return;
    TCustomForm* form = Application->MainForm();
    if (form == nullptr) return;
    // Hidden in the tray: show it as the tray icon would.
    if (!form->Visible()) form->Show();
    HWND wnd = form->Handle();
    if (!IsWindowVisible(wnd)) ShowWindow(wnd, SW_SHOW);
    if (IsIconic(wnd)) ShowWindow(wnd, SW_RESTORE);
    BringWindowToTop(wnd);
    SetForegroundWindow(wnd);
}

namespace {
// Listens on the application's window for a second instance's call.
WindowSubclass& Listener() {
    static WindowSubclass listener;
    return listener;
}
}  // namespace

void QclInstallInstanceListener() {
    if (Application == nullptr || Listener().Attached()) return;
    Listener().Attach(Application->Handle(), [](UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (msg != QclActivateInstanceMessage()) return false;
        result = 0;
        QclBringMainFormForward();
        return true;
    });
}

void QclRemoveInstanceListener() { Listener().Detach(); }

// ------------------------------------------------------------ registration

namespace {
// A property a layout may hold but that only reports the system's state.
template <class C>
void IgnoredProps(PublishClass<C, TQclComponent>& pc, std::initializer_list<const char*> names) {
    for (const char* n : names) pc.Custom(n, [](C*, const FormValue&, LayoutReader&) {});
}
}  // namespace

void RegisterSysInfoClasses() {
    PublishClass<TQclOneInstance, TQclComponent>()
        .String("About", &TQclOneInstance::About, &TQclOneInstance::SetAbout)
        .Bool("Enabled", &TQclOneInstance::Enabled, &TQclOneInstance::SetEnabled, true)
        .Enum<TQclOneInstanceMode>("Mode", &TQclOneInstance::Mode, &TQclOneInstance::SetMode,
                                   TQclOneInstanceMode::oiActivateOnly)
        .Event("OnCustom", &TQclOneInstance::OnCustom);
    PublishClass<TQclSysInfo, TQclComponent> sysInfo;
    sysInfo.String("About", &TQclSysInfo::About, &TQclSysInfo::SetAbout);
    IgnoredProps(sysInfo,
                 {"AllFonts", "AllPrinters", "CurrentUser", "RegisteredCompany", "RegisteredOwner", "ScreenSaverDelay",
                  "VersionWIN", "WinPath", "WinSysPath", "Environment", "FreeGdiRes", "FreeUsrRes", "FreeSysRes",
                  "BuildNumber", "MemPhysTotal", "MemPhysFree", "MemVirtTotal", "MemVirtFree", "MemPageTotal",
                  "MemPageFree", "MemoryLoaded", "Platform", "TempPath", "Computername", "ProcessorNumber",
                  "ProcessorType", "ColorDepth", "DefaultLanguageString", "TimeZone", "TimeZoneDiff", "PlusAvailable",
                  "ScreenWidth", "ScreenHeight", "ScreenPPi", "NumLockState", "CapsLockState", "ScrollLockState",
                  "DefaultLanguageID", "KeyboardDelay", "KeyboardSpeed", "WindowAnimation", "WarningBeep",
                  "ScreenSaveActive", "FontSmoothing", "DragFullWindows", "SnapToDefaultButton"});
}

}  // namespace treskel
