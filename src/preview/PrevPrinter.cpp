#include "preview/PrevPrinter.h"

#include <richedit.h>

#include "platform/Dialogs.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "platform/Handles.h"
#include "platform/Streams.h"
#include "richedit/RichEdit2.h"

namespace treskel {

// ------------------------------------------------------------ TTextOptions

namespace {
std::unique_ptr<TFont> MakeFont(const std::string& name, int size, TFontStyles style) {
    auto f = std::make_unique<TFont>();
    f->SetName(name);
    f->SetSize(size);
    f->SetStyle(style);
    return f;
}

// The hourglass for a scope, the default cursor after it, also on failure.
class BusyCursor {
public:
    BusyCursor() { EnsureScreen()->SetCursor(crHourGlass); }
    ~BusyCursor() { EnsureScreen()->SetCursor(crDefault); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};
}  // namespace

TTextOptions::TTextOptions()
    : bodyFont_(MakeFont("Arial", 10, {})),
      headerFont_(MakeFont("Times New Roman", 18, {TFontStyle::fsBold})),
      footerFont_(MakeFont("Times New Roman", 10, {TFontStyle::fsItalic})),
      pageNumFont_(std::make_unique<TFont>()) {
    pageNumFont_->Assign(footerFont_.get());
}

TTextOptions::~TTextOptions() = default;

void TTextOptions::Assign(TPersistent* source) {
    auto* o = dynamic_cast<TTextOptions*>(source);
    if (o == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    if (o == this) return;
    DrawStyle = o->DrawStyle;
    MarginLeft = o->MarginLeft;
    MarginTop = o->MarginTop;
    MarginRight = o->MarginRight;
    MarginBottom = o->MarginBottom;
    bodyFont_->Assign(o->bodyFont_.get());
    headerFont_->Assign(o->headerFont_.get());
    footerFont_->Assign(o->footerFont_.get());
    pageNumFont_->Assign(o->pageNumFont_.get());
    Header = o->Header;
    Footer = o->Footer;
    HeaderMargin = o->HeaderMargin;
    FooterMargin = o->FooterMargin;
    HeaderAlign = o->HeaderAlign;
    FooterAlign = o->FooterAlign;
    PrintPageNumber = o->PrintPageNumber;
    PageNumAlign = o->PageNumAlign;
    PageNumText = o->PageNumText;
}

// ----------------------------------------------------- TZarnMetaFileCanvas

TZarnMetaFileCanvas::TZarnMetaFileCanvas(TMetafile* metafile, HDC reference) : TMetafileCanvas(metafile, reference) {
    TNotifyEvent kept = Font()->OnChange;
    Font()->OnChange = [kept](TObject* sender) {
        if (kept) kept(sender);
    };
}

// --------------------------------------------------------- TPreviewPrinter

TPreviewPrinter::TPreviewPrinter(TComponent* owner) : TComponent(owner), textOptions_(std::make_unique<TTextOptions>()) {}

TPreviewPrinter::~TPreviewPrinter() {
    canvas_.reset();
    pages_.clear();
}

void TPreviewPrinter::SetUnits(TUnits u) {
    units_ = u;
    factor_ = preview::UnitFactor(u);
}

bool TPreviewPrinter::HavePrinter() const {
    return Printer()->Printers()->Count() > 0;
}

int TPreviewPrinter::UnitsToPixelsX(double v) const {
    return preview::UnitsToPixels(v, device_.LogPixelsX, factor_);
}
int TPreviewPrinter::UnitsToPixelsY(double v) const {
    return preview::UnitsToPixels(v, device_.LogPixelsY, factor_);
}
double TPreviewPrinter::PixelsToUnits(int pixels) const {
    return preview::PixelsToUnits(pixels, device_.LogPixelsX, factor_);
}

TDeviceInfo TPreviewPrinter::DeviceInfoOf(HDC dc) {
    TDeviceInfo d;
    d.LogPixelsX = GetDeviceCaps(dc, LOGPIXELSX);
    d.LogPixelsY = GetDeviceCaps(dc, LOGPIXELSY);
    d.PhysicalWidth = GetDeviceCaps(dc, PHYSICALWIDTH);
    d.PhysicalHeight = GetDeviceCaps(dc, PHYSICALHEIGHT);
    d.PhysicalOffsetX = GetDeviceCaps(dc, PHYSICALOFFSETX);
    d.PhysicalOffsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    return preview::WithFallbackPage(d);
}

HDC TPreviewPrinter::ReferenceDC() {
    if (HavePrinter()) return Printer()->Handle();
    // Pages without a printer are measured against the screen.
    if (!screenDC_) screenDC_ = WindowDC(nullptr);
    return screenDC_.Get();
}

void TPreviewPrinter::ClearPages() {
    canvas_.reset();
    pages_.clear();
    text_.reset();
}

void TPreviewPrinter::BeginDoc() {
    inDocument_ = true;
    ClearPages();
    NewPage();
}

HDC TPreviewPrinter::PageReference(TPrinterOrientation orientation) {
    if (HavePrinter()) Printer()->SetOrientation(orientation);
    return ReferenceDC();
}

void TPreviewPrinter::NewPage() {
    bool printer = HavePrinter();
    HDC ref = PageReference(orientation_);
    device_ = DeviceInfoOf(ref);
    auto page = NewPageMetafile();
    auto canvas = PageCanvas(page.get(), printer ? ref : nullptr, canvas_.get());
    canvas_.reset();  // ends the previous page's recording
    pages_.push_back(std::move(page));
    canvas_ = std::move(canvas);
    pageUsed_ = false;
    int n = GetPageCount();
    if (OnStatus) OnStatus(this, "Paginating page " + std::to_string(n), n, 0);
}

std::unique_ptr<TMetafile> TPreviewPrinter::NewPageMetafile() const {
    auto page = std::make_unique<TMetafile>();
    // The frame is the whole sheet, so that the page plays back 1:1.
    page->SetMMWidth(MulDiv(device_.PhysicalWidth, 2540, device_.LogPixelsX));
    page->SetMMHeight(MulDiv(device_.PhysicalHeight, 2540, device_.LogPixelsY));
    return page;
}

std::unique_ptr<TZarnMetaFileCanvas> TPreviewPrinter::PageCanvas(TMetafile* page, HDC reference,
                                                                 TCanvas* previous) const {
    auto canvas = std::make_unique<TZarnMetaFileCanvas>(page, reference);
    canvas->Font()->SetPixelsPerInch(device_.LogPixelsY);
    if (previous != nullptr) {
        canvas->Font()->Assign(previous->Font());
        canvas->Brush()->Assign(previous->Brush());
        canvas->Pen()->Assign(previous->Pen());
    } else {
        canvas->Font()->SetName("Arial");
        canvas->Font()->SetSize(10);
        canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    }
    return canvas;
}

TCanvas* TPreviewPrinter::GetCanvas() {
    pageUsed_ = true;
    return canvas_.get();
}

void TPreviewPrinter::EndDoc() {
    inDocument_ = false;
    canvas_.reset();
    if (!pageUsed_ && !pages_.empty()) pages_.pop_back();
    if (OnStatus) OnStatus(this, "Pagination Complete", -1, 2);
}

void TPreviewPrinter::TextOutAligned(int y, TAlignment alignment, TFont* font, const std::string& text) {
    TCanvas* c = GetCanvas();
    TFont saved;
    saved.SetPixelsPerInch(c->Font()->PixelsPerInch());
    saved.Assign(c->Font());
    if (font != nullptr) c->Font()->Assign(font);
    int w = c->TextWidth(text);
    int x = preview::AlignedX(static_cast<int>(alignment), w, device_.PhysicalWidth,
                              UnitsToPixelsX(textOptions_->MarginLeft), UnitsToPixelsX(textOptions_->MarginRight));
    c->TextOut(x, y, text);
    c->Font()->Assign(&saved);
}

void TPreviewPrinter::DrawHeaderFooter(int pageNumber) {
    TTextOptions* o = textOptions_.get();
    int headerY = UnitsToPixelsY(o->HeaderMargin);
    int footerY = device_.PhysicalHeight - UnitsToPixelsY(o->FooterMargin);
    TextOutAligned(headerY, o->HeaderAlign, o->HeaderFont(), o->Header);
    TextOutAligned(footerY, o->FooterAlign, o->FooterFont(), o->Footer);
    // Substituted here: the user's text is never a format string.
    std::string s = preview::PageNumberText(o->PageNumText, pageNumber);
    if (o->PrintPageNumber == TPrintPageNumber::pnBottom)
        TextOutAligned(footerY, o->PageNumAlign, o->PageNumFont(), s);
    else if (o->PrintPageNumber == TPrintPageNumber::pnTop)
        TextOutAligned(headerY, o->PageNumAlign, o->PageNumFont(), s);
}

namespace {
// The text's length as the control counts positions for range formatting:
// one for each paragraph end.  Asked of a 1.0 window, which has no such
// count, the question returns nothing: there paragraphs end in CR LF
// and the plain length is the control's own.
int FormattingLength(HWND wnd) {
    GETTEXTLENGTHEX g{GTL_DEFAULT, 1200};
    auto n = static_cast<int>(SendMessageW(wnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&g), 0));
    if (n <= 0) n = static_cast<int>(SendMessageW(wnd, WM_GETTEXTLENGTH, 0, 0));
    return n;
}
}  // namespace

preview::TTwipsRect TPreviewPrinter::BodyRect(TCustomRichEdit* editor, const preview::TTwipsRect& given, HDC dc) {
    TRect pr = editor->PageRect();
    preview::TTwipsRect rc;
    if (preview::PageRectTwips(pr.Left, pr.Top, pr.Right, pr.Bottom, GetDeviceCaps(dc, LOGPIXELSX),
                               GetDeviceCaps(dc, LOGPIXELSY), rc))
        return rc;
    return given;
}

int TPreviewPrinter::FormatRange(TCustomRichEdit* editor, preview::TTwipsRect& rc, int next, int textLength,
                                 bool& more) {
    FORMATRANGE fr{};
    HDC dc = GetCanvas()->Handle();
    fr.hdc = dc;
    fr.hdcTarget = dc;
    preview::TTwipsRect body = BodyRect(editor, rc, dc);
    fr.rc = RECT{body.left, body.top, body.right, body.bottom};
    fr.rcPage = fr.rc;
    fr.chrg.cpMin = next;
    fr.chrg.cpMax = -1;
    int oldMode = SetMapMode(dc, MM_TEXT);
    HWND wnd = editor->Handle();
    SendMessageW(wnd, EM_FORMATRANGE, 0, 0);
    auto r = static_cast<int>(SendMessageW(wnd, EM_FORMATRANGE, 1, reinterpret_cast<LPARAM>(&fr)));
    SendMessageW(wnd, EM_FORMATRANGE, 0, 0);
    SetMapMode(dc, oldMode);
    more = r < textLength && r != -1;
    rc = {fr.rc.left, fr.rc.top, fr.rc.right, fr.rc.bottom};
    return r;
}

bool TPreviewPrinter::MarginsLeaveRoom(double left, double top, double right, double bottom, TUnits units,
                                       TPrinterOrientation orientation) {
    const TDeviceInfo page = DeviceInfoOf(PageReference(orientation));
    const double f = preview::UnitFactor(units);
    preview::TTwipsRect area;
    return preview::TextAreaTwips(page, left / f, top / f, right / f, bottom / f, area);
}

void TPreviewPrinter::RenderRichEdit(TCustomRichEdit* editor) {
    BusyCursor busy;
    // Margins kept in centimetres are lengths in centimetres: the text
    // area, header and footer all convert them.
    double f = factor_;
    TTextOptions* o = textOptions_.get();
    usedFallback_ = false;

    BeginDoc();
    preview::TTwipsRect area;
    if (!preview::TextAreaTwips(device_, o->MarginLeft / f, o->MarginTop / f, o->MarginRight / f,
                                o->MarginBottom / f, area)) {
        EndDoc();
        ClearPages();
        throw EPrinter(kMarginsLeaveNoRoom);
    }
    int textLength = FormattingLength(editor->Handle());
    int next = 0, page = 0;
    for (;;) {
        if (page > 0) NewPage();
        DrawHeaderFooter(++page);
        preview::TTwipsRect rc = area;
        bool more = false;
        int r = FormatRange(editor, rc, next, textLength, more);
        if (page == 1 && textLength > 0 && r <= 0) {
            // The control's range formatting formats nothing here: lay the
            // text out ourselves, from this first page on.
            RenderWithTextServices(editor, BodyRect(editor, area, ReferenceDC()));
            return;
        }
        if (page > 1 && r <= next) {
            // Nothing of the text reached this page: it is not kept for its
            // header and footer alone.
            pageUsed_ = false;
            break;
        }
        if (!more) break;
        next = r;
    }
    EndDoc();
}

void TPreviewPrinter::RenderWithTextServices(TCustomRichEdit* editor, const preview::TTwipsRect& area) {
    usedFallback_ = true;
    // A layout that fails leaves no pages behind, and the editor as it was.
    try {
        LayOutWithTextServices(editor, area);
    } catch (const std::bad_alloc&) {
        AbandonDoc();
        throw EOutOfMemory(preview::kNoRoomForPages);
    } catch (...) {
        AbandonDoc();
        throw;
    }
}

void TPreviewPrinter::AbandonDoc() {
    inDocument_ = false;
    ClearPages();
}

// What a page laid out by the windowless control is recorded with when it is
// first asked for: as things stood when the note was laid out.
struct TPreviewPrinter::TextLayout {
    std::unique_ptr<preview::TextPages> pages;
    OwnedDC printerDC;  // the printer's metrics, whatever becomes of its own DC
    HDC reference = nullptr;
    POINT origin{0, 0};
    TDeviceInfo device;
    double factor = 1.0;
    TTextOptions options;
};

void TPreviewPrinter::LayOutWithTextServices(TCustomRichEdit* editor, const preview::TTwipsRect& area) {
    std::string rtf;
    if (auto* ex = dynamic_cast<TCustomRichEditEx*>(editor)) {
        TMemoryStream s;
        ex->Lines()->SaveToStream(s);
        rtf.assign(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
    } else {
        rtf = editor->GetText();
    }
    auto text = std::make_unique<TextLayout>();
    if (HavePrinter()) {
        GlobalMemory mode(Printer()->DevModeCopy());
        GlobalLockGuard lock(mode.Get());
        text->printerDC.Reset(CreateDCA(nullptr, Printer()->PrinterName().c_str(), nullptr,
                                        static_cast<const DEVMODEA*>(lock.Get())));
        if (!text->printerDC) throw EPrinter("Printer selected is not valid");
        text->reference = text->printerDC.Get();
    } else {
        text->reference = ReferenceDC();
    }
    const int left = MulDiv(area.left, device_.LogPixelsX, 1440), right = MulDiv(area.right, device_.LogPixelsX, 1440);
    const int top = MulDiv(area.top, device_.LogPixelsY, 1440), bottom = MulDiv(area.bottom, device_.LogPixelsY, 1440);
    text->pages = std::make_unique<preview::TextPages>(std::move(rtf), text->reference, right - left, bottom - top);
    text->origin = POINT{left, top};
    text->device = device_;
    text->factor = factor_;
    text->options.Assign(textOptions_.get());
    // The pages are recorded as they are first asked for; the one begun
    // for the range formatting goes.
    const int count = text->pages->Count();
    ClearPages();
    inDocument_ = false;
    text_ = std::move(text);
    pages_.resize(static_cast<size_t>(count));
    for (int n = 2; n <= count; ++n)
        if (OnStatus) OnStatus(this, "Paginating page " + std::to_string(n), n, 0);
    if (OnStatus) OnStatus(this, "Pagination Complete", -1, 2);
}

TMetafile* TPreviewPrinter::GetPage(int index) {
    auto& page = pages_.at(static_cast<size_t>(index));
    if (!page && text_) RecordTextPage(index);
    return page.get();
}

void TPreviewPrinter::RecordTextPage(int index) {
    TextLayout& text = *text_;
    // Header, footer and body as when the note was laid out, whatever
    // printing or the page setup changed since.
    struct AsLaidOut {
        TPreviewPrinter& printer;
        TextLayout& text;
        explicit AsLaidOut(TPreviewPrinter& p, TextLayout& t) : printer(p), text(t) { Exchange(); }
        ~AsLaidOut() { Exchange(); }
        void Exchange() {
            std::swap(printer.device_, text.device);
            std::swap(printer.factor_, text.factor);
            TTextOptions now;
            now.Assign(printer.textOptions_.get());
            printer.textOptions_->Assign(&text.options);
            text.options.Assign(&now);
        }
    };
    std::unique_ptr<TMetafile> page;
    {
        AsLaidOut laidOut(*this, text);
        page = NewPageMetafile();
        canvas_ = PageCanvas(page.get(), text.printerDC ? text.reference : nullptr, nullptr);
        try {
            DrawHeaderFooter(index + 1);
            text.pages->Draw(index, canvas_->Handle(), text.origin);
        } catch (...) {
            canvas_.reset();
            throw;
        }
        canvas_.reset();  // ends the recording
    }
    if (HENHMETAFILE mended = preview::MendGlyphAdvances(page->Handle(), text.reference)) {
        int w = page->MMWidth(), h = page->MMHeight();
        page->SetHandle(mended);
        page->SetMMWidth(w);
        page->SetMMHeight(h);
    }
    pages_[static_cast<size_t>(index)] = std::move(page);
}

bool TPreviewPrinter::PrintRange(int from, int to) {
    BusyCursor busy;
    TPrinter* printer = Printer();
    printer->SetOrientation(orientation_);
    printer->SetTitle(title_);
    // The compatibility layer's PostScript driver faults while it downloads a font whose
    // outlines are not TrueType ones (the OpenType fonts with PostScript
    // outlines that many systems carry): it gets their text as outlines.
    const bool outlineOtherFonts = printer->DriverName() == "Wine PostScript Driver";
    printer->BeginDoc();
    try {
        device_ = DeviceInfoOf(printer->Handle());
        for (int i = from; i <= to; ++i) {
            if (OnStatus) OnStatus(this, "Printing page " + std::to_string(i + 1), i + 1, 1);
            TMetafile* page = GetPage(i);
            RECT r{-device_.PhysicalOffsetX, -device_.PhysicalOffsetY, -device_.PhysicalOffsetX + device_.PhysicalWidth,
                   -device_.PhysicalOffsetY + device_.PhysicalHeight};
            if (!page->Empty()) preview::PlayPrintedPage(printer->Canvas()->Handle(), page->Handle(), r, outlineOtherFonts);
            if (i < to) printer->NewPage();
        }
        printer->EndDoc();
    } catch (...) {
        // A failed job is taken back from the spooler, and the failure said.
        if (printer->Printing()) printer->Abort();
        throw;
    }
    if (OnStatus) OnStatus(this, "Print Job Complete", -1, 3);
    return true;
}

bool TPreviewPrinter::Print() {
    return PrintRange(0, GetPageCount() - 1);
}

bool TPreviewPrinter::PrintWithDialog() {
    if (!HavePrinter()) {
        MessageDlg("No printer is installed.", TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
        return false;
    }
    auto dialog = MakeOwned<TPrintDialog>();
    dialog->SetFromPage(1);
    dialog->SetMinPage(1);
    dialog->SetToPage(GetPageCount());
    dialog->SetMaxPage(GetPageCount());
    dialog->SetOptions({TPrintDialogOption::poPageNums});
    if (!dialog->Execute()) return false;
    int from = 0, to = GetPageCount() - 1;
    if (dialog->PrintRange() != TPrintRange::prAllPages) {
        from = std::max(0, dialog->FromPage() - 1);
        to = std::min(GetPageCount() - 1, dialog->ToPage() - 1);
    }
    if (from > to) return true;
    for (int copy = 0; copy < std::max(1, dialog->Copies()); ++copy) PrintRange(from, to);
    return true;
}


}  // namespace treskel

namespace treskel {

void RegisterPreviewFormClasses();
void RegisterGoPageClasses();
void RegisterFormSettingsClasses();
void RegisterPageSetupClasses();

namespace {
// The text options declare no stream defaults: every one is written.
FormValue FloatValue(double x) {
    FormValue v;
    v.kind = FormValue::kFloat;
    v.f = x;
    return v;
}
template <class E>
FormValue EnumValue(E e) {
    return FormValue::Ident(GetEnumInfo(E{}).names.at(static_cast<size_t>(e)));
}

void RegisterTextOptions() {
    using O = TTextOptions;
    PublishClass<O, TPersistent> c;
    auto enumeration = [&c]<class E>(const char* name, E O::*field) {
        c.Custom(
            name, [field](O* o, const FormValue& v, LayoutReader& r) {
                o->*field = static_cast<E>(typinfo::AsEnum(v, GetEnumInfo(E{}), r));
            },
            [field](O* o) -> std::optional<FormValue> { return EnumValue(o->*field); });
    };
    auto number = [&c](const char* name, double O::*field) {
        c.Custom(
            name, [field](O* o, const FormValue& v, LayoutReader& r) { o->*field = typinfo::AsFloat(v, r); },
            [field](O* o) -> std::optional<FormValue> { return FloatValue(o->*field); });
    };
    auto text = [&c](const char* name, std::string O::*field) {
        c.Custom(
            name, [field](O* o, const FormValue& v, LayoutReader& r) { o->*field = typinfo::AsString(v, r); },
            [field](O* o) -> std::optional<FormValue> { return FormValue::Str(o->*field); });
    };
    enumeration("DrawStyle", &O::DrawStyle);
    number("MarginLeft", &O::MarginLeft);
    number("MarginTop", &O::MarginTop);
    number("MarginRight", &O::MarginRight);
    number("MarginBottom", &O::MarginBottom);
    c.Object("BodyFont", &O::BodyFont);
    c.Object("HeaderFont", &O::HeaderFont);
    c.Object("FooterFont", &O::FooterFont);
    c.Object("PageNumFont", &O::PageNumFont);
    text("Header", &O::Header);
    text("Footer", &O::Footer);
    number("HeaderMargin", &O::HeaderMargin);
    number("FooterMargin", &O::FooterMargin);
    enumeration("HeaderAlign", &O::HeaderAlign);
    enumeration("FooterAlign", &O::FooterAlign);
    enumeration("PrintPageNumber", &O::PrintPageNumber);
    enumeration("PageNumAlign", &O::PageNumAlign);
    text("PageNumText", &O::PageNumText);
}
}  // namespace

void RegisterPreviewClasses() {
    RegisterTextOptions();
    PublishClass<TPreviewPrinter, TComponent>()
        .Enum<TPrinterOrientation>("Orientation", &TPreviewPrinter::Orientation, &TPreviewPrinter::SetOrientation,
                                   TPrinterOrientation::poPortrait)
        .String("Title", &TPreviewPrinter::Title, &TPreviewPrinter::SetTitle)
        .Object("TextOptions", &TPreviewPrinter::TextOptions)
        .Enum<TUnits>("Units", &TPreviewPrinter::Units, &TPreviewPrinter::SetUnits, TUnits::unInches)
        .Bool("ShowGrid", &TPreviewPrinter::ShowGrid, [](TPreviewPrinter* p, bool v) { p->ShowGrid = v; })
        .Enum<TZoomOption>("ZoomOption", &TPreviewPrinter::ZoomOption,
                           [](TPreviewPrinter* p, TZoomOption v) { p->ZoomOption = v; }, TZoomOption::zoFitToPage)
        .Int("ZoomVal", &TPreviewPrinter::ZoomVal, [](TPreviewPrinter* p, int64_t v) { p->ZoomVal = static_cast<int>(v); },
             100)
        .Event("OnOwnerHeight", &TPreviewPrinter::OnOwnerHeight)
        .Event("OnOwnerDraw", &TPreviewPrinter::OnOwnerDraw)
        .Event("OnNewPage", &TPreviewPrinter::OnNewPage)
        .Event("OnStatus", &TPreviewPrinter::OnStatus);
    RegisterPreviewFormClasses();
    RegisterGoPageClasses();
    RegisterFormSettingsClasses();
    RegisterPageSetupClasses();
}

}  // namespace treskel
