#include "controls/qclbtnMM.h"

#include "foundation/qclgraphDraw.h"
#include "platform/FormLoader.h"

namespace treskel {

using S = TQclButtonState;

TQclCustomMMButton::TQclCustomMMButton(TComponent* owner)
    : TQclBaseGraphicButton(owner), faceLink_(this, [this] { FaceLinkChanged(nullptr); }) {
    TControlStyle s = ControlStyle();
    s.Include(TControlStyleItem::csOpaque);
    s.Include(TControlStyleItem::csReplicatable);
    SetControlStyle(s);
}

void TQclCustomMMButton::SetButtonFaceStyle(TQclBitmapStyle v) {
    faceStyle_ = v;
    Invalidate();
}

void TQclCustomMMButton::SetForceTransparent(bool v) {
    forceTransparent_ = v;
    Invalidate();
}

void TQclCustomMMButton::SetQuickDraw(bool v) {
    quickDraw_ = v;
    Invalidate();
}

void TQclCustomMMButton::SetFace(TQclButtonState state, int imageIndex, int listIndex) {
    faces_[static_cast<size_t>(state)] = {imageIndex, listIndex};
    Invalidate();
}

void TQclCustomMMButton::SetFaces(const TQclFaceIndexes& faces) {
    faces_ = faces;
    Invalidate();
}

bool TQclCustomMMButton::FaceOf(TQclButtonState state, int& image, int& list) {
    TQclCustomImageList* faces = ButtonFaceImageList();
    if (faces == nullptr) return false;
    for (int s : {static_cast<int>(state), QclFaceFallbackState(static_cast<int>(state))}) {
        image = faces_[s].first;
        list = faces_[s].second;
        if (faces->IsValid(list, image)) return true;
    }
    return false;
}

HPALETTE TQclCustomMMButton::GetPalette() {
    int image = 0, list = 0;
    if (!FaceOf(DrawnState(), image, list)) return nullptr;
    return QclBitmapPalette(ButtonFaceImageList()->ItemBitmap(list), palette_);
}

// Drawn off the screen and copied at once, so that a change of face never
// flickers.
void TQclCustomMMButton::Paint() {
    if (Loading()) return;
    TRect r = ClientRect();
    TQclCustomImageList* faces = ButtonFaceImageList();
    S s = DrawnState();
    int image = 0, list = 0;
    bool hasFace = faces != nullptr && FaceOf(s, image, list);
    if (hasFace && faceStyle_ == TQclBitmapStyle::sbAutosize) {
        int w = faces->ImageSize(list, 0), h = faces->ImageSize(list, 1);
        if (w == 0) w = 20;
        if (h == 0) h = 20;
        if (w != Width() || h != Height()) {
            SetBounds(Left(), Top(), w, h);  // repaints at the new size
            return;
        }
    }
    TBitmap buffer;
    buffer.SetPixelFormat(TPixelFormat::pf24bit);
    buffer.SetSize(Width(), Height());
    TCanvas* b = buffer.Canvas();
    bool parentBack = Transparent() && IsTransparentActive();
    if (parentBack) {
        auto* parent = static_cast<TQclCustomControl*>(Parent());
        parentBack = parent->DrawParentBackground(b, r, 0, Point(parent->Left() + Left(), parent->Top() + Top()));
    }
    if (!parentBack) {
        // Transparent without a background to copy: the face's own
        // transparent colour marks what stays the parent's.
        b->Brush()->SetColor(Transparent() ? faceColor_ : Color());
        b->FillRect(r);
    }
    faceRect_ = {};
    if (hasFace) {
        static constexpr uint16_t kStyleFlags[] = {0, 0, 0x08, 0x10, 0x20, 0x610, 0x210, 0x410};
        uint16_t flags = kStyleFlags[static_cast<int>(faceStyle_)];
        if (!quickDraw_) flags |= 0x1000;
        if (Transparent() || forceTransparent_) flags |= 0x40;
        faces->DrawRect(b, r, list, image, flags, &faceRect_);
    } else if (Designing()) {
        DrawDesignFrame(true);
    }
    TRect text = r;
    if (s == S::bsDown || s == S::bsPushed || s == S::bsDropDown) text = OffsetRect(text, captionDown_, captionDown_);
    DrawGlyphAndCaption(text, b);
    PaletteGuard selected(Canvas()->Handle(), quickDraw_ ? nullptr : GetPalette());
    if (Transparent() && !parentBack) {
        buffer.SetTransparentColor(faceColor_);
        buffer.SetTransparent(true);
    }
    Canvas()->Draw(0, 0, &buffer);
}

bool TQclCustomMMButton::PointInButton(int x, int y) {
    int image = 0, list = 0;
    if (!FaceOf(State(), image, list)) return false;
    if (x < faceRect_.Left || x >= faceRect_.Right || y < faceRect_.Top || y >= faceRect_.Bottom) return false;
    if (!allowTransparency_) return true;
    // The face pixel under the point, the face scaled to where it was drawn.
    TQclCustomImageList* faces = ButtonFaceImageList();
    int w = faces->ImageSize(list, 0), h = faces->ImageSize(list, 1);
    int fx = (x - faceRect_.Left) * w / faceRect_.Width();
    int fy = (y - faceRect_.Top) * h / faceRect_.Height();
    return faces->Pixel(list, image, fx, fy) != faceColor_;
}

void TQclCustomMMButton::Notification(TComponent* component, TOperation operation) {
    TQclBaseGraphicButton::Notification(component, operation);
    if (operation == TOperation::opRemove) faceLink_.Removed(component);
}

namespace {

// Blocks of a wrong length are ignored.
void ReadFaces(TQclCustomMMButton* b, const FormValue& v, bool interleaved) {
    if (v.kind != FormValue::kBinary) return;
    if (auto f = QclReadFaceIndexes(v.bytes, interleaved, b->Faces())) b->SetFaces(*f);
}

void ReadFaceColor(TQclCustomMMButton* b, const FormValue& v) {
    if (v.kind != FormValue::kBinary) return;
    if (auto c = QclReadFaceColor(v.bytes)) b->SetFaceTransparentColor(static_cast<TColor>(*c));
}

}  // namespace

void RegisterMultimediaButtons() {
    using M = TQclCustomMMButton;
    PublishClass<M, TQclBaseGraphicButton>()
        .NotCreatable()
        .Bool("AllowMouseOver", &M::AllowMouseOver, &M::SetAllowMouseOver)
        .Bool("AllowTransparency", &M::AllowTransparency, &M::SetAllowTransparency, true)
        .Custom("ButtonFace", [](M* b, const FormValue& v, LayoutReader& r) {
            // An editor placeholder, or the reference to a global list.
            if (v.kind == FormValue::kString) b->SetButtonFaceImageList(QclReadGlobalListRef(typinfo::AsString(v, r)));
        }, [](M* b) -> std::optional<FormValue> {
            if (!QclIsGlobalList(b->ButtonFaceImageList())) return std::nullopt;
            return FormValue::Str(QclWriteGlobalListRef(b->ButtonFaceImageList()));
        })
        .Ref<TQclCustomImageList>("ButtonFaceImageList", &M::ButtonFaceImageList, &M::SetButtonFaceImageList)
        .Enum<TQclBitmapStyle>("ButtonFaceStyle", &M::ButtonFaceStyle, &M::SetButtonFaceStyle, TQclBitmapStyle::sbNone)
        .Int("CaptionDown", &M::CaptionDown, &M::SetCaptionDown, 1)
        .Bool("ForceTransparent", &M::ForceTransparent, &M::SetForceTransparent, true)
        .Bool("QuickDraw", &M::QuickDraw, &M::SetQuickDraw)
        .Bool("Transparent", &M::Transparent, &M::SetTransparent)
        .Custom("ButtonFaceIndicesNew", [](M* b, const FormValue& v, LayoutReader&) { ReadFaces(b, v, false); },
                [](M* b) -> std::optional<FormValue> { return typinfo::BinaryValue(QclWriteFaceIndexes(b->Faces())); })
        .Custom("ButtonFaceTransColNew", [](M* b, const FormValue& v, LayoutReader&) { ReadFaceColor(b, v); },
                [](M* b) -> std::optional<FormValue> {
                    return typinfo::BinaryValue(QclWriteFaceColor(static_cast<int32_t>(b->FaceTransparentColor())));
                })
        .Custom("ButtonFaceIndices", [](M* b, const FormValue& v, LayoutReader&) { ReadFaces(b, v, true); })
        .Custom("ButtonFaceTransCol", [](M* b, const FormValue& v, LayoutReader&) { ReadFaceColor(b, v); });
    PublishClass<TQclMMButton, M>();
}

}  // namespace treskel
