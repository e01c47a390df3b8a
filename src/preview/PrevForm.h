// The preview window: the recorded pages of a preview printer, one or two
// at a time, at a chosen zoom, with a grid, zoom and hand tools and page
// navigation.
#pragma once

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/ListCtrls.h"
#include "platform/ScrollBox.h"
#include "platform/StdCtrls.h"
#include "preview/PrevPrinter.h"
#include "winutil/WuCtrls.h"

namespace treskel {

inline constexpr TCursor crPreviewZoom = 40, crPreviewHand = 41;

class TPreviewForm : public TForm {
    TRESKEL_CLASS(TPreviewForm)
public:
    explicit TPreviewForm(TComponent* owner) : TForm(owner) {}
    ~TPreviewForm() override;
    // The hint handler goes back before the controls go: each one's end
    // may change the hint, which the form's handler shows in a label.
    void BeforeDestruction() override;

    TPanel* ToolPanel = nullptr;
    TButton* PrintBut = nullptr;
    TWuSpeedButton *PrevPageBut = nullptr, *NextPageBut = nullptr;
    TComboBox* ZoomBox = nullptr;
    TWuSpeedButton *FitPageBut = nullptr, *FitWidthBut = nullptr, *GridBut = nullptr;
    TWuSpeedButton *ZoomCursorBut = nullptr, *HandCursorBut = nullptr, *OnePageBut = nullptr, *TwoPageBut = nullptr;
    TWuSpeedButton* AboutBut = nullptr;  // hidden
    TButton* CloseBut = nullptr;
    TPanel* StatusPanel = nullptr;
    TWuSpeedButton *FirstPageSpeed = nullptr, *PrevPageSpeed = nullptr, *NextPageSpeed = nullptr,
                   *LastPageSpeed = nullptr, *PageNumSpeed = nullptr;
    TLabel *CurPageLabel = nullptr, *ZoomLabel = nullptr, *HintLabel = nullptr;
    TScrollBox* ScrollBox1 = nullptr;
    TPanel *ContainPanel = nullptr, *PagePanel = nullptr, *PagePanel2 = nullptr;
    TPaintBox *PB1 = nullptr, *PB2 = nullptr;

    void SetPrinter(TPreviewPrinter* printer);
    int CurrentPage() const { return current_; }
    double Zoom() const { return zoom_; }
    void SetPage(int n);
    void UpdateButtons();
    void Layout();

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void ScrollBox1Resize(TObject* Sender);
    void PrintButClick(TObject* Sender);
    void NextPageClick(TObject* Sender);
    void PrevPageClick(TObject* Sender);
    void FirstPageClick(TObject* Sender);
    void LastPageClick(TObject* Sender);
    void PageNumSpeedClick(TObject* Sender);
    void ZoomBoxChange(TObject* Sender);
    void FitPageButClick(TObject* Sender);
    void FitWidthButClick(TObject* Sender);
    void GridButClick(TObject* Sender);
    void ZoomCursorButClick(TObject* Sender);
    void HandCursorButClick(TObject* Sender);
    void OnePageButClick(TObject* Sender);
    void OnePageButMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void TwoPageButClick(TObject* Sender);
    void CloseButClick(TObject* Sender);
    void PB1Paint(TObject* Sender);
    void PB2Paint(TObject* Sender);
    void PBMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void PBMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void PBMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

private:
    void PaintPage(TPaintBox* box, int page);
    void RestoreHintHandler();
    void Relayout();
    TPreviewPrinter* printer_ = nullptr;
    int current_ = 0;
    double zoom_ = 1.0;
    TPoint press_{0, 0};
    bool dragging_ = false;
    TNotifyEvent savedHint_;
    bool hintInstalled_ = false;
};

// The preview window for `printer`, laid out and ready to show.
OwnedPtr<TPreviewForm> CreatePreviewForm(TPreviewPrinter* printer);

}  // namespace treskel
