// Shapes of trees as users and the benchmarks make them, for the tests of
// the tree view and of the main window.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace treskel::test {

// `n` items as (level, open) in pre-order, top items at level 0: "flat"
// (all at the top), "deep" (open runs 100 levels deep), "wide" (ten open
// top items of many) and "user" (a third at the top, each followed by an
// open run of up to four sub-items of sub-items).
inline std::vector<std::pair<int, bool>> TreeShape(const std::string& kind, int n) {
    std::vector<std::pair<int, bool>> items;
    for (int k = 0; static_cast<int>(items.size()) < n; ++k) {
        const int left = n - static_cast<int>(items.size());
        if (kind == "flat") items.emplace_back(0, false);
        if (kind == "deep")
            for (int d = 0; d < std::min(100, left); ++d) items.emplace_back(d, true);
        if (kind == "wide") {
            items.emplace_back(0, true);
            for (int c = 1; c < std::min(n / 10, left); ++c) items.emplace_back(1, false);
        }
        if (kind == "user")
            for (int d = 0; d <= std::min(k % 5, left - 1); ++d) items.emplace_back(d, true);
    }
    return items;
}

inline const std::vector<std::string>& TreeShapeKinds() {
    static const std::vector<std::string> kinds{"flat", "deep", "wide", "user"};
    return kinds;
}

}  // namespace treskel::test
