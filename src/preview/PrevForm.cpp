#include "preview/PrevForm.h"

#include "platform/FormLoader.h"
#include "preview/Gopage.h"
#include "preview/PageSetupDlg.h"

namespace treskel {

namespace {
const TDeviceInfo& Device(TPreviewPrinter* p) {
    return p->DeviceInfo();
}
// Plays a page record by record: playing a metafile sets the context's
// stretch mode back to the default first, so the mode that averages is set
// with the page's header, before anything is drawn.
int CALLBACK PlaySmoothRecord(HDC dc, HANDLETABLE* table, const ENHMETARECORD* record, int handles, LPARAM) {
    if (record->iType == EMR_HEADER) {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
    }
    PlayEnhMetaFileRecord(dc, table, record, handles);
    return 1;
}
// The user's separator of thousands.
std::string ThousandSeparator() {
    char sep[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, sep, sizeof sep) <= 1) return ",";
    return sep;
}
}  // namespace

OwnedPtr<TPreviewForm> CreatePreviewForm(TPreviewPrinter* printer) {
    auto form = MakeForm<TPreviewForm>();
    form->SetPrinter(printer);
    return form;
}

void TPreviewForm::SetPrinter(TPreviewPrinter* printer) {
    printer_ = printer;
    GridBut->SetDown(printer->ShowGrid);
    if (printer->ZoomOption == TZoomOption::zoFitToPage) ZoomBox->SetItemIndex(0);
    if (printer->ZoomOption == TZoomOption::zoFitToWidth) ZoomBox->SetItemIndex(1);
    if (printer->ZoomOption == TZoomOption::zoTwoPages) TwoPageBut->SetDown(true);
    if (printer->ZoomOption == TZoomOption::zoCustom) {
        // A custom zoom opens at its percentage.
        zoom_ = preview::ClampZoom(printer->ZoomVal / 100.0);
        ZoomBox->SetItemIndex(2);
    }
    SetPage(0);
    UpdateButtons();
    Layout();
}

void TPreviewForm::FormCreate(TObject*) {
    ZoomBox->SetItemIndex(0);
    SetWindowState(TWindowState::wsMaximized);
    TScreen* screen = EnsureScreen();
    HCURSOR zoom = LoadCursorA(GetModuleHandleA(nullptr), "BETTER_ZOOM");
    HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), "BETTER_HAND");
    screen->SetCursors(crPreviewZoom, zoom ? zoom : LoadCursorA(nullptr, IDC_CROSS));
    screen->SetCursors(crPreviewHand, hand ? hand : LoadCursorA(nullptr, IDC_SIZEALL));
    ZoomCursorButClick(nullptr);
}

TPreviewForm::~TPreviewForm() {
    RestoreHintHandler();
}

void TPreviewForm::BeforeDestruction() {
    RestoreHintHandler();
    TForm::BeforeDestruction();
}

void TPreviewForm::FormShow(TObject*) {
    SetPage(0);
    if (!hintInstalled_) {
        // The status row shows the hint of whatever the mouse rests on.
        savedHint_ = EnsureApplication()->OnHint;
        Application->OnHint = [this](TObject*) { HintLabel->SetCaption(Application->Hint()); };
        hintInstalled_ = true;
    }
    UpdateButtons();
}

void TPreviewForm::RestoreHintHandler() {
    if (!hintInstalled_) return;
    Application->OnHint = savedHint_;
    savedHint_ = nullptr;
    hintInstalled_ = false;
}

void TPreviewForm::FormClose(TObject*, TCloseAction& Action) {
    Action = TCloseAction::caHide;
    RestoreHintHandler();
}

void TPreviewForm::SetPage(int n) {
    current_ = n;
    int count = printer_ ? printer_->GetPageCount() : 0;
    CurPageLabel->SetCaption("Page " + std::to_string(n + 1) + " of " + std::to_string(count));
    PB1->Invalidate();
    PB2->Invalidate();
}

void TPreviewForm::UpdateButtons() {
    int count = printer_ ? printer_->GetPageCount() : 0;
    bool next = count > current_ + 1, prev = current_ >= 1;
    NextPageBut->SetEnabled(next);
    NextPageSpeed->SetEnabled(next);
    LastPageSpeed->SetEnabled(next);
    PrevPageBut->SetEnabled(prev);
    PrevPageSpeed->SetEnabled(prev);
    FirstPageSpeed->SetEnabled(prev);
    PageNumSpeed->SetEnabled(count > 1);
}

void TPreviewForm::Layout() {
    if (printer_ == nullptr) return;
    int entry = ZoomBox->ItemIndex();
    if (entry < 0) {
        entry = 0;
        ZoomBox->SetItemIndex(0);
    }
    FitPageBut->SetDown(entry == 0);
    FitWidthBut->SetDown(entry == 1);
    if (entry != 0) {
        OnePageBut->SetDown(true);
        TwoPageBut->SetDown(false);
    }
    int ppi = PixelsPerInch();
    zoom_ = preview::ZoomFactor(entry, ScrollBox1->ClientWidth(), ScrollBox1->ClientHeight(), ppi, Device(printer_),
                                zoom_);
    bool two = TwoPageBut->Down();
    preview::TPageLayout l = preview::LayoutPages(zoom_, two, ScrollBox1->ClientWidth(), ScrollBox1->ClientHeight(),
                                                  ppi, Device(printer_));
    ContainPanel->SetBounds(ContainPanel->Left(), ContainPanel->Top(), l.containerWidth, l.containerHeight);
    PagePanel->SetBounds(l.left, l.top, l.pageWidth, l.pageHeight);
    PagePanel2->SetVisible(two);
    if (two) PagePanel2->SetBounds(l.left2, l.top, l.pageWidth, l.pageHeight);
    ZoomLabel->SetCaption(preview::ZoomText(zoom_, ThousandSeparator()));
}

void TPreviewForm::Relayout() {
    Layout();
    Layout();
}

void TPreviewForm::ScrollBox1Resize(TObject*) {
    Layout();
}

void TPreviewForm::PrintButClick(TObject*) {
    printer_->PrintWithDialog();
}

void TPreviewForm::NextPageClick(TObject*) {
    if (current_ + 1 < printer_->GetPageCount()) SetPage(current_ + 1);
    UpdateButtons();
}

void TPreviewForm::PrevPageClick(TObject*) {
    if (current_ > 0) SetPage(current_ - 1);
    UpdateButtons();
}

void TPreviewForm::FirstPageClick(TObject*) {
    SetPage(0);
    UpdateButtons();
}

void TPreviewForm::LastPageClick(TObject*) {
    SetPage(std::max(0, printer_->GetPageCount() - 1));
    UpdateButtons();
}

void TPreviewForm::PageNumSpeedClick(TObject*) {
    // Owned by the preview, and freed when this returns.
    OwnedPtr<TGoPageForm> dialog(Create<TGoPageForm>(this));
    dialog->InitializeForm();
    dialog->SetMaxValue(printer_->GetPageCount());
    dialog->SetValue(current_ + 1);
    if (dialog->ShowModal() == mrOk) {
        int page = dialog->Value();
        SetPage(page - 1);
        UpdateButtons();
    }
}

void TPreviewForm::ZoomBoxChange(TObject*) {
    Relayout();
}

void TPreviewForm::FitPageButClick(TObject*) {
    ZoomBox->SetItemIndex(0);
    Relayout();
}

void TPreviewForm::FitWidthButClick(TObject*) {
    ZoomBox->SetItemIndex(1);
    Relayout();
}

void TPreviewForm::GridButClick(TObject*) {
    PB1->Invalidate();
    PB2->Invalidate();
}

void TPreviewForm::ZoomCursorButClick(TObject*) {
    ZoomCursorBut->SetDown(true);
    PB1->SetCursor(crPreviewZoom);
    PB2->SetCursor(crPreviewZoom);
}

void TPreviewForm::HandCursorButClick(TObject*) {
    HandCursorBut->SetDown(true);
    PB1->SetCursor(crPreviewHand);
    PB2->SetCursor(crPreviewHand);
}

void TPreviewForm::OnePageButClick(TObject*) {
    OnePageBut->SetDown(true);
    Layout();
}

void TPreviewForm::OnePageButMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    // Back to one page: the whole page fits again.
    ZoomBox->SetItemIndex(0);
    Layout();
}

void TPreviewForm::TwoPageButClick(TObject*) {
    TwoPageBut->SetDown(true);
    ZoomBox->SetItemIndex(0);
    Layout();
}

void TPreviewForm::CloseButClick(TObject*) {
    Close();
}

void TPreviewForm::PaintPage(TPaintBox* box, int page) {
    if (printer_ == nullptr || page >= printer_->GetPageCount()) return;
    const TDeviceInfo& d = Device(printer_);
    HDC dc = box->Canvas()->Handle();
    int saved = SaveDC(dc);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, d.PhysicalWidth, d.PhysicalHeight, nullptr);
    SetViewportExtEx(dc, box->Width(), box->Height(), nullptr);
    // Shown smaller than printed, a picture loses rows and columns: they
    // are averaged into those kept (the default mode ANDs them, which
    // draws dark lines through pictures).
    RECT all{0, 0, d.PhysicalWidth, d.PhysicalHeight};
    EnumEnhMetaFile(dc, printer_->GetPage(page)->Handle(), PlaySmoothRecord, nullptr, &all);
    if (GridBut->Down()) {
        GdiHandle<HPEN> pen(CreatePen(PS_SOLID, 0, RGB(0xC0, 0xC0, 0xC0)));
        HGDIOBJ old = SelectObject(dc, pen.Get());
        for (int x : preview::GridLinesX(d)) {
            MoveToEx(dc, x, 0, nullptr);
            LineTo(dc, x, d.PhysicalHeight);
        }
        for (int y : preview::GridLinesY(d)) {
            MoveToEx(dc, 0, y, nullptr);
            LineTo(dc, d.PhysicalWidth, y);
        }
        SelectObject(dc, old);
    }
    RestoreDC(dc, saved);
}

void TPreviewForm::PB1Paint(TObject*) {
    PaintPage(PB1, current_);
}

void TPreviewForm::PB2Paint(TObject*) {
    if (TwoPageBut->Down()) PaintPage(PB2, current_ + 1);
}

void TPreviewForm::PBMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
    if (HandCursorBut->Down()) {
        press_ = TPoint{X, Y};
        dragging_ = true;
        return;
    }
    double rx = static_cast<double>(X) / std::max(1, PagePanel->Width());
    double ry = static_cast<double>(Y) / std::max(1, PagePanel->Height());
    zoom_ = preview::ClampZoom(Button == TMouseButton::mbRight ? zoom_ / 1.5 : zoom_ * 1.5);
    ZoomBox->SetItemIndex(2);
    Layout();
    // The clicked point comes to the middle.
    ScrollBox1->HorzScrollBar()->SetPosition(static_cast<int>(PagePanel->Width() * rx - ScrollBox1->Width() / 2));
    ScrollBox1->VertScrollBar()->SetPosition(static_cast<int>(PagePanel->Height() * ry - ScrollBox1->Height() / 2));
}

void TPreviewForm::PBMouseMove(TObject*, TShiftState, int X, int Y) {
    if (!dragging_) return;
    // The grabbed point stays under the pointer.
    TControlScrollBar* h = ScrollBox1->HorzScrollBar();
    TControlScrollBar* v = ScrollBox1->VertScrollBar();
    h->SetPosition(h->Position() + press_.x - X);
    v->SetPosition(v->Position() + press_.y - Y);
}

void TPreviewForm::PBMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    dragging_ = false;
}

void TPreviewPrinter::Preview() {
    auto form = CreatePreviewForm(this);
    form->ShowModal();
}

void RegisterPreviewFormClasses() {
    PublishClass<TPreviewForm, TForm>()
        .Handler("FormCreate", &TPreviewForm::FormCreate)
        .Handler("FormShow", &TPreviewForm::FormShow)
        .Handler("FormClose", &TPreviewForm::FormClose)
        .Handler("ScrollBox1Resize", &TPreviewForm::ScrollBox1Resize)
        .Handler("PrintButClick", &TPreviewForm::PrintButClick)
        .Handler("NextPageClick", &TPreviewForm::NextPageClick)
        .Handler("PrevPageClick", &TPreviewForm::PrevPageClick)
        .Handler("FirstPageClick", &TPreviewForm::FirstPageClick)
        .Handler("LastPageClick", &TPreviewForm::LastPageClick)
        .Handler("PageNumSpeedClick", &TPreviewForm::PageNumSpeedClick)
        .Handler("ZoomBoxChange", &TPreviewForm::ZoomBoxChange)
        .Handler("FitPageButClick", &TPreviewForm::FitPageButClick)
        .Handler("FitWidthButClick", &TPreviewForm::FitWidthButClick)
        .Handler("GridButClick", &TPreviewForm::GridButClick)
        .Handler("ZoomCursorButClick", &TPreviewForm::ZoomCursorButClick)
        .Handler("HandCursorButClick", &TPreviewForm::HandCursorButClick)
        .Handler("OnePageButClick", &TPreviewForm::OnePageButClick)
        .Handler("OnePageButMouseUp", &TPreviewForm::OnePageButMouseUp)
        .Handler("TwoPageButClick", &TPreviewForm::TwoPageButClick)
        .Handler("CloseButClick", &TPreviewForm::CloseButClick)
        .Handler("PB1Paint", &TPreviewForm::PB1Paint)
        .Handler("PB2Paint", &TPreviewForm::PB2Paint)
        .Handler("PBMouseDown", &TPreviewForm::PBMouseDown)
        .Handler("PBMouseMove", &TPreviewForm::PBMouseMove)
        .Handler("PBMouseUp", &TPreviewForm::PBMouseUp)
        .Field("ToolPanel", &TPreviewForm::ToolPanel)
        .Field("PrintBut", &TPreviewForm::PrintBut)
        .Field("PrevPageBut", &TPreviewForm::PrevPageBut)
        .Field("NextPageBut", &TPreviewForm::NextPageBut)
        .Field("ZoomBox", &TPreviewForm::ZoomBox)
        .Field("FitPageBut", &TPreviewForm::FitPageBut)
        .Field("FitWidthBut", &TPreviewForm::FitWidthBut)
        .Field("GridBut", &TPreviewForm::GridBut)
        .Field("ZoomCursorBut", &TPreviewForm::ZoomCursorBut)
        .Field("HandCursorBut", &TPreviewForm::HandCursorBut)
        .Field("OnePageBut", &TPreviewForm::OnePageBut)
        .Field("TwoPageBut", &TPreviewForm::TwoPageBut)
        .Field("AboutBut", &TPreviewForm::AboutBut)
        .Field("CloseBut", &TPreviewForm::CloseBut)
        .Field("StatusPanel", &TPreviewForm::StatusPanel)
        .Field("FirstPageSpeed", &TPreviewForm::FirstPageSpeed)
        .Field("PrevPageSpeed", &TPreviewForm::PrevPageSpeed)
        .Field("NextPageSpeed", &TPreviewForm::NextPageSpeed)
        .Field("LastPageSpeed", &TPreviewForm::LastPageSpeed)
        .Field("PageNumSpeed", &TPreviewForm::PageNumSpeed)
        .Field("CurPageLabel", &TPreviewForm::CurPageLabel)
        .Field("ZoomLabel", &TPreviewForm::ZoomLabel)
        .Field("HintLabel", &TPreviewForm::HintLabel)
        .Field("ScrollBox1", &TPreviewForm::ScrollBox1)
        .Field("ContainPanel", &TPreviewForm::ContainPanel)
        .Field("PagePanel", &TPreviewForm::PagePanel)
        .Field("PagePanel2", &TPreviewForm::PagePanel2)
        .Field("PB1", &TPreviewForm::PB1)
        .Field("PB2", &TPreviewForm::PB2);
}

}  // namespace treskel
