// The environment of the Win32 test programs: one application object,
// every class registered, message boxes and input queries answered by the
// tests, and a clean registry key for each test.
#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "app/RegisterAll.h"
#include "foundation/qclclass.h"
#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "support/GuiTest.h"
#include "support/TestEnv.h"

namespace treskel::test {

namespace {
std::deque<int>& BoxAnswers() {
    static std::deque<int> a;
    return a;
}

struct QueryAnswer {
    bool ok;
    std::string text;
};
std::deque<QueryAnswer>& QueryAnswers() {
    static std::deque<QueryAnswer> a;
    return a;
}

std::deque<std::function<bool(TCommonDialog&)>>& DialogAnswers() {
    static std::deque<std::function<bool(TCommonDialog&)>> a;
    return a;
}

int CautiousAnswer(UINT flags) {
    switch (flags & MB_TYPEMASK) {
        case MB_OKCANCEL:
        case MB_RETRYCANCEL:
        case MB_YESNOCANCEL: return IDCANCEL;
        case MB_YESNO: return IDNO;
        case MB_ABORTRETRYIGNORE: return IDABORT;
        default: return IDOK;
    }
}

// Threads of this process that have finished starting: the loader calls
// the program's thread callbacks in a new thread once the system has set
// it up, just before its own procedure runs.
std::atomic<int> startedThreads{0};

void NTAPI NoteThreadStart(PVOID, DWORD reason, PVOID) {
    if (reason == DLL_THREAD_ATTACH) ++startedThreads;
}

// The test framework watches, from a thread of its own, the first thread
// that keeps per-thread state (a scoped trace, a failure).  A test that ends
// while that thread is still starting takes the process down with a crash
// in Wine as it exits, after every test has passed.  The watcher is started
// here instead, and the tests begin once it runs.
void StartTheFrameworksWatcher() {
    const int before = startedThreads.load();
    { testing::ScopedTrace first(__FILE__, __LINE__, "the watcher starts"); }
    DWORD start = GetTickCount();
    while (startedThreads.load() == before && GetTickCount() - start < 10000) Sleep(1);
}

// The pointer stays where an earlier test left it, over a tray icon or a
// button that a later test shows at the same place, which then sees the
// pointer arrive.  Each test starts with it in the screen's far corner,
// where no test puts a window.
void ParkThePointer() {
    const int x = GetSystemMetrics(SM_CXSCREEN) - 1, y = GetSystemMetrics(SM_CYSCREEN) - 1;
    // The system moves the pointer only when the place differs from the one
    // it last knew, which a move it did not see makes wrong: one step aside first.
    SetCursorPos(x - 1, y - 1);
    SetCursorPos(x, y);
}

class ResetEachTest : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override {
        MessageBoxes().clear();
        InputQueries().clear();
        BoxAnswers().clear();
        QueryAnswers().clear();
        CommonDialogs().clear();
        DialogAnswers().clear();
        // Tests that run beside the window tests leave the key and the
        // pointer to them.
        if (std::getenv("TRESKEL_SHARED_REGISTRY") == nullptr) {
            ClearProgramRegistry();
            ParkThePointer();
        }
        if (Application != nullptr) Application->ResetTerminated();
    }
};
}  // namespace

// Called by the loader at each thread's start (the linker collects these
// pointers into the program's thread-callback table).
extern "C" __attribute__((section(".CRT$XLF"), used)) const PIMAGE_TLS_CALLBACK treskelNoteThreadStart =
    NoteThreadStart;

std::vector<BoxRecord>& MessageBoxes() {
    static std::vector<BoxRecord> boxes;
    return boxes;
}

std::vector<QueryRecord>& InputQueries() {
    static std::vector<QueryRecord> q;
    return q;
}

std::vector<std::string>& CommonDialogs() {
    static std::vector<std::string> d;
    return d;
}

void AnswerNextBox(int id) { BoxAnswers().push_back(id); }
void AnswerNextDialog(std::function<bool(TCommonDialog&)> answer) { DialogAnswers().push_back(std::move(answer)); }
void AnswerNextQuery(const std::string& text) { QueryAnswers().push_back({true, text}); }
void CancelNextQuery() { QueryAnswers().push_back({false, {}}); }

void InstallEnvironment() {
    StartTheFrameworksWatcher();
    TApplication* app = EnsureApplication();
    app->Initialize();
    RegisterAllClasses();
    // Test programs run side by side; none of them is a second start.
    if (QclApplication != nullptr) QclApplication->SetPrevInstance(false);
    SetMessageBoxResponder([](const std::string& text, const std::string& caption, UINT flags) {
        MessageBoxes().push_back({text, caption, flags});
        if (BoxAnswers().empty()) return CautiousAnswer(flags);
        int a = BoxAnswers().front();
        BoxAnswers().pop_front();
        return a;
    });
    SetInputQueryResponder([](const std::string& caption, const std::string& prompt, std::string& value) {
        InputQueries().push_back({caption, prompt, value});
        if (QueryAnswers().empty()) return false;
        QueryAnswer a = QueryAnswers().front();
        QueryAnswers().pop_front();
        if (a.ok) value = a.text;
        return a.ok;
    });
    SetCommonDialogResponder([](TCommonDialog& dialog) {
        CommonDialogs().push_back(dialog.ClassName());
        if (DialogAnswers().empty()) return false;
        auto answer = std::move(DialogAnswers().front());
        DialogAnswers().pop_front();
        return answer(dialog);
    });
    testing::UnitTest::GetInstance()->listeners().Append(new ResetEachTest);
}

void PumpMessages() {
    if (Application != nullptr) {
        Application->ProcessMessages();
        return;
    }
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, int ms) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (static_cast<int>(GetTickCount() - start) > ms) return false;
        PumpMessages();
        Sleep(5);
    }
    return true;
}

void HoldOnScreen(int ms) { PumpUntil([] { return false; }, ms); }

void ClickAt(HWND wnd, int x, int y) {
    LPARAM pos = MAKELPARAM(x, y);
    SendMessageA(wnd, WM_MOUSEMOVE, 0, pos);
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, pos);
    SendMessageA(wnd, WM_LBUTTONUP, 0, pos);
}

void PostClick(HWND wnd, int x, int y, UINT down, UINT up) {
    PostMessageA(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    PostMessageA(wnd, down, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, MAKELPARAM(x, y));
    PostMessageA(wnd, up, 0, MAKELPARAM(x, y));
    PumpMessages();
}

void MouseClickOnScreen(POINT p, int clicks, DWORD down, DWORD up) {
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    move.mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &move, sizeof move);
    PumpMessages();
    // Press and release go in together: a press on a bare caption starts
    // moving the window, which runs until the release.
    std::vector<INPUT> presses;
    for (int i = 0; i < clicks; ++i)
        for (DWORD flag : {down, up}) {
            INPUT in{};
            in.type = INPUT_MOUSE;
            in.mi.dwFlags = flag;
            presses.push_back(in);
        }
    SendInput(static_cast<UINT>(presses.size()), presses.data(), sizeof(INPUT));
}

namespace {
INPUT MouseAt(POINT p, DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
}
}  // namespace

void MouseDragOnScreen(POINT from, POINT to) {
    INPUT in = MouseAt(from, 0);
    SendInput(1, &in, sizeof in);
    PumpMessages();
    in = MouseAt(from, MOUSEEVENTF_LEFTDOWN);
    SendInput(1, &in, sizeof in);
    PumpMessages();
    for (int step = 1; step <= 10; ++step) {
        POINT p{from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10};
        in = MouseAt(p, 0);
        SendInput(1, &in, sizeof in);
        PumpMessages();
    }
    in = MouseAt(to, MOUSEEVENTF_LEFTUP);
    SendInput(1, &in, sizeof in);
    PumpMessages();
}

struct MouseDragAside::Impl {
    std::atomic<bool> done{false};
    std::thread thread;
};

MouseDragAside::MouseDragAside(POINT from, POINT to, std::function<void()> atTarget)
    : impl_(std::make_unique<Impl>()) {
    impl_->thread = std::thread([from, to, atTarget = std::move(atTarget), impl = impl_.get()] {
        auto send = [](POINT p, DWORD flags) {
            INPUT in = MouseAt(p, flags);
            SendInput(1, &in, sizeof in);
            Sleep(40);
        };
        send(from, 0);
        send(from, MOUSEEVENTF_LEFTDOWN);
        for (int step = 1; step <= 10; ++step)
            send({from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10}, 0);
        Sleep(300);  // the window has followed
        if (atTarget) atTarget();
        send(to, MOUSEEVENTF_LEFTUP);
        impl->done = true;
    });
}

MouseDragAside::~MouseDragAside() {
    if (impl_->thread.joinable()) impl_->thread.join();
}

bool MouseDragAside::Done() const { return impl_->done; }

void PressKey(HWND wnd, WORD vk) {
    UINT scan = MapVirtualKeyA(vk, 0);
    PostMessageA(wnd, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageA(wnd, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000);
    PumpMessages();
}

namespace {
// Keys pressed (and, for `up`, released) on the keyboard in this order;
// they reach the window with the focus through the system's input.
void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
    std::vector<INPUT> in;
    for (auto [vk, up] : keys) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
    }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    PumpMessages();
}
}  // namespace

void PressKeyWith(WORD modifier, char key) {
    WORD vk = static_cast<WORD>(VkKeyScanA(key) & 0xFF);
    SendKeys({{modifier, false}, {vk, false}, {vk, true}, {modifier, true}});
}

void TypeIntoFocus(char c) {
    WORD vk = static_cast<WORD>(VkKeyScanA(c) & 0xFF);
    SendKeys({{vk, false}, {vk, true}});
}

void TypeIntoFocus(const std::string& text) {
    std::vector<INPUT> in;
    for (char c : text)
        for (bool up : {false, true}) {
            INPUT i{};
            i.type = INPUT_KEYBOARD;
            i.ki.wVk = static_cast<WORD>(VkKeyScanA(c) & 0xFF);
            i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            in.push_back(i);
        }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    PumpMessages();
}

void TapKey(WORD vk) { SendKeys({{vk, false}, {vk, true}}); }

void TapKeyWith(WORD modifier, WORD vk) { SendKeys({{modifier, false}, {vk, false}, {vk, true}, {modifier, true}}); }

void TypeUnicode(std::wstring_view text) {
    std::vector<INPUT> in;
    for (wchar_t c : text)
        for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT i{};
            i.type = INPUT_KEYBOARD;
            i.ki.wScan = c;
            i.ki.dwFlags = KEYEVENTF_UNICODE | up;
            in.push_back(i);
        }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    PumpMessages();
}

std::wstring RichEditText(HWND wnd) {
    GETTEXTLENGTHEX length{GTL_DEFAULT, 1200};
    auto n = static_cast<size_t>(SendMessageW(wnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    std::wstring w(n + 1, L'\0');
    GETTEXTEX get{};
    get.cb = static_cast<DWORD>((n + 1) * sizeof(wchar_t));
    get.flags = GT_DEFAULT;
    get.codepage = 1200;
    w.resize(static_cast<size_t>(
        SendMessageW(wnd, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(w.data()))));
    return w;
}

std::string Differences(std::wstring_view expected, std::wstring_view actual) {
    std::string r;
    int shown = 0;
    char buf[64];
    for (size_t i = 0; i < std::max(expected.size(), actual.size()) && shown < 10; ++i) {
        unsigned e = i < expected.size() ? expected[i] : 0, a = i < actual.size() ? actual[i] : 0;
        if (e == a) continue;
        std::snprintf(buf, sizeof buf, "%sat %u: U+%04X became U+%04X", shown > 0 ? ", " : "", static_cast<unsigned>(i), e, a);
        r += buf;
        ++shown;
    }
    size_t differing = 0;
    for (size_t i = 0; i < std::min(expected.size(), actual.size()); ++i) differing += expected[i] != actual[i];
    if (differing > 10) r += ", " + std::to_string(differing) + " in all";
    if (expected.size() != actual.size())
        r += " (" + std::to_string(expected.size()) + " characters became " + std::to_string(actual.size()) + ")";
    return r;
}

void TypeText(HWND wnd, const std::string& text) {
    for (unsigned char c : text) {
        PostMessageA(wnd, WM_CHAR, c, 1);
    }
    PumpMessages();
}

namespace {
void DeleteKeyTree(HKEY parent, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char sub[256];
    for (;;) {
        DWORD n = sizeof sub;
        if (RegEnumKeyExA(key, 0, sub, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        DeleteKeyTree(key, sub);
    }
    RegCloseKey(key);
    RegDeleteKeyA(parent, name);
}
}  // namespace

void ClearProgramRegistry() {
    DeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Qiv");
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Treskel!");
}

std::string ReadRegistryString(const std::string& key, const std::string& name, HKEY root) {
    DWORD size = 0;
    if (RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size == 0)
        return {};
    std::string value(size, '\0');
    if (RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, value.data(), &size) != ERROR_SUCCESS)
        return {};
    value.resize(size > 0 ? size - 1 : 0);
    return value;
}

void WriteRegistryString(const std::string& key, const std::string& name, const std::string& value) {
    HKEY k;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) !=
        ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot make the key " << key;
        return;
    }
    RegSetValueExA(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(k);
}

void SaveWindowShot(HWND wnd, const std::string& name) {
    const char* folder = std::getenv("TRESKEL_SHOTS");
    if (folder == nullptr || wnd == nullptr) return;
    RECT r;
    GetWindowRect(wnd, &r);
    TBitmap picture;
    picture.SetPixelFormat(TPixelFormat::pf24bit);
    picture.SetSize(r.right - r.left, r.bottom - r.top);
    WindowDC screen(nullptr);
    BitBlt(picture.Canvas()->Handle(), 0, 0, picture.Width(), picture.Height(), screen.Get(), r.left, r.top, SRCCOPY);
    picture.SaveToFile(std::string(folder) + "\\" + name + ".bmp");
}

bool RegistryValueExists(const std::string& key, const std::string& name) {
    return RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

bool RegistryKeyExists(const std::string& key) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

}  // namespace treskel::test
