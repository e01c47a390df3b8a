// The arithmetic of pages, units, zoom and grid, apart from any device so
// that it can be checked on its own.
#pragma once

#include <string>
#include <vector>

namespace treskel {

enum class TUnits { unInches, unCentimeters };

// The six device values pages are laid out with (device pixels).
struct TDeviceInfo {
    int LogPixelsX = 96, LogPixelsY = 96;
    int PhysicalWidth = 816, PhysicalHeight = 1056;
    int PhysicalOffsetX = 0, PhysicalOffsetY = 0;
};

namespace preview {

// Nearest integer, halves to the even neighbour.
int RoundEven(double v);
double UnitFactor(TUnits u);
int UnitsToPixels(double value, int pixelsPerInch, double factor);
double PixelsToUnits(int pixels, int pixelsPerInch, double factor);
// A display context reports no paper: 8.5 x 11 inches at its resolution.
TDeviceInfo WithFallbackPage(TDeviceInfo info);

struct TTwipsRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
// The text area in twips for margins in inches; false when the margins
// leave no room (or are not finite, or negative).
bool TextAreaTwips(const TDeviceInfo& d, double left, double top, double right, double bottom, TTwipsRect& out);

// An editor's page rectangle (device pixels) in twips, each value
// truncated toward zero; false when the rectangle is empty.
bool PageRectTwips(int left, int top, int right, int bottom, int pixelsPerInchX, int pixelsPerInchY,
                   TTwipsRect& out);

// The page-number text: "%d" becomes the number, "%%" a single percent
// sign; everything else is kept as it stands.
std::string PageNumberText(const std::string& pattern, int page);

// Margins as the page-setup window shows and stores them: three decimals
// with a point, whatever the user's locale.  Parse accepts a point or a
// comma and rejects anything that is not a finite number from 0 to 100.
std::string FormatMargin(double v);
bool ParseMargin(const std::string& text, double& out);

// Zoom of the preview: list entries 0 fit to page, 1 fit to width,
// 2 custom, 3.. fixed percentages.
constexpr double kMinZoom = 0.05;
constexpr double kMaxZoom = 10.0;
double ClampZoom(double f);
double ZoomFactor(int entry, int clientWidth, int clientHeight, int screenPpi, const TDeviceInfo& d, double custom);

// The zoom as the status row shows it: the percentage to the nearest
// whole number, its thousands grouped with `separator`, then "%".
std::string ZoomText(double factor, const std::string& separator);

struct TPageLayout {
    int pageWidth = 0, pageHeight = 0;   // each page panel
    int containerWidth = 0, containerHeight = 0;
    int left = 0, top = 0, left2 = 0;    // first and second page panel
};
TPageLayout LayoutPages(double factor, bool twoPages, int clientWidth, int clientHeight, int screenPpi,
                        const TDeviceInfo& d);

// The grid's whole-inch lines in page pixels.
std::vector<int> GridLinesX(const TDeviceInfo& d);
std::vector<int> GridLinesY(const TDeviceInfo& d);

// Where a line of width w starts: 0 left, 1 right, 2 centre.
int AlignedX(int alignment, int w, int pageWidth, int leftMarginPx, int rightMarginPx);

// Pages of a document laid out line by line take the lines whose bottoms
// fit, and at least one: a line taller than a page takes a page of its own.
// The first line of the page after the one that begins with line `first`
// (the line count when that page is the last).  `lineTops` ascend and end
// with the document's height.  A page of no height takes all.
int NextPageStart(const std::vector<int>& lineTops, int first, int pageHeight);

}  // namespace preview
}  // namespace treskel
