// Several hook objects watching one control's messages, each before and
// after the control's own procedure.  The hooks share one attachment per
// control in the window's subclass chain.
#pragma once

#include <memory>
#include <vector>

#include "platform/Controls.h"
#include "platform/Subclass.h"

namespace treskel {

class TControlSubclass {
public:
    virtual ~TControlSubclass() = default;
    // A before-hook swallows a message by setting Result to 1 and Msg to 0.
    virtual void BeforeWndProc(TMessage& message) {}
    virtual void AfterWndProc(TMessage& message) {}
};

// The hooks of one control, in the order they were attached.
class TControlSubclassInfo {
public:
    explicit TControlSubclassInfo(TWinControl* control);
    TWinControl* Control() const { return control_; }
    std::vector<TControlSubclass*>& Hooks() { return hooks_; }
    void WndProc(TMessage& message);

private:
    TWinControl* control_;
    std::vector<TControlSubclass*> hooks_;
    WindowSubclass subclass_;
};

void AttachSubclass(TWinControl* control, TControlSubclass* hook);
// A control without hooks is ignored; the last hook leaving takes the
// control out of the chain.
void DetachSubclass(TWinControl* control, TControlSubclass* hook);
// The control's hooks, or null (tests look at it).
TControlSubclassInfo* FindSubclassInfo(TWinControl* control);

}  // namespace treskel
