#include "support/TwainSource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "platform/FileSys.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"

namespace treskel::test {

void InstallTestSource() {
    char exe[MAX_PATH] = {}, windows[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string built = ExtractFilePath(exe) + "testsource.ds";
    const std::string dir = IncludeTrailingBackslash(windows) + "twain_32";
    const std::string installed = dir + "\\sane.ds";
    ASSERT_TRUE(FileExists(built)) << built;
    if (FileExists(installed) && ReadAll(installed) == ReadAll(built)) return;
    CreateDirectoryA(dir.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(built.c_str(), installed.c_str(), FALSE)) << GetLastError();
}

bool SourceImageHeld(void* handle, int n) {
    if (GlobalSize(handle) == 0) return false;
    const auto* p = static_cast<const uint8_t*>(GlobalLock(handle));
    if (p == nullptr) return false;
    const bool marked = GetU32(p) == 40 && GetU32(p + 24) == 0x54520000u + static_cast<uint32_t>(n);
    GlobalUnlock(handle);
    return marked;
}

TestSourceScript::TestSourceScript(std::initializer_list<std::pair<std::string, std::string>> values) {
    std::string ini = "[Source]\r\n";
    for (const auto& [key, value] : values) ini += key + "=" + value + "\r\n";
    ini += "Log=" + dir_.File("source.log") + "\r\n";
    WriteAll(dir_.File("source.ini"), ini);
    SetEnvironmentVariableA("TRESKEL_TEST_SOURCE", dir_.File("source.ini").c_str());
}

TestSourceScript::~TestSourceScript() { SetEnvironmentVariableA("TRESKEL_TEST_SOURCE", nullptr); }

std::vector<std::string> TestSourceScript::Log() const {
    std::vector<std::string> lines;
    std::ifstream in(dir_.File("source.log"));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<void*> TestSourceScript::Handed() const {
    std::vector<void*> handles;
    for (const std::string& line : Log()) {
        if (line.rfind("xfer ", 0) != 0) continue;
        const size_t space = line.rfind(' ');
        handles.push_back(reinterpret_cast<void*>(std::strtoul(line.c_str() + space + 1, nullptr, 16)));
    }
    return handles;
}

}  // namespace treskel::test
