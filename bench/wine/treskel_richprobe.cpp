// What the bare rich-edit control survives and what it takes, measured
// under Wine by hand (the figures behind the editor's limits):
//   depths        the least depth of nested groups, for each shape of
//                 nesting, at which the control ends the process, in the
//                 windowed and in the windowless control (each try in a
//                 process of its own), and whether it reads the bytes of
//                 "\bin", the characters skipped after "\u" and the digits
//                 of "\'" as the format means them
//   paragraphs    the memory the windowed control takes for each paragraph
//                 of several shapes, read as rich text and as plain text,
//                 and for paragraphs of 320 to 81,920 characters
//   try SHAPE N [windowless]   one try, for the driver above
//   hold SHAPE N  one paragraph count, for the driver above
#include <windows.h>
#include <psapi.h>
#include <richedit.h>
#include <textserv.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "WineBench.h"
#include "preview/PrevPrinterHost.h"
#include "support/ProcessMemory.h"
#include "support/RtfDepth.h"

namespace {

using treskel::bench::Now;
using treskel::bench::Read;
using treskel::bench::Reader;
using treskel::test::CommittedBytes;
using treskel::test::Repeat;

// ---------------------------------------------------------------- rich text

const char* const kHeader = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ";

// Rich text whose groups nest `n` deep in the given shape.
std::string Nested(const std::string& shape, long n) {
    const std::string head = kHeader;
    if (shape == "plain") return head + Repeat("{", n) + "x" + Repeat("}", n) + "}";
    if (shape == "formatted") return head + Repeat("{\\b x", n) + Repeat("}", n) + "}";
    if (shape == "unclosed") return head + Repeat("{", n) + "x";
    if (shape == "unclosed-text") return head + Repeat("{x", n);
    if (shape == "object") return head + Repeat("{\\object ", n) + "x" + Repeat("}", n) + "}";
    if (shape == "object-result")
        return head + Repeat("{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0105}{\\result ", n) + "x" +
               Repeat("}}", n) + "}";
    if (shape == "pict") return head + Repeat("{\\pict ", n) + "x" + Repeat("}", n) + "}";
    if (shape == "pict-metafile") return head + Repeat("{\\pict\\wmetafile8\\picw10\\pich10 ", n) + Repeat("}", n) + "}";
    if (shape == "star") return head + Repeat("{\\*\\unknown ", n) + "x" + Repeat("}", n) + "}";
    if (shape == "field") return head + Repeat("{\\field{\\*\\fldinst x}{\\fldrslt ", n) + "x" + Repeat("}}", n) + "}";
    if (shape == "fonttbl") return "{\\rtf1\\ansi{\\fonttbl" + Repeat("{", n) + "\\f0 Arial;" + Repeat("}", n) + "}x}";
    if (shape == "shppict") return head + Repeat("{\\*\\shppict ", n) + Repeat("}", n) + "x}";
    // Groups that the format closes by "}" bytes standing where the
    // control might take them for something else: if it does, they nest.
    if (shape == "hex-brace") return head + Repeat("{a\\'}", n) + "}";
    if (shape == "unicode-brace") return head + Repeat("{\\u65}", n) + "}";
    if (shape == "unicode-uc2-brace") return head + "\\uc2" + Repeat("{\\u65 a}", n) + "}";
    if (shape == "escaped-open") return head + Repeat("{\\{}", n) + "}";
    if (shape == "hex-open") return head + Repeat("{\\'7b}", n) + "}";
    if (shape == "bin-brace") return head + Repeat("{\\bin1 }}", n) + "}";
    if (shape == "bin-open") return head + Repeat("{\\bin1 {}", n) + "}";
    if (shape == "pict-bin-open") return head + Repeat("{\\pict\\wmetafile8\\bin1 {}", n) + "}";
    return std::string();
}

const char* const kShapes[] = {"plain",         "formatted", "unclosed",      "unclosed-text", "object",
                               "object-result", "pict",      "pict-metafile", "star",          "field",
                               "fonttbl",       "shppict"};
// Shapes whose groups close where the format says: a fault at 200 means
// the control read a brace where the format has none.
const char* const kEscapes[] = {"hex-brace", "unicode-brace", "unicode-uc2-brace", "escaped-open", "hex-open",
                                "bin-brace", "bin-open", "pict-bin-open"};

HWND NewControl() {
    LoadLibraryA("RICHED20.DLL");
    HWND e = CreateWindowExW(0, L"RICHEDIT20W", L"", WS_POPUP | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE, 0, 0, 600, 400,
                             nullptr, nullptr, nullptr, nullptr);
    SendMessageW(e, EM_EXLIMITTEXT, 0, 16000000);
    return e;
}

LRESULT StreamIn(HWND e, const std::string& text, UINT format) {
    Reader r{&text, 0};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&r), 0, Read};
    SendMessageW(e, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
    return es.dwError;
}

// ---------------------------------------------------------------- windowless

const IID kIIDTextServices = {0x8d33f740, 0xcf58, 0x11ce, {0xa8, 0x9d, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};

using CreateTextServicesProc = HRESULT(WINAPI*)(IUnknown*, ITextHost*, IUnknown**);

bool WindowlessStreamIn(const std::string& rtf) {
    HMODULE lib = LoadLibraryA("riched20.dll");
    auto create = reinterpret_cast<CreateTextServicesProc>(reinterpret_cast<void*>(GetProcAddress(lib, "CreateTextServices")));
    // Hosted as printing and the preview host theirs.
    static treskel::preview::PageHost host(GetDC(nullptr), 600);
    IUnknown* unknown = nullptr;
    if (create == nullptr || FAILED(create(nullptr, &host, &unknown))) return false;
    ITextServices* services = nullptr;
    unknown->QueryInterface(kIIDTextServices, reinterpret_cast<void**>(&services));
    if (services == nullptr) return false;
    RECT client{0, 0, 600, 0x3fffffff};
    services->OnTxInPlaceActivate(&client);
    Reader r{&rtf, 0};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&r), 0, Read};
    LRESULT result = 0;
    services->TxSendMessage(EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es), &result);
    services->TxSendMessage(EM_GETLINECOUNT, 0, 0, &result);
    services->Release();
    unknown->Release();
    return true;
}

// ---------------------------------------------------------------- driver

// Runs this program again with the arguments; its exit code, or -1 when it
// could not be started or did not end within a minute.
DWORD Child(const std::string& args) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string line = std::string("\"") + self + "\" " + args;
    // What the system prints of a fault goes nowhere.
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(nul);
    if (!started) return DWORD(-1);
    DWORD code = DWORD(-1);
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    else TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

bool Survives(const std::string& shape, long n, bool windowless) {
    return Child("try " + shape + " " + std::to_string(n) + (windowless ? " windowless" : "")) == 0;
}

// The least depth in [1, most] that faults, or 0 when `most` survives.
long LeastFault(const std::string& shape, long most, bool windowless) {
    if (Survives(shape, most, windowless)) return 0;
    long good = 1, bad = most;
    while (bad - good > 1) {
        const long mid = good + (bad - good) / 2;
        (Survives(shape, mid, windowless) ? good : bad) = mid;
    }
    return bad;
}

void Depths() {
    std::printf("%-18s %12s %12s\n", "shape", "windowed", "windowless");
    for (const char* shape : kShapes) {
        std::printf("%-18s", shape);
        for (bool windowless : {false, true}) {
            const long at = LeastFault(shape, 1000000, windowless);
            if (at == 0) std::printf(" %12s", "none");
            else std::printf(" %12ld", at);
            std::fflush(stdout);
        }
        std::printf("\n");
    }
    std::printf("\n%-18s %20s\n", "200 groups", "windowed");
    for (const char* shape : kEscapes)
        std::printf("%-18s %20s\n", shape, Survives(shape, 200, false) ? "survives" : "faults");
}

// One depth: 0 when the control read it and answered.
int Try(const std::string& shape, long n, bool windowless) {
    const std::string rtf = Nested(shape, n);
    if (rtf.empty()) return 2;
    if (windowless) return WindowlessStreamIn(rtf) ? 0 : 3;
    HWND e = NewControl();
    StreamIn(e, rtf, SF_RTF);
    UpdateWindow(e);
    SendMessageW(e, WM_GETTEXTLENGTH, 0, 0);
    DestroyWindow(e);
    return 0;
}

// ---------------------------------------------------------------- memory

// Paragraphs of a shape, as rich text (or plain text: "text").
std::string Paragraphs(const std::string& shape, long n) {
    if (shape == "text") return Repeat("a line\r\n", n);
    std::string body;
    if (shape == "empty") body = Repeat("\\par\r\n", n);
    else if (shape == "short") body = Repeat("a line\\par\r\n", n);
    else if (shape == "indented") body = Repeat("\\pard\\li360\\fi-360 a short line\\par\r\n", n);
    else if (shape == "runs") body = Repeat("{\\b bold}{\\i italic}{\\ul under} plain\\par\r\n", n);
    else if (shape == "runs10")
        body = Repeat("{\\b a}{\\i b}{\\ul c}{\\b d}{\\i e}{\\ul f}{\\b g}{\\i h}{\\ul i}{\\b j}\\par\r\n", n);
    else if (shape == "bulleted")
        body = Repeat("{\\pntext\\'b7\\tab}\\pard{\\*\\pn\\pnlvlblt\\pnf0\\pnindent360{\\pntxtb\\'b7}}\\fi-360\\li360 item\\par\r\n", n);
    else if (shape == "eighty")
        body = Repeat("\\pard some words of a line of about eighty characters, as the benchmark's notes.\\par\r\n", n);
    else if (shape.rfind("words", 0) == 0)  // "wordsL": paragraphs of L characters in words of five
        body = Repeat("\\pard " + Repeat("word ", std::atol(shape.c_str() + 5) / 5) + "\\par\r\n", n);
    else return std::string();
    return kHeader + body + "}";
}

// Shapes and counts of paragraphs: short ones of every kind, and longer
// ones, whose lines the control measures to the paragraph's end.
const struct {
    const char* shape;
    long counts[2];
} kParagraphRuns[] = {{"empty", {50000, 150000}},     {"short", {50000, 150000}},   {"indented", {50000, 150000}},
                      {"runs", {50000, 150000}},      {"runs10", {50000, 150000}},  {"bulleted", {10000, 20000}},
                      {"eighty", {50000, 150000}},    {"text", {50000, 150000}},    {"words320", {2500, 0}},
                      {"words1280", {625, 0}},        {"words5120", {160, 0}},      {"words10240", {20, 80}},
                      {"words20480", {1, 0}},         {"words40960", {1, 0}},       {"words81920", {1, 0}}};

// The most committed while the control reads, looked at every few pieces
// it asks for.
uint64_t peakCommitted = 0;
int pieces = 0;

DWORD CALLBACK ReadWatching(DWORD_PTR cookie, LPBYTE buffer, LONG cb, LONG* pcb) {
    if (++pieces % 16 == 0) peakCommitted = std::max(peakCommitted, CommittedBytes());
    return Read(cookie, buffer, cb, pcb);
}

// Prints: paragraphs, bytes, lines, the memory the control committed once
// it had read them (MB), the most it committed meanwhile, what stayed
// committed after it was destroyed, and milliseconds.
int Hold(const std::string& shape, long n) {
    const std::string text = Paragraphs(shape, n);
    if (text.empty()) return 2;
    HWND e = NewControl();
    const uint64_t committed0 = CommittedBytes();
    peakCommitted = committed0;
    const double t0 = Now();
    Reader r{&text, 0};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&r), 0, ReadWatching};
    SendMessageW(e, EM_STREAMIN, shape == "text" ? SF_TEXT : SF_RTF, reinterpret_cast<LPARAM>(&es));
    UpdateWindow(e);
    const double took = Now() - t0;
    const uint64_t committed1 = CommittedBytes();
    peakCommitted = std::max(peakCommitted, committed1);
    const LRESULT lines = SendMessageW(e, EM_GETLINECOUNT, 0, 0);
    DestroyWindow(e);
    const double mb = 1048576.0;
    std::printf("%ld %zu %ld %.1f %.1f %.1f %.0f\n", n, text.size(), static_cast<long>(lines),
                (committed1 - committed0) / mb, (peakCommitted - committed0) / mb,
                (static_cast<double>(CommittedBytes()) - static_cast<double>(committed0)) / mb, took);
    return 0;
}

void ParagraphMemory() {
    std::printf("%-10s %8s %9s %8s %9s %8s %8s %7s %11s\n", "shape", "paras", "bytes", "lines", "commit MB", "peak MB",
                "left MB", "ms", "bytes/para");
    for (const auto& run : kParagraphRuns) {
        for (long n : run.counts) {
            if (n == 0) continue;
            // One process a count: what one left behind does not count for
            // the next.
            char out[256] = "";
            char self[MAX_PATH];
            GetModuleFileNameA(nullptr, self, MAX_PATH);
            std::string line = std::string("\"") + self + "\" hold " + run.shape + " " + std::to_string(n);
            SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
            HANDLE readEnd, writeEnd;
            CreatePipe(&readEnd, &writeEnd, &sa, 0);
            SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
            STARTUPINFOA si{};
            si.cb = sizeof si;
            si.dwFlags = STARTF_USESTDHANDLES;
            si.hStdOutput = writeEnd;
            si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
            PROCESS_INFORMATION pi{};
            if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) continue;
            CloseHandle(writeEnd);
            DWORD got = 0, total = 0;
            while (total + 1 < sizeof out && ReadFile(readEnd, out + total, sizeof out - 1 - total, &got, nullptr) && got > 0)
                total += got;
            out[total] = 0;
            WaitForSingleObject(pi.hProcess, INFINITE);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
            CloseHandle(readEnd);
            long paras = 0, lines = 0;
            size_t bytes = 0;
            double commit = 0, peak = 0, left = 0, ms = 0;
            if (std::sscanf(out, "%ld %zu %ld %lf %lf %lf %lf", &paras, &bytes, &lines, &commit, &peak, &left, &ms) != 7) {
                std::printf("%-10s %8ld   (the control ended the process)\n", run.shape, n);
                continue;
            }
            std::printf("%-10s %8ld %9zu %8ld %9.1f %8.1f %8.1f %7.0f %11.0f\n", run.shape, paras, bytes, lines, commit,
                        peak, left, ms, commit * 1048576.0 / static_cast<double>(paras));
            std::fflush(stdout);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "try" && argc > 3) return Try(argv[2], std::atol(argv[3]), argc > 4);
    if (what == "hold" && argc > 3) return Hold(argv[2], std::atol(argv[3]));
    if (what == "depths") {
        Depths();
        return 0;
    }
    if (what == "paragraphs") {
        ParagraphMemory();
        return 0;
    }
    std::fprintf(stderr, "usage: treskel_richprobe depths | paragraphs\n");
    return 2;
}
