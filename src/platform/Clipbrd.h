// The system clipboard: text, bitmaps, enhanced metafiles and raw handles
// of any format (registered ones included).
#pragma once

#include <windows.h>

#include <string>

#include "platform/Classes.h"
#include "platform/Graphics.h"
#include "platform/UtilityWindow.h"

namespace treskel {

TRESKEL_EXCEPTION(EClipboardException, Exception);

class TClipboard : public TPersistent {
    TRESKEL_CLASS(TClipboard)
public:
    TClipboard();
    ~TClipboard() override;

    // Opens the clipboard for several operations in a row; calls nest.
    // Raises EClipboardException when another program holds it.
    void Open();
    void Close();
    // Empties the clipboard.
    void Clear();
    bool HasFormat(UINT format);
    int FormatCount();
    UINT Formats(int index);

    // CF_TEXT: the text up to its first NUL.
    std::string AsText();
    void SetAsText(const std::string& text);

    // Puts a bitmap (CF_BITMAP), an enhanced metafile (CF_ENHMETAFILE), a
    // picture (in its graphic's format; other graphics as a bitmap) on the
    // clipboard; the clipboard gets a copy.
    void Assign(TPersistent* source) override;

    // Hands `data` (global memory or a GDI handle, as the format wants) to
    // the clipboard, which owns it from then on.
    void SetAsHandle(UINT format, HANDLE data);
    // The clipboard's own handle of a format (null when absent); valid
    // until the clipboard changes, so copy what is needed.
    HANDLE GetAsHandle(UINT format);
    // Raw bytes of a global-memory format.
    void SetBuffer(UINT format, const void* data, size_t size);
    std::string GetBuffer(UINT format);

protected:
    // Reads the clipboard into a bitmap, metafile or picture.
    void AssignTo(TPersistent* dest) override;

private:
    // Puts `data` there while the clipboard is open, emptying it first
    // when this is the first format of this opening.
    void SetData(UINT format, HANDLE data);
    void AssignGraphic(TGraphic* graphic);
    UtilityWindow window_;
    int openCount_ = 0;
    bool emptied_ = false;
};

// The program's clipboard object.
TClipboard* Clipboard();

// The clipboard open for a scope, for several operations in a row; closed
// however the scope ends.
class ClipboardScope {
public:
    explicit ClipboardScope(TClipboard* c = Clipboard()) : c_(c) { c_->Open(); }
    ~ClipboardScope() { c_->Close(); }
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;

private:
    TClipboard* c_;
};

}  // namespace treskel
