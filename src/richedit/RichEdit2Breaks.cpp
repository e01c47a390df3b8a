// Paragraph breaks inside bulleted lists.
//
// The rich-edit control of some systems ends the whole
// process on a failed internal check when a paragraph break goes in at the
// end of a bulleted paragraph that another bulleted paragraph follows: Enter
// at the end of any list item but the last, or in an empty item between two,
// and pasted text that ends with a break there.  The control takes the same
// break safely at the start of the following item, and anything while the
// following paragraph is no list item.  So Enter puts its break there and
// the caret back into the new empty item, which types on in the format it
// would have had; a paste goes in while the following item is no list item
// for a moment (undoing it then takes three steps instead of one).
#include <algorithm>
#include <utility>

#include "richedit/RichEdit2.h"
#include "richedit/RichEdit2Priv.h"

namespace treskel {

bool TCustomRichEditEx::KeyDown(WORD& key, TShiftState shift) {
    swallowReturnChar_ = false;
    if (!TCustomRichEdit::KeyDown(key, shift)) return false;
    if (ReadOnly() || !HandleAllocated() || richEdit10_ || shift.Contains(TShiftStateItem::ssAlt)) return true;
    const bool ctrl = shift.Contains(TShiftStateItem::ssCtrl), shifted = shift.Contains(TShiftStateItem::ssShift);
    // Shift+Enter breaks the line, not the paragraph.
    if (key == VK_RETURN && !shifted) {
        if (!BreakBeforeNextListItem()) return true;
        swallowReturnChar_ = true;
    } else if ((key == 'V' && ctrl && !shifted) || (key == VK_INSERT && shifted && !ctrl)) {
        if (ListItemAfterSelection() < 0) return true;
        Perform(WM_PASTE);
    } else {
        return true;
    }
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

void TCustomRichEditEx::SetNumberingAt(int pos, int numbering) {
    CHARRANGE sel{};
    SendToWindow(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    CHARRANGE at{pos, pos};
    SendToWindow(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
    PARAFORMAT2 pf{};
    pf.cbSize = sizeof pf;
    pf.dwMask = PFM_NUMBERING;
    pf.wNumbering = static_cast<WORD>(numbering);
    SendToWindow(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    SendToWindow(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&sel));
}

int TCustomRichEditEx::ListItemAfterSelection() {
    CHARRANGE sel{};
    SendToWindow(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    if (TextRangeW(sel.cpMax, sel.cpMax + 1) != L"\r" || sel.cpMax + 1 >= WideTextLength()) return -1;
    ChangeEventsOff quiet(this, ENM_SELCHANGE);
    return NumberingAt(sel.cpMax) != 0 && NumberingAt(sel.cpMax + 1) != 0 ? sel.cpMax + 1 : -1;
}

bool TCustomRichEditEx::BreakBeforeNextListItem() {
    if (ListItemAfterSelection() < 0) return false;
    // What Enter replaces goes first; the paragraph it leaves decides.
    if (SelLength() > 0) {
        ReplaceSelectionW(std::wstring());
        if (ListItemAfterSelection() < 0) return false;
    }
    const int mark = SelStart();
    CHARFORMAT2W typing{}, markFormat{};
    {
        ChangeEventsOff quiet(this, ENM_SELCHANGE);
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

bool TCustomRichEditEx::PasteBeforeListItem(TMessage& m) {
    const int next = ListItemAfterSelection();
    if (next < 0) return false;
    const int numbering = [&] {
        ChangeEventsOff quiet(this, ENM_SELCHANGE);
        const int n = NumberingAt(next);
        SetNumberingAt(next, 0);
        return n;
    }();
    TCustomRichEdit::WndProc(m);
    // The item starts after the first paragraph mark from the caret on.
    const int length = WideTextLength();
    int at = SelStart();
    for (std::wstring chunk; at < length; at += static_cast<int>(chunk.size())) {
        chunk = TextRangeW(at, std::min(length, at + 256));
        const size_t mark = chunk.find(L'\r');
        if (mark != std::wstring::npos) {
            at += static_cast<int>(mark);
            break;
        }
    }
    ChangeEventsOff quiet(this, ENM_SELCHANGE);
    SetNumberingAt(at + 1, numbering);
    return true;
}

}  // namespace treskel
