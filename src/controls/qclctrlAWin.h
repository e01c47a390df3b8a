// The library's windowless labels: a base label, a simple label with a 3D
// caption that can open an address or a program when clicked, and a dock
// label that keeps itself beside another control.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "controls/qclctrlA.h"
#include "controls/qclctrlWin.h"

namespace treskel {

enum class TQclLabelOption { loPathEllipsis, loEndEllipsis, loEditControl };
TRESKEL_ENUM_INFO(TQclLabelOption, "loPathEllipsis", "loEndEllipsis", "loEditControl")
using TQclLabelOptions = Set<TQclLabelOption>;

class TQclBaseLabel : public TQclBaseGraphicControl {
    TRESKEL_CLASS(TQclBaseLabel)
public:
    explicit TQclBaseLabel(TComponent* owner);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v);
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool v);
    TQclAlignment Alignment() const { return alignment_; }
    void SetAlignment(TQclAlignment v);
    TQclLabelOptions Options() const { return options_; }
    void SetOptions(TQclLabelOptions v);
    TWinControl* FocusControl() const { return focusControl_; }
    virtual void SetFocusControl(TWinControl* v);

    virtual std::string GetLabelText() { return Caption(); }
    virtual void FontChanged(TObject* sender);
    virtual void AdjustBounds() {}
    void AdjustSize() override { AdjustBounds(); }
    void ObjectChanged(TObject* sender) override;
    bool GetEmpty() override { return Transparent() && GetLabelText().empty(); }
    void WndProc(TMessage& m) override;

protected:
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    unsigned TextFlags();

    TWinControl* focusControl_ = nullptr;
    bool painting_ = false;

private:
    bool showAccelChar_ = true, multiLine_ = false;
    TQclAlignment alignment_ = TQclAlignment::agTopLeft;
    TQclLabelOptions options_;
};

class TQclCustomSimpleLabel : public TQclBaseLabel {
    TRESKEL_CLASS(TQclCustomSimpleLabel)
public:
    explicit TQclCustomSimpleLabel(TComponent* owner);
    ~TQclCustomSimpleLabel() override;
    TQcl3DCaption* Font3D() { return font3D_.get(); }
    const std::string& Jump() const { return jump_; }
    void SetJump(const std::string& v) { jump_ = v; }
    TColor ActiveColor() const { return activeColor_; }
    void SetActiveColor(TColor v) { activeColor_ = v; }
    TColor InActiveColor() const { return inActiveColor_; }
    void SetInActiveColor(TColor v);
    bool JumpUnderline() const { return jumpUnderline_; }
    void SetJumpUnderline(bool v);
    TQclJumpModes JumpMode() const { return jumpMode_; }
    void SetJumpMode(TQclJumpModes v);
    bool UseAsJump() const { return useAsJump_; }
    void SetUseAsJump(bool v) { useAsJump_ = v; }
    int ClickCount() const { return clicks_; }

    void AdjustBounds() override;
    void Click() override;

    // Opens a jump target; the system's result code (above 32: success).
    static std::function<intptr_t(const std::string& target)> Opener;

protected:
    void Paint() override;
    void Loaded() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    std::unique_ptr<TQcl3DCaption> font3D_;
    std::string jump_;
    TColor activeColor_ = static_cast<TColor>(0x800080), inActiveColor_ = static_cast<TColor>(0xFF0000);
    bool jumpUnderline_ = true, useAsJump_ = false;
    TQclJumpModes jumpMode_ = TQclJumpModes::jmNone;
    int clicks_ = 0;
};

class TQclSimpleLabel : public TQclCustomSimpleLabel {
    TRESKEL_CLASS(TQclSimpleLabel)
public:
    explicit TQclSimpleLabel(TComponent* owner) : TQclCustomSimpleLabel(owner) {}
};

class TQclCustomDockLabel : public TQclCustomSimpleLabel {
    TRESKEL_CLASS(TQclCustomDockLabel)
public:
    explicit TQclCustomDockLabel(TComponent* owner);
    ~TQclCustomDockLabel() override;
    bool AdjustDockedSize() const { return dock_.AdjustDockedSize(); }
    void SetAdjustDockedSize(bool v) { dock_.SetAdjustDockedSize(v); }
    bool Docked() const { return dock_.Docked(); }
    void SetDocked(bool v) { dock_.SetDocked(v); }
    bool ReflectOwnChanges() const { return dock_.ReflectOwnChanges(); }
    void SetReflectOwnChanges(bool v);
    TQclDockPosition Position() const { return dock_.Position(); }
    void SetPosition(TQclDockPosition v) { dock_.SetPosition(v); }
    int Margin() const { return dock_.Margin(); }
    void SetMargin(int v) { dock_.SetMargin(v); }
    void SetFocusControl(TWinControl* v) override;
    bool Hooked() const { return dock_.Hooked(); }

    void Dock() { dock_.Dock(); }
    void AdjustBounds() override;
    void BoundsChange(uint8_t changes) override;

protected:
    void Loaded() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    TQclDocker dock_{this, focusControl_, TQclDockPosition::dpLeft, false, false};
};

class TQclDockLabel : public TQclCustomDockLabel {
    TRESKEL_CLASS(TQclDockLabel)
public:
    explicit TQclDockLabel(TComponent* owner) : TQclCustomDockLabel(owner) {}
};

}  // namespace treskel
