#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>

#include "platform/FileSys.h"
#include "platform/Streams.h"
#include "support/TestEnv.h"

namespace treskel::test {

namespace fs = std::filesystem;

#if !defined(_WIN32)
void InstallEnvironment() {}
#endif

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0;; ++attempt) {
        std::string name = TempDirectory() + "treskel-test-" + std::to_string(stamp % 1000000007) + "-" +
                           std::to_string(counter++);
        if (CreateDir(name)) {
#if defined(_WIN32)
            path_ = name + "\\";
#else
            path_ = name + "/";
#endif
            return;
        }
        if (attempt > 100) throw std::runtime_error("cannot create a temporary directory");
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(fs::path(path_), ec);
}

std::vector<unsigned char> ReadAll(const std::string& fileName) {
    TFileStream f(fileName, fmOpenRead | fmShareDenyNone);
    std::vector<unsigned char> bytes(static_cast<size_t>(f.Size()));
    if (!bytes.empty()) f.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    return bytes;
}

void WriteAll(const std::string& fileName, const std::vector<unsigned char>& bytes) {
    TFileStream f(fileName, fmCreate);
    if (!bytes.empty()) f.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void WriteAll(const std::string& fileName, const std::string& bytes) {
    WriteAll(fileName, std::vector<unsigned char>(bytes.begin(), bytes.end()));
}

}  // namespace treskel::test
