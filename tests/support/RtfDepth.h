// The depth of rich text's groups as the rich-edit control counts them,
// and rich text built of repeated pieces, for the tests and the fuzz
// target of the reader that hands rich text to it and for the rich-text
// probe.  Portable.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace treskel::test {

// The most groups open at once: a backslash takes the byte after it,
// every other brace counts, and a group closed that was never opened
// closes nothing.
inline int64_t ControlDepth(std::string_view rtf) {
    int64_t open = 0, most = 0;
    for (size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
        } else if (rtf[i] == '{') {
            most = std::max(most, ++open);
        } else if (rtf[i] == '}' && open > 0) {
            --open;
        }
    }
    return most;
}

// `s` `n` times over: groups opened or closed, paragraphs.
inline std::string Repeat(std::string_view s, long n) {
    std::string out;
    out.reserve(s.size() * static_cast<size_t>(std::max(n, 0L)));
    for (long i = 0; i < n; ++i) out += s;
    return out;
}

}  // namespace treskel::test
