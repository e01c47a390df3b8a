#include "store/TreskelNames.h"

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
    // Device names stay devices whatever extension follows them.
    std::string base = UpperCase(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$"};
    for (const char* d : devices)
        if (base == d) return false;
    if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) && base[3] >= '1' &&
        base[3] <= '9')
        return false;
    return true;
}

std::string InvalidTreskelNameMessage(const std::string& name) {
    return "'" + name +
           "' cannot be the name of a treskel, since it names the treskel's files.\n"
           "A name may not hold any of \\ / : * ? \" < > |, may not end in a dot or a space, "
           "and may not be a device name such as CON or NUL.";
}

}  // namespace treskel
