// The main window: tabs of treskels, the item tree and the note editor.
//
// The window's handlers are split by concern: frmMain.cpp (start-up,
// showing, closing, enabling by Tag), frmMainNotes.cpp (note files and the
// open treskel), frmMainTabs.cpp (tabs), frmMainItems.cpp (item commands),
// frmMainTree.cpp (tree events) and frmMainEditor.cpp (editor commands).
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/frmMainRules.h"
#include "store/ItemData.h"
#include "store/NoteStore.h"
#include "app/TreeItems.h"
#include "compress/LH5Control.h"
#include "controls/qclbtnWin.h"
#include "controls/qclctrlAImage.h"
#include "controls/qclextcS.h"
#include "controls/qclsplt.h"
#include "foundation/qclnonvS.h"
#include "foundation/qclsysin.h"
#include "platform/ActnList.h"
#include "platform/ComCtrls.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/ImgList.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "platform/Streams.h"
#include "platform/UtilityWindow.h"
#include "preview/PrevPrinter.h"
#include "richedit/RichEdit2.h"
#include "winutil/CapCtrl.h"
#include "winutil/Colorbtn.h"
#include "winutil/Gradpanl.h"
#include "winutil/Placemnt.h"
#include "winutil/WuCtrls.h"
#include "winutil/WuShell.h"

namespace treskel {

class TControlSubclass;

// Tags that switch groups of commands and controls on and off.
inline constexpr int TagNeedsTreskel = 699;
inline constexpr int TagNeedsItem = 700;

// The cursor the tree shows while an item is dragged.
inline constexpr TCursor crLineDrag = 12;

// The note store's file operations: the passing file of a large note's
// save is made under the name the system information component gives.
class TSysInfoFileOps : public TFileOps {
public:
    // `sysInfo` is the window's field, read when a name is needed.
    explicit TSysInfoFileOps(TQclSysInfo* const& sysInfo) : sysInfo_(sysInfo) {}
    std::string NewTempFile() override;

private:
    TQclSysInfo* const& sysInfo_;
};

class TfrmTreskel : public TForm {
    TRESKEL_CLASS(TfrmTreskel)
public:
    explicit TfrmTreskel(TComponent* owner);
    ~TfrmTreskel() override;

private:
    TSysInfoFileOps noteOps_{SysInfo};

public:
    // ---- state kept besides the components
    std::string DataPath;
    TNoteStore Notes{noteOps_};  // of the open treskel
    std::array<TColor, 16> ColorTable{};
    TDragObject* DragObject = nullptr;
    bool TabPressed = false;
    uint8_t HighlightMode = 0;
    bool NoteModified = false;
    std::unique_ptr<TMemoryStream> ItemStream;
    bool FromTray = false;

    // ---- life cycle
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormDestroy(TObject* Sender);
    void DisableByTag(int tag);
    void EnableByTag(int tag);

    // ---- notes and the open treskel
    void SaveItemNote(TTreeNode* node);
    void ShowItemNote(TTreeNode* node);
    void LoadTreskelList();
    // Raises ETreskelError when the treskel could not be saved; the
    // previous archive and the loose files are then as they were.
    void SaveTreskel(int tabIndex);
    void OpenTreskel(int tabIndex);
    void CutItemToStream(TTreeNode* node);
    void ReadItemStream(TTreeNode* node);
    // Saves the selected item's note when it was modified, before the tree
    // leaves it or it is printed or previewed.  False when it could not be saved: the user was told and
    // the typed text is still in the editor, still modified.
    bool SaveLeavingNote();
    // The tree as the storage formats see it.
    TTreeItemTree& ItemTree() { return *itemTree_; }
    TItemData* ItemData(TTreeNode* node) const;
    // A record with the defaults of the new-item commands.
    std::unique_ptr<TItemData> NewItemRecord(bool link, int32_t id);
    int CompressionSetting();
    // How a failed save names a note and a treskel.
    static std::string NoteName(TTreeNode* node);
    std::string TreskelName(int tabIndex);

    // ---- item commands
    void NewItemExecute(TObject* Sender);
    void NewSubItemExecute(TObject* Sender);
    void NewRootItemExecute(TObject* Sender);
    void RemoveItemExecute(TObject* Sender);
    void LockItemExecute(TObject* Sender);
    void ExpandItemExecute(TObject* Sender);
    void SearchItemsExecute(TObject* Sender);
    void SearchSubItemsExecute(TObject* Sender);
    void SortAZExecute(TObject* Sender);
    void SortZAExecute(TObject* Sender);
    void CreateLinkExecute(TObject* Sender);
    void LinkOrigin1Execute(TObject* Sender);
    void CloneNoteExecute(TObject* Sender);
    void PromoteItemExecute(TObject* Sender);
    void DisplayItemInfoExecute(TObject* Sender);
    void PopupMenu2Popup(TObject* Sender);
    // The print commands of PrinterPopup (PrintButton's drop-down).
    void PrinterPopupPopup(TObject* Sender);
    void PrintItemClick(TObject* Sender);
    void Preview1Click(TObject* Sender);
    void PageSetup1Click(TObject* Sender);

    // ---- tree events
    void TreeViewChanging(TObject* Sender, TTreeNode* Node, bool& AllowChange);
    void TreeViewChange(TObject* Sender, TTreeNode* Node);
    void TreeViewEditing(TObject* Sender, TTreeNode* Node, bool& AllowEdit);
    void TreeViewEdited(TObject* Sender, TTreeNode* Node, std::string& S);
    void TreeViewExpanding(TObject* Sender, TTreeNode* Node, bool& AllowExpansion);
    void TreeViewKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void TreeViewKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    void TreeViewEnter(TObject* Sender);
    void TreeViewClick(TObject* Sender);
    void TreeViewCustomDrawItem(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, bool& DefaultDraw);
    void TreeViewStartDrag(TObject* Sender, TDragObject*& DragObject);
    void TreeViewDragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept);
    void TreeViewDragDrop(TObject* Sender, TObject* Source, int X, int Y);
    void StyleChange(TObject* Sender);
    void ColorComboChange(TObject* Sender);
    void FontSizeComboEnter(TObject* Sender);
    void FontSizeComboChange(TObject* Sender);
    void SpeedUpClick(TObject* Sender);
    void SpeedDownClick(TObject* Sender);
    void SpeedUpDragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept);
    void SpeedDownDragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept);
    void Panel4Resize(TObject* Sender);
    void Panel5Resize(TObject* Sender);
    void FontClick(TObject* Sender);
    void ToolBar1Enter(TObject* Sender);

    // ---- tabs
    void NewTreskelExecute(TObject* Sender);
    void RenameTreskelExecute(TObject* Sender);
    void TabControl1Changing(TObject* Sender, bool& AllowChange);
    void TabControl1Change(TObject* Sender);
    // Selects the first top item as entering a tab does: its note shown,
    // the commands that need an item enabled and the item style bar
    // following it; with no item those commands are disabled.
    void EnterFirstItem();

    // ---- editor commands
    void BoldExecute(TObject* Sender);
    void ItalicExecute(TObject* Sender);
    void UnderlineExecute(TObject* Sender);
    void BulletedListExecute(TObject* Sender);
    void UndoExecute(TObject* Sender);
    void LeftJustifyExecute(TObject* Sender);
    void CenterJustifyExecute(TObject* Sender);
    void RightJustifyExecute(TObject* Sender);
    void CutExecute(TObject* Sender);
    void CCopyExecute(TObject* Sender);
    void PasteExecute(TObject* Sender);
    void SearchTextExecute(TObject* Sender);
    void TextActionsUpdate(TBasicAction* Action, bool& Handled);
    void REditSelectionChange(TObject* Sender);
    void REditKeyPress(TObject* Sender, char& Key);
    void REditKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void REditMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void REditEndDrag(TObject* Sender, TObject* Target, int X, int Y);
    void REditEnter(TObject* Sender);
    void REditURLClick(TObject* Sender, const std::string& URL);
    void QclFontComboBox1Click(TObject* Sender);
    void QclFontSizeComboBox1Click(TObject* Sender);
    void SelectAll1Click(TObject* Sender);
    void DefaultFont1Click(TObject* Sender);
    void FindDialogFind(TObject* Sender);
    void FindDialogClose(TObject* Sender);
    // The colour pop-up: text colour and highlight.
    void TextColorExecute(TObject* Sender);
    void HighliteExecute(TObject* Sender);
    void ColorButton1Click(TObject* Sender);
    void MoreColorButtonClick(TObject* Sender);
    void ColorPanelExit(TObject* Sender);

    // ---- pictures, scans and objects
    void InsertPictureExecute(TObject* Sender);
    void InsertOLEExecute(TObject* Sender);
    void SelectTwainSourceClick(TObject* Sender);
    void Acquire1Click(TObject* Sender);
    // Pastes a picture into the note at the caret, through the clipboard
    // (as a bitmap and as an enhanced metafile), and leaves the clipboard
    // empty.
    void PastePicture(TGraphic* picture);
    // Before a paste or a drop: the pictures and rich text it brings are
    // measured, and refused, in words, when the note could then never be
    // saved.
    void REditQueryAcceptData(TObject* Sender, IDataObject* Data, bool Really, bool& Accept);
    // At least the bytes of rich text the note in the editor would be
    // saved as: what is known of it, or counted.
    int64_t NoteRtfBytes();

    // ---- tray, caption-bar buttons and the about box
    void CaptionControl1ButtonClick(TObject* Sender, int ButtonIndex, bool& Pushed);
    void TrayIconDblClick(TObject* Sender);
    void Image1Click(TObject* Sender);
    // Keeps the version label in the banner picture's free corner.
    void Panel1Resize(TObject* Sender);
    // Hides the window and shows the tray icon in its place.
    void SendToTray();
    // The about box, modally.
    void ShowAboutBox();
    // The options dialog, modally.
    void ProgramOptionsExecute(TObject* Sender);

    // ---- components of the layout
    TActionList* TreskelActions = nullptr;
    TAction* NewItem = nullptr;
    TAction* NewSubItem = nullptr;
    TAction* NewRootItem = nullptr;
    TAction* RemoveItem = nullptr;
    TAction* LockItem = nullptr;
    TAction* ExpandItem = nullptr;
    TAction* SearchItems = nullptr;
    TAction* SortAZ = nullptr;
    TAction* SortZA = nullptr;
    TAction* CreateLink = nullptr;
    TAction* LinkOrigin1 = nullptr;
    TAction* SearchSubItems = nullptr;
    TAction* CloneNote = nullptr;
    TAction* PromoteItem = nullptr;
    TAction* DisplayItemInfo = nullptr;
    TAction* NewTreskel = nullptr;
    TAction* RenameTreskel = nullptr;
    TAction* ProgramOptions = nullptr;

    TActionList* TextActions = nullptr;
    TAction* Bold = nullptr;
    TAction* Italic = nullptr;
    TAction* Underline = nullptr;
    TAction* BulletedList = nullptr;
    TAction* Undo = nullptr;
    TAction* LeftJustify = nullptr;
    TAction* CenterJustify = nullptr;
    TAction* RightJustify = nullptr;
    TAction* Cut = nullptr;
    TAction* CCopy = nullptr;
    TAction* Paste = nullptr;
    TAction* SearchText = nullptr;
    TAction* TextColor = nullptr;
    TAction* Highlite = nullptr;
    TAction* ScanImage = nullptr;
    TAction* InsertPicture = nullptr;
    TAction* InsertOLE = nullptr;

    TToolBar* ToolBar1 = nullptr;
    TToolButton* LockButton = nullptr;
    TToolButton* ExpColButton = nullptr;

    TQclSplitterPanel* PaneSplitCtrl = nullptr;
    TQclSplitterPane* QclSplitterPane1 = nullptr;
    TQclSplitterPane* QclSplitterPane2 = nullptr;

    TTabControl* TabControl1 = nullptr;
    TTreeView* TreeView = nullptr;
    TToolBar* ToolBar3 = nullptr;
    TQclColorComboBox* ColorCombo = nullptr;
    TQclFontSizeComboBox* FontSizeCombo = nullptr;
    TToolButton* ToolButton14 = nullptr;
    TToolButton* ToolButton19 = nullptr;
    TToolButton* ToolButton20 = nullptr;
    TToolButton* ToolButton22 = nullptr;
    TPanel* Panel1 = nullptr;
    TQclNImage* Image1 = nullptr;
    TLabel* Label1 = nullptr;
    TPanel* Panel4 = nullptr;
    TPanel* Panel5 = nullptr;
    TWuSpeedButton* SpeedUp = nullptr;
    TWuSpeedButton* SpeedDown = nullptr;

    TPanel* Panel2 = nullptr;
    TToolBar* ToolBar2 = nullptr;
    TQclFontComboBox* QclFontComboBox1 = nullptr;
    TQclFontSizeComboBox* QclFontSizeComboBox1 = nullptr;
    TToolButton* BoldButton = nullptr;
    TToolButton* ItalicButton = nullptr;
    TToolButton* UnderlineButton = nullptr;
    TToolButton* ColorButton = nullptr;
    TToolButton* HiColor = nullptr;
    TToolButton* BulletButton = nullptr;
    TToolButton* UndoButton = nullptr;
    TToolButton* LeftButton = nullptr;
    TToolButton* CenterButton = nullptr;
    TToolButton* RightButton = nullptr;
    TToolButton* CutButton = nullptr;
    TToolButton* CopyButton = nullptr;
    TToolButton* PasteButton = nullptr;
    TStatusBar* StatusBar = nullptr;
    TRichEditEx* REdit = nullptr;
    TPanel* ColorPanel = nullptr;
    TgradientPanel* gradientPanel1 = nullptr;
    TButton* MoreColorButton = nullptr;
    TQclOfficeButton* QclOfficeButton1 = nullptr;
    TQclOfficeButton* QclOfficeButton2 = nullptr;
    TQclOfficeButton* QclOfficeButton3 = nullptr;
    TPopupMenu* ScanPopup = nullptr;
    TMenuItem* SelectTwainSource = nullptr;
    TMenuItem* Acquire1 = nullptr;
    TMenuItem* InsertOLE1 = nullptr;

    TPopupMenu* PopupMenu1 = nullptr;
    TPopupMenu* PopupMenu2 = nullptr;
    TQclOfficeButton* PrintButton = nullptr;
    TPopupMenu* PrinterPopup = nullptr;
    TMenuItem* PageSetup1 = nullptr;
    TMenuItem* Preview1 = nullptr;
    TMenuItem* PrintItem = nullptr;
    TPreviewPrinter* Preview = nullptr;
    TMenuItem* GotoLinkOrigin1 = nullptr;
    TImageList* ImageList1 = nullptr;
    TImageList* ImageList2 = nullptr;
    TFontDialog* FontDialog = nullptr;
    TColorDialog* ColorDialog = nullptr;
    TFindDialog* FindDialog = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    TPrintDialog* PrintDialog = nullptr;
    TQclIniCtrl* IniCtrl = nullptr;
    TQclOneInstance* QclOneInstance1 = nullptr;
    TQclSysInfo* SysInfo = nullptr;
    LH5Compression* lh5 = nullptr;
    TCaptionControl* CaptionControl1 = nullptr;
    TWuTrayIcon* TrayIcon = nullptr;
    TFormPlacement* FormPlacement1 = nullptr;

private:
    // Applies a colour of the pop-up to the selection: its background in
    // highlight mode, else its text.
    void ApplyPopupColor(TColor color);
    // The note shown in the editor could not be read: the panel shows why
    // and the editor stays empty and hidden, so that nothing is saved
    // over the file.
    void ShowNoteProblem(const std::string& caption);
    // The item style bar shows the item's colour and style (cleared
    // without an item).
    void ShowItemStyle(TTreeNode* node);
    // Tells the user that saving `what` ("The note of 'x'", "The treskel
    // 'y'") failed, in the same words on every road that saves.  When
    // closing, asks whether to close anyway: true for yes.
    // `lostOnClose` says what closing anyway loses.
    bool ReportSaveFailure(const std::string& what, const std::string& reason, bool closing,
                           const std::string& lostOnClose = "");
    // A moment after the tree changed, writes it beside the loose notes:
    // a crash then loses no change made before.
    void TreeChanged();
    void SaveTreeNow();
    std::unique_ptr<UtilityTimer> treeSave_;
    // Owns the object of the last item drag (DragObject).
    std::unique_ptr<TDragObject> dragObjectOwner_;
    std::unique_ptr<TTreeItemTree> itemTree_;
    // The tab whose treskel could not be opened: its archive is never
    // written over, and nothing can be added while it is shown.
    int openFailedTab_ = -1;
    // The user was told that a read or save of the notes failed, and
    // nothing was saved since: a save the user does not see (the tree a
    // moment after a change) and a note that cannot be read for the same
    // reason stay quiet.
    bool storeFailureTold_ = false;
    // Set while a note is being put into the editor: that is no edit.
    bool showingNote_ = false;
    // While a picture measured before it was decoded is pasted: what it
    // takes in the note.
    std::optional<int64_t> pastingPicture_;
    // What the note in the editor holds, as far as it is known, and the
    // editor's messages that change it.
    TNoteBound noteBound_;
    std::unique_ptr<TControlSubclass> noteChanges_;
    // The name the editor gives itself in the rich text it writes.
    std::string noteWriter_;
    void LearnNoteWriter(std::string_view rtf);
    // Follows the editor's pastes, keystrokes and formatting for noteBound_.
    void WatchNoteChanges();
    // Why the note has no room for `cost`, in words; empty when it has.
    std::string NoteRoomProblem(const TPictureCost& cost);
    // The bytes of rich text the note in the editor would be saved as.
    int64_t CountNoteRtf();
    // The id of the note file the editor shows, from its reading until the
    // editor shows something else.
    std::optional<int32_t> shownNoteId_;
    // True when the editor holds the note of `node` as it was read and
    // unchanged since.
    bool ShowsStoredNoteOf(TTreeNode* node);
    // Shows the caret's line and column in the status line, now or once
    // the editor has handled the key or click at hand.
    void ShowCaretPosition();
    void PostCaretPosition();
    std::unique_ptr<UtilityWindow> caretStatus_;
};

extern TfrmTreskel* frmTreskel;

void RegisterMainFormClasses();
// An error box of the main window: caption "Error", OK.
void ShowError(const std::string& text);

}  // namespace treskel
