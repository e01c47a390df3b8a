// The library's windowless image control: a bitmap inside a bevel, placed,
// stretched or tiled by a style, optionally transparent, or the bitmap of
// another image control shown in its place.
#pragma once

#include <windows.h>

#include <memory>

#include "controls/qclctrlA.h"
#include "controls/qclctrlWin.h"

namespace treskel {

class TQclBaseImage : public TQclGraphicControl {
    TRESKEL_CLASS(TQclBaseImage)
public:
    explicit TQclBaseImage(TComponent* owner);
    bool QuickDraw() const { return quickDraw_; }
    void SetQuickDraw(bool v);
    TQclBitmapStyle Style() const { return style_; }
    void SetStyle(TQclBitmapStyle v);
    // Fits the control to its picture; true when that changed its size.
    virtual bool AutoSizeAdjust() { return false; }

private:
    bool quickDraw_ = true;
    TQclBitmapStyle style_ = TQclBitmapStyle::sbNone;
};

class TQclCustomNImage : public TQclBaseImage {
    TRESKEL_CLASS(TQclCustomNImage)
public:
    explicit TQclCustomNImage(TComponent* owner);
    ~TQclCustomNImage() override;
    TQclTransparent* TransparentStyle() { return transparentStyle_.get(); }
    void SetTransparentStyle(TQclTransparent* v) { transparentStyle_->Assign(v); }

    bool AutoSizeAdjust() override;
    // The bitmap shown: the linked image's or the control's own.
    virtual TBitmap* GetActiveBitmap() { return nullptr; }
    bool GetEmpty() override;
    // The QclDrawBitmap flags of the control's style and bevel.
    uint16_t GetDrawFlags();
    // Where the active bitmap is drawn, in client coordinates; empty when
    // there is nothing to draw.
    TRect PictureRect();
    void ObjectChanged(TObject* sender) override;

protected:
    void Paint() override;

private:
    std::unique_ptr<TQclTransparent> transparentStyle_;
    bool sized_ = false;  // the last adjustment changed the size
};

class TQclNImage : public TQclCustomNImage {
    TRESKEL_CLASS(TQclNImage)
public:
    explicit TQclNImage(TComponent* owner);
    ~TQclNImage() override;
    TBitmap* Bitmap() { return bitmap_.get(); }
    void SetBitmap(TBitmap* v);
    TQclCustomNImage* Control() const { return control_; }
    void SetControl(TQclCustomNImage* v);
    TBitmap* GetActiveBitmap() override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void BitmapChanged();
    std::unique_ptr<TBitmap> bitmap_;
    TQclCustomNImage* control_ = nullptr;
    bool resolving_ = false;  // against images that show each other
};

void RegisterImageClasses();

}  // namespace treskel
