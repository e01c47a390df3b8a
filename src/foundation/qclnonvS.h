// The settings store: strings, numbers, flags and fonts by section and
// name, in the registry (one subkey per section) or in an INI file.  Every
// call opens the store, does its one operation and closes it again.
#pragma once

#include <windows.h>

#include <string>

#include "foundation/qclclass.h"
#include "foundation/qclnonvSFont.h"
#include "foundation/qclutils.h"
#include "platform/Graphics.h"
#include "platform/Registry.h"

namespace treskel {

enum class TQclRegRootKey { rpClassesRoot, rpCurrentUser, rpLocalMachine, rpUsers, rpCurrentConfig, rpDynData };
TRESKEL_ENUM_INFO(TQclRegRootKey, "rpClassesRoot", "rpCurrentUser", "rpLocalMachine", "rpUsers",
                  "rpCurrentConfig", "rpDynData")
// The predefined root of an ordinal; outside 0..5 the null key.
HKEY QclRegRootKeyHandle(TQclRegRootKey root);

enum class TQclIniTarget { itIniFile, itRegistry, itAuto };
TRESKEL_ENUM_INFO(TQclIniTarget, "itIniFile", "itRegistry", "itAuto")

// A registry key as an INI file, written lazily.  Opening creates nothing:
// reads leave a missing key missing, writes create what they need.
class TQclRegIniFile : public TRegIniFile {
    TRESKEL_CLASS(TQclRegIniFile)
public:
    TQclRegIniFile(HKEY rootKey, const std::string& key);
};

class TQclIniCtrl : public TQclComponent {
    TRESKEL_CLASS(TQclIniCtrl)
public:
    explicit TQclIniCtrl(TComponent* owner);

    bool AlphaCounter() const { return alphaCounter_; }
    // On: MaxEntries is held at 26 or below.
    void SetAlphaCounter(bool value);
    // INI target only: sections without a user suffix.
    bool Common() const { return common_; }
    void SetCommon(bool value) { common_ = value; }
    const std::string& IniFile() const { return iniFile_; }
    // A name without extension gets ".INI".
    void SetIniFile(const std::string& value);
    TQclPathPrefix IniPrefix() const { return iniPrefix_; }
    void SetIniPrefix(TQclPathPrefix value) { iniPrefix_ = value; }
    uint8_t MaxEntries() const { return maxEntries_; }
    void SetMaxEntries(uint8_t value);
    bool NetUser() const { return netUser_; }
    // Switching it on takes the network user's name as User.
    void SetNetUser(bool value);
    const std::string& User() const { return user_; }
    void SetUser(const std::string& value) { user_ = value; }
    const std::string& RegPath() const { return regPath_; }
    void SetRegPath(const std::string& value) { regPath_ = value; }
    TQclRegRootKey RegRoot() const { return regRoot_; }
    void SetRegRoot(TQclRegRootKey value) { regRoot_ = value; }
    TQclIniTarget Target() const { return target_; }
    void SetTarget(TQclIniTarget value);

    std::string ReadString(const std::string& section, const std::string& ident, const std::string& defaultValue);
    int ReadInteger(const std::string& section, const std::string& ident, int defaultValue);
    bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue);
    // True when a complete font string was stored and applied; otherwise
    // False and the font untouched.
    bool ReadFont(const std::string& section, const std::string& ident, TFont* font);
    void WriteString(const std::string& section, const std::string& ident, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& ident, int value);
    void WriteBool(const std::string& section, const std::string& ident, bool value);
    void WriteFont(const std::string& section, const std::string& ident, TFont* font);
    // Removes one value; the section stays.
    void DeleteKey(const std::string& section, const std::string& ident);

    // The key of the registry target, ending in '\'.
    std::string GetRegKey() const;
    // The INI file of the INI target, in the directory of IniPrefix.
    std::string GetIniFileName();
    // Empty or blank: the last section used ("Common" at first).  Registry:
    // "#ROOT" is the store key itself.  INI without Common: a user suffix.
    std::string GetSection(const std::string& section);
    // The network user's name.
    virtual std::string GetUserName();

private:
    enum class Effective { Registry, IniFile };
    template <class Op>
    auto WithStore(const std::string& section, Op op) -> decltype(op(std::declval<TCustomIniFile&>(), section));

    bool alphaCounter_ = false;
    bool common_ = true;
    std::string iniFile_;
    TQclPathPrefix iniPrefix_ = TQclPathPrefix::ppWindows;
    uint8_t maxEntries_ = 16;
    bool netUser_ = false;
    std::string user_;
    std::string regPath_;
    TQclRegRootKey regRoot_ = TQclRegRootKey::rpCurrentUser;
    TQclIniTarget target_ = TQclIniTarget::itAuto;
    Effective effective_ = Effective::Registry;
    std::string lastSection_;
};

// Which settings store a component that remembers state uses: its own
// link, the library application's store, or none.
enum class TQclIniUse { ioUseLink, ioUseGlobal, ioNone };
TRESKEL_ENUM_INFO(TQclIniUse, "ioUseLink", "ioUseGlobal", "ioNone")
// The store of `use`: `link` (which may be null), the application
// object's, or null.
TQclIniCtrl* QclChooseIniCtrl(TQclIniUse use, TQclIniCtrl* link);

std::string QclFontToString(TFont* font);
// Applies a font string to `font` only when it is complete and readable
// (see QclStringToFontFields); returns whether it did.
bool QclStringToFont(const std::string& s, TFont* font);

void RegisterNonvClasses();

}  // namespace treskel
