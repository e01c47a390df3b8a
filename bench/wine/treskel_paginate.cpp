// The pages of scripts/bench-wine.sh: lays each RTF file out in pages as
// printing and the preview do where the system's control formats no range
// (the windowless control, a metafile a page, 6.5 by 9 inches on the
// screen), and prints the page count and the milliseconds of each.
#include <windows.h>

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

// Pages drawn into metafiles, each closed when the next begins.
class Pages {
public:
    explicit Pages(HDC reference) : reference_(reference) {}
    ~Pages() { Close(); }
    HDC Begin() {
        Close();
        const int w = GetDeviceCaps(reference_, HORZSIZE) * 100, h = GetDeviceCaps(reference_, VERTSIZE) * 100;
        RECT frame{0, 0, w, h};
        dc_ = CreateEnhMetaFileA(reference_, nullptr, &frame, nullptr);
        ++count_;
        return dc_;
    }
    int Count() const { return count_; }

private:
    void Close() {
        if (dc_ != nullptr) DeleteEnhMetaFile(CloseEnhMetaFile(dc_));
        dc_ = nullptr;
    }
    HDC reference_;
    HDC dc_ = nullptr;
    int count_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    treskel::EnsureOleInitialized();
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    for (int i = 1; i < argc; ++i) {
        const std::string rtf = ReadFile(argv[i]);
        Pages pages(screen);
        const double t0 = Now();
        treskel::preview::DrawRtfPages(rtf, screen, dpiX * 13 / 2, dpiY * 9, [&](int, POINT& origin) {
            origin = POINT{0, 0};
            return pages.Begin();
        });
        std::printf("paginate %s %d %.0f\n", argv[i], pages.Count(), Now() - t0);
        std::fflush(stdout);
    }
    ReleaseDC(nullptr, screen);
    return 0;
}
