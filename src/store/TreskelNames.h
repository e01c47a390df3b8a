// Which names a treskel may have: its name names its files in the data
// directory.
#pragma once

#include <string>

namespace treskel {

// True when `name` can name a treskel's files: not empty, none of
// \ / : * ? " < > | or control characters, not "." or "..", no device
// name of the system (CON, NUL, COM1, ...), and no dot or space at its end
// (the system would drop them, so the files would get another name).
bool IsValidTreskelName(const std::string& name);

// The message that refuses an invalid name.
std::string InvalidTreskelNameMessage(const std::string& name);

}  // namespace treskel
