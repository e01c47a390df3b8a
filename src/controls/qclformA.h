// Components that hook their owner form's window: the form component,
// which keeps the form's placement in a settings store, limits its size
// and turns form messages into events; the caption styler, which paints
// the caption bar; and the background fill, which paints the client area.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "controls/qclctrlWin.h"
#include "controls/qclformARules.h"
#include "foundation/qclclassHook.h"
#include "foundation/qclgraph.h"
#include "foundation/qclnonvS.h"
#include "foundation/qclutils.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

namespace treskel {

enum class TQclFormIniSaveOption { soColor, soFont, soPos, soSize, soState };
TRESKEL_ENUM_INFO(TQclFormIniSaveOption, "soColor", "soFont", "soPos", "soSize", "soState")
using TQclFormIniSaveOptions = Set<TQclFormIniSaveOption>;

enum class TQclFormOption { foAutoCenter, foAutoShow, foTryAdaptRes, foRestoreOnce };
TRESKEL_ENUM_INFO(TQclFormOption, "foAutoCenter", "foAutoShow", "foTryAdaptRes", "foRestoreOnce")
using TQclFormOptions = Set<TQclFormOption>;

enum class TQclCharCase { ccNormal, ccLowerCase, ccUpperCase };
TRESKEL_ENUM_INFO(TQclCharCase, "ccNormal", "ccLowerCase", "ccUpperCase")

using TQclStandardEvent = std::function<void(TObject* Sender, bool& Cancel)>;
using TQclSendIntegerEvent = std::function<void(TObject* Sender, int Value)>;
using TQclSendStringEvent = std::function<void(TObject* Sender, const std::string& Section)>;
using TQclSizingChangeEvent = std::function<void(TObject* Sender, WORD xsize, WORD ysize, WORD flag)>;
using TQclFMDragDropEvent = std::function<void(TObject* Sender, int fcount, int x, int y, TStrings* FileList)>;
using TQclMaxInfoEvent = std::function<void(TObject* Sender, int& xpos, int& ypos, int& MaxWidth, int& MaxHeight)>;
using TQclMovingEvent = std::function<void(TObject* Sender, int x, int y, bool& Cancel)>;
using TQclTrackInfoEvent =
    std::function<void(TObject* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight)>;

// The form component: one per form.
class TQclForm : public TQclWndProcComponent {
    TRESKEL_CLASS(TQclForm)
public:
    explicit TQclForm(TComponent* owner);
    ~TQclForm() override;

    bool AcceptFiles() const { return acceptFiles_; }
    void SetAcceptFiles(bool v);
    TQclCharCase CharCase() const { return charCase_; }
    void SetCharCase(TQclCharCase v) { charCase_ = v; }
    TQclDlgEffect Effect() const { return effect_; }
    void SetEffect(TQclDlgEffect v) { effect_ = v; }
    TQclIniCtrl* IniLink() const { return iniLink_; }
    void SetIniLink(TQclIniCtrl* v);
    TQclIniUse IniUse() const { return iniUse_; }
    void SetIniUse(TQclIniUse v) { iniUse_ = v; }
    TQclFormIniSaveOptions IniSaveOptions() const { return iniSaveOptions_; }
    void SetIniSaveOptions(TQclFormIniSaveOptions v) { iniSaveOptions_ = v; }
    const std::string& Section() const { return section_; }
    void SetSection(const std::string& v) { section_ = v; }
    const std::string& IniKey() const { return iniKey_; }
    void SetIniKey(const std::string& v) { iniKey_ = v; }
    int DesignPPI() const { return designPPI_; }
    void SetDesignPPI(int v) { designPPI_ = v; }
    TQclFormOptions Options() const { return options_; }
    void SetOptions(TQclFormOptions v) { options_ = v; }

    // The eight size limits: pixels, or -n for the screen's size divided by n.
    int Limit(TQclFormLimit which) const { return limits_.Value(which); }
    void SetLimit(TQclFormLimit which, int value);
    // The pixel value of a limit for the screen at hand.
    int LimitPixels(TQclFormLimit which) const { return limits_.Pixels(which); }

    // Recomputes the limits' pixels for the screen.
    void UpdateLimits();
    // Scales the form's controls from DesignPPI to the screen (once).
    void AdaptResolution();
    // The form's placement as stored, and putting a stored one back.
    std::string GetPlacementString();
    void ApplyPlacementString(const std::string& s);
    void LoadData();
    void SaveData();
    void LoadFromIni(TQclIniCtrl* ini);
    void SaveToIni(TQclIniCtrl* ini);
    bool PlacementRestored() const { return restored_; }

    // Run as the owner form's OnShow and OnDestroy (they chain the form's own).
    void FormShow(TObject* Sender);
    void FormDestroy(TObject* Sender);

    void Loaded() override;
    void HookOwner() override;
    void RestoreOwner() override;
    void WndProc(TMessage& m) override;

    TNotifyEvent OnAPMCriticalResume;
    TNotifyEvent OnAPMResume;
    TQclStandardEvent OnAPMSuspendRequest;
    TQclSendIntegerEvent OnCompacting;
    TNotifyEvent OnNoRestoreData;
    TQclSendStringEvent OnDevModeChange;
    TQclSizingChangeEvent OnDisplayChange;
    TQclSendStringEvent OnIniChange;
    TQclFMDragDropEvent OnFMDragDrop;
    TNotifyEvent OnFontChange;
    TQclMaxInfoEvent OnMaximizeInfo;
    TNotifyEvent OnMove;
    TQclMovingEvent OnMoving;
    TNotifyEvent OnPaintIcon;
    TQclSizingChangeEvent OnSize;
    TQclSendIntegerEvent OnSpoolerStatus;
    TNotifyEvent OnSysColorChange;
    TQclTrackInfoEvent OnTrackInfo;
    TNotifyEvent OnTimeChange;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TCustomForm* Form() const { return dynamic_cast<TCustomForm*>(Owner()); }
    TQclIniCtrl* Store() const { return QclChooseIniCtrl(iniUse_, iniLink_); }
    bool HandleFormMessage(TMessage& m);
    void FireNotice(const TMessage& m);
    void MinMaxInfo(TMessage& m);
    void DropFiles(TMessage& m);
    void ApplyLimitsToSize();
    void ChainFormEvents();

    bool acceptFiles_ = false;
    TQclCharCase charCase_ = TQclCharCase::ccNormal;
    TQclDlgEffect effect_ = TQclDlgEffect::deNone;
    TQclIniCtrl* iniLink_ = nullptr;
    TQclIniUse iniUse_ = TQclIniUse::ioNone;
    TQclFormIniSaveOptions iniSaveOptions_{TQclFormIniSaveOption::soPos, TQclFormIniSaveOption::soSize,
                                           TQclFormIniSaveOption::soState};
    std::string section_ = "Common";
    std::string iniKey_;
    int designPPI_ = 96;
    TQclFormOptions options_{TQclFormOption::foAutoShow};
    TQclFormLimits limits_;
    TNotifyEvent formShow_, formDestroy_;
    bool chained_ = false, restored_ = false, adapted_ = false;
    bool shown_ = false;  // the owner's window has been shown
};

// ------------------------------------------------------------ caption styler

enum class TQclPaintMode { pcNone, pcControl, pcOwnerDraw };
TRESKEL_ENUM_INFO(TQclPaintMode, "pcNone", "pcControl", "pcOwnerDraw")
using TQclPaintEvent = std::function<void(TObject* Sender, TCanvas* aCanvas, const TRect& Dest)>;

enum class TQclFormStyleOption {
    fsAdjustRect, fsUseDefaultFont, fsUseFontColor, fsInactiveGradient, fsDrawCaptionEvent, fsUseFormCaption,
    fsCheckSystemGradient
};
TRESKEL_ENUM_INFO(TQclFormStyleOption, "fsAdjustRect", "fsUseDefaultFont", "fsUseFontColor", "fsInactiveGradient",
                  "fsDrawCaptionEvent", "fsUseFormCaption", "fsCheckSystemGradient")
using TQclFormStyleOptions = Set<TQclFormStyleOption>;

// Paints the owner form's caption bar: a gradient and the caption in a
// chosen, 3D or the system's caption font, or what its events draw.
class TQclFormStyler : public TQclWndProcComponent {
    TRESKEL_CLASS(TQclFormStyler)
public:
    explicit TQclFormStyler(TComponent* owner);
    ~TQclFormStyler() override;

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    TQclColorCount Colors() const { return colors_; }
    void SetColors(TQclColorCount v);
    TFont* Font() { return font_.get(); }
    void SetFont(TFont* v) { font_->Assign(v); }
    TQcl3DCaption* Font3D() { return font3D_.get(); }
    void SetFont3D(TQcl3DCaption* v) { font3D_->Assign(v); }
    TQclPaintMode PaintMode() const { return paintMode_; }
    void SetPaintMode(TQclPaintMode v);
    TQclFormStyleOptions Options() const { return options_; }
    void SetOptions(TQclFormStyleOptions v);

    // Paints the caption bar now (Full: the icon area is saved first).
    void PaintCaption(bool full);
    // Makes the system draw the frame again.
    void RedrawFrame();
    // How often the caption was painted (for tests).
    int PaintCount() const { return paintCount_; }

    void HookOwner() override;
    void RestoreOwner() override;
    void WndProc(TMessage& m) override;

    TQclPaintEvent OnPaint;
    TQclPaintEvent OnCaptionPaint;

private:
    bool Active() const;
    void FontsChanged();
    void DrawCaptionText(TCanvas& canvas, const TRect& textRect, const std::string& text, bool small);
    void SelectCaptionFont(TCanvas& canvas, const TRect& textRect, bool small);
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TQclColorCount colors_ = 32;
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TQcl3DCaption> font3D_;
    TQclPaintMode paintMode_ = TQclPaintMode::pcControl;
    TQclFormStyleOptions options_{TQclFormStyleOption::fsAdjustRect, TQclFormStyleOption::fsUseDefaultFont,
                                  TQclFormStyleOption::fsUseFormCaption, TQclFormStyleOption::fsCheckSystemGradient};
    bool active_ = true;
    bool busy_ = false;
    bool captionSaved_ = false;
    std::string savedCaption_;
    std::unique_ptr<TBitmap> iconBitmap_;
    int paintCount_ = 0;
};

// ------------------------------------------------------------ background fill

// Paints the owner form's background by its OnPaint event.
class TQclCustomFormFill : public TQclWndProcComponent {
    TRESKEL_CLASS(TQclCustomFormFill)
public:
    explicit TQclCustomFormFill(TComponent* owner);
    ~TQclCustomFormFill() override;

    bool DefaultFill() const { return defaultFill_; }
    void SetDefaultFill(bool v) { defaultFill_ = v; }
    TQclCustomImageList* ImageList() const { return link_.List(); }
    void SetImageList(TQclCustomImageList* v) { link_.SetList(v); }
    int ImageIndex() const { return link_.ImageIndex(); }
    void SetImageIndex(int v) { link_.SetIndex(0, v); }
    int ListIndex() const { return link_.ListIndex(); }
    void SetListIndex(int v) { link_.SetIndex(1, v); }
    TQclPaintMode PaintMode() const { return paintMode_; }
    void SetPaintMode(TQclPaintMode v);
    // The list holds image ImageIndex of item ListIndex.
    bool NoImage();

    // The image list or what it points at changed.
    virtual void LinkChanged();
    // Paints the background on `dc`; false leaves it to the form.
    virtual bool EraseBackground(HDC dc);

    void Loaded() override;
    void HookOwner() override;
    void RestoreOwner() override;
    void WndProc(TMessage& m) override;
    void Change() override;

    TQclPaintEvent OnPaint;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    void InvalidateOwner(bool erase);

private:
    bool defaultFill_ = true;
    TQclPaintMode paintMode_ = TQclPaintMode::pcControl;
    TQclImageLink link_;
};

// Tiles an image of an image list over the form.
class TQclBack : public TQclCustomFormFill {
    TRESKEL_CLASS(TQclBack)
public:
    explicit TQclBack(TComponent* owner) : TQclCustomFormFill(owner) {}
    bool EraseBackground(HDC dc) override;
};

void RegisterFormComponentClasses();

}  // namespace treskel
