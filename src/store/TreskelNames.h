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

// True when `dataPath` holds a file or folder where a treskel of this name
// keeps its archive, its note folder or the tree file an older build left
// beside them, as the file system finds names:
// where it ignores letter case, in any case, and where it gives long names
// short ones ("WORK~MC1" for "Work notes 2024"), by those too.  Such a
// name is another treskel's.
bool TreskelFilesExist(const std::string& dataPath, const std::string& name);

// The caption of a treskel's tab: its name, or for the archive named
// ".tsx" alone, whose name is empty, kUnnamedTreskelCaption, which no name
// can be (no file name holds < or >).  TreskelOfTab turns it back.
inline constexpr const char* kUnnamedTreskelCaption = "<no name>";
std::string TreskelTabCaption(const std::string& name);
std::string TreskelOfTab(const std::string& caption);

}  // namespace treskel
