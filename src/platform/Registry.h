// The system registry: TRegistry (one open key at a time) and TRegIniFile
// (a key read and written like an INI file: one subkey per section, every
// value a string).
#pragma once

#include <windows.h>

#include <string>

#include "platform/Classes.h"
#include "platform/Handles.h"
#include "platform/IniFiles.h"

namespace treskel {

// A key path as the registry functions want it: no leading or trailing
// backslash, doubled backslashes collapsed.
std::string NormalizeRegPath(const std::string& path);
// Two key paths joined with one backslash (either may be empty).
std::string JoinRegPath(const std::string& a, const std::string& b);

enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
    TRegDataType RegData = TRegDataType::rdUnknown;
    int DataSize = 0;
};

// One open key below a root key.  Reading methods raise ERegistryException
// for a value that is missing or of another type; ReadString of a missing
// value gives an empty string.
class TRegistry : public TObject {
    TRESKEL_CLASS(TRegistry)
public:
    TRegistry();
    explicit TRegistry(REGSAM access);
    ~TRegistry() override;

    HKEY RootKey() const { return rootKey_; }
    void SetRootKey(HKEY key);
    HKEY CurrentKey() const { return currentKey_.Get(); }
    const std::string& CurrentPath() const { return currentPath_; }
    REGSAM Access() const { return access_; }
    void SetAccess(REGSAM access) { access_ = access; }
    // Off: every write is flushed to disk at once.
    bool LazyWrite() const { return lazyWrite_; }
    void SetLazyWrite(bool on) { lazyWrite_ = on; }

    // A key starting with '\' is taken from the root, otherwise from the
    // current key.  With canCreate false nothing is created.
    bool OpenKey(const std::string& key, bool canCreate);
    bool OpenKeyReadOnly(const std::string& key);
    void CloseKey();
    bool KeyExists(const std::string& key) const;
    bool CreateKey(const std::string& key);
    // Removes the key with all its subkeys.
    bool DeleteKey(const std::string& key);
    bool HasSubKeys() const;
    void GetKeyNames(TStrings& list) const;
    void GetValueNames(TStrings& list) const;

    bool ValueExists(const std::string& name) const;
    bool GetDataInfo(const std::string& name, TRegDataInfo& info) const;
    TRegDataType GetDataType(const std::string& name) const;
    int GetDataSize(const std::string& name) const;  // -1 when absent
    bool DeleteValue(const std::string& name);

    std::string ReadString(const std::string& name) const;
    void WriteString(const std::string& name, const std::string& value);
    void WriteExpandString(const std::string& name, const std::string& value);
    int ReadInteger(const std::string& name) const;
    void WriteInteger(const std::string& name, int value);
    bool ReadBool(const std::string& name) const { return ReadInteger(name) != 0; }
    void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }
    // Copies at most `size` bytes; returns the number copied.
    int ReadBinaryData(const std::string& name, void* buffer, int size) const;
    void WriteBinaryData(const std::string& name, const void* buffer, int size);

private:
    HKEY BaseFor(const std::string& key, std::string& relative) const;
    void PutData(const std::string& name, DWORD type, const void* data, DWORD size);
    HKEY rootKey_ = HKEY_CURRENT_USER;
    RegKeyHandle currentKey_;
    std::string currentPath_;
    REGSAM access_ = KEY_ALL_ACCESS;
    bool lazyWrite_ = true;
};

// A registry key used as an INI file: FileName is the key below RootKey,
// each section a subkey of it (an empty section: the key itself), each
// value a string.  Keys are opened per operation: reads open them
// read-only and never create them; writes create what is missing.
class TRegIniFile : public TCustomIniFile {
    TRESKEL_CLASS(TRegIniFile)
public:
    explicit TRegIniFile(const std::string& fileName);
    TRegIniFile(const std::string& fileName, REGSAM access);

    HKEY RootKey() const { return rootKey_; }
    void SetRootKey(HKEY key) { rootKey_ = key; }
    bool LazyWrite() const { return lazyWrite_; }
    void SetLazyWrite(bool on) { lazyWrite_ = on; }
    REGSAM Access() const { return access_; }

    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& defaultValue) override;
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    // Also takes a number stored as a DWORD value.
    int ReadInteger(const std::string& section, const std::string& ident, int defaultValue) override;
    void ReadSection(const std::string& section, TStrings& strings) override;
    void ReadSections(TStrings& strings) override;
    void ReadSectionValues(const std::string& section, TStrings& strings) override;
    void EraseSection(const std::string& section) override;
    void DeleteKey(const std::string& section, const std::string& ident) override;
    bool ValueExists(const std::string& section, const std::string& ident) override;
    bool SectionExists(const std::string& section) override;
    void UpdateFile() override {}

private:
    RegKeyHandle OpenSection(const std::string& section, REGSAM access) const;
    HKEY rootKey_ = HKEY_CURRENT_USER;
    REGSAM access_ = KEY_ALL_ACCESS;
    bool lazyWrite_ = true;
};

}  // namespace treskel
