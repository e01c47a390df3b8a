// The depth of rich text's groups as the rich-edit control counts them,
// for the tests and the fuzz target of the reader that hands rich text to
// it.  Portable.
#pragma once

#include <algorithm>
#include <cstdint>
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

}  // namespace treskel::test
