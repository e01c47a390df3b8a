// Times the program as a user meets it: start until the main window is shown
// and idle, a move to the second tab and back to the first, and closing
// until the process has ended; or, on a treskel whose items alternate
// between small and large notes, showing and leaving each large note by a
// click and by the Down key, and leaving it saved; or showing one large note and then its
// preview, with the memory the program holds; or the longest stall of
// the window while it writes its tree a moment after a change; or pasting
// a small picture into each of the large notes.  Prints the times in
// milliseconds and memory in megabytes.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "WineBench.h"

namespace {

using treskel::bench::Now;

struct ChildSearch {
    const char* classPart;
    HWND found = nullptr;
};

BOOL CALLBACK TakeChild(HWND w, LPARAM p) {
    auto* search = reinterpret_cast<ChildSearch*>(p);
    char name[64];
    GetClassNameA(w, name, sizeof name);
    if (std::string(name).find(search->classPart) == std::string::npos) return TRUE;
    search->found = w;
    return FALSE;
}

// The first child window of `main` whose class name holds `classPart`.
HWND FindChild(HWND main, const char* classPart) {
    ChildSearch search{classPart};
    EnumChildWindows(main, TakeChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HTREEITEM RowItem(HWND tree, int row) {
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (item != nullptr && row-- > 0)
        item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    return item;
}

// A click on the row of the tree's top item `row`, which selects it.  Both
// halves are posted, the press first: the tree follows a press until it
// takes the release from the queue.  (A release posted before a press that
// is sent can reach an idle program first, and the press then waits for a
// release that never comes.)  The click has been taken once the tree's
// caret is on the row; a question sent to the tree is answered only when
// the program looks at its messages again.
double ClickRow(HANDLE process, HWND tree, int row) {
    DWORD_PTR result;
    const int height = static_cast<int>(SendMessageA(tree, TVM_GETITEMHEIGHT, 0, 0));
    const HTREEITEM target = RowItem(tree, row);
    // In view, counted from the first row shown.
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(target));
    const auto first = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    int shown = row;
    for (int r = 0; r < row; ++r)
        if (RowItem(tree, r) == first) shown = row - r;
    // Just past the item's picture: on its caption, however short.
    const LPARAM at = MAKELPARAM(22, shown * height + height / 2);
    const double t0 = Now();
    PostMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(tree, WM_LBUTTONUP, 0, at);
    for (;;) {
        result = 0;
        SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, SMTO_NORMAL, 1800000, &result);
        if (reinterpret_cast<HTREEITEM>(result) == target || Now() - t0 > 1800000) break;
        Sleep(1);
    }
    WaitForInputIdle(process, 1800000);
    return Now() - t0;
}

// Selects the top item `row` by a click, unless it is selected: a click on
// the selected item's caption begins editing it.
void SelectRow(HANDLE process, HWND tree, int row) {
    if (reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) != RowItem(tree, row))
        ClickRow(process, tree, row);
}

// The Down key pressed and released on the tree.
double PressDown(HANDLE process, HWND tree) {
    DWORD_PTR result;
    const double t0 = Now();
    SendMessageTimeoutA(tree, WM_KEYDOWN, VK_DOWN, 1, SMTO_NORMAL, 1800000, &result);
    SendMessageTimeoutA(tree, WM_KEYUP, VK_DOWN, 0xC0000001, SMTO_NORMAL, 1800000, &result);
    WaitForInputIdle(process, 1800000);
    return Now() - t0;
}

// A click into the note editor, which marks the note shown as modified:
// leaving it then saves it.
void ClickEditor(HANDLE process, HWND main) {
    HWND editor = FindChild(main, "RichEdit");
    if (editor == nullptr) return;
    // Both posted, the release behind the press: the editor follows a press
    // with the mouse until the button is up.
    PostMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    WaitForInputIdle(process, 1800000);
    DWORD_PTR result;
    SendMessageTimeoutA(editor, WM_NULL, 0, 0, SMTO_NORMAL, 1800000, &result);
}

// Small notes lie between the large notes named by `labels`, each given
// as its label and its top item's row ("2MB@3"; by default items 1, 3,
// ...).  From the small note before each large one: show it, then leave
// it for the small note after it, by clicks and then by the Down key, one
// right after the other, so that the machine's load weighs alike on both;
// and once more, leaving it after a click into it, which saves it first.
void TimeNotes(HANDLE process, HWND main, int labels, char** label) {
    HWND tree = FindChild(main, "TreeView");
    if (tree == nullptr) return;
    std::vector<int> rows;
    for (int i = 0; i < labels; ++i) {
        char* at = std::strrchr(label[i], '@');
        rows.push_back(at != nullptr ? std::atoi(at + 1) : 2 * i + 1);
        if (at != nullptr) *at = '\0';
    }
    for (int i = 0; i < labels; ++i) {
        const int row = rows[i];
        SelectRow(process, tree, row - 1);
        std::printf("show-click %s %.0f\n", label[i], ClickRow(process, tree, row));
        std::printf("leave-click %s %.0f\n", label[i], ClickRow(process, tree, row + 1));
        SelectRow(process, tree, row - 1);
        std::printf("show-key %s %.0f\n", label[i], PressDown(process, tree));
        std::printf("leave-key %s %.0f\n", label[i], PressDown(process, tree));
        std::fflush(stdout);
    }
    for (int i = 0; i < labels; ++i) {
        const int row = rows[i];
        SelectRow(process, tree, row - 1);
        PressDown(process, tree);
        ClickEditor(process, main);
        std::printf("save-key %s %.0f\n", label[i], PressDown(process, tree));
        std::fflush(stdout);
    }
}

struct PanelSearch {
    int width, height;
    HWND found = nullptr;
};

BOOL CALLBACK TakePanel(HWND w, LPARAM p) {
    auto* search = reinterpret_cast<PanelSearch*>(p);
    char name[64];
    GetClassNameA(w, name, sizeof name);
    RECT r;
    GetClientRect(w, &r);
    if (std::string(name) != "TPanel" || r.right != search->width || r.bottom != search->height) return TRUE;
    search->found = w;
    return FALSE;
}

// The process's memory in megabytes: what it holds now and the most it held.
void Memory(HANDLE process, double& held, double& peak) {
    PROCESS_MEMORY_COUNTERS c{};
    c.cb = sizeof c;
    GetProcessMemoryInfo(process, &c, sizeof c);
    held = static_cast<double>(c.WorkingSetSize) / (1 << 20);
    peak = static_cast<double>(c.PeakWorkingSetSize) / (1 << 20);
}

// Shows the large note of top item `row` by a click from the small note
// before it, then opens its preview as the user does: the print button's
// menu, its second entry ("Preview..."), until the preview is shown and
// idle; then closes it.
void TimePreview(HANDLE process, HWND main, int row, const char* label) {
    HWND tree = FindChild(main, "TreeView");
    PanelSearch panel{100, 22};  // the panel of the office buttons, the print button last
    EnumChildWindows(main, TakePanel, reinterpret_cast<LPARAM>(&panel));
    if (tree == nullptr || panel.found == nullptr) return;
    SelectRow(process, tree, row - 1);
    double held, peak;
    Memory(process, held, peak);
    std::printf("before %s %.0f %.0f\n", label, held, peak);
    std::printf("show %s %.0f\n", label, ClickRow(process, tree, row));
    Memory(process, held, peak);
    std::printf("shown %s %.0f %.0f\n", label, held, peak);
    std::fflush(stdout);
    PostMessageA(panel.found, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(78, 5));
    PostMessageA(panel.found, WM_LBUTTONUP, 0, MAKELPARAM(78, 5));
    HWND menu = nullptr;
    while ((menu = FindWindowA("#32768", nullptr)) == nullptr || !IsWindowVisible(menu)) Sleep(5);
    WaitForInputIdle(process, 600000);
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 1);
    WaitForInputIdle(process, 600000);
    const double t0 = Now();
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 1);
    HWND preview = nullptr;
    while ((preview = FindWindowA("TPreviewForm", nullptr)) == nullptr || !IsWindowVisible(preview)) {
        if (WaitForSingleObject(process, 5) == WAIT_OBJECT_0) {
            std::printf("preview %s ended the program\n", label);
            return;
        }
    }
    WaitForInputIdle(process, 1800000);
    std::printf("preview %s %.0f\n", label, Now() - t0);
    Memory(process, held, peak);
    std::printf("previewed %s %.0f %.0f\n", label, held, peak);
    std::fflush(stdout);
    PostMessageA(preview, WM_CLOSE, 0, 0);
    while (IsWindow(preview)) Sleep(5);
    WaitForInputIdle(process, 600000);
}

// A small picture (100 x 100 pixels in an enhanced metafile) put on the
// clipboard, as another program puts one.
void OfferSmallPicture() {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 100, 100, 1, 24, BI_RGB, 300 * 100, 0, 0, 0, 0};
    std::string bits(300 * 100, '\x50');
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    StretchDIBits(dc, 0, 0, 100, 100, 0, 0, 100, 100, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    HENHMETAFILE emf = CloseEnhMetaFile(dc);
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    SetClipboardData(CF_ENHMETAFILE, emf);
    CloseClipboard();
}

// Item 0 holds a small note, items 1, 3, ... the large notes named by
// `labels`.  Shows each, clicks into it and pastes the small picture three
// times (WM_PASTE, as the Paste command and Ctrl+V paste), each until the
// program is idle again; then leaves the note, which saves it, shows it
// again and pastes once more.
void TimePastes(HANDLE process, HWND main, int labels, char** label) {
    HWND tree = FindChild(main, "TreeView");
    if (tree == nullptr) return;
    OfferSmallPicture();
    auto paste = [&](int row) {
        DWORD_PTR result;
        if (reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) != RowItem(tree, row)) {
            ClickRow(process, tree, row);
            // Into the note shown, once: a click on a picture selected
            // there would begin dragging it.
            HWND editor = FindChild(main, "RichEdit");
            PostMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 10));
            PostMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(40, 10));
            WaitForInputIdle(process, 1800000);
        }
        // The editor makes its window anew for a long note.
        HWND editor = FindChild(main, "RichEdit");
        SendMessageTimeoutA(editor, EM_SETSEL, 0, 0, SMTO_NORMAL, 1800000, &result);
        const double t0 = Now();
        SendMessageTimeoutA(editor, WM_PASTE, 0, 0, SMTO_NORMAL, 1800000, &result);
        WaitForInputIdle(process, 1800000);
        return Now() - t0;
    };
    for (int i = -1; i < labels; ++i) {
        const int row = i < 0 ? 0 : 2 * i + 1;
        const char* name = i < 0 ? "small" : label[i];
        for (int n = 1; n <= 3; ++n) std::printf("paste-%d %s %.0f\n", n, name, paste(row));
        SelectRow(process, tree, row == 0 ? 2 : 0);
        std::printf("paste-saved %s %.0f\n", name, paste(row));
        std::fflush(stdout);
    }
}

// Moves to the next or the previous tab as the arrow keys do, and waits
// until the program is idle again.
double SwitchTab(HANDLE process, HWND tabs, WPARAM key) {
    const double t0 = Now();
    DWORD_PTR result;
    SendMessageTimeoutA(tabs, WM_KEYDOWN, key, 1, SMTO_NORMAL, 600000, &result);
    SendMessageTimeoutA(tabs, WM_KEYUP, key, 0xC0000001, SMTO_NORMAL, 600000, &result);
    WaitForInputIdle(process, 600000);
    return Now() - t0;
}

// The longest the window takes to answer over `ms` milliseconds, asked
// again and again: what a user feels as a stall.
double MaxStall(HWND main, int ms) {
    double longest = 0;
    for (const double end = Now() + ms; Now() < end;) {
        DWORD_PTR result;
        const double t0 = Now();
        SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result);
        longest = std::max(longest, Now() - t0);
        Sleep(2);
    }
    return longest;
}

// Opens the first top item, a change of the tree (its being open is kept
// with it), and measures the stalls while the window writes the tree beside
// the notes a moment later, beside those of the idle window before.
void TimeTreeChange(HWND main) {
    HWND tree = FindChild(main, "TreeView");
    if (tree == nullptr) return;
    std::printf("idle-stall %.0f\n", MaxStall(main, 1500));
    DWORD_PTR result;
    SendMessageTimeoutA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(RowItem(tree, 0)), SMTO_NORMAL, 600000,
                        &result);
    std::printf("change-stall %.0f\n", MaxStall(main, 1500));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: treskel_timer program [switch | change | notes label[@row]... | preview row label | "
                     "paste label...]\n");
        return 2;
    }
    const bool switchTabs = argc > 2 && std::string(argv[2]) == "switch";
    const bool notes = argc > 2 && std::string(argv[2]) == "notes";
    const bool preview = argc > 4 && std::string(argv[2]) == "preview";
    const bool change = argc > 2 && std::string(argv[2]) == "change";
    const bool pastes = argc > 2 && std::string(argv[2]) == "paste";
    STARTUPINFOA si{sizeof si};
    PROCESS_INFORMATION pi{};
    std::string command = std::string("\"") + argv[1] + "\"";
    const double t0 = Now();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 1;
    HWND main = nullptr;
    while ((main = FindWindowA("TfrmTreskel", nullptr)) == nullptr || !IsWindowVisible(main)) {
        if (WaitForSingleObject(pi.hProcess, 5) == WAIT_OBJECT_0) return 1;
    }
    WaitForInputIdle(pi.hProcess, 600000);
    std::printf("start %.0f\n", Now() - t0);
    if (notes) TimeNotes(pi.hProcess, main, argc - 3, argv + 3);
    if (preview) TimePreview(pi.hProcess, main, std::atoi(argv[3]), argv[4]);
    if (change) TimeTreeChange(main);
    if (pastes) TimePastes(pi.hProcess, main, argc - 3, argv + 3);
    if (switchTabs) {
        HWND tabs = FindChild(main, "Tab");
        if (tabs == nullptr) return 1;
        std::printf("to-second %.0f\n", SwitchTab(pi.hProcess, tabs, VK_RIGHT));
        if (SendMessageA(tabs, TCM_GETCURSEL, 0, 0) != 1) return 1;
        std::printf("to-first %.0f\n", SwitchTab(pi.hProcess, tabs, VK_LEFT));
        if (SendMessageA(tabs, TCM_GETCURSEL, 0, 0) != 0) return 1;
    }
    const double t1 = Now();
    PostMessageA(main, WM_CLOSE, 0, 0);
    WaitForSingleObject(pi.hProcess, 600000);
    std::printf("close %.0f\n", Now() - t1);
    std::fflush(stdout);
    return 0;
}
