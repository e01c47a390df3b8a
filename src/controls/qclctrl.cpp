#include "controls/qclctrl.h"

#include <cstdint>

namespace treskel {

bool QclIsUniqueName(const std::string& name, const TComponent* owner) {
    if (owner == nullptr) return true;
    for (int i = 0; i < owner->ComponentCount(); ++i)
        if (SameText(owner->Components(i)->Name(), name)) return false;
    return true;
}

void QclIgnoreAbout(TObject*, const FormValue&, LayoutReader&) {}

std::string QclUniqueName(const std::string& base, const TComponent* owner) {
    std::string stem = base;
    if (!stem.empty() && (stem[0] == 'T' || stem[0] == 't')) stem.erase(0, 1);
    if (owner == nullptr) return stem + "1";
    for (int64_t n = 1; n <= INT32_MAX; ++n) {
        std::string candidate = stem + IntToStr(n);
        if (QclIsUniqueName(candidate, owner)) return candidate;
    }
    return stem + IntToStr(INT32_MAX);
}

}  // namespace treskel
