// RichEdit2: the note editor.  A rich-edit control over the system's rich
// edit 2.0 window (RICHED20.DLL, class "RICHEDIT20W", a wide window), with
// the plain 1.0 window as fall-back: character and paragraph attributes,
// the lines as single-byte and wide lists, streaming of RTF and text to and
// from streams and files, search, caret position, address detection and
// clicks, and OLE objects (RichOLE).
//
// Text messages: messages that reach the window through the system are in
// the window's own form (wide on a wide window).  Text messages given to
// the control with Perform carry single-byte text in the code page of the
// control's Language and are converted, never writing past the caller's
// buffer.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "richedit/RichEdit2Rules.h"
#include "richedit/RichEditBase.h"
#include "richedit/WStrList.h"

#undef FindText  // the common dialogs' macro; FindText is the editor's

struct IRichEditOle;
struct IRichEditOleCallback;
struct IDataObject;

namespace treskel {

class TCustomRichEditEx;
class TPopupMenu;
struct TRichOleState;
struct TOleCreateRequest;

enum class TAutoURLDetect { adNone, adDefault, adExtended };
TRESKEL_ENUM_INFO(TAutoURLDetect, "adNone", "adDefault", "adExtended")

enum class TLangOption { loAutoKeyboard, loAutoFont, loIMECancelComplete, loIMEAlwaysSendNotify };
TRESKEL_ENUM_INFO(TLangOption, "loAutoKeyboard", "loAutoFont", "loIMECancelComplete", "loIMEAlwaysSendNotify")
using TLangOptions = Set<TLangOption>;

enum class TInputFormat { ifText, ifRTF, ifUnicode };
TRESKEL_ENUM_INFO(TInputFormat, "ifText", "ifRTF", "ifUnicode")

enum class TOutputFormat { ofText, ofRTF, ofRTFNoObjs, ofTextized, ofUnicode };
TRESKEL_ENUM_INFO(TOutputFormat, "ofText", "ofRTF", "ofRTFNoObjs", "ofTextized", "ofUnicode")

// Options of FindText, bits 0 to 2.
enum class TSearchTypeEx { stBackward, stWholeWord, stMatchCase };
using TSearchTypesEx = Set<TSearchTypeEx>;

using TURLClickEvent = std::function<void(TObject* Sender, const std::string& URL)>;
// Asked before data comes into the text: from the clipboard (a paste: Data
// is null) or from a drop (Data; Really is false while a drag only passes
// over).  Accept false keeps it out.
using TRichEditAcceptData = std::function<void(TObject* Sender, IDataObject* Data, bool Really, bool& Accept)>;

// The character format (CHARFORMAT2) of the selection or the default one.
// On the 1.0 fall-back each property goes to the plain attributes, and what
// 1.0 lacks reads as a neutral value and ignores writes.
class TTextAttributesEx : public TPersistent {
    TRESKEL_CLASS(TTextAttributesEx)
public:
    TTextAttributesEx(TCustomRichEditEx* richEdit, TAttributeType type);

    TColor Color();
    void SetColor(TColor value);
    std::string Name();
    void SetName(const std::string& value);
    TFontPitch Pitch();
    void SetPitch(TFontPitch value);
    int Size();
    void SetSize(int value);
    // The size in twips: assignments copy it, so half points survive.
    int SizeTwips();
    void SetSizeTwips(int value);
    int Weight();
    void SetWeight(int value);
    TColor BackColor();
    void SetBackColor(TColor value);
    TLanguage Language();
    void SetLanguage(TLanguage value);
    int SubscriptStyle();
    void SetSubscriptStyle(int value);
    double Offset();
    void SetOffset(double value);
    double Spacing();
    void SetSpacing(double value);
    double Kerning();
    void SetKerning(double value);
    int Underline();
    void SetUnderline(int value);
    int Animation();
    void SetAnimation(int value);
    bool Bold();
    void SetBold(bool value);
    bool Italic();
    void SetItalic(bool value);
    bool SmallCaps();
    void SetSmallCaps(bool value);
    bool AllCaps();
    void SetAllCaps(bool value);
    bool Hidden();
    void SetHidden(bool value);
    bool Contour();
    void SetContour(bool value);
    bool Shadow();
    void SetShadow(bool value);
    bool Emboss();
    void SetEmboss(bool value);
    bool Imprint();
    void SetImprint(bool value);
    bool Link();
    void SetLink(bool value);

    void Assign(TPersistent* source) override;

protected:
    void AssignTo(TPersistent* dest) override;

private:
    bool Fallback() const;
    TTextAttributes* Plain();
    CHARFORMAT2W Get();
    void Set(CHARFORMAT2W& format);
    bool GetEffect(DWORD effect);
    void SetEffect(DWORD mask, DWORD effect, bool on);
    TCustomRichEditEx* richEdit_;
    TAttributeType type_;
};

// The paragraph format (PARAFORMAT2) of the selected paragraphs.
class TParaAttributesEx : public TParaAttributes {
    TRESKEL_CLASS(TParaAttributesEx)
public:
    explicit TParaAttributesEx(TCustomRichEditEx* richEdit);

    double LeftIndent();
    void SetLeftIndent(double value);
    TAlignment Alignment();
    void SetAlignment(TAlignment value);
    // 0 none, 1 bullets.
    int Numbering();
    void SetNumbering(int value);

private:
    bool Fallback() const;
    PARAFORMAT2 Get();
    void Set(PARAFORMAT2& format);
    TCustomRichEditEx* richEditEx_;
};

// Turns stream bytes into window bytes and back; this one copies unchanged.
class TConversion : public TObject {
    TRESKEL_CLASS(TConversion)
public:
    virtual int64_t ConvertReadStream(TStream& stream, uint8_t* buffer, int64_t count);
    virtual int64_t ConvertWriteStream(TStream& stream, const uint8_t* buffer, int64_t count);
};

// The control's text as lines, and its whole content to and from streams
// and files in the control's InputFormat and OutputFormat.
class TRichEditStringsEx : public TStrings {
    TRESKEL_CLASS(TRichEditStringsEx)
public:
    explicit TRichEditStringsEx(TCustomRichEditEx* richEdit);
    ~TRichEditStringsEx() override;

    int Count() const override;
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    void SetText(std::string_view text) override;
    void AddStrings(const TStrings& strings);

    // A read the window rejects, or that the stream fails, raises and leaves
    // no half-read note behind; an empty stream leaves the control empty.
    void LoadFromStream(TStream& stream) override;
    // A write the window rejects, or that the stream takes short, raises.
    void SaveToStream(TStream& stream) const override;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

    TCustomRichEditEx* RichEdit() const { return richEdit_; }

protected:
    void SetUpdateState(bool updating) override;

private:
    TCustomRichEditEx* richEdit_;
    mutable std::unique_ptr<TConversion> converter_;
};

// The control's lines in wide form.
class TWideRichEditStringsEx : public TWideStrings {
    TRESKEL_CLASS(TWideRichEditStringsEx)
public:
    explicit TWideRichEditStringsEx(TCustomRichEditEx* richEdit);

    std::wstring GetW(int index) const override;
    int GetCount() const override;
    void PutW(int index, const std::wstring& s) override;
    void SetTextStr(std::wstring_view text) override;
    void SetLanguage(TLanguage language) override;
    TLanguage GetLanguage() const override;
    void AddStringsW(const TWideStrings& strings) override;
    void Clear() override;
    void Delete(int index) override;
    void InsertW(int index, const std::wstring& s) override;
    void LoadFromFile(const std::string& fileName) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToFile(const std::string& fileName) override;
    void SaveToStream(TStream& stream) override;

protected:
    void SetUpdateState(bool updating) override;

private:
    TCustomRichEditEx* richEdit_;
};

class TCustomRichEditEx : public TCustomRichEdit {
    TRESKEL_CLASS(TCustomRichEditEx)
public:
    explicit TCustomRichEditEx(TComponent* owner);
    ~TCustomRichEditEx() override;
    void BeforeDestruction() override;

    TTextAttributesEx* SelAttributes() { return selAttributes_.get(); }
    TTextAttributesEx* DefAttributes() { return defAttributes_.get(); }
    TParaAttributesEx* Paragraph() { return paragraph_.get(); }
    TRichEditStringsEx* Lines() { return lines_.get(); }
    // Copies the given strings into the control.
    void SetLines(TStrings* lines);
    TWideRichEditStringsEx* WideLines() { return wideLines_.get(); }

    TAutoURLDetect AutoURLDetect() const { return autoURLDetect_; }
    void SetAutoURLDetect(TAutoURLDetect value);
    TStringList* CustomURLs() { return customURLs_.get(); }
    void SetCustomURLs(TStringList* value);
    TLanguage Language() const { return language_; }
    void SetLanguage(TLanguage value);
    UINT TextCodePage() const override { return codePage_; }
    TLangOptions LangOptions() const { return langOptions_; }
    void SetLangOptions(TLangOptions value);
    bool ShowSelectionBar() const { return showSelectionBar_; }
    void SetShowSelectionBar(bool value);
    bool WordFormatting() const { return wordFormatting_; }
    void SetWordFormatting(bool value) { wordFormatting_ = value; }
    TInputFormat InputFormat() const { return inputFormat_; }
    void SetInputFormat(TInputFormat value) { inputFormat_ = value; }
    TOutputFormat OutputFormat() const { return outputFormat_; }
    void SetOutputFormat(TOutputFormat value) { outputFormat_ = value; }
    bool SelectedInOut() const { return selectedInOut_; }
    void SetSelectedInOut(bool value) { selectedInOut_ = value; }
    bool PlainRTF() const { return plainRTF_; }
    void SetPlainRTF(bool value) { plainRTF_ = value; }
    bool IncludeOLE() const { return includeOLE_; }
    void SetIncludeOLE(bool value);
    bool AllowInPlace() const { return allowInPlace_; }
    void SetAllowInPlace(bool value) { allowInPlace_ = value; }
    bool AutoVerbMenu() const { return autoVerbMenu_; }
    void SetAutoVerbMenu(bool value) { autoVerbMenu_ = value; }

    int FirstVisibleLine();
    // The line and column of the caret: the end of the selection that the
    // user (or the program) moved, both counted from 0.
    int CaretLine();
    int CaretColumn();
    // The position of the match, or -1.
    int FindText(const std::string& searchStr, int startPos, int length, TSearchTypesEx options);

    // OLE objects (RichOLE).
    bool InsertObjectDialog();
    // Closes every object of the window, saving those that changed.
    void CloseOleObjects();
    void DoVerb(int verb);
    void UpdateObject();
    void UpdateObjectExtent();
    IRichEditOle* RichEditOle() const;
    // The callback the window asks about objects and drops, or null.
    IRichEditOleCallback* OleCallback() const;
    // The context menu: the verbs of a selected object, or PopupMenu.
    TPopupMenu* GetPopupMenu();

    // True when this window runs on the rich edit 1.0 fall-back.
    bool RichEdit10() const { return richEdit10_; }

    // The stored "RTF" form property.
    void ReadRtfProperty(const std::string& value);
    std::string WriteRtfProperty();
    bool HasContent();

    void Clear() override;

    TURLClickEvent OnURLClick;
    TRichEditAcceptData OnQueryAcceptData;
    // Whether OnQueryAcceptData lets the data in (Data null: the clipboard).
    bool AcceptsData(IDataObject* data, bool really);

    void WndProc(TMessage& m) override;

protected:
    bool KeyDown(WORD& key, TShiftState shift) override;
    bool KeyPress(char& key) override;
    void CreateParams(TCreateParams& p) override;
    void CreateWindowHandle(const TCreateParams& p) override;
    void SetupWindow() override;
    void RestoreContent() override;
    void DiscardContent() override;
    void SelectionChange() override;

private:
    friend class TTextAttributesEx;
    friend class TParaAttributesEx;
    friend class TRichEditStringsEx;
    friend class TWideRichEditStringsEx;
    friend class TRichEditOleCallback;
    friend class ChangeEventsOff;
    friend class TObjectAdviseSink;

    // Calls the rich-edit window's own procedure, bypassing this control.
    LRESULT CallRichEdit(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    bool HandleNarrowText(TMessage& m);
    int WideTextLength();
    std::wstring TextRangeW(int start, int end);
    // Replaces the selection (undoably) with wide text, in the window's form.
    void ReplaceSelectionW(const std::wstring& text);
    UINT ReadFormat() const;
    UINT WriteFormat() const;
    void HandleLink(TMessage& m);
    void HandleContextMenu(TMessage& m);
    // Paragraph breaks inside bulleted lists (RichEdit2Breaks).
    bool BreakBeforeNextListItem();
    bool PasteBeforeListItem(TMessage& m);
    // The start of the list item that follows the end of a list item where
    // the selection ends, or -1.
    int ListItemAfterSelection();
    int NumberingAt(int pos, CHARFORMAT2W* format = nullptr, int end = 0);
    void SetNumberingAt(int pos, int numbering);
    // Gives the editor's default format to all its text (`sizeOnly`: only
    // its size).  The font's own size (WM_SETFONT) is finer than a note
    // stores, and emptied text keeps the format of the last text there was.
    void ApplyDefaultFormat(bool sizeOnly);

    // Extended address scan.
    void ScanForUrls(int start, int end);
    void BeginUrlUpdate();
    void EndUrlUpdate();

    // OLE (RichOLE).
    void CreateOleCallback();
    void AttachOle();
    void ReleaseOle();
    void TrackObjects();
    void ObjectChanged();
    void CreateAndInsertObject(const TOleCreateRequest& request);
    void BuildVerbList();

    // The character position of the caret.
    int CaretPosition();

    int urlUpdateCount_ = 0;
    TCaretTracker caret_;
    ModuleHandle richEditLibrary_;
    std::unique_ptr<TTextAttributesEx> selAttributes_;
    std::unique_ptr<TTextAttributesEx> defAttributes_;
    std::unique_ptr<TParaAttributesEx> paragraph_;
    std::unique_ptr<TRichEditStringsEx> lines_;
    std::unique_ptr<TWideRichEditStringsEx> wideLines_;
    int screenLogPixels_ = 96;
    TAutoURLDetect autoURLDetect_ = TAutoURLDetect::adNone;
    bool showSelectionBar_ = false;
    TLanguage language_ = 0;
    UINT codePage_ = CP_ACP;
    bool wideText_ = false;
    bool systemMessage_ = false;
    // The character of an Enter whose break was put in by hand.
    bool swallowReturnChar_ = false;
    WindowSubclass systemMarker_;
    CHARRANGE savedSelection_{0, 0};
    int savedFirstVisibleLine_ = 0;
    CHARRANGE pendingUrlRange_{0, 0};
    bool richEdit10_ = false;
    TLangOptions langOptions_{TLangOption::loAutoFont};
    std::unique_ptr<TStringList> customURLs_;
    bool wordFormatting_ = true;
    TInputFormat inputFormat_ = TInputFormat::ifRTF;
    TOutputFormat outputFormat_ = TOutputFormat::ofRTF;
    bool selectedInOut_ = false;
    bool plainRTF_ = false;
    bool autoVerbMenu_ = true;
    bool includeOLE_ = false;
    bool allowInPlace_ = false;
    std::unique_ptr<TRichOleState> ole_;
    // The stored "RTF" value read before the window existed.
    std::optional<std::string> pendingRtf_;
};

class TRichEditEx : public TCustomRichEditEx {
    TRESKEL_CLASS(TRichEditEx)
public:
    using TCustomRichEditEx::TCustomRichEditEx;
};

// How windows load RICHED20.DLL (tests make it fail to reach the
// fall-back); null restores LoadLibraryA.
using TRichEditLibraryLoader = std::function<HMODULE(const char* name)>;
void SetRichEditLibraryLoader(TRichEditLibraryLoader loader);
// Whether new windows are created wide; cleared for the rest of the run the
// first time RICHED20.DLL fails to load.
bool RichEditWideWindows();

// Clipboard formats of rich text, registered once.
struct TRichEditClipboardFormats {
    UINT Rtf = 0;
    UINT RtfNoObjs = 0;
    UINT TextAndObjects = 0;
};
const TRichEditClipboardFormats& RichEditClipboardFormats();

// Publishes the editor's classes for layouts.
void RegisterRichEditClasses();

}  // namespace treskel
