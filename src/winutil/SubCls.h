// Several hook objects watching one control's messages, each before and
// after the control's own procedure.  The hooks share one record per
// control, which stands in the control's WindowProc: the hooks belong to
// the control, not to its window, so they need no window to attach and
// keep watching when the control makes its window again.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/Controls.h"

namespace treskel {

class TControlSubclass {
public:
    virtual ~TControlSubclass() = default;
    // A before-hook swallows a message by setting Result to 1 and Msg to 0.
    virtual void BeforeWndProc(TMessage& message) {}
    virtual void AfterWndProc(TMessage& message) {}
};

// The hooks of one control, in the order they were attached, and the
// WindowProc the control had before the first.  A component only to hear
// of the control's end, when the record goes with it.
class TControlSubclassInfo : public TComponent {
    TRESKEL_CLASS(TControlSubclassInfo)
public:
    explicit TControlSubclassInfo(TControl* control);
    ~TControlSubclassInfo() override;
    TControl* Control() const { return control_; }
    std::vector<TControlSubclass*>& Hooks() { return hooks_; }
    void WndProc(TMessage& message);
    // Puts the saved WindowProc back.
    void Restore();

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TControl* control_;
    std::vector<TControlSubclass*> hooks_;
    std::function<void(TMessage&)> saved_;
    // Cleared when the record goes, which a message may cause.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

void AttachSubclass(TControl* control, TControlSubclass* hook);
// A control without hooks is ignored; the last hook leaving puts the
// control's own WindowProc back.
void DetachSubclass(TControl* control, TControlSubclass* hook);
// The control's hooks, or null.
TControlSubclassInfo* FindSubclassInfo(TControl* control);

}  // namespace treskel
