// What the Wine benchmark's programs share: the clock, and rich text read
// by a rich-edit control from memory.
#pragma once

#include <windows.h>

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace treskel::bench {

// Milliseconds of the performance counter.
inline double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// Feeds EM_STREAMIN from a string, as it is: the cookie is a Reader.
struct Reader {
    const std::string* data;
    size_t pos;
};

inline DWORD CALLBACK Read(DWORD_PTR cookie, LPBYTE buffer, LONG cb, LONG* pcb) {
    auto* r = reinterpret_cast<Reader*>(cookie);
    const size_t n = std::min(static_cast<size_t>(cb), r->data->size() - r->pos);
    std::memcpy(buffer, r->data->data() + r->pos, n);
    r->pos += n;
    *pcb = static_cast<LONG>(n);
    return 0;
}

}  // namespace treskel::bench
