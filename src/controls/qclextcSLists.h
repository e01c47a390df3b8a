// The window-free rules of the colour, font and font-size combo boxes:
// the colour list and its custom colours, the texts of colours, the size
// lists of scalable and raster fonts, what the size box accepts, and the
// search by letters typed into a dropped list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Types.h"

namespace treskel {

// The colour names in the class library's order: the sixteen basic colours,
// then the system colours.
const std::vector<std::string>& QclColorNames();
inline constexpr int QclBasicColorCount = 16;

// The colour of an item text: "$" and hexadecimal digits, or a colour
// name.  False for anything else.
bool QclColorFromText(const std::string& text, TColor& color);
// The text an item shows: a name without its "cl", a "$" text unchanged.
std::string QclColorDisplayText(const std::string& text);
// "ColorA" .. "ColorP".
std::string QclCustomColorName(int index);
// The custom colours worth keeping from a colour dialog's lines: each
// value read as the hexadecimal number the dialog writes ("FF8000" or
// "$00FF8000"), kept as its digits; other values are left out.
void QclCopyCustomColors(const TStrings& source, TStrings& dest);
// The items the custom colours add: "$" and eight digits, unused slots
// ("FFFFFFFF") left out.
std::vector<std::string> QclCustomColorItems(const TStrings& customColors);

// The sizes listed for a scalable font.
const std::vector<int>& QclScalableFontSizes();
// The point size of a raster font: (height - internal leading) x 72 / ppi, rounded.
int QclRasterPointSize(int height, int internalLeading, int pixelsPerInch);
// Inserts a size into an ascending list without duplicates.
void QclAddRasterSize(std::vector<int>& sizes, int size);
// The size nearest to `request` among the candidates in the order found
// (on equal distance the first one stays); `request` when there are none.
int QclNearestSize(const std::vector<int>& candidates, int request);
// A size from 1 to 999 with a font name stays; anything else is the default.
int QclValidFontSize(int size, bool hasFontName, int defaultSize);
// The size the box's text stands for; -1 for an empty or non-numeric text.
int QclFontSizeFromText(const std::string& text);
// Whether the size box takes a typed character.
bool QclSizeBoxAccepts(char c, bool editorEnabled, bool hasFontName);

// Letters typed into a dropped list, as a list takes them: typed in quick
// succession they make a prefix, and the item it starts is chosen ("Times"
// finds "Times New Roman"); after a pause a letter starts a new prefix,
// and one letter, or the same letter again and again, goes on to the next
// item it starts.  Letter case is ignored.
class TQclTypeAhead {
public:
    static constexpr uint32_t kPause = 1000;  // milliseconds
    // The item to choose after `c` typed at `time` (a message time) with
    // `current` chosen; -1 when no item starts with what was typed.
    int Type(char c, uint32_t time, const TStrings& items, int current);

private:
    std::string typed_;
    uint32_t last_ = 0;
};

}  // namespace treskel
