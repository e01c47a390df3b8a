#include "controls/qclbtn.h"

namespace treskel {

using S = TQclButtonState;

int QclGlyphImageState(int state, int numGlyphs, bool uncoloured) {
    if (state == 7) return 1;
    if (state != 1 && state >= numGlyphs) return uncoloured ? (state == 6 ? 4 : 2) : 0;
    return state;
}

TQclGlyphSource QclGlyphSourceFor(int mappedState, int numGlyphs, bool uncoloured) {
    if (mappedState < numGlyphs && !(uncoloured && mappedState == 0)) return TQclGlyphSource::gsCell;
    switch (mappedState) {
        case 0: return TQclGlyphSource::gsGrayed;
        case 1: return TQclGlyphSource::gsEmbossed;
        case 2: case 3: case 4: return TQclGlyphSource::gsCell0;
        default: return TQclGlyphSource::gsNone;
    }
}

bool QclStateChangeRepaints(S from, S to, const TQclLookTraits& look) {
    auto between = [&](S a, S b) { return (from == a && to == b) || (from == b && to == a); };
    if (look.numGlyphs >= 3) return true;
    if (between(S::bsUp, S::bsMouseOver)) return look.hoverShows;
    if (between(S::bsMouseOver, S::bsDown)) return look.pressShows;
    return true;
}

void TQclButtonMachine::SetState(S s, bool reevaluation) {
    if (frozen && frozen()) {
        if (!reevaluation || s != S::bsMouseOver) return;
        s = S::bsUp;
    }
    if (s == state_) return;
    bool repaint = !lookChanges || lookChanges(state_, s);
    previous_ = (s == S::bsMouseOver && state_ != S::bsDown) ? S::bsUp : state_;
    bool wasOver = state_ == S::bsMouseOver;
    state_ = s;
    if (repaint) Call(onRepaint);
    if (settings.allowMouseOver && onLeaveCheck) {
        if (wasOver) onLeaveCheck(false);
        else if (s == S::bsMouseOver && !pressed_) onLeaveCheck(true);
    }
}

// Events fire once per real crossing of the edge, whoever notices it first.
void TQclButtonMachine::SetMouseInside(bool v) {
    if (v == mouseInside_) return;
    mouseInside_ = v;
    Call(v ? onMouseEnter : onMouseExit);
    Call(onMouseInsideChanged);
}

void TQclButtonMachine::MouseEnter() {
    if (settings.enabled && state_ == S::bsUp && settings.allowMouseOver) SetState(S::bsMouseOver);
    SetMouseInside(true);
}

void TQclButtonMachine::MouseExit() {
    if (state_ == S::bsMouseOver) SetState(previous_);
    SetMouseInside(false);
}

void TQclButtonMachine::Press() {
    if (!settings.enabled || menuOpen_) return;
    S s = state_;
    if (settings.hasMenu) {
        if (state_ == S::bsDropDown) {
            SetState(S::bsMouseOver);
            return;
        }
        DropDown();
        SetState(s);
        return;
    }
    held_ = true;
    if (settings.groupIndex != 0 && previous_ == S::bsDown && state_ == S::bsMouseOver) {
        SetState(S::bsDown);
        return;
    }
    if (!pressed_) {
        s = S::bsPushed;
        if (settings.repeatedClick) {
            Call(onRepeatClick);
            if (onRepeatTimer) onRepeatTimer(true);
        }
    }
    SetState(s);
}

void TQclButtonMachine::Move(bool inside) {
    if (menuOpen_ || !settings.enabled) return;
    S s = state_;
    if (held_) {
        if (inside) s = pressed_ ? S::bsDown : S::bsPushed;
        else if (settings.groupIndex == 0 || state_ == S::bsPushed) s = pressed_ ? S::bsDown : S::bsUp;
    }
    SetState(s);
    if (inside && !mouseInside_ && state_ == S::bsUp && settings.allowMouseOver && !held_) SetState(S::bsMouseOver);
    SetMouseInside(inside);
}

void TQclButtonMachine::Release(bool inside) {
    if (menuOpen_ || !held_) return;
    held_ = false;
    if (settings.repeatedClick && onRepeatTimer) onRepeatTimer(false);
    S s = (state_ == S::bsDisabled || state_ == S::bsDisabledDown) ? state_ : S::bsUp;
    bool toggled = false;
    if (settings.groupIndex == 0) {
        if (inside && settings.allowMouseOver) s = S::bsMouseOver;
    } else if (!inside) {
        if (pressed_) s = S::bsDown;
    } else {
        if (state_ == S::bsDown && !settings.allowAllUp) return;
        SetPressed(!pressed_);
        toggled = true;
    }
    if (!inside) {
        SetState(s);
        return;
    }
    if (!toggled && (!stateBeforeClick || stateBeforeClick())) SetState(s);
    if (!settings.repeatedClick) Call(onClick);
    if (toggled) return;
    bool still = cursorInside ? cursorInside() : true;
    SetState(still && settings.enabled && s == S::bsUp && settings.allowMouseOver ? S::bsMouseOver : s, true);
}

void TQclButtonMachine::RepeatTick(bool inside) {
    if (held_ && inside) Call(onRepeatClick);
}

// A pressed button that the mouse left shows pressed again, not up.
void TQclButtonMachine::CheckMouseLeave(bool inside) {
    if (settings.enabled && !inside && !held_) SetState(pressed_ ? S::bsDown : S::bsUp);
}

void TQclButtonMachine::DropDown() {
    if (!settings.hasMenu || state_ == S::bsDropDown || menuOpen_) return;
    SetState(S::bsDropDown);
    Call(onDropDown);
    // A handler that throws still ends the drop-down: the button takes presses again.
    struct Close {
        TQclButtonMachine* m;
        ~Close() {
            m->menuOpen_ = false;
            m->SetState(S::bsMouseOver);
        }
    } close{this};
    menuOpen_ = true;
    Call(onShowMenu);
}

void TQclButtonMachine::SetPressed(bool v) {
    if (settings.groupIndex == 0) v = false;
    if (v == pressed_) return;
    if (!v && !settings.allowAllUp) return;
    pressed_ = v;
    if (v) {
        SetState(settings.enabled ? S::bsDown : S::bsDisabledDown);
        Call(onAnnounce);
    } else {
        SetState(settings.enabled ? S::bsUp : S::bsDisabled);
    }
}

void TQclButtonMachine::OtherPressed(int group, bool allowAllUp, bool senderPressed) {
    if (group == 0 || group != settings.groupIndex) return;
    settings.allowAllUp = allowAllUp;
    if (!pressed_ || !senderPressed) return;
    pressed_ = false;
    SetState(settings.enabled ? S::bsUp : S::bsDisabled);
}

void TQclButtonMachine::SetEnabled(bool v) {
    settings.enabled = v;
    if (v) SetState(pressed_ ? S::bsDown : S::bsUp);
    else SetState(pressed_ ? S::bsDisabledDown : S::bsDisabled);
}

void TQclButtonMachine::SetGroupIndex(int v) {
    settings.groupIndex = v;
    if (v == 0 && pressed_) {
        pressed_ = false;
        SetState(settings.enabled ? S::bsUp : S::bsDisabled);
    }
}

TPoint QclDropDownPoint(int width, int height, bool right, int indent) {
    return right ? TPoint{width, indent} : TPoint{indent, height};
}

namespace {
void PutLe32(std::vector<uint8_t>& out, int32_t v) {
    auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
}
int32_t GetLe32(const std::vector<uint8_t>& in, size_t at) {
    uint32_t u = 0;
    for (size_t i = 0; i < 4; ++i) u |= static_cast<uint32_t>(in[at + i]) << (8 * i);
    return static_cast<int32_t>(u);
}
}  // namespace

std::vector<uint8_t> QclWriteFaceIndexes(const TQclFaceIndexes& faces) {
    size_t states = faces[7] == std::pair<int32_t, int32_t>{0, 0} ? 7 : 8;
    std::vector<uint8_t> out;
    for (size_t i = 0; i < states; ++i) PutLe32(out, faces[i].first);
    for (size_t i = 0; i < states; ++i) PutLe32(out, faces[i].second);
    return out;
}

std::optional<TQclFaceIndexes> QclReadFaceIndexes(const std::vector<uint8_t>& block, bool interleaved,
                                                  const TQclFaceIndexes& current) {
    size_t states = block.size() / 8;
    if (block.size() % 8 != 0 || (states != 7 && !(states == 8 && !interleaved))) return std::nullopt;
    TQclFaceIndexes faces = current;
    for (size_t i = 0; i < states; ++i) {
        if (interleaved) {
            faces[i] = {GetLe32(block, 8 * i), GetLe32(block, 8 * i + 4)};
        } else {
            faces[i] = {GetLe32(block, 4 * i), GetLe32(block, 4 * (states + i))};
        }
    }
    return faces;
}

std::optional<int32_t> QclReadFaceColor(const std::vector<uint8_t>& block) {
    if (block.size() != 4) return std::nullopt;
    return GetLe32(block, 0);
}

std::vector<uint8_t> QclWriteFaceColor(int32_t color) {
    std::vector<uint8_t> out;
    PutLe32(out, color);
    return out;
}

int QclFaceFallbackState(int state) {
    switch (state) {
        case 1: case 2: case 5: return 0;
        case 3: case 4: case 6: case 7: return 4;
        default: return 0;
    }
}

}  // namespace treskel
