// Search, caret position and addresses of the note editor.
#include <algorithm>

#include "platform/Forms.h"
#include "richedit/Langs.h"
#include "richedit/RichEdit2.h"
#include "richedit/RichEdit2Rules.h"

namespace treskel {

namespace {
// Search flags of the rich-edit window (as the common dialogs define them).
constexpr WPARAM kFindDown = 1, kFindWholeWord = 2, kFindMatchCase = 4;
}  // namespace

int TCustomRichEditEx::FirstVisibleLine() { return static_cast<int>(SendToWindow(EM_GETFIRSTVISIBLELINE)); }

// The window's own "line of the caret" (-1) is, with a selection, the line
// of one end or the other by the system: the caret is found from the
// selections the window reported.
void TCustomRichEditEx::SelectionChange() {
    CHARRANGE r{};
    SendToWindow(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    caret_.Follow(r.cpMin, r.cpMax);
    TCustomRichEdit::SelectionChange();
}

int TCustomRichEditEx::CaretPosition() {
    CHARRANGE r{};
    SendToWindow(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    // A selection of everything takes in the closing paragraph mark, past
    // which no caret stands.
    return std::min(caret_.Caret(r.cpMin, r.cpMax), WideTextLength());
}

int TCustomRichEditEx::CaretLine() { return static_cast<int>(SendToWindow(EM_EXLINEFROMCHAR, 0, CaretPosition())); }

int TCustomRichEditEx::CaretColumn() {
    const int caret = CaretPosition();
    const auto line = static_cast<WPARAM>(SendToWindow(EM_EXLINEFROMCHAR, 0, caret));
    return caret - static_cast<int>(SendToWindow(EM_LINEINDEX, line));
}

int TCustomRichEditEx::FindText(const std::string& searchStr, int startPos, int length, TSearchTypesEx options) {
    bool backwards = options.Contains(TSearchTypeEx::stBackward);
    TFindRange range = FindTextRange(startPos, length, backwards, WideTextLength());
    WPARAM flags = backwards ? 0 : kFindDown;
    if (options.Contains(TSearchTypeEx::stWholeWord)) flags |= kFindWholeWord;
    if (options.Contains(TSearchTypeEx::stMatchCase)) flags |= kFindMatchCase;
    if (WideWindow()) {
        // The wide message takes the widened text on every system.
        std::wstring text = AnsiToWide(searchStr, codePage_);
        FINDTEXTEXW ft{{range.Min, range.Max}, text.c_str(), {0, 0}};
        return static_cast<int>(SendMessageW(Handle(), EM_FINDTEXTEXW, flags, reinterpret_cast<LPARAM>(&ft)));
    }
    FINDTEXTEXA ft{{range.Min, range.Max}, searchStr.c_str(), {0, 0}};
    return static_cast<int>(SendMessageA(Handle(), EM_FINDTEXTEX, flags, reinterpret_cast<LPARAM>(&ft)));
}

void TCustomRichEditEx::HandleLink(TMessage& m) {
    auto* link = reinterpret_cast<ENLINK*>(m.LParam);
    m.Result = 0;
    switch (link->msg) {
        case WM_MOUSEMOVE:
            ::SetCursor(EnsureScreen()->Cursors(crHandPoint));
            break;
        case WM_LBUTTONUP:
            if (OnURLClick) {
                // The whole address, as one string; characters the code page
                // lacks are percent-encoded rather than lost to '?'.
                std::string url = AddressToAnsi(TextRangeW(link->chrg.cpMin, link->chrg.cpMax), codePage_);
                OnURLClick(this, url);
            }
            break;
        default:
            break;
    }
}

// ------------------------------------------------------------ extended address scan

void TCustomRichEditEx::BeginUrlUpdate() {
    if (urlUpdateCount_++ > 0) return;
    SendToWindow(WM_SETREDRAW, 0, 0);
    SendToWindow(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&savedSelection_));
    savedFirstVisibleLine_ = FirstVisibleLine();
}

void TCustomRichEditEx::EndUrlUpdate() {
    if (urlUpdateCount_ == 0 || --urlUpdateCount_ > 0) return;
    SendToWindow(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&savedSelection_));
    int line = FirstVisibleLine();
    while (line != savedFirstVisibleLine_) {
        int before = line;
        SendToWindow(EM_SCROLL, line > savedFirstVisibleLine_ ? SB_LINEUP : SB_LINEDOWN, 0);
        line = FirstVisibleLine();
        if (line == before) break;
    }
    SendToWindow(WM_SETREDRAW, 1, 0);
    Invalidate();
}

void TCustomRichEditEx::ScanForUrls(int start, int end) {
    wideText_ = false;
    if (!HandleAllocated()) return;
    int length = WideTextLength();
    if (length < 3) return;
    WidenToUrlTokens(
        length,
        [this](int i) {
            std::wstring c = TextRangeW(i, i + 1);
            return c.empty() ? L'\0' : c[0];
        },
        start, end);
    if (start > end) return;

    BeginUrlUpdate();
    TNotifyEvent change = std::move(OnChange), selChange = std::move(OnSelectionChange);
    OnChange = nullptr;
    OnSelectionChange = nullptr;
    struct Restore {
        TCustomRichEditEx* self;
        TNotifyEvent& change;
        TNotifyEvent& selChange;
        ~Restore() {
            self->EndUrlUpdate();
            self->OnChange = std::move(change);
            self->OnSelectionChange = std::move(selChange);
            self->wideText_ = false;
        }
    } restore{this, change, selChange};

    int base = start;
    std::wstring text;
    if (start != end) {
        text = TextRangeW(start, end);
    } else {
        text = TextRangeW(0, -1);
        base = 0;
    }
    wideText_ = true;
    if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    std::vector<std::wstring> schemes;
    for (int i = 0; i < customURLs_->Count(); ++i) schemes.push_back(AnsiToWide(customURLs_->Get(i), CP_ACP));

    for (const TUrlToken& t : ScanUrlTokens(text, schemes)) {
        CHARRANGE r{base + t.Start, base + t.Start + t.Length};
        SendToWindow(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
        if (t.Address) {
            selAttributes_->SetLink(true);
            selAttributes_->SetColor(0xFF0000);
            selAttributes_->SetUnderline(1);
            continue;
        }
        // Only what an earlier scan marked is unmarked: the user's own
        // colours and underlines stay.
        CHARFORMAT2W f{};
        f.cbSize = sizeof f;
        SendToWindow(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
        bool marked = !(f.dwMask & CFM_LINK) || (f.dwEffects & CFE_LINK);
        if (marked) {
            selAttributes_->SetLink(false);
            selAttributes_->SetColor(clWindowText);
            selAttributes_->SetUnderline(0);
        }
    }
}

}  // namespace treskel
