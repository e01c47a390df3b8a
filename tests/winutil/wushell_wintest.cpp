// The tray icon and its icon list on real windows and the shell's tray.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/Snapshot.h"
#include "winutil/WuShell.h"
#include "WinUtilForm.h"

using namespace treskel;
using namespace treskel::test;

namespace {
struct Tray {
    OwnedPtr<TForm> form = MakeForm<TForm>();
    TWuTrayIcon* icon = Create<TWuTrayIcon>(form.get());
    Tray() {
        icon->SetActive(false);
        icon->Icon()->SetHandle(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)));
    }
    // Whether the shell still knows the icon (a change of an unknown one fails).
    bool ShellHasIcon() {
        NOTIFYICONDATAA d = icon->NotifyData();
        return Shell_NotifyIconA(NIM_MODIFY, &d) != FALSE;
    }
};
// An icon of one colour that no other icon in the tray has.
constexpr COLORREF kMark = RGB(200, 30, 160);
HICON MarkedIcon() {
    auto colour = Filled(16, 16, static_cast<TColor>(kMark));
    TBitmap mask;
    mask.SetMonochrome(true);
    mask.SetSize(16, 16);
    mask.Canvas()->Brush()->SetColor(clBlack);
    mask.Canvas()->FillRect(Rect(0, 0, 16, 16));
    static_cast<TBitmapCanvas*>(colour->Canvas())->FreeContext();
    static_cast<TBitmapCanvas*>(mask.Canvas())->FreeContext();
    ICONINFO info{TRUE, 0, 0, mask.Handle(), colour->Handle()};
    return CreateIconIndirect(&info);
}

// The window of the icon showing that colour in the system's tray, once
// it shows (the tray holds the icons of every program running).
HWND TrayIconOfColour(COLORREF mark) {
    HWND tray = nullptr;
    while ((tray = FindWindowExA(nullptr, tray, "__winex11_standalone_tray", nullptr)) != nullptr) {
        HWND icon = nullptr;
        while ((icon = FindWindowExA(tray, icon, nullptr, nullptr)) != nullptr) {
            if (!IsWindowVisible(icon)) continue;
            RECT r;
            GetWindowRect(icon, &r);
            const Snapshot shot = ScreenArea(FromRECT(r));
            if (shot.Count(Rect(0, 0, shot.width, shot.height), [mark](COLORREF c) { return c == mark; }) > 20)
                return icon;
        }
    }
    return nullptr;
}

// Pop-up menus answered by the test while it runs.
struct MenuChooser {
    explicit MenuChooser(std::function<WORD(TPopupMenu*)> choose) { TPopupMenu::TestChooser = std::move(choose); }
    ~MenuChooser() { TPopupMenu::TestChooser = nullptr; }
    MenuChooser(const MenuChooser&) = delete;
    MenuChooser& operator=(const MenuChooser&) = delete;
};
}  // namespace

TEST(TrayIcon, ADoubleClickArrivesAsEventsInTheDocumentedOrder) {
    Tray t;
    std::vector<std::string> log;
    t.icon->OnMouseDown = [&](TObject*, TMouseButton, TShiftState s, int, int) {
        log.push_back(s.Contains(TShiftStateItem::ssDouble) ? "down2" : "down");
    };
    t.icon->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("up"); };
    t.icon->OnClick = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("click"); };
    t.icon->OnDblClick = [&](TObject*) { log.push_back("dbl"); };
    t.icon->SetActive(true);
    ASSERT_TRUE(t.icon->Shown());
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        SendMessageA(t.icon->Window(), WM_WUTRAYNOTIFY, 0, m);
    EXPECT_EQ(log, (std::vector<std::string>{"down", "click", "up", "dbl", "down2", "up"}));
}

TEST(TrayIcon, TheTipIsTheShortHintCutTo63Characters) {
    Tray t;
    t.icon->SetHint("Short|long hint");
    t.icon->UpdateNotifyData();
    EXPECT_STREQ(t.icon->NotifyData().szTip, "Short");
    t.icon->SetHint(std::string(100, 'x'));
    t.icon->UpdateNotifyData();
    EXPECT_EQ(std::string(t.icon->NotifyData().szTip), std::string(63, 'x'));
}

// The shell forgets every icon when it starts again; its notice brings ours back.
TEST(TrayIcon, TheIconComesBackWhenTheShellRestarts) {
    Tray t;
    t.icon->SetActive(true);
    ASSERT_TRUE(t.ShellHasIcon());
    NOTIFYICONDATAA d = t.icon->NotifyData();
    Shell_NotifyIconA(NIM_DELETE, &d);
    ASSERT_FALSE(t.ShellHasIcon());
    SendMessageA(t.icon->Window(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(t.ShellHasIcon());
    t.icon->SetActive(false);
    EXPECT_FALSE(t.ShellHasIcon());
}

// Frames advance in this thread's message loop, and only while shown.
TEST(TrayIcon, AnimationFramesAdvanceInTheMessageLoopAndStopWhileHidden) {
    Tray t;
    TIcon frame;
    frame.SetHandle(CopyIcon(LoadIconA(nullptr, IDI_QUESTION)));
    t.icon->Icons()->Add(&frame);
    t.icon->Icons()->Add(&frame);
    t.icon->SetInterval(10);
    t.icon->SetAnimated(true);
    EXPECT_FALSE(t.icon->Animating());
    t.icon->SetActive(true);
    EXPECT_TRUE(t.icon->Animating());
    EXPECT_TRUE(PumpUntil([&] { return t.icon->FrameIndex() == 1; }));
    t.icon->SetActive(false);
    EXPECT_FALSE(t.icon->Animating());
    t.icon->Icons()->Clear();
    EXPECT_FALSE(t.icon->Animated());
}

// A new interval counts from the next frame on: set to a minute while the
// frames change every 10 ms, one more frame comes, then none.
TEST(TrayIcon, AnIntervalChangedWhileAnimatingTakesEffectAtTheNextFrame) {
    Tray t;
    TIcon frame;
    frame.SetHandle(CopyIcon(LoadIconA(nullptr, IDI_QUESTION)));
    for (int i = 0; i < 3; ++i) t.icon->Icons()->Add(&frame);
    t.icon->SetInterval(10);
    t.icon->SetAnimated(true);
    t.icon->SetActive(true);
    ASSERT_TRUE(PumpUntil([&] { return t.icon->FrameIndex() == 1; }));
    t.icon->SetInterval(60000);
    ASSERT_TRUE(PumpUntil([&] { return t.icon->FrameIndex() == 2; }));
    int changes = 0;
    PumpUntil([&, last = 2]() mutable {
        if (t.icon->FrameIndex() != last) ++changes;
        last = t.icon->FrameIndex();
        return false;
    }, 300);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(t.icon->Animating());
    t.icon->SetActive(false);
}

// ------------------------------------------------------------ icon list

namespace {
// A 16 x 16 two-colour icon file: stripes, fully opaque.
std::vector<uint8_t> StripedIconFile(uint8_t stripe) {
    std::vector<uint8_t> f = {0, 0, 1, 0, 1, 0,                    // an icon, one image
                              16, 16, 2, 0, 1, 0, 1, 0,            // 16 x 16, two colours, one bit
                              176, 0, 0, 0, 22, 0, 0, 0,           // 176 bytes at 22
                              40, 0, 0, 0, 16, 0, 0, 0, 32, 0, 0, 0, 1, 0, 1, 0};
    f.resize(22 + 40, 0);
    const uint8_t palette[8] = {0, 0, 0, 0, 255, 255, 255, 0};
    f.insert(f.end(), palette, palette + 8);
    for (int row = 0; row < 16; ++row) {
        const uint8_t b = row % 2 ? stripe : static_cast<uint8_t>(~stripe);
        f.insert(f.end(), {b, b, 0, 0});
    }
    f.resize(f.size() + 64, 0);  // the mask: every pixel drawn
    return f;
}

std::unique_ptr<TIcon> IconFromFile(const std::vector<uint8_t>& file) {
    auto icon = std::make_unique<TIcon>();
    TMemoryStream s(file);
    icon->LoadFromStream(s);
    return icon;
}

std::vector<uint8_t> Saved(TIconList& list) {
    TMemoryStream s;
    list.SaveToStream(s);
    return s.Bytes();
}

std::vector<uint8_t> Le32(uint32_t v) {
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
}

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}
}  // namespace

// The stored form: the count, then each entry's size and its icon file,
// 0 for an entry without a picture.
TEST(IconList, TheStoredFormIsTheCountThenEachSizeAndIconFile) {
    const std::vector<uint8_t> a = StripedIconFile(0xF0), b = StripedIconFile(0x0F);
    TIconList list;
    list.Add(IconFromFile(a).get());
    list.Add(nullptr);
    list.Add(IconFromFile(b).get());
    const std::vector<uint8_t> golden = Join({Le32(3), Le32(176 + 22), a, Le32(0), Le32(176 + 22), b});
    EXPECT_EQ(Saved(list), golden);

    TIconList back;
    TMemoryStream s(golden);
    back.LoadFromStream(s);
    ASSERT_EQ(back.Count(), 3);
    EXPECT_EQ(back.Get(1), nullptr);
    EXPECT_EQ(Saved(back), golden);
}

TEST(IconList, AStoredListWithAnEmptyFirstEntryAndBrokenListsAreReadSafely) {
    const std::vector<uint8_t> a = StripedIconFile(0xCC);
    TIconList list;
    TMemoryStream two(Join({Le32(2), Le32(0), Le32(198), a}));
    list.LoadFromStream(two);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Get(0), nullptr);
    ASSERT_NE(list.Get(1), nullptr);
    EXPECT_FALSE(list.Get(1)->Empty());
    // A size past the end, a count past the end: refused, the list kept.
    for (const auto& broken : {Join({Le32(1), Le32(5000), a}), Join({Le32(1000000), Le32(0)}), Le32(1)}) {
        TMemoryStream s(broken);
        EXPECT_THROW(list.LoadFromStream(s), Exception);
        EXPECT_EQ(list.Count(), 2);
    }
}

// An icon that came from a handle, not a file, is written as a file of its
// own bitmaps and reads back the same size.
TEST(IconList, AnIconMadeFromAHandleIsWrittenAsAnIconFile) {
    TIcon icon;
    icon.SetHandle(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)));
    TMemoryStream s;
    icon.SaveToStream(s);
    s.SetPosition(0);
    TIcon back;
    back.LoadFromStream(s);
    ICONINFO a{}, b{};
    ASSERT_TRUE(GetIconInfo(icon.Handle(), &a));
    ASSERT_TRUE(GetIconInfo(back.Handle(), &b));
    BITMAP ba{}, bb{};
    GetObjectA(a.hbmMask, sizeof ba, &ba);
    GetObjectA(b.hbmMask, sizeof bb, &bb);
    EXPECT_EQ(ba.bmWidth, bb.bmWidth);
    EXPECT_EQ(ba.bmHeight, bb.bmHeight);
    for (HBITMAP h : {a.hbmColor, a.hbmMask, b.hbmColor, b.hbmMask})
        if (h != nullptr) DeleteObject(h);
}

TEST(IconList, EntriesAreInsertedPutExchangedAndMovedInPlace) {
    auto a = IconFromFile(StripedIconFile(0xF0)), b = IconFromFile(StripedIconFile(0x0F));
    TIconList list;
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    list.Add(a.get());
    list.Insert(0, b.get());                         // b a
    HINSTANCE self = GetModuleHandleA(nullptr);
    list.AddResource(self, "MAINICON");        // b a main
    list.InsertResource(1, self, "MAINICON");  // b main a main
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(changes, 4);
    TIcon* first = list.Get(0);
    TIcon* third = list.Get(2);
    list.Exchange(0, 2);  // a main b main
    EXPECT_EQ(list.IndexOf(first), 2);
    EXPECT_EQ(list.IndexOf(third), 0);
    list.Move(3, 0);  // main a main b
    EXPECT_EQ(list.IndexOf(third), 1);
    EXPECT_EQ(list.IndexOf(first), 3);
    EXPECT_EQ(list.IndexOf(b.get()), -1);  // the list holds copies
    // Put copies into an entry, or appends one past the end.
    changes = 0;
    list.Put(4, a.get());
    list.Put(0, b.get());
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(changes, 2);
    TMemoryStream s;
    list.Get(0)->SaveToStream(s);
    EXPECT_EQ(s.Bytes(), StripedIconFile(0x0F));
    EXPECT_THROW(list.Put(6, a.get()), EListError);
    EXPECT_THROW(list.Insert(7, a.get()), EListError);
    EXPECT_THROW(list.AddResource(self, "NO_SUCH_ICON"), EResNotFound);
    // A change of an icon in the list is a change of the list.
    changes = 0;
    list.Get(4)->SetHandle(nullptr);
    EXPECT_EQ(changes, 1);
}

// Assigning a list to itself keeps it; a bad index deletes nothing.
TEST(IconList, AssignOfItselfKeepsTheEntriesAndABadDeleteIndexIsRefused) {
    TIconList list;
    list.Add(IconFromFile(StripedIconFile(0xF0)).get());
    list.Add(IconFromFile(StripedIconFile(0x0F)).get());
    list.Assign(&list);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_THROW(list.Delete(2), EListError);
    EXPECT_THROW(list.Delete(-1), EListError);
    EXPECT_EQ(list.Count(), 2);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 1);
}

// ------------------------------------------------------------ tray icon in a layout

namespace {
std::string Hex(const std::vector<uint8_t>& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (uint8_t b : bytes) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}
}  // namespace

// Frames from a layout animate while the icon is shown; the shell's mouse
// messages reach the layout's handlers.
TEST(TrayIcon, FramesAndMouseHandlersFromALayout) {
    TIconList frames;
    frames.Add(IconFromFile(StripedIconFile(0xF0)).get());
    frames.Add(IconFromFile(StripedIconFile(0x0F)).get());
    const std::string layout = "object F: TWinUtilTestForm\n"
                               "  object Tray: TWuTrayIcon\n"
                               "    Icons.Icons = {" + Hex(Saved(frames)) + "}\n"
                               "    Animated = True\n"
                               "    Interval = 10\n"
                               "    OnMouseMove = TrayMouseMove\n"
                               "    OnMouseDown = TrayMouseDown\n"
                               "    OnMouseUp = TrayMouseUp\n"
                               "  end\n"
                               "end\n";
    auto form = LoadWinUtilForm(layout);
    auto* tray = Find<TWuTrayIcon>(form.get(), "Tray");
    ASSERT_EQ(tray->Icons()->Count(), 2);
    EXPECT_TRUE(tray->Animated());
    ASSERT_TRUE(tray->Shown());
    EXPECT_TRUE(tray->Animating());
    std::vector<int> seen;
    EXPECT_TRUE(PumpUntil([&] {
        if (seen.empty() || seen.back() != tray->FrameIndex()) seen.push_back(tray->FrameIndex());
        return seen.size() >= 4;
    }));
    EXPECT_EQ(seen[1], 1 - seen[0]);
    EXPECT_EQ(seen[2], seen[0]);
    // Written back as it was read.
    EXPECT_NE(WriteLayout(form.get()).find("Icons.Icons = {"), std::string::npos);

    for (UINT m : {WM_MOUSEMOVE, WM_MBUTTONDOWN, WM_MBUTTONUP}) SendMessageA(tray->Window(), WM_WUTRAYNOTIFY, 0, m);
    EXPECT_EQ(form->log, (std::vector<std::string>{"move", "down", "up"}));
    tray->SetActive(false);
}

// While the form is designed the icon follows ShowDesign, not Active.
TEST(TrayIcon, WhileDesignedTheIconShowsOnlyByShowDesign) {
    Tray t;
    t.icon->SetComponentState(TComponentStateItem::csDesigning, true);
    t.icon->SetActive(true);
    EXPECT_FALSE(t.icon->Shown());
    t.icon->SetShowDesign(true);
    EXPECT_TRUE(t.icon->Shown());
    EXPECT_TRUE(t.icon->ShowDesign());
    t.icon->SetShowDesign(false);
    EXPECT_FALSE(t.icon->Shown());
    EXPECT_FALSE(t.icon->ShowDesign());
    // Out of design, the setting does nothing.
    t.icon->SetComponentState(TComponentStateItem::csDesigning, false);
    t.icon->SetActive(false);
    t.icon->SetShowDesign(true);
    EXPECT_FALSE(t.icon->Shown());
}

// A double click runs the menu's enabled default item instead of the
// double-click event.
TEST(TrayIcon, ADoubleClickRunsTheMenusDefaultItem) {
    Tray t;
    auto* menu = Create<TPopupMenu>(t.form.get());
    auto* item = Create<TMenuItem>(t.form.get());
    menu->Items()->Add(item);
    std::vector<std::string> log;
    item->OnClick = [&](TObject*) { log.push_back("item"); };
    t.icon->OnDblClick = [&](TObject*) { log.push_back("dbl"); };
    t.icon->SetActive(true);
    SendMessageA(t.icon->Window(), WM_WUTRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
    t.icon->SetPopupMenu(menu);
    SendMessageA(t.icon->Window(), WM_WUTRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
    item->SetDefault(true);
    SendMessageA(t.icon->Window(), WM_WUTRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
    item->SetEnabled(false);
    SendMessageA(t.icon->Window(), WM_WUTRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
    EXPECT_EQ(log, (std::vector<std::string>{"dbl", "dbl", "item", "dbl"}));
    t.icon->SetActive(false);
}

// The right button on the icon, as the mouse gives it: a menu that pops up
// by itself shows for the tray icon and no click is reported; without a
// menu the click is, with the right button.
TEST(TrayIcon, TheRightButtonShowsTheMenuOrElseReportsARightClick) {
    Tray t;
    auto* menu = Create<TPopupMenu>(t.form.get());
    auto* item = Create<TMenuItem>(t.form.get());
    item->SetCaption("Restore");
    menu->Items()->Add(item);
    std::vector<std::string> log;
    auto button = [](TMouseButton b) { return b == TMouseButton::mbRight ? " right" : " other"; };
    t.icon->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int, int) { log.push_back("down" + std::string(button(b))); };
    t.icon->OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int, int) { log.push_back("up" + std::string(button(b))); };
    t.icon->OnClick = [&](TObject*, TMouseButton b, TShiftState, int, int) { log.push_back("click" + std::string(button(b))); };
    TComponent* shownFor = nullptr;
    MenuChooser chooser([&](TPopupMenu* m) -> WORD {
        shownFor = m->PopupComponent();
        log.push_back("menu");
        return 0;
    });
    t.icon->Icon()->SetHandle(MarkedIcon());
    t.icon->SetPopupMenu(menu);
    t.icon->SetActive(true);
    ASSERT_TRUE(t.icon->Shown());
    HWND icon = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (icon = TrayIconOfColour(kMark)) != nullptr; })) << "no icon in the tray";
    auto rightClick = [&] {
        log.clear();
        // Other tests' windows may lie over the tray.
        SetWindowPos(GetParent(icon), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        RECT r;
        GetWindowRect(icon, &r);
        MouseClickOnScreen({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, 1, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
        EXPECT_TRUE(PumpUntil([&] { return !log.empty() && log.back() == "up right"; })) << "the release did not come";
    };
    rightClick();
    EXPECT_EQ(log, (std::vector<std::string>{"down right", "menu", "up right"}));
    EXPECT_EQ(shownFor, t.icon);
    t.icon->SetPopupMenu(nullptr);
    Sleep(GetDoubleClickTime() + 100);  // a second press this soon would be a double click
    rightClick();
    EXPECT_EQ(log, (std::vector<std::string>{"down right", "click right", "up right"}));
    t.icon->SetActive(false);
}
