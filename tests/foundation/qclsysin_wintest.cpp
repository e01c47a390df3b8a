// System information and the single-instance guard inside one process.
#include <gtest/gtest.h>
#include <windows.h>

#include "foundation/qclsysin.h"
#include "platform/FileSys.h"
#include "platform/Forms.h"
#include "support/GuiTest.h"

namespace treskel {
namespace {

TEST(QclSysProcs, NamesOfPlatformsAndProcessors) {
    EXPECT_EQ(QclGetOSPlatformName(0), "Win32s");
    EXPECT_EQ(QclGetOSPlatformName(1), "Windows 95");
    EXPECT_EQ(QclGetOSPlatformName(2), "Windows NT");
    EXPECT_EQ(QclGetOSPlatformName(3), "(Unknown)");
    EXPECT_EQ(QclGetCPUName(386), "Intel 386");
    EXPECT_EQ(QclGetCPUName(486), "Intel 486");
    EXPECT_EQ(QclGetCPUName(586), "Intel Pentium");
    EXPECT_EQ(QclGetCPUName(21064), "Alpha 21064");
    EXPECT_EQ(QclGetCPUName(2000), "Mips R2000");
    EXPECT_EQ(QclGetCPUName(3000), "Mips R3000");
    EXPECT_EQ(QclGetCPUName(4000), "Mips R4000");
    EXPECT_EQ(QclGetCPUName(8664), "8664");
}

TEST(QclSysProcs, TempFileNamesAreNewFiles) {
    std::string a = QclGetTempFileName();
    std::string b = QclGetTempFileName();
    ASSERT_FALSE(a.empty());
    EXPECT_NE(a, b);
    EXPECT_TRUE(SameText(ExtractFilePath(a), QclGetTempPath()));
    EXPECT_EQ(UpperCase(ExtractFileName(a).substr(0, 3)), "DEL");
    EXPECT_TRUE(FileExists(a));
    EXPECT_EQ(FileSizeOf(a), 0);
    DeleteFile(a);
    DeleteFile(b);
}

TEST(QclSysProcs, PlatformFlags) {
    // Wine presents itself as NT.
    EXPECT_TRUE(QclIsNT);
    EXPECT_FALSE(QclIsWin95);
    EXPECT_FALSE(QclIsWin98);
    EXPECT_TRUE(QclPlusAvailable);
}

TEST(QclSysInfoComponent, FactsOfThisMachine) {
    auto info = MakeOwned<TQclSysInfo>();
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
    GetVersionExA(&v);
    EXPECT_EQ(info->Platform(), "Windows NT");
    EXPECT_EQ(info->VersionWIN(), Format("%lu.%lu", v.dwMajorVersion, v.dwMinorVersion));
    EXPECT_EQ(info->BuildNumber(), static_cast<int>(v.dwBuildNumber & 0xFFFF));
    // Only a 16-bit thunk could tell; as on NT they are 0.
    EXPECT_EQ(info->FreeGdiRes(), "0 %");
    EXPECT_EQ(info->FreeUsrRes(), "0 %");
    EXPECT_EQ(info->FreeSysRes(), "0 %");
    EXPECT_GE(info->ProcessorNumber(), 1);
    EXPECT_FALSE(info->ProcessorType().empty());
    EXPECT_GT(info->MemPhysTotal(), 0);
    EXPECT_LE(info->MemPhysFree(), info->MemPhysTotal());
    EXPECT_GT(info->MemVirtTotal(), 0);
    EXPECT_NE(info->MemoryLoaded().find(" %"), std::string::npos);
    EXPECT_GE(info->ColorDepth(), 8);
    EXPECT_EQ(info->WinPath(), QclGetWindowsDir());
    EXPECT_EQ(info->WinSysPath(), QclGetSystemDir());
    EXPECT_EQ(info->TempPath().back(), '\\');
    EXPECT_EQ(info->ScreenWidth(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(info->ScreenHeight(), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GT(info->ScreenPPi(), 0);
    EXPECT_NE(info->Computername(), "");
    EXPECT_NE(info->CurrentUser(), "(Unknown)");
    EXPECT_NE(info->RegisteredOwner(), "(Unknown)");  // the key exists; the value may be empty
    EXPECT_EQ(info->DefaultLanguageID(), GetSystemDefaultLangID());
    EXPECT_FALSE(info->DefaultLanguageString().empty());
    EXPECT_TRUE(info->PlusAvailable());
    EXPECT_GT(info->AllFonts()->Count(), 0);
    EXPECT_TRUE(info->AllFonts()->Sorted());
    EXPECT_TRUE(info->AllPrinters()->Sorted());
}

TEST(QclSysInfoComponent, EnvironmentIsRefilledAtEachRead) {
    auto info = MakeOwned<TQclSysInfo>();
    SetEnvironmentVariableA("QCL_TEST_VALUE", "42");
    EXPECT_EQ(info->Environment()->Values("QCL_TEST_VALUE"), "42");
    SetEnvironmentVariableA("QCL_TEST_VALUE", nullptr);
    EXPECT_EQ(info->Environment()->IndexOfName("QCL_TEST_VALUE"), -1);
}

TEST(QclSysInfoComponent, SwitchesWriteTheSystemSettings) {
    auto info = MakeOwned<TQclSysInfo>();
    bool beep = info->WarningBeep();
    info->SetWarningBeep(!beep);
    EXPECT_EQ(info->WarningBeep(), !beep);
    info->SetWarningBeep(beep);
    EXPECT_EQ(info->WarningBeep(), beep);
    int delay = info->KeyboardDelay();
    info->SetKeyboardDelay(delay == 2 ? 1 : 2);
    EXPECT_EQ(info->KeyboardDelay(), delay == 2 ? 1 : 2);
    info->SetKeyboardDelay(delay);
}

// Records instead of ending the process.
class OneInstanceTest : public testing::Test {
protected:
    void SetUp() override {
        savedHalt = QclHaltProc();
        QclHaltProc() = [this] { ++halts; };
        title = Application->Title();
        QclApplication->SetPrevInstance(true);
    }
    void TearDown() override {
        QclHaltProc() = savedHalt;
        QclApplication->SetPrevInstance(false);
        Application->SetTitle(title);
        SetWindowTextA(Application->Handle(), title.c_str());
        test::PumpMessages();
        Application->ResetTerminated();
    }
    std::string WindowText() {
        char buf[256] = {};
        GetWindowTextA(Application->Handle(), buf, sizeof buf);
        return buf;
    }

    std::function<void()> savedHalt;
    std::string title;
    int halts = 0;
};

TEST_F(OneInstanceTest, OnlyOnePerProgram) {
    auto first = MakeOwned<TQclOneInstance>();
    try {
        MakeOwned<TQclOneInstance>();
        FAIL();
    } catch (const QclEOneInstError& e) {
        EXPECT_STREQ(e.what(), "TQclOneInstance:\rAlready one TQclOneInstance control in this project!");
    }
    first.reset();
    // The refused one did not stay counted.
    EXPECT_NO_THROW(MakeOwned<TQclOneInstance>());
}

TEST_F(OneInstanceTest, NothingWithoutAnotherInstance) {
    QclApplication->SetPrevInstance(false);
    for (auto mode : {TQclOneInstanceMode::oiActivateOnly, TQclOneInstanceMode::oiDefaultMessage,
                      TQclOneInstanceMode::oiCustom}) {
        auto guard = MakeOwned<TQclOneInstance>();
        guard->SetMode(mode);
        int custom = 0;
        guard->OnCustom = [&](TObject*) { ++custom; };
        guard->Loaded();
        EXPECT_EQ(custom, 0);
    }
    EXPECT_EQ(halts, 0);
    EXPECT_TRUE(test::MessageBoxes().empty());
    EXPECT_FALSE(Application->Terminated());
}

TEST_F(OneInstanceTest, DisabledDoesNothing) {
    auto guard = MakeOwned<TQclOneInstance>();
    guard->SetEnabled(false);
    guard->Loaded();
    EXPECT_EQ(halts, 0);
}

TEST_F(OneInstanceTest, ActivatesAndEnds) {
    Application->SetTitle("QclOneInstanceTest");
    auto guard = MakeOwned<TQclOneInstance>();
    guard->Loaded();
    EXPECT_EQ(halts, 1);
    EXPECT_TRUE(Application->Terminated());
    // Its own window no longer answers to the title.
    EXPECT_EQ(WindowText(), "");
    EXPECT_EQ(FindWindowA("TApplication", "QclOneInstanceTest"), nullptr);
}

TEST_F(OneInstanceTest, DefaultMessageFirst) {
    Application->SetTitle("Treskel!");
    auto guard = MakeOwned<TQclOneInstance>();
    guard->SetMode(TQclOneInstanceMode::oiDefaultMessage);
    guard->Loaded();
    ASSERT_EQ(test::MessageBoxes().size(), 1u);
    EXPECT_EQ(test::MessageBoxes()[0].text, "\"Treskel!\" was already started...");
    EXPECT_EQ(test::MessageBoxes()[0].caption, "Information");
    EXPECT_EQ(test::MessageBoxes()[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(halts, 1);
}

TEST_F(OneInstanceTest, CustomHandlerInsteadOfActivation) {
    auto guard = MakeOwned<TQclOneInstance>();
    guard->SetMode(TQclOneInstanceMode::oiCustom);
    TObject* sender = nullptr;
    guard->OnCustom = [&](TObject* s) { sender = s; };
    guard->Loaded();
    EXPECT_EQ(sender, guard.get());
    EXPECT_EQ(halts, 1);
    EXPECT_EQ(WindowText(), title);  // no activation: the window kept its text

    guard->OnCustom = nullptr;  // without a handler: activation
    guard->Loaded();
    EXPECT_EQ(halts, 2);
    EXPECT_EQ(WindowText(), "");
}

// The running instance's side: the private message on its application
// window brings the main window back.
class MainFormForward : public testing::Test {
protected:
    void SetUp() override {
        form = MakeOwned<TForm>();
        form->SetCaption("Forward");
        form->SetBounds(10, 10, 300, 200);
        saved = Application->MainForm();
        Application->SetMainForm(form.get());
        form->Show();
        test::PumpMessages();
    }
    void TearDown() override {
        Application->SetMainForm(saved);
        form.reset();
    }
    void Call() { SendMessageA(Application->Handle(), QclActivateInstanceMessage(), 0, 0); }

    OwnedPtr<TForm> form;
    TCustomForm* saved = nullptr;
};

TEST_F(MainFormForward, FromTheTray) {
    form->Hide();
    ASSERT_FALSE(IsWindowVisible(form->Handle()));
    Call();
    EXPECT_TRUE(form->Visible());
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
}

TEST_F(MainFormForward, HiddenBehindTheFormsBack) {
    ShowWindow(form->Handle(), SW_HIDE);
    Call();
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
}

TEST_F(MainFormForward, Minimised) {
    ShowWindow(form->Handle(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(form->Handle()));
    Call();
    EXPECT_FALSE(IsIconic(form->Handle()));
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
}

}  // namespace
}  // namespace treskel
