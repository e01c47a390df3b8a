// A data source of our own for the acquisition tests, loaded by the
// system's source manager as C:\windows\twain_32\sane.ds.  It has no user
// interface: what it does is read from the INI file named by the
// environment variable TRESKEL_TEST_SOURCE, section [Source]:
//   Images=3          images announced in one batch
//   Depths=24,8       bit depth of each image in turn (1, 4, 8, 16, 24, 32)
//   Width=, Height=   size of the first image (each next one is a pixel wider)
//   Truncate=40       each image's block holds only its first 40 bytes
//   Cancel=2          transfers (counting from 1) the source cancels
//   Fail=2            transfers the source fails
//   Close=1           asks to be closed instead of offering images
//   OpenFails=1, EnableFails=1
//   ResetFails=1      refuses to discard the pending transfers (MSG_RESET)
//   Strict=1          refuses every message the protocol forbids in the
//                     state the source is in ("refused disable", ...)
//   Idle=1            offers nothing at all once enabled
//   PixelTypes=0,1,2  pixel types offered, in a container of the kind
//   Container=enum    enum, array or one
//   CurrentEnum=n,i   current values come as an enumeration that claims n
//                     items and current index i, over four items 100-103
// and what happens is appended to the file named by Log= ("xfer 0 <handle>"
// for each image handed over, "pixeltypes 0,2" for a narrowed list, ...).
// Each image has the colour RGB(200, 30 + 40 * n, 60) for image n and
// carries 0x54520000 + n as its horizontal resolution.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/DibFormat.h"
#include "twain/TwainTypes.h"

using namespace treskel::twain;

namespace {

struct Script {
    int images = 1;
    std::vector<int> depths{24};
    int width = 40, height = 30;
    int truncate = 0;
    std::vector<int> cancel, fail;
    bool close = false, openFails = false, enableFails = false, resetFails = false, idle = false, strict = false;
    std::vector<int> pixelTypes;
    std::string container = "enum";
    std::vector<int64_t> currentEnum;
    std::string log;
};

template <class T = int>
std::vector<T> Numbers(const std::string& s) {
    std::vector<T> v;
    size_t i = 0;
    while (i < s.size()) {
        size_t j = s.find(',', i);
        if (j == std::string::npos) j = s.size();
        if (j > i) v.push_back(static_cast<T>(std::strtoll(s.substr(i, j - i).c_str(), nullptr, 0)));
        i = j + 1;
    }
    return v;
}

bool Contains(const std::vector<int>& v, int x) {
    for (int y : v)
        if (y == x) return true;
    return false;
}

Script ReadScript() {
    Script s;
    char path[MAX_PATH] = {};
    if (GetEnvironmentVariableA("TRESKEL_TEST_SOURCE", path, sizeof path) == 0) return s;
    auto text = [&](const char* key) {
        char value[1024] = {};
        GetPrivateProfileStringA("Source", key, "", value, sizeof value, path);
        return std::string(value);
    };
    auto number = [&](const char* key, int def) { return static_cast<int>(GetPrivateProfileIntA("Source", key, def, path)); };
    s.images = number("Images", 1);
    if (!text("Depths").empty()) s.depths = Numbers(text("Depths"));
    s.width = number("Width", 40);
    s.height = number("Height", 30);
    s.truncate = number("Truncate", 0);
    s.cancel = Numbers(text("Cancel"));
    s.fail = Numbers(text("Fail"));
    s.close = number("Close", 0) != 0;
    s.openFails = number("OpenFails", 0) != 0;
    s.enableFails = number("EnableFails", 0) != 0;
    s.resetFails = number("ResetFails", 0) != 0;
    s.strict = number("Strict", 0) != 0;
    s.idle = number("Idle", 0) != 0;
    s.pixelTypes = Numbers(text("PixelTypes"));
    if (!text("Container").empty()) s.container = text("Container");
    s.currentEnum = Numbers<int64_t>(text("CurrentEnum"));
    s.log = text("Log");
    return s;
}

struct State {
    Script script;
    HWND parent = nullptr;
    int pending = 0;
    int transfer = 0;  // transfers asked for so far
    bool closeNext = false;
    TW_UINT16 condition = TWCC_SUCCESS;
    // The protocol's state as the source sees it: 3 closed, 4 open, 5
    // enabled, 6 transfers ready, 7 transferring.
    int state = 3;
};

State& St() {
    static State s;
    return s;
}

void Log(const std::string& line) {
    if (St().script.log.empty()) return;
    if (FILE* f = std::fopen(St().script.log.c_str(), "a")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

// In strict mode, whether the message may come in the source's state; a
// message that may not is refused and logged.
bool Allowed(const char* what, int lowest, int highest) {
    State& st = St();
    if (!st.script.strict || (st.state >= lowest && st.state <= highest)) return true;
    Log(std::string("refused ") + what);
    st.condition = TWCC_SEQERROR;
    return false;
}

UINT EventMessage() {
    static const UINT m = RegisterWindowMessageA("TreskelTestSourceEvent");
    return m;
}

void PostEvent() {
    if (St().parent != nullptr && IsWindow(St().parent))
        PostMessageA(St().parent, EventMessage(), 0, 0);
    else
        PostThreadMessageA(GetCurrentThreadId(), EventMessage(), 0, 0);
}

void FillIdentity(TW_IDENTITY* id) {
    TW_UINT32 keep = id->Id;
    std::memset(id, 0, sizeof *id);
    id->Id = keep;
    id->Version.MajorNum = 1;
    id->Version.Language = TWLG_USA;
    id->Version.Country = TWCY_USA;
    std::strcpy(id->Version.Info, "test");
    id->ProtocolMajor = 1;
    id->ProtocolMinor = 6;
    id->SupportedGroups = DG_CONTROL | DG_IMAGE;
    std::strcpy(id->Manufacturer, "Treskel");
    std::strcpy(id->ProductFamily, "Tests");
    std::strcpy(id->ProductName, "Treskel Test Source");
}

void Put16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, 2); }
void Put32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

// Image n: a device-independent bitmap of the depth the script gives it.
HGLOBAL MakeImage(int n) {
    const Script& s = St().script;
    const int depth = s.depths.empty() ? 24 : s.depths[static_cast<size_t>(n) % s.depths.size()];
    const int w = s.width + n, h = s.height;
    const uint8_t r = 200, g = static_cast<uint8_t>(30 + 40 * n), b = 60;
    const bool fields = depth == 16;
    const uint32_t colors = depth <= 8 ? (1u << depth) : 0;
    const uint32_t head = 40 + (fields ? 12 : 0) + 4 * colors;
    const uint32_t stride = static_cast<uint32_t>(treskel::DibStride(w, depth));
    const uint64_t size = head + uint64_t{stride} * static_cast<uint32_t>(h);
    // A block cut short holds the header (what of it fits) and no pixels.
    const bool cut = s.truncate > 0 && static_cast<uint64_t>(s.truncate) < size;
    std::vector<uint8_t> header(cut ? head : 0);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(cut ? static_cast<uint64_t>(s.truncate) : size));
    if (mem == nullptr) return nullptr;
    auto* p = cut ? header.data() : static_cast<uint8_t*>(GlobalLock(mem));
    Put32(p, 40);
    Put32(p + 4, static_cast<uint32_t>(w));
    Put32(p + 8, static_cast<uint32_t>(h));
    Put16(p + 12, 1);
    Put16(p + 14, static_cast<uint16_t>(depth));
    Put32(p + 16, fields ? 3 : 0);
    Put32(p + 24, 0x54520000u + static_cast<uint32_t>(n));
    uint8_t* table = p + 40;
    if (fields) {
        Put32(table, 0xF800);
        Put32(table + 4, 0x07E0);
        Put32(table + 8, 0x001F);
    }
    // Index 1 is the image's colour; the rest of the table is black.
    if (colors > 1) {
        table[4] = b;
        table[5] = g;
        table[6] = r;
    }
    if (cut) {
        std::memcpy(GlobalLock(mem), p, std::min<size_t>(head, static_cast<size_t>(s.truncate)));
        GlobalUnlock(mem);
        return mem;
    }
    uint8_t* bits = p + head;
    for (int y = 0; y < h; ++y) {
        uint8_t* row = bits + static_cast<size_t>(y) * stride;
        for (int x = 0; x < w; ++x) {
            switch (depth) {
                case 1: row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8)); break;
                case 4: row[x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? 0x10 : 0x01); break;
                case 8: row[x] = 1; break;
                case 16: {
                    const uint16_t v = static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
                    Put16(row + 2 * x, v);
                    break;
                }
                case 24:
                    row[3 * x] = b;
                    row[3 * x + 1] = g;
                    row[3 * x + 2] = r;
                    break;
                case 32:
                    row[4 * x] = b;
                    row[4 * x + 1] = g;
                    row[4 * x + 2] = r;
                    break;
                default: break;
            }
        }
    }
    GlobalUnlock(mem);
    return mem;
}

std::string Hex(const void* p) {
    char text[32];
    std::snprintf(text, sizeof text, "%lx", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(p)));
    return text;
}

TW_UINT16 NativeTransfer(TW_UINT32* handle) {
    State& st = St();
    if (!Allowed("transfer", 6, 6)) return TWRC_FAILURE;
    const int n = st.transfer++;
    if (Contains(st.script.fail, n + 1)) {
        Log("fail " + std::to_string(n));
        st.condition = TWCC_OPERATIONERROR;
        return TWRC_FAILURE;
    }
    if (Contains(st.script.cancel, n + 1)) {
        Log("cancel " + std::to_string(n));
        st.state = 7;
        return TWRC_CANCEL;
    }
    HGLOBAL image = MakeImage(n);
    if (image == nullptr) {
        st.condition = TWCC_LOWMEMORY;
        return TWRC_FAILURE;
    }
    *handle = static_cast<TW_UINT32>(reinterpret_cast<uintptr_t>(image));
    Log("xfer " + std::to_string(n) + " " + Hex(image));
    st.state = 7;
    return TWRC_XFERDONE;
}

TW_UINT16 Pending(TW_UINT16 msg, TW_PENDINGXFERS* p) {
    State& st = St();
    if (msg == MSG_ENDXFER && !Allowed("endxfer", 7, 7)) return TWRC_FAILURE;
    if (msg == MSG_RESET && !Allowed("reset", 6, 6)) return TWRC_FAILURE;
    if (msg == MSG_GET && !Allowed("pending", 4, 7)) return TWRC_FAILURE;
    if (msg == MSG_ENDXFER && st.pending > 0) --st.pending;
    if (msg == MSG_RESET && st.script.resetFails) {
        Log("reset refused");
        st.condition = TWCC_SEQERROR;
        return TWRC_FAILURE;
    }
    if (msg == MSG_RESET) {
        Log("reset");
        st.pending = 0;
    }
    p->Count = static_cast<TW_UINT16>(st.pending);
    if (msg != MSG_GET) st.state = st.pending > 0 ? 6 : 5;
    if (st.pending == 0 && msg != MSG_GET) {
        // Done: the user would close the dialog now.
        st.closeNext = true;
        PostEvent();
    }
    return TWRC_SUCCESS;
}

TW_UINT16 ProcessEvent(TW_EVENT* e) {
    State& st = St();
    auto* msg = static_cast<MSG*>(e->pEvent);
    e->TWMessage = MSG_NULL;
    if (!Allowed("event", 5, 7)) return TWRC_FAILURE;
    if (msg == nullptr || msg->message != EventMessage()) return TWRC_NOTDSEVENT;
    if (st.closeNext || st.script.close) {
        st.closeNext = false;
        Log("closerequest");
        e->TWMessage = MSG_CLOSEDSREQ;
    } else {
        st.pending = st.script.images;
        st.state = 6;
        Log("xferready " + std::to_string(st.pending));
        e->TWMessage = MSG_XFERREADY;
    }
    return TWRC_DSEVENT;
}

// The pixel types as the script offers them, in its kind of container.
TW_UINT16 GetPixelTypes(TW_CAPABILITY* cap) {
    const std::vector<int>& types = St().script.pixelTypes;
    const std::string& kind = St().script.container;
    const uint32_t n = static_cast<uint32_t>(types.size());
    const size_t itemsAt = kind == "enum" ? 14 : kind == "array" ? 6 : 2;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, itemsAt + 2 * (n + 2));
    auto* p = static_cast<uint8_t*>(GlobalLock(h));
    Put16(p, TWTY_UINT16);
    if (kind == "one") {
        cap->ConType = TWON_ONEVALUE;
        Put32(p + 2, n > 0 ? static_cast<uint32_t>(types[0]) : 0);
    } else {
        cap->ConType = kind == "enum" ? TWON_ENUMERATION : TWON_ARRAY;
        Put32(p + 2, n);
        for (uint32_t i = 0; i < n; ++i) Put16(p + itemsAt + 2 * i, static_cast<uint16_t>(types[i]));
    }
    GlobalUnlock(h);
    cap->hContainer = h;
    return TWRC_SUCCESS;
}

// A list sent back is logged as the numbers it holds.
void LogSetList(const TW_CAPABILITY* cap) {
    auto* p = static_cast<const uint8_t*>(GlobalLock(cap->hContainer));
    if (p == nullptr) return;
    uint32_t n = 0;
    std::memcpy(&n, p + 2, 4);
    const size_t itemsAt = cap->ConType == TWON_ENUMERATION ? 14 : 6;
    std::string line = "pixeltypes ";
    for (uint32_t i = 0; i < n; ++i) {
        uint16_t v = 0;
        std::memcpy(&v, p + itemsAt + 2 * i, 2);
        line += (i > 0 ? "," : "") + std::to_string(v);
    }
    GlobalUnlock(cap->hContainer);
    Log(line);
}

TW_UINT16 Capability(TW_UINT16 msg, TW_CAPABILITY* cap) {
    if (msg == MSG_SET ? !Allowed("set", 4, 4) : !Allowed("capability", 4, 7)) return TWRC_FAILURE;
    if (msg == MSG_GET && cap->Cap == ICAP_PIXELTYPE) {
        Log("getpixeltypes");
        return GetPixelTypes(cap);
    }
    if (msg == MSG_SET) {
        if (cap->Cap == ICAP_PIXELTYPE && cap->ConType != TWON_ONEVALUE) {
            LogSetList(cap);
        } else if (auto* one = static_cast<const TW_ONEVALUE*>(GlobalLock(cap->hContainer))) {
            Log("set " + std::to_string(cap->Cap) + " " + std::to_string(one->ItemType) + " " +
                std::to_string(one->Item));
            GlobalUnlock(cap->hContainer);
        }
        return TWRC_SUCCESS;
    }
    if (msg == MSG_GETCURRENT && St().script.currentEnum.size() == 2) {
        // What the enumeration claims is the script's; the block holds four.
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 14 + 4 * 2);
        auto* p = static_cast<uint8_t*>(GlobalLock(h));
        Put16(p, TWTY_UINT16);
        Put32(p + 2, static_cast<uint32_t>(St().script.currentEnum[0]));
        Put32(p + 6, static_cast<uint32_t>(St().script.currentEnum[1]));
        for (uint16_t i = 0; i < 4; ++i) Put16(p + 14 + 2 * i, static_cast<uint16_t>(100 + i));
        GlobalUnlock(h);
        cap->ConType = TWON_ENUMERATION;
        cap->hContainer = h;
        return TWRC_SUCCESS;
    }
    if (msg == MSG_GETCURRENT) {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(TW_ONEVALUE));
        auto* one = static_cast<TW_ONEVALUE*>(GlobalLock(h));
        one->ItemType = TWTY_UINT16;
        one->Item = cap->Cap == ICAP_BITDEPTH ? 24 : cap->Cap == ICAP_PIXELTYPE ? TWPT_RGB : 0;
        GlobalUnlock(h);
        cap->ConType = TWON_ONEVALUE;
        cap->hContainer = h;
        return TWRC_SUCCESS;
    }
    St().condition = TWCC_BADCAP;
    return TWRC_FAILURE;
}

TW_UINT16 Control(TW_UINT16 dat, TW_UINT16 msg, void* data) {
    State& st = St();
    switch (dat) {
        case DAT_IDENTITY:
            if (msg == MSG_OPENDS) {
                st.script = ReadScript();
                st.pending = st.transfer = 0;
                st.closeNext = false;
                // The manager opens the source afresh, whatever an earlier
                // session left.
                st.state = 4;
                Log("open");
                if (st.script.openFails) {
                    st.state = 3;
                    st.condition = TWCC_OPERATIONERROR;
                    return TWRC_FAILURE;
                }
            }
            if (msg == MSG_CLOSEDS) {
                if (!Allowed("close", 4, 4)) return TWRC_FAILURE;
                st.state = 3;
                Log("close");
                return TWRC_SUCCESS;
            }
            FillIdentity(static_cast<TW_IDENTITY*>(data));
            return TWRC_SUCCESS;
        case DAT_USERINTERFACE: {
            auto* ui = static_cast<TW_USERINTERFACE*>(data);
            if (msg == MSG_ENABLEDS) {
                if (!Allowed("enable", 4, 4)) return TWRC_FAILURE;
                if (st.script.enableFails) {
                    st.condition = TWCC_OPERATIONERROR;
                    return TWRC_FAILURE;
                }
                st.parent = static_cast<HWND>(ui->hParent);
                st.state = 5;
                Log("enable " + std::to_string(ui->ShowUI));
                if (!st.script.idle) PostEvent();
            } else if (msg == MSG_DISABLEDS) {
                if (!Allowed("disable", 5, 5)) return TWRC_FAILURE;
                st.state = 4;
                Log("disable");
            }
            return TWRC_SUCCESS;
        }
        case DAT_EVENT: return ProcessEvent(static_cast<TW_EVENT*>(data));
        case DAT_PENDINGXFERS: return Pending(msg, static_cast<TW_PENDINGXFERS*>(data));
        case DAT_CAPABILITY: return Capability(msg, static_cast<TW_CAPABILITY*>(data));
        case DAT_STATUS:
            static_cast<TW_STATUS*>(data)->ConditionCode = st.condition;
            st.condition = TWCC_SUCCESS;
            return TWRC_SUCCESS;
        default: st.condition = TWCC_BADPROTOCOL; return TWRC_FAILURE;
    }
}

}  // namespace

extern "C" __declspec(dllexport) TW_UINT16 WINAPI DS_Entry(TW_IDENTITY*, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                                                           TW_MEMREF data) {
    if (dg == DG_CONTROL) return Control(dat, msg, data);
    if (dg == DG_IMAGE && dat == DAT_IMAGENATIVEXFER && msg == MSG_GET)
        return NativeTransfer(static_cast<TW_UINT32*>(data));
    if (dg == DG_IMAGE && dat == DAT_IMAGEINFO && msg == MSG_GET) {
        auto* info = static_cast<TW_IMAGEINFO*>(data);
        std::memset(info, 0, sizeof *info);
        info->ImageWidth = St().script.width;
        info->ImageLength = St().script.height;
        info->SamplesPerPixel = 3;
        info->BitsPerPixel = 24;
        info->PixelType = TWPT_RGB;
        return TWRC_SUCCESS;
    }
    St().condition = TWCC_BADPROTOCOL;
    return TWRC_FAILURE;
}
