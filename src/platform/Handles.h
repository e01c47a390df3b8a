// Every handle the program holds from the system lives in one owning
// template, `UniqueHandle<Traits>`; the traits say what an empty handle is
// and how one is given back.  Traits may carry what the release needs (the
// window of a DC from GetDC), as a deleter does.  Nothing else calls the
// release functions named here.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <utility>

namespace treskel {

template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h, Traits traits = Traits()) : h_(h), traits_(std::move(traits)) {}
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.Release()), traits_(std::move(o.traits_)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) {
            Reset();
            traits_ = std::move(o.traits_);
            h_ = o.Release();
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    Handle Get() const { return h_; }
    explicit operator bool() const { return h_ != Handle(); }
    // Gives up ownership without releasing.
    Handle Release() {
        Handle h = h_;
        h_ = Handle();
        return h;
    }
    // Releases the held handle (unless it is `h` itself) and holds `h`.
    void Reset(Handle h = Handle()) {
        // Forgotten before it is released: a release may come back here.
        Handle old = h_;
        h_ = h;
        if (old != Handle() && old != h) traits_.Close(old);
    }
    // The out-parameter of a call that hands over a handle.
    Handle* Put() {
        Reset();
        return &h_;
    }
    const Traits& GetTraits() const { return traits_; }

private:
    Handle h_ = Handle();
    [[no_unique_address]] Traits traits_;
};

// ----------------------------------------------------------------- traits

template <class H>
struct GdiObjectTraits {
    using Handle = H;
    void Close(H h) const { DeleteObject(h); }
};

struct WindowDCTraits {
    using Handle = HDC;
    HWND Wnd = nullptr;
    void Close(HDC dc) const { ReleaseDC(Wnd, dc); }
};

struct DeleteDCTraits {
    using Handle = HDC;
    void Close(HDC dc) const { DeleteDC(dc); }
};

struct PaintDCTraits {
    using Handle = HDC;
    HWND Wnd = nullptr;
    const PAINTSTRUCT* Paint = nullptr;
    void Close(HDC) const { EndPaint(Wnd, Paint); }
};

// Predefined root keys are never closed.
struct RegKeyTraits {
    using Handle = HKEY;
    void Close(HKEY key) const {
        // The predefined roots are small constants with the high bit set.
        auto v = reinterpret_cast<ULONG_PTR>(key);
        if ((v & 0x80000000u) == 0 || v > 0x80000006u) RegCloseKey(key);
    }
};

struct ModuleTraits {
    using Handle = HMODULE;
    void Close(HMODULE m) const { FreeLibrary(m); }
};

struct GlobalMemoryTraits {
    using Handle = HGLOBAL;
    void Close(HGLOBAL h) const { GlobalFree(h); }
};

struct LocalMemoryTraits {
    using Handle = HLOCAL;
    void Close(HLOCAL h) const { LocalFree(h); }
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    void Close(HANDLE h) const {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

struct MetaFileTraits {
    using Handle = HMETAFILE;
    void Close(HMETAFILE h) const { DeleteMetaFile(h); }
};

struct CoTaskMemTraits {
    using Handle = void*;
    void Close(void* p) const { CoTaskMemFree(p); }
};

struct IconTraits {
    using Handle = HICON;
    void Close(HICON h) const { DestroyIcon(h); }
};

struct EnhMetaFileTraits {
    using Handle = HENHMETAFILE;
    void Close(HENHMETAFILE h) const { DeleteEnhMetaFile(h); }
};

struct MenuTraits {
    using Handle = HMENU;
    void Close(HMENU h) const { DestroyMenu(h); }
};

struct ImageListTraits {
    using Handle = HIMAGELIST;
    void Close(HIMAGELIST h) const { ImageList_Destroy(h); }
};

struct WindowTraits {
    using Handle = HWND;
    void Close(HWND h) const { DestroyWindow(h); }
};

struct WindowsHookTraits {
    using Handle = HHOOK;
    void Close(HHOOK h) const { UnhookWindowsHookEx(h); }
};

template <class T>
struct ComTraits {
    using Handle = T*;
    void Close(T* p) const { p->Release(); }
};

// ----------------------------------------------------------------- names

template <class H>
using GdiHandle = UniqueHandle<GdiObjectTraits<H>>;
// A DC from CreateDC or CreateCompatibleDC.
using OwnedDC = UniqueHandle<DeleteDCTraits>;
using RegKeyHandle = UniqueHandle<RegKeyTraits>;
using ModuleHandle = UniqueHandle<ModuleTraits>;
using LocalMemory = UniqueHandle<LocalMemoryTraits>;
using KernelHandle = UniqueHandle<KernelHandleTraits>;
using MetaFileHandle = UniqueHandle<MetaFileTraits>;
using CoTaskMemory = UniqueHandle<CoTaskMemTraits>;
using IconHandle = UniqueHandle<IconTraits>;
using EnhMetaFileHandle = UniqueHandle<EnhMetaFileTraits>;
using MenuHandle = UniqueHandle<MenuTraits>;
using ImageListHandle = UniqueHandle<ImageListTraits>;
using HookHandle = UniqueHandle<WindowsHookTraits>;
// A window that no control owns.
using WindowHandle = UniqueHandle<WindowTraits>;

// A device context from GetDC (or GetDCEx), released when it goes.
class WindowDC : public UniqueHandle<WindowDCTraits> {
public:
    WindowDC() = default;
    explicit WindowDC(HWND wnd) : UniqueHandle(GetDC(wnd), WindowDCTraits{wnd}) {}
    WindowDC(HWND wnd, DWORD flags) : UniqueHandle(GetDCEx(wnd, nullptr, flags), WindowDCTraits{wnd}) {}
    // The DC of the whole window, frame included (GetWindowDC).
    static WindowDC WholeWindow(HWND wnd) {
        WindowDC dc;
        static_cast<UniqueHandle&>(dc) = UniqueHandle(GetWindowDC(wnd), WindowDCTraits{wnd});
        return dc;
    }
    HWND Wnd() const { return GetTraits().Wnd; }
};

// A memory device context, deleted when it goes.
class MemoryDC : public UniqueHandle<DeleteDCTraits> {
public:
    explicit MemoryDC(HDC compatible = nullptr) : UniqueHandle(CreateCompatibleDC(compatible)) {}
};

// BeginPaint for a scope; EndPaint when it goes.
class PaintDC {
public:
    explicit PaintDC(HWND wnd) : dc_(BeginPaint(wnd, &ps_), PaintDCTraits{wnd, &ps_}) {}
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC Get() const { return dc_.Get(); }
    const PAINTSTRUCT& Paint() const { return ps_; }

private:
    PAINTSTRUCT ps_{};
    UniqueHandle<PaintDCTraits> dc_;
};

// Owns a block of global memory until it is handed to the system.
class GlobalMemory : public UniqueHandle<GlobalMemoryTraits> {
public:
    GlobalMemory() = default;
    explicit GlobalMemory(HGLOBAL h) : UniqueHandle(h) {}
    // Allocates `size` bytes; raises EOutOfMemory on failure.
    explicit GlobalMemory(size_t size, UINT flags = GMEM_MOVEABLE);
};

// Locks global memory for a scope.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL h) : h_(h), p_(h != nullptr ? GlobalLock(h) : nullptr) {}
    ~GlobalLockGuard() {
        if (p_ != nullptr) GlobalUnlock(h_);
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    void* Get() const { return p_; }
    size_t Size() const { return p_ != nullptr ? GlobalSize(h_) : 0; }

private:
    HGLOBAL h_;
    void* p_;
};

// Selects an object into a DC for a scope.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj != nullptr ? SelectObject(dc, obj) : nullptr) {}
    ~SelectGuard() {
        if (old_ != nullptr) SelectObject(dc_, old_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Sets the background and text colours of a DC for a scope (the colours a
// one-bit source and a pattern brush take).
class DCColours {
public:
    DCColours(HDC dc, COLORREF bk, COLORREF text)
        : dc_(dc), oldBk_(SetBkColor(dc, bk)), oldText_(SetTextColor(dc, text)) {}
    ~DCColours() {
        SetBkColor(dc_, oldBk_);
        SetTextColor(dc_, oldText_);
    }
    DCColours(const DCColours&) = delete;
    DCColours& operator=(const DCColours&) = delete;

private:
    HDC dc_;
    COLORREF oldBk_, oldText_;
};

// Selects a palette into a DC for a scope and realises it, as the
// foreground palette unless `background`; the old one comes back when the
// scope ends, so that the palette can then be deleted.  No palette: nothing.
class PaletteGuard {
public:
    PaletteGuard(HDC dc, HPALETTE palette, bool background = false)
        : dc_(dc), background_(background), old_(palette != nullptr ? SelectPalette(dc, palette, background) : nullptr) {
        if (palette != nullptr) realized_ = RealizePalette(dc);
    }
    ~PaletteGuard() {
        if (old_ != nullptr) SelectPalette(dc_, old_, background_);
    }
    PaletteGuard(const PaletteGuard&) = delete;
    PaletteGuard& operator=(const PaletteGuard&) = delete;
    // The entries of the system's palette that realising it changed.
    UINT Realized() const { return realized_; }

private:
    HDC dc_;
    bool background_;
    HPALETTE old_;
    UINT realized_ = 0;
};

// One COM reference; copies share it (add one).
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller holds.
    explicit ComPtr(T* p) : ref_(p) {}
    ComPtr(const ComPtr& o) : ref_(AddRef(o.Get())) {}
    ComPtr(ComPtr&& o) noexcept = default;
    ComPtr& operator=(ComPtr o) noexcept {
        ref_ = std::move(o.ref_);
        return *this;
    }
    // Shares a reference (adds one).
    static ComPtr Share(T* p) { return ComPtr(AddRef(p)); }
    T* Get() const { return ref_.Get(); }
    T* operator->() const { return ref_.Get(); }
    explicit operator bool() const { return static_cast<bool>(ref_); }
    T** Put() { return ref_.Put(); }
    void Reset() { ref_.Reset(); }
    T* Detach() { return ref_.Release(); }
    template <class U>
    ComPtr<U> As(REFIID iid) const {
        ComPtr<U> u;
        if (Get() != nullptr) Get()->QueryInterface(iid, reinterpret_cast<void**>(u.Put()));
        return u;
    }

private:
    static T* AddRef(T* p) {
        if (p != nullptr) p->AddRef();
        return p;
    }
    UniqueHandle<ComTraits<T>> ref_;
};

}  // namespace treskel
