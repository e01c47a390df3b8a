// What refusing a crafted picture costs, beside what decoding a real one
// does: the header measures that come before any decoding, the progressive
// JPEG whose scans would take far too long, and the scanned block cut
// short.  Counters: the file's size and the peak of memory in use during
// the runs (the process's high-water mark, reset before each benchmark).
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

#include "pictlib/PictDecode.h"
#include "platform/JpegCodec.h"
#include "platform/Streams.h"
#include "support/DibBytes.h"
#include "support/PictureFiles.h"
#include "twain/TwainDib.h"

namespace treskel {
namespace {

// The high-water mark of resident memory, in MB, and its reset.
double PeakMB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024;
    return 0;
}
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

void Report(benchmark::State& state, size_t fileBytes, double baseMB) {
    state.counters["fileKB"] = static_cast<double>(fileBytes) / 1024;
    state.counters["peakMB"] = PeakMB() - baseMB;
}

const test::Rgb kGrey{128, 128, 128};

// Each crafted file is made when first wanted.
const std::vector<uint8_t>& Crafted(const std::string& which) {
    if (which == "pcx") {
        static const std::vector<uint8_t> pcx = test::UniformPcx(7000, 7000, kGrey);
        return pcx;
    }
    if (which == "gif") {
        static const std::vector<uint8_t> gif = test::UniformGif(9400, 9400, kGrey);
        return gif;
    }
    if (which == "allowed") {
        static const std::vector<uint8_t> allowed = test::ManyScanJpeg(9400, 9400, 16);
        return allowed;
    }
    static const std::vector<uint8_t> scans = test::ManyScanJpeg(9400, 9400, 1000);
    return scans;
}

// What the program reads of a picture file before it lets it be decoded.
void BM_Measure(benchmark::State& state, const std::string& which) {
    const std::vector<uint8_t>& file = Crafted(which);
    ResetPeak();
    const double base = PeakMB();
    for (auto _ : state) benchmark::DoNotOptimize(PictMeasure(file.data(), file.size()).Width);
    Report(state, file.size(), base);
}

// Decoding a JPEG file: refused, or decoded.
void BM_JpegDecode(benchmark::State& state, const std::string& which, bool refused) {
    const std::vector<uint8_t>& file = Crafted(which);
    ResetPeak();
    const double base = PeakMB();
    for (auto _ : state) {
        TReadOnlyMemoryStream stream(file.data(), static_cast<int64_t>(file.size()));
        TRasterImage image;
        bool threw = false;
        try {
            JpegDecode(stream, image);
        } catch (const EJPEG&) {
            threw = true;
        }
        if (threw != refused) state.SkipWithError(refused ? "decoded" : "refused");
    }
    Report(state, file.size(), base);
}

// A real picture's cost: a colour page at 300 dots an inch, in the usual
// progression.
void BM_DecodePage(benchmark::State& state) {
    const TRasterImage page = test::Quadrants(2480, 3508, {220, 20, 30}, {10, 200, 40}, {30, 40, 210}, kGrey);
    const std::vector<uint8_t> file = test::WriteJpeg(page, 85);
    ResetPeak();
    const double base = PeakMB();
    for (auto _ : state) {
        TReadOnlyMemoryStream stream(file.data(), static_cast<int64_t>(file.size()));
        TRasterImage image;
        JpegDecode(stream, image);
        benchmark::DoNotOptimize(image.Pixels.data());
    }
    Report(state, file.size(), base);
}

// A scanned image of 40 bytes that claims 16000 x 10000 pixels.
void BM_CutScan(benchmark::State& state) {
    const std::vector<uint8_t> dib = test::MakeDib({.width = 16000, .height = 10000, .bits = 24, .pixels = {0}});
    ResetPeak();
    const double base = PeakMB();
    for (auto _ : state) benchmark::DoNotOptimize(DibProblem(dib.data(), 40).size());
    Report(state, 40, base);
}

BENCHMARK_CAPTURE(BM_Measure, pcx7000, std::string("pcx"))->Name("Pictures/MeasurePcx7000")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Measure, gif9400, std::string("gif"))->Name("Pictures/MeasureGif9400")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Measure, jpeg9400, std::string("scans"))->Name("Pictures/MeasureJpeg9400")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CutScan)->Name("Pictures/RefuseCutScan")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_JpegDecode, scans1000, std::string("scans"), true)
    ->Name("Pictures/RefuseJpeg9400Scans1000")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_JpegDecode, scans16, std::string("allowed"), false)
    ->Name("Pictures/DecodeJpeg9400Scans16")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodePage)->Name("Pictures/DecodeJpegPage")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace treskel

BENCHMARK_MAIN();
