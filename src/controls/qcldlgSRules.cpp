#include "controls/qcldlgSRules.h"

#include <algorithm>

#include "foundation/qclutils.h"

namespace treskel {

bool QclNewFolderNameBlank(const std::string& name) { return QclIsEmptyStr(name); }

std::string QclNewFolderNameProblem(const std::string& name) {
    const bool control = std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 32; });
    if (control || name.find_first_of("\\/:*?\"<>|") != std::string::npos || name.find("..") != std::string::npos ||
        (!name.empty() && name.back() == '.'))
        return kQclBadFolderName;
    return {};
}

std::string QclNewFolderPath(const std::string& dir, const std::string& name) { return QclAddBackslash(dir) + name; }

std::string QclNewFolderPrompt(const std::string& selectedPath) {
    return "Name: (" + QclShortenPath(selectedPath, 36) + ")";
}

std::string QclNewFolderQueryCaption() { return QclTrim(QclReplaceChar(kQclNewFolderCaption, '&', ' ')); }

}  // namespace treskel
