// A printer for tests: the Wine PostScript driver with a small PPD of our
// own, printing into a file, installed for the life of the object.
#pragma once

#include <string>

namespace treskel::test {

class TestPrinter {
public:
    // Installs the printer; its jobs are written to `outputFile` (a
    // Windows path).  Raises std::runtime_error when the spooler refuses.
    explicit TestPrinter(const std::string& outputFile);
    // Removes the printer again and lets the program's printer forget it.
    ~TestPrinter();
    TestPrinter(const TestPrinter&) = delete;
    TestPrinter& operator=(const TestPrinter&) = delete;
    static constexpr const char* kName = "Treskel Test Printer";
};

}  // namespace treskel::test
