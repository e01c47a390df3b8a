#include "MainWindowTest.h"

#include "app/TreskelArchive.h"
#include "platform/FileSys.h"

namespace treskel::test {

using FirstStart = MainWindowTest;

TEST_F(FirstStart, TheWindowIsTitledSizedAndCentredOnTheDesktop) {
    StartWindow();
    HWND h = W->Handle();
    char title[64];
    GetWindowTextA(h, title, sizeof title);
    EXPECT_STREQ(title, "Treskel!");
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_EQ(r.right - r.left, 952);
    EXPECT_EQ(r.bottom - r.top, 516);
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR(r.left, (sw - 952) / 2, 1);
    EXPECT_NEAR(r.top, std::max(0, (sh - 516) / 2), 1);
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_EQ(W->ActiveControl(), W->TreeView);
    EXPECT_EQ(W->StatusBar->Panels()->Count(), 4);
}

TEST_F(FirstStart, MakesTheDataDirectoryBesideTheProgramAndRemembersIt) {
    // No stored path: the program's own directory followed by "Data".
    ClearProgramRegistry();
    StartWindow();
    std::string expected = ExtractFilePath(Application->ExeName()) + "Data";
    EXPECT_EQ(W->DataPath, expected + "\\");
    EXPECT_TRUE(DirectoryExists(expected));
    char value[MAX_PATH] = {};
    DWORD size = sizeof value;
    HKEY k;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Qiv\\Treskel!\\common", 0, KEY_READ, &k), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(k, "path", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size), ERROR_SUCCESS);
    RegCloseKey(k);
    EXPECT_EQ(std::string(value), expected);
    CloseWindow();
    RemoveDir(expected);
}

TEST_F(FirstStart, WithoutArchivesThereAreNoTabsAndTheTreskelCommandsWait) {
    StartWindow();
    EXPECT_EQ(W->TabControl1->Tabs()->Count(), 0);
    EXPECT_FALSE(W->NewItem->Enabled());
    EXPECT_FALSE(W->NewRootItem->Enabled());
    EXPECT_FALSE(W->RenameTreskel->Enabled());
    EXPECT_TRUE(W->NewTreskel->Enabled());
    for (TAction* a : {W->NewSubItem, W->RemoveItem, W->LockItem, W->ExpandItem, W->SearchItems, W->SortAZ, W->SortZA,
                       W->CreateLink, W->LinkOrigin1, W->SearchSubItems, W->CloneNote, W->DisplayItemInfo,
                       W->SearchText})
        EXPECT_FALSE(a->Enabled()) << a->Name();
    for (TControl* c : std::initializer_list<TControl*>{W->ToolBar3, W->Panel2, W->ToolBar2, W->BoldButton,
                                                        W->ItalicButton, W->UnderlineButton, W->BulletButton,
                                                        W->UndoButton, W->LeftButton, W->CenterButton, W->RightButton,
                                                        W->PasteButton})
        EXPECT_FALSE(c->Enabled()) << c->Name();
}

}  // namespace treskel::test
