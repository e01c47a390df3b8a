// The paragraph-word filter on any bytes, or on RTF made of the words it
// looks at, cut into chunks anywhere: the output is the same however the
// chunks fall, braces pass as they came, and what holds none of its words
// (or meets a window that writes them right) passes byte for byte.  As the
// rich-edit control's reader (ToControl): the output and the shape are the
// same however the chunks fall, no group of the output nests deeper than
// the depth given, the shape's depth is the input's as the control counts
// it, only bytes are taken away, and rich text no deeper passes as it is.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "richedit/RichEdit2Rules.h"
#include "support/RtfDepth.h"

namespace {

using treskel::test::ControlDepth;

// Pieces that the window writes around paragraph words, and some it never does.
const char* const kPieces[] = {"\\pard", "\\li", "\\fi", "\\sl", "\\slmult", "\\ri", "-", "--", "0", "240", "360",
                               "-720", "99999999999", " ", "{", "}", "\\par\r\n", "\\bin3 ", "\\bin", "x", "\\'5c",
                               "\\\\", "\\{", "\\", "\\*\\pn", "\\pntext", "\\lifi", "\\tab ", "\\u269?", "{\\pict ",
                               "{\\*\\x ", "{\\object", "\\'", "\\\r", "{{{{", "}}}}", "\\line", "\\cell"};

std::string Pieces(FuzzedDataProvider& input) {
    std::string rtf;
    while (input.remaining_bytes() > 0) rtf += kPieces[input.ConsumeIntegralInRange<size_t>(0, std::size(kPieces) - 1)];
    return rtf;
}

// The whole text through a filter, in chunks of the sizes given.
std::string Filtered(treskel::TParaWordFilter filter, const std::string& rtf, const std::vector<size_t>& cuts,
                     treskel::TRtfShape* shape = nullptr) {
    std::string out;
    size_t at = 0;
    for (size_t n : cuts) {
        n = std::min(n, rtf.size() - at);
        filter.Write(std::string_view(rtf).substr(at, n), out);
        at += n;
    }
    filter.Write(std::string_view(rtf).substr(at), out);
    filter.Finish(out);
    if (shape != nullptr) *shape = filter.Shape();
    return out;
}

[[noreturn]] void Fail(const char* what, const std::string& rtf) {
    std::fprintf(stderr, "%s:\n%s\n", what, rtf.c_str());
    std::abort();
}

void ToControl(const std::vector<size_t>& cuts, const std::string& rtf, int depth) {
    using treskel::TParaWordFilter;
    treskel::TRtfShape whole, cut;
    const std::string flat = treskel::FlattenRtf(rtf, depth, &whole);
    if (Filtered(TParaWordFilter::ToControl(depth), rtf, cuts, &cut) != flat) Fail("chunks cut elsewhere gave other bytes", rtf);
    if (cut.Depth != whole.Depth || cut.Paragraphs != whole.Paragraphs || cut.Runs != whole.Runs ||
        cut.Characters != whole.Characters || cut.Squares != whole.Squares || cut.Unclosed != whole.Unclosed)
        Fail("chunks cut elsewhere gave another shape", rtf);
    const int64_t inputDepth = ControlDepth(rtf);
    if (whole.Depth != inputDepth) Fail("the depth measured is not the control's", rtf);
    if (ControlDepth(flat) > depth) Fail("a group nests deeper than the depth", rtf);
    if (flat.size() > rtf.size()) Fail("bytes were added", rtf);
    if (inputDepth <= depth && flat != rtf) Fail("rich text no deeper changed", rtf);
    if (whole.Characters < 0 || whole.Squares < whole.Characters || whole.Runs > whole.Characters)
        Fail("the shape does not add up", rtf);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using treskel::TParaWordFaults;
    FuzzedDataProvider input(data, size);
    const auto mode = input.ConsumeIntegral<uint8_t>();
    const TParaWordFaults faults{(mode & 1) != 0, (mode & 2) != 0};
    std::vector<size_t> cuts;
    for (int k = input.ConsumeIntegralInRange(0, 8); k > 0; --k) cuts.push_back(input.ConsumeIntegralInRange(0, 64));
    const int depth = input.ConsumeIntegralInRange(1, 40);
    const std::string rtf = (mode & 4) != 0 ? Pieces(input) : input.ConsumeRemainingBytesAsString();
    if ((mode & 8) != 0) {
        ToControl(cuts, rtf, depth);
        return 0;
    }

    const std::string whole = treskel::MendParaWords(rtf, faults);
    if (Filtered(treskel::TParaWordFilter(faults), rtf, cuts) != whole) Fail("chunks cut elsewhere gave other bytes", rtf);
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
