// The library's application object: its defaults, the timer slots, the
// hidden timer window, the pattern bitmap and the one-per-form check.
#include <gtest/gtest.h>
#include <windows.h>

#include "foundation/qclclass.h"
#include "foundation/qclnonvS.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/UtilityWindow.h"
#include "support/GuiTest.h"

namespace treskel {
namespace {

std::string ModulePath() {
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    return std::string(buf, n);
}

struct NoTicks : TQclTickSource {
    bool Arm(unsigned) override { return true; }
    void Disarm() override {}
};

TEST(QclApplicationObject, StartsWithTheLibraryDefaults) {
    ASSERT_NE(QclApplication, nullptr);
    EXPECT_EQ(QclApplication->Options(), 0x36);
    EXPECT_EQ(QclApplication->ExplodeSpeed(), 3);
    EXPECT_EQ(QclApplication->RegKeyPrefix(), "");
    EXPECT_EQ(QclApplication->RegKeySuffix(), "");
    ASSERT_NE(QclApplication->TimerPool(), nullptr);
    EXPECT_EQ(QclApplication->TimerPool()->MinInterval(), 50);
    ASSERT_NE(QclApplication->IniCtrl(), nullptr);
    EXPECT_EQ(QclApplication->IniCtrl()->Owner(), nullptr);
    EXPECT_EQ(QclApplication->IniCtrl()->Target(), TQclIniTarget::itAuto);
    EXPECT_EQ(QclApplication->LogPrefix(), TQclPathPrefix::ppProgram);
    EXPECT_EQ(QclApplication->LogFile(), ChangeFileExt(ModulePath(), ".LOG"));
    EXPECT_GT(QclApplication->PerformanceFrequency(), 0);
}

TEST(QclApplicationObject, LogFileNames) {
    auto app = MakeOwned<TQclApplication>();
    const std::string dir = ExtractFilePath(ModulePath());
    app->SetLogFile("trace");
    EXPECT_EQ(app->LogFile(), dir + "trace.LOG");
    app->SetLogFile("C:\\logs\\run.txt");
    EXPECT_EQ(app->LogFile(), dir + "run.txt");
    app->SetLogPrefix(TQclPathPrefix::ppFixed);
    app->SetLogFile("C:\\logs\\run");
    EXPECT_EQ(app->LogFile(), "C:\\logs\\run.LOG");
    app->SetLogPrefix(TQclPathPrefix::ppWindows);
    app->SetLogFile("  ");
    EXPECT_EQ(app->LogFile(), QclGetWindowsDir() + "\\" + ChangeFileExt(ExtractFileName(ModulePath()), ".LOG"));
}

TEST(QclApplicationObject, ASecondObjectSeesTheFirstInstance) {
    // The library's own object holds the program's mutex already.
    auto second = MakeOwned<TQclApplication>();
    EXPECT_TRUE(second->PrevInstance());
}

TEST(QclApplicationObject, TimerSlotsRunOutAndComeBack) {
    auto app = MakeOwned<TQclApplication>();
    app->TimerPool()->SetTickSource(std::make_unique<NoTicks>());
    for (int n = 1; n <= TQclApplication::TimerSlots; ++n)
        ASSERT_EQ(app->AddTimer(100, nullptr), 0xFD00 + n) << n;
    EXPECT_EQ(app->AddTimer(100, nullptr), 0);
    EXPECT_EQ(app->TimerPool()->Count(), 250);
    app->RemoveTimer(0xFD00 + 7);
    EXPECT_EQ(app->GetTimer(0xFD00 + 7), nullptr);
    EXPECT_EQ(app->AddTimer(200, nullptr), 0xFD00 + 7);
    ASSERT_NE(app->GetTimer(0xFD07), nullptr);
    EXPECT_EQ(app->GetTimer(0xFD07)->Interval(), 200);
    EXPECT_TRUE(app->GetTimer(0xFD07)->Enabled());
    EXPECT_EQ(app->AddTimer(100, nullptr), 0);
}

TEST(QclApplicationObject, RemoveTimerTakesOnlyItsOwnIds) {
    auto app = MakeOwned<TQclApplication>();
    app->TimerPool()->SetTickSource(std::make_unique<NoTicks>());
    app->TimerPool()->AddItem(0xFEFF, 100, nullptr);
    app->TimerPool()->AddItem(0xFD00, 100, nullptr);
    app->TimerPool()->AddItem(5, 100, nullptr);
    for (uint16_t id : {uint16_t(0xFEFF), uint16_t(0xFD00), uint16_t(0xFDFB), uint16_t(0xFFFF), uint16_t(5)})
        app->RemoveTimer(id);
    EXPECT_EQ(app->TimerPool()->Count(), 3);
    // A bad interval leaves the slot free.
    EXPECT_THROW(app->AddTimer(75, nullptr), Exception);
    EXPECT_EQ(app->AddTimer(100, nullptr), 0xFD01);
}

// The hidden window of one pool.
HWND PoolWindow(TQclTimerPool* pool) {
    HWND wnd = nullptr;
    while ((wnd = FindWindowExA(HWND_MESSAGE, wnd, "TreskelUtilityWindow", nullptr)) != nullptr)
        if (UtilityWindow::OwnerOf(wnd) == pool) return wnd;
    return nullptr;
}

TEST(QclApplicationObject, TheHiddenWindowDeliversTicks) {
    auto app = MakeOwned<TQclApplication>();
    int fired = 0;
    TQclTimerPool* pool = app->TimerPool();
    EXPECT_EQ(PoolWindow(pool), nullptr);
    uint16_t id = app->AddTimer(50, [&](TObject* sender) {
        EXPECT_EQ(sender, app->TimerPool());
        ++fired;
    });
    ASSERT_NE(id, 0);
    HWND wnd = PoolWindow(pool);
    ASSERT_NE(wnd, nullptr);
    EXPECT_TRUE(pool->Active());
    // The system's timer is armed; the test delivers its ticks itself.
    SendMessageA(wnd, WM_TIMER, 1, 0);
    SendMessageA(wnd, WM_TIMER, 1, 0);
    EXPECT_EQ(fired, 2);
    EXPECT_EQ(SendMessageA(wnd, WM_USER, 0, 0), 0);
    app->RemoveTimer(id);
    EXPECT_FALSE(app->TimerPool()->Active());
    app.reset();
    EXPECT_FALSE(IsWindow(wnd));
}

TEST(QclApplicationObject, ARaisingTimerEventGoesToTheErrorBox) {
    TQclTimerPool* pool = QclApplication->TimerPool();
    int later = 0;
    uint16_t bad = QclApplication->AddTimer(50, [](TObject*) { throw Exception("Timer failed"); });
    uint16_t good = QclApplication->AddTimer(50, [&](TObject*) { ++later; });
    HWND wnd = PoolWindow(pool);
    ASSERT_NE(wnd, nullptr);
    SendMessageA(wnd, WM_TIMER, 1, 0);
    SendMessageA(wnd, WM_TIMER, 1, 0);
    QclApplication->RemoveTimer(bad);
    QclApplication->RemoveTimer(good);
    EXPECT_EQ(later, 2);
    ASSERT_EQ(test::MessageBoxes().size(), 2u);
    EXPECT_EQ(test::MessageBoxes()[0].text, "Timer failed.");
    EXPECT_EQ(pool->Count(), 0);
}

TEST(QclApplicationObject, PatternBitmap) {
    auto app = MakeOwned<TQclApplication>();
    TBitmap* bmp = app->GetPatternBitmap(clRed);
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(bmp->Width(), 8);
    EXPECT_EQ(bmp->Height(), 8);
    TCanvas* c = bmp->Canvas();
    EXPECT_EQ(c->Pixel(0, 0), clWhite);
    EXPECT_EQ(c->Pixel(1, 0), clRed);
    EXPECT_EQ(c->Pixel(0, 1), clRed);
    EXPECT_EQ(c->Pixel(7, 7), clWhite);
    EXPECT_EQ(c->Pixel(6, 7), clRed);
    EXPECT_EQ(app->GetPatternBitmap(clBlue), bmp);
    EXPECT_EQ(c->Pixel(1, 0), clBlue);
    EXPECT_EQ(c->Pixel(2, 2), clWhite);
}

class TDataModule : public TComponent {
    TRESKEL_CLASS(TDataModule)
public:
    explicit TDataModule(TComponent* owner) : TComponent(owner) {}
};

class TSolo : public TComponent {
    TRESKEL_CLASS(TSolo)
public:
    explicit TSolo(TComponent* owner) : TComponent(owner) {}
};

TEST(QclOneInstanceCheck, FormsHoldOneAtMost) {
    auto form = MakeOwned<TForm>();
    EXPECT_TRUE(QclCheckOneInstance<TSolo>(nullptr, false));
    EXPECT_FALSE(QclCheckOneInstance<TSolo>(form.get(), false));
    Create<TSolo>(form.get());
    EXPECT_FALSE(QclCheckOneInstance<TSolo>(form.get(), false));
    Create<TSolo>(form.get());
    EXPECT_TRUE(QclCheckOneInstance<TSolo>(form.get(), false));
    EXPECT_FALSE(QclCheckOneInstance(form.get(), nullptr, false));

    auto plain = MakeOwned<TSolo>();
    EXPECT_TRUE(QclCheckOneInstance<TSolo>(plain.get(), true));

    PublishClass<TDataModule, TComponent>();
    auto module = MakeOwned<TDataModule>();
    EXPECT_TRUE(QclCheckOneInstance<TSolo>(module.get(), false));
    EXPECT_FALSE(QclCheckOneInstance<TSolo>(module.get(), true));
}

}  // namespace
}  // namespace treskel
