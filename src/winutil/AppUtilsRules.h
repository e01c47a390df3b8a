// The window-free rules of where placements are stored: the words of a
// stored value, and the default INI file and registry key of a program.
#pragma once

#include <functional>
#include <string>

namespace treskel {

// The n-th (1-based) run of characters not in `delimiters`; empty when
// there are fewer.
std::string NthWord(int n, const std::string& s, const std::string& delimiters);
// Where that run starts (1-based); 0 when there are fewer.
int NthWordPos(int n, const std::string& s, const std::string& delimiters);

// When set, it names the default INI file instead of the program's name.
extern std::function<std::string()> DefaultIniNameHook;
// When set, the default registry key lies under "Software\<this>".
extern std::string DefaultRegistrySubKey;
// When on, the default registry key is named after the application's
// title (when it has one) instead of the program.
extern bool DefaultRegistryUseTitle;

// The default INI file of the program at `programPath`: its name with
// ".INI" for the extension, or what the hook answers.
std::string IniFileNameFor(const std::string& programPath);
// The default registry key of the program at `programPath` whose
// application is titled `title`.
std::string RegistryKeyFor(const std::string& programPath, const std::string& title);

}  // namespace treskel
