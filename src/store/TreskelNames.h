// Which names a treskel may have: its name names its files in the data
// directory.
#pragma once

#include <string>

namespace treskel {

// True when `name` can name a treskel's files: not empty, none of
// \ / : * ? " < > | or control characters, not "." or "..", no device
// name of the system (CON, NUL, COM0 to COM9, CONIN$, ...), and no dot or space at its end
// (the system would drop them, so the files would get another name).
bool IsValidTreskelName(const std::string& name);

// The message that refuses an invalid name.
std::string InvalidTreskelNameMessage(const std::string& name);

// The system's limits on a path and on one name in it, in characters.
constexpr size_t kMaxPathLength = 259;
constexpr size_t kMaxFileNameLength = 255;

// True when every file of a treskel of this name in `dataPath` (ending in
// a separator), its loose notes of ids of up to 8 digits included, stays
// within those limits.
bool TreskelNameFits(const std::string& dataPath, const std::string& name);

// Why `name` cannot name a treskel in `dataPath`; empty when it can.
std::string TreskelNameProblem(const std::string& dataPath, const std::string& name);

}  // namespace treskel
