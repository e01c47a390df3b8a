// The published properties of the further standard controls, the
// standard dialogs and the picture, as layouts use them.
#include <memory>
#include <string>

#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/FormLoader.h"
#include "platform/Register.h"
#include "platform/StdCtrls.h"
#include "platform/Streams.h"

namespace treskel {

namespace {

// Picture data in a layout: the graphic's class name (a length byte and
// the name), then the graphic in its own file format.
void ReadPictureData(TPicture* picture, const FormValue& v, LayoutReader& r) {
    const std::vector<uint8_t>& bytes = typinfo::AsBinary(v, r);
    if (bytes.empty() || bytes[0] + 1u > bytes.size()) r.Error("Invalid picture data");
    std::string className(bytes.begin() + 1, bytes.begin() + 1 + bytes[0]);
    std::unique_ptr<TGraphic> g;
    if (className == TBitmap::StaticClassName) g = std::make_unique<TBitmap>();
    else if (className == TMetafile::StaticClassName) g = std::make_unique<TMetafile>();
    else if (className == TIcon::StaticClassName) g = std::make_unique<TIcon>();
    else r.Error("Unknown picture class " + className);
    std::vector<uint8_t> data(bytes.begin() + 1 + bytes[0], bytes.end());
    TMemoryStream stream(std::move(data));
    g->LoadFromStream(stream);
    picture->SetGraphic(g.get());
}

std::optional<FormValue> WritePictureData(TPicture* picture) {
    TGraphic* g = picture->Graphic();
    if (g == nullptr || g->Empty()) return std::nullopt;
    std::string className = g->ClassName();
    TMemoryStream stream;
    g->SaveToStream(stream);
    std::vector<uint8_t> bytes{static_cast<uint8_t>(className.size())};
    bytes.insert(bytes.end(), className.begin(), className.end());
    bytes.insert(bytes.end(), stream.Memory(), stream.Memory() + stream.Size());
    return typinfo::BinaryValue(std::move(bytes));
}

namespace {
// Panels, shapes, images, the paint box and the timer.
void RegisterExtControls() {
    PublishClass<TCustomPanel, TCustomControl>()
        .NotCreatable()
        .String("Caption", &TCustomPanel::Caption, &TCustomPanel::SetCaption)
        .Enum<TAlignment>("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment, TAlignment::taCenter)
        .Enum<TPanelBevel>("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner,
                           TPanelBevel::bvNone)
        .Enum<TPanelBevel>("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter,
                           TPanelBevel::bvRaised)
        .Int("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth, 1)
        .Int("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth)
        .Enum<TBorderStyle>("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle,
                            TBorderStyle::bsNone)
        .Int("Color", &TControl::Color, &TControl::SetColor, clBtnFace, &ColorIdents());
    PublishClass<TPanel, TCustomPanel>();

    PublishClass<TBevel, TGraphicControl>()
        .Enum<TBevelShape>("Shape", &TBevel::Shape, &TBevel::SetShape, TBevelShape::bsBox)
        .Enum<TBevelStyle>("Style", &TBevel::Style, &TBevel::SetStyle, TBevelStyle::bsLowered);
    PublishClass<TImage, TGraphicControl>()
        .Bool("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize)
        .Bool("Center", &TImage::Center, &TImage::SetCenter)
        .Object("Picture", &TImage::Picture)
        .Bool("Stretch", &TImage::Stretch, &TImage::SetStretch)
        .Bool("Transparent", &TImage::Transparent, &TImage::SetTransparent);
    {
        PublishClass<TPaintBox, TGraphicControl> pc;
        pc.Event("OnPaint", &TPaintBox::OnPaint);
        OwnColor(pc);
    }
    PublishClass<TShape, TGraphicControl>()
        .Object("Brush", &TShape::Brush)
        .Object("Pen", &TShape::Pen)
        .Enum<TShapeType>("Shape", &TShape::Shape, &TShape::SetShape, TShapeType::stRectangle);
    PublishClass<TTimer, TComponent>()
        .Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true)
        .Int("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000)
        .Event("OnTimer", &TTimer::OnTimer);
}
}  // namespace

void RegisterStdLibControls() {
    PublishClass<TPicture, TPersistent>().Custom("Data", ReadPictureData, WritePictureData);

    PublishClass<TMemoStrings, TStrings>();
    PublishClass<TCustomMemo, TCustomEdit>()
        .NotCreatable()
        .Object("Lines", &TCustomMemo::Lines)
        .Enum<TScrollStyle>("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars, TScrollStyle::ssNone)
        .Bool("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns, true)
        .Bool("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs)
        .Bool("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap, true);
    PublishClass<TMemo, TCustomMemo>();

    {
        PublishClass<TCustomCheckBox, TButtonControl> pc;
        pc.NotCreatable()
            .String("Caption", &TCustomCheckBox::Caption, &TCustomCheckBox::SetCaption)
            .Enum<TAlignment>("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment,
                              TAlignment::taRightJustify)
            .Bool("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed)
            .Custom(
                "State",
                [](TCustomCheckBox* c, const FormValue& v, LayoutReader& r) {
                    c->SetState(static_cast<TCheckBoxState>(typinfo::AsEnum(v, GetEnumInfo(TCheckBoxState{}), r)));
                },
                [](TCustomCheckBox* c) -> std::optional<FormValue> {
                    // Checked says the rest.
                    if (c->State() != TCheckBoxState::cbGrayed) return std::nullopt;
                    return FormValue::Ident("cbGrayed");
                })
            .Bool("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked);
        OwnColor(pc);
    }
    PublishClass<TCheckBox, TCustomCheckBox>();
    {
        PublishClass<TRadioButton, TButtonControl> pc;
        pc.String("Caption", &TRadioButton::Caption, &TRadioButton::SetCaption)
            .Enum<TAlignment>("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment,
                              TAlignment::taRightJustify)
            .Bool("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked);
        OwnColor(pc);
    }
    {
        PublishClass<TCustomGroupBox, TCustomControl> pc;
        pc.NotCreatable().String("Caption", &TCustomGroupBox::Caption, &TCustomGroupBox::SetCaption);
        OwnColor(pc);
    }
    PublishClass<TGroupBox, TCustomGroupBox>();
    RegisterExtControls();
}

void RegisterStdLibDialogs() {
    PublishClass<TCommonDialog, TComponent>().NotCreatable().Int("HelpContext", &TCommonDialog::HelpContext,
                                                                  &TCommonDialog::SetHelpContext);
    PublishClass<TOpenDialog, TCommonDialog>()
        .String("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt)
        .String("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName)
        .String("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter)
        .Int("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex, 1)
        .String("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir)
        .SetOf<TOpenOption>("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions,
                            {TOpenOption::ofHideReadOnly, TOpenOption::ofEnableSizing})
        .String("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
    PublishClass<TSaveDialog, TOpenDialog>();
    PublishClass<TFontDialog, TCommonDialog>()
        .Object("Font", &TFontDialog::Font)
        .Enum<TFontDialogDevice>("Device", &TFontDialog::Device, &TFontDialog::SetDevice,
                                 TFontDialogDevice::fdScreen)
        .Int("MinFontSize", &TFontDialog::MinFontSize, &TFontDialog::SetMinFontSize)
        .Int("MaxFontSize", &TFontDialog::MaxFontSize, &TFontDialog::SetMaxFontSize)
        .SetOf<TFontDialogOption>("Options", &TFontDialog::Options, &TFontDialog::SetOptions,
                                  {TFontDialogOption::fdEffects});
    PublishClass<TColorDialog, TCommonDialog>()
        .Int("Color", &TColorDialog::Color, &TColorDialog::SetColor, clBlack, &ColorIdents())
        .Object("CustomColors", &TColorDialog::CustomColors)
        .SetOf<TColorDialogOption>("Options", &TColorDialog::Options, &TColorDialog::SetOptions, {});
    PublishClass<TFindDialog, TCommonDialog>()
        .String("FindText", &TFindDialog::FindText, &TFindDialog::SetFindText)
        .SetOf<TFindOption>("Options", &TFindDialog::Options, &TFindDialog::SetOptions, {TFindOption::frDown})
        .Event("OnFind", &TFindDialog::OnFind)
        .Event("OnClose", &TFindDialog::OnClose);
    PublishClass<TReplaceDialog, TFindDialog>()
        .String("ReplaceText", &TReplaceDialog::ReplaceText, &TReplaceDialog::SetReplaceText)
        .Event("OnReplace", &TReplaceDialog::OnReplace);
    PublishClass<TPrintDialog, TCommonDialog>()
        .Bool("Collate", &TPrintDialog::Collate, &TPrintDialog::SetCollate)
        .Int("Copies", &TPrintDialog::Copies, &TPrintDialog::SetCopies, 1)
        .Int("FromPage", &TPrintDialog::FromPage, &TPrintDialog::SetFromPage)
        .Int("ToPage", &TPrintDialog::ToPage, &TPrintDialog::SetToPage)
        .Int("MinPage", &TPrintDialog::MinPage, &TPrintDialog::SetMinPage)
        .Int("MaxPage", &TPrintDialog::MaxPage, &TPrintDialog::SetMaxPage)
        .SetOf<TPrintDialogOption>("Options", &TPrintDialog::Options, &TPrintDialog::SetOptions, {})
        .Enum<TPrintRange>("PrintRange", &TPrintDialog::PrintRange, &TPrintDialog::SetPrintRange,
                           TPrintRange::prAllPages)
        .Bool("PrintToFile", &TPrintDialog::PrintToFile, &TPrintDialog::SetPrintToFile);
    PublishClass<TPrinterSetupDialog, TCommonDialog>();
}

}  // namespace

void RegisterStdLibClasses() {
    RegisterStdLibControls();
    RegisterStdLibDialogs();
}

}  // namespace treskel
