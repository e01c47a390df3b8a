// String, path and rectangle procedures of the component library.  They
// keep no state.  The standard directories (QclGetWindowsDir and the
// others) are the system's and exist in the Windows build only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Types.h"

namespace treskel {

// Where a file of the library lives: the Windows, system or program
// directory, or a name used unchanged.
enum class TQclPathPrefix { ppWindows, ppSystem, ppProgram, ppFixed };
TRESKEL_ENUM_INFO(TQclPathPrefix, "ppWindows", "ppSystem", "ppProgram", "ppFixed")

// Strings.
// Empty or only blanks (character 32; a tab is content).
bool QclIsEmptyStr(const std::string& s);
// Without leading and trailing blanks and control characters.
std::string QclTrim(const std::string& s);
std::string QclStringOfChar(int count, char ch);
std::string QclReplaceChar(const std::string& s, char oldChar, char newChar);
std::string QclJoinStrings(const std::vector<std::string>& strings, char separator);
std::string QclJoinIntegers(const std::vector<int>& values, char separator);
// Splits at `separator`: pieces between two separators count even when
// empty, a trailing separator adds no empty last piece.  Does nothing at
// all (the list is not even cleared) when `list` is null or `s` empty.
void QclSplitToStrings(const std::string& s, char separator, TStrings* list);
// The same pieces as a vector (empty for an empty string).
std::vector<std::string> QclSplitToVector(const std::string& s, char separator);
// Largest or smallest value; 0 for an empty list.
int QclMaxOf(const std::vector<int>& values);
int QclMinOf(const std::vector<int>& values);
double QclMinOfExt(const std::vector<double>& values);
// Base multiplied `exponent` times (wrapping as 32-bit integers); 1 for an
// exponent below 1.
int QclPower(int base, int exponent);

// Paths.
// Appends '\' unless the path ends with one; "" gives "\".
std::string QclAddBackslash(const std::string& path);
// Drops a trailing '\' from a path that is not empty or blank.
std::string QclRemoveBackslash(const std::string& path);
// Shortens a path for display to at most `maxLen` characters by replacing
// leading directories with "...\"; the file name is never shortened.
std::string QclShortenPath(const std::string& path, int maxLen);
// One shortening step of a directory part ("\a\b\" -> "\...\b\").
void QclShortenPathStep(std::string& dir);

#ifdef _WIN32
std::string QclGetWindowsDir();
std::string QclGetSystemDir();
// The program's directory, with a trailing '\'.
std::string QclGetProgramDir();
// The directory of a prefix with or without its trailing '\'; ppFixed: "".
std::string QclGetPathPrefix(TQclPathPrefix prefix, bool withBackslash);
#endif

// Rectangles.
void QclAdjustRect(TRect& rect, int dLeft, int dTop, int dRight, int dBottom);
void QclRectSize(const TRect& rect, int& width, int& height);
// Both the top-left and the bottom-right corner of `inner` lie in `outer`
// (right and bottom edges excluded).
bool QclRectInRect(const TRect& inner, const TRect& outer);
// `source` scaled to fit `target` keeping its proportions, at target's
// top-left.  An empty source gives an empty rectangle there.
void QclFitRect(const TRect& source, const TRect& target, TRect& result);
// The bounds of `rect` turned by `angle` degrees around its centre, moved
// to (0, 0).  Angle 0 leaves it alone.
void QclRotatedBounds(TRect& rect, int angle);

// ------------------------------------------------------------ window placement

// Where a dialog goes inside its reference rectangle.
enum class TQclDlgPosition {
    bpCustom, bpTopLeft, bpTopCenter, bpTopRight, bpCenterLeft, bpCenter, bpCenterRight, bpBottomLeft,
    bpBottomCenter, bpBottomRight
};
TRESKEL_ENUM_INFO(TQclDlgPosition, "bpCustom", "bpTopLeft", "bpTopCenter", "bpTopRight", "bpCenterLeft", "bpCenter",
                  "bpCenterRight", "bpBottomLeft", "bpBottomCenter", "bpBottomRight")
// The reference rectangle: the screen, its work area, the main form or the
// active form.
enum class TQclDlgPosRel { brScreen, brScreenWorkArea, brMainForm, brActiveWindow };
TRESKEL_ENUM_INFO(TQclDlgPosRel, "brScreen", "brScreenWorkArea", "brMainForm", "brActiveWindow")
// The effect shown when a dialog opens.
enum class TQclDlgEffect { deNone, deExplode, deExplodeExt };
TRESKEL_ENUM_INFO(TQclDlgEffect, "deNone", "deExplode", "deExplodeExt")

// The top-left corner of a window of w x h put at `position` in `rect`: a
// window that would reach past the screen's right or bottom edge is moved
// back by the rectangle's edge, and no coordinate stays below 0.
TPoint QclPlacePoint(const TRect& rect, int w, int h, TQclDlgPosition position, int screenWidth, int screenHeight);

// The focus frames of one pass of the opening effects, in drawing order,
// towards the window rectangle `window` from the point (x, y).  Fewer than
// 4 steps mean 40.
std::vector<TRect> QclExplodeFrames(const TRect& window, int x, int y, int steps);
// The same in two phases: a box of boxWidth x boxHeight travels from
// (x, y) to below the window (only with `firstPhase`), then grows until it
// covers the window.
std::vector<TRect> QclExplodeFramesExt(const TRect& window, int x, int y, bool firstPhase, int boxHeight,
                                       int boxWidth, int steps);

// Caption geometry.  The flags passed in and out of the caption
// procedures:
inline constexpr uint16_t qclCapTextRight = 0x01,  // the caption ends where the text does
    qclCapKeepIcon = 0x02,                          // keep the icon in the caption with the new look
    qclCapSmall = 0x04,                             // a small (tool-window) caption
    qclCapIcon = 0x08,                              // the window shows its system icon
    qclCapIconic = 0x10,                            // the window is iconic
    qclCapFrameless = 0x20;                         // the caller asks for a frameless caption

// The system metrics the caption geometry reads.
struct TQclCaptionMetrics {
    int cxBorder = 1, cyBorder = 1, cxFrame = 4, cyFrame = 4, cxDlgFrame = 3, cyDlgFrame = 3;
    int cyCaption = 19, cxSize = 18;
    // The small-caption metrics where the new look applies, else the big ones.
    int smallCaptionHeight = 15, captionButtonWidth = 12, smallIconWidth = 16;
    bool newStyle = true;  // the platform's new-style controls
};
// The window whose caption is measured.
struct TQclCaptionWindow {
    int width = 0;
    uint32_t style = 0, exStyle = 0;
    bool visible = true, iconic = false;
};
// The caption bar and its title text, in window coordinates.
void QclCaptionRects(const TQclCaptionWindow& window, const TQclCaptionMetrics& metrics, TRect& capRect,
                     TRect& textRect, uint16_t& flags);
// The text part of the caption bar `capRect` (textRect goes in for small
// captions and comes out as the text rectangle).
void QclCaptionTextRect(const TQclCaptionWindow& window, const TQclCaptionMetrics& metrics, const TRect& capRect,
                        TRect& textRect, uint16_t& flags);

// Packs a position into one integer, x in the low 16 bits and y in the
// high 16 bits, and back; negative coordinates survive the trip.
constexpr int QclPackPoint(int x, int y) {
    return static_cast<int>((static_cast<uint32_t>(x) & 0xFFFFu) | (static_cast<uint32_t>(y) << 16));
}
constexpr TPoint QclUnpackPoint(int packed) {
    return {static_cast<int16_t>(static_cast<uint32_t>(packed) & 0xFFFFu),
            static_cast<int16_t>(static_cast<uint32_t>(packed) >> 16)};
}

}  // namespace treskel
