#include "store/TreskelNames.h"

#include "store/TreskelArchive.h"
#include "platform/FileSys.h"
#include "platform/SysUtils.h"

namespace treskel {

bool IsValidTreskelName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name) {
        if (c < 32) return false;
        switch (c) {
            case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
                return false;
            default:
                break;
        }
    }
    if (name.back() == '.' || name.back() == ' ') return false;
    return !IsDeviceName(name);
}

bool TreskelNameFits(const std::string& dataPath, const std::string& name) {
    // The temporary archive has the longest name in the data directory; a
    // loose note being saved, in the note folder, the longest path.
    const std::string archive = TempArchiveFileName(dataPath, name);
    const std::string note = NoteFileName(dataPath, name, 99999999) + ".tmp";
    return note.size() <= kMaxPathLength && archive.size() - dataPath.size() <= kMaxFileNameLength;
}

std::string TreskelNameProblem(const std::string& dataPath, const std::string& name) {
    if (!IsValidTreskelName(name)) return InvalidTreskelNameMessage(name);
    if (!TreskelNameFits(dataPath, name))
        return "This name is too long: the treskel's files in " + dataPath +
               " would have longer paths than the system allows.\nPlease choose a shorter name.";
    return {};
}

bool TreskelFilesExist(const std::string& dataPath, const std::string& name) {
    // The system's own look-up of each name: it finds what a listing would
    // not show under this spelling.
    for (const std::string& file : {ArchiveFileName(dataPath, name), TreeFileName(dataPath, name),
                                    ExcludeTrailingBackslash(NoteFolderName(dataPath, name))})
        if (FileExists(file) || DirectoryExists(file)) return true;
    return false;
}

std::string TreskelTabCaption(const std::string& name) { return name.empty() ? kUnnamedTreskelCaption : name; }

std::string TreskelOfTab(const std::string& caption) {
    return caption == kUnnamedTreskelCaption ? std::string() : caption;
}

std::string InvalidTreskelNameMessage(const std::string& name) {
    return "'" + name +
           "' cannot be the name of a treskel, since it names the treskel's files.\n"
           "A name may not hold any of \\ / : * ? \" < > |, may not end in a dot or a space, "
           "and may not be a device name such as CON, NUL, COM1 or CONIN$.";
}

}  // namespace treskel
