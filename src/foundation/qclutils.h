// String, path and rectangle procedures of the component library.  They
// keep no state.  The standard directories (QclGetWindowsDir and the
// others) are the system's and exist in the Windows build only.
#pragma once

#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Types.h"

namespace treskel {

// Where a file of the library lives: the Windows, system or program
// directory, or a name used unchanged.
enum class TQclPathPrefix { ppWindows, ppSystem, ppProgram, ppFixed };
TRESKEL_ENUM_INFO(TQclPathPrefix, "ppWindows", "ppSystem", "ppProgram", "ppFixed")

// Strings.
// Empty or only blanks (character 32; a tab is content).
bool QclIsEmptyStr(const std::string& s);
// Without leading and trailing blanks and control characters.
std::string QclTrim(const std::string& s);
std::string QclStringOfChar(int count, char ch);
std::string QclReplaceChar(const std::string& s, char oldChar, char newChar);
std::string QclJoinStrings(const std::vector<std::string>& strings, char separator);
std::string QclJoinIntegers(const std::vector<int>& values, char separator);
// Splits at `separator`: pieces between two separators count even when
// empty, a trailing separator adds no empty last piece.  Does nothing at
// all (the list is not even cleared) when `list` is null or `s` empty.
void QclSplitToStrings(const std::string& s, char separator, TStrings* list);
// The same pieces as a vector (empty for an empty string).
std::vector<std::string> QclSplitToVector(const std::string& s, char separator);
// Largest or smallest value; 0 for an empty list.
int QclMaxOf(const std::vector<int>& values);
int QclMinOf(const std::vector<int>& values);
double QclMinOfExt(const std::vector<double>& values);
// Base multiplied `exponent` times (wrapping as 32-bit integers); 1 for an
// exponent below 1.
int QclPower(int base, int exponent);

// Paths.
// Appends '\' unless the path ends with one; "" gives "\".
std::string QclAddBackslash(const std::string& path);
// Drops a trailing '\' from a path that is not empty or blank.
std::string QclRemoveBackslash(const std::string& path);
// Shortens a path for display to at most `maxLen` characters by replacing
// leading directories with "...\"; the file name is never shortened.
std::string QclShortenPath(const std::string& path, int maxLen);
// One shortening step of a directory part ("\a\b\" -> "\...\b\").
void QclShortenPathStep(std::string& dir);

#ifdef _WIN32
std::string QclGetWindowsDir();
std::string QclGetSystemDir();
// The program's directory, with a trailing '\'.
std::string QclGetProgramDir();
// The directory of a prefix with or without its trailing '\'; ppFixed: "".
std::string QclGetPathPrefix(TQclPathPrefix prefix, bool withBackslash);
#endif

// Rectangles.
void QclAdjustRect(TRect& rect, int dLeft, int dTop, int dRight, int dBottom);
void QclRectSize(const TRect& rect, int& width, int& height);
// Both the top-left and the bottom-right corner of `inner` lie in `outer`
// (right and bottom edges excluded).
bool QclRectInRect(const TRect& inner, const TRect& outer);
// `source` scaled to fit `target` keeping its proportions, at target's
// top-left.  An empty source gives an empty rectangle there.
void QclFitRect(const TRect& source, const TRect& target, TRect& result);
// The bounds of `rect` turned by `angle` degrees around its centre, moved
// to (0, 0).  Angle 0 leaves it alone.
void QclRotatedBounds(TRect& rect, int angle);

}  // namespace treskel
