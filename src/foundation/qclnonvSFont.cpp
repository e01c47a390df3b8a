#include "foundation/qclnonvSFont.h"

#include "foundation/qclutils.h"

namespace treskel {

char QclValueSeparator = ',';

std::string QclFontFieldsToString(const TQclFontFields& fields) {
    auto flag = [&](TFontStyle s) { return std::string(fields.Style.Contains(s) ? "1" : "0"); };
    return QclJoinStrings({fields.Name, IntToStr(fields.Size), ColorToString(fields.Color), flag(TFontStyle::fsBold),
                           flag(TFontStyle::fsItalic), flag(TFontStyle::fsUnderline), flag(TFontStyle::fsStrikeOut)},
                          QclValueSeparator);
}

bool QclStringToFontFields(const std::string& s, TQclFontFields& fields) {
    std::vector<std::string> pieces = QclSplitToVector(s, QclValueSeparator);
    if (pieces.size() != 7) return false;
    TQclFontFields f;
    f.Name = pieces[0];
    f.Size = StrToIntDef(pieces[1], 10);
    if (!TryStringToColor(pieces[2], f.Color)) return false;
    const TFontStyle styles[4] = {TFontStyle::fsBold, TFontStyle::fsItalic, TFontStyle::fsUnderline,
                                  TFontStyle::fsStrikeOut};
    for (int i = 0; i < 4; ++i) {
        int v;
        if (!TryStrToInt(pieces[3 + i], v)) return false;
        // Only the low byte counts, as a Boolean stored in a byte.
        if ((v & 0xFF) != 0) f.Style += styles[i];
    }
    fields = f;
    return true;
}

}  // namespace treskel
