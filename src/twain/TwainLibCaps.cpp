// Capabilities of the open source: one values set, current values read and
// the pixel types narrowed to what the caller accepts.
#include <cstring>

#include "twain/TwainLib.h"
#include "twain/TwainLibPriv.h"

namespace treskel {

using namespace treskel::twainlib;

namespace {

constexpr uint32_t kItemSizes[] = {1, 2, 4, 1, 2, 4, 2, 4, 16, 34, 66, 130, 256};

uint32_t ItemSize(TW_UINT16 type) { return type < std::size(kItemSizes) ? kItemSizes[type] : 0; }

bool IsInteger(TW_UINT16 type) { return type <= TWTY_UINT32; }

bool ItemTypesCompatible(TW_UINT16 a, TW_UINT16 b) {
    return a == b || (IsInteger(a) && IsInteger(b) && ItemSize(a) == ItemSize(b));
}

// A container the source handed over: locked for a scope, freed when it
// goes, and never read past its end.
class Container {
public:
    explicit Container(TW_HANDLE h) : memory_(static_cast<HGLOBAL>(h)), lock_(memory_.Get()) {}
    uint8_t* Data() const { return static_cast<uint8_t*>(lock_.Get()); }
    size_t Size() const { return lock_.Size(); }

private:
    GlobalMemory memory_;
    GlobalLockGuard lock_;
};

// Rewrites a list of pixel types as those of `mask`, ascending; their number.
uint32_t IntersectPixelTypes(uint8_t* items, uint32_t count, TW_UINT16 itemType, unsigned mask) {
    const uint32_t size = ItemSize(itemType);
    unsigned listed = 0;
    for (uint32_t i = 0; i < count; ++i) {
        TW_UINT16 value = 0;
        std::memcpy(&value, items + i * size, sizeof value);
        if (value < 32) listed |= 1u << value;
    }
    listed &= mask;
    uint32_t n = 0;
    for (TW_UINT16 bit = 0; bit < 32; ++bit) {
        if ((listed & (1u << bit)) == 0) continue;
        std::memcpy(items + n * size, &bit, sizeof bit);
        ++n;
    }
    return n;
}

bool Fail(int code) {
    RecordError(code);
    return false;
}

// Narrows a list container (array or enumeration) in place; false with the
// error recorded when nothing is left or it cannot be read.
bool NarrowList(uint8_t* data, size_t size, size_t itemsAt, unsigned mask) {
    TW_UINT16 itemType = 0;
    TW_UINT32 count = 0;
    std::memcpy(&itemType, data, sizeof itemType);
    std::memcpy(&count, data + 2, sizeof count);
    if (count == 0) return Fail(kErrEmptyContainer);
    if (itemType != TWTY_UINT16 && itemType != TWTY_INT16) return Fail(kErrItemType);
    if (itemsAt + uint64_t{count} * 2 > size) return Fail(kErrBadContainer);
    count = IntersectPixelTypes(data + itemsAt, count, itemType, mask);
    std::memcpy(data + 2, &count, sizeof count);
    if (count == 0) return Fail(kErrNoCommonValues);
    return true;
}

constexpr size_t kArrayItems = 6, kEnumItems = 14;

}  // namespace

int WINAPI TWAIN_NegotiatePixelTypes(unsigned pixelTypeMask) {
    if (S().state != 4) {
        RecordError(kErrNotState4);
        return FALSE;
    }
    if (pixelTypeMask == 0) return TRUE;
    TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_ONEVALUE, nullptr};
    if (!SourceCall(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap)) {
        RecordError(kErrCapGet);
        return FALSE;
    }
    if (cap.hContainer == nullptr) {
        RecordError(kErrNullContainer);
        return FALSE;
    }
    Container container(cap.hContainer);
    uint8_t* data = container.Data();
    if (data == nullptr || container.Size() < sizeof(TW_ONEVALUE)) {
        RecordError(kErrBadContainer);
        return FALSE;
    }
    bool acceptable = false;
    switch (cap.ConType) {
        case TWON_ENUMERATION:
            acceptable = NarrowList(data, container.Size(), kEnumItems, pixelTypeMask);
            if (acceptable) {
                // Which entry is current and default is the source's choice.
                const TW_UINT32 none = 0xFFFFFFFF;
                std::memcpy(data + 6, &none, sizeof none);
                std::memcpy(data + 10, &none, sizeof none);
            }
            break;
        case TWON_ARRAY: acceptable = NarrowList(data, container.Size(), kArrayItems, pixelTypeMask); break;
        case TWON_ONEVALUE: {
            TW_ONEVALUE one{};
            std::memcpy(&one, data, sizeof one);
            acceptable = one.Item < 32 && (pixelTypeMask & (1u << one.Item)) != 0;
            if (!acceptable) RecordError(kErrNoCommonValues);
            break;
        }
        default: RecordError(kErrContainerType); break;
    }
    if (acceptable && cap.ConType != TWON_ONEVALUE) {
        if (!SourceCall(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap)) {
            RecordError(kErrCapSet);
            acceptable = false;
        }
    }
    return acceptable;
}

int WINAPI TWAIN_SetCapOneValue(unsigned capability, unsigned itemType, uint32_t value) {
    if (S().state != 4) {
        TWAIN_ErrorBox("Attempt to set capability outside State 4.");
        return FALSE;
    }
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(TW_ONEVALUE));
    if (h == nullptr) {
        TWAIN_ErrorBox("Insufficient Memory");
        return FALSE;
    }
    GlobalMemory block(h);
    {
        GlobalLockGuard lock(block.Get());
        if (lock.Get() == nullptr) {
            TWAIN_ErrorBox("Insufficient Memory");
            return FALSE;
        }
        TW_ONEVALUE one{static_cast<TW_UINT16>(itemType), value};
        std::memcpy(lock.Get(), &one, sizeof one);
    }
    TW_CAPABILITY cap{static_cast<TW_UINT16>(capability), TWON_ONEVALUE, block.Get()};
    return SourceCall(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap);
}

int WINAPI TWAIN_GetCapabilityCurrent(unsigned capability, unsigned itemType, void* dest) {
    if (!Check(dest != nullptr)) return FALSE;
    if (S().state < 4) {
        TWAIN_ErrorBox("Attempt to get capability value below State 4.");
        return FALSE;
    }
    TW_CAPABILITY cap{static_cast<TW_UINT16>(capability), TWON_ONEVALUE, nullptr};
    if (!SourceCall(DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, &cap) || cap.hContainer == nullptr) return FALSE;
    Container container(cap.hContainer);
    const uint8_t* data = container.Data();
    const size_t size = container.Size();
    if (data == nullptr || size < sizeof(TW_ONEVALUE)) return FALSE;
    TW_UINT16 type = 0;
    std::memcpy(&type, data, sizeof type);
    const uint32_t itemSize = ItemSize(type);
    if (itemSize == 0 || !ItemTypesCompatible(type, static_cast<TW_UINT16>(itemType))) return FALSE;
    // In 64 bits: an index near 2^32 must not wrap to a place before the
    // block.
    uint64_t at = 0;
    if (cap.ConType == TWON_ONEVALUE) {
        at = 2;
    } else if (cap.ConType == TWON_ENUMERATION && size >= kEnumItems) {
        TW_UINT32 count = 0, current = 0;
        std::memcpy(&count, data + 2, sizeof count);
        std::memcpy(&current, data + 6, sizeof current);
        if (current >= count) return FALSE;
        at = kEnumItems + uint64_t{current} * itemSize;
    } else {
        return FALSE;
    }
    if (at + itemSize > size) return FALSE;
    std::memcpy(dest, data + static_cast<size_t>(at), itemSize);
    return TRUE;
}

int WINAPI TWAIN_SetTransferCount(int16_t count) {
    return TWAIN_SetCapOneValue(CAP_XFERCOUNT, TWTY_INT16, static_cast<uint16_t>(count));
}

int WINAPI TWAIN_SetUnitsValue(uint16_t units) { return TWAIN_SetCapOneValue(ICAP_UNITS, TWTY_UINT16, units); }
int WINAPI TWAIN_SetBitDepthValue(uint16_t depth) { return TWAIN_SetCapOneValue(ICAP_BITDEPTH, TWTY_UINT16, depth); }
int WINAPI TWAIN_SetPixelTypeValue(uint16_t type) { return TWAIN_SetCapOneValue(ICAP_PIXELTYPE, TWTY_UINT16, type); }

namespace {
int CurrentUInt16(unsigned capability) {
    TW_UINT16 value = 0;
    return TWAIN_GetCapabilityCurrent(capability, TWTY_UINT16, &value) ? value : 0;
}
}  // namespace

int WINAPI TWAIN_GetUnitsValue() { return CurrentUInt16(ICAP_UNITS); }
int WINAPI TWAIN_GetBitDepthValue() { return CurrentUInt16(ICAP_BITDEPTH); }
int WINAPI TWAIN_GetPixelTypeValue() { return CurrentUInt16(ICAP_PIXELTYPE); }

}  // namespace treskel
