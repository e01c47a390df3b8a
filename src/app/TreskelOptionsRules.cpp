#include "app/TreskelOptionsRules.h"

#include "platform/FileSys.h"
#include "platform/SysUtils.h"

namespace treskel {

bool SameDirectory(const std::string& a, const std::string& b) {
    return SameText(ExcludeTrailingBackslash(Trim(a)), ExcludeTrailingBackslash(Trim(b)));
}

std::string DataDirectoryProblem(const std::string& dir) {
    const std::string d = ExcludeTrailingBackslash(Trim(dir));
    if (d.empty()) return {};
    if (!DirectoryExists(d)) {
        if (FileExists(d)) return "A file of that name is in the way.";
        if (!ForceDirectories(d)) return "It cannot be made: " + LastFileError();
    }
    // A file of its own proves that notes can be written there.
    const std::string probe = IncludeTrailingBackslash(d) + "~treskel-probe.tmp";
    std::string error;
    {
        OsFile f = OsFile::Open(probe, fmCreate, &error);
        if (!f.IsOpen()) return "Nothing can be written to it: " + error;
        const char byte = 0;
        if (f.Write(&byte, 1) != 1) {
            f.Close();
            DeleteFile(probe);
            return "Nothing can be written to it: " + LastFileError();
        }
    }
    DeleteFile(probe);
    return {};
}

}  // namespace treskel
