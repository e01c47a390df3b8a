// The multimedia button: a windowless button whose whole face is an image
// of an image list, one per state; transparent parts of the face are not
// part of the button.
#pragma once

#include "controls/qclbtnWin.h"

namespace treskel {

class TQclCustomMMButton : public TQclBaseGraphicButton {
    TRESKEL_CLASS(TQclCustomMMButton)
public:
    explicit TQclCustomMMButton(TComponent* owner);

    TQclCustomImageList* ButtonFaceImageList() const { return faceLink_.List(); }
    void SetButtonFaceImageList(TQclCustomImageList* list) { faceLink_.SetList(list); }
    TQclBitmapStyle ButtonFaceStyle() const { return faceStyle_; }
    void SetButtonFaceStyle(TQclBitmapStyle v);
    int CaptionDown() const { return captionDown_; }
    void SetCaptionDown(int v) { captionDown_ = v; }
    bool ForceTransparent() const { return forceTransparent_; }
    void SetForceTransparent(bool v);
    bool QuickDraw() const { return quickDraw_; }
    void SetQuickDraw(bool v);
    bool AllowTransparency() const { return allowTransparency_; }
    void SetAllowTransparency(bool v) { allowTransparency_ = v; }
    // The (ImageIndex, ListIndex) of the face of each state.
    const TQclFaceIndexes& Faces() const { return faces_; }
    void SetFace(TQclButtonState state, int imageIndex, int listIndex);
    void SetFaces(const TQclFaceIndexes& faces);
    TColor FaceTransparentColor() const { return faceColor_; }
    void SetFaceTransparentColor(TColor c) { faceColor_ = c; }

    bool PointInButton(int x, int y) override;
    // The face list's palette for the face shown (0 without one).
    HPALETTE GetPalette() override;
    virtual void FaceLinkChanged(TObject* sender) { ObjectChanged(sender); }

protected:
    void Paint() override;
    // Each state may have a face of its own.
    bool AlwaysRepaintOnHover() override { return true; }
    bool AlwaysRepaintOnPress() override { return true; }
    void Notification(TComponent* component, TOperation operation) override;

private:
    // The state whose face is shown: the current one, or its fallback.
    bool FaceOf(TQclButtonState state, int& image, int& list);
    TQclImageLink faceLink_;
    GdiHandle<HPALETTE> palette_;
    TQclFaceIndexes faces_{};
    TQclBitmapStyle faceStyle_ = TQclBitmapStyle::sbNone;
    TColor faceColor_ = static_cast<TColor>(0xFFFFFF);
    TRect faceRect_{};
    int captionDown_ = 1;
    bool forceTransparent_ = true, quickDraw_ = false;
};

class TQclMMButton : public TQclCustomMMButton {
    TRESKEL_CLASS(TQclMMButton)
public:
    explicit TQclMMButton(TComponent* owner) : TQclCustomMMButton(owner) {}
};

void RegisterMultimediaButtons();

}  // namespace treskel
