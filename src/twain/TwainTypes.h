// The records, codes and entry points of the image-acquisition protocol
// (version 1.6) that the source manager and its data sources speak: the
// records are packed to two bytes, as the protocol lays them out, and their
// sizes are checked here.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace treskel::twain {

using TW_INT8 = int8_t;
using TW_INT16 = int16_t;
using TW_INT32 = int32_t;
using TW_UINT8 = uint8_t;
using TW_UINT16 = uint16_t;
using TW_UINT32 = uint32_t;
using TW_BOOL = uint16_t;
using TW_HANDLE = HANDLE;
using TW_MEMREF = void*;
using TW_STR32 = char[34];
using TW_STR64 = char[66];
using TW_STR128 = char[130];
using TW_STR255 = char[256];

#pragma pack(push, 2)

struct TW_FIX32 {
    TW_INT16 Whole;
    TW_UINT16 Frac;
};

struct TW_FRAME {
    TW_FIX32 Left, Top, Right, Bottom;
};

struct TW_VERSION {
    TW_UINT16 MajorNum;
    TW_UINT16 MinorNum;
    TW_UINT16 Language;
    TW_UINT16 Country;
    TW_STR32 Info;
};

struct TW_IDENTITY {
    TW_UINT32 Id;
    TW_VERSION Version;
    TW_UINT16 ProtocolMajor;
    TW_UINT16 ProtocolMinor;
    TW_UINT32 SupportedGroups;
    TW_STR32 Manufacturer;
    TW_STR32 ProductFamily;
    TW_STR32 ProductName;
};

struct TW_USERINTERFACE {
    TW_BOOL ShowUI;
    TW_BOOL ModalUI;
    TW_HANDLE hParent;
};

struct TW_EVENT {
    TW_MEMREF pEvent;  // the application's MSG
    TW_UINT16 TWMessage;
};

struct TW_PENDINGXFERS {
    TW_UINT16 Count;
    TW_UINT32 Reserved;
};

struct TW_CAPABILITY {
    TW_UINT16 Cap;
    TW_UINT16 ConType;
    TW_HANDLE hContainer;
};

struct TW_STATUS {
    TW_UINT16 ConditionCode;
    TW_UINT16 Reserved;
};

struct TW_ONEVALUE {
    TW_UINT16 ItemType;
    TW_UINT32 Item;
};

struct TW_ARRAY {
    TW_UINT16 ItemType;
    TW_UINT32 NumItems;
    TW_UINT8 ItemList[1];
};

struct TW_ENUMERATION {
    TW_UINT16 ItemType;
    TW_UINT32 NumItems;
    TW_UINT32 CurrentIndex;
    TW_UINT32 DefaultIndex;
    TW_UINT8 ItemList[1];
};

struct TW_IMAGEINFO {
    TW_FIX32 XResolution;
    TW_FIX32 YResolution;
    TW_INT32 ImageWidth;
    TW_INT32 ImageLength;
    TW_INT16 SamplesPerPixel;
    TW_INT16 BitsPerSample[8];
    TW_INT16 BitsPerPixel;
    TW_BOOL Planar;
    TW_INT16 PixelType;
    TW_UINT16 Compression;
};

#pragma pack(pop)

static_assert(sizeof(TW_FIX32) == 4);
static_assert(sizeof(TW_FRAME) == 16);
static_assert(sizeof(TW_VERSION) == 42);
static_assert(sizeof(TW_IDENTITY) == 156);
static_assert(sizeof(TW_USERINTERFACE) == 8);
static_assert(sizeof(TW_EVENT) == 6);
static_assert(sizeof(TW_PENDINGXFERS) == 6);
static_assert(sizeof(TW_CAPABILITY) == 8);
static_assert(sizeof(TW_STATUS) == 4);
static_assert(sizeof(TW_ONEVALUE) == 6);
static_assert(offsetof(TW_ARRAY, ItemList) == 6);
static_assert(offsetof(TW_ENUMERATION, ItemList) == 14);
static_assert(sizeof(TW_IMAGEINFO) == 42);

// Data groups.
inline constexpr TW_UINT32 DG_CONTROL = 0x0001, DG_IMAGE = 0x0002;

// Data argument types.
inline constexpr TW_UINT16 DAT_NULL = 0x0000, DAT_CAPABILITY = 0x0001, DAT_EVENT = 0x0002, DAT_IDENTITY = 0x0003,
                           DAT_PARENT = 0x0004, DAT_PENDINGXFERS = 0x0005, DAT_STATUS = 0x0008,
                           DAT_USERINTERFACE = 0x0009, DAT_IMAGEINFO = 0x0101, DAT_IMAGENATIVEXFER = 0x0104;

// Messages.
inline constexpr TW_UINT16 MSG_NULL = 0x0000, MSG_GET = 0x0001, MSG_GETCURRENT = 0x0002, MSG_GETDEFAULT = 0x0003,
                           MSG_GETFIRST = 0x0004, MSG_GETNEXT = 0x0005, MSG_SET = 0x0006, MSG_RESET = 0x0007,
                           MSG_XFERREADY = 0x0101, MSG_CLOSEDSREQ = 0x0102, MSG_CLOSEDSOK = 0x0103,
                           MSG_OPENDSM = 0x0301, MSG_CLOSEDSM = 0x0302, MSG_OPENDS = 0x0401, MSG_CLOSEDS = 0x0402,
                           MSG_USERSELECT = 0x0403, MSG_DISABLEDS = 0x0501, MSG_ENABLEDS = 0x0502,
                           MSG_PROCESSEVENT = 0x0601, MSG_ENDXFER = 0x0701;

// Return codes.
inline constexpr TW_UINT16 TWRC_SUCCESS = 0, TWRC_FAILURE = 1, TWRC_CHECKSTATUS = 2, TWRC_CANCEL = 3,
                           TWRC_DSEVENT = 4, TWRC_NOTDSEVENT = 5, TWRC_XFERDONE = 6, TWRC_ENDOFLIST = 7;

// Condition codes.
inline constexpr TW_UINT16 TWCC_SUCCESS = 0, TWCC_BUMMER = 1, TWCC_LOWMEMORY = 2, TWCC_NODS = 3,
                           TWCC_OPERATIONERROR = 5, TWCC_BADCAP = 6, TWCC_BADPROTOCOL = 9, TWCC_BADVALUE = 10,
                           TWCC_SEQERROR = 11;

// Container types.
inline constexpr TW_UINT16 TWON_ARRAY = 3, TWON_ENUMERATION = 4, TWON_ONEVALUE = 5, TWON_RANGE = 6;

// Item types.
inline constexpr TW_UINT16 TWTY_INT8 = 0, TWTY_INT16 = 1, TWTY_INT32 = 2, TWTY_UINT8 = 3, TWTY_UINT16 = 4,
                           TWTY_UINT32 = 5, TWTY_BOOL = 6, TWTY_FIX32 = 7, TWTY_FRAME = 8, TWTY_STR32 = 9,
                           TWTY_STR64 = 10, TWTY_STR128 = 11, TWTY_STR255 = 12;

// Capabilities.
inline constexpr TW_UINT16 CAP_XFERCOUNT = 0x0001, ICAP_PIXELTYPE = 0x0101, ICAP_UNITS = 0x0102,
                           ICAP_BITDEPTH = 0x112B;

// Pixel types.
inline constexpr TW_UINT16 TWPT_BW = 0, TWPT_GRAY = 1, TWPT_RGB = 2, TWPT_PALETTE = 3;

// Languages and countries.
inline constexpr TW_UINT16 TWLG_USA = 13, TWCY_USA = 1;

// The source manager's entry, and a data source's.
using DSMENTRYPROC = TW_UINT16(WINAPI*)(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                                        TW_UINT16 msg, TW_MEMREF data);
using DSENTRYPROC = TW_UINT16(WINAPI*)(TW_IDENTITY* origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                                       TW_MEMREF data);

}  // namespace treskel::twain
