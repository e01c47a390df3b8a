// The text drawn on a recorded page, read back from the metafile's text
// records (glyph indices mapped back through the font they were drawn with).
#pragma once

#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace treskel::test {

// One text record of a metafile, with the font selected when it was drawn.
struct TextRun {
    LOGFONTW font{};
    POINT at{};
    uint32_t options = 0;
    std::vector<WORD> glyphs;
    std::vector<int> dx;  // one per glyph when the record has no ETO_PDY
};

inline std::vector<TextRun> TextRuns(HENHMETAFILE mf) {
    std::vector<uint8_t> bits(GetEnhMetaFileBits(mf, 0, nullptr));
    GetEnhMetaFileBits(mf, static_cast<UINT>(bits.size()), bits.data());
    std::map<uint32_t, LOGFONTW> fonts;
    LOGFONTW current{};
    std::vector<TextRun> runs;
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
            TextRun run;
            run.font = current;
            run.at = POINT{static_cast<LONG>(get(at + 36)), static_cast<LONG>(get(at + 40))};
            uint32_t chars = get(at + 44), offString = get(at + 48), offDx = get(at + 72);
            run.options = get(at + 52);
            run.glyphs.resize(chars);
            std::memcpy(run.glyphs.data(), &bits[at + offString], chars * 2);
            if (offDx != 0 && !(run.options & ETO_PDY) && offDx + 4 * chars <= length)
                for (uint32_t i = 0; i < chars; ++i) run.dx.push_back(static_cast<int>(get(at + offDx + 4 * i)));
            runs.push_back(std::move(run));
        }
        at += length;
    }
    return runs;
}

// The characters of one run (glyph indices mapped back through its font).
inline std::string RunText(const TextRun& run, HDC dc) {
    std::map<WORD, char> back;
    if (run.options & ETO_GLYPH_INDEX) {
        HFONT f = CreateFontIndirectW(&run.font);
        HGDIOBJ old = SelectObject(dc, f);
        for (wchar_t c = 32; c < 127; ++c) {
            WORD g = 0;
            GetGlyphIndicesW(dc, &c, 1, &g, 0);
            back.emplace(g, static_cast<char>(c));
        }
        SelectObject(dc, old);
        DeleteObject(f);
    }
    std::string text;
    for (WORD w : run.glyphs)
        text += (run.options & ETO_GLYPH_INDEX) ? (back.count(w) ? back[w] : '?') : static_cast<char>(w);
    return text;
}

inline std::string PageText(HENHMETAFILE mf) {
    HDC dc = CreateCompatibleDC(nullptr);
    std::string text;
    for (const TextRun& run : TextRuns(mf)) text += RunText(run, dc);
    DeleteDC(dc);
    return text;
}

// The run whose text is `text`; null when the page has none.
inline const TextRun* FindRun(const std::vector<TextRun>& runs, const std::string& text) {
    HDC dc = CreateCompatibleDC(nullptr);
    const TextRun* found = nullptr;
    for (const TextRun& run : runs)
        if (found == nullptr && RunText(run, dc) == text) found = &run;
    DeleteDC(dc);
    return found;
}

// The width a run advances over, from its recorded advances.
inline int RunWidth(const TextRun& run) {
    int w = 0;
    for (int d : run.dx) w += d;
    return w;
}

}  // namespace treskel::test
