// The settings store: where and how its values land, read back through
// the system's own registry and profile functions.
#include <gtest/gtest.h>
#include <windows.h>


#include "app/frmMain.h"
#include "foundation/qclnonvS.h"
#include "foundation/qclsysin.h"
#include "platform/FileSys.h"
#include "support/GuiTest.h"
#include "support/TestEnv.h"

namespace treskel {
namespace {

const char kStore[] = "SOFTWARE\\Qiv\\Treskel!";

OwnedPtr<TQclIniCtrl> MainStore() {
    auto ini = MakeOwned<TQclIniCtrl>();
    ini->SetRegPath(kStore);
    ini->SetTarget(TQclIniTarget::itRegistry);
    return ini;
}

std::string Sub(const char* section) { return std::string(kStore) + "\\" + section; }

TEST(QclIniCtrlRegistry, ValuesLandAsStringsInSectionSubkeys) {
    auto ini = MainStore();
    EXPECT_EQ(ini->GetRegKey(), "SOFTWARE\\Qiv\\Treskel!\\");
    ini->WriteString("common", "path", "C:\\Notes\\Data");
    ini->WriteInteger("common", "compression", 1);
    ini->WriteBool("common", "showcompression", true);
    ini->WriteBool("common", "updated", false);
    EXPECT_EQ(test::ReadRegistryString(Sub("common"), "path"), "C:\\Notes\\Data");
    EXPECT_EQ(test::ReadRegistryString(Sub("common"), "compression"), "1");
    EXPECT_EQ(test::ReadRegistryString(Sub("common"), "showcompression"), "1");
    EXPECT_EQ(test::ReadRegistryString(Sub("common"), "updated"), "0");

    EXPECT_EQ(ini->ReadString("common", "path", ""), "C:\\Notes\\Data");
    EXPECT_EQ(ini->ReadInteger("common", "compression", 2), 1);
    EXPECT_TRUE(ini->ReadBool("common", "showcompression", false));
    EXPECT_FALSE(ini->ReadBool("common", "updated", true));
}

TEST(QclIniCtrlRegistry, ReadsTheUsersExistingValues) {
    test::WriteRegistryString(Sub("common"), "compression", "0");
    test::WriteRegistryString(Sub("common"), "updated", "7");
    test::WriteRegistryString(Sub("common"), "browserpath", "C:\\Program Files\\Browser\\b.exe");
    test::WriteRegistryString(Sub("common"), "junk", "twelve");
    auto ini = MainStore();
    EXPECT_EQ(ini->ReadInteger("common", "compression", 2), 0);
    EXPECT_TRUE(ini->ReadBool("common", "updated", false));  // any non-zero number
    EXPECT_EQ(ini->ReadString("common", "browserpath", ""), "C:\\Program Files\\Browser\\b.exe");
    EXPECT_EQ(ini->ReadInteger("common", "junk", 2), 2);
    EXPECT_TRUE(ini->ReadBool("common", "junk", true));
    EXPECT_EQ(ini->ReadString("common", "absent", "dflt"), "dflt");
}

TEST(QclIniCtrlRegistry, ReadsCreateNothing) {
    auto ini = MainStore();
    EXPECT_EQ(ini->ReadString("common", "path", ""), "");
    EXPECT_EQ(ini->ReadInteger("common", "compression", 2), 2);
    EXPECT_FALSE(ini->ReadBool("common", "showcompression", false));
    TFont font;
    EXPECT_FALSE(ini->ReadFont("common", "tree", &font));
    ini->DeleteKey("common", "path");
    EXPECT_FALSE(test::RegistryKeyExists("SOFTWARE\\Qiv"));
}

TEST(QclIniCtrlRegistry, RootAndTheCommonFallback) {
    auto ini = MainStore();
    test::WriteRegistryString(Sub("Common"), "x", "from Common");
    ini->WriteString("#ROOT", "x", "at the store key");
    EXPECT_EQ(test::ReadRegistryString(kStore, "x"), "at the store key");
    EXPECT_FALSE(test::RegistryKeyExists(Sub("#ROOT")));
    // "#ROOT" leaves no last section behind: an empty section is "Common".
    EXPECT_EQ(ini->ReadString("", "x", "none"), "from Common");
    EXPECT_EQ(ini->ReadString("#ROOT", "x", "none"), "at the store key");
    // "#root" is an ordinary section name.
    ini->WriteString("#root", "y", "1");
    EXPECT_EQ(test::ReadRegistryString(Sub("#root"), "y"), "1");
}

TEST(QclIniCtrlRegistry, EmptySectionUsesTheLastOne) {
    auto ini = MainStore();
    ini->WriteString("", "first", "a");  // nothing used yet: "Common"
    EXPECT_EQ(test::ReadRegistryString(Sub("Common"), "first"), "a");
    ini->WriteString("panel", "PaneO", "0,1");
    ini->WriteString("   ", "Bars", "38");
    EXPECT_EQ(test::ReadRegistryString(Sub("panel"), "Bars"), "38");
    EXPECT_EQ(ini->GetSection(""), "panel");
}

TEST(QclIniCtrlRegistry, FontsRoundTrip) {
    auto ini = MainStore();
    TFont font;
    font.SetName("Courier New");
    font.SetSize(9);
    font.SetColor(clBlue);
    font.SetStyle({TFontStyle::fsBold, TFontStyle::fsUnderline});
    ini->WriteFont("common", "tree", &font);
    EXPECT_EQ(test::ReadRegistryString(Sub("common"), "tree"), "Courier New,9,clBlue,1,0,1,0");

    TFont back;
    back.SetName("Arial");
    int changes = 0;
    back.OnChange = [&](TObject*) { ++changes; };
    ASSERT_TRUE(ini->ReadFont("common", "tree", &back));
    EXPECT_EQ(back.Name(), "Courier New");
    EXPECT_EQ(back.Size(), 9);
    EXPECT_EQ(back.Color(), clBlue);
    EXPECT_EQ(back.Style(), (TFontStyles{TFontStyle::fsBold, TFontStyle::fsUnderline}));
    EXPECT_EQ(changes, 1);

    test::WriteRegistryString(Sub("common"), "text", "Times New Roman,14,$00008000,0,1,0,1");
    ASSERT_TRUE(ini->ReadFont("common", "text", &back));
    EXPECT_EQ(back.Name(), "Times New Roman");
    EXPECT_EQ(back.Size(), 14);
    EXPECT_EQ(back.Color(), clGreen);
    EXPECT_EQ(back.Style(), (TFontStyles{TFontStyle::fsItalic, TFontStyle::fsStrikeOut}));
}

TEST(QclIniCtrlRegistry, BadFontValuesLeaveTheFontAlone) {
    auto ini = MainStore();
    TFont font;
    font.SetName("Tahoma");
    font.SetSize(11);
    font.SetColor(clRed);
    font.SetStyle({TFontStyle::fsItalic});
    int changes = 0;
    font.OnChange = [&](TObject*) { ++changes; };
    for (const char* bad : {"Arial,10,clBlack", "Arial,12,clBlack,1,0,0", "Arial,12,clBlack,bold,0,0,0",
                            "Arial,12,nocolour,1,0,0,0", "Arial,12,clBlack,1,0,0,0,1", ""}) {
        test::WriteRegistryString(Sub("common"), "tree", bad);
        EXPECT_FALSE(ini->ReadFont("common", "tree", &font)) << bad;
        EXPECT_EQ(font.Name(), "Tahoma") << bad;
        EXPECT_EQ(font.Size(), 11) << bad;
        EXPECT_EQ(font.Color(), clRed) << bad;
        EXPECT_EQ(font.Style(), TFontStyles{TFontStyle::fsItalic}) << bad;
    }
    EXPECT_EQ(changes, 0);
}

TEST(QclIniCtrlRegistry, DeleteRemovesTheValueOnly) {
    auto ini = MainStore();
    ini->WriteString("Common", "AboutColor", "1");
    ini->WriteString("Common", "About", "10,10");
    ini->DeleteKey("Common", "AboutColor");
    EXPECT_FALSE(test::RegistryValueExists(Sub("Common"), "AboutColor"));
    EXPECT_EQ(test::ReadRegistryString(Sub("Common"), "About"), "10,10");
    ini->DeleteKey("Common", "About");
    EXPECT_TRUE(test::RegistryKeyExists(Sub("Common")));
}

TEST(QclIniCtrlRegistry, DefaultKeyFromTheApplication) {
    auto ini = MakeOwned<TQclIniCtrl>();
    std::string title = Application->Title();
    Application->SetTitle("Treskel!");
    EXPECT_EQ(ini->GetRegKey(), "Software\\Treskel!\\");
    QclApplication->SetRegKeyPrefix("Qiv");
    QclApplication->SetRegKeySuffix("Test");
    std::string withParts = ini->GetRegKey();
    QclApplication->SetRegKeyPrefix("");
    QclApplication->SetRegKeySuffix("");
    ini->SetRegPath("   ");  // blank counts as none
    ini->WriteString("", "v", "1");
    Application->SetTitle(title);
    EXPECT_EQ(withParts, "Software\\Qiv\\Treskel!\\Test\\");
    EXPECT_EQ(test::ReadRegistryString("Software\\Treskel!\\Common", "v"), "1");
    ini->SetRegPath("SOFTWARE\\Qiv\\Treskel!\\");
    EXPECT_EQ(ini->GetRegKey(), "SOFTWARE\\Qiv\\Treskel!\\");
}

TEST(QclIniCtrlRegistry, OtherRoots) {
    EXPECT_EQ(QclRegRootKeyHandle(TQclRegRootKey::rpClassesRoot), HKEY_CLASSES_ROOT);
    EXPECT_EQ(QclRegRootKeyHandle(TQclRegRootKey::rpCurrentUser), HKEY_CURRENT_USER);
    EXPECT_EQ(QclRegRootKeyHandle(TQclRegRootKey::rpLocalMachine), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(QclRegRootKeyHandle(TQclRegRootKey::rpUsers), HKEY_USERS);
    EXPECT_EQ(QclRegRootKeyHandle(TQclRegRootKey::rpCurrentConfig), HKEY_CURRENT_CONFIG);
    EXPECT_EQ(QclRegRootKeyHandle(TQclRegRootKey::rpDynData), HKEY_DYN_DATA);
    EXPECT_EQ(QclRegRootKeyHandle(static_cast<TQclRegRootKey>(9)), nullptr);

    auto ini = MakeOwned<TQclIniCtrl>();
    ini->SetRegRoot(TQclRegRootKey::rpLocalMachine);
    ini->SetRegPath("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
    EXPECT_EQ(ini->ReadString("#ROOT", "CurrentVersion", ""),
              test::ReadRegistryString("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion",
                                       HKEY_LOCAL_MACHINE));
}

TEST(QclIniCtrlProps, ConstraintsAndTargets) {
    auto ini = MakeOwned<TQclIniCtrl>();
    EXPECT_EQ(ini->Target(), TQclIniTarget::itAuto);
    EXPECT_EQ(ini->MaxEntries(), 16);
    EXPECT_TRUE(ini->Common());
    EXPECT_EQ(ini->IniPrefix(), TQclPathPrefix::ppWindows);
    EXPECT_EQ(ini->RegRoot(), TQclRegRootKey::rpCurrentUser);
    ini->SetMaxEntries(36);
    ini->SetAlphaCounter(true);
    EXPECT_EQ(ini->MaxEntries(), 26);
    ini->SetMaxEntries(30);
    EXPECT_EQ(ini->MaxEntries(), 26);
    ini->SetMaxEntries(20);
    EXPECT_EQ(ini->MaxEntries(), 20);

    ini->SetIniFile("settings");
    EXPECT_EQ(ini->IniFile(), "settings.INI");
    ini->SetIniFile("a.cfg");
    EXPECT_EQ(ini->IniFile(), "a.cfg");
    ini->SetIniFile("");
    EXPECT_EQ(ini->IniFile(), ".INI");

    ini->SetNetUser(true);
    EXPECT_EQ(ini->User(), QclGetUserNameStr());

    // The target decides the section rules.
    ini->SetCommon(false);
    ini->SetNetUser(false);
    ini->SetUser("bob");
    EXPECT_EQ(ini->GetSection("common"), "common");  // registry: no suffix
    ini->SetTarget(TQclIniTarget::itIniFile);
    EXPECT_EQ(ini->GetSection("common"), "common.bob");
    EXPECT_EQ(ini->GetSection("#ROOT"), "#ROOT.bob");
    ini->SetTarget(TQclIniTarget::itAuto);
    EXPECT_EQ(ini->GetSection("#ROOT"), "");
}

TEST(QclIniCtrlIni, UserSectionsInAFile) {
    test::TempDir dir;
    auto ini = MakeOwned<TQclIniCtrl>();
    ini->SetTarget(TQclIniTarget::itIniFile);
    ini->SetIniPrefix(TQclPathPrefix::ppFixed);
    ini->SetIniFile(dir.File("store"));
    EXPECT_EQ(ini->GetIniFileName(), dir.File("store.INI"));
    ini->SetCommon(false);
    ini->SetUser("bob");
    ini->WriteString("common", "path", "D:\\x");
    ini->WriteBool("", "on", true);  // the last section again, no second suffix
    ini->SetCommon(true);
    ini->WriteInteger("Common", "n", 5);
    EXPECT_EQ(ini->ReadString("common.bob", "path", ""), "D:\\x");

    // The system decides about blank lines between sections.
    std::vector<unsigned char> bytes = test::ReadAll(dir.File("store.INI"));
    std::string text = StringReplaceAll(std::string(bytes.begin(), bytes.end()), "\r\n\r\n", "\r\n");
    EXPECT_EQ(text, "[common.bob]\r\npath=D:\\x\r\non=1\r\n[Common]\r\nn=5\r\n");
    EXPECT_EQ(ini->ReadInteger("Common", "n", 0), 5);
    ini->DeleteKey("Common", "n");
    EXPECT_EQ(ini->ReadInteger("Common", "n", 0), 0);
}

TEST(QclIniCtrlIni, FileNameFromThePrefix) {
    auto ini = MakeOwned<TQclIniCtrl>();
    ini->SetTarget(TQclIniTarget::itIniFile);
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    // No name: the program's, with ".INI", kept from then on.
    EXPECT_EQ(ini->GetIniFileName(), QclGetWindowsDir() + "\\" + ChangeFileExt(ExtractFileName(module), ".INI"));
    EXPECT_EQ(ini->IniFile(), ChangeFileExt(module, ".INI"));
    ini->SetIniFile("C:\\elsewhere\\mine.ini");
    ini->SetIniPrefix(TQclPathPrefix::ppProgram);
    EXPECT_EQ(ini->GetIniFileName(), ExtractFilePath(module) + "mine.ini");
    ini->SetIniPrefix(TQclPathPrefix::ppSystem);
    EXPECT_EQ(ini->GetIniFileName(), QclGetSystemDir() + "\\mine.ini");
    ini->SetIniPrefix(TQclPathPrefix::ppFixed);
    EXPECT_EQ(ini->GetIniFileName(), "C:\\elsewhere\\mine.ini");
}

TEST(QclIniCtrlLayout, TheMainWindowsStore) {
    QclApplication->SetPrevInstance(false);
    auto form = MakeForm<TfrmTreskel>();
    ASSERT_NE(form->IniCtrl, nullptr);
    EXPECT_EQ(form->IniCtrl->Owner(), form.get());
    EXPECT_EQ(form->IniCtrl->RegPath(), "SOFTWARE\\Qiv\\Treskel!");
    EXPECT_EQ(form->IniCtrl->Target(), TQclIniTarget::itRegistry);
    EXPECT_EQ(form->IniCtrl->MaxEntries(), 36);
    EXPECT_TRUE(form->IniCtrl->Common());
    ASSERT_NE(form->QclOneInstance1, nullptr);
    EXPECT_TRUE(form->QclOneInstance1->Enabled());
    EXPECT_EQ(form->QclOneInstance1->Mode(), TQclOneInstanceMode::oiActivateOnly);
    form->IniCtrl->WriteString("common", "activetreskel", "0");
    EXPECT_EQ(test::ReadRegistryString(Sub("common"), "activetreskel"), "0");
}

}  // namespace
}  // namespace treskel
