// The window-free rules of the library's buttons: which glyph image each
// state shows, the press/hover/group state machine of the windowless
// buttons, hit tests and the stored face indexes of the multimedia button.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "foundation/qclgraph.h"
#include "platform/Types.h"

namespace treskel {

// The glyph image a state shows: states past the glyph's cells fall back to
// the up cell, or in uncoloured mode to the (coloured) mouse-over image.
int QclGlyphImageState(int state, int numGlyphs, bool uncoloured);

// How the image of a mapped state is made from the glyph bitmap.
enum class TQclGlyphSource { gsCell, gsGrayed, gsEmbossed, gsCell0, gsNone };
TQclGlyphSource QclGlyphSourceFor(int mappedState, int numGlyphs, bool uncoloured);

// Half-open: a point on the right or bottom edge lies outside.
constexpr bool QclPointInSize(int x, int y, int width, int height) {
    return x >= 0 && x < width && y >= 0 && y < height;
}

// The settings of a windowless button that its state machine reads.
struct TQclButtonSettings {
    bool enabled = true;
    int groupIndex = 0;
    bool allowAllUp = false;
    bool allowMouseOver = false;
    bool repeatedClick = false;
    bool hasMenu = false;
};

// What a button's look shows beside its glyph's cell, for the state
// changes whose repaint can be left out.
struct TQclLookTraits {
    int numGlyphs = 1;
    bool hoverShows = false;  // up and mouse-over look different anyway
    bool pressShows = false;  // mouse-over and down look different anyway (a face)
};
// Whether a change from one state to the other can change the look: not
// between up and mouse over, nor between mouse over and down, while both
// show the same cell and nothing else tells them apart.
bool QclStateChangeRepaints(TQclButtonState from, TQclButtonState to, const TQclLookTraits& look);

// Press, hover, group and drop-down states of a windowless button.  The
// owner supplies the effects; the machine decides when they happen.
class TQclButtonMachine {
public:
    TQclButtonSettings settings;

    std::function<void()> onRepaint;
    // Whether a change of state repaints (always without it).
    std::function<bool(TQclButtonState from, TQclButtonState to)> lookChanges;
    // Whether a click inside shows the button's new state before OnClick
    // runs (always without it): with its mouse-over or pushed cell of its
    // own, the button shows pushed while its click runs.
    std::function<bool()> stateBeforeClick;
    std::function<void()> onClick;
    std::function<void()> onRepeatClick;
    std::function<void(bool run)> onRepeatTimer;     // start / stop
    std::function<void(bool run)> onLeaveCheck;      // start / stop
    std::function<void()> onShowMenu;                // pops the menu up and returns when it closed
    std::function<void()> onDropDown;                // the button's OnDropDown
    std::function<void()> onAnnounce;                // tell the group this button is pressed
    std::function<void()> onMouseEnter, onMouseExit;
    std::function<bool()> cursorInside;              // re-test after a click
    std::function<void()> onMouseInsideChanged;      // the flag changed
    // True while state changes are to be ignored (a button of a multiple-
    // document form while another program is active).
    std::function<bool()> frozen;

    TQclButtonState State() const { return state_; }
    TQclButtonState Previous() const { return previous_; }
    bool Pressed() const { return pressed_; }
    bool Held() const { return held_; }
    bool MouseInside() const { return mouseInside_; }
    bool MenuOpen() const { return menuOpen_; }

    // `reevaluation`: the state worked out again after a click.
    void SetState(TQclButtonState s, bool reevaluation = false);
    void MouseEnter();
    void MouseExit();
    void Press();
    void Move(bool inside);
    void Release(bool inside);
    void RepeatTick(bool inside);
    void CheckMouseLeave(bool inside);
    void DropDown();
    void SetPressed(bool v);
    // Another button of `group` announced itself: this one takes its
    // AllowAllUp and is released when both are pressed.
    void OtherPressed(int group, bool allowAllUp, bool senderPressed);
    void SetMouseInside(bool v);
    void SetEnabled(bool v);
    void SetGroupIndex(int v);

private:
    static void Call(const std::function<void()>& f) {
        if (f) f();
    }

    TQclButtonState state_ = TQclButtonState::bsUp;
    TQclButtonState previous_ = TQclButtonState::bsUp;
    bool pressed_ = false;
    bool held_ = false;
    bool mouseInside_ = false;
    bool menuOpen_ = false;
};

// Where a drop-down menu opens, in the button's client coordinates.
TPoint QclDropDownPoint(int width, int height, bool right, int indent);

// The face indexes of the multimedia button: (ImageIndex, ListIndex) per state.
using TQclFaceIndexes = std::array<std::pair<int32_t, int32_t>, 8>;
// Every state's ImageIndex, then every state's ListIndex, 32-bit
// little-endian: 56 bytes for states 0-6, or 64 when state 7 has a face of
// its own (not image 0 of list 0), so that no face is lost.
std::vector<uint8_t> QclWriteFaceIndexes(const TQclFaceIndexes& faces);
// Reads such a block (56 bytes: states 0-6, or 64) or, `interleaved`, the
// old 56-byte block of pairs; a block of any other length is refused.
std::optional<TQclFaceIndexes> QclReadFaceIndexes(const std::vector<uint8_t>& block, bool interleaved,
                                                  const TQclFaceIndexes& current);
// A 4-byte colour block; other lengths are refused.
std::optional<int32_t> QclReadFaceColor(const std::vector<uint8_t>& block);
std::vector<uint8_t> QclWriteFaceColor(int32_t color);
// The face state used when a state has no image: bsUp's or bsPushed's.
int QclFaceFallbackState(int state);

}  // namespace treskel
