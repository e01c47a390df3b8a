// Shared test helpers.
#pragma once

#include <string>
#include <vector>

namespace treskel::test {

// Sets up what every test executable needs (on Windows: the application
// object, message boxes answered automatically and recorded).
void InstallEnvironment();

// A fresh directory that is removed with everything in it when it goes.
// Path() ends in a separator.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

std::vector<unsigned char> ReadAll(const std::string& fileName);
void WriteAll(const std::string& fileName, const std::vector<unsigned char>& bytes);
void WriteAll(const std::string& fileName, const std::string& bytes);

}  // namespace treskel::test
