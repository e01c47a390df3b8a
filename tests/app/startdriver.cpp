// Drives the program that scripts/start.sh started, from outside, with the
// mouse and the keyboard as a user does (tests/scripts/second_start_test.sh).
//   startdriver note TEXT   makes a treskel with one item when there is
//                           none, and types TEXT into the item's note
//   startdriver remove      adds an item and removes it with the Remove
//                           button, answering Yes; the note of the item
//                           shown then is printed
//   startdriver shows       prints the note shown
//   startdriver close       closes the program and waits for its end
// Exits with 0 when the program did what the user asked, 1 otherwise (the
// reason on stderr).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "support/GuiTest.h"
#include "support/ProgramRun.h"

using namespace treskel::test;

namespace {

struct Program {
    HWND main = nullptr;
    DWORD pid = 0;
    HANDLE process = nullptr;
};

BOOL CALLBACK FindMain(HWND wnd, LPARAM lp) {
    char text[64] = {};
    GetWindowTextA(wnd, text, sizeof text);
    if (!IsWindowVisible(wnd) || (GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_APPWINDOW) == 0 ||
        std::string(text) != "Treskel!")
        return TRUE;
    *reinterpret_cast<HWND*>(lp) = wnd;
    return FALSE;
}

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "startdriver: %s\n", why.c_str());
    std::exit(1);
}

bool Alive(const Program& p) { return WaitForSingleObject(p.process, 0) == WAIT_TIMEOUT && IsWindow(p.main); }

// Waits for `done`, failing at once when the program has gone.
void Await(const Program& p, const std::function<bool()>& done, const std::string& what, int ms = 15000) {
    if (!PumpUntil([&] { return done() || !Alive(p); }, ms) || !Alive(p))
        Fail(Alive(p) ? "no " + what : "the program ended while waiting for " + what);
}

Program FindProgram() {
    Program p;
    PumpUntil([&] {
        EnumWindows(FindMain, reinterpret_cast<LPARAM>(&p.main));
        return p.main != nullptr;
    }, 30000);
    if (p.main == nullptr) Fail("the program's window is not there");
    GetWindowThreadProcessId(p.main, &p.pid);
    p.process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, p.pid);
    SetForegroundWindow(p.main);
    PumpMessages();
    return p;
}

void ClickIn(HWND wnd, int x, int y) {
    POINT at{x, y};
    ClientToScreen(wnd, &at);
    MouseClickOnScreen(at);
    PumpUntil([] { return false; }, 300);
}

void Type(const std::string& text) {
    for (char c : text) TypeIntoFocus(c);
    PumpUntil([] { return false; }, 200);
}

// Clicks until `done`: a click that comes while the window is still
// settling after its start is lost, as a user's would be.
void ClickUntil(const Program& p, HWND wnd, int x, int y, const std::function<bool()>& done, const std::string& what) {
    for (int tries = 0; tries < 3; ++tries) {
        SetForegroundWindow(p.main);
        ClickIn(wnd, x, y);
        if (PumpUntil([&] { return done() || !Alive(p); }, 5000)) break;
    }
    Await(p, done, what, 0);
}

// The main tool bar's button that starts `left` pixels in.
void PressToolButton(const Program& p, int left, const std::function<bool()>& done, const std::string& what) {
    HWND bar = FindWindowExA(p.main, nullptr, "TToolBar", nullptr);
    if (bar == nullptr) Fail("no tool bar");
    ClickUntil(p, bar, left + 11, 11, done, what);
}
constexpr int kNewButton = 0, kRemoveButton = 77, kNewTreskelButton = 254;

HWND Tree(const Program& p) { return FindChildOfClass(p.main, "TTreeView"); }
int Items(const Program& p) { return static_cast<int>(SendMessageA(Tree(p), TVM_GETCOUNT, 0, 0)); }

std::string ShownNote(const Program& p) {
    char text[1024] = {};
    SendMessageA(FindChildOfClass(p.main, "TRichEditEx"), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// A new item captioned `caption` (the tree edits the caption of a new item).
void NewItem(const Program& p, const std::string& caption) {
    const int before = Items(p);
    PressToolButton(p, kNewButton, [&] { return Items(p) == before + 1 && FindChildOfClass(Tree(p), "Edit") != nullptr; },
                    "new item");
    Type(caption);
    TapKey(VK_RETURN);
}

void MakeTreskel(const Program& p) {
    HWND tabs = FindChildOfClass(p.main, "TTabControl");
    PressToolButton(p, kNewTreskelButton, [&] { return WindowOfCaption(p.pid, "New Treskel") != nullptr; },
                    "new treskel prompt");
    Type("work");
    TapKey(VK_RETURN);
    Await(p, [&] { return SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0) == 1; }, "tab");
    ClickUntil(p, tabs, 16, 8, [&] { return SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == 0; }, "treskel entered");
}

void Note(const Program& p, const std::string& text) {
    if (Items(p) == 0) {
        if (SendMessageA(FindChildOfClass(p.main, "TTabControl"), TCM_GETITEMCOUNT, 0, 0) == 0) MakeTreskel(p);
        NewItem(p, "first");
    }
    HWND editor = FindChildOfClass(p.main, "TRichEditEx");
    RECT r;
    GetClientRect(editor, &r);
    ClickIn(editor, r.right / 2, r.bottom / 2);
    Type(text);
    Await(p, [&] { return ShownNote(p).find(text) != std::string::npos; }, "typed note");
}

void Remove(const Program& p) {
    NewItem(p, "second");
    const int before = Items(p);
    HWND box = nullptr;
    PressToolButton(p, kRemoveButton, [&] { return (box = WindowOfCaption(p.pid, "Delete Treskel Item")) != nullptr; },
                    "question");
    HWND yes = FindWindowExA(box, nullptr, "Button", "&Yes");
    if (yes == nullptr) Fail("no Yes button");
    RECT r;
    GetClientRect(yes, &r);
    ClickIn(yes, r.right / 2, r.bottom / 2);
    Await(p, [&] { return Items(p) == before - 1; }, "removal");
}

void Close(const Program& p) {
    PostMessageA(p.main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(p.process, 30000) != WAIT_OBJECT_0) Fail("the program did not end");
    DWORD code = 1;
    GetExitCodeProcess(p.process, &code);
    if (code != 0) Fail("the program ended with " + std::to_string(code));
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    Program p = FindProgram();
    if (command == "note" && argc > 2)
        Note(p, argv[2]);
    else if (command == "remove")
        Remove(p);
    else if (command == "close")
        Close(p);
    else if (command != "shows")
        Fail("usage: startdriver note TEXT | remove | shows | close");
    if (command != "close") std::printf("%s\n", ShownNote(p).c_str());
    return 0;
}
