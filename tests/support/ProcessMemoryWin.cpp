#include "support/ProcessMemory.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>

namespace treskel::test {

uint64_t CommittedBytes() {
    uint64_t total = 0;
    MEMORY_BASIC_INFORMATION m;
    const char* at = nullptr;
    while (VirtualQuery(at, &m, sizeof m) == sizeof m) {
        if (m.State == MEM_COMMIT && m.Type == MEM_PRIVATE) total += m.RegionSize;
        const char* next = static_cast<const char*>(m.BaseAddress) + m.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return total;
}

uint64_t PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS c{};
    c.cb = sizeof c;
    GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c);
    return c.PeakWorkingSetSize;
}

AddressSpaceHoles::AddressSpaceHoles(size_t holeSize, int holes) {
    // Everything the system will hand out, in pieces of a hole's size, then
    // of a megabyte, then of the smallest it gives.
    std::vector<char*> pieces;
    for (;;) {
        void* p = VirtualAlloc(nullptr, holeSize, MEM_RESERVE, PAGE_NOACCESS);
        if (p == nullptr) break;
        pieces.push_back(static_cast<char*>(p));
    }
    for (size_t size : {size_t{1} << 20, size_t{64} << 10})
        for (;;) {
            void* p = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS);
            if (p == nullptr) break;
            taken_.push_back(p);
        }
    // Holes with a piece that stays taken between them (the system may
    // leave slivers it does not hand out beside its pieces).
    std::sort(pieces.begin(), pieces.end());
    char* lastFreed = nullptr;
    for (char* p : pieces) {
        if (holes_ < holes && (lastFreed == nullptr || p >= lastFreed + 2 * holeSize)) {
            VirtualFree(p, 0, MEM_RELEASE);
            lastFreed = p;
            ++holes_;
        } else {
            taken_.push_back(p);
        }
    }
}

AddressSpaceHoles::~AddressSpaceHoles() {
    for (void* p : taken_) VirtualFree(p, 0, MEM_RELEASE);
}

}  // namespace treskel::test
