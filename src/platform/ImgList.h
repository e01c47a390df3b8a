// Image lists: strips of equal-sized images over the system's image list,
// shared by tree views, tool bars, menus and actions, which follow their
// changes through change links.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Graphics.h"

namespace treskel {

class TCustomImageList;

// A user's registration for the changes of an image list.  It leaves the
// list when it goes, and the list lets it go when the list goes first.
class TChangeLink : public TObject {
    TRESKEL_CLASS(TChangeLink)
public:
    TChangeLink() = default;
    ~TChangeLink() override;
    TCustomImageList* Sender() const { return sender_; }
    // Leaves the old list and registers with the new one (null: none).
    void SetSender(TCustomImageList* list);
    TNotifyEvent OnChange;

private:
    friend class TCustomImageList;
    TCustomImageList* sender_ = nullptr;
};

class TCustomImageList : public TComponent {
    TRESKEL_CLASS(TCustomImageList)
public:
    explicit TCustomImageList(TComponent* owner);
    ~TCustomImageList() override;

    // The system's list, made on first use with the current size.
    HIMAGELIST Handle();
    bool HandleAllocated() const { return static_cast<bool>(handle_); }

    // Changing the size or the masking empties the list: the system keeps
    // images of one size and kind only.
    int Width() const { return width_; }
    void SetWidth(int width);
    int Height() const { return height_; }
    void SetHeight(int height);
    void SetSize(int width, int height);
    bool Masked() const { return masked_; }
    void SetMasked(bool masked);
    // The colour drawn behind the images; clNone: the images are drawn
    // transparently through their masks.
    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor color);

    int Count() const;
    // Adds the images of a bitmap as wide as a whole number of images, with
    // a monochrome mask (white: transparent) or none; returns the first
    // new index.  The caller keeps both bitmaps.
    int Add(TBitmap* image, TBitmap* mask);
    // The same, transparent where the image has `maskColor`.
    int AddMasked(TBitmap* image, TColor maskColor);
    int AddIcon(TIcon* icon);
    void Delete(int index);
    void Clear();

    // Draws an image; a disabled one is drawn embossed in the system's
    // shadow and highlight colours.
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
    // Makes `image` one image's size and draws the image on the list's
    // background colour (white when there is none).
    void GetBitmap(int index, TBitmap* image);

    // Fills the list from a bitmap resource split into Width-wide images;
    // in a masked list the colour of the bitmap's bottom-left pixel is
    // transparent.
    void LoadFromResourceName(HINSTANCE instance, const std::string& name);
    // The bitmap resource a layout names ("Bitmap = 'IMAGELIST1'"); it is
    // loaded once the layout is read, when Width and Height are known.
    std::string BitmapResource() const { return bitmapResource_; }
    void SetBitmapResource(const std::string& name);

    void RegisterChanges(TChangeLink* link);
    void UnRegisterChanges(TChangeLink* link);
    TNotifyEvent OnChange;

    void Loaded() override;

protected:
    virtual void Change();

private:
    void CheckIndex(int index) const;
    void Recreate();
    void DestroyList();
    int AddCopies(HBITMAP image, HBITMAP mask);

    ImageListHandle handle_;
    int width_ = 16;
    int height_ = 16;
    bool masked_ = true;
    TColor bkColor_ = clNone;
    std::string bitmapResource_;
    std::vector<TChangeLink*> links_;
};

class TImageList : public TCustomImageList {
    TRESKEL_CLASS(TImageList)
public:
    explicit TImageList(TComponent* owner) : TCustomImageList(owner) {}
};

// An image list one of whose images can follow the mouse while something
// is dragged, drawn over the windows below without disturbing them.  The
// system shows one such image at a time.
class TDragImageList : public TCustomImageList {
    TRESKEL_CLASS(TDragImageList)
public:
    explicit TDragImageList(TComponent* owner) : TCustomImageList(owner) {}
    ~TDragImageList() override;

    // The image that follows the mouse, and its point under the pointer.
    void SetDragImage(int index, int hotSpotX, int hotSpotY);
    TPoint DragHotspot() const { return hotSpot_; }
    // Shows the image over a window (and its children), with its hot spot
    // at a point of the screen.  It is drawn where the window itself draws,
    // so that what the window paints and the image never fall out of step.
    bool BeginDrag(HWND window, int x, int y);
    bool DragMove(int x, int y);
    // Windows below are painted with the image hidden: shown, it would be
    // painted over, and where it leaves it would put back what was there.
    void HideDragImage();
    void ShowDragImage();
    void EndDrag();
    bool Dragging() const { return dragging_; }

private:
    TPoint InWindow(int x, int y) const;

    HWND window_ = nullptr;
    int dragIndex_ = 0;
    TPoint hotSpot_{0, 0};
    bool dragging_ = false;
    bool shown_ = false;
};

void RegisterImageListClasses();

}  // namespace treskel
