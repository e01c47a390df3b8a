#include "support/Paragraphs.h"

#include <richedit.h>

#include <cstdio>

namespace treskel::test {

namespace {

std::string Describe(const PARAFORMAT2& f) {
    char line[160];
    std::string spacing = "single";
    if (f.bLineSpacingRule != 0 && !(f.bLineSpacingRule == 5 && f.dyLineSpacing == 20)) {
        std::snprintf(line, sizeof line, "rule %u %ld", f.bLineSpacingRule, f.dyLineSpacing);
        spacing = line;
    }
    // A bullet has no number to start from or to style.
    const bool bullet = f.wNumbering == PFN_BULLET;
    std::snprintf(line, sizeof line,
                  "first %ld offset %ld right %ld align %u number %u/%u/%x/%u space %ld/%ld lines %s tabs", f.dxStartIndent,
                  f.dxOffset, f.dxRightIndent, f.wAlignment, f.wNumbering, bullet ? 0 : f.wNumberingStart,
                  bullet ? 0 : f.wNumberingStyle, f.wNumberingTab, f.dySpaceBefore, f.dySpaceAfter, spacing.c_str());
    std::string s = line;
    for (int i = 0; i < f.cTabCount && i < MAX_TAB_STOPS; ++i) s += " " + std::to_string(f.rgxTabs[i]);
    return s;
}

}  // namespace

std::vector<std::string> ParagraphFormats(HWND richEdit) {
    CHARRANGE kept{};
    SendMessageW(richEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const auto n = static_cast<size_t>(SendMessageW(richEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    std::wstring text(n + 1, L'\0');
    GETTEXTEX get{static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
    text.resize(static_cast<size_t>(
        SendMessageW(richEdit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()))));
    std::vector<std::string> formats;
    for (size_t at = 0;;) {
        CHARRANGE r{static_cast<LONG>(at), static_cast<LONG>(at)};
        SendMessageW(richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
        PARAFORMAT2 f{};
        f.cbSize = sizeof f;
        SendMessageW(richEdit, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&f));
        formats.push_back(Describe(f));
        // The next paragraph starts after this one's mark.
        const size_t mark = text.find(L'\r', at);
        if (mark == std::wstring::npos || mark + 1 >= text.size()) break;
        at = mark + 1;
    }
    SendMessageW(richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    return formats;
}

}  // namespace treskel::test
