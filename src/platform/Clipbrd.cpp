#include "platform/Clipbrd.h"

#include <cstring>
#include <memory>
#include <vector>

namespace treskel {

namespace {

[[noreturn]] void Unsupported() { throw EClipboardException("Unsupported clipboard format"); }

// A device-dependent copy of a bitmap, as CF_BITMAP expects.
HBITMAP CompatibleCopy(TBitmap* bitmap) {
    int w = bitmap->Width(), h = bitmap->Height();
    WindowDC screen(nullptr);
    GdiHandle<HBITMAP> copy(CreateCompatibleBitmap(screen.Get(), w, h));
    if (!copy) throw EOutOfResources("Out of system resources");
    MemoryDC dst(screen.Get());
    {
        SelectGuard sel(dst.Get(), copy.Get());
        BitBlt(dst.Get(), 0, 0, w, h, bitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    return copy.Release();
}
}  // namespace

TClipboard::TClipboard() : window_([](UINT, WPARAM, LPARAM, LRESULT&) { return false; }) {}

TClipboard::~TClipboard() {
    if (openCount_ > 0) CloseClipboard();
}

void TClipboard::Open() {
    if (openCount_ == 0) {
        // Another program may hold it for a moment.
        HWND owner = window_.Handle();
        bool opened = false;
        for (int attempt = 0; attempt < 20 && !opened; ++attempt) {
            opened = OpenClipboard(owner) != 0;
            if (!opened) Sleep(10);
        }
        if (!opened) throw EClipboardException("Cannot open clipboard");
        emptied_ = false;
    }
    ++openCount_;
}

void TClipboard::Close() {
    if (openCount_ == 0) return;
    if (--openCount_ == 0) CloseClipboard();
}

void TClipboard::Clear() {
    ClipboardScope open(this);
    EmptyClipboard();
    emptied_ = true;
}

bool TClipboard::HasFormat(UINT format) { return IsClipboardFormatAvailable(format) != 0; }

int TClipboard::FormatCount() { return CountClipboardFormats(); }

UINT TClipboard::Formats(int index) {
    ClipboardScope open(this);
    UINT f = 0;
    for (int i = 0; i <= index; ++i) {
        f = EnumClipboardFormats(f);
        if (f == 0) throw EListError(Format("List index out of bounds (%d)", index));
    }
    return f;
}

void TClipboard::SetData(UINT format, HANDLE data) {
    ClipboardScope open(this);
    // The first format of one opening replaces what was there.
    if (!emptied_) {
        EmptyClipboard();
        emptied_ = true;
    }
    if (SetClipboardData(format, data) == nullptr) throw EClipboardException("Cannot set clipboard data");
}

void TClipboard::SetAsHandle(UINT format, HANDLE data) {
    try {
        SetData(format, data);
    } catch (...) {
        // Not taken: it is still ours, and a temporary owner frees it.
        if (format == CF_BITMAP || format == CF_PALETTE || format == CF_DSPBITMAP)
            GdiHandle<HGDIOBJ>{static_cast<HGDIOBJ>(data)};
        else if (format == CF_ENHMETAFILE || format == CF_DSPENHMETAFILE)
            EnhMetaFileHandle{static_cast<HENHMETAFILE>(data)};
        else
            GlobalMemory{static_cast<HGLOBAL>(data)};
        throw;
    }
}

HANDLE TClipboard::GetAsHandle(UINT format) {
    ClipboardScope open(this);
    return GetClipboardData(format);
}

void TClipboard::SetBuffer(UINT format, const void* data, size_t size) {
    GlobalMemory mem(size, GMEM_MOVEABLE | GMEM_DDESHARE);
    {
        GlobalLockGuard lock(mem.Get());
        if (lock.Get() == nullptr) throw EOutOfMemory("Out of memory");
        if (size > 0) std::memcpy(lock.Get(), data, size);
    }
    SetData(format, mem.Get());
    mem.Release();  // the clipboard owns it now
}

std::string TClipboard::GetBuffer(UINT format) {
    ClipboardScope open(this);
    HANDLE h = GetClipboardData(format);
    if (h == nullptr) return std::string();
    GlobalLockGuard lock(h);
    if (lock.Get() == nullptr) return std::string();
    return std::string(static_cast<const char*>(lock.Get()), lock.Size());
}

std::string TClipboard::AsText() {
    ClipboardScope open(this);
    HANDLE h = GetClipboardData(CF_TEXT);
    if (h == nullptr) return std::string();
    GlobalLockGuard lock(h);
    if (lock.Get() == nullptr) return std::string();
    // Stop at the NUL, and never read past the block when it has none.
    const char* p = static_cast<const char*>(lock.Get());
    size_t n = strnlen(p, lock.Size());
    return std::string(p, n);
}

void TClipboard::SetAsText(const std::string& text) {
    std::string t = text.substr(0, text.find('\0'));
    SetBuffer(CF_TEXT, t.c_str(), t.size() + 1);
}

void TClipboard::AssignGraphic(TGraphic* graphic) {
    if (graphic == nullptr || graphic->Empty()) {
        Clear();
        return;
    }
    if (auto* mf = dynamic_cast<TMetafile*>(graphic)) {
        HENHMETAFILE copy = CopyEnhMetaFileA(mf->Handle(), nullptr);
        if (copy == nullptr) throw EOutOfResources("Out of system resources");
        SetAsHandle(CF_ENHMETAFILE, copy);
        return;
    }
    if (auto* bmp = dynamic_cast<TBitmap*>(graphic)) {
        SetAsHandle(CF_BITMAP, CompatibleCopy(bmp));
        return;
    }
    // Any other picture goes as the bitmap it draws.
    TBitmap drawn;
    drawn.Assign(graphic);
    SetAsHandle(CF_BITMAP, CompatibleCopy(&drawn));
}

void TClipboard::Assign(TPersistent* source) {
    if (auto* p = dynamic_cast<TPicture*>(source)) {
        AssignGraphic(p->Graphic());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(source)) {
        AssignGraphic(g);
        return;
    }
    TPersistent::Assign(source);
}

void TClipboard::AssignTo(TPersistent* dest) {
    auto readBitmap = [this](TBitmap* b) {
        ClipboardScope open(this);
        HANDLE h = GetClipboardData(CF_BITMAP);
        if (h == nullptr) Unsupported();
        auto copy = static_cast<HBITMAP>(CopyImage(h, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (copy == nullptr) throw EOutOfResources("Out of system resources");
        b->SetHandle(copy);
    };
    auto readMetafile = [this](TMetafile* m) {
        ClipboardScope open(this);
        HANDLE h = GetClipboardData(CF_ENHMETAFILE);
        if (h == nullptr) Unsupported();
        HENHMETAFILE copy = CopyEnhMetaFileA(static_cast<HENHMETAFILE>(h), nullptr);
        if (copy == nullptr) throw EOutOfResources("Out of system resources");
        m->SetHandle(copy);
    };
    if (auto* b = dynamic_cast<TBitmap*>(dest)) {
        readBitmap(b);
    } else if (auto* m = dynamic_cast<TMetafile*>(dest)) {
        readMetafile(m);
    } else if (auto* p = dynamic_cast<TPicture*>(dest)) {
        if (HasFormat(CF_BITMAP)) {
            TBitmap b;
            readBitmap(&b);
            p->SetGraphic(&b);
        } else if (HasFormat(CF_ENHMETAFILE)) {
            TMetafile m;
            readMetafile(&m);
            p->SetGraphic(&m);
        } else {
            Unsupported();
        }
    } else {
        TPersistent::AssignTo(dest);
    }
}

TClipboard* Clipboard() {
    static std::unique_ptr<TClipboard> clipboard = std::make_unique<TClipboard>();
    return clipboard.get();
}

}  // namespace treskel
