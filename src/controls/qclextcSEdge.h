// The library's edge control: one system edge, a diagonal line or a
// standard frame drawn over its client area.
#pragma once

#include <windows.h>

#include "controls/qclctrlWin.h"

namespace treskel {

enum class TQclDiagonalStyle { dsEndBottomLeft, dsEndBottomRight, dsEndTopLeft, dsEndTopRight };
TRESKEL_ENUM_INFO(TQclDiagonalStyle, "dsEndBottomLeft", "dsEndBottomRight", "dsEndTopLeft", "dsEndTopRight")
enum class TQclDrawEdgeStyle { esEdge, esDiagonal, esStandard };
TRESKEL_ENUM_INFO(TQclDrawEdgeStyle, "esEdge", "esDiagonal", "esStandard")

class TQclDrawEdge : public TQclBaseGraphicControl {
    TRESKEL_CLASS(TQclDrawEdge)
public:
    explicit TQclDrawEdge(TComponent* owner);

    TQclDiagonalStyle DiagonalStyle() const { return diagonalStyle_; }
    void SetDiagonalStyle(TQclDiagonalStyle v) { Store(diagonalStyle_, v); }
    TQclEdgeStyle EdgeStyle() const { return edgeStyle_; }
    void SetEdgeStyle(TQclEdgeStyle v) { Store(edgeStyle_, v); }
    bool Filled() const { return filled_; }
    void SetFilled(bool v) { Store(filled_, v); }
    TQclFrameSides FrameSides() const { return frameSides_; }
    void SetFrameSides(TQclFrameSides v) { Store(frameSides_, v); }
    TQclBorderStyle StandardStyle() const { return standardStyle_; }
    void SetStandardStyle(TQclBorderStyle v) { Store(standardStyle_, v); }
    bool Soft() const { return soft_; }
    void SetSoft(bool v) { Store(soft_, v); }
    TQclDrawEdgeStyle Style() const { return style_; }
    void SetStyle(TQclDrawEdgeStyle v) { Store(style_, v); }

protected:
    void Paint() override;

private:
    template <class T>
    void Store(T& field, T v) {
        if (field == v) return;
        field = v;
        Invalidate();
    }
    TQclDiagonalStyle diagonalStyle_ = TQclDiagonalStyle::dsEndBottomLeft;
    TQclEdgeStyle edgeStyle_ = TQclEdgeStyle::etEtched;
    bool filled_ = false;
    TQclFrameSides frameSides_ = kQclAllFrameSides;
    TQclBorderStyle standardStyle_ = TQclBorderStyle::lsSingleLowered;
    bool soft_ = false;
    TQclDrawEdgeStyle style_ = TQclDrawEdgeStyle::esEdge;
};

void RegisterDrawEdgeClasses();

}  // namespace treskel
