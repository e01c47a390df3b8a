// The main window's life: creation, first showing, closing, destruction,
// and switching commands and controls on and off by their Tag.
#include "app/frmMain.h"

#include "app/OtherQiv.h"
#include "app/TreskelOptions.h"

#include "platform/FileSys.h"
#include "platform/FormLoader.h"
#include "winutil/SubCls.h"

namespace treskel {

TfrmTreskel* frmTreskel = nullptr;

namespace {
// The item caption colours, by an item's colour index.
constexpr std::array<TColor, 16> kColorTable = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
    0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};
constexpr const char* kDataPathMade =
    "The data directory %s was not found, so it has been made again.\nIt holds no treskels yet.";
constexpr const char* kDataPathNotMade =
    "The data directory %s was not found and cannot be made.\nNo treskel can be saved until it exists.";
}  // namespace

TfrmTreskel::TfrmTreskel(TComponent* owner) : TForm(owner) {}

TfrmTreskel::~TfrmTreskel() = default;

void TfrmTreskel::FormCreate(TObject*) {
    ItemStream = std::make_unique<TMemoryStream>();
    HCURSOR drag = LoadCursorA(GetModuleHandleA(nullptr), "LINEDRAGII");
    if (drag != nullptr) EnsureScreen()->SetCursors(crLineDrag, drag);
    TreeView->SetDragCursor(crLineDrag);
    ColorTable = kColorTable;

    // Every node of the tree is an item node that owns its record.
    itemTree_ = std::make_unique<TTreeItemTree>(TreeView);
    treeSave_ = std::make_unique<UtilityTimer>([this] { SaveTreeNow(); }, this);
    TreeView->OnNodesChange = [this](TObject*) { TreeChanged(); };
    // The pictures of the form that are not in its layout text.
    Image1->Bitmap()->LoadFromResourceName(GetModuleHandleA(nullptr), "BANNER");
    TrayIcon->Icon()->LoadFromResourceName(GetModuleHandleA(nullptr), "MAINICON");
    ImageList1->GetBitmap(40, SpeedUp->Glyph());
    ImageList1->GetBitmap(41, SpeedDown->Glyph());
    TBitmap printer;
    ImageList1->GetBitmap(31, &printer);
    PrintButton->SetGlyph(&printer);
    REdit->OnQueryAcceptData = [this](TObject* sender, IDataObject* data, bool really, bool& accept) {
        REditQueryAcceptData(sender, data, really, accept);
    };
    WatchNoteChanges();
    // A change that reaches the note without the editor taking the focus
    // (an embedded object saving itself) still marks the note modified.
    REdit->OnChange = [this](TObject*) {
        if (showingNote_) return;
        noteBound_.Changed();
        // The editor no longer holds the note as it was read.
        shownNoteId_.reset();
        // A hidden editor (a locked item, a link without origin) holds no
        // note of the selected item: a change there is nobody's.
        if (TreeView->Selected() != nullptr && Panel2->Enabled() && REdit->Visible()) NoteModified = true;
    };
}

void TfrmTreskel::FormShow(TObject*) {
    Panel1->SetHeight(Image1->Height() + 3);
    // Shown again, by the tray icon or by a second start: the icon goes.
    TrayIcon->SetActive(false);
    if (FromTray) return;

    DataPath = IniCtrl->ReadString("common", "path", "");
    if (DataPath.empty()) {
        DataPath = ExtractFilePath(Application->ExeName()) + "Data";
        // An existing directory is fine; a failure shows later as no tabs.
        CreateDir(DataPath);
        IniCtrl->WriteString("common", "path", DataPath);
    } else if (!DirectoryExists(ExcludeTrailingBackslash(DataPath))) {
        // Moved or deleted since it was stored: new notes need a place.
        bool made = ForceDirectories(ExcludeTrailingBackslash(DataPath));
        MessageDlg(Format(made ? kDataPathMade : kDataPathNotMade, DataPath.c_str()),
                   made ? TMsgDlgType::mtInformation : TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
    }
    DataPath = IncludeTrailingBackslash(DataPath);
    Notes.SetDataPath(DataPath);

    LoadTreskelList();
    if (IniCtrl->ReadBool("common", "showcompression", false)) TreeView->SetStateImages(ImageList2);
    if (TabControl1->Tabs()->Count() == 0) DisableByTag(TagNeedsTreskel);

    IniCtrl->ReadFont("common", "tree", TreeView->Font());
    IniCtrl->ReadFont("common", "text", REdit->Font());
    // The window starts as entering a tab leaves it: the first item chosen,
    // its note shown (a locked one hidden) in the editor's own font, and
    // its commands ready.
    EnterFirstItem();
}

void TfrmTreskel::FormClose(TObject*, TCloseAction& Action) {
    // When a save fails the user chooses: stay, or close with what could
    // be saved.  A data directory that is gone takes the treskel's unsaved
    // changes with the note's: said once, with the note.
    bool folderGoneAccepted = false;
    auto folderGone = [](const Exception& e) { return dynamic_cast<const EDataFolderGone*>(&e) != nullptr; };
    if (NoteModified) {
        TTreeNode* node = TreeView->Selected();
        try {
            SaveItemNote(node);
        } catch (const Exception& e) {
            const std::string typed = "what was typed into '" + (node != nullptr ? node->Text() : std::string()) +
                                      "' since its note was last saved is lost";
            if (!ReportSaveFailure(NoteName(node), e.Message(), true,
                                   folderGone(e) ? "Closing now, " + typed + ", and so is every other change not "
                                                                             "saved yet."
                                                 : "The treskel is saved with every other change; " + typed + ".")) {
                Action = TCloseAction::caNone;
                return;
            }
            folderGoneAccepted = folderGone(e);
        }
        // The note keeps what was saved of it before.
        NoteModified = false;
    }
    try {
        SaveTreskel(TabControl1->TabIndex());
    } catch (const Exception& e) {
        if (!(folderGoneAccepted && folderGone(e)) &&
            !ReportSaveFailure(TreskelName(TabControl1->TabIndex()), e.Message(), true)) {
            Action = TCloseAction::caNone;
            return;
        }
    }
    IniCtrl->WriteInteger("common", "activetreskel", TabControl1->TabIndex());
}

bool TfrmTreskel::ReportSaveFailure(const std::string& what, const std::string& reason, bool closing,
                                    const std::string& lostOnClose) {
    // Told now: the saves the user does not see (the tree a moment after
    // a change) need not say it again.
    storeFailureTold_ = true;
    std::string text = what + " could not be saved.\n" + reason;
    if (!closing) {
        ShowError(text);
        return false;
    }
    text += "\n\nClose anyway? " +
            (lostOnClose.empty() ? "What was saved before stays on disk as it is; what could not be saved is lost."
                                 : lostOnClose);
    return Application->MessageBox(text, "Error", MB_YESNO | MB_ICONSTOP | MB_DEFBUTTON2) == IDYES;
}

std::string TfrmTreskel::NoteName(TTreeNode* node) {
    return "The note of '" + (node != nullptr ? node->Text() : std::string()) + "'";
}

std::string TfrmTreskel::TreskelName(int tabIndex) {
    TStrings* tabs = TabControl1->Tabs();
    return "The treskel '" + (tabIndex >= 0 && tabIndex < tabs->Count() ? tabs->Get(tabIndex) : std::string()) + "'";
}

void ShowError(const std::string& text) { Application->MessageBox(text, "Error", MB_OK | MB_ICONSTOP); }

void TfrmTreskel::FormDestroy(TObject*) {
    ItemStream.reset();
    // The tree goes after this window's own fields.
    TreeView->OnNodesChange = nullptr;
    // The window leaves the screen first (its placement and settings are
    // kept by now): its hundred controls then go without each being drawn
    // away from a window still shown.
    if (HandleAllocated() && IsWindowVisible(Handle())) ShowWindow(Handle(), SW_HIDE);
}

void TfrmTreskel::CaptionControl1ButtonClick(TObject*, int ButtonIndex, bool&) {
    if (ButtonIndex == 0) ShowAboutBox();
    if (ButtonIndex == 1) SendToTray();
}

void TfrmTreskel::SendToTray() {
    FromTray = true;
    TrayIcon->SetActive(true);
    // A window whose icon the shell refused would be out of reach.
    if (TrayIcon->Shown()) Hide();
    else TrayIcon->SetActive(false);
}

void TfrmTreskel::TrayIconDblClick(TObject*) {
    TrayIcon->SetActive(false);
    Show();
}

void TfrmTreskel::Image1Click(TObject*) { ShowAboutBox(); }

// The banner picture is centred under the tree, its name on the left and
// its right end free above the dotted line: the version stands there,
// wherever the pane's width puts the picture, and goes where the picture
// is cut too narrow to hold it whole.
void TfrmTreskel::Panel1Resize(TObject*) {
    constexpr int kRightMargin = 6, kBottomMargin = 5;
    const TRect picture = Image1->PictureRect();
    if (IsRectEmpty(picture)) return;
    const TRect shown = Image1->Bevel()->GetClientRect(Image1->ClientRect());
    const int left = Image1->Left() + picture.Right - kRightMargin - Label1->Width();
    const int top = Image1->Top() + picture.Bottom - kBottomMargin - Label1->Height();
    Label1->SetBounds(left, top, Label1->Width(), Label1->Height());
    Label1->SetVisible(left >= Image1->Left() + shown.Left &&
                       left + Label1->Width() <= Image1->Left() + shown.Right);
}

void TfrmTreskel::ShowAboutBox() { AboutForm()->ShowModal(); }

void TfrmTreskel::ProgramOptionsExecute(TObject*) { OptionsForm()->ShowModal(); }

void TfrmTreskel::DisableByTag(int tag) {
    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* c = Components(i);
        if (c->Tag() != tag) continue;
        if (auto* a = dynamic_cast<TCustomAction*>(c))
            a->SetEnabled(false);
        else if (auto* control = dynamic_cast<TControl*>(c))
            control->SetEnabled(false);
    }
}

void TfrmTreskel::EnableByTag(int tag) {
    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* c = Components(i);
        if (c->Tag() != tag) continue;
        if (auto* a = dynamic_cast<TCustomAction*>(c))
            a->SetEnabled(true);
        else if (auto* control = dynamic_cast<TControl*>(c))
            control->SetEnabled(true);
    }
    // The note panel stays as the shown note left it: disabled while the
    // editor is hidden (a locked item, a link without origin).
    if (tag == TagNeedsItem && !REdit->Visible()) Panel2->SetEnabled(false);
}

int TfrmTreskel::CompressionSetting() {
    int level = IniCtrl->ReadInteger("common", "compression", 2);
    return level >= 0 && level <= 2 ? level : 2;
}

void RegisterMainFormClasses() {
    PublishClass<TfrmTreskel, TForm> pc;
    pc.Handler("FormCreate", &TfrmTreskel::FormCreate)
        .Handler("FormShow", &TfrmTreskel::FormShow)
        .Handler("FormClose", &TfrmTreskel::FormClose)
        .Handler("FormDestroy", &TfrmTreskel::FormDestroy)
        .Handler("CaptionControl1ButtonClick", &TfrmTreskel::CaptionControl1ButtonClick)
        .Handler("TrayIconDblClick", &TfrmTreskel::TrayIconDblClick)
        .Handler("Image1Click", &TfrmTreskel::Image1Click)
        .Handler("Panel1Resize", &TfrmTreskel::Panel1Resize)
        .Handler("ProgramOptionsExecute", &TfrmTreskel::ProgramOptionsExecute)
        .Handler("NewItemExecute", &TfrmTreskel::NewItemExecute)
        .Handler("NewSubItemExecute", &TfrmTreskel::NewSubItemExecute)
        .Handler("NewRootItemExecute", &TfrmTreskel::NewRootItemExecute)
        .Handler("RemoveItemExecute", &TfrmTreskel::RemoveItemExecute)
        .Handler("LockItemExecute", &TfrmTreskel::LockItemExecute)
        .Handler("ExpandItemExecute", &TfrmTreskel::ExpandItemExecute)
        .Handler("SearchItemsExecute", &TfrmTreskel::SearchItemsExecute)
        .Handler("SearchSubItemsExecute", &TfrmTreskel::SearchSubItemsExecute)
        .Handler("SortAZExecute", &TfrmTreskel::SortAZExecute)
        .Handler("SortZAExecute", &TfrmTreskel::SortZAExecute)
        .Handler("CreateLinkExecute", &TfrmTreskel::CreateLinkExecute)
        .Handler("LinkOrigin1Execute", &TfrmTreskel::LinkOrigin1Execute)
        .Handler("CloneNoteExecute", &TfrmTreskel::CloneNoteExecute)
        .Handler("PromoteItemExecute", &TfrmTreskel::PromoteItemExecute)
        .Handler("DisplayItemInfoExecute", &TfrmTreskel::DisplayItemInfoExecute)
        .Handler("PopupMenu2Popup", &TfrmTreskel::PopupMenu2Popup)
        .Handler("PrinterPopupPopup", &TfrmTreskel::PrinterPopupPopup)
        .Handler("PrintItemClick", &TfrmTreskel::PrintItemClick)
        .Handler("Preview1Click", &TfrmTreskel::Preview1Click)
        .Handler("PageSetup1Click", &TfrmTreskel::PageSetup1Click)
        .Handler("TreeViewChanging", &TfrmTreskel::TreeViewChanging)
        .Handler("TreeViewChange", &TfrmTreskel::TreeViewChange)
        .Handler("TreeViewEditing", &TfrmTreskel::TreeViewEditing)
        .Handler("TreeViewEdited", &TfrmTreskel::TreeViewEdited)
        .Handler("TreeViewExpanding", &TfrmTreskel::TreeViewExpanding)
        .Handler("TreeViewKeyDown", &TfrmTreskel::TreeViewKeyDown)
        .Handler("TreeViewKeyUp", &TfrmTreskel::TreeViewKeyUp)
        .Handler("TreeViewEnter", &TfrmTreskel::TreeViewEnter)
        .Handler("TreeViewClick", &TfrmTreskel::TreeViewClick)
        .Handler("TreeViewCustomDrawItem", &TfrmTreskel::TreeViewCustomDrawItem)
        .Handler("TreeViewStartDrag", &TfrmTreskel::TreeViewStartDrag)
        .Handler("TreeViewDragOver", &TfrmTreskel::TreeViewDragOver)
        .Handler("TreeViewDragDrop", &TfrmTreskel::TreeViewDragDrop)
        .Handler("StyleChange", &TfrmTreskel::StyleChange)
        .Handler("ColorComboChange", &TfrmTreskel::ColorComboChange)
        .Handler("FontSizeComboEnter", &TfrmTreskel::FontSizeComboEnter)
        .Handler("FontSizeComboChange", &TfrmTreskel::FontSizeComboChange)
        .Handler("SpeedUpClick", &TfrmTreskel::SpeedUpClick)
        .Handler("SpeedDownClick", &TfrmTreskel::SpeedDownClick)
        .Handler("SpeedUpDragOver", &TfrmTreskel::SpeedUpDragOver)
        .Handler("SpeedDownDragOver", &TfrmTreskel::SpeedDownDragOver)
        .Handler("Panel4Resize", &TfrmTreskel::Panel4Resize)
        .Handler("Panel5Resize", &TfrmTreskel::Panel5Resize)
        .Handler("FontClick", &TfrmTreskel::FontClick)
        .Handler("ToolBar1Enter", &TfrmTreskel::ToolBar1Enter)
        .Handler("NewTreskelExecute", &TfrmTreskel::NewTreskelExecute)
        .Handler("RenameTreskelExecute", &TfrmTreskel::RenameTreskelExecute)
        .Handler("TabControl1Changing", &TfrmTreskel::TabControl1Changing)
        .Handler("TabControl1Change", &TfrmTreskel::TabControl1Change)
        .Handler("BoldExecute", &TfrmTreskel::BoldExecute)
        .Handler("ItalicExecute", &TfrmTreskel::ItalicExecute)
        .Handler("UnderlineExecute", &TfrmTreskel::UnderlineExecute)
        .Handler("BulletedListExecute", &TfrmTreskel::BulletedListExecute)
        .Handler("UndoExecute", &TfrmTreskel::UndoExecute)
        .Handler("LeftJustifyExecute", &TfrmTreskel::LeftJustifyExecute)
        .Handler("CenterJustifyExecute", &TfrmTreskel::CenterJustifyExecute)
        .Handler("RightJustifyExecute", &TfrmTreskel::RightJustifyExecute)
        .Handler("CutExecute", &TfrmTreskel::CutExecute)
        .Handler("CCopyExecute", &TfrmTreskel::CCopyExecute)
        .Handler("PasteExecute", &TfrmTreskel::PasteExecute)
        .Handler("SearchTextExecute", &TfrmTreskel::SearchTextExecute)
        .Handler("TextActionsUpdate", &TfrmTreskel::TextActionsUpdate)
        .Handler("REditSelectionChange", &TfrmTreskel::REditSelectionChange)
        .Handler("REditKeyPress", &TfrmTreskel::REditKeyPress)
        .Handler("REditKeyDown", &TfrmTreskel::REditKeyDown)
        .Handler("REditMouseDown", &TfrmTreskel::REditMouseDown)
        .Handler("REditEndDrag", &TfrmTreskel::REditEndDrag)
        .Handler("REditEnter", &TfrmTreskel::REditEnter)
        .Handler("REditURLClick", &TfrmTreskel::REditURLClick)
        .Handler("QclFontComboBox1Click", &TfrmTreskel::QclFontComboBox1Click)
        .Handler("QclFontSizeComboBox1Click", &TfrmTreskel::QclFontSizeComboBox1Click)
        .Handler("SelectAll1Click", &TfrmTreskel::SelectAll1Click)
        .Handler("DefaultFont1Click", &TfrmTreskel::DefaultFont1Click)
        .Handler("FindDialogFind", &TfrmTreskel::FindDialogFind)
        .Handler("FindDialogClose", &TfrmTreskel::FindDialogClose)
        .Handler("TextColorExecute", &TfrmTreskel::TextColorExecute)
        .Handler("HighliteExecute", &TfrmTreskel::HighliteExecute)
        .Handler("ColorButton1Click", &TfrmTreskel::ColorButton1Click)
        .Handler("MoreColorButtonClick", &TfrmTreskel::MoreColorButtonClick)
        .Handler("ColorPanelExit", &TfrmTreskel::ColorPanelExit)
        .Handler("InsertPictureExecute", &TfrmTreskel::InsertPictureExecute)
        .Handler("InsertOLEExecute", &TfrmTreskel::InsertOLEExecute)
        .Handler("SelectTwainSourceClick", &TfrmTreskel::SelectTwainSourceClick)
        .Handler("Acquire1Click", &TfrmTreskel::Acquire1Click);
#define TRESKEL_FIELD(name) pc.Field(#name, &TfrmTreskel::name)
    TRESKEL_FIELD(TreskelActions);
    TRESKEL_FIELD(NewItem);
    TRESKEL_FIELD(NewSubItem);
    TRESKEL_FIELD(NewRootItem);
    TRESKEL_FIELD(RemoveItem);
    TRESKEL_FIELD(LockItem);
    TRESKEL_FIELD(ExpandItem);
    TRESKEL_FIELD(SearchItems);
    TRESKEL_FIELD(SortAZ);
    TRESKEL_FIELD(SortZA);
    TRESKEL_FIELD(CreateLink);
    TRESKEL_FIELD(LinkOrigin1);
    TRESKEL_FIELD(SearchSubItems);
    TRESKEL_FIELD(CloneNote);
    TRESKEL_FIELD(PromoteItem);
    TRESKEL_FIELD(DisplayItemInfo);
    TRESKEL_FIELD(NewTreskel);
    TRESKEL_FIELD(RenameTreskel);
    TRESKEL_FIELD(ProgramOptions);
    TRESKEL_FIELD(TextActions);
    TRESKEL_FIELD(Bold);
    TRESKEL_FIELD(Italic);
    TRESKEL_FIELD(Underline);
    TRESKEL_FIELD(BulletedList);
    TRESKEL_FIELD(Undo);
    TRESKEL_FIELD(LeftJustify);
    TRESKEL_FIELD(CenterJustify);
    TRESKEL_FIELD(RightJustify);
    TRESKEL_FIELD(Cut);
    TRESKEL_FIELD(CCopy);
    TRESKEL_FIELD(Paste);
    TRESKEL_FIELD(SearchText);
    TRESKEL_FIELD(TextColor);
    TRESKEL_FIELD(Highlite);
    TRESKEL_FIELD(ScanImage);
    TRESKEL_FIELD(InsertPicture);
    TRESKEL_FIELD(InsertOLE);
    TRESKEL_FIELD(ToolBar1);
    TRESKEL_FIELD(LockButton);
    TRESKEL_FIELD(ExpColButton);
    TRESKEL_FIELD(PaneSplitCtrl);
    TRESKEL_FIELD(QclSplitterPane1);
    TRESKEL_FIELD(QclSplitterPane2);
    TRESKEL_FIELD(TabControl1);
    TRESKEL_FIELD(TreeView);
    TRESKEL_FIELD(ToolBar3);
    TRESKEL_FIELD(ColorCombo);
    TRESKEL_FIELD(FontSizeCombo);
    TRESKEL_FIELD(ToolButton14);
    TRESKEL_FIELD(ToolButton19);
    TRESKEL_FIELD(ToolButton20);
    TRESKEL_FIELD(ToolButton22);
    TRESKEL_FIELD(Panel1);
    TRESKEL_FIELD(Image1);
    TRESKEL_FIELD(Label1);
    TRESKEL_FIELD(Panel4);
    TRESKEL_FIELD(Panel5);
    TRESKEL_FIELD(SpeedUp);
    TRESKEL_FIELD(SpeedDown);
    TRESKEL_FIELD(Panel2);
    TRESKEL_FIELD(ToolBar2);
    TRESKEL_FIELD(QclFontComboBox1);
    TRESKEL_FIELD(QclFontSizeComboBox1);
    TRESKEL_FIELD(BoldButton);
    TRESKEL_FIELD(ItalicButton);
    TRESKEL_FIELD(UnderlineButton);
    TRESKEL_FIELD(ColorButton);
    TRESKEL_FIELD(HiColor);
    TRESKEL_FIELD(BulletButton);
    TRESKEL_FIELD(UndoButton);
    TRESKEL_FIELD(LeftButton);
    TRESKEL_FIELD(CenterButton);
    TRESKEL_FIELD(RightButton);
    TRESKEL_FIELD(CutButton);
    TRESKEL_FIELD(CopyButton);
    TRESKEL_FIELD(PasteButton);
    TRESKEL_FIELD(StatusBar);
    TRESKEL_FIELD(REdit);
    TRESKEL_FIELD(ColorPanel);
    TRESKEL_FIELD(gradientPanel1);
    TRESKEL_FIELD(MoreColorButton);
    TRESKEL_FIELD(QclOfficeButton1);
    TRESKEL_FIELD(QclOfficeButton2);
    TRESKEL_FIELD(QclOfficeButton3);
    TRESKEL_FIELD(ScanPopup);
    TRESKEL_FIELD(SelectTwainSource);
    TRESKEL_FIELD(Acquire1);
    TRESKEL_FIELD(InsertOLE1);
    TRESKEL_FIELD(PopupMenu1);
    TRESKEL_FIELD(PopupMenu2);
    TRESKEL_FIELD(PrintButton);
    TRESKEL_FIELD(PrinterPopup);
    TRESKEL_FIELD(PageSetup1);
    TRESKEL_FIELD(Preview1);
    TRESKEL_FIELD(PrintItem);
    TRESKEL_FIELD(Preview);
    TRESKEL_FIELD(GotoLinkOrigin1);
    TRESKEL_FIELD(ImageList1);
    TRESKEL_FIELD(ImageList2);
    TRESKEL_FIELD(FontDialog);
    TRESKEL_FIELD(ColorDialog);
    TRESKEL_FIELD(FindDialog);
    TRESKEL_FIELD(OpenDialog1);
    TRESKEL_FIELD(PrintDialog);
    TRESKEL_FIELD(IniCtrl);
    TRESKEL_FIELD(QclOneInstance1);
    TRESKEL_FIELD(SysInfo);
    TRESKEL_FIELD(lh5);
    TRESKEL_FIELD(CaptionControl1);
    TRESKEL_FIELD(TrayIcon);
    TRESKEL_FIELD(FormPlacement1);
#undef TRESKEL_FIELD
}

}  // namespace treskel
