// The standard directories of the path procedures.
#include <windows.h>

#include "foundation/qclutils.h"

namespace treskel {

std::string QclGetWindowsDir() {
    char buf[MAX_PATH + 1];
    UINT n = GetWindowsDirectoryA(buf, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buf, n) : std::string();
}

std::string QclGetSystemDir() {
    char buf[MAX_PATH + 1];
    UINT n = GetSystemDirectoryA(buf, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buf, n) : std::string();
}

std::string QclGetProgramDir() {
    char buf[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    return ExtractFilePath(std::string(buf, n));
}

std::string QclGetPathPrefix(TQclPathPrefix prefix, bool withBackslash) {
    std::string dir;
    switch (prefix) {
        case TQclPathPrefix::ppWindows: dir = QclGetWindowsDir(); break;
        case TQclPathPrefix::ppSystem: dir = QclGetSystemDir(); break;
        case TQclPathPrefix::ppProgram: dir = QclGetProgramDir(); break;
        case TQclPathPrefix::ppFixed: return {};
    }
    return withBackslash ? QclAddBackslash(dir) : QclRemoveBackslash(dir);
}

}  // namespace treskel
