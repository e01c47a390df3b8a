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

void TQclCustomMMButton::Paint() {
    if (Loading()) return;
    TRect r = ClientRect();
    TQclCustomImageList* faces = ButtonFaceImageList();
    // Transparent: the parent has painted what lies under the button.
    if (!Transparent()) {
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(r);
    }
    faceRect_ = {};
    int image = 0, list = 0;
    if (faces != nullptr && FaceOf(DrawnState(), image, list)) {
        if (faceStyle_ == TQclBitmapStyle::sbAutosize) {
            int w = faces->ImageSize(list, 0), h = faces->ImageSize(list, 1);
            if (w == 0) w = 20;
            if (h == 0) h = 20;
            if (w != Width() || h != Height()) {
                SetBounds(Left(), Top(), w, h);  // repaints at the new size
                return;
            }
        }
        static constexpr uint16_t kStyleFlags[] = {0, 0, 0x08, 0x10, 0x20, 0x610, 0x210, 0x410};
        uint16_t flags = kStyleFlags[static_cast<int>(faceStyle_)];
        if (!quickDraw_) flags |= 0x1000;
        if (Transparent() || forceTransparent_) flags |= 0x40;
        faces->DrawRect(Canvas(), r, list, image, flags, &faceRect_);
    }
    S s = DrawnState();
    if (s == S::bsDown || s == S::bsPushed || s == S::bsDropDown) r = OffsetRect(r, captionDown_, captionDown_);
    DrawGlyphAndCaption(r);
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

FormValue Bytes(std::vector<uint8_t> b) {
    FormValue v;
    v.kind = FormValue::kBinary;
    v.bytes = std::move(b);
    return v;
}

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
                [](M* b) -> std::optional<FormValue> { return Bytes(QclWriteFaceIndexes(b->Faces())); })
        .Custom("ButtonFaceTransColNew", [](M* b, const FormValue& v, LayoutReader&) { ReadFaceColor(b, v); },
                [](M* b) -> std::optional<FormValue> {
                    return Bytes(QclWriteFaceColor(static_cast<int32_t>(b->FaceTransparentColor())));
                })
        .Custom("ButtonFaceIndices", [](M* b, const FormValue& v, LayoutReader&) { ReadFaces(b, v, true); })
        .Custom("ButtonFaceTransCol", [](M* b, const FormValue& v, LayoutReader&) { ReadFaceColor(b, v); });
    PublishClass<TQclMMButton, M>();
}

}  // namespace treskel
