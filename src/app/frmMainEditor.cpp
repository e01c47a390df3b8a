// Editor commands of the main window: formatting, the colour pop-up,
// clipboard and undo, the editor's keys and status line, find, the default
// font and addresses.
#include <windows.h>
#include <richedit.h>

#include "app/frmMain.h"

namespace treskel {

namespace {
constexpr int kUnderlineOn = 3;  // the underline type the window uses
constexpr int kBullets = 1;
constexpr char kCtrlB = 2, kTab = 9, kCtrlU = 21, kEscape = 27;
constexpr const char* kTextNotFound = "\"%s\" was not found.";
}  // namespace

// ---------------------------------------------------------------- formatting

void TfrmTreskel::BoldExecute(TObject*) { REdit->SelAttributes()->SetBold(BoldButton->Down()); }

void TfrmTreskel::ItalicExecute(TObject*) { REdit->SelAttributes()->SetItalic(ItalicButton->Down()); }

void TfrmTreskel::UnderlineExecute(TObject*) {
    REdit->SelAttributes()->SetUnderline(UnderlineButton->Down() ? kUnderlineOn : 0);
}

void TfrmTreskel::BulletedListExecute(TObject*) {
    TParaAttributesEx* para = REdit->Paragraph();
    para->SetNumbering(para->Numbering() != kBullets ? kBullets : 0);
}

void TfrmTreskel::LeftJustifyExecute(TObject*) { REdit->Paragraph()->SetAlignment(TAlignment::taLeftJustify); }

void TfrmTreskel::CenterJustifyExecute(TObject*) { REdit->Paragraph()->SetAlignment(TAlignment::taCenter); }

void TfrmTreskel::RightJustifyExecute(TObject*) { REdit->Paragraph()->SetAlignment(TAlignment::taRightJustify); }

void TfrmTreskel::QclFontComboBox1Click(TObject*) {
    REdit->SelAttributes()->SetName(QclFontComboBox1->GetFontName());
    // A box with a focus control hands the focus over itself once a choice
    // is made, not while its list is down or the arrow keys look through it:
    // keys typed then would replace the note's selected text.
    if (QclFontComboBox1->FocusControl() == nullptr && REdit->CanFocus()) REdit->SetFocus();
}

void TfrmTreskel::QclFontSizeComboBox1Click(TObject*) {
    // A size box whose text is no number has nothing to apply.
    int size = QclFontSizeComboBox1->GetFontSize();
    if (size > 0) REdit->SelAttributes()->SetSize(size);
}

void TfrmTreskel::REditSelectionChange(TObject*) {
    TTextAttributesEx* attributes = REdit->SelAttributes();
    BoldButton->SetDown(attributes->Bold());
    ItalicButton->SetDown(attributes->Italic());
    UnderlineButton->SetDown(attributes->Underline() == kUnderlineOn);
    QclFontComboBox1->SetFontName(attributes->Name());
    QclFontSizeComboBox1->SetFontSize(attributes->Size());
    switch (REdit->Paragraph()->Alignment()) {
        case TAlignment::taLeftJustify: LeftButton->SetDown(true); break;
        case TAlignment::taRightJustify: RightButton->SetDown(true); break;
        case TAlignment::taCenter: CenterButton->SetDown(true); break;
    }
    BulletButton->SetDown(REdit->Paragraph()->Numbering() == kBullets);
    // Every move of the caret comes here, however it was made.
    ShowCaretPosition();
}

// ---------------------------------------------------------------- colour pop-up

namespace {
constexpr uint8_t kTextColorMode = 0, kHighlightMode = 1;
constexpr int kPopupGap = 6;  // between the pressed button and the pop-up

// Shows the pop-up under a pressed button, or hides it when the click
// released the button.
void PlaceColorPanel(TfrmTreskel& w, TToolButton* button) {
    if (!button->Down()) {
        w.ColorPanel->SetVisible(false);
        return;
    }
    w.ColorPanel->SetLeft(w.ToolBar2->Left() + button->Left());
    w.ColorPanel->SetTop(w.ToolBar2->Top() + button->Top() + button->Height() + kPopupGap);
    w.ColorPanel->SetVisible(true);
    w.ColorPanel->BringToFront();
    // The first swatch takes the focus, so that the keys work at once.
    auto* first = dynamic_cast<TWinControl*>(w.FindComponent("ColorButton1"));
    if (first != nullptr && first->CanFocus())
        first->SetFocus();
    else if (w.ColorPanel->CanFocus())
        w.ColorPanel->SetFocus();
}
}  // namespace

void TfrmTreskel::TextColorExecute(TObject*) {
    PlaceColorPanel(*this, ColorButton);
    HighlightMode = kTextColorMode;
}

void TfrmTreskel::HighliteExecute(TObject*) {
    PlaceColorPanel(*this, HiColor);
    HighlightMode = kHighlightMode;
}

void TfrmTreskel::ApplyPopupColor(TColor color) {
    if (HighlightMode == kHighlightMode)
        REdit->SelAttributes()->SetBackColor(color);
    else
        REdit->SelAttributes()->SetColor(color);
}

void TfrmTreskel::ColorButton1Click(TObject* Sender) {
    auto* swatch = dynamic_cast<TColorButton*>(Sender);
    if (swatch == nullptr) return;
    ApplyPopupColor(swatch->Color());
    // Leaving the pop-up closes it.
    if (REdit->CanFocus()) REdit->SetFocus();
}

void TfrmTreskel::MoreColorButtonClick(TObject*) {
    if (!ColorDialog->Execute()) return;
    ApplyPopupColor(ColorDialog->Color());
    ColorPanelExit(ColorPanel);
    if (REdit->CanFocus()) REdit->SetFocus();
}

void TfrmTreskel::ColorPanelExit(TObject*) {
    ColorPanel->SetVisible(false);
    ColorButton->SetDown(false);
    HiColor->SetDown(false);
}

// ---------------------------------------------------------------- clipboard and undo

void TfrmTreskel::CutExecute(TObject*) { REdit->CutToClipboard(); }

void TfrmTreskel::CCopyExecute(TObject*) { REdit->CopyToClipboard(); }

void TfrmTreskel::PasteExecute(TObject*) { REdit->PasteFromClipboard(); }

void TfrmTreskel::UndoExecute(TObject*) {
    if (REdit->HandleAllocated()) REdit->Perform(EM_UNDO);
}

void TfrmTreskel::SelectAll1Click(TObject*) { REdit->SelectAll(); }

void TfrmTreskel::TextActionsUpdate(TBasicAction*, bool&) {
    // Asking for the selection would make the editor's window; without
    // one nothing is selected.
    bool selected = REdit->HandleAllocated() && REdit->SelLength() > 0;
    CutButton->SetEnabled(selected);
    CopyButton->SetEnabled(selected);
    if (REdit->HandleAllocated() && Panel2->Enabled()) {
        UndoButton->SetEnabled(REdit->Perform(EM_CANUNDO) != 0);
        PasteButton->SetEnabled(REdit->Perform(EM_CANPASTE, 0) != 0);
    }
}

// ---------------------------------------------------------------- keys and status line

void TfrmTreskel::ShowCaretPosition() {
    // A hidden editor (a locked item, a note that cannot be shown) has no
    // caret to show.
    std::string text;
    if (REdit->HandleAllocated() && REdit->Visible())
        text = "Line: " + IntToStr(REdit->CaretLine()) + " Col: " + IntToStr(REdit->CaretColumn());
    StatusBar->Panels()->Items(1)->SetText(text);
}

namespace {
UINT CaretStatusMessage() {
    static const UINT message = RegisterWindowMessageA("TreskelCaretStatus");
    return message;
}
}  // namespace

// Key and mouse events come before the editor moves its caret: the
// position is read once the message at hand is done.
void TfrmTreskel::PostCaretPosition() {
    if (!caretStatus_)
        caretStatus_ = std::make_unique<UtilityWindow>([this](UINT msg, WPARAM, LPARAM, LRESULT& result) {
            if (msg != CaretStatusMessage()) return false;
            ShowCaretPosition();
            result = 0;
            return true;
        });
    PostMessageA(caretStatus_->Handle(), CaretStatusMessage(), 0, 0);
}

void TfrmTreskel::REditKeyDown(TObject*, WORD& Key, TShiftState) {
    TabPressed = Key == VK_TAB;
    PostCaretPosition();
}

void TfrmTreskel::REditKeyPress(TObject*, char& Key) {
    switch (Key) {
        case kCtrlB:
            BoldButton->SetDown(!BoldButton->Down());
            REdit->SelAttributes()->SetBold(BoldButton->Down());
            break;
        case kTab:
            if (TabPressed) return;  // a real Tab goes into the text
            // Ctrl+I arrives as the same character.
            ItalicButton->SetDown(!ItalicButton->Down());
            REdit->SelAttributes()->SetItalic(ItalicButton->Down());
            Key = 0;
            break;
        case kCtrlU:
            UnderlineButton->SetDown(!UnderlineButton->Down());
            REdit->SelAttributes()->SetUnderline(UnderlineButton->Down() ? kUnderlineOn : 0);
            break;
        case kEscape:
            if (TreeView->CanFocus()) TreeView->SetFocus();
            break;
        default: break;
    }
    PostCaretPosition();
}

void TfrmTreskel::REditMouseDown(TObject*, TMouseButton, TShiftState, int, int) { PostCaretPosition(); }

// A drag from the editor ends with its caret where the drag left it.
void TfrmTreskel::REditEndDrag(TObject*, TObject*, int, int) { PostCaretPosition(); }

void TfrmTreskel::REditEnter(TObject*) {
    if (TreeView->Selected() != nullptr)
        NoteModified = true;
    else if (TreeView->CanFocus())
        TreeView->SetFocus();
}

// ---------------------------------------------------------------- find

void TfrmTreskel::SearchTextExecute(TObject*) {
    FindDialog->SetPosition({REdit->Left() + REdit->Width(), REdit->Top()});
    // The dialog keeps the focus while it is open, so that Enter finds the
    // next match: the editor shows what was found selected meanwhile.
    REdit->SetHideSelection(false);
    FindDialog->Execute();
}

void TfrmTreskel::FindDialogClose(TObject*) {
    REdit->SetHideSelection(true);
    if (REdit->CanFocus()) REdit->SetFocus();
}

void TfrmTreskel::FindDialogFind(TObject*) {
    // A locked item hides the editor, which still holds the note shown
    // before: there is nothing to search.
    if (!REdit->CanFocus()) return;
    TFindOptions options = FindDialog->Options();
    TSearchTypesEx search;
    if (options.Contains(TFindOption::frMatchCase)) search += TSearchTypeEx::stMatchCase;
    if (options.Contains(TFindOption::frWholeWord)) search += TSearchTypeEx::stWholeWord;
    bool backwards = !options.Contains(TFindOption::frDown);
    if (backwards) search += TSearchTypeEx::stBackward;

    int selStart = REdit->SelStart(), selLength = REdit->SelLength();
    int start = 0, length = 0;
    if (!backwards) {
        start = selLength > 0 ? selStart + selLength : 0;
        length = REdit->GetTextLen() - start;
    } else {
        // Backwards from the selection's start, so that the next find
        // moves on from the text found last; with nothing selected over
        // the whole note.
        start = selLength > 0 ? selStart : REdit->GetTextLen();
        length = start;
    }
    std::string what = FindDialog->FindText();
    int found = REdit->FindText(what, start, length, search);
    if (found < 0) {
        // Over the dialog, which has the focus again after it.
        Application->MessageBox(Format(kTextNotFound, what.c_str()), "Find", MB_OK | MB_ICONINFORMATION);
        return;
    }
    REdit->SetSelStart(found);
    REdit->SetSelLength(MultiByteToWideChar(REdit->TextCodePage(), 0, what.data(), static_cast<int>(what.size()),
                                            nullptr, 0));
    if (REdit->HandleAllocated()) REdit->Perform(EM_SCROLLCARET);
}

// ---------------------------------------------------------------- default font

void TfrmTreskel::DefaultFont1Click(TObject*) {
    if (!FontDialog->Execute()) return;
    IniCtrl->WriteFont("common", "text", FontDialog->Font());
    REdit->Font()->Assign(FontDialog->Font());
}

// ---------------------------------------------------------------- addresses

namespace {
// One argument of a command line as programs split theirs: in quotes,
// with quotes and the backslashes before them escaped.
std::string QuoteArgument(const std::string& arg) {
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            out.append(backslashes * 2 + 1, '\\');
        } else {
            out.append(backslashes, '\\');
        }
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

// The program part: a path in quotes, so that one with spaces is never
// read as a shorter path and arguments; a value that brings its own
// quotes is taken as it is.
std::string QuoteProgram(const std::string& path) {
    if (!path.empty() && path.front() == '"') return path;
    return "\"" + path + "\"";
}
}  // namespace

void TfrmTreskel::REditURLClick(TObject*, const std::string& URL) {
    std::string browser = IniCtrl->ReadString("common", "browserpath", "");
    if (browser.empty()) {
        OpenDialog1->SetFilter("Executable Files (*.exe)|*.exe");
        OpenDialog1->SetTitle("Browser Path");
        if (!OpenDialog1->Execute()) return;
        browser = OpenDialog1->FileName();
        IniCtrl->WriteString("common", "browserpath", browser);
    }
    // A browser that cannot be started is not reported.
    std::string command = QuoteProgram(browser) + " " + QuoteArgument(URL);
    WinExec(command.c_str(), SW_SHOWNORMAL);
}

}  // namespace treskel
