// The containers that hold pictures: bitmap and image-strip items, their
// lists with the image-list interface the controls draw through, the
// container of four lists and the global container whose lists forms
// refer to by signature.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/qclcont.h"
#include "platform/Graphics.h"

namespace treskel {

// Colour count of a stored bitmap: -1 (own format), 2, 16, 256.
int QclPixelFormatColors(TQclSavePixelFormat format);
// Its bit in the item stream's flags byte.
uint8_t QclPixelFormatFlag(TQclSavePixelFormat format);

class TQclBitmapListItem : public TQclListItem {
    TRESKEL_CLASS(TQclBitmapListItem)
public:
    explicit TQclBitmapListItem(TComponent* owner);
    // At run time an empty bitmap is first fetched by the container's
    // storage mode.
    TBitmap* Bitmap();
    TQclSavePixelFormat PixelFormat() const { return pixelFormat_; }
    void SetPixelFormat(TQclSavePixelFormat value);
    void Clear() override { bitmap_.SetHandle(nullptr); }
    bool IsEmpty() const override { return bitmap_.Empty(); }
    uint8_t GetFlags() const override;
    void Assign(TPersistent* source) override;

protected:
    void LoadData(TStream& stream, uint8_t flags) override;
    void SaveData(TStream& stream) override;

private:
    void Fetch();
    TBitmap bitmap_;
    TQclSavePixelFormat pixelFormat_ = TQclSavePixelFormat::spfDefault;
};

// A strip of equal images side by side, with an optional monochrome mask.
class TQclImageListItem : public TQclListItem {
    TRESKEL_CLASS(TQclImageListItem)
public:
    explicit TQclImageListItem(TComponent* owner);
    // Raises EInvalidGraphicOperation "Invalid image size" below 1 x 1.
    TQclImageListItem(TComponent* owner, int width, int height);
    static TQclImageListItem* CreateSize(TComponent* owner, int width, int height) {
        return new TQclImageListItem(owner, width, height);
    }

    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetWidth(int value);
    void SetHeight(int value);
    bool Masked() const { return masked_; }
    void SetMasked(bool value);
    int AllocBy() const { return allocBy_; }
    void SetAllocBy(int value) { allocBy_ = value < 1 ? 1 : value; }
    TQclSavePixelFormat PixelFormat() const { return pixelFormat_; }
    void SetPixelFormat(TQclSavePixelFormat value) { pixelFormat_ = value; }
    int DrawMode() const { return drawMode_; }
    void SetDrawMode(int value) { drawMode_ = value; }
    bool CopyOnly() const { return copyOnly_; }
    void SetCopyOnly(bool value) { copyOnly_ = value; }
    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor value) { backColor_ = value; }
    TColor DitherColor() const { return ditherColor_; }
    void SetDitherColor(TColor value) { ditherColor_ = value; }

    int Count() const { return static_cast<int>(positions_.size()); }
    // Appends the images of `image` (Height high, a multiple of Width
    // wide) and their mask; both null reserves an empty place.  -1 when
    // the bitmap is refused.
    int Add(TBitmap* image, TBitmap* mask);
    void Replace(int index, TBitmap* image, TBitmap* mask);
    void ReplaceMasked(int index, TBitmap* bitmap, TColor maskColor);
    void GetImage(int index, TBitmap* bitmap);
    TColor TransparentColor(int index);
    TBitmap* GetBitmap() { return &image_; }
    TBitmap* GetMaskBitmap() { return masked_ ? &mask_ : nullptr; }
    TRect GetImageRect(int index) const;
    void Draw(TCanvas* canvas, int x, int y, int index);
    void DrawMasked(HDC dc, int x, int y, int index);
    void Reset();

    void Clear() override { Reset(); }
    bool IsEmpty() const override { return positions_.empty(); }
    // The strip always writes its sizes: no data bit, but its pixel format.
    uint8_t GetFlags() const override;
    void Assign(TPersistent* source) override;
    // The older form property "Bitmap": the image count, then the strip and,
    // when masked, the mask strip as bitmap items, for the item's current
    // size.  Read, never written.
    void ReadOldBitmap(TStream& stream);

protected:
    void LoadData(TStream& stream, uint8_t flags) override;
    void SaveData(TStream& stream) override;

private:
    struct Position {
        uint16_t x;
        uint8_t masked;
    };
    void CheckIndex(int index) const;
    int Reserve(int images);
    // `count` images of the strips at the stream, for the item's size.
    void ReadStrips(TStream& stream, int count);
    void DitherImage(TBitmap* bitmap);
    int width_ = 16, height_ = 16, allocBy_ = 4;
    bool masked_ = false, copyOnly_ = false;
    int drawMode_ = 2;
    TColor backColor_ = static_cast<TColor>(0x1FFFFFFF), ditherColor_ = static_cast<TColor>(0x1FFFFFFF);
    TQclSavePixelFormat pixelFormat_ = TQclSavePixelFormat::spfDefault;
    TBitmap image_, mask_;
    std::vector<Position> positions_;
};

// The image-list interface: an item and, for strips, an image in it.
class TQclCustomImageList : public TQclCustomContainer {
    TRESKEL_CLASS(TQclCustomImageList)
public:
    TQclCustomImageList(TComponent* owner, int kind) : TQclCustomContainer(owner, kind) {}
    bool DefaultCompressed() const { return defaultCompressed_; }
    void SetDefaultCompressed(bool value) { defaultCompressed_ = value; }
    TQclSavePixelFormat DefaultPixelFormat() const { return defaultPixelFormat_; }
    void SetDefaultPixelFormat(TQclSavePixelFormat value) { defaultPixelFormat_ = value; }

    virtual TBitmap* ItemBitmap(int item) = 0;
    virtual TRect ImageRect(int item, int image) = 0;
    virtual bool IsValid(int item, int image) = 0;
    virtual bool ImageMasked(int item) { return false; }
    virtual TBitmap* ItemMask(int item) { return nullptr; }
    virtual int ImageCount(int item) = 0;
    TCanvas* ItemCanvas(int item);
    // Selector 0 the width, 1 the height of an image.
    int ImageSize(int item, int selector);
    HBITMAP ItemHandle(int item);
    // 0xFFFFFF for a bad index.
    TColor TransparentColor(int item, int image);
    TColor Pixel(int item, int image, int x, int y);
    void Draw(TCanvas* canvas, int x, int y, int item, int image);
    // `drawn`, when given, receives where the picture went.
    void DrawRect(TCanvas* canvas, const TRect& rect, int item, int image, uint16_t flags, TRect* drawn = nullptr);
    void DrawState(TCanvas* canvas, const TRect& rect, int item, int image, uint16_t flags, TColor color,
                   TRect* drawn = nullptr);
    void CopyImage(int item, int image, TBitmap* bitmap);

protected:
    void AssignSettings(const TQclCustomContainer& source) override;

private:
    bool defaultCompressed_ = false;
    TQclSavePixelFormat defaultPixelFormat_ = TQclSavePixelFormat::spfDefault;
};

class TQclBitmapList : public TQclListOf<TQclCustomImageList, TQclBitmapListItem> {
    TRESKEL_CLASS(TQclBitmapList)
public:
    explicit TQclBitmapList(TComponent* owner) : TQclListOf(owner, ckBitmapList) {}
    TBitmap* ItemBitmap(int item) override;
    TRect ImageRect(int item, int image) override;
    bool IsValid(int item, int image) override;
    int ImageCount(int item) override { return IsValid(item, 0) ? 1 : 0; }
};

class TQclImageList : public TQclListOf<TQclCustomImageList, TQclImageListItem> {
    TRESKEL_CLASS(TQclImageList)
public:
    explicit TQclImageList(TComponent* owner) : TQclListOf(owner, ckImageList) {}
    TBitmap* ItemBitmap(int item) override;
    TRect ImageRect(int item, int image) override;
    bool IsValid(int item, int image) override;
    bool ImageMasked(int item) override;
    TBitmap* ItemMask(int item) override;
    int ImageCount(int item) override;
};

// Four lists in one component.
class TQclContainer : public TQclBaseContainer {
    TRESKEL_CLASS(TQclContainer)
public:
    explicit TQclContainer(TComponent* owner);
    TQclBitmapList* Bitmaps() const { return bitmaps_; }
    TQclImageList* Images() const { return images_; }
    TQclWaveList* Waves() const { return waves_; }
    TQclStringList* Strings() const { return strings_; }
    void Changed(TObject* sender);
    // An item placed inside it in a layout goes to the list of its kind.
    void AdoptItem(TQclListItem* item) override;
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

private:
    TQclBitmapList* bitmaps_;
    TQclImageList* images_;
    TQclWaveList* waves_;
    TQclStringList* strings_;
};

// The container every form can refer to, made on first use and freed when
// the program ends.
TQclContainer* QclGlobalContainer();
// "QCLBML30" for the global bitmap list, "QCLIML30" for the global image
// list, "" for any other list: the text a form stores for the reference.
std::string QclWriteGlobalListRef(const TQclCustomImageList* list);
TQclCustomImageList* QclReadGlobalListRef(const std::string& text);
bool QclIsGlobalList(const TQclCustomImageList* list);

bool QclLoadBitmapFromContainer(const std::string& fileName, int index, TBitmap* bitmap);

// Publishes every container and item for layouts, those of
// RegisterContainerClasses included.
void RegisterPictureContainerClasses();

}  // namespace treskel
