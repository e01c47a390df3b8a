#include "platform/Handles.h"

#include "platform/SysUtils.h"

namespace treskel {

GlobalMemory::GlobalMemory(size_t size, UINT flags) : UniqueHandle(GlobalAlloc(flags, size == 0 ? 1 : size)) {
    if (!*this) throw EOutOfMemory("Out of memory");
}

}  // namespace treskel
