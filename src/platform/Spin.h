// The spin edit: an edit for whole numbers with up and down arrows at its
// right end.
#pragma once

#include <windows.h>

#include "platform/StdCtrls.h"

namespace treskel {

// Only digits (and a minus sign while MinValue is below zero) can be typed
// or pasted; the arrows and the Up and Down keys step by Increment; the
// value is held to MinValue .. MaxValue unless both are equal.
class TSpinEdit : public TCustomEdit {
    TRESKEL_CLASS(TSpinEdit)
public:
    explicit TSpinEdit(TComponent* owner);

    int MinValue() const { return minValue_; }
    void SetMinValue(int v) { minValue_ = v; }
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int v) { maxValue_ = v; }
    int Increment() const { return increment_; }
    void SetIncrement(int v) { increment_ = v; }
    // Whether the number can be typed, or only stepped with the arrows.
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool v) { editorEnabled_ = v; }
    // The number in the edit held to the bounds; MinValue while the edit
    // holds no number.
    int Value();
    void SetValue(int v);
    // Whether the edit holds a whole number at all.
    bool HasNumber();
    // `v` held to the bounds.
    int CheckValue(int v) const;

    void UpClick();
    void DownClick();

    void WndProc(TMessage& m) override;

protected:
    void CreateParams(TCreateParams& p) override;
    void CreateWnd() override;
    bool KeyDown(WORD& key, TShiftState shift) override;
    bool KeyPress(char& key) override;
    virtual bool IsValidChar(char key) const;

private:
    void PlaceArrows();
    bool ArrowsNotify(TMessage& m);
    void Paste();
    HWND arrows_ = nullptr;  // a child window: it goes with the edit's
    int minValue_ = 0, maxValue_ = 0, increment_ = 1;
    bool editorEnabled_ = true;
};

void RegisterSpinClasses();

}  // namespace treskel
