// The two ways of watching a control's messages on real windows: the
// subclass chain and the window hook.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/ExtCtrls.h"
#include "winutil/SubCls.h"
#include "winutil/WuHook.h"
#include "WinUtilForm.h"

using namespace treskel;
using namespace treskel::test;

namespace {

// Writes what it sees into a shared log.
struct LogHook : TControlSubclass {
    std::vector<std::string>* log;
    std::string name;
    bool swallow = false;
    LogHook(std::vector<std::string>* l, std::string n) : log(l), name(std::move(n)) {}
    void BeforeWndProc(TMessage& m) override {
        if (m.Msg != kProbe && m.Msg != CM_RELEASE) return;
        log->push_back(name + " before");
        if (swallow) {
            m.Result = 1;
            m.Msg = 0;
        }
    }
    void AfterWndProc(TMessage& m) override {
        if (m.Msg == kProbe || m.Msg == CM_RELEASE) log->push_back(name + " after");
    }
};

}  // namespace

TEST(SubclassChain, TwoHooksRunInOrderAroundTheControlAndTheLastDetachRestoresIt) {
    auto form = ShownForm();
    std::vector<std::string> log;
    form->WindowProc = [&, old = form->WindowProc](TMessage& m) {
        if (m.Msg == kProbe || m.Msg == CM_RELEASE) log.push_back("control");
        if (m.Msg != CM_RELEASE) old(m);  // which would free the form
    };
    LogHook a(&log, "a"), b(&log, "b");
    AttachSubclass(form.get(), &a);
    AttachSubclass(form.get(), &b);
    SendMessageA(form->Handle(), kProbe, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"a before", "b before", "control", "a after", "b after"}));

    log.clear();
    SendMessageA(form->Handle(), CM_RELEASE, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"a before", "b before", "control"}));

    log.clear();
    a.swallow = true;
    EXPECT_EQ(SendMessageA(form->Handle(), kProbe, 0, 0), 1);
    // The rest see a null message: neither the control nor the after-hooks act.
    EXPECT_EQ(log, (std::vector<std::string>{"a before"}));

    DetachSubclass(form.get(), &a);
    DetachSubclass(form.get(), &b);
    EXPECT_EQ(FindSubclassInfo(form.get()), nullptr);
    log.clear();
    SendMessageA(form->Handle(), kProbe, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"control"}));
}

// The hooks belong to the control: they need no window to attach and
// follow it into every window it makes.
TEST(SubclassChain, HooksNeedNoWindowAndFollowTheControlIntoItsNextWindow) {
    auto form = MakeForm<TForm>();
    std::vector<std::string> log;
    LogHook a(&log, "a");
    AttachSubclass(form.get(), &a);
    EXPECT_FALSE(form->HandleAllocated());
    SendMessageA(form->Handle(), kProbe, 0, 0);
    form->RecreateWnd();
    form->HandleNeeded();
    SendMessageA(form->Handle(), kProbe, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"a before", "a after", "a before", "a after"}));
    DetachSubclass(form.get(), &a);
    EXPECT_EQ(FindSubclassInfo(form.get()), nullptr);
}

// A control that goes with its hooks still attached takes its record along.
TEST(SubclassChain, AControlThatGoesLeavesNoRecord) {
    std::vector<std::string> log;
    LogHook a(&log, "a");
    TWinControl* gone = nullptr;
    {
        auto form = MakeForm<TForm>();
        gone = form.get();
        AttachSubclass(form.get(), &a);
        ASSERT_NE(FindSubclassInfo(gone), nullptr);
    }
    EXPECT_EQ(FindSubclassInfo(gone), nullptr);
    DetachSubclass(gone, &a);  // ignored
}

TEST(WindowHook, TheLaterHookSeesFirstAndAHandledMessageSkipsTheForm) {
    auto form = ShownForm();
    std::vector<std::string> log;
    form->WindowProc = [&, old = form->WindowProc](TMessage& m) {
        if (m.Msg == kProbe) log.push_back("form");
        old(m);
    };
    auto* first = Create<TWuWindowHook>(form.get());
    auto* second = Create<TWuWindowHook>(form.get());
    bool handle = false;
    first->BeforeMessage = [&](TObject*, TMessage& m, bool&) {
        if (m.Msg == kProbe) log.push_back("first");
    };
    second->BeforeMessage = [&](TObject*, TMessage& m, bool& handled) {
        if (m.Msg != kProbe) return;
        log.push_back("second");
        handled = handle;
    };
    first->SetWinControl(form.get());
    second->SetWinControl(form.get());
    SendMessageA(form->Handle(), kProbe, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"second", "first", "form"}));
    log.clear();
    handle = true;
    SendMessageA(form->Handle(), kProbe, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"second"}));
}

// A subclasser that came after the hook keeps its place when the hook goes:
// the hook's leaving must not cut it out of the window's procedure.
TEST(WindowHook, DetachingLeavesALaterSubclasserInPlace) {
    auto form = ShownForm();
    auto* hook = Create<TWuWindowHook>(form.get());
    int hookSaw = 0, laterSaw = 0;
    hook->AfterMessage = [&](TObject*, TMessage& m, bool&) { hookSaw += m.Msg == kProbe; };
    hook->SetWinControl(form.get());
    WindowSubclass later;
    later.Attach(form->Handle(), [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        laterSaw += msg == kProbe;
        return false;
    });
    SendMessageA(form->Handle(), kProbe, 0, 0);
    hook->SetActive(false);
    SendMessageA(form->Handle(), kProbe, 0, 0);
    EXPECT_EQ(hookSaw, 1);
    EXPECT_EQ(laterSaw, 2);
}

TEST(WindowHook, AFormThatMakesItsWindowAgainIsHookedAgain) {
    auto form = ShownForm();
    auto* hook = Create<TWuWindowHook>(form.get());
    int saw = 0;
    hook->AfterMessage = [&](TObject*, TMessage& m, bool&) { saw += m.Msg == kProbe; };
    hook->SetWinControl(form.get());
    form->RecreateWnd();
    form->HandleNeeded();
    PumpMessages();
    SendMessageA(form->Handle(), kProbe, 0, 0);
    EXPECT_EQ(saw, 1);
}

namespace {
const char* kHookLayout = R"(  object Hook1: TWuWindowHook
    IsForm = True
    BeforeMessage = HookBefore
    AfterMessage = HookAfter
  end
  object Panel1: TPanel
    Left = 8
    Top = 8
    Width = 100
    Height = 50
  end
  object Hook2: TWuWindowHook
    WinControl = Panel1
    AfterMessage = HookAfter
  end
)";
}  // namespace

// A layout names the control to watch, or says that it is the form; the
// form is written back the same way, as "IsForm".
TEST(WindowHook, ALayoutHooksTheFormOrANamedControlAndItsEventsSeeTheirMessages) {
    auto form = LoadWinUtilForm(kHookLayout);
    auto* hook1 = Find<TWuWindowHook>(form.get(), "Hook1");
    auto* hook2 = Find<TWuWindowHook>(form.get(), "Hook2");
    auto* panel = Find<TPanel>(form.get(), "Panel1");
    EXPECT_EQ(hook1->WinControl(), form.get());
    EXPECT_TRUE(hook1->IsForm());
    EXPECT_EQ(hook2->WinControl(), panel);
    EXPECT_FALSE(hook2->IsForm());
    form->Show();
    PumpMessages();
    SendMessageA(form->Handle(), kProbe, 0, 0);
    SendMessageA(panel->Handle(), kProbe, 0, 0);
    EXPECT_EQ(form->log, (std::vector<std::string>{"Hook1 before", "Hook1 after", "Hook2 after"}));

    std::string text = WriteLayout(form.get());
    EXPECT_NE(text.find("IsForm = True"), std::string::npos) << text;
    EXPECT_NE(text.find("WinControl = Panel1"), std::string::npos) << text;
    EXPECT_EQ(text.find("WinControl = F"), std::string::npos) << text;
}
