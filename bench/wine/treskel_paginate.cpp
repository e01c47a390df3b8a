// The pages of scripts/bench-wine.sh: lays each RTF file out in pages as
// printing and the preview do where the system's control formats no range
// (the windowless control, 6.5 by 9 inches on the screen), then records
// every page in a metafile as printing does, and prints for each file the
// page count, the milliseconds of each step and the memory the process
// held at most, in megabytes.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "WineBench.h"
#include "preview/PrevPrinter.h"
#include "richedit/RichOLE.h"

namespace {

using treskel::bench::Now;

std::string ReadFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

double PeakMegabytes() {
    PROCESS_MEMORY_COUNTERS c{};
    c.cb = sizeof c;
    GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c);
    return static_cast<double>(c.PeakWorkingSetSize) / (1 << 20);
}

}  // namespace

int main(int argc, char** argv) {
    treskel::EnsureOleInitialized();
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    const RECT frame{0, 0, 21590, 27940};
    for (int i = 1; i < argc; ++i) {
        std::string rtf = ReadFile(argv[i]);
        const double t0 = Now();
        treskel::preview::TextPages pages(std::move(rtf), screen, dpiX * 13 / 2, dpiY * 9);
        const double t1 = Now();
        for (int p = 0; p < pages.Count(); ++p) {
            HDC dc = CreateEnhMetaFileA(screen, nullptr, &frame, nullptr);
            pages.Draw(p, dc, POINT{dpiX, dpiY});
            DeleteEnhMetaFile(CloseEnhMetaFile(dc));
        }
        std::printf("paginate %s %d %.0f %.0f %.0f\n", argv[i], pages.Count(), t1 - t0, Now() - t1, PeakMegabytes());
        std::fflush(stdout);
    }
    ReleaseDC(nullptr, screen);
    return 0;
}
