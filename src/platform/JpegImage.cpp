#include "platform/JpegImage.h"

#include "platform/DibBitmap.h"
#include "platform/JpegCodec.h"

namespace treskel {

void TJPEGImage::Assign(TPersistent* source) {
    if (auto* j = dynamic_cast<TJPEGImage*>(source)) {
        if (j == this) return;
        data_ = j->data_;
        bitmap_.Assign(&j->bitmap_);
        Changed();
        return;
    }
    TGraphic::Assign(source);
}

void TJPEGImage::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }
void TJPEGImage::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }

void TJPEGImage::Draw(TCanvas* canvas, const TRect& r) { bitmap_.Draw(canvas, r); }

void TJPEGImage::LoadFromStream(TStream& stream) {
    const int64_t size = stream.Size() - stream.Position();
    std::vector<uint8_t> data(static_cast<size_t>(size > 0 ? size : 0));
    if (!data.empty()) stream.ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
    TReadOnlyMemoryStream bytes(data.data(), static_cast<int64_t>(data.size()));
    TRasterImage image;
    JpegDecode(bytes, image);
    HBITMAP bmp = CreateBitmapFromRaster(image);
    if (bmp == nullptr) throw EOutOfResources("Out of system resources");
    bitmap_.SetHandle(bmp);
    data_ = std::move(data);
    Changed();
}

void TJPEGImage::SaveToStream(TStream& stream) {
    if (!data_.empty()) stream.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

void RegisterJpegFileFormat() {
    for (const char* ext : {"jpg", "jpeg", "jpe", "jfif"})
        TPicture::RegisterFileFormat(ext, "JPEG Image File", [] { return std::make_unique<TJPEGImage>(); });
}

}  // namespace treskel
