// The text drawn on a recorded page, read back from the metafile's text
// records (glyph indices mapped back through the font they were drawn with).
#pragma once

#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace treskel::test {

inline std::string PageText(HENHMETAFILE mf) {
    std::vector<uint8_t> bits(GetEnhMetaFileBits(mf, 0, nullptr));
    GetEnhMetaFileBits(mf, static_cast<UINT>(bits.size()), bits.data());
    HDC dc = CreateCompatibleDC(nullptr);
    std::map<uint32_t, LOGFONTW> fonts;
    LOGFONTW current{};
    std::string text;
    auto get = [&](size_t at) {
        uint32_t v;
        std::memcpy(&v, &bits[at], 4);
        return v;
    };
    for (size_t at = 0; at + 8 <= bits.size();) {
        uint32_t type = get(at), length = get(at + 4);
        if (length < 8) break;
        if (type == EMR_EXTCREATEFONTINDIRECTW) std::memcpy(&fonts[get(at + 8)], &bits[at + 12], sizeof(LOGFONTW));
        if (type == EMR_SELECTOBJECT && fonts.count(get(at + 8))) current = fonts[get(at + 8)];
        if (type == EMR_EXTTEXTOUTW) {
            uint32_t chars = get(at + 44), offString = get(at + 48), options = get(at + 52);
            std::vector<WORD> s(chars);
            std::memcpy(s.data(), &bits[at + offString], chars * 2);
            std::map<WORD, char> back;
            if (options & ETO_GLYPH_INDEX) {
                HFONT f = CreateFontIndirectW(&current);
                HGDIOBJ old = SelectObject(dc, f);
                for (wchar_t c = 32; c < 127; ++c) {
                    WORD g = 0;
                    GetGlyphIndicesW(dc, &c, 1, &g, 0);
                    back.emplace(g, static_cast<char>(c));
                }
                SelectObject(dc, old);
                DeleteObject(f);
            }
            for (WORD w : s) text += (options & ETO_GLYPH_INDEX) ? (back.count(w) ? back[w] : '?') : static_cast<char>(w);
        }
        at += length;
    }
    DeleteDC(dc);
    return text;
}

}  // namespace treskel::test
