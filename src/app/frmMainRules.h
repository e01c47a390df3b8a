// The main window's rules that need no window: how much rich text a
// picture takes in a note, and whether the note has room for it.  No
// <windows.h>: tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/RasterImage.h"
#include "richedit/RichEdit2Rules.h"

namespace treskel {

// The most bytes of rich text that a picture takes in a note once pasted:
// its pixels in a metafile (three bytes each, four for a bitmap of 32 bits),
// each byte written as two hexadecimal digits with line breaks between
// them, and the records and headers around them.
int64_t PictureRtfBytes(const TPictSize& picture);

// What something brought into a note would take in it at most, and how
// the user is told of it.
struct TPictureCost {
    std::string Name;  // "picture", "rich text", "text"
    std::string What;  // "It is 7000 x 7000 pixels"
    int64_t Bytes = 0;
    // Of text and rich text, what the editor's control is given to read.
    std::optional<TRtfShape> Shape;
};

// A picture of this size, pasted as Insert Picture pastes it.
TPictureCost PictureCost(const TPictSize& picture);
// A metafile of `bytes`: the note keeps it as it is, in hexadecimal.
TPictureCost MetafileCost(int64_t bytes);
// Rich text of `bytes`: what it says in text the note says again, and the
// pictures in it may come as bytes (\bin), which the note keeps as two
// hexadecimal digits each.
TPictureCost RichTextCost(int64_t bytes);
// The same, with the shape the control would read it in.
TPictureCost RichTextCost(int64_t bytes, const TRtfShape& shape);
// Text of `bytes`, a paragraph a line: it takes in the note what the
// editor's characters do.
TPictureCost TextCost(int64_t bytes, const TRtfShape& shape);

// The picture a device-independent bitmap's header describes; nothing
// when the header is cut short.
TPictSize DibPictureSize(const uint8_t* dib, size_t size);

// Why what `cost` describes does not fit in a note that holds `noteBytes`
// of rich text already, which could then never be saved; empty when it
// fits.
std::string RoomProblem(const TPictureCost& cost, int64_t noteBytes);
inline std::string PictureRoomProblem(const TPictSize& picture, int64_t noteBytes) {
    return RoomProblem(PictureCost(picture), noteBytes);
}
// Why the editor's control cannot be given the text or rich text `cost`
// describes: groups nested deeper than it survives, or more memory than
// it may take; empty when it can.
std::string ControlProblem(const TPictureCost& cost);

// The rich text the note in the editor would be saved as, known without
// streaming the note out for every insert: counted now and then, or taken
// from the note as it was read when this editor wrote it, and raised since
// by the most that each change can add.  A change whose size is not known
// forgets it, and the next insert counts again.
class TNoteBound {
public:
    // The most one keystroke adds: a character or a paragraph mark, with a
    // run and a paragraph of every property around it.
    static constexpr int64_t kKeystrokeBytes = 16384;

    void Counted(int64_t bytes);
    // A note of `bytes` was read; `sameWriter`: the editor wrote it, and
    // writes it again as it was (its pictures' sizes may differ by a few
    // digits).
    void Read(int64_t bytes, bool sameWriter);
    void Forget() { bound_.reset(); }
    // A change of at most `bytes` is coming: the changes until Done are it.
    void Expect(int64_t bytes);
    void Done() { expected_.reset(); }
    // The note changed.
    void Changed();
    std::optional<int64_t> Bound() const { return bound_; }
    // Whether the bound is what the note was counted at, and holds still.
    bool Exact() const { return bound_.has_value() && exact_; }
    // At least what the note holds: the bound, or what `count` finds.
    int64_t Holds(const std::function<int64_t()>& count);
    // Why the note has no room for `cost`, in words; empty when it has.  A
    // bound that would refuse is counted first: it may be more than the
    // note holds.
    std::string RoomFor(const TPictureCost& cost, const std::function<int64_t()>& count);

private:
    std::optional<int64_t> bound_;
    bool exact_ = false;
    std::optional<int64_t> expected_;
    bool charged_ = false;
};

// The name a writer of rich text gives itself in the text's header
// ("{\*\generator ...;}"), or empty.
std::string RtfGenerator(std::string_view rtf);

}  // namespace treskel
