// System information (procedures and the TQclSysInfo component) and the
// single-instance guard TQclOneInstance.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "foundation/qclclass.h"

namespace treskel {

// Set once when the library starts.
extern bool QclIsWin95;
extern bool QclIsWin98;
extern bool QclIsNT;
extern bool QclPlusAvailable;

// "(Unknown)": every name that cannot be had.
extern const char* const QclUnknownText;

std::string QclGetOSPlatformName();
std::string QclGetOSPlatformName(DWORD platformId);
std::string QclGetCPUName();
std::string QclGetCPUName(DWORD processorType);
std::string QclGetRegisteredOrganization();
std::string QclGetRegisteredOwner();
std::string QclGetOSVersionString();
std::string QclGetComputerNameStr();
std::string QclGetUserNameStr();
std::string QclGetTempPath();
// A new, empty file in the temporary directory whose name starts with
// "DEL"; empty when none could be made.
std::string QclGetTempFileName();
// Free resources of kind 0 system, 1 GDI, 2 user.  Only the 16-bit
// Windows 95 family could tell; on NT (and here) it is 0.
int QclGetFreeResources(int kind);
int QclGetDisplayColorDepth();
void QclGetEnvironment(TStrings& list);

// ------------------------------------------------------------ TQclSysInfo

// Facts about the machine, computed at each read.  Only the switches and
// keyboard settings can be set, and only from code: values in a layout
// are ignored so that loading a window never changes the system.
class TQclSysInfo : public TQclComponent {
    TRESKEL_CLASS(TQclSysInfo)
public:
    explicit TQclSysInfo(TComponent* owner);
    ~TQclSysInfo() override;

    TStringList* AllFonts();
    TStringList* AllPrinters();
    std::string CurrentUser() const { return QclGetUserNameStr(); }
    std::string RegisteredCompany() const { return QclGetRegisteredOrganization(); }
    std::string RegisteredOwner() const { return QclGetRegisteredOwner(); }
    int ScreenSaverDelay() const;
    std::string VersionWIN() const { return QclGetOSVersionString(); }
    std::string WinPath() const;
    std::string WinSysPath() const;
    TStringList* Environment();
    std::string FreeGdiRes() const;
    std::string FreeUsrRes() const;
    std::string FreeSysRes() const;
    int BuildNumber() const;
    int MemPhysTotal() const;
    int MemPhysFree() const;
    int MemVirtTotal() const;
    int MemVirtFree() const;
    int MemPageTotal() const;
    int MemPageFree() const;
    std::string MemoryLoaded() const;
    std::string Platform() const { return QclGetOSPlatformName(); }
    std::string TempPath() const { return QclGetTempPath(); }
    std::string Computername() const { return QclGetComputerNameStr(); }
    uint8_t ProcessorNumber() const;
    std::string ProcessorType() const { return QclGetCPUName(); }
    uint8_t ColorDepth() const { return static_cast<uint8_t>(QclGetDisplayColorDepth()); }
    std::string DefaultLanguageString() const;
    std::string TimeZone() const;
    int TimeZoneDiff() const;
    bool PlusAvailable() const { return QclPlusAvailable; }
    int ScreenWidth() const;
    int ScreenHeight() const;
    int ScreenPPi() const;
    int DefaultLanguageID() const { return GetSystemDefaultLangID(); }

    bool NumLockState() const { return ToggleState(VK_NUMLOCK); }
    void SetNumLockState(bool on) { SetToggleState(VK_NUMLOCK, on); }
    bool CapsLockState() const { return ToggleState(VK_CAPITAL); }
    void SetCapsLockState(bool on) { SetToggleState(VK_CAPITAL, on); }
    bool ScrollLockState() const { return ToggleState(VK_SCROLL); }
    void SetScrollLockState(bool on) { SetToggleState(VK_SCROLL, on); }
    int KeyboardDelay() const;
    void SetKeyboardDelay(int value);
    int KeyboardSpeed() const;
    void SetKeyboardSpeed(int value);
    bool WindowAnimation() const;
    void SetWindowAnimation(bool on);
    bool WarningBeep() const;
    void SetWarningBeep(bool on);
    bool ScreenSaveActive() const;
    void SetScreenSaveActive(bool on);
    // False and unchangeable unless QclPlusAvailable.
    bool FontSmoothing() const;
    void SetFontSmoothing(bool on);
    bool DragFullWindows() const;
    void SetDragFullWindows(bool on);
    // False and unchangeable unless QclIsNT.
    bool SnapToDefaultButton() const;
    void SetSnapToDefaultButton(bool on);

    std::string GetTempFileName() const { return QclGetTempFileName(); }

private:
    static bool ToggleState(int vk);
    static void SetToggleState(int vk, bool on);
    std::unique_ptr<TStringList> environment_, fonts_, printers_;
};

// ------------------------------------------------------------ TQclOneInstance

enum class TQclOneInstanceMode { oiActivateOnly, oiDefaultMessage, oiCustom };
TRESKEL_ENUM_INFO(TQclOneInstanceMode, "oiActivateOnly", "oiDefaultMessage", "oiCustom")

// Ends a second start of the program while its main window loads, after
// calling the running instance to the front.  One per program.
class TQclOneInstance : public TQclComponent {
    TRESKEL_CLASS(TQclOneInstance)
public:
    // Raises QclEOneInstError when another one exists.
    explicit TQclOneInstance(TComponent* owner);
    ~TQclOneInstance() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }
    TQclOneInstanceMode Mode() const { return mode_; }
    void SetMode(TQclOneInstanceMode value) { mode_ = value; }

    void Loaded() override;

    TNotifyEvent OnCustom;

private:
    bool enabled_ = true;
    TQclOneInstanceMode mode_ = TQclOneInstanceMode::oiActivateOnly;
};

// Calls the running instance of this program to the front: its hidden
// application window (class "TApplication", the same title) gets a private
// message, on which that instance shows its main window again (also from
// the tray), restores it when minimised and raises it.  Only when
// QclApplication->PrevInstance().
void QclActivatePrevInstance();
// The private message of QclActivatePrevInstance.
UINT QclActivateInstanceMessage();
// What the running instance does on that message.
void QclBringMainFormForward();
// Listens for that message on the application's window (QclInitialize).
void QclInstallInstanceListener();
void QclRemoveInstanceListener();

// Ends the process after a second start (tests put their own here).
std::function<void()>& QclHaltProc();

void RegisterSysInfoClasses();

}  // namespace treskel
