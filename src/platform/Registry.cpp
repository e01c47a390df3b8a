#include "platform/Registry.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace treskel {

namespace {

// Reads a value's raw bytes; false when it is absent.
bool QueryValue(HKEY key, const std::string& name, DWORD& type, std::vector<BYTE>& data) {
    if (key == nullptr) return false;
    for (;;) {
        DWORD size = static_cast<DWORD>(data.size());
        LONG r = RegQueryValueExA(key, name.c_str(), nullptr, &type, data.empty() ? nullptr : data.data(), &size);
        if (r == ERROR_MORE_DATA || (r == ERROR_SUCCESS && data.empty() && size > 0)) {
            data.resize(size + 1);
            continue;
        }
        if (r != ERROR_SUCCESS) return false;
        data.resize(size);
        return true;
    }
}

// The string of a REG_SZ value without its terminating zero(s).
std::string StringOf(const std::vector<BYTE>& data) {
    std::string s(data.begin(), data.end());
    size_t z = s.find('\0');
    if (z != std::string::npos) s.resize(z);
    return s;
}

void EnumNames(HKEY key, bool keys, TStrings& list) {
    list.BeginUpdate();
    list.Clear();
    if (key != nullptr) {
        std::vector<char> name(256);
        for (DWORD i = 0;; ++i) {
            DWORD n = static_cast<DWORD>(name.size());
            LONG r = keys ? RegEnumKeyExA(key, i, name.data(), &n, nullptr, nullptr, nullptr, nullptr)
                          : RegEnumValueA(key, i, name.data(), &n, nullptr, nullptr, nullptr, nullptr);
            if (r == ERROR_MORE_DATA) {
                name.resize(name.size() * 4);
                --i;
                continue;
            }
            if (r != ERROR_SUCCESS) break;
            list.Add(std::string(name.data(), n));
        }
    }
    list.EndUpdate();
}

bool DeleteTree(HKEY parent, const std::string& name) {
    {
        HKEY raw = nullptr;
        if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, &raw) != ERROR_SUCCESS) return false;
        RegKeyHandle key(raw);
        TStringList subs;
        EnumNames(key.Get(), true, subs);
        for (int i = 0; i < subs.Count(); ++i) DeleteTree(key.Get(), subs[i]);
    }
    return RegDeleteKeyA(parent, name.c_str()) == ERROR_SUCCESS;
}

}  // namespace

std::string NormalizeRegPath(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
        out += c;
    }
    if (!out.empty() && out.back() == '\\') out.pop_back();
    return out;
}

std::string JoinRegPath(const std::string& a, const std::string& b) {
    std::string x = NormalizeRegPath(a), y = NormalizeRegPath(b);
    if (x.empty()) return y;
    if (y.empty()) return x;
    return x + "\\" + y;
}

// ------------------------------------------------------------ TRegistry

TRegistry::TRegistry() = default;

TRegistry::TRegistry(REGSAM access) : access_(access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY key) {
    if (key == rootKey_) return;
    CloseKey();
    rootKey_ = key;
}

void TRegistry::CloseKey() {
    if (currentKey_ && !lazyWrite_) RegFlushKey(currentKey_.Get());
    currentKey_.Reset();
    currentPath_.clear();
}

HKEY TRegistry::BaseFor(const std::string& key, std::string& relative) const {
    bool absolute = !key.empty() && key[0] == '\\';
    relative = NormalizeRegPath(key);
    return absolute || !currentKey_ ? rootKey_ : currentKey_.Get();
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    std::string relative;
    HKEY base = BaseFor(key, relative);
    HKEY raw = nullptr;
    LONG r;
    if (canCreate && !relative.empty())
        r = RegCreateKeyExA(base, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr, &raw,
                            nullptr);
    else
        r = RegOpenKeyExA(base, relative.c_str(), 0, access_, &raw);
    if (r != ERROR_SUCCESS) return false;
    std::string path = base == rootKey_ ? relative : JoinRegPath(currentPath_, relative);
    CloseKey();
    currentKey_.Reset(raw);
    currentPath_ = path;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    REGSAM saved = access_;
    access_ = KEY_READ;
    bool ok = OpenKey(key, false);
    access_ = saved;
    return ok;
}

bool TRegistry::KeyExists(const std::string& key) const {
    std::string relative;
    HKEY base = BaseFor(key, relative);
    HKEY raw = nullptr;
    if (RegOpenKeyExA(base, relative.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return false;
    RegKeyHandle closer(raw);
    return true;
}

bool TRegistry::CreateKey(const std::string& key) {
    std::string relative;
    HKEY base = BaseFor(key, relative);
    if (relative.empty()) return false;
    HKEY raw = nullptr;
    if (RegCreateKeyExA(base, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &raw,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegKeyHandle closer(raw);
    return true;
}

bool TRegistry::DeleteKey(const std::string& key) {
    std::string relative;
    HKEY base = BaseFor(key, relative);
    if (relative.empty()) return false;
    return DeleteTree(base, relative);
}

bool TRegistry::HasSubKeys() const {
    DWORD subKeys = 0;
    if (!currentKey_) return false;
    if (RegQueryInfoKeyA(currentKey_.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    return subKeys > 0;
}

void TRegistry::GetKeyNames(TStrings& list) const { EnumNames(currentKey_.Get(), true, list); }

void TRegistry::GetValueNames(TStrings& list) const { EnumNames(currentKey_.Get(), false, list); }

bool TRegistry::ValueExists(const std::string& name) const {
    TRegDataInfo info;
    return GetDataInfo(name, info);
}

bool TRegistry::GetDataInfo(const std::string& name, TRegDataInfo& info) const {
    info = {};
    if (!currentKey_) return false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(currentKey_.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    switch (type) {
        case REG_SZ: info.RegData = TRegDataType::rdString; break;
        case REG_EXPAND_SZ: info.RegData = TRegDataType::rdExpandString; break;
        case REG_DWORD: info.RegData = TRegDataType::rdInteger; break;
        case REG_BINARY: info.RegData = TRegDataType::rdBinary; break;
        default: info.RegData = TRegDataType::rdUnknown; break;
    }
    info.DataSize = static_cast<int>(size);
    return true;
}

TRegDataType TRegistry::GetDataType(const std::string& name) const {
    TRegDataInfo info;
    GetDataInfo(name, info);
    return info.RegData;
}

int TRegistry::GetDataSize(const std::string& name) const {
    TRegDataInfo info;
    return GetDataInfo(name, info) ? info.DataSize : -1;
}

bool TRegistry::DeleteValue(const std::string& name) {
    return currentKey_ && RegDeleteValueA(currentKey_.Get(), name.c_str()) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& name) const {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!QueryValue(currentKey_.Get(), name, type, data)) return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw ERegistryException(Format("Invalid data type for '%s'", name.c_str()));
    return StringOf(data);
}

void TRegistry::PutData(const std::string& name, DWORD type, const void* data, DWORD size) {
    if (!currentKey_ ||
        RegSetValueExA(currentKey_.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
        throw ERegistryException(Format("Failed to set data for '%s'", name.c_str()));
    if (!lazyWrite_) RegFlushKey(currentKey_.Get());
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    PutData(name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void TRegistry::WriteExpandString(const std::string& name, const std::string& value) {
    PutData(name, REG_EXPAND_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

int TRegistry::ReadInteger(const std::string& name) const {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!QueryValue(currentKey_.Get(), name, type, data) || type != REG_DWORD || data.size() != 4)
        throw ERegistryException(Format("Invalid data type for '%s'", name.c_str()));
    return static_cast<int>(data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<uint32_t>(data[3]) << 24));
}

void TRegistry::WriteInteger(const std::string& name, int value) {
    DWORD v = static_cast<DWORD>(value);
    PutData(name, REG_DWORD, &v, sizeof v);
}

int TRegistry::ReadBinaryData(const std::string& name, void* buffer, int size) const {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!QueryValue(currentKey_.Get(), name, type, data))
        throw ERegistryException(Format("Invalid data type for '%s'", name.c_str()));
    int n = std::min(size, static_cast<int>(data.size()));
    if (n > 0) memcpy(buffer, data.data(), static_cast<size_t>(n));
    return n;
}

void TRegistry::WriteBinaryData(const std::string& name, const void* buffer, int size) {
    PutData(name, REG_BINARY, buffer, static_cast<DWORD>(size));
}

// ------------------------------------------------------------ TRegIniFile

TRegIniFile::TRegIniFile(const std::string& fileName) : TCustomIniFile(fileName) {}

TRegIniFile::TRegIniFile(const std::string& fileName, REGSAM access) : TCustomIniFile(fileName), access_(access) {}

RegKeyHandle TRegIniFile::OpenSection(const std::string& section, REGSAM access) const {
    std::string path = JoinRegPath(FileName(), section);
    HKEY raw = nullptr;
    if (RegOpenKeyExA(rootKey_, path.c_str(), 0, access, &raw) != ERROR_SUCCESS) return {};
    return RegKeyHandle(raw);
}

std::string TRegIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& defaultValue) {
    RegKeyHandle key = OpenSection(section, KEY_READ);
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!QueryValue(key.Get(), ident, type, data)) return defaultValue;
    if (type == REG_SZ || type == REG_EXPAND_SZ) return StringOf(data);
    if (type == REG_DWORD && data.size() == 4)
        return IntToStr(static_cast<int32_t>(data[0] | (data[1] << 8) | (data[2] << 16) |
                                             (static_cast<uint32_t>(data[3]) << 24)));
    return defaultValue;
}

int TRegIniFile::ReadInteger(const std::string& section, const std::string& ident, int defaultValue) {
    return TCustomIniFile::ReadInteger(section, ident, defaultValue);
}

void TRegIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    std::string path = JoinRegPath(FileName(), section);
    HKEY raw = nullptr;
    LONG r = path.empty() ? RegOpenKeyExA(rootKey_, "", 0, KEY_WRITE | KEY_READ, &raw)
                          : RegCreateKeyExA(rootKey_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                            KEY_WRITE | KEY_READ, nullptr, &raw, nullptr);
    if (r != ERROR_SUCCESS) throw ERegistryException(Format("Failed to create key %s", path.c_str()));
    RegKeyHandle key(raw);
    if (RegSetValueExA(key.Get(), ident.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        throw ERegistryException(Format("Failed to set data for '%s'", ident.c_str()));
    if (!lazyWrite_) RegFlushKey(key.Get());
}

void TRegIniFile::ReadSection(const std::string& section, TStrings& strings) {
    RegKeyHandle key = OpenSection(section, KEY_READ);
    EnumNames(key.Get(), false, strings);
}

void TRegIniFile::ReadSections(TStrings& strings) {
    RegKeyHandle key = OpenSection({}, KEY_READ);
    EnumNames(key.Get(), true, strings);
}

void TRegIniFile::ReadSectionValues(const std::string& section, TStrings& strings) {
    TCustomIniFile::ReadSectionValues(section, strings);
}

void TRegIniFile::EraseSection(const std::string& section) {
    std::string sub = NormalizeRegPath(section);
    if (sub.empty()) return;  // the store key itself is not a section to erase
    RegKeyHandle parent = OpenSection({}, KEY_ALL_ACCESS);
    if (parent) DeleteTree(parent.Get(), sub);
}

void TRegIniFile::DeleteKey(const std::string& section, const std::string& ident) {
    RegKeyHandle key = OpenSection(section, KEY_SET_VALUE);
    if (key) RegDeleteValueA(key.Get(), ident.c_str());
}

bool TRegIniFile::ValueExists(const std::string& section, const std::string& ident) {
    RegKeyHandle key = OpenSection(section, KEY_READ);
    return key && RegQueryValueExA(key.Get(), ident.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool TRegIniFile::SectionExists(const std::string& section) { return static_cast<bool>(OpenSection(section, KEY_READ)); }

}  // namespace treskel
