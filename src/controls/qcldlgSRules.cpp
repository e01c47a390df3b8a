#include "controls/qcldlgSRules.h"

#include <algorithm>

#include "foundation/qclutils.h"
#include "platform/FileSys.h"

namespace treskel {

std::string QclNewFolderNameProblem(const std::string& dir, const std::string& typed) {
    if (QclIsEmptyStr(typed)) return kQclBlankFolderName;
    const bool control =
        std::any_of(typed.begin(), typed.end(), [](char c) { return static_cast<unsigned char>(c) < 32; });
    const std::string name = QclTrim(typed);
    if (control || name.find_first_of("\\/:*?\"<>|") != std::string::npos || name.find("..") != std::string::npos ||
        name.back() == '.')
        return kQclBadFolderName;
    if (IsDeviceName(name))
        return "\"" + name + "\" is the name of a device of the system, as CON, PRN, AUX, NUL, COM1 and LPT1 are: "
               "no folder can have it.\nPlease choose another name.";
    if (name.size() > kQclMaxFolderName)
        return "A folder name can have at most " + std::to_string(kQclMaxFolderName) + " characters; this one has " +
               std::to_string(name.size()) + ".\nPlease choose a shorter name.";
    const size_t path = QclNewFolderPath(dir, name).size();
    if (path > kQclMaxFolderPath)
        return "The new folder's path would have " + std::to_string(path) + " characters; a folder's path can have at most " +
               std::to_string(kQclMaxFolderPath) + ".\nPlease choose a shorter name.";
    return {};
}

std::string QclNewFolderFailure(const std::string& name, bool exists, const std::string& systemReason) {
    if (exists) return "There is a folder or file named \"" + name + "\" here already.\nPlease choose another name.";
    return std::string(kQclFolderError) + "\r" + systemReason;
}

std::string QclNewFolderPath(const std::string& dir, const std::string& name) { return QclAddBackslash(dir) + name; }

std::string QclNewFolderPrompt(const std::string& selectedPath) {
    return "Name: (" + QclShortenPath(selectedPath, 36) + ")";
}

std::string QclNewFolderQueryCaption() { return QclTrim(QclReplaceChar(kQclNewFolderCaption, '&', ' ')); }

}  // namespace treskel
