// A note cut between paragraphs into parts that each read as their stretch
// of the whole, so that a long note can be laid out a few pages at a time.
// No <windows.h>: this builds natively too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace treskel::preview {

// What laying a part out takes, by its paragraphs: their characters, the
// sum of the squares of their lengths, the bytes of their pictures, and
// how many they are.
struct TPartSize {
    uint64_t chars = 0;
    uint64_t squares = 0;
    uint64_t pictures = 0;
    uint64_t paragraphs = 0;
};

// Rich text is cut at the first paragraph end of the document's own group
// after each `partChars` characters, but never inside a table or before a
// numbered paragraph (its number counts the paragraphs before it).  Each
// part but the first reads as: the settings in force where it begins (the
// header's tables and every setting made before it, each at its last
// value, in the order they were last made), then its paragraphs, the last
// with its mark, which the control takes for the end of its text (and
// applies the paragraph's settings at).  Plain text is cut after line
// ends.  A text
// this cannot read with certainty, and a short one, stays one part: the
// note itself.
class TRtfParts {
public:
    TRtfParts(std::string note, size_t partChars);
    bool IsRtf() const { return rtf_; }
    size_t Count() const { return cuts_.size(); }
    std::string Part(size_t k) const;
    // Where part k's own stretch begins in the note.
    size_t Begin(size_t k) const { return cuts_.at(k).begin; }
    const TPartSize& Size(size_t k) const { return cuts_.at(k).size; }

private:
    struct Cut {
        size_t begin = 0, end = 0;  // the part's own stretch of the note
        std::string state;          // what it is read after
        TPartSize size;
    };
    void CutRtf(size_t partChars);
    void CutText(size_t partChars);
    void Whole();

    std::string note_;
    bool rtf_;
    std::vector<Cut> cuts_;
};

}  // namespace treskel::preview
