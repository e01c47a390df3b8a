// The window-free rules of the speed button and its glyph painter: the
// layout of glyph, caption and drop-down mark, shortened captions, grey
// inactive glyphs, the number of images in a glyph, the frames of each
// state and the drop-down point.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace treskel {

// The face of a speed button; also the index of its glyph images.
enum class TGlyphState { gsUp, gsDisabled, gsDown, gsExclusive, gsInactive };

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
TRESKEL_ENUM_INFO(TButtonLayout, "blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom")
enum class TButtonStyle { bsAutoDetect, bsWin31, bsNew };
TRESKEL_ENUM_INFO(TButtonStyle, "bsAutoDetect", "bsWin31", "bsNew")
enum class TWuDropDownMenuPos { dmpBottom, dmpRight };
TRESKEL_ENUM_INFO(TWuDropDownMenuPos, "dmpBottom", "dmpRight")

// The number of images a glyph of this size holds: width div height when
// the width is a whole multiple of the height (1 above five), else `current`.
int WuNumGlyphsFor(int width, int height, int current);

// Grey for everything but the transparent colour and the button face (RGB values).
uint32_t WuMapToGray(uint32_t rgb, uint32_t transparentRgb, uint32_t btnFaceRgb);

// Drops characters from the end and appends "..." until the text fits.
std::string WuShortenText(const std::string& text, int maxWidth, const std::function<int(const std::string&)>& width);

// The caption as the button shows it: at most 255 characters, each line
// shortened to the width unless words wrap, trailing blanks removed.
std::string WuPrepareCaption(const std::string& caption, int maxWidth, bool wordWrap,
                             const std::function<int(const std::string&)>& width);

struct TWuButtonGeometry {
    TPoint glyphPos;
    TSize glyphSize;   // as drawn (0, 0 without a glyph)
    TRect textBounds;  // the caption's rectangle, without the mark's room
    int roomWidth = 0;   // what the caption may take
    int roomHeight = 0;
};
// Places glyph and caption in a button of client size `client` at
// `origin`.  `measure` gives the caption's size for a width (DrawText's
// calculation); the caption is shortened first with `width`.
TWuButtonGeometry WuCalcButtonLayout(TSize client, TPoint origin, TSize glyph, const std::string& caption,
                                     TButtonLayout layout, int margin, int spacing, bool dropMark, bool wordWrap,
                                     const std::function<int(const std::string&)>& width,
                                     const std::function<TSize(const std::string&, int)>& measure,
                                     std::string* shownCaption = nullptr);
// Where the drop-down mark goes.
TPoint WuDropDownMarkPos(const TWuButtonGeometry& g, TSize realGlyph, const TRect& rect, TButtonLayout layout,
                         bool hasCaption);
// The pixels of the mark at (x, y): rows from x1 to x2 inclusive.
struct TWuPixelRow {
    int x1, x2, y;
};
std::vector<TWuPixelRow> WuDropDownMarkRows(int x, int y);

// The frames of a speed button, outside in: top-left and bottom-right
// colours; `shadowLine` asks for the old pressed look's inner shadow line.
struct TWuFrame {
    TColor topLeft, bottomRight;
};
struct TWuFramePlan {
    std::vector<TWuFrame> frames;
    bool shadowLine = false;
};
TWuFramePlan WuFramePlan(bool pressed, bool newStyle, bool flat);

// Where a drop-down menu opens, by position and menu alignment (0 left, 1 right, 2 centre).
TPoint WuDropDownPoint(TWuDropDownMenuPos pos, int alignment, int width, int height);

}  // namespace treskel
