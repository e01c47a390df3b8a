// Bitmap items: the bitmap's own file image or one of a chosen colour
// count, plain or compressed.
#include <windows.h>

#include "foundation/qclgraphDib.h"
#include "foundation/qclprocs.h"

namespace treskel {

void QclWriteBitmap(TStream& stream, TBitmap& bitmap, bool compressed, int depth) {
    if (depth == -1) {
        TMemoryStream image;
        bitmap.SaveToStream(image);
        QclWriteItemData(stream, image, compressed);
    } else if (compressed) {
        TMemoryStream image;
        QclSaveBitmapToStream(image, bitmap, depth);
        QclWriteItemData(stream, image, true);
    } else {
        QclWriteBitmapImage(stream, bitmap.Handle(), nullptr, true, depth);
    }
}

void QclReadBitmap(TStream& stream, TBitmap& bitmap, bool compressed) {
    TMemoryStream image;
    QclReadItemData(stream, image, compressed);
    bitmap.LoadFromStream(image);
}

}  // namespace treskel
