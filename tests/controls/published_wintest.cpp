// Every class of the visual components and the window utilities against
// the list of what it publishes: each property and event loads from a
// layout and is written back; a new one writes none of its defaults;
// read-only properties are dropped; older names are read and never written;
// what a class does not publish is refused.
#include <gtest/gtest.h>

#include <any>
#include <functional>
#include <sstream>
#include <typeinfo>

#include "app/RegisterAll.h"
#include "controls/qclbtnMM.h"
#include "controls/qclbtnWin.h"
#include "controls/qclbtnWnd.h"
#include "controls/qclctrlAImage.h"
#include "controls/qclctrlAWin.h"
#include "controls/qcldlgS.h"
#include "controls/qclextcS.h"
#include "controls/qclformA.h"
#include "controls/qclgroupWin.h"
#include "controls/qclsplt.h"
#include "controls/qclstdcS.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "winutil/CapCtrl.h"
#include "winutil/Colorbtn.h"
#include "winutil/Placemnt.h"
#include "winutil/WuCtrls.h"
#include "winutil/WuHook.h"
#include "winutil/WuShell.h"

using namespace treskel;

namespace treskel {
// The window the rows' components are read into.
class TPublishedForm : public TForm {
    TRESKEL_CLASS(TPublishedForm)
public:
    explicit TPublishedForm(TComponent* owner) : TForm(owner) {}
};
}  // namespace treskel

namespace {

struct NoOp {
    template <class... A>
    void operator()(A&&...) const {}
};

ClassInfo& FormInfo() {
    static ClassInfo* info = [] {
        RegisterAllClasses();
        return &PublishClass<TPublishedForm, TForm>().Info();
    }();
    return *info;
}

// An event and the handler of the test window bound to it, of the event's
// own type.
struct EventSample {
    std::string name, handler;
};

template <class F, class B>
EventSample Ev(const char* name, F B::*) {
    std::string handler = "Handle" + std::string(name) + std::to_string(std::hash<std::string>{}(typeid(F).name()) % 9973);
    FormInfo().handlers[typinfo::LowerName(handler)] = [](TObject*) -> std::any { return F(NoOp{}); };
    return {name, handler};
}

using Events = std::vector<EventSample>;
Events operator+(Events a, const Events& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Events ClickEvents() { return {Ev("OnClick", &TControl::OnClick), Ev("OnDblClick", &TControl::OnDblClick)}; }
Events MouseEvents() {
    return {Ev("OnMouseDown", &TControl::OnMouseDown), Ev("OnMouseMove", &TControl::OnMouseMove),
            Ev("OnMouseUp", &TControl::OnMouseUp)};
}
Events DragEvents() {
    return {Ev("OnDragDrop", &TControl::OnDragDrop), Ev("OnDragOver", &TControl::OnDragOver),
            Ev("OnEndDrag", &TControl::OnEndDrag), Ev("OnStartDrag", &TControl::OnStartDrag)};
}
Events DockClientEvents() { return {Ev("OnStartDock", &TControl::OnStartDock), Ev("OnEndDock", &TControl::OnEndDock)}; }
Events DockSiteEvents() {
    return {Ev("OnDockDrop", &TWinControl::OnDockDrop), Ev("OnDockOver", &TWinControl::OnDockOver),
            Ev("OnGetSiteInfo", &TWinControl::OnGetSiteInfo), Ev("OnUnDock", &TWinControl::OnUnDock)};
}
Events KeyEvents() {
    return {Ev("OnKeyDown", &TWinControl::OnKeyDown), Ev("OnKeyPress", &TWinControl::OnKeyPress),
            Ev("OnKeyUp", &TWinControl::OnKeyUp)};
}
Events FocusEvents() { return {Ev("OnEnter", &TWinControl::OnEnter), Ev("OnExit", &TWinControl::OnExit)}; }
Events ResizeEvents() {
    return {Ev("OnCanResize", &TControl::OnCanResize), Ev("OnConstrainedResize", &TControl::OnConstrainedResize),
            Ev("OnResize", &TControl::OnResize)};
}

struct Row {
    const char* cls;
    // Properties as a layout gives them, each written back line for line.
    std::vector<std::string> samples;
    Events events;
    // Read and dropped, never written: read-only properties and About.
    std::vector<std::string> dropped;
    // An older name as a layout gives it, and the line written for it ("" none).
    std::vector<std::pair<std::string, std::string>> older;
    // Names the class does not publish: a layout giving one is refused.
    std::vector<std::string> refused;
    // Properties a new one writes, as its class says.
    std::vector<std::string> alwaysWritten;
};

using Lines = std::vector<std::string>;
Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Lines kBiDi = {"BiDiMode = bdRightToLeft", "ParentBiDiMode = False"};
const Lines kDockClient = {"DragKind = dkDock", "Constraints.MinHeight = 5"};
const Lines kDrag = {"DragCursor = crHandPoint", "DragMode = dmAutomatic"};
const Lines kShown = {"Align = alTop", "Anchors = [akLeft, akTop, akRight]", "Enabled = False", "Font.Style = [fsBold]",
                      "ParentFont = False", "ParentShowHint = False", "PopupMenu = Menu1", "ShowHint = True",
                      "Visible = False"};
const Lines kImageLink = {"ImageList = Images1", "ImageIndex = 1", "ListIndex = 2"};

// The components the rows' properties name, beside the one a row is about.
const char* kSiblings = R"(  object Menu1: TPopupMenu
  end
  object Actions1: TActionList
    object Action1: TAction
    end
  end
  object Images1: TQclImageList
  end
  object Ini1: TQclIniCtrl
    RegPath = 'Software\Treskel tests\Published lists'
  end
  object Edit1: TEdit
  end
  object FontBox1: TQclFontComboBox
  end
  object Picture1: TQclNImage
  end
)";

std::string Indent(const std::string& lines, const std::string& by) {
    std::istringstream in(lines);
    std::string line, out;
    while (std::getline(in, line)) out += by + line + "\n";
    return out;
}

std::string Layout(const std::string& cls, const std::string& body) {
    return "object Form: TPublishedForm\n" + std::string(kSiblings) + "  object Subject: " + cls + "\n" +
           Indent(body, "    ") + "  end\nend\n";
}

// The property lines written for the subject, without their indent.
Lines SubjectLines(const std::string& written) {
    Lines out;
    std::istringstream in(written);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (line.rfind("  object Subject: ", 0) == 0) {
            inside = true;
            continue;
        }
        if (inside && line == "  end") break;
        if (inside) out.push_back(line.substr(line.find_first_not_of(' ')));
    }
    return out;
}

bool Holds(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool HoldsName(const Lines& lines, const std::string& name) {
    for (const auto& l : lines)
        if (l.rfind(name + " = ", 0) == 0 || l.rfind(name + ".", 0) == 0) return true;
    return false;
}

std::string NameOf(const std::string& sample) {
    return sample.substr(0, std::min(sample.find(" ="), sample.find('.')));
}

// Reads a layout whose subject gives `body`; its written lines, or the
// reader's complaint.
struct Reading {
    Lines lines;
    std::string error;
    OwnedPtr<TPublishedForm> form;
};

Reading Read(const std::string& cls, const std::string& body) {
    FormInfo();
    Reading r;
    r.form = MakeForm<TPublishedForm>();
    try {
        ReadLayout(r.form.get(), Layout(cls, body), "published");
        r.lines = SubjectLines(WriteLayout(r.form.get()));
    } catch (const std::exception& e) {
        r.error = e.what();
    }
    return r;
}

// The binary lines a picture property is written as (`key`: "Glyph.Data"),
// made by giving one.
std::string PictureSample(const char* cls, const char* key, const std::function<void(TComponent*)>& give) {
    Reading r = Read(cls, "");
    TComponent* subject = r.form->FindComponent("Subject");
    if (subject == nullptr) return cls + std::string(": ") + r.error;
    give(subject);
    std::string written = WriteLayout(r.form.get());
    size_t at = written.find(std::string(key) + " = {");
    if (at == std::string::npos) return {};
    return written.substr(at, written.find('}', at) + 1 - at);
}

void GiveBitmap(TBitmap* b) {
    b->SetSize(16, 16);
    b->Canvas()->Brush()->SetColor(clRed);
    b->Canvas()->FillRect(Rect(0, 0, 16, 16));
}

std::vector<Row> Rows() {
    FormInfo();
    const std::string officeGlyph = PictureSample("TQclOfficeButton", "Glyph.Data", [](TComponent* c) {
        TBitmap b;
        GiveBitmap(&b);
        static_cast<TQclOfficeButton*>(c)->SetGlyph(&b);
    });
    const std::string buttonGlyph = PictureSample("TQclCustomButton", "Glyph.Data", [](TComponent* c) {
        TBitmap b;
        GiveBitmap(&b);
        static_cast<TQclCustomButton*>(c)->SetGlyph(&b);
    });
    const std::string speedGlyph = PictureSample("TWuSpeedButton", "Glyph.Data", [](TComponent* c) {
        GiveBitmap(static_cast<TWuSpeedButton*>(c)->Glyph());
    });
    const std::string imageBitmap = PictureSample("TQclNImage", "Bitmap.Data", [](TComponent* c) {
        GiveBitmap(static_cast<TQclNImage*>(c)->Bitmap());
    });
    auto giveIcon = [](TIcon* icon) { icon->SetHandle(CopyIcon(LoadIcon(nullptr, IDI_APPLICATION))); };
    const std::string trayIcon = PictureSample("TWuTrayIcon", "Icon.Data", [&](TComponent* c) {
        giveIcon(static_cast<TWuTrayIcon*>(c)->Icon());
    });
    const std::string trayIcons = PictureSample("TWuTrayIcon", "Icons.Icons", [&](TComponent* c) {
        TIcon icon;
        giveIcon(&icon);
        static_cast<TWuTrayIcon*>(c)->Icons()->Add(&icon);
        static_cast<TWuTrayIcon*>(c)->Icons()->Add(&icon);
    });
    const Lines windowlessButton = kBiDi + kDockClient + kShown +
        Lines{"Action = Action1", "AllowAllUp = True", "ButtonLayout.Alignment = agTopLeft", "Caption = 'Go'",
              "Color = clRed", "EnterColor = clRed", "EnterColorChange = True", "FontFx.Angle = 90",
              "GroupIndex = 2", "GroupIndex = 2\nPressed = True", "HideHint = False", "MultiLine = True",
              "NumGlyphs = 2", "RepeatedClick = True", "RepeatingInterval = 50"} +
        kImageLink;
    const Lines dropDown = {"DropDownIndent = 3", "DropDownMenu = Menu1", "DropDownRight = True"};
    const Events windowlessButtonEvents = ClickEvents() + MouseEvents() + DockClientEvents() +
        Events{Ev("OnMouseEnter", &TQclBaseControl::OnMouseEnter), Ev("OnMouseExit", &TQclBaseControl::OnMouseExit)};
    const Lines labels = kBiDi + kDockClient + kDrag + kShown +
        Lines{"Alignment = agCenter", "Caption = 'Name'", "Color = clRed", "FocusControl = Edit1",
              "Font3D.Style = tdRaised", "MultiLine = True", "ParentColor = False", "ShowAccelChar = False",
              "Transparent = False"};
    const Events labelEvents = ClickEvents() + MouseEvents() + DragEvents() + DockClientEvents() +
        Events{Ev("OnMouseEnter", &TQclBaseControl::OnMouseEnter), Ev("OnMouseExit", &TQclBaseControl::OnMouseExit)};
    const Lines windowedButton = kBiDi + kDockClient + kDrag + kShown + kImageLink +
        Lines{"Action = Action1", "ButtonLayout.Alignment = agTopLeft", "Cancel = True", "Caption = 'Go'",
              "Color = clRed", "Default = True", "FontFx.Angle = 90", "HideHint = False", "ModalResult = mrOk",
              "MultiLine = True", "NumGlyphs = 2", "ParentColor = False", "RepeatedClick = True",
              "RepeatingInterval = 50", "Style = nbsWin31", "TabOrder = 0", "TabStop = False"};
    const Events windowedButtonEvents = ClickEvents() + MouseEvents() + DragEvents() + DockClientEvents() +
        KeyEvents() + FocusEvents() +
        Events{Ev("OnContextPopup", &TControl::OnContextPopup), Ev("OnMouseEnter", &TQclCustomButton::OnMouseEnter),
               Ev("OnMouseExit", &TQclCustomButton::OnMouseExit)};
    const Lines combo = kBiDi + kDockClient + kDrag + kShown +
        Lines{"Color = clRed", "Ctl3D = False", "DropDownCount = 12", "Flat = True", "FocusControl = Edit1",
              "ParentColor = True", "ParentCtl3D = False", "TabOrder = 0", "TabStop = False"};
    const Events comboEvents = ClickEvents() + DragEvents() + DockClientEvents() + KeyEvents() + FocusEvents() +
        Events{Ev("OnSelect", &TQclCustomComboBox::OnSelect), Ev("OnChange", &TCustomComboBox::OnChange),
               Ev("OnDropDown", &TCustomComboBox::OnDropDown)};
    const Lines scrollBox = kBiDi + kDockClient + kDrag + kShown +
        Lines{"AutoSize = True", "Bevel.Mode = bmCustom", "Color = clRed", "Ctl3D = False", "DockSite = True",
              "InstantUpdate = False", "MouseWheelSupport = True", "ParentColor = True", "ParentCtl3D = False",
              "TabOrder = 0", "TabStop = True", "Transparent = True"};
    const Events scrollBoxEvents = ClickEvents() + MouseEvents() + DragEvents() + DockClientEvents() +
        DockSiteEvents() + FocusEvents() + ResizeEvents() + Events{Ev("OnPaint", &TQclCustomScrollBox::OnPaint)};

    return {
        {"TQclSimplePanel",
         kBiDi + kDockClient + kDrag + kShown +
             Lines{"AutoSize = True", "Bevel.Mode = bmWindows", "Color = clRed", "Ctl3D = False", "DockSite = True",
                   "Locked = True", "ParentColor = True", "ParentCtl3D = False", "TabOrder = 0", "TabStop = True",
                   "Transparent = True", "UseDockManager = False"},
         ClickEvents() + MouseEvents() + DragEvents() + DockClientEvents() + DockSiteEvents() + FocusEvents() +
             ResizeEvents(),
         {"About = 'x'"}},
        {"TQclGroupBox",
         kImageLink + Lines{"Alignment = gcaLeftTop", "Bevel.Mode = bmWindows", "Caption = 'Group'",
                            "CaptionFont.Style = [fsBold]", "CaptionFont3D.Style = tdRaised", "CaptionOffset = 4",
                            "CaptionParentFont = False", "ShowAccelChar = False", "Transparent = True"}},
        {"TQclScrollBox", scrollBox, scrollBoxEvents, {"About = 'x'", "BorderStyle = bsSingle"}},
        {"TQclSplitterPane", Lines{"ParentColor = False", "Bevel.Mode = bmCustom", "Transparent = True"}, {},
         {"Align = alTop", "Left = 5", "Top = 6", "Width = 50", "Height = 60", "BorderStyle = bsSingle"}},
        {"TQclSimpleLabel",
         labels + Lines{"ActiveColor = clRed", "AutoSize = False", "InActiveColor = clGreen", "Jump = 'x'",
                        "JumpMode = jmApplication", "JumpUnderline = False", "Options = [loEndEllipsis]"},
         labelEvents,
         {"About = 'x'"},
         {{"UseAsJump = True", "JumpMode = jmInternet"}}},
        {"TQclDockLabel",
         labels + Lines{"AutoSize = True", "AdjustDockedSize = True", "Docked = False", "Margin = 3",
                        "Position = dpTop", "ReflectOwnChanges = True"},
         labelEvents,
         {"About = 'x'"},
         {{"UseAsJump = True", ""}, {"AdjustSize = True", "AdjustDockedSize = True"}},
         {"Jump", "ActiveColor", "InActiveColor", "JumpUnderline", "JumpMode", "Options"}},
        {"TQclOfficeButton", windowlessButton + dropDown + Lines{"Style = ubsWin40", officeGlyph},
         windowlessButtonEvents + Events{Ev("OnDropDown", &TQclBaseGraphicButton::OnDropDown)},
         {"About = 'x'"},
         {},
         {},
         {"Style"}},
        {"TQclExplorerButton", windowlessButton + Lines{"Style = ubsWin40", "UnColorMain = False"},
         windowlessButtonEvents,
         {"About = 'x'"},
         {{"Transparent = False", ""}},
         {"DropDownIndent", "DropDownMenu", "DropDownRight", "OnDropDown"},
         {"Style"}},
        {"TQclMMButton",
         windowlessButton + dropDown +
             Lines{"AllowMouseOver = True", "AllowTransparency = False", "ButtonFaceImageList = Images1",
                   "ButtonFaceStyle = sbTile", "CaptionDown = 2", "ForceTransparent = False", "QuickDraw = True",
                   "Transparent = True"},
         windowlessButtonEvents + Events{Ev("OnDropDown", &TQclBaseGraphicButton::OnDropDown)},
         {"About = 'x'"},
         {{"ButtonFaceTransCol = {\n00FF0000}", "ButtonFaceTransColNew = {\n  00FF0000}"}},
         {},
         {"ButtonFaceIndicesNew", "ButtonFaceTransColNew"}},
        {"TQclCustomButton", windowedButton + Lines{buttonGlyph}, windowedButtonEvents, {"About = 'x'"}},
        {"TQclDockButton",
         windowedButton + Lines{"AdjustDockedSize = False", "Control = Edit1", "Docked = False", "GlyphKind = gkFolder",
                                "Margin = 3", "Position = dpLeft", "ReflectOwnChanges = False"},
         windowedButtonEvents,
         {"About = 'x'"},
         {{"AdjustSize = False", "AdjustDockedSize = False"}},
         {},
         {"Glyph"}},
        {"TQclSplitterPanel",
         kBiDi + kDockClient + kDrag + kShown +
             Lines{"AutoSize = True", "Bevel.Mode = bmWindows", "Bars = <\n  item\n    PosPercent = 30\n  end>",
                   "Color = clRed", "Ctl3D = False", "Cursor = crHandPoint", "DockSite = True", "InstantUpdate = True",
                   "IniLink = Ini1", "IniUse = ioUseLink", "IniSaveOptions = [ssPosition]", "IniKey = 'Key'",
                   "Orientation = spHorzDown", "ParentColor = True", "ParentCtl3D = False", "Section = 'Other'",
                   "TabOrder = 0", "TabStop = True", "Transparent = True"},
         ClickEvents() + MouseEvents() + DragEvents() + DockClientEvents() + DockSiteEvents() + KeyEvents() +
             FocusEvents() +
             Events{Ev("OnResize", &TControl::OnResize), Ev("OnSplitChange", &TQclSplitterPanel::OnSplitChange),
                    Ev("OnIniReadData", &TQclSplitterPanel::OnIniReadData),
                    Ev("OnIniWriteData", &TQclSplitterPanel::OnIniWriteData)},
         {"About = 'x'"},
         {},
         {},
         // The bar between the two panes it starts with.
         {"Bars"}},
        {"TQclForm",
         {"AcceptFiles = True", "CharCase = ccUpperCase", "Effect = deExplode", "IniUse = ioUseGlobal",
          "IniSaveOptions = [soPos]", "Section = 'Other'", "IniKey = 'Key'", "DesignPPI = 120",
          "Options = [foAutoCenter]", "Enabled = False", "MaximizedHeight = 100", "MaximizedWidth = 110",
          "MaximizedPosX = 5", "MaximizedPosY = 6", "TrackMaxHeight = 500", "TrackMaxWidth = 510",
          "TrackMinHeight = 50", "TrackMinWidth = 60"},
         {Ev("OnAPMCriticalResume", &TQclForm::OnAPMCriticalResume), Ev("OnAPMResume", &TQclForm::OnAPMResume),
          Ev("OnAPMSuspendRequest", &TQclForm::OnAPMSuspendRequest), Ev("OnCompacting", &TQclForm::OnCompacting),
          Ev("OnNoRestoreData", &TQclForm::OnNoRestoreData), Ev("OnDevModeChange", &TQclForm::OnDevModeChange),
          Ev("OnDisplayChange", &TQclForm::OnDisplayChange), Ev("OnIniChange", &TQclForm::OnIniChange),
          Ev("OnFMDragDrop", &TQclForm::OnFMDragDrop), Ev("OnFontChange", &TQclForm::OnFontChange),
          Ev("OnMaximizeInfo", &TQclForm::OnMaximizeInfo), Ev("OnMove", &TQclForm::OnMove),
          Ev("OnMoving", &TQclForm::OnMoving), Ev("OnPaintIcon", &TQclForm::OnPaintIcon),
          Ev("OnSize", &TQclForm::OnSize), Ev("OnSpoolerStatus", &TQclForm::OnSpoolerStatus),
          Ev("OnSysColorChange", &TQclForm::OnSysColorChange), Ev("OnTrackInfo", &TQclForm::OnTrackInfo),
          Ev("OnTimeChange", &TQclForm::OnTimeChange)},
         {"About = 'x'"},
         {},
         {},
         // Linked to the form's one settings store from its making, and
         // named after the form.
         {"IniLink", "IniKey"}},
        {"TQclColorComboBox",
         combo + Lines{"CustomColors.Strings = (\n  'ColorA=FF00FF')", "DlgOptions = [cdFullOpen]",
                       "DlgHelpContext = 5", "DisplayStyle = csColor", "Options = [coDefaultColors]",
                       "Sorted = True"},
         comboEvents + Events{Ev("OnBeforeDialogShow", &TQclCustomColorComboBox::OnBeforeDialogShow),
                              Ev("OnAfterDialogShow", &TQclCustomColorComboBox::OnAfterDialogShow)},
         {"About = 'x'"}},
        {"TQclFontComboBox", combo + Lines{"FastMode = True", "Options = [foScreenFonts]"}, comboEvents,
         {"About = 'x'"}},
        {"TQclFontSizeComboBox",
         combo + Lines{"DefaultSize = 12", "EditorEnabled = False", "FontCombo = FontBox1", "FontName = 'Arial'",
                       "UseNearestSize = True"},
         comboEvents + Events{Ev("OnEditClick", &TQclCustomComboBox::OnEditClick)}},
        {"TQclNImage",
         kDockClient + kDrag +
             Lines{"Align = alTop", "Anchors = [akLeft, akTop, akRight]", "Bevel.Mode = bmStandard", "Color = clRed",
                   "Control = Picture1", "ParentColor = False", "ParentShowHint = False", "PopupMenu = Menu1",
                   "QuickDraw = False", "ShowHint = True", "Style = sbCenter", "TransparentStyle.Mode = tpTransparentColor",
                   "Transparent = False", "Visible = False", imageBitmap},
         ClickEvents() + MouseEvents() + DragEvents() + DockClientEvents(),
         {"About = 'x'"}},
        {"TQclDrawEdge",
         {"Align = alTop", "Anchors = [akLeft, akTop, akRight]", "Constraints.MinHeight = 5",
          "DiagonalStyle = dsEndTopLeft", "EdgeStyle = etBump", "Enabled = False", "Filled = True",
          "FrameSides = [fsTop]", "ParentShowHint = False", "ShowHint = True", "Soft = True",
          "StandardStyle = lsRaised", "Style = esDiagonal", "Visible = False"},
         {},
         {"About = 'x'"}},
        {"TQclDirDlg",
         kImageLink + Lines{"AllowNewDir = True", "CaptionFill = True", "CaptionTitle = 'Pick'", "Colors = 16",
                            "CustomButton = 'More'", "Effect = deExplode", "Hints.Strings = (\n  'a hint')",
                            "Position = bpTopLeft", "RelatePos = brMainForm", "ShowHints = False",
                            "ShowLabelDir = True"},
         {Ev("OnCustomize", &TQclBaseDialog::OnCustomize), Ev("OnCustomClick", &TQclBaseDialog::OnCustomClick),
          Ev("OnFolderError", &TQclDirDlg::OnFolderError)},
         {"About = 'x'"}},
        {"TQclFormStyler",
         {"Alignment = taCenter", "Colors = 16", "Enabled = False", "Font.Style = [fsBold]",
          "Font3D.Style = tdRaised", "PaintMode = pcNone", "Options = [fsAdjustRect]"},
         {Ev("OnPaint", &TQclFormStyler::OnPaint), Ev("OnCaptionPaint", &TQclFormStyler::OnCaptionPaint)},
         {"About = 'x'"}},
        {"TQclBack",
         kImageLink + Lines{"DefaultFill = False", "Enabled = False", "PaintMode = pcNone"},
         {Ev("OnPaint", &TQclCustomFormFill::OnPaint)},
         {"About = 'x'"}},
        {"TQclRadioGroup",
         kBiDi + kDockClient + kDrag + kShown + kImageLink +
             Lines{"Alignment = gcaLeftTop", "AutoSize = True", "Bevel.Mode = bmWindows", "Caption = 'Group'",
                   "CaptionFont.Style = [fsBold]", "CaptionFont3D.Style = tdRaised", "CaptionOffset = 4",
                   "CaptionParentFont = False", "Color = clRed", "Columns = 2", "FocusColor = clRed",
                   "FocusStyle = fcGlyph", "Font3D.Style = tdRaised", "GlyphFlat = True",
                   "GlyphImageList = Images1", "GlyphImageIndex = 1", "GlyphListIndex = 2", "GlyphSize = 16",
                   "GlyphTransparent = False", "GlyphTransparentColor = clRed", "HelpContextBtn = ciAutoNumbered",
                   "ItemHeight = 20", "ItemOffset = 6", "Items.Strings = (\n  'one'\n  'two')",
                   "Items.Strings = (\n  'one'\n  'two')\nItemIndex = 1", "ParentColor = True", "ReadOnly = True",
                   "ShowAccelChar = False", "TabOrder = 0", "TabStop = True", "Transparent = True",
                   "UseBitmap = True", "UseFocusColor = True"},
         ClickEvents() + MouseEvents() + DragEvents() + DockClientEvents() + KeyEvents() + FocusEvents() +
             Events{Ev("OnResize", &TControl::OnResize), Ev("OnChange", &TQclCustomButtonGroup::OnChange)},
         {"About = 'x'"}},
        {"TQclRadioButton",
         kBiDi + kDockClient + kDrag + kShown + kImageLink +
             Lines{"Action = Action1", "Alignment.Spacing = 6", "AutoSize = True", "Caption = 'Choose'",
                   "Checked = True", "Color = clRed", "Ctl3D = False", "Cursor = crHandPoint", "FocusColor = clRed",
                   "FocusStyle = fcGlyph", "Font3D.Style = tdRaised", "GlyphFlat = True", "GlyphSize = 16",
                   "GlyphTransparent = False", "GlyphTransparentColor = clRed", "Height = 30", "HelpContext = 5",
                   "Hint = 'a hint'", "Left = 3", "ParentColor = True", "ParentCtl3D = False", "ReadOnly = True",
                   "TabOrder = 0", "TabStop = True", "Tag = 4", "Top = 7", "Transparent = True", "UseBitmap = True",
                   "UseFocusColor = True", "Width = 50"},
         Events{Ev("OnClick", &TControl::OnClick)} + MouseEvents() + DragEvents() + DockClientEvents() +
             KeyEvents() + FocusEvents(),
         {"About = 'x'"},
         {},
         {},
         {"Width", "Height"}},
        {"TColorButton",
         {"Color = clRed", "Cursor = crHandPoint", "DragCursor = crHandPoint", "DragMode = dmAutomatic",
          "Enabled = False", "FlatButtonStyle = True", "Margin = 3", "Options = [cdFullOpen]",
          "ParentShowHint = False", "ShowColorDlg = True", "ShowHint = True", "StickyButton = True", "TabOrder = 0",
          "Visible = False"},
         Events{Ev("OnClick", &TControl::OnClick), Ev("OnColorChange", &TColorButton::OnColorChange)} +
             MouseEvents() + Events{Ev("OnDragDrop", &TControl::OnDragDrop), Ev("OnDragOver", &TControl::OnDragOver),
                                    Ev("OnEndDrag", &TControl::OnEndDrag)} +
             KeyEvents() + FocusEvents()},
        {"TgradientPanel",
         {"Align = alTop", "BeginColor = clRed", "Caption = 'Colours'", "EndColor = clBlue",
          "Font.Style = [fsBold]"}},
        {"TCaptionControl",
         {"ButtonsDirection = dirLeft", "Buttons = <\n  item\n    Caption = 'Info'\n    Kind = cbkInfo\n  end>",
          "CaptionColors.ActiveStart = clRed", "CaptionGradient = cgActive", "ColorBands = 32", "Enabled = False",
          "PopupMenu = Menu1", "ShowButtons = False"},
         {Ev("OnDrawCaption", &TCustomCaptionControl::OnDrawCaption),
          Ev("OnButtonDraw", &TCustomCaptionControl::OnButtonDraw),
          Ev("OnButtonClick", &TCustomCaptionControl::OnButtonClick)}},
        {"TWuTrayIcon",
         {"Active = False", "Enabled = False", "Hint = 'Tray'", "Interval = 300", "PopupMenu = Menu1", trayIcon,
          trayIcons, trayIcons + "\nAnimated = True\nActive = False"},
         {Ev("OnClick", &TWuTrayIcon::OnClick), Ev("OnDblClick", &TWuTrayIcon::OnDblClick),
          Ev("OnMouseMove", &TWuTrayIcon::OnMouseMove), Ev("OnMouseDown", &TWuTrayIcon::OnMouseDown),
          Ev("OnMouseUp", &TWuTrayIcon::OnMouseUp)},
         {"ShowDesign = True"}},
        {"TFormPlacement",
         {"Active = False", "IniFileName = 'places.ini'", "IniSection = 'Places'",
          "MinMaxInfo.MaxTrackWidth = 500", "Options = [fpState]", "PreventResize = True", "UseRegistry = True"},
         {Ev("OnSavePlacement", &TFormPlacement::OnSavePlacement),
          Ev("OnRestorePlacement", &TFormPlacement::OnRestorePlacement)}},
        {"TWuSpeedButton",
         kBiDi + kDockClient + kDrag +
             Lines{"Action = Action1", "Align = alTop", "Alignment = taLeftJustify", "AllowAllUp = True",
                   "AllowTimer = True", "Anchors = [akLeft, akTop, akRight]", "Caption = 'Up'", "Enabled = False",
                   "Flat = True", "Font.Style = [fsBold]", "GrayedInactive = False", "GroupIndex = 2",
                   "GroupIndex = 2\nDown = True", "DropDownMenu = Menu1", "InitPause = 300", "Layout = blGlyphLeft",
                   "Margin = 2", "MarkDropDown = False", "MenuPosition = dmpRight", "ModalResult = mrOk",
                   "NumGlyphs = 2", "ParentFont = False", "ParentShowHint = True", "RepeatInterval = 50",
                   "ShowHint = False", "Spacing = 3", "Style = bsWin31", "Transparent = True", "Visible = False",
                   "WordWrap = True", speedGlyph},
         ClickEvents() + MouseEvents() + DragEvents() + DockClientEvents() +
             Events{Ev("OnMouseEnter", &TWuSpeedButton::OnMouseEnter),
                    Ev("OnMouseLeave", &TWuSpeedButton::OnMouseLeave)}},
        {"TWuWindowHook",
         {"Active = False", "WinControl = Edit1", "IsForm = True"},
         {Ev("BeforeMessage", &TWuWindowHook::BeforeMessage), Ev("AfterMessage", &TWuWindowHook::AfterMessage)}},
    };
}

Lines SplitLines(const std::string& s) {
    Lines out;
    std::istringstream in(s);
    std::string line;
    while (std::getline(in, line)) out.push_back(line.substr(line.find_first_not_of(' ')));
    return out;
}

}  // namespace

TEST(PublishedLists, EveryClassLoadsAndWritesBackWhatItPublishes) {
    for (const Row& row : Rows()) {
        SCOPED_TRACE(row.cls);
        // A new one writes none of its defaults.
        Reading fresh = Read(row.cls, "");
        ASSERT_EQ(fresh.error, "");
        for (const std::string& sample : row.samples) {
            std::string name = NameOf(sample);
            bool allowed = std::find(row.alwaysWritten.begin(), row.alwaysWritten.end(), name) != row.alwaysWritten.end();
            if (sample.find('.') < sample.find(" =") || allowed || name == "TabOrder") continue;
            EXPECT_FALSE(HoldsName(fresh.lines, name)) << name << " written at its default";
        }
        // Each property loads and comes back as it was given.
        for (const std::string& sample : row.samples) {
            ASSERT_FALSE(sample.empty());
            Reading r = Read(row.cls, sample);
            EXPECT_EQ(r.error, "") << sample;
            for (const std::string& line : SplitLines(sample))
                EXPECT_TRUE(Holds(r.lines, line)) << sample << "\nwritten:\n" << ::testing::PrintToString(r.lines);
        }
        for (const EventSample& e : row.events) {
            std::string line = e.name + " = " + e.handler;
            Reading r = Read(row.cls, line);
            EXPECT_EQ(r.error, "") << line;
            EXPECT_TRUE(Holds(r.lines, line)) << line;
        }
        for (const std::string& sample : row.dropped) {
            Reading r = Read(row.cls, sample);
            EXPECT_EQ(r.error, "") << sample;
            EXPECT_FALSE(HoldsName(r.lines, NameOf(sample))) << sample;
        }
        for (const auto& [given, written] : row.older) {
            Reading r = Read(row.cls, given);
            EXPECT_EQ(r.error, "") << given;
            EXPECT_FALSE(HoldsName(r.lines, NameOf(given))) << given;
            for (const std::string& line : SplitLines(written)) EXPECT_TRUE(Holds(r.lines, line)) << given;
        }
        for (const std::string& name : row.refused) {
            Reading r = Read(row.cls, name + " = 1");
            EXPECT_NE(r.error.find("Property " + name + " does not exist"), std::string::npos) << name << ": " << r.error;
        }
    }
}

TEST(PublishedLists, ReadOnlyPropertiesKeepTheirValue) {
    Reading box = Read("TQclScrollBox", "BorderStyle = bsSingle");
    ASSERT_EQ(box.error, "");
    EXPECT_EQ(static_cast<TQclScrollBox*>(box.form->FindComponent("Subject"))->BorderStyle(), TBorderStyle::bsNone);
    Reading pane = Read("TQclSplitterPane", "Align = alClient");
    ASSERT_EQ(pane.error, "");
    EXPECT_EQ(static_cast<TControl*>(pane.form->FindComponent("Subject"))->Align(), TAlign::alNone);
    // The explorer button's older Transparent is read.
    Reading button = Read("TQclExplorerButton", "Transparent = False");
    ASSERT_EQ(button.error, "");
    EXPECT_FALSE(static_cast<TQclExplorerButton*>(button.form->FindComponent("Subject"))->Transparent());
}
