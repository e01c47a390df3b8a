// The test process's own memory: what it has in use and the most it has
// had, and address space taken so that only holes of a chosen size are
// left, for tests of what a failed allocation leaves behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace treskel::test {

// Bytes of private memory committed now.
uint64_t CommittedBytes();
// The most bytes the process has had in memory at once so far.
uint64_t PeakWorkingSet();

// While it lives, the process's free address space is taken but for
// `holes` holes of `holeSize` bytes: no block larger than a hole can be
// had, and smaller ones as long as the holes last.
class AddressSpaceHoles {
public:
    AddressSpaceHoles(size_t holeSize, int holes);
    ~AddressSpaceHoles();
    AddressSpaceHoles(const AddressSpaceHoles&) = delete;
    AddressSpaceHoles& operator=(const AddressSpaceHoles&) = delete;
    // How many holes could be made.
    int Holes() const { return holes_; }

private:
    std::vector<void*> taken_;
    int holes_ = 0;
};

}  // namespace treskel::test
