// JPEG pictures: a graphic that decodes a JPEG file into a bitmap and keeps
// the file's bytes, registered as a picture file format.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Graphics.h"

namespace treskel {

class TJPEGImage : public TGraphic {
    TRESKEL_CLASS(TJPEGImage)
public:
    void Assign(TPersistent* source) override;
    bool Empty() const override { return bitmap_.Empty(); }
    int Width() const override { return bitmap_.Width(); }
    int Height() const override { return bitmap_.Height(); }
    // A JPEG picture keeps the size it was decoded at.
    void SetWidth(int) override;
    void SetHeight(int) override;
    void Draw(TCanvas* canvas, const TRect& r) override;
    // Raises EJPEG ("JPEG error #n") for what the decoder refuses.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // The decoded picture.
    TBitmap* Bitmap() { return &bitmap_; }

private:
    TBitmap bitmap_;
    std::vector<uint8_t> data_;
};

// Makes ".jpg", ".jpeg", ".jpe" and ".jfif" files load as JPEG pictures.
void RegisterJpegFileFormat();

}  // namespace treskel
