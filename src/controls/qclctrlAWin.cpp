#include "controls/qclctrlAWin.h"

#include <shellapi.h>

#include "foundation/qclgraphDraw.h"
#include "platform/Forms.h"

namespace treskel {

namespace {
constexpr TCursor crQclHand = -255;
}

// ---------------------------------------------------------------- base label

TQclBaseLabel::TQclBaseLabel(TComponent* owner) : TQclBaseGraphicControl(owner) {
    autoSize_ = true;
    SetParentColor(true);
}

void TQclBaseLabel::SetShowAccelChar(bool v) {
    if (v == showAccelChar_) return;
    showAccelChar_ = v;
    RefreshNow();
}

void TQclBaseLabel::SetMultiLine(bool v) {
    if (v == multiLine_) return;
    multiLine_ = v;
    ObjectChanged(nullptr);
}

void TQclBaseLabel::SetAlignment(TQclAlignment v) {
    if (v == alignment_) return;
    alignment_ = v;
    ObjectChanged(nullptr);
}

void TQclBaseLabel::SetOptions(TQclLabelOptions v) {
    if (v == options_) return;
    options_ = v;
    ObjectChanged(nullptr);
}

void TQclBaseLabel::SetFocusControl(TWinControl* v) {
    focusControl_ = v;
    if (v != nullptr) v->FreeNotification(this);
}

void TQclBaseLabel::FontChanged(TObject* sender) {
    if (Loading()) return;
    if (sender == Font()) SetParentFont(false);
    if (!ComponentState().Contains(TComponentStateItem::csReading)) Canvas()->Font()->Assign(Font());
    ObjectChanged(nullptr);
}

void TQclBaseLabel::ObjectChanged(TObject* sender) {
    AdjustBounds();
    TQclBaseGraphicControl::ObjectChanged(sender);
}

void TQclBaseLabel::Loaded() {
    TQclBaseGraphicControl::Loaded();
    Canvas()->Font()->Assign(Font());
    AdjustBounds();
}

void TQclBaseLabel::Notification(TComponent* component, TOperation operation) {
    TQclBaseGraphicControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == focusControl_) focusControl_ = nullptr;
}

unsigned TQclBaseLabel::TextFlags() {
    unsigned f = 0;
    if (options_.Contains(TQclLabelOption::loPathEllipsis)) f |= DT_PATH_ELLIPSIS;
    if (options_.Contains(TQclLabelOption::loEndEllipsis)) f |= DT_END_ELLIPSIS;
    if (options_.Contains(TQclLabelOption::loEditControl)) f |= DT_EDITCONTROL;
    return f;
}

void TQclBaseLabel::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_DIALOGCHAR:
            if (showAccelChar_ && focusControl_ != nullptr && Enabled() &&
                IsAccel(static_cast<char>(m.WParam), Caption()) && focusControl_->CanFocus()) {
                focusControl_->SetFocus();
                m.Result = 1;
                return;
            }
            break;
        case CM_FONTCHANGED:
            TQclBaseGraphicControl::WndProc(m);
            FontChanged(Font());
            return;
        case CM_TEXTCHANGED:
            AdjustBounds();
            RefreshNow();
            return;
        default:
            break;
    }
    TQclBaseGraphicControl::WndProc(m);
}

// ---------------------------------------------------------------- simple label

std::function<intptr_t(const std::string&)> TQclCustomSimpleLabel::Opener = [](const std::string& target) {
    HWND owner = Application != nullptr ? Application->Handle() : nullptr;
    return reinterpret_cast<intptr_t>(ShellExecuteA(owner, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
};

TQclCustomSimpleLabel::TQclCustomSimpleLabel(TComponent* owner)
    : TQclBaseLabel(owner), font3D_(std::make_unique<TQcl3DCaption>()) {
    font3D_->OnChange = [this](TObject* s) { FontChanged(s); };
}

TQclCustomSimpleLabel::~TQclCustomSimpleLabel() { font3D_->OnChange = nullptr; }

void TQclCustomSimpleLabel::SetInActiveColor(TColor v) {
    inActiveColor_ = v;
    if (useAsJump_ && jumpMode_ != TQclJumpModes::jmNone) Font()->SetColor(v);
}

void TQclCustomSimpleLabel::SetJumpUnderline(bool v) {
    jumpUnderline_ = v;
    if (v && (useAsJump_ || jumpMode_ != TQclJumpModes::jmNone)) Font()->SetStyle(Font()->Style() + TFontStyle::fsUnderline);
}

void TQclCustomSimpleLabel::SetJumpMode(TQclJumpModes v) {
    if (v == jumpMode_) return;
    jumpMode_ = v;
    if (Loading() && v == TQclJumpModes::jmNone) return;
    if (v == TQclJumpModes::jmNone) {
        if (!Designing()) SetCursor(crDefault);
        Font()->SetColor(clBlack);
        if (jumpUnderline_) Font()->SetStyle(Font()->Style() - TFontStyle::fsUnderline);
    } else {
        clicks_ = 0;
        Font()->SetColor(inActiveColor_);
        if (jumpUnderline_) Font()->SetStyle(Font()->Style() + TFontStyle::fsUnderline);
        if (!Designing()) SetCursor(crQclHand);
    }
}

void TQclCustomSimpleLabel::Loaded() {
    TQclBaseLabel::Loaded();
    if (useAsJump_) SetJumpMode(TQclJumpModes::jmInternet);
}

void TQclCustomSimpleLabel::AdjustBounds() {
    if (!AutoSize() || Loading()) return;
    TRect r = ClientRect();
    unsigned format = TextFlags() | QclBiDiFlags(this) | (MultiLine() ? DT_WORDBREAK : DT_SINGLELINE);
    QclCalcTextRect(Canvas(), GetLabelText(), font3D_.get(), r, Font(), MultiLine(), ShowAccelChar(), 0, format);
    SetBounds(Left(), Top(), r.Right, r.Bottom);
}

void TQclCustomSimpleLabel::Paint() {
    if (Loading() || painting_) return;
    painting_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{painting_};
    if (GetEmpty()) {
        TQclBaseGraphicControl::Paint();
        return;
    }
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (!Transparent()) {
        c->Brush()->SetStyle(TBrushStyle::bsSolid);
        c->Brush()->SetColor(Color());
        c->FillRect(r);
    }
    std::string text = GetLabelText();
    unsigned format = QclBiDiFlags(this);
    if (MultiLine() && static_cast<int>(Alignment()) >= static_cast<int>(TQclAlignment::agCenterLeft)) {
        r = QclCalcAlignedTextRect(Alignment(), text, font3D_.get(), r, Font(), true, ShowAccelChar(),
                                   TextFlags() | format);
    } else if (!MultiLine()) {
        format |= DT_SINGLELINE;
    }
    format |= TextFlags() | QclAlignmentToDrawText(Alignment()) | DT_WORDBREAK | DT_EXPANDTABS;
    if (!ShowAccelChar()) format |= DT_NOPREFIX;
    c->Font()->Assign(Font());
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    QclDraw3DText(c, text, font3D_.get(), r, format, Enabled() ? qclTextEnabled : 0);
}

void TQclCustomSimpleLabel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TQclBaseLabel::MouseDown(button, shift, x, y);
    if (button == TMouseButton::mbLeft && jumpMode_ != TQclJumpModes::jmNone) {
        ++clicks_;
        Font()->SetColor(activeColor_);
    }
}

void TQclCustomSimpleLabel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TQclBaseLabel::MouseUp(button, shift, x, y);
    if (useAsJump_ && button == TMouseButton::mbLeft && jumpMode_ != TQclJumpModes::jmNone)
        Font()->SetColor(inActiveColor_);
}

// An address that nothing opens stops being a link: the label turns
// plain and disabled.  What a started application answers is its own.
void TQclCustomSimpleLabel::Click() {
    TQclBaseLabel::Click();
    std::string target = QclJumpTarget(jumpMode_, jump_, GetLabelText());
    if (target.empty()) return;
    intptr_t result = Opener(target);
    if (jumpMode_ == TQclJumpModes::jmInternet && result <= 32) {
        SetJumpMode(TQclJumpModes::jmNone);
        SetEnabled(false);
    }
}

// ---------------------------------------------------------------- dock label

TQclCustomDockLabel::TQclCustomDockLabel(TComponent* owner) : TQclCustomSimpleLabel(owner) { autoSize_ = false; }

TQclCustomDockLabel::~TQclCustomDockLabel() { dock_.Unhook(); }

void TQclCustomDockLabel::SetFocusControl(TWinControl* v) {
    if (v == focusControl_) return;
    dock_.SetControl(v);
}

void TQclCustomDockLabel::SetReflectOwnChanges(bool v) {
    dock_.SetReflectOwnChanges(v);
    if (v) BoundsChange(bcPosition);
}

void TQclCustomDockLabel::BoundsChange(uint8_t changes) {
    TQclCustomSimpleLabel::BoundsChange(changes);
    dock_.Follow();
}

void TQclCustomDockLabel::AdjustBounds() {
    if (!Docked() || focusControl_ == nullptr) {
        TQclCustomSimpleLabel::AdjustBounds();
        return;
    }
    if (!AutoSize() || Loading()) return;
    TRect r = ClientRect();
    unsigned format = TextFlags() | QclBiDiFlags(this) | (MultiLine() ? DT_WORDBREAK : DT_SINGLELINE);
    QclCalcTextRect(Canvas(), GetLabelText(), Font3D(), r, Font(), MultiLine(), ShowAccelChar(), 0, format);
    int w = r.Right, h = r.Bottom;
    if (AdjustDockedSize()) {
        if (Position() == TQclDockPosition::dpLeft || Position() == TQclDockPosition::dpRight) h = Height();
        else w = Width();
    }
    SetBounds(Left(), Top(), w, h);
    Dock();
}

void TQclCustomDockLabel::Loaded() {
    TQclCustomSimpleLabel::Loaded();
    Dock();
}

void TQclCustomDockLabel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TQclCustomSimpleLabel::MouseDown(button, shift, x, y);
    if (Docked() && focusControl_ != nullptr && focusControl_->Visible()) {
        try {
            focusControl_->SetFocus();
        } catch (...) {
            // A control that cannot take the focus now is left as it is.
        }
    }
}

}  // namespace treskel
