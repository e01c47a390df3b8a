// The test data source (tests/twain/testsource.cpp) and its script.
#pragma once

#include <initializer_list>
#include <utility>
#include <string>
#include <vector>

#include "support/TestEnv.h"

namespace treskel::test {

// Puts the test data source where the system's source manager looks for
// one (C:\windows\twain_32\sane.ds) unless it is there already.
void InstallTestSource();

// Whether image n that the test source handed over is still held: a block
// that still carries the image's mark.  (A freed block's handle may come
// back for something else, never with that mark.)
bool SourceImageHeld(void* handle, int n);

// A script for the test data source, in force while this lives: the
// values of its [Source] section, and the log the source writes.
class TestSourceScript {
public:
    TestSourceScript(std::initializer_list<std::pair<std::string, std::string>> values);
    ~TestSourceScript();
    TestSourceScript(const TestSourceScript&) = delete;
    TestSourceScript& operator=(const TestSourceScript&) = delete;
    // The lines the source logged ("open", "xfer 0 1a2b3c", ...).
    std::vector<std::string> Log() const;
    // The handles of the images the source handed over, in order.
    std::vector<void*> Handed() const;

private:
    TempDir dir_;
};

}  // namespace treskel::test
