// The paragraph-word filter on any bytes, or on RTF made of the words it
// looks at, cut into chunks anywhere: the output is the same however the
// chunks fall, braces pass as they came, and what holds none of its words
// (or meets a window that writes them right) passes byte for byte.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "richedit/RichEdit2Rules.h"

namespace {

// Pieces that the window writes around paragraph words, and some it never does.
const char* const kPieces[] = {"\\pard", "\\li", "\\fi", "\\sl", "\\slmult", "\\ri", "-", "--", "0", "240", "360",
                               "-720", "99999999999", " ", "{", "}", "\\par\r\n", "\\bin3 ", "\\bin", "x", "\\'5c",
                               "\\\\", "\\{", "\\", "\\*\\pn", "\\pntext", "\\lifi", "\\tab ", "\\u269?"};

std::string Pieces(FuzzedDataProvider& input) {
    std::string rtf;
    while (input.remaining_bytes() > 0) rtf += kPieces[input.ConsumeIntegralInRange<size_t>(0, std::size(kPieces) - 1)];
    return rtf;
}

std::string Filtered(treskel::TParaWordFaults faults, const std::string& rtf, const std::vector<size_t>& cuts) {
    treskel::TParaWordFilter filter(faults);
    std::string out;
    size_t at = 0;
    for (size_t n : cuts) {
        n = std::min(n, rtf.size() - at);
        filter.Write(std::string_view(rtf).substr(at, n), out);
        at += n;
    }
    filter.Write(std::string_view(rtf).substr(at), out);
    filter.Finish(out);
    return out;
}

[[noreturn]] void Fail(const char* what, const std::string& rtf) {
    std::fprintf(stderr, "%s:\n%s\n", what, rtf.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using treskel::TParaWordFaults;
    FuzzedDataProvider input(data, size);
    const auto mode = input.ConsumeIntegral<uint8_t>();
    const TParaWordFaults faults{(mode & 1) != 0, (mode & 2) != 0};
    std::vector<size_t> cuts;
    for (int k = input.ConsumeIntegralInRange(0, 8); k > 0; --k) cuts.push_back(input.ConsumeIntegralInRange(0, 64));
    const std::string rtf = (mode & 4) != 0 ? Pieces(input) : input.ConsumeRemainingBytesAsString();

    const std::string whole = treskel::MendParaWords(rtf, faults);
    if (Filtered(faults, rtf, cuts) != whole) Fail("chunks cut elsewhere gave other bytes", rtf);
    if (std::count(whole.begin(), whole.end(), '{') != std::count(rtf.begin(), rtf.end(), '{') ||
        std::count(whole.begin(), whole.end(), '}') != std::count(rtf.begin(), rtf.end(), '}'))
        Fail("braces changed", rtf);
    const bool words = rtf.find("\\li") != std::string::npos || rtf.find("\\fi") != std::string::npos ||
                       rtf.find("\\sl") != std::string::npos;
    if ((!faults.Any() || !words) && whole != rtf) Fail("bytes without words to mend changed", rtf);
    // A run of words becomes at most two of each kind.
    if (whole.size() > 2 * rtf.size() + 64) Fail("the output grew beyond the words mended", rtf);
    return 0;
}
