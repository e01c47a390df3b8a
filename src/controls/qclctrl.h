// What the library's controls share: their private control messages and
// the names given to components made at run time.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/Classes.h"
#include "platform/TypInfo.h"
#include "platform/Types.h"

namespace treskel {

// Private control messages exchanged by the library's controls.
inline constexpr uint32_t CM_QCLTRANSPARENTCHANGED = 0xB0CD, CM_QCLBACKCHANGED = 0xB0CE, CM_QCLGOTFOCUS = 0xB0CF,
                          CM_QCLLOSTFOCUS = 0xB0D0, CM_QCLBEVELCHANGED = 0xB0D1;

// True when no component owned by `owner` has the name (case ignored).
bool QclIsUniqueName(const std::string& name, const TComponent* owner);
// "TQclSplitterPane" and an owner holding "QclSplitterPane1" give
// "QclSplitterPane2": the base without its leading "T" and the first
// number that makes the name unique.
std::string QclUniqueName(const std::string& base, const TComponent* owner);

// The designer's About text in a layout: read and dropped.
void QclIgnoreAbout(TObject* object, const FormValue& value, LayoutReader& reader);
// The writer of a string property stored only when it is neither empty
// nor `def` (a section or key name whose default the component knows).
template <class C>
std::function<std::optional<FormValue>(C*)> QclStoredUnless(const std::string& (C::*get)() const, const char* def) {
    std::string d = def;
    return [get, d](C* c) -> std::optional<FormValue> {
        const std::string& v = (c->*get)();
        if (v.empty() || v == d) return std::nullopt;
        return FormValue::Str(v);
    };
}

}  // namespace treskel

namespace treskel {

// What a move of a windowless control changed: bcSize 1, bcPosition 2.
inline constexpr uint8_t bcSize = 1, bcPosition = 2;
constexpr uint8_t QclBoundsChanges(const TRect& before, const TRect& after) {
    uint8_t c = 0;
    if (before.Left != after.Left || before.Top != after.Top) c |= bcPosition;
    if (before.Width() != after.Width() || before.Height() != after.Height()) c |= bcSize;
    return c;
}

}  // namespace treskel
