// The library's container controls: the panel base that passes an
// ancestor's background on to transparent children, the bevelled panel,
// the panel that paints an image-list picture as that background, and the
// group box whose caption sits on any side.
#pragma once

#include <windows.h>

#include <memory>

#include "controls/qclctrlWin.h"
#include "controls/qclgroup.h"
#include "foundation/qclgraph.h"
#include "platform/ScrollBox.h"

namespace treskel {

class TQclCustomPanel : public TQclCustomControl {
    TRESKEL_CLASS(TQclCustomPanel)
public:
    explicit TQclCustomPanel(TComponent* owner);
    bool Locked() const { return locked_; }
    void SetLocked(bool v) { locked_ = v; }

    bool BackgroundAvailable() override;
    TBitmap* GetBackBitmap() override;
    TPoint BackgroundOffset(TPoint p) override;
    bool DrawParentBackground(TCanvas* canvas, const TRect& rect, uint16_t flag, TPoint offset) override;

private:
    bool locked_ = false;
};

class TQclCustomBevelPanel : public TQclCustomPanel {
    TRESKEL_CLASS(TQclCustomBevelPanel)
public:
    explicit TQclCustomBevelPanel(TComponent* owner);
    ~TQclCustomBevelPanel() override;
    TQclBevel* Bevel() { return bevel_.get(); }
    void SetBevel(TQclBevel* v);
    bool NeedsDesignFrame() override;
    void ObjectChanged(TObject* sender) override;
    void DrawFlatBorder() override;
    void DrawHotBorder() override;
    void MouseEnter() override;
    void WndProc(TMessage& m) override;

protected:
    void Paint() override;
    void CreateParams(TCreateParams& params) override;
    void AdjustClientRect(TRect& rect) override;
    void DoEnter() override;

private:
    std::unique_ptr<TQclBevel> bevel_;
};

class TQclSimplePanel : public TQclCustomBevelPanel {
    TRESKEL_CLASS(TQclSimplePanel)
public:
    // A dock site of it lays its docked controls out with a dock manager.
    explicit TQclSimplePanel(TComponent* owner) : TQclCustomBevelPanel(owner) { SetUseDockManager(true); }
};

// Paints its image-list picture as its own background and as the back
// bitmap that transparent children copy from.
class TQclCustomParentPanel : public TQclCustomBevelPanel {
    TRESKEL_CLASS(TQclCustomParentPanel)
public:
    explicit TQclCustomParentPanel(TComponent* owner);
    bool BackgroundAvailable() override;
    TBitmap* GetBackBitmap() override;
    TPoint BackgroundOffset(TPoint p) override;
    bool DrawParentBackground(TCanvas* canvas, const TRect& rect, uint16_t flag, TPoint offset) override;
    bool IsTransparentActive() override;
    bool NeedsDesignFrame() override;
    void ObjectChanged(TObject* sender) override;
    void LinkChanged(TObject* sender) override;
    virtual void BuildBackBitmap(bool force);
    void WndProc(TMessage& m) override;
    // The image list's palette of the picture shown (0 without one).
    HPALETTE GetPalette() override;
    // Set when the background's palette need not be realised.
    bool SkipPalette() const { return skipPalette_; }
    void SetSkipPalette(bool v) { skipPalette_ = v; }

private:
    std::unique_ptr<TBitmap> back_;
    GdiHandle<HPALETTE> palette_;
    bool skipPalette_ = false;
};

class TQclParentPanel : public TQclCustomParentPanel {
    TRESKEL_CLASS(TQclParentPanel)
public:
    explicit TQclParentPanel(TComponent* owner) : TQclCustomParentPanel(owner) {}
};

class TQclCustomGroupBox : public TQclCustomParentPanel {
    TRESKEL_CLASS(TQclCustomGroupBox)
public:
    explicit TQclCustomGroupBox(TComponent* owner);
    ~TQclCustomGroupBox() override;
    TQclGroupCaptionAlign Alignment() const { return alignment_; }
    void SetAlignment(TQclGroupCaptionAlign v);
    int CaptionOffset() const { return captionOffset_; }
    void SetCaptionOffset(int v);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v);
    TFont* CaptionFont() { return captionFont_.get(); }
    bool CaptionParentFont() const { return captionParentFont_; }
    void SetCaptionParentFont(bool v);
    TQcl3DCaption* CaptionFont3D() { return captionFont3D_.get(); }
    // The room the caption takes on its side (0 without a caption).
    int CaptionHeight() const { return captionHeight_; }
    void ObjectChanged(TObject* sender) override;
    void WndProc(TMessage& m) override;

protected:
    void Paint() override;
    void AdjustClientRect(TRect& rect) override;

private:
    void ComputeCaption();
    TQclGroupCaptionAlign alignment_ = TQclGroupCaptionAlign::gcaTopLeft;
    int captionOffset_ = 8;
    bool showAccelChar_ = true, captionParentFont_ = true, settingFont_ = false;
    std::unique_ptr<TFont> captionFont_;
    std::unique_ptr<TQcl3DCaption> captionFont3D_;
    std::unique_ptr<TQclFxCaption> drawCaption_;
    int captionHeight_ = 0;
};

class TQclGroupBox : public TQclCustomGroupBox {
    TRESKEL_CLASS(TQclGroupBox)
public:
    explicit TQclGroupBox(TComponent* owner) : TQclCustomGroupBox(owner) {}
};

// A scroll box whose bevel lies in the non-client area and which can show
// the background of a library parent through its client area.
class TQclCustomScrollBox : public TScrollBox {
    TRESKEL_CLASS(TQclCustomScrollBox)
public:
    explicit TQclCustomScrollBox(TComponent* owner);
    ~TQclCustomScrollBox() override;
    TQclBevel* Bevel() { return bevel_.get(); }
    void SetBevel(TQclBevel* v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool InstantUpdate() const { return instantUpdate_; }
    void SetInstantUpdate(bool v) { instantUpdate_ = v; }
    bool MouseWheelSupport() const { return mouseWheel_; }
    void SetMouseWheelSupport(bool v) { mouseWheel_ = v; }
    // Transparent over a library parent that offers its background.
    bool IsTransparentActive();
    void WndProc(TMessage& m) override;

    TNotifyEvent OnPaint;

protected:
    void CreateParams(TCreateParams& params) override;
    void PaintWindow(HDC dc) override;

private:
    void BevelChanged();
    void PaintNonClient();
    void FillFromParent(HDC dc, const TRect& r);
    std::unique_ptr<TQclBevel> bevel_;
    bool transparent_ = false, instantUpdate_ = true, mouseWheel_ = false;
};

class TQclScrollBox : public TQclCustomScrollBox {
    TRESKEL_CLASS(TQclScrollBox)
public:
    explicit TQclScrollBox(TComponent* owner) : TQclCustomScrollBox(owner) {}
};

}  // namespace treskel
