#include <gtest/gtest.h>

#include "platform/ActnList.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "support/GuiTest.h"

using namespace treskel;
using namespace treskel::test;

TEST(Application, HiddenWindowCarriesTheTitle) {
    Application->SetTitle("Treskel!");
    HWND h = FindWindowA("TApplication", "Treskel!");
    EXPECT_EQ(h, Application->Handle());
    EXPECT_FALSE(IsWindowVisible(h));
}

TEST(Application, ExceptionInAHandlerEndsInTheErrorBoxAndTheLoopGoesOn) {
    auto form = MakeForm<TForm>();
    auto* button = Create<TButton>(form.get());
    button->SetParent(form.get());
    button->SetCaption("Fail");
    int clicks = 0;
    button->OnClick = [&](TObject*) {
        ++clicks;
        throw EConvertError("'x' is not a valid integer value");
    };
    form->Show();
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    PumpMessages();
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "'x' is not a valid integer value.");
    EXPECT_EQ(MessageBoxes()[0].caption, Application->Title());
    EXPECT_EQ(MessageBoxes()[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    // The window still answers.
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 2);
}

// A failure of the language's library reaches the error box in words of
// the program, never under its own name.
TEST(Application, TheErrorBoxNamesNoExceptionOfTheLanguagesLibrary) {
    auto form = MakeForm<TForm>();
    auto* button = Create<TButton>(form.get());
    button->SetParent(form.get());
    int clicks = 0;
    button->OnClick = [&](TObject*) {
        if (++clicks == 1) throw std::bad_alloc();
        std::vector<int> v;
        v.reserve(v.max_size() + 1);
    };
    form->Show();
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    PumpMessages();
    ASSERT_EQ(MessageBoxes().size(), 2u);
    EXPECT_EQ(MessageBoxes()[0].text, "There is not enough memory to finish this operation.");
    EXPECT_EQ(MessageBoxes()[1].text, "This operation was stopped by an error inside the program.");
}

TEST(Controls, FreedPopupMenuIsClearedFromTheControl) {
    auto form = MakeForm<TForm>();
    auto* menu = Create<TPopupMenu>(form.get());
    auto* edit = Create<TEdit>(form.get());
    edit->SetParent(form.get());
    edit->SetPopupMenu(menu);
    EXPECT_EQ(edit->PopupMenu(), menu);
    menu->Free();
    EXPECT_EQ(edit->PopupMenu(), nullptr);
}

TEST(Controls, AlignmentFillsTheParentInOrder) {
    auto form = MakeForm<TForm>();
    form->SetFormClientWidth(400);
    form->SetFormClientHeight(300);
    auto* top = Create<TEdit>(form.get());
    top->SetParent(form.get());
    top->SetHeight(20);
    top->SetAlign(TAlign::alTop);
    auto* left = Create<TButton>(form.get());
    left->SetParent(form.get());
    left->SetWidth(50);
    left->SetAlign(TAlign::alLeft);
    auto* client = Create<TButton>(form.get());
    client->SetParent(form.get());
    client->SetAlign(TAlign::alClient);
    form->Show();
    PumpMessages();
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 400, 20));
    EXPECT_EQ(left->BoundsRect(), Rect(0, 20, 50, 300));
    EXPECT_EQ(client->BoundsRect(), Rect(50, 20, 400, 300));
    form->SetFormClientWidth(500);
    PumpMessages();
    EXPECT_EQ(client->BoundsRect(), Rect(50, 20, 500, 300));
    RECT r;
    GetWindowRect(client->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 450);
}

TEST(Forms, ShowModalEndsWithTheButtonsModalResult) {
    auto form = MakeForm<TForm>();
    auto* ok = Create<TButton>(form.get());
    ok->SetParent(form.get());
    ok->SetModalResult(mrOk);
    // Press the button once the modal loop runs.
    PostMessageA(nullptr, WM_NULL, 0, 0);
    SetTimer(nullptr, 0, 10, nullptr);
    Application->OnIdle = [&](TObject*, bool&) {
        if (form->Modal() && ok->HandleAllocated()) SendMessageA(ok->Handle(), BM_CLICK, 0, 0);
    };
    int r = form->ShowModal();
    Application->OnIdle = nullptr;
    EXPECT_EQ(r, mrOk);
    EXPECT_FALSE(form->Visible());
}

TEST(Layouts, EveryLayoutOfTheProgramLoads) {
    // Each layout in resources/forms names its form class; the class must
    // exist and accept every property, component and handler it names.
    WIN32_FIND_DATAA fd;
    std::string dir = std::string(TRESKEL_SOURCE_DIR) + "/resources/forms/";
    HANDLE h = FindFirstFileA((dir + "*.form").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    int count = 0;
    do {
        std::string name = fd.cFileName;
        SCOPED_TRACE(name);
        std::string text = LoadLayoutResource(UpperCase("T" + ChangeFileExt(name, "")));
        ASSERT_FALSE(text.empty()) << "layout not compiled into the program: " << name;
        FormObject layout = ParseLayout(text, name);
        const ClassInfo* ci = ClassRegistry::Instance().Find(layout.className);
        ASSERT_NE(ci, nullptr) << layout.className;
        ASSERT_TRUE(ci->create) << layout.className;
        OwnedPtr<TComponent> form(ci->create(nullptr));
        auto* f = dynamic_cast<TCustomForm*>(form.get());
        ASSERT_NE(f, nullptr);
        EXPECT_NO_THROW(f->InitializeForm(text, name));
        // Tooltips and status rows show a hint as it is written: "&" marks
        // no key there, and a doubled one would show twice.
        for (int i = 0; i < f->ComponentCount(); ++i) {
            TComponent* c = f->Components(i);
            std::string hint;
            if (auto* control = dynamic_cast<TControl*>(c)) hint = control->Hint();
            if (auto* action = dynamic_cast<TCustomAction*>(c)) hint = action->Hint();
            if (auto* item = dynamic_cast<TMenuItem*>(c)) hint = item->Hint();
            EXPECT_EQ(hint.find("&&"), std::string::npos) << c->Name() << ": " << hint;
        }
        ++count;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    EXPECT_GE(count, 1);
}

TEST(Keyboard, TabMovesTheFocusInTabOrder) {
    auto form = MakeForm<TForm>();
    std::vector<TEdit*> edits;
    for (int i = 0; i < 3; ++i) {
        auto* e = Create<TEdit>(form.get());
        e->SetParent(form.get());
        e->SetBounds(10, 10 + 30 * i, 100, 21);
        e->SetTabOrder(2 - i);  // reversed: the last one first
        edits.push_back(e);
    }
    form->Show();
    edits[2]->SetFocus();
    PumpMessages();
    PressKey(edits[2]->Handle(), VK_TAB);
    EXPECT_TRUE(edits[1]->Focused());
    PressKey(edits[1]->Handle(), VK_TAB);
    EXPECT_TRUE(edits[0]->Focused());
    PressKey(edits[0]->Handle(), VK_TAB);
    EXPECT_TRUE(edits[2]->Focused());
    EXPECT_EQ(form->ActiveControl(), edits[2]);
}

TEST(Keyboard, EnterAndExitFollowTheFocus) {
    auto form = MakeForm<TForm>();
    auto* a = Create<TEdit>(form.get());
    a->SetParent(form.get());
    auto* b = Create<TEdit>(form.get());
    b->SetParent(form.get());
    b->SetTop(40);
    std::vector<std::string> log;
    a->OnEnter = [&](TObject*) { log.push_back("enter a"); };
    a->OnExit = [&](TObject*) { log.push_back("exit a"); };
    b->OnEnter = [&](TObject*) { log.push_back("enter b"); };
    form->Show();
    a->SetFocus();
    b->SetFocus();
    PumpMessages();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()), (std::vector<std::string>{"exit a", "enter b"}));
}

TEST(Keyboard, ActionShortcutsRunFromAnyControlOfTheForm) {
    auto form = MakeForm<TForm>();
    auto* list = Create<TActionList>(form.get());
    auto* action = Create<TAction>(form.get());
    action->SetActionList(list);
    action->SetShortCut(TextToShortCut("Ctrl+N"));
    int runs = 0;
    action->OnExecute = [&](TObject*) { ++runs; };
    auto* edit = Create<TEdit>(form.get());
    edit->SetParent(form.get());
    form->Show();
    edit->SetFocus();
    // Ctrl held while N goes down.
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PressKey(edit->Handle(), 'N');
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(runs, 1);
    action->SetEnabled(false);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PressKey(edit->Handle(), 'N');
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(runs, 1);
}

namespace {
// A button to drag from and an edit field to drop on.
struct DragForm {
    OwnedPtr<TForm> form = MakeForm<TForm>();
    TButton* source = Create<TButton>(form.get());
    TEdit* target = Create<TEdit>(form.get());
    DragForm() {
        form->SetBounds(0, 0, 400, 300);
        source->SetParent(form.get());
        source->SetBounds(10, 10, 80, 25);
        target->SetParent(form.get());
        target->SetBounds(200, 100, 100, 25);
    }
    // The drag runs its own loop: the move into the target and the release
    // there (in the source's client coordinates) are queued first.
    void DragToTarget() {
        form->Show();
        PumpMessages();
        TPoint inTarget = source->ScreenToClient(target->ClientToScreen({5, 6}));
        PostMessageA(source->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(inTarget.x, inTarget.y));
        PostMessageA(source->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(inTarget.x, inTarget.y));
        source->BeginDrag(true);
    }
};
}  // namespace

TEST(DragAndDrop, DroppingOnAControlThatAcceptsCallsItsDragDrop) {
    DragForm d;
    std::vector<std::string> log;
    d.target->OnDragOver = [&](TObject*, TObject* src, int, int, TDragState, bool& accept) { accept = src == d.source; };
    d.target->OnDragDrop = [&](TObject*, TObject* src, int x, int y) {
        log.push_back(Format("drop %s at %d,%d", static_cast<TComponent*>(src) == d.source ? "source" : "?", x, y));
    };
    d.source->OnEndDrag = [&](TObject*, TObject* t, int, int) { log.push_back(t == d.target ? "end on target" : "end"); };
    d.DragToTarget();
    EXPECT_EQ(log, (std::vector<std::string>{"drop source at 5,6", "end on target"}));
}

TEST(DragAndDrop, AHandlerThatThrowsEndsTheDragAndTheNextOneStarts) {
    DragForm d;
    bool fail = true;
    int drops = 0;
    d.target->OnDragOver = [&](TObject*, TObject* src, int, int, TDragState, bool& accept) {
        if (fail) throw Exception("Drag failed");
        accept = src == d.source;
    };
    d.target->OnDragDrop = [&](TObject*, TObject*, int, int) { ++drops; };
    EXPECT_THROW(d.DragToTarget(), Exception);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(d.source->Dragging());
    EXPECT_EQ(CurrentDragObject(), nullptr);
    PumpMessages();  // the release the failed drag left unread
    fail = false;
    d.DragToTarget();
    EXPECT_EQ(drops, 1);
}

TEST(Forms, SystemChangesReachEveryControlOfTheForm) {
    auto form = MakeForm<TForm>();
    auto* panel = Create<TEdit>(form.get());
    panel->SetParent(form.get());
    int colours = 0, fonts = 0;
    auto old = panel->WindowProc;
    panel->WindowProc = [&](TMessage& m) {
        if (m.Msg == CM_SYSCOLORCHANGE) ++colours;
        if (m.Msg == CM_FONTCHANGE) ++fonts;
        old(m);
    };
    form->Show();
    SendMessageA(form->Handle(), WM_SYSCOLORCHANGE, 0, 0);
    SendMessageA(form->Handle(), WM_FONTCHANGE, 0, 0);
    EXPECT_EQ(colours, 1);
    EXPECT_EQ(fonts, 1);
    panel->WindowProc = old;
}

TEST(Forms, AModalFormThatAsksToBeFreedIsFreedAfterItsCaller) {
    auto* form = new TForm(nullptr);
    form->InitializeForm();
    bool destroyed = false;
    form->OnDestroy = [&](TObject*) { destroyed = true; };
    form->OnClose = [](TObject*, TCloseAction& a) { a = TCloseAction::caFree; };
    Application->OnIdle = [&](TObject*, bool& done) {
        if (form->Modal()) form->SetModalResult(mrOk);
        done = false;  // look at the result now rather than wait for a message
    };
    EXPECT_EQ(form->ShowModal(), mrOk);
    Application->OnIdle = nullptr;
    EXPECT_FALSE(destroyed);  // the caller may still read it
    PumpMessages();
    EXPECT_TRUE(destroyed);
}

// A modal form opened from another stays above it only while it is up:
// it outlives the first one afterwards, its window whole.
TEST(Forms, AModalFormOpenedFromAnotherBelongsToItWhileItIsUp) {
    auto outer = MakeForm<TForm>();
    auto inner = MakeForm<TForm>();
    const HWND innerWnd = inner->Handle();
    const HWND ownerBefore = GetWindow(innerWnd, GW_OWNER);
    HWND ownerWhileUp = nullptr;
    bool innerShown = false;
    Application->OnIdle = [&](TObject*, bool& done) {
        done = false;
        if (inner->Modal()) {
            ownerWhileUp = GetWindow(innerWnd, GW_OWNER);
            inner->SetModalResult(mrOk);
        } else if (outer->Modal() && !innerShown && GetActiveWindow() == outer->Handle()) {
            innerShown = true;
            inner->ShowModal();
            outer->SetModalResult(mrOk);
        }
    };
    EXPECT_EQ(outer->ShowModal(), mrOk);
    Application->OnIdle = nullptr;
    ASSERT_TRUE(innerShown);
    EXPECT_EQ(ownerWhileUp, outer->Handle());
    EXPECT_EQ(GetWindow(innerWnd, GW_OWNER), ownerBefore);
    outer.reset();
    EXPECT_TRUE(IsWindow(innerWnd));
    EXPECT_EQ(inner->Handle(), innerWnd);
}

TEST(Forms, AThrowingCloseHandlerEndsTheModalLoopAndWakesTheOtherWindows) {
    auto owner = MakeForm<TForm>();
    owner->Show();
    auto form = MakeForm<TForm>();
    form->OnClose = [](TObject*, TCloseAction&) { throw Exception("Close failed"); };
    Application->OnIdle = [&](TObject*, bool& done) {
        if (form->Modal()) form->SetModalResult(mrOk);
        done = false;
    };
    int level = Application->ModalLevel();
    EXPECT_THROW(form->ShowModal(), Exception);
    Application->OnIdle = nullptr;
    EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
    EXPECT_FALSE(form->Modal());
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(Application->ModalLevel(), level);
}

TEST(Graphics, AMaskIsWhiteWhereTheColourWasAndBlackElsewhere) {
    TBitmap b;
    b.SetPixelFormat(TPixelFormat::pf24bit);
    b.SetSize(4, 1);
    for (int x = 0; x < 4; ++x) b.Canvas()->SetPixel(x, 0, x % 2 == 0 ? clFuchsia : clNavy);
    b.Mask(clFuchsia);
    EXPECT_TRUE(b.Monochrome());
    EXPECT_EQ(b.Canvas()->Pixel(0, 0) & 0xFFFFFF, 0xFFFFFF);
    EXPECT_EQ(b.Canvas()->Pixel(1, 0) & 0xFFFFFF, 0);
}

TEST(Labels, AnAutoSizedLabelFromALayoutFitsItsCaption) {
    auto form = MakeForm<TForm>();
    ReadLayout(form.get(), "object F: TForm\n object L: TLabel\n  Caption = 'A caption that is long'\n end\nend", "l.form");
    auto* label = dynamic_cast<TLabel*>(form->FindComponent("L"));
    ASSERT_NE(label, nullptr);
    EXPECT_GT(label->Width(), 80);  // not the 65 pixels a label starts with
    EXPECT_LT(label->Height(), 30);
}
