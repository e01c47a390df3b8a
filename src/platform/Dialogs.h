// Message boxes, the input query and the standard dialogs.
#pragma once

#include <windows.h>
#include <commdlg.h>
// The system's generic-text names would rename our FindText properties.
#undef FindText
#undef ReplaceText

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Classes.h"
#include "platform/Graphics.h"
#include "platform/Handles.h"
#include "platform/Sets.h"
#include "platform/TypInfo.h"
#include "platform/Types.h"
#include "platform/UtilityWindow.h"

namespace treskel {

// Every message box of the program goes through here.  Tests install a
// responder that answers (and records) instead of showing the box; it
// gets text, caption and MB_ flags and returns the button's ID.
using MessageBoxResponder = std::function<int(const std::string& text, const std::string& caption, UINT flags)>;
// Returns the responder it replaces.  The text a responder gets is the
// text the box would show, long unbroken runs already broken.
MessageBoxResponder SetMessageBoxResponder(MessageBoxResponder responder);
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum class TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = Set<TMsgDlgBtn>;

// The same with a text in wide characters, for words the system's code
// page cannot show (a responder gets the text narrowed).
int ShowWideMessageBox(HWND owner, const std::wstring& text, const std::string& caption, UINT flags);

// Names, captions and the other texts of the program are single-byte, in
// the system's code page.  The letters of `text` that the code page cannot
// hold exactly (it would turn them into a look-alike or a '?'), each once,
// in the order they come; and where the first of them stands in `text`
// (npos: nowhere).
std::wstring LettersOutsideCodePage(std::wstring_view text);
size_t FirstLetterOutsideCodePage(std::wstring_view text);
// When `text` holds such letters, says so (naming them unless `nameThem`
// is false, as for a password) and returns true: the caller keeps the
// text as typed for the user to change.  False when it holds none.
bool RefuseLettersOutsideCodePage(std::wstring_view text, bool nameThem = true);

// A message box captioned after its type ("Warning", "Error",
// "Information", "Confirm"; the application's title for mtCustom);
// returns the modal result of the button pressed.
int MessageDlg(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
// The same with a caption of the caller's.
int MessageDlgCaption(const std::string& msg, const std::string& caption, TMsgDlgType type, TMsgDlgButtons buttons);
void ShowMessage(const std::string& msg);

// Asks for a line of text; false when cancelled (`value` then unchanged).
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
// Why a typed value is refused, in words; empty when it is taken.  It may
// act on the value (make what it names) before it answers.
using TQueryCheck = std::function<std::string(const std::string& value)>;
// The same, refusing values that `check` refuses: the box stays open with
// what was typed, after a message that says why.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value, const TQueryCheck& check);
// The same with the typed characters shown as asterisks.
bool PasswordQuery(const std::string& caption, const std::string& prompt, std::string& value);
std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue);
// Tests answer input queries through this instead of the real dialog: it
// gets caption, prompt and the value, and returns false to cancel.
using InputQueryResponder = std::function<bool(const std::string& caption, const std::string& prompt, std::string& value)>;
// Returns the responder it replaces.
InputQueryResponder SetInputQueryResponder(InputQueryResponder responder);

// ------------------------------------------------------------ standard dialogs

// Base of the standard dialogs.  Execute shows the system's dialog and
// returns whether the user accepted it; the dialog's properties carry what
// goes in and what comes back.
// Runs a modal system dialog as the program's own: owned by the window the
// user works in, which waits while it is up and is active again after it,
// as one modal level of the application.  `show` gets the owner window and
// returns the dialog's answer.  It opens centred over its owner.
bool RunSystemDialog(const std::function<bool(HWND owner)>& show);

// While it lives, the first dialog window that the system opens on this
// thread opens centred over `over` (kept within the work area of its
// monitor), as the program's own dialogs open over the main window; the
// system's dialogs leave their place to their caller.  Without a shown
// window to centre over, the main form stands in, else the work area.
class SystemDialogPlacement {
public:
    explicit SystemDialogPlacement(HWND over);
    ~SystemDialogPlacement();
    SystemDialogPlacement(const SystemDialogPlacement&) = delete;
    SystemDialogPlacement& operator=(const SystemDialogPlacement&) = delete;

private:
    static LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam);
    void Place(HWND dialog);

    HWND over_;
    bool placed_ = false;
    SystemDialogPlacement* outer_;
    HookHandle hook_;
};

class TCommonDialog : public TComponent {
    TRESKEL_CLASS(TCommonDialog)
public:
    explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}
    virtual bool Execute() = 0;
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int v) { helpContext_ = v; }

protected:
    // Runs a modal system dialog, or asks the test responder instead;
    // `show` gets the owner window and returns the dialog's answer.
    bool RunModal(const std::function<bool(HWND owner)>& show);

private:
    int helpContext_ = 0;
};

// Tests answer the modal standard dialogs through this instead of the
// real ones: it gets the dialog, may set its properties as the user would
// have, and returns whether the dialog was accepted.  The modeless find
// and replace dialogs always show their real windows.  Returns the
// responder it replaces (null: the real dialogs).
using CommonDialogResponder = std::function<bool(TCommonDialog& dialog)>;
CommonDialogResponder SetCommonDialogResponder(CommonDialogResponder responder);

enum class TOpenOption {
    ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
    ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
    ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks, ofEnableSizing
};
TRESKEL_ENUM_INFO(TOpenOption, "ofReadOnly", "ofOverwritePrompt", "ofHideReadOnly", "ofNoChangeDir", "ofShowHelp",
                  "ofNoValidate", "ofAllowMultiSelect", "ofExtensionDifferent", "ofPathMustExist",
                  "ofFileMustExist", "ofCreatePrompt", "ofShareAware", "ofNoReadOnlyReturn", "ofNoTestFileCreate",
                  "ofNoNetworkButton", "ofNoLongNames", "ofOldStyleDialog", "ofNoDereferenceLinks",
                  "ofEnableSizing")
using TOpenOptions = Set<TOpenOption>;

// The file-open dialog.  Filter is "Description|pattern|Description|pattern"
// (patterns separated by ';'); FilterIndex counts from 1.
class TOpenDialog : public TCommonDialog {
    TRESKEL_CLASS(TOpenDialog)
public:
    explicit TOpenDialog(TComponent* owner);
    ~TOpenDialog() override;
    bool Execute() override;

    std::string DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const std::string& s) { defaultExt_ = s; }
    std::string FileName() const { return fileName_; }
    void SetFileName(const std::string& s) { fileName_ = s; }
    // Every file chosen (one, unless ofAllowMultiSelect).
    TStrings* Files() { return files_.get(); }
    std::string Filter() const { return filter_; }
    void SetFilter(const std::string& s) { filter_ = s; }
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int i) { filterIndex_ = i; }
    std::string InitialDir() const { return initialDir_; }
    void SetInitialDir(const std::string& s) { initialDir_ = s; }
    TOpenOptions Options() const { return options_; }
    void SetOptions(TOpenOptions o) { options_ = o; }
    std::string Title() const { return title_; }
    void SetTitle(const std::string& s) { title_ = s; }

protected:
    // Shows the system's open (or save) dialog for `owner`.
    bool DoExecute(HWND owner, bool save);

private:
    std::string defaultExt_, fileName_, filter_, initialDir_, title_;
    std::unique_ptr<TStringList> files_;
    int filterIndex_ = 1;
    TOpenOptions options_{TOpenOption::ofHideReadOnly, TOpenOption::ofEnableSizing};
};

class TSaveDialog : public TOpenDialog {
    TRESKEL_CLASS(TSaveDialog)
public:
    using TOpenDialog::TOpenDialog;
    bool Execute() override;
};

enum class TFontDialogOption {
    fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel, fdNoOEMFonts,
    fdNoSimulations, fdNoSizeSel, fdNoStyleSel, fdNoVectorFonts, fdShowHelp, fdWysiwyg, fdLimitSize,
    fdScalableOnly, fdApplyButton
};
TRESKEL_ENUM_INFO(TFontDialogOption, "fdAnsiOnly", "fdTrueTypeOnly", "fdEffects", "fdFixedPitchOnly",
                  "fdForceFontExist", "fdNoFaceSel", "fdNoOEMFonts", "fdNoSimulations", "fdNoSizeSel",
                  "fdNoStyleSel", "fdNoVectorFonts", "fdShowHelp", "fdWysiwyg", "fdLimitSize", "fdScalableOnly",
                  "fdApplyButton")
using TFontDialogOptions = Set<TFontDialogOption>;
enum class TFontDialogDevice { fdScreen, fdPrinter, fdBoth };
TRESKEL_ENUM_INFO(TFontDialogDevice, "fdScreen", "fdPrinter", "fdBoth")

// The font dialog: starts at Font and, when accepted, leaves the choice there.
class TFontDialog : public TCommonDialog {
    TRESKEL_CLASS(TFontDialog)
public:
    explicit TFontDialog(TComponent* owner) : TCommonDialog(owner) {}
    bool Execute() override;
    TFont* Font() { return &font_; }
    void SetFont(TFont* f) { font_.Assign(f); }
    TFontDialogOptions Options() const { return options_; }
    void SetOptions(TFontDialogOptions o) { options_ = o; }
    TFontDialogDevice Device() const { return device_; }
    void SetDevice(TFontDialogDevice d) { device_ = d; }
    int MinFontSize() const { return minFontSize_; }
    void SetMinFontSize(int v) { minFontSize_ = v; }
    int MaxFontSize() const { return maxFontSize_; }
    void SetMaxFontSize(int v) { maxFontSize_ = v; }

private:
    TFont font_;
    TFontDialogOptions options_{TFontDialogOption::fdEffects};
    TFontDialogDevice device_ = TFontDialogDevice::fdScreen;
    int minFontSize_ = 0, maxFontSize_ = 0;
};

enum class TColorDialogOption { cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor };
TRESKEL_ENUM_INFO(TColorDialogOption, "cdFullOpen", "cdPreventFullOpen", "cdShowHelp", "cdSolidColor", "cdAnyColor")
using TColorDialogOptions = Set<TColorDialogOption>;

// The colour dialog.  CustomColors holds lines "ColorA=BBGGRR" to
// "ColorP=BBGGRR" (a colour value in six hexadecimal digits) for the
// sixteen custom colours; the dialog writes them back when accepted.
class TColorDialog : public TCommonDialog {
    TRESKEL_CLASS(TColorDialog)
public:
    explicit TColorDialog(TComponent* owner);
    ~TColorDialog() override;
    bool Execute() override;
    TColor Color() const { return color_; }
    void SetColor(TColor c) { color_ = c; }
    TStrings* CustomColors() { return customColors_.get(); }
    void SetCustomColors(TStrings* s) { customColors_->Assign(s); }
    TColorDialogOptions Options() const { return options_; }
    void SetOptions(TColorDialogOptions o) { options_ = o; }

private:
    TColor color_ = clBlack;
    std::unique_ptr<TStringList> customColors_;
    TColorDialogOptions options_;
};

enum class TFindOption {
    frDown, frFindNext, frHideMatchCase, frHideWholeWord, frHideUpDown, frMatchCase, frDisableMatchCase,
    frDisableUpDown, frDisableWholeWord, frReplace, frReplaceAll, frWholeWord, frShowHelp
};
TRESKEL_ENUM_INFO(TFindOption, "frDown", "frFindNext", "frHideMatchCase", "frHideWholeWord", "frHideUpDown",
                  "frMatchCase", "frDisableMatchCase", "frDisableUpDown", "frDisableWholeWord", "frReplace",
                  "frReplaceAll", "frWholeWord", "frShowHelp")
using TFindOptions = Set<TFindOption>;

// The modeless find dialog.  Execute shows it and returns at once; each
// "Find Next" updates FindText and Options and fires OnFind; closing it
// fires OnClose.  Position is where it shows, in screen coordinates.
class TFindDialog : public TCommonDialog {
    TRESKEL_CLASS(TFindDialog)
public:
    explicit TFindDialog(TComponent* owner);
    ~TFindDialog() override;
    bool Execute() override;
    void CloseDialog();
    // The dialog's window while it shows.
    HWND Handle() const { return dialog_; }

    std::string FindText() const;
    void SetFindText(const std::string& s);
    TFindOptions Options() const { return options_; }
    void SetOptions(TFindOptions o) { options_ = o; }
    TPoint Position() const;
    void SetPosition(TPoint p);
    int Left() const { return Position().x; }
    void SetLeft(int x) { SetPosition({x, Position().y}); }
    int Top() const { return Position().y; }
    void SetTop(int y) { SetPosition({Position().x, y}); }

    TNotifyEvent OnFind;
    TNotifyEvent OnClose;

protected:
    // FindTextA or ReplaceTextA.
    virtual HWND CreateDialogWindow(FINDREPLACEA& fr);
    virtual void DoFind();
    virtual void DoReplace() {}
    FINDREPLACEA& Record() { return fr_; }
    void ReadBack();

private:
    friend UINT_PTR CALLBACK FindDialogHook(HWND, UINT, WPARAM, LPARAM);
    bool HandleOwnerMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void Ended();
    FINDREPLACEA fr_{};
    std::array<char, 256> findWhat_{};
    TFindOptions options_{TFindOption::frDown};
    TPoint position_{-1, -1};
    bool positioned_ = false;
    HWND dialog_ = nullptr;
    UtilityWindow owner_;
};

// The modeless replace dialog: "Replace" and "Replace All" fire OnReplace
// with frReplace or frReplaceAll in Options.
class TReplaceDialog : public TFindDialog {
    TRESKEL_CLASS(TReplaceDialog)
public:
    explicit TReplaceDialog(TComponent* owner) : TFindDialog(owner) {}
    std::string ReplaceText() const;
    void SetReplaceText(const std::string& s);
    TNotifyEvent OnReplace;

protected:
    HWND CreateDialogWindow(FINDREPLACEA& fr) override;
    void DoReplace() override;

private:
    std::array<char, 256> replaceWith_{};
};

enum class TPrintRange { prAllPages, prSelection, prPageNums };
TRESKEL_ENUM_INFO(TPrintRange, "prAllPages", "prSelection", "prPageNums")
enum class TPrintDialogOption { poPrintToFile, poPageNums, poSelection, poWarning, poHelp, poDisablePrintToFile };
TRESKEL_ENUM_INFO(TPrintDialogOption, "poPrintToFile", "poPageNums", "poSelection", "poWarning", "poHelp",
                  "poDisablePrintToFile")
using TPrintDialogOptions = Set<TPrintDialogOption>;

// The print dialog over the program's printer: starts with its chosen
// printer and, when accepted, makes the user's choice the printer's.
// Copies is the number of copies the program must print itself.
class TPrintDialog : public TCommonDialog {
    TRESKEL_CLASS(TPrintDialog)
public:
    explicit TPrintDialog(TComponent* owner) : TCommonDialog(owner) {}
    bool Execute() override;
    bool Collate() const { return collate_; }
    void SetCollate(bool v) { collate_ = v; }
    int Copies() const { return copies_; }
    void SetCopies(int v) { copies_ = v; }
    int FromPage() const { return fromPage_; }
    void SetFromPage(int v) { fromPage_ = v; }
    int ToPage() const { return toPage_; }
    void SetToPage(int v) { toPage_ = v; }
    int MinPage() const { return minPage_; }
    void SetMinPage(int v) { minPage_ = v; }
    int MaxPage() const { return maxPage_; }
    void SetMaxPage(int v) { maxPage_ = v; }
    TPrintDialogOptions Options() const { return options_; }
    void SetOptions(TPrintDialogOptions o) { options_ = o; }
    TPrintRange PrintRange() const { return printRange_; }
    void SetPrintRange(TPrintRange r) { printRange_ = r; }
    bool PrintToFile() const { return printToFile_; }
    void SetPrintToFile(bool v) { printToFile_ = v; }

private:
    bool collate_ = false;
    int copies_ = 1;
    int fromPage_ = 0, toPage_ = 0, minPage_ = 0, maxPage_ = 0;
    TPrintDialogOptions options_;
    TPrintRange printRange_ = TPrintRange::prAllPages;
    bool printToFile_ = false;
};

// The printer setup dialog: chooses the program's printer and its settings.
class TPrinterSetupDialog : public TCommonDialog {
    TRESKEL_CLASS(TPrinterSetupDialog)
public:
    explicit TPrinterSetupDialog(TComponent* owner) : TCommonDialog(owner) {}
    bool Execute() override;
};

}  // namespace treskel
