#include "preview/PageSetupDlg.h"

#include "platform/FormLoader.h"
#include "platform/Handles.h"
#include "winutil/UiUtils.h"

namespace treskel {

namespace {
// The radio button of `group` whose Tag is `tag` is checked.
void CheckRadioByTag(TWinControl* group, int tag) {
    for (int i = 0; i < group->ControlCount(); ++i)
        if (auto* r = dynamic_cast<TRadioButton*>(group->Controls(i)); r && r->Tag() == tag) r->SetChecked(true);
}
// The Tag of the checked radio button of `group`, -1 when none is.
int RadioTag(TWinControl* group) {
    for (int i = 0; i < group->ControlCount(); ++i)
        if (auto* r = dynamic_cast<TRadioButton*>(group->Controls(i)); r && r->Checked()) return r->Tag();
    return -1;
}
template <class E>
E TagAs(TWinControl* group, E current, int last) {
    int t = RadioTag(group);
    return t >= 0 && t <= last ? static_cast<E>(t) : current;
}
}  // namespace

void TPageSetupForm::ShowFont(TFontDialog* dialog, TButton* button) {
    // The size always shows; a name too long for the button ends in "...".
    std::string size = " " + std::to_string(dialog->Font()->Size()) + " pt";
    WindowDC screen(nullptr);
    TCanvas canvas;
    CanvasDCScope scope(&canvas, screen.Get());
    canvas.Font()->Assign(button->Font());
    int room = button->Width() - kFontButtonPadding - canvas.TextWidth(size);
    button->SetCaption(ShortenText(dialog->Font()->Name(), &canvas, room) + size);
}

void TPageSetupForm::UpdateShapes() {
    PortShape->SetVisible(PortBut->Checked());
    LandShape->SetVisible(!PortBut->Checked());
}

void TPageSetupForm::LoadFromOptions() {
    TTextOptions* o = options_;
    if (o == nullptr || printer_ == nullptr) return;  // nothing given to edit
    CheckRadioByTag(PageMarginGroup, static_cast<int>(printer_->Units()));
    CheckRadioByTag(PageOrientGroup, static_cast<int>(printer_->Orientation()));
    UpdateShapes();
    CheckRadioByTag(Panel1, static_cast<int>(o->PrintPageNumber));
    CheckRadioByTag(Panel2, static_cast<int>(o->PageNumAlign));
    CheckRadioByTag(HeaderGroup, static_cast<int>(o->HeaderAlign));
    CheckRadioByTag(FooterGroup, static_cast<int>(o->FooterAlign));
    LeftEdit->SetText(preview::FormatMargin(o->MarginLeft));
    RightEdit->SetText(preview::FormatMargin(o->MarginRight));
    TopEdit->SetText(preview::FormatMargin(o->MarginTop));
    BotEdit->SetText(preview::FormatMargin(o->MarginBottom));
    HdrMarginEdit->SetText(preview::FormatMargin(o->HeaderMargin));
    FtrMarginEdit->SetText(preview::FormatMargin(o->FooterMargin));
    PageNumEdit->SetText(o->PageNumText);
    HeaderEdit->SetText(o->Header);
    FooterEdit->SetText(o->Footer);
    HeaderFontDialog->Font()->Assign(o->HeaderFont());
    FooterFontDialog->Font()->Assign(o->FooterFont());
    PageNumFontDialog->Font()->Assign(o->PageNumFont());
    ShowFont(HeaderFontDialog, HdrFontBut);
    ShowFont(FooterFontDialog, FtrFontBut);
    ShowFont(PageNumFontDialog, PageNumFontBut);
}

bool TPageSetupForm::SaveToOptions(bool say) {
    if (options_ == nullptr || printer_ == nullptr) return false;
    // Every margin is checked before anything changes.
    TEdit* edits[] = {LeftEdit, TopEdit, RightEdit, BotEdit, HdrMarginEdit, FtrMarginEdit};
    double values[6];
    for (int i = 0; i < 6; ++i) {
        if (!preview::ParseMargin(edits[i]->GetText(), values[i])) {
            if (say) {
                MessageDlg("'" + edits[i]->GetText() + "' is not a valid margin.", TMsgDlgType::mtError,
                           {TMsgDlgBtn::mbOK});
                if (edits[i]->CanFocus()) edits[i]->SetFocus();
            }
            return false;
        }
    }
    // Margins that leave no room for text are refused here, as the
    // preview would refuse them, before anything changes.
    const TUnits units = TagAs(PageMarginGroup, printer_->Units(), 1);
    const TPrinterOrientation orientation = TagAs(PageOrientGroup, printer_->Orientation(), 1);
    if (!printer_->MarginsLeaveRoom(values[0], values[1], values[2], values[3], units, orientation)) {
        if (say) {
            std::string text = kMarginsLeaveNoRoom;
            text += '.';
            MessageDlg(text, TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
            if (LeftEdit->CanFocus()) LeftEdit->SetFocus();
        }
        return false;
    }
    TTextOptions* o = options_;
    printer_->SetUnits(units);
    o->MarginLeft = values[0];
    o->MarginTop = values[1];
    o->MarginRight = values[2];
    o->MarginBottom = values[3];
    o->HeaderMargin = values[4];
    o->FooterMargin = values[5];
    printer_->SetOrientation(orientation);
    o->PrintPageNumber = TagAs(Panel1, o->PrintPageNumber, 2);
    o->PageNumAlign = TagAs(Panel2, o->PageNumAlign, 2);
    o->HeaderAlign = TagAs(HeaderGroup, o->HeaderAlign, 2);
    o->FooterAlign = TagAs(FooterGroup, o->FooterAlign, 2);
    o->PageNumText = PageNumEdit->GetText();
    o->Header = HeaderEdit->GetText();
    o->Footer = FooterEdit->GetText();
    o->SetHeaderFont(HeaderFontDialog->Font());
    o->SetFooterFont(FooterFontDialog->Font());
    o->SetPageNumFont(PageNumFontDialog->Font());
    return true;
}

void TPageSetupForm::LoadStoredOptions() {
    LoadFromOptions();
    FormSettings1->LoadSettings();
    // Stored margins that are not numbers are left out one by one.
    TEdit* edits[] = {LeftEdit, TopEdit, RightEdit, BotEdit, HdrMarginEdit, FtrMarginEdit};
    double current[] = {options_->MarginLeft,   options_->MarginTop,    options_->MarginRight,
                        options_->MarginBottom, options_->HeaderMargin, options_->FooterMargin};
    for (int i = 0; i < 6; ++i) {
        double v;
        if (!preview::ParseMargin(edits[i]->GetText(), v)) edits[i]->SetText(preview::FormatMargin(current[i]));
    }
    SaveToOptions(false);
}

void TPageSetupForm::FormShow(TObject*) {
    LoadFromOptions();
}

void TPageSetupForm::OKButClick(TObject*) {
    if (SaveToOptions(true)) SetModalResult(mrOk);
}

void TPageSetupForm::FontButClick(TObject* Sender) {
    TFontDialog* dialog = Sender == HdrFontBut ? HeaderFontDialog : Sender == FtrFontBut ? FooterFontDialog : PageNumFontDialog;
    if (dialog->Execute()) ShowFont(dialog, static_cast<TButton*>(Sender));
}

void TPageSetupForm::PrinterSetupButClick(TObject*) {
    if (Printer()->Printers()->Count() == 0) {
        MessageDlg("No printer is installed.", TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
        return;
    }
    PrinterSetupDialog1->Execute();
}

void TPageSetupForm::SetDefaultButClick(TObject*) {
    if (MessageDlg("Are you sure you want to save these values as the Default Settings?", TMsgDlgType::mtWarning,
                   {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbCancel}) != mrYes)
        return;
    // Only values that read back are stored.
    TEdit* edits[] = {LeftEdit, TopEdit, RightEdit, BotEdit, HdrMarginEdit, FtrMarginEdit};
    for (TEdit* e : edits) {
        double v;
        if (!preview::ParseMargin(e->GetText(), v)) {
            MessageDlg("'" + e->GetText() + "' is not a valid margin.", TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
            return;
        }
        e->SetText(preview::FormatMargin(v));
    }
    FormSettings1->SaveValues = true;
    FormSettings1->SaveSettings();
    FormSettings1->SaveValues = false;
}

void TPageSetupForm::OrientationClick(TObject*) {
    UpdateShapes();
}

int TPreviewPrinter::PageSetup() {
    // Owned by this component, and freed when this returns.
    OwnedPtr<TPageSetupForm> form(Create<TPageSetupForm>(this));
    form->InitializeForm();
    form->SetOptions(textOptions_.get(), this);
    return form->ShowModal();
}

void TPreviewPrinter::Loaded() {
    TComponent::Loaded();
    if (ComponentState().Contains(TComponentStateItem::csDesigning)) return;
    // Stored defaults never stop the program from starting.
    try {
        OwnedPtr<TPageSetupForm> form(Create<TPageSetupForm>(this));
        form->InitializeForm();
        form->SetOptions(textOptions_.get(), this);
        form->LoadStoredOptions();
    } catch (const std::exception&) {
    }
}

void RegisterPageSetupClasses() {
    PublishClass<TPageSetupForm, TForm>()
        .Handler("FormShow", &TPageSetupForm::FormShow)
        .Handler("OKButClick", &TPageSetupForm::OKButClick)
        .Handler("FontButClick", &TPageSetupForm::FontButClick)
        .Handler("PrinterSetupButClick", &TPageSetupForm::PrinterSetupButClick)
        .Handler("SetDefaultButClick", &TPageSetupForm::SetDefaultButClick)
        .Handler("OrientationClick", &TPageSetupForm::OrientationClick)
#define F(n) .Field(#n, &TPageSetupForm::n)
        F(PageMarginGroup) F(PageOrientGroup) F(HeaderGroup) F(FooterGroup) F(PageNumGroup)
        F(LeftEdit) F(RightEdit) F(TopEdit) F(BotEdit) F(InchBut) F(CentBut) F(PortBut) F(LandBut)
        F(PortShape) F(LandShape) F(HeaderEdit) F(HdrMarginEdit) F(FooterEdit) F(FtrMarginEdit) F(PageNumEdit)
        F(HdrLeftBut) F(HdrCenterBut) F(HdrRightBut) F(FtrLeftBut) F(FtrCenterBut) F(FtrRightBut)
        F(Panel1) F(Panel2) F(PageBotBut) F(PageTopBut) F(PageNoneBut) F(PageLeftBut) F(PageCenterBut)
        F(PageRightBut) F(HdrFontBut) F(FtrFontBut) F(PageNumFontBut) F(OKBut) F(CancelBut) F(PrinterSetupBut)
        F(SetDefaultBut) F(HeaderFontDialog) F(FooterFontDialog) F(PageNumFontDialog) F(PrinterSetupDialog1)
        F(FormSettings1);
#undef F
}

}  // namespace treskel
