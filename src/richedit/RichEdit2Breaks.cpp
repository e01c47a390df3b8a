// Paragraph breaks inside bulleted lists.
//
// The system's rich-edit control of some systems (Wine 8.0) ends the whole
// process on a failed internal check when a paragraph break goes in at the
// end of a bulleted paragraph that another bulleted paragraph follows: Enter
// at the end of any list item but the last, or in an empty item between two.
// The same break put in at the start of the following item makes the same
// text and is safe there, so Enter does that and puts the caret back into the
// new empty item, which types on in the format it would have had.
#include "richedit/RichEdit2.h"
#include "richedit/RichEdit2Priv.h"

#include <algorithm>
#include <utility>

namespace treskel {

bool TCustomRichEditEx::KeyDown(WORD& key, TShiftState shift) {
    swallowReturnChar_ = false;
    if (!TCustomRichEdit::KeyDown(key, shift)) return false;
    // Shift+Enter breaks the line, not the paragraph.
    if (key != VK_RETURN || shift.Contains(TShiftStateItem::ssShift) || shift.Contains(TShiftStateItem::ssAlt) ||
        ReadOnly() || !HandleAllocated() || richEdit10_)
        return true;
    if (!BreakBeforeNextListItem()) return true;
    swallowReturnChar_ = true;
    key = 0;
    return false;
}

bool TCustomRichEditEx::KeyPress(char& key) {
    const bool handled = std::exchange(swallowReturnChar_, false) && key == '\r';
    if (!TCustomRichEdit::KeyPress(key)) return false;
    return !handled;
}

// The numbering of the paragraph at `pos` and the character format of the
// text from `pos` to `end`, read with the selection there and put back.
int TCustomRichEditEx::NumberingAt(int pos, CHARFORMAT2W* format, int end) {
    CHARRANGE sel{};
    SendToWindow(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    CHARRANGE at{pos, std::max(pos, end)};
    SendToWindow(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
    PARAFORMAT2 pf{};
    pf.cbSize = sizeof pf;
    SendToWindow(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    if (format != nullptr) {
        format->cbSize = sizeof *format;
        SendMessageW(Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(format));
    }
    SendToWindow(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    return pf.wNumbering;
}

bool TCustomRichEditEx::BreakBeforeNextListItem() {
    CHARRANGE sel{};
    SendToWindow(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    // A paragraph mark right after the selection, and a list item after it.
    if (TextRangeW(sel.cpMax, sel.cpMax + 1) != L"\r") return false;
    {
        ChangeEventsOff quiet(this, ENM_SELCHANGE);
        if (sel.cpMax + 1 >= WideTextLength() || NumberingAt(sel.cpMax + 1) == 0) return false;
    }
    // What Enter replaces goes first; the paragraph it leaves decides.
    if (sel.cpMin != sel.cpMax) {
        ReplaceSelectionW(std::wstring());
        SendToWindow(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
        if (TextRangeW(sel.cpMax, sel.cpMax + 1) != L"\r") return false;
    }
    const int mark = sel.cpMax;
    CHARFORMAT2W typing{}, markFormat{};
    {
        ChangeEventsOff quiet(this, ENM_SELCHANGE);
        if (NumberingAt(mark) == 0 || NumberingAt(mark + 1) == 0) return false;
        typing.cbSize = sizeof typing;
        SendMessageW(Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&typing));
        NumberingAt(mark, &markFormat, mark + 1);
        // The new item's mark (and so its bullet) looks as the one it
        // follows, as Enter there would have made it.
        CHARRANGE next{mark + 1, mark + 1};
        SendToWindow(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&next));
        SendMessageW(Handle(), EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&markFormat));
    }
    ReplaceSelectionW(L"\r");
    CHARRANGE item{mark + 1, mark + 1};
    SendToWindow(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&item));
    SendMessageW(Handle(), EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&typing));
    return true;
}

}  // namespace treskel
