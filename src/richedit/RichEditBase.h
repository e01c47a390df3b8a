// RichEditBase: the plain rich-edit control (the rich edit 1.0 window
// "RichEdit" of RICHED32.DLL): edit styles, change and selection events,
// selection and clipboard, the 1.0 character and paragraph formats, and the
// content kept while the window is re-created.  The note editor (RichEdit2)
// derives from it and falls back to its window when RICHED20.DLL is absent.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/Controls.h"
#include "platform/StdCtrls.h"

namespace treskel {

class TStream;
class TStreamChunkReader;
struct TParaWordFaults;

// Feeds EM_STREAMIN from bytes in memory: the cookie is a MemoryReader.
// Rich text goes through the control's reader (TStreamChunkReader), so
// that no group nests deeper than the control survives.
class MemoryReader {
public:
    explicit MemoryReader(const std::string& data, bool richText = true);
    ~MemoryReader();
    MemoryReader(const MemoryReader&) = delete;
    MemoryReader& operator=(const MemoryReader&) = delete;
    int Read(uint8_t* buffer, int capacity);

private:
    const std::string& data_;
    size_t pos_ = 0;
    std::unique_ptr<TStreamChunkReader> reader_;
};
DWORD CALLBACK MemoryReadCallback(DWORD_PTR cookie, LPBYTE buffer, LONG cb, LONG* pcb);

// The address space the process could still have, in pieces a heap that
// grows can use, counted up to `most`.
uint64_t ReservableAddressSpace(uint64_t most);
// Address space left for everything else the program does while a
// rich-edit control takes what it was reckoned to take.
constexpr uint64_t kSpareAddressSpace = uint64_t{64} << 20;
// Raises EOutOfMemory(`message`) when `bytes` and that spare are not free:
// the control ends the process when it runs out of memory.
void EnsureRoom(uint64_t bytes, const char* message);
// Why a control is not given text: it would run out of memory.
constexpr const char* kNoRoomForText = "There is not enough memory for the editor to hold it.";

// The paragraph words that the system's rich-edit window (class
// "RICHEDIT20W") writes in a form its own reader takes otherwise; none
// where that window writes them right or is missing.
TParaWordFaults RichEditParaWordFaults();

// Whether the system's wide rich-edit window writes a letter that its
// font's code page lacks as a look-alike from that code page ("c" for "č",
// "A" for "Ā"), so that its RTF read back gives another letter.
bool RichEditWritesLookAlikes();

enum class TAttributeType { atSelected, atDefaultText };
enum class TNumberingStyle { nsNone, nsBullet };

using TRichEditResizeEvent = std::function<void(TObject* Sender, TRect Rect)>;
using TRichEditProtectChange = std::function<void(TObject* Sender, int StartPos, int EndPos, bool& AllowChange)>;
using TRichEditSaveClipboard = std::function<void(TObject* Sender, int NumObjects, int NumChars, bool& SaveClipboard)>;

class TCustomRichEdit;

// The character format of a rich-edit window (CHARFORMAT): the selection's
// or the default one.
class TTextAttributes : public TPersistent {
    TRESKEL_CLASS(TTextAttributes)
public:
    TTextAttributes(TCustomRichEdit* richEdit, TAttributeType type);

    TColor Color();
    void SetColor(TColor value);
    std::string Name();
    void SetName(const std::string& value);
    TFontPitch Pitch();
    void SetPitch(TFontPitch value);
    int Size();
    void SetSize(int value);
    // The size in twips, which keeps half points.
    int SizeTwips();
    void SetSizeTwips(int value);
    TFontStyles Style();
    void SetStyle(TFontStyles value);
    int Charset();
    void SetCharset(int value);
    bool Protected();
    void SetProtected(bool value);

    void Assign(TPersistent* source) override;

protected:
    void AssignTo(TPersistent* dest) override;

private:
    CHARFORMATA Get();
    void Set(CHARFORMATA& format);
    TCustomRichEdit* richEdit_;
    TAttributeType type_;
};

// The paragraph format of the selected paragraphs (PARAFORMAT).
class TParaAttributes : public TPersistent {
    TRESKEL_CLASS(TParaAttributes)
public:
    explicit TParaAttributes(TCustomRichEdit* richEdit);

    TAlignment Alignment();
    void SetAlignment(TAlignment value);
    int FirstIndent();
    void SetFirstIndent(int value);
    int LeftIndent();
    void SetLeftIndent(int value);
    int RightIndent();
    void SetRightIndent(int value);
    TNumberingStyle Numbering();
    void SetNumbering(TNumberingStyle value);
    int Tab(int index);
    void SetTab(int index, int value);
    int TabCount();
    void SetTabCount(int value);

    void Assign(TPersistent* source) override;

protected:
    PARAFORMAT GetParaFormat();
    void SetParaFormat(PARAFORMAT& format);
    TCustomRichEdit* richEdit_;
};

class TCustomRichEdit : public TWinControl {
    TRESKEL_CLASS(TCustomRichEdit)
public:
    explicit TCustomRichEdit(TComponent* owner);
    ~TCustomRichEdit() override;

    // Takes bytes the window writes; returns how many it took.
    using TStreamWriter = std::function<int64_t(const uint8_t* bytes, int64_t count)>;

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value);
    bool HideScrollBars() const { return hideScrollBars_; }
    void SetHideScrollBars(bool value);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool value) { wantTabs_ = value; }
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool value) { wantReturns_ = value; }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    TImeMode ImeMode() const { return imeMode_; }
    void SetImeMode(TImeMode value) { imeMode_ = value; }
    std::string ImeName() const { return imeName_; }
    void SetImeName(const std::string& value) { imeName_ = value; }

    TTextAttributes* SelAttributes() { return selAttributes_.get(); }
    TTextAttributes* DefAttributes() { return defAttributes_.get(); }
    TParaAttributes* Paragraph() { return paragraph_.get(); }
    // Where printing lays the text out, in pixels of the printing device;
    // while it is empty the printer's margins decide.
    TRect PageRect() const { return pageRect_; }
    void SetPageRect(const TRect& r) { pageRect_ = r; }

    bool Modified();
    void SetModified(bool value);
    int SelStart();
    void SetSelStart(int value);
    int SelLength();
    void SetSelLength(int value);
    std::string SelText();
    void SetSelText(const std::string& value);
    void SelectAll();
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Undo();
    bool CanUndo();
    virtual void Clear();
    // Empties a window that holds a long text by making it anew, before
    // the text is deleted or replaced by one of at most `coming`
    // characters: the window deletes text in a time that grows with the
    // square of its length, while a new window costs a few milliseconds
    // whatever the old one held.  A window is also made anew where the
    // coming text wants the other kind (ScrollBarsKept).  Properties,
    // events and the focus carry over; the new window has no undo history.
    // A short text stays, for the window to replace.  True when it made one.
    bool DropLongText(int64_t coming = 0);
    // Longer texts than this (in characters) cost more to delete than a
    // new window.
    static constexpr int RecreateAboveLength = 16 * 1024;
    // Whether the window was made keeping its scroll bars whether its text
    // needs them or not, as it is for a text of more than
    // KeepScrollBarsAbove characters and, with HideScrollBars off, for any.
    // The control lays out every paragraph again when its width or height
    // changes, as when a scroll bar comes, in a time that grows with the
    // square of the paragraphs (2 MB of written text: 13 s, where reading
    // it takes 0.8 s); a window that keeps them lays a long text out once,
    // as it reads it.
    bool ScrollBarsKept() const { return scrollBarsKept_; }
    static constexpr int64_t KeepScrollBarsAbove = 64 * 1024;
    // Length of the text in characters.
    int GetTextLen();
    std::string GetText() override;
    void SetText(const std::string& s) override;

    // The code page of the single-byte text this control hands out.
    virtual UINT TextCodePage() const { return CP_ACP; }
    // Whether the window exists and takes wide text.
    bool WideWindow() const;

    TNotifyEvent OnChange;
    TNotifyEvent OnSelectionChange;
    TRichEditResizeEvent OnResizeRequest;
    TRichEditProtectChange OnProtectChange;
    TRichEditSaveClipboard OnSaveClipboard;

    void WndProc(TMessage& m) override;

protected:
    void CreateParams(TCreateParams& p) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // What is set on every new window; content is restored after it.
    virtual void SetupWindow();
    // Hides the selection while the window has no focus, when HideSelection
    // says so, and shows it otherwise.
    void ShowSelectionByFocus();
    virtual void Change();
    virtual void SelectionChange();
    virtual void RequestSize(const TRect& rect);
    virtual bool ProtectChange(int startPos, int endPos);
    virtual bool SaveClipboard(int numObjects, int numChars);

    // A message sent to the window through the system, in its own width.
    LRESULT SendToWindow(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // The content as the window writes it in `format` (SF_*), handed to
    // `write`; RTF keeps every letter and paragraph.  A write that the window rejects,
    // or that `write` takes short, raises "Failed to Save Stream"; what
    // `write` raises is raised.
    void StreamOut(UINT format, const TStreamWriter& write);
    // The whole content (with SFF_SELECTION the selection) as the window
    // writes RTF, and back; failures raise.
    std::string StreamOutRtf(UINT flags = 0);
    void StreamInRtf(const std::string& rtf);
    // The edit styles shared by the 1.0 and 2.0 windows.
    void AddEditStyles(TCreateParams& p);

    // Content of a window that was destroyed, restored into the next one.
    struct TSavedContent {
        std::string rtf;
        CHARRANGE selection{0, 0};
    };
    std::optional<TSavedContent> savedContent_;
    virtual void RestoreContent();
    // Forgets every content kept for a window still to be made.
    virtual void DiscardContent();
    // Set while the window is made anew without its content.
    bool discardingContent_ = false;
    // The next window keeps its scroll bars where its text of `length`
    // characters (or fewer) wants it.
    void KeepScrollBarsFor(int64_t length);

private:
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    bool hideSelection_ = true;
    bool hideScrollBars_ = true;
    bool scrollBarsKept_ = false;
    // Set while a new window takes the content kept for it.
    bool restoringContent_ = false;
    int maxLength_ = 0;
    bool readOnly_ = false;
    TScrollStyle scrollBars_ = TScrollStyle::ssNone;
    bool wantTabs_ = false;
    bool wantReturns_ = true;
    bool wordWrap_ = true;
    TImeMode imeMode_ = TImeMode::imDontCare;
    std::string imeName_;
    bool modified_ = false;
    std::unique_ptr<TTextAttributes> selAttributes_;
    std::unique_ptr<TTextAttributes> defAttributes_;
    std::unique_ptr<TParaAttributes> paragraph_;
    TRect pageRect_;
};

}  // namespace treskel
