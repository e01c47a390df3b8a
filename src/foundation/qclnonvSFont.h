// The font string of the settings store: a font as one value of seven
// fields joined by QclValueSeparator (name, size, colour, then bold,
// italic, underline and strikeout as "0" or "1").  This half knows no
// fonts of the system, so its parsing is tested natively.
#pragma once

#include <string>

#include "platform/Types.h"

namespace treskel {

// The separator of every stored multi-field value (font strings, dialog
// positions, splitter state).
extern char QclValueSeparator;

// What a font string holds.
struct TQclFontFields {
    std::string Name;
    int Size = 0;
    TColor Color = clWindowText;
    TFontStyles Style;
    bool operator==(const TQclFontFields&) const = default;
};

std::string QclFontFieldsToString(const TQclFontFields& fields);

// Parses a font string.  True only when it has exactly seven fields and
// the colour and the four style fields are readable; `fields` is changed
// only then.  A size that is not a number reads as 10.
bool QclStringToFontFields(const std::string& s, TQclFontFields& fields);

}  // namespace treskel
