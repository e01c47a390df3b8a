// The lowest layer of the component library: the persistent and component
// bases with change notification, the one-per-form check, the timer pool
// and the library's application object.
// No <windows.h>: the bases and the timer pool's arithmetic build natively.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Classes.h"

namespace treskel {

// Informational text shown by the designer; no behaviour.
using TQclAboutVar = std::string;

// Base of the appearance objects: reports its changes through OnChange
// unless an update is in progress.
class TQclObject : public TPersistent {
    TRESKEL_CLASS(TQclObject)
public:
    TQclObject() = default;

    // Fires OnChange unless updates are locked; descendants override it.
    virtual void Change();
    void Changed() { Change(); }
    void BeginUpdate() { updateLock_ = true; }
    void EndUpdate(bool notify = true);
    bool UpdateLocked() const { return updateLock_; }

    TNotifyEvent OnChange;

private:
    bool updateLock_ = false;
};

// Base of the library's components: the same change notification as
// TQclObject, and the informational About text.
class TQclComponent : public TComponent {
    TRESKEL_CLASS(TQclComponent)
public:
    explicit TQclComponent(TComponent* owner) : TComponent(owner) {}

    const TQclAboutVar& About() const { return about_; }
    void SetAbout(const TQclAboutVar& value) { about_ = value; }

    virtual void Change();
    void Changed() { Change(); }
    void BeginUpdate() { updateLock_ = true; }
    void EndUpdate(bool notify = true);
    bool UpdateLocked() const { return updateLock_; }

    TNotifyEvent OnChange;

private:
    TQclAboutVar about_;
    bool updateLock_ = false;
};

// Raised by components of which a program or a form may hold only one.
class QclEOneInstError : public Exception {
public:
    // kind 0: bad owner or second instance on a form; kind 1: a second
    // instance in the program; any other kind: no message.
    QclEOneInstError(const std::string& componentName, int kind);
};

}  // namespace treskel
