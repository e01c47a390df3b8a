#include "controls/qclextcSEdge.h"

#include "foundation/qclgraphDraw.h"
#include "platform/FormLoader.h"
#include "platform/Register.h"

namespace treskel {

TQclDrawEdge::TQclDrawEdge(TComponent* owner) : TQclBaseGraphicControl(owner) {
    SetBounds(Left(), Top(), 40, 40);
}

void TQclDrawEdge::Paint() {
    UINT flags = 0;
    if (soft_) flags |= BF_SOFT;
    if (filled_) flags |= BF_MIDDLE;
    TCanvas* canvas = Canvas();
    TRect client = ClientRect();
    if (style_ == TQclDrawEdgeStyle::esStandard) {
        QclDrawStdFrame(canvas, client, standardStyle_, static_cast<uint16_t>(flags));
        return;
    }
    static const UINT kEdges[] = {BDR_RAISEDINNER, BDR_RAISEDOUTER, BDR_SUNKENINNER, BDR_SUNKENOUTER,
                                  EDGE_BUMP,       EDGE_ETCHED,     EDGE_RAISED,     EDGE_SUNKEN};
    const UINT edge = kEdges[static_cast<int>(edgeStyle_)];
    if (style_ == TQclDrawEdgeStyle::esEdge) {
        if (frameSides_.Contains(TQclFrameSide::fsBottom)) flags |= BF_BOTTOM;
        if (frameSides_.Contains(TQclFrameSide::fsLeft)) flags |= BF_LEFT;
        if (frameSides_.Contains(TQclFrameSide::fsRight)) flags |= BF_RIGHT;
        if (frameSides_.Contains(TQclFrameSide::fsTop)) flags |= BF_TOP;
    } else {
        static const UINT kDiagonals[] = {BF_DIAGONAL_ENDBOTTOMLEFT, BF_DIAGONAL_ENDBOTTOMRIGHT,
                                          BF_DIAGONAL_ENDTOPLEFT, BF_DIAGONAL_ENDTOPRIGHT};
        flags |= kDiagonals[static_cast<int>(diagonalStyle_)];
    }
    RECT r{client.Left, client.Top, client.Right, client.Bottom};
    DrawEdge(canvas->Handle(), &r, edge, flags);
}

void RegisterDrawEdgeClasses() {
    using E = TQclDrawEdge;
    PublishClass<E, TQclBaseControl> edge;
    PublishConstraints(edge);
    edge.Custom("About", QclIgnoreAbout)
        .Enum<TQclDiagonalStyle>("DiagonalStyle", &E::DiagonalStyle, &E::SetDiagonalStyle,
                                 TQclDiagonalStyle::dsEndBottomLeft)
        .Enum<TQclEdgeStyle>("EdgeStyle", &E::EdgeStyle, &E::SetEdgeStyle, TQclEdgeStyle::etEtched)
        .Bool("Filled", &E::Filled, &E::SetFilled)
        .SetOf<TQclFrameSide>("FrameSides", &E::FrameSides, &E::SetFrameSides, kQclAllFrameSides)
        .Enum<TQclBorderStyle>("StandardStyle", &E::StandardStyle, &E::SetStandardStyle,
                               TQclBorderStyle::lsSingleLowered)
        .Bool("Soft", &E::Soft, &E::SetSoft)
        .Enum<TQclDrawEdgeStyle>("Style", &E::Style, &E::SetStyle, TQclDrawEdgeStyle::esEdge);
}

}  // namespace treskel
