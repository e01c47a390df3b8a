// The paragraph formats a rich-edit window holds, one line per paragraph,
// for comparing a note with what was pasted into it or what it held before.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace treskel::test {

// Each paragraph's indents (first line, the other lines' offset, right),
// alignment, numbering (kind, start, style, tab), space before and after,
// line spacing and tab stops, as the window reports them; the selection is
// kept.  Single line spacing reads alike however the window holds it (no
// rule, or a multiple of one line), and bullets have no number's start or
// style.
std::vector<std::string> ParagraphFormats(HWND richEdit);

}  // namespace treskel::test
