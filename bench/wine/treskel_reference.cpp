// The references of scripts/bench-wine.sh: the bare system controls doing
// the program's work, in the same run.  "tree N [shape file]" fills a tree
// view with N items shaped as the benchmark's treskels (by default top
// items of up to ten, closed) and destroys it; "notes file..." streams each
// RTF file into a new rich-edit control, made as usual, made keeping its
// vertical scroll bar, and so marking addresses as the program's editor
// does; "saves file..." streams each out of one as saving does, and passes
// what the control wrote through the editor's paragraph filter in the
// control's pieces.  Prints the times in milliseconds.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "WineBench.h"
#include "richedit/RichEdit2Rules.h"

namespace {

using treskel::bench::Now;
using treskel::bench::Read;
using treskel::bench::Reader;

HWND MakeTop() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TreskelReference";
    RegisterClassA(&wc);
    return CreateWindowA("TreskelReference", "reference", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 952, 516, nullptr,
                         nullptr, nullptr, nullptr);
}

// The shape of a treskel's tree: each item's level (0 at the top) and
// whether it is open, in pre-order; without a file, top items of up to ten,
// closed.
std::vector<std::pair<int, bool>> Shape(int n, const char* file) {
    std::vector<std::pair<int, bool>> items;
    if (file != nullptr) {
        std::ifstream in(file);
        int level = 0, open = 0;
        while (static_cast<int>(items.size()) < n && in >> level >> open) items.emplace_back(level, open != 0);
        return items;
    }
    while (static_cast<int>(items.size()) < n) {
        items.emplace_back(0, false);
        for (int k = std::min(9, n - static_cast<int>(items.size())); k > 0; --k) items.emplace_back(1, false);
    }
    return items;
}

// Fills a tree view with every item of the shape, as the program's window
// takes them (caption, data and its being open in one insertion, drawing
// off), and destroys it.
void Tree(HWND top, int n, const char* shapeFile) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    const std::vector<std::pair<int, bool>> shape = Shape(n, shapeFile);
    HWND t = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES,
                             0, 0, 250, 450, top, nullptr, nullptr, nullptr);
    SendMessageA(t, WM_SETREDRAW, FALSE, 0);
    const double t0 = Now();
    std::vector<HTREEITEM> parents{TVI_ROOT};
    int i = 0;
    for (const auto& [level, open] : shape) {
        parents.resize(static_cast<size_t>(level) + 1);
        char text[32];
        std::snprintf(text, sizeof text, "Item %d", i);
        TVINSERTSTRUCTA is{};
        is.hParent = parents.back();
        is.hInsertAfter = TVI_LAST;
        is.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
        is.item.pszText = text;
        is.item.lParam = ++i;
        is.item.state = open ? TVIS_EXPANDED : 0;
        is.item.stateMask = TVIS_EXPANDED;
        parents.push_back(reinterpret_cast<HTREEITEM>(SendMessageA(t, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is))));
    }
    SendMessageA(t, WM_SETREDRAW, TRUE, 0);
    UpdateWindow(t);
    const double t1 = Now();
    DestroyWindow(t);
    std::printf("tree-fill %d %.0f\ntree-destroy %d %.0f\n", i, t1 - t0, i, Now() - t1);
}

// The pieces of what the control writes, as it hands them over.
std::vector<std::string> pieces;

DWORD CALLBACK Write(DWORD_PTR, LPBYTE buffer, LONG cb, LONG* pcb) {
    pieces.emplace_back(reinterpret_cast<const char*>(buffer), static_cast<size_t>(cb));
    *pcb = cb;
    return 0;
}

// A new rich-edit control holding the file's RTF, and the time it took;
// with `keepBar` the control keeps its vertical scroll bar whether the text
// needs it or not, and with `addresses` it marks addresses as it reads, as
// the program's editor has it do.
HWND Shown(HWND top, const char* file, double& took, bool keepBar = false, bool addresses = false) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string rtf = ss.str();
    LoadLibraryA("RICHED20.DLL");
    HWND e = CreateWindowExW(WS_EX_CLIENTEDGE, L"RICHEDIT20W", L"",
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_SAVESEL |
                                 (keepBar ? ES_DISABLENOSCROLL : 0),
                             260, 0, 680, 450, top, nullptr, nullptr, nullptr);
    SendMessageW(e, EM_EXLIMITTEXT, 0, 16000000);
    if (addresses) SendMessageW(e, EM_AUTOURLDETECT, 1, 0);
    Reader r{&rtf, 0};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&r), 0, Read};
    const double t0 = Now();
    SendMessageW(e, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
    UpdateWindow(e);
    took = Now() - t0;
    return e;
}

// Shown as it is, shown keeping its scroll bar, and so marking addresses.
void Note(HWND top, const char* file) {
    for (const int way : {0, 1, 2}) {
        double shown = 0;
        HWND e = Shown(top, file, shown, way > 0, way == 2);
        const double t1 = Now();
        DestroyWindow(e);
        const char* kind = way == 0 ? "bare" : way == 1 ? "bare-kept" : "bare-kept-addresses";
        std::printf("%s-show %s %.0f\n%s-destroy %s %.0f\n", kind, file, shown, kind, file, Now() - t1);
        std::fflush(stdout);
    }
}

void Save(HWND top, const char* file) {
    double shown = 0;
    HWND e = Shown(top, file, shown);
    pieces.clear();
    EDITSTREAM es{0, 0, Write};
    const double t0 = Now();
    SendMessageW(e, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
    const double t1 = Now();
    treskel::TParaWordFilter filter({true, true});
    std::string out;
    for (const std::string& piece : pieces) filter.Write(piece, out);
    filter.Finish(out);
    const double t2 = Now();
    DestroyWindow(e);
    std::printf("bare-save %s %.0f\npara-filter %s %.1f\n", file, t1 - t0, file, t2 - t1);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: treskel_reference tree N [shape file] | notes file... | saves file...\n");
        return 2;
    }
    HWND top = MakeTop();
    const std::string what = argv[1];
    if (what == "tree") Tree(top, std::atoi(argv[2]), argc > 3 ? argv[3] : nullptr);
    else
        for (int i = 2; i < argc; ++i) (what == "saves" ? Save : Note)(top, argv[i]);
    DestroyWindow(top);
    return 0;
}
