// The preview printer: lays a rich-edit control's text out into recorded
// pages (one enhanced metafile each, with header, footer and page number),
// prints ranges of them, previews them and sets the page up.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Graphics.h"
#include "platform/Handles.h"
#include "platform/Printers.h"
#include "platform/StdCtrls.h"
#include "preview/PreviewGeometry.h"
#include "preview/RtfParts.h"

namespace treskel {

TRESKEL_ENUM_INFO(TUnits, "unInches", "unCentimeters")

class TCustomRichEdit;

enum class TDrawStyle { dsStandard, dsOwnerDrawFixed, dsOwnerDrawVariable };
TRESKEL_ENUM_INFO(TDrawStyle, "dsStandard", "dsOwnerDrawFixed", "dsOwnerDrawVariable")
enum class TPrintPageNumber { pnBottom, pnTop, pnNone };
TRESKEL_ENUM_INFO(TPrintPageNumber, "pnBottom", "pnTop", "pnNone")
enum class TZoomOption { zoFitToPage, zoFitToWidth, zoTwoPages, zoCustom };
TRESKEL_ENUM_INFO(TZoomOption, "zoFitToPage", "zoFitToWidth", "zoTwoPages", "zoCustom")

class TTextOptions : public TPersistent {
    TRESKEL_CLASS(TTextOptions)
public:
    TTextOptions();
    ~TTextOptions() override;
    // Copies every field, fonts included.
    void Assign(TPersistent* source) override;

    // DrawStyle and BodyFont are kept and streamed for owner-drawn pages;
    // laying out a rich edit takes its own fonts and never reads them.
    TDrawStyle DrawStyle = TDrawStyle::dsStandard;
    double MarginLeft = 1.0, MarginTop = 1.0, MarginRight = 1.0, MarginBottom = 1.0;
    TFont* BodyFont() const { return bodyFont_.get(); }
    TFont* HeaderFont() const { return headerFont_.get(); }
    TFont* FooterFont() const { return footerFont_.get(); }
    TFont* PageNumFont() const { return pageNumFont_.get(); }
    void SetBodyFont(TFont* f) { bodyFont_->Assign(f); }
    void SetHeaderFont(TFont* f) { headerFont_->Assign(f); }
    void SetFooterFont(TFont* f) { footerFont_->Assign(f); }
    void SetPageNumFont(TFont* f) { pageNumFont_->Assign(f); }
    std::string Header, Footer;
    double HeaderMargin = 0.5, FooterMargin = 0.75;
    TAlignment HeaderAlign = TAlignment::taCenter, FooterAlign = TAlignment::taCenter;
    TPrintPageNumber PrintPageNumber = TPrintPageNumber::pnBottom;
    TAlignment PageNumAlign = TAlignment::taRightJustify;
    std::string PageNumText = "Page %d";

private:
    std::unique_ptr<TFont> bodyFont_, headerFont_, footerFont_, pageNumFont_;
};

// What a status report is about: 0 a page is being paginated, 1 printed,
// 2 pagination is complete, 3 the print job is.
using TStatusType = int;
using TStatusProc =
    std::function<void(TObject* sender, const std::string& statMsg, int pageNum, TStatusType statusType)>;
// The canvas a page is recorded on: a metafile canvas, against the
// printer's device or the screen's, whose font change handler also runs
// the one the font had before.
class TZarnMetaFileCanvas : public TMetafileCanvas {
    TRESKEL_CLASS(TZarnMetaFileCanvas)
public:
    TZarnMetaFileCanvas(TMetafile* metafile, HDC reference);
};

using TOwnerHeightProc = std::function<void(TObject* sender, int line, int& height, bool& forceNewPage)>;
using TOwnerDrawProc = std::function<void(TObject* sender, int page, int line, TRect r, TCanvas* canvas)>;
using TNewPageProc = std::function<void(TObject* sender, int page)>;

// Why no page can be laid out: the preview's refusal, and Page Setup's.
inline constexpr const char* kMarginsLeaveNoRoom = "The margins leave no room on the page";

class TPreviewPrinter : public TComponent {
    TRESKEL_CLASS(TPreviewPrinter)
public:
    explicit TPreviewPrinter(TComponent* owner);
    ~TPreviewPrinter() override;

    TPrinterOrientation Orientation() const { return orientation_; }
    void SetOrientation(TPrinterOrientation o) { orientation_ = o; }
    std::string Title() const { return title_; }
    void SetTitle(const std::string& t) { title_ = t; }
    TTextOptions* TextOptions() const { return textOptions_.get(); }
    void SetTextOptions(TTextOptions* o) { textOptions_->Assign(o); }
    TUnits Units() const { return units_; }
    void SetUnits(TUnits u);
    bool ShowGrid = false;
    TZoomOption ZoomOption = TZoomOption::zoFitToPage;
    int ZoomVal = 100;
    // Kept and streamed for owner-drawn pages, like DrawStyle; laying out
    // a rich edit calls none of them.
    TOwnerHeightProc OnOwnerHeight;
    TOwnerDrawProc OnOwnerDraw;
    TNewPageProc OnNewPage;
    TStatusProc OnStatus;

    // Pagination of the control's whole text.  Raises EPrinter when the
    // margins leave no room on the page.
    void RenderRichEdit(TCustomRichEdit* editor);
    // Whether margins in these units leave room for text on the page the
    // next pagination lays out with this orientation.
    bool MarginsLeaveRoom(double left, double top, double right, double bottom, TUnits units,
                          TPrinterOrientation orientation);
    void BeginDoc();
    void NewPage();
    void EndDoc();
    TCanvas* GetCanvas();
    int GetPageCount() const { return static_cast<int>(pages_.size()); }
    // Pages laid out by the windowless control are recorded when first
    // asked for.
    TMetafile* GetPage(int index);
    const TDeviceInfo& DeviceInfo() const { return device_; }

    int UnitsToPixelsX(double v) const;
    int UnitsToPixelsY(double v) const;
    double PixelsToUnits(int pixels) const;
    void TextOutAligned(int y, TAlignment alignment, TFont* font, const std::string& text);
    void DrawHeaderFooter(int pageNumber);

    // Prints pages from..to as one job; a spooler failure aborts the job
    // and raises.
    bool PrintRange(int from, int to);
    bool Print();
    // The print dialog, then the chosen pages as many times as the dialog's
    // copies; says so and returns false when no printer is installed.
    bool PrintWithDialog();
    void Preview();
    int PageSetup();
    void Loaded() override;

    // Whether the last pagination had to lay the text out itself because
    // the control's range formatting formatted nothing.
    bool UsedFallback() const { return usedFallback_; }

private:
    void ClearPages();
    static TDeviceInfo DeviceInfoOf(HDC dc);
    // The reference device as the page of this orientation has it.
    HDC PageReference(TPrinterOrientation orientation);
    // The reference device of the pages: the printer's, or the screen's.
    HDC ReferenceDC();
    bool HavePrinter() const;
    // The body's rectangle in twips: the editor's PageRect when it has
    // one (in pixels of `dc`), else `given`.
    static preview::TTwipsRect BodyRect(TCustomRichEdit* editor, const preview::TTwipsRect& given, HDC dc);
    // One pass of the control's range formatting; returns the next
    // character (or -1) and sets `more`.
    int FormatRange(TCustomRichEdit* editor, preview::TTwipsRect& rc, int next, int textLength, bool& more);
    // Lays the text out with the windowless control in place of the
    // document begun; its pages are recorded when first asked for, as the
    // note, the page and the options were when it was laid out.
    void RenderWithTextServices(TCustomRichEdit* editor, const preview::TTwipsRect& area);
    void LayOutWithTextServices(TCustomRichEdit* editor, const preview::TTwipsRect& area);
    // Ends the document begun and drops its pages, after a failure.
    void AbandonDoc();
    void RecordTextPage(int index);
    std::unique_ptr<TMetafile> NewPageMetafile() const;
    // A canvas recording `page` against `reference` (null: the screen),
    // with the font, brush and pen of `previous` or the first page's.
    std::unique_ptr<TZarnMetaFileCanvas> PageCanvas(TMetafile* page, HDC reference, TCanvas* previous) const;

    TPrinterOrientation orientation_ = TPrinterOrientation::poPortrait;
    std::string title_;
    std::unique_ptr<TTextOptions> textOptions_;
    TUnits units_ = TUnits::unInches;
    double factor_ = 1.0;
    bool inDocument_ = false;
    std::vector<std::unique_ptr<TMetafile>> pages_;
    std::unique_ptr<TZarnMetaFileCanvas> canvas_;
    TDeviceInfo device_;
    bool pageUsed_ = false;
    bool usedFallback_ = false;
    WindowDC screenDC_;
    struct TextLayout;
    std::unique_ptr<TextLayout> text_;  // the pages laid out by the windowless control
};

namespace preview {
// Rewrites text records that the metafile recorder stored with half their
// advances (glyph-index text with ETO_PDY) as plain advances, measuring the
// glyphs it lost on `reference`.  Returns the mended metafile, or null when
// nothing needed mending.
HENHMETAFILE MendGlyphAdvances(HENHMETAFILE mf, HDC reference);
// What a layout that would not fit in the memory left says.
constexpr const char* kNoRoomForPages = "There is not enough memory to lay the note out in pages";
// Notes longer than this many characters are laid out in parts.
constexpr size_t kPartChars = 65536;

class TextControl;
class TextServicesLibrary;

// A note laid out in pages with the windowless rich-edit control, for
// systems whose control formats no range.  Constructing it lays the note
// out, part by part (TRtfParts), and breaks it into pages between lines,
// `height` pixels of text a page; Draw draws a page, laying its part out
// again when it is not at hand.  A control that holds many paragraphs is
// slow to ask about a line or to draw a page (it goes through all of them
// each time), and a part is a few pages long.  Both raise EOutOfMemory
// (kNoRoomForPages) before the control would run out of memory.
class TextPages {
public:
    TextPages(std::string note, HDC reference, int width, int height, size_t partChars = kPartChars);
    ~TextPages();
    TextPages(const TextPages&) = delete;
    TextPages& operator=(const TextPages&) = delete;
    int Count() const { return static_cast<int>(pages_.size()); }
    // Draws page `page`'s text with its top-left at `origin`.
    void Draw(int page, HDC dc, POINT origin);

private:
    // Where a part and a page lie in the whole text.
    struct Placed {
        int top = 0, height = 0;
    };
    struct Page {
        int top = 0, bottom = 0;
    };
    TextControl& Load(size_t part);
    void Keep(size_t count);

    std::unique_ptr<TextServicesLibrary> library_;
    TRtfParts parts_;
    HDC reference_;
    int width_;
    std::vector<Placed> placed_;
    std::vector<Page> pages_;
    // The parts laid out at hand, the one used last at the end.
    std::vector<std::pair<size_t, std::unique_ptr<TextControl>>> atHand_;
};

// Plays a page into the rectangle `r` of a printer's device context.  With
// `outlineOtherFonts`, text in a font without TrueType outlines (PostScript
// outlines in an OpenType font) goes to the printer as filled outlines, not
// as a font for it to download.
void PlayPrintedPage(HDC dc, HENHMETAFILE page, const RECT& r, bool outlineOtherFonts);
}  // namespace preview

void RegisterPreviewClasses();

}  // namespace treskel
