// Image acquisition: one connection to the system's source manager
// (TWAIN_32.DLL), loaded on demand, that lets the user choose a scanner or
// camera and acquires its images as device-independent bitmaps (global
// memory holding a bitmap header, colour table and pixels).  A flat
// interface: one global state, zero-terminated strings, Boolean results as
// integers, and images that the receiver frees with TWAIN_FreeDib.
#pragma once

#include <windows.h>

#include <cstdint>

namespace treskel {

class TBitmap;

// Called after each image stored in the image list, with its index.
using TwainImageCallback = void(WINAPI*)(HANDLE dib, int index);

// Most images one acquisition keeps; further ones are freed at once.
inline constexpr int kTwainMaxImages = 999;

// ---- what the main window uses
// The manager's source-selection dialog; nonzero when a source was chosen.
int WINAPI TWAIN_SelectImageSource(HWND wnd);
// A whole acquisition from the default source, with its own user interface
// unless hidden; the window (0 or invalid: a proxy window of our own) is
// disabled meanwhile.  `pixelTypeMask` (bit n allows pixel type n; 0 asks
// for nothing) narrows the source's pixel types.  Returns the last image
// received, or 0.
HANDLE WINAPI TWAIN_AcquireImages(HWND wnd, unsigned pixelTypeMask);
// Images of the last acquisition, in arrival order; 0 out of range.
int WINAPI TWAIN_ImageCount();
HANDLE WINAPI TWAIN_GetImage(int index);
void WINAPI TWAIN_FreeDib(HANDLE dib);
// Sizes the bitmap to the image and draws the image into it.  Raises
// EInvalidGraphic, saying why, for an image whose block does not hold what
// its header claims or that is larger than a picture may be, before the
// bitmap is touched.
void WINAPI CopyDibToBitmap(HANDLE dib, TBitmap* bitmap);

// ---- acquisition to a file or the clipboard
// Each writes or hands on the last image of the acquisition and frees the
// others; the image list is then empty.
// 0 done, -1 nothing acquired or saving cancelled, -2 file not opened,
// -3 image not locked, -4 not written.
int WINAPI TWAIN_AcquireToFile(HWND wnd, const char* fileName);
// 1 when the image was put on the clipboard (as CF_DIB, which then owns it).
int WINAPI TWAIN_AcquireIntoClipboard(HWND wnd, unsigned pixelTypeMask);

// ---- images as bitmap files and on a device
// Writes a .bmp file (an empty name asks with the save dialog); the image
// is left as it was.  Results as TWAIN_AcquireToFile.
int WINAPI TWAIN_WriteDibToFile(HANDLE dib, const char* fileName);
// Reads a .bmp file (an empty name asks with the open dialog), checked
// whole; a new image, or 0.
HANDLE WINAPI TWAIN_ReadDibFile(const char* fileName);
int WINAPI TWAIN_DibWidth(HANDLE dib);
int WINAPI TWAIN_DibHeight(HANDLE dib);
int WINAPI TWAIN_DibBitCount(HANDLE dib);
int WINAPI TWAIN_DibColorCount(HANDLE dib);
// A palette of the image's colour table (a default one without); the
// caller deletes it.
HPALETTE WINAPI TWAIN_DibToPalette(HANDLE dib);
// Draws the image unscaled: (sx, sy) of the image at (x, y), w x h pixels.
void WINAPI TWAIN_DrawDibToDC(HDC dc, int x, int y, int w, int h, HANDLE dib, int sx, int sy);

// ---- the connection and its settings
int WINAPI TWAIN_ManagerPresent();
int WINAPI TWAIN_LibraryVersion();
int WINAPI TWAIN_CurrentState();
int WINAPI TWAIN_UserInterfaceHidden();
void WINAPI TWAIN_HideUserInterface(int hide);
void WINAPI TWAIN_SetImageCallback(TwainImageCallback callback);
void WINAPI TWAIN_ClearImageCallback();
// The identity this program gives the manager and its sources.
void WINAPI TWAIN_SetAppIdentity(int majorNum, int minorNum, int language, int country, const char* info,
                                 const char* manufacturer, const char* family, const char* product);

// ---- capabilities (with a source open)
int WINAPI TWAIN_SetTransferCount(int16_t count);
int WINAPI TWAIN_SetUnitsValue(uint16_t units);
int WINAPI TWAIN_SetBitDepthValue(uint16_t depth);
int WINAPI TWAIN_SetPixelTypeValue(uint16_t pixelType);
int WINAPI TWAIN_GetUnitsValue();
int WINAPI TWAIN_GetBitDepthValue();
int WINAPI TWAIN_GetPixelTypeValue();
int WINAPI TWAIN_SetCapOneValue(unsigned cap, unsigned itemType, uint32_t value);
// Copies the capability's current value (of a compatible item type) to
// `dest`, which must hold an item of that type.
int WINAPI TWAIN_GetCapabilityCurrent(unsigned cap, unsigned itemType, void* dest);
int WINAPI TWAIN_NegotiatePixelTypes(unsigned pixelTypeMask);

// ---- single steps of the connection's states (1 to 7)
int WINAPI TWAIN_LoadSourceManager();
int WINAPI TWAIN_OpenSourceManager(HWND wnd);
int WINAPI TWAIN_OpenDefaultSource();
int WINAPI TWAIN_EnableSource(HWND wnd);
int WINAPI TWAIN_DisableSource();
int WINAPI TWAIN_CloseSource();
int WINAPI TWAIN_CloseSourceManager(HWND wnd);
int WINAPI TWAIN_UnloadSourceManager();

// ---- events and transfers
// Runs messages until an image arrives, the source closes or the program
// is asked to quit (the quit request is posted again for the caller).
void WINAPI TWAIN_ModalEventLoop();
// Hands a message to the open source; nonzero when it was the source's.
int WINAPI TWAIN_MessageHook(MSG* msg);
void WINAPI TWAIN_TransferImages();
int WINAPI TWAIN_TransferOneImage();
int WINAPI TWAIN_FinishTransfer();

uint16_t WINAPI TWAIN_LastResultCode();
uint16_t WINAPI TWAIN_LastConditionCode();
// Boxes captioned "TWAIN Error".
void WINAPI TWAIN_ErrorBox(const char* text);
// The caller's text, and the first failure of the last acquisition with
// its codes when there was one.
void WINAPI TWAIN_ReportLastError(const char* text);

}  // namespace treskel
