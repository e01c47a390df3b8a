// Stands in for the user's browser in the editor tests: writes the
// arguments it was started with, as the C runtime split them, to the file
// named by TRESKEL_BROWSER_LOG (each argument followed by a zero byte),
// and ends.  The file appears whole or not at all.
#include <windows.h>

#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char log[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableA("TRESKEL_BROWSER_LOG", log, sizeof log);
    if (n == 0 || n >= sizeof log) return 2;
    std::string data;
    for (int i = 1; i < __argc; ++i) {
        data += __argv[i];
        data += '\0';
    }
    std::string part = std::string(log) + ".part";
    HANDLE f = CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    BOOL ok = WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(f);
    if (!ok || written != data.size()) return 4;
    return MoveFileExA(part.c_str(), log, MOVEFILE_REPLACE_EXISTING) ? 0 : 5;
}
