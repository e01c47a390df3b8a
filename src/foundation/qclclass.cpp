#include "foundation/qclclass.h"

namespace treskel {

// ------------------------------------------------------------ TQclObject

void TQclObject::Change() {
    if (OnChange && !updateLock_) OnChange(this);
}

void TQclObject::EndUpdate(bool notify) {
    updateLock_ = false;
    if (notify) Change();
}

// ------------------------------------------------------------ TQclComponent

void TQclComponent::Change() {
    if (OnChange && !updateLock_) OnChange(this);
}

void TQclComponent::EndUpdate(bool notify) {
    updateLock_ = false;
    if (notify) Change();
}

// ------------------------------------------------------------ QclEOneInstError

namespace {
std::string OneInstMessage(const std::string& name, int kind) {
    switch (kind) {
        case 0: return name + ":\r" + "Invalid owner (<>TForm) or second instance on a form";
        case 1: return name + ":\r" + "Already one " + name + " control in this project!";
        default: return {};
    }
}
}  // namespace

QclEOneInstError::QclEOneInstError(const std::string& componentName, int kind)
    : Exception(OneInstMessage(componentName, kind)) {}

}  // namespace treskel
