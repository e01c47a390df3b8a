// What the options dialog checks of a data directory before it keeps it:
// that it exists or can be made, and that a file can be written in it.
// No <windows.h>: tested natively.
#pragma once

#include <string>

namespace treskel {

// Two spellings of one directory: letter case and a trailing separator
// aside.
bool SameDirectory(const std::string& a, const std::string& b);
// Why `dir` cannot hold the notes ("" when it can): made when missing,
// then written to and cleaned up again.  An empty text is the default
// directory and needs no check.
std::string DataDirectoryProblem(const std::string& dir);

}  // namespace treskel
