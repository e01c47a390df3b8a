// How a layout finds a component of another window.
#include "platform/FormLoader.h"
#include "platform/Forms.h"

namespace treskel {

namespace {
// "Form.Component": a component of the window named Form, while it lives.
TComponent* FindComponentOfForm(const std::string& name) {
    size_t dot = name.find('.');
    if (dot == std::string::npos || Screen == nullptr) return nullptr;
    const std::string formName = name.substr(0, dot);
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* f = Screen->Forms(i);
        if (SameText(f->Name(), formName) && !f->IsDestroying()) return f->FindComponent(name.substr(dot + 1));
    }
    return nullptr;
}
}  // namespace

void InstallFormComponentFinder() { GlobalComponentFinder() = FindComponentOfForm; }

}  // namespace treskel
