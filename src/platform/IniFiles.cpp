#include "platform/IniFiles.h"

#include <windows.h>

#include <vector>

namespace treskel {

// ------------------------------------------------------------ TCustomIniFile

int TCustomIniFile::ReadInteger(const std::string& section, const std::string& ident, int defaultValue) {
    std::string s = ReadString(section, ident, {});
    int v;
    return TryStrToInt(Trim(s), v) ? v : defaultValue;
}

void TCustomIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
    WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const std::string& section, const std::string& ident, bool defaultValue) {
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}

void TCustomIniFile::ReadSectionValues(const std::string& section, TStrings& strings) {
    TStringList names;
    ReadSection(section, names);
    strings.BeginUpdate();
    strings.Clear();
    for (int i = 0; i < names.Count(); ++i) strings.Add(names[i] + "=" + ReadString(section, names[i], {}));
    strings.EndUpdate();
}

bool TCustomIniFile::SectionExists(const std::string& section) {
    TStringList names;
    ReadSection(section, names);
    return names.Count() > 0;
}

bool TCustomIniFile::ValueExists(const std::string& section, const std::string& ident) {
    TStringList names;
    ReadSection(section, names);
    return names.IndexOf(ident) >= 0;
}

// ------------------------------------------------------------ TIniFile

namespace {

// The profile functions truncate silently; ask again with a larger buffer
// until the answer fits.  `terminators` is 1 for a string, 2 for a list.
template <class Call>
std::string ProfileText(Call call, DWORD terminators) {
    std::vector<char> buf(1024);
    for (;;) {
        DWORD n = call(buf.data(), static_cast<DWORD>(buf.size()));
        if (n + terminators < buf.size()) return std::string(buf.data(), n);
        buf.resize(buf.size() * 4);
    }
}

void SplitZeroList(const std::string& list, TStrings& strings) {
    strings.BeginUpdate();
    strings.Clear();
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\0', start);
        if (end == std::string::npos) end = list.size();
        if (end > start) strings.Add(list.substr(start, end - start));
        start = end + 1;
    }
    strings.EndUpdate();
}

}  // namespace

TIniFile::~TIniFile() {
    // Hand the system's cached changes to the disk now.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, FileName().c_str());
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) {
    return ProfileText(
        [&](char* buf, DWORD size) {
            return GetPrivateProfileStringA(section.c_str(), ident.c_str(), defaultValue.c_str(), buf, size,
                                            FileName().c_str());
        },
        1);
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    if (!WritePrivateProfileStringA(section.c_str(), ident.c_str(), value.c_str(), FileName().c_str()))
        throw EIniFileException(Format("Unable to write to %s", FileName().c_str()));
}

void TIniFile::ReadSection(const std::string& section, TStrings& strings) {
    std::string list = ProfileText(
        [&](char* buf, DWORD size) {
            return GetPrivateProfileStringA(section.c_str(), nullptr, "", buf, size, FileName().c_str());
        },
        2);
    SplitZeroList(list, strings);
}

void TIniFile::ReadSections(TStrings& strings) {
    std::string list = ProfileText(
        [&](char* buf, DWORD size) { return GetPrivateProfileSectionNamesA(buf, size, FileName().c_str()); }, 2);
    SplitZeroList(list, strings);
}

void TIniFile::EraseSection(const std::string& section) {
    if (!WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, FileName().c_str()))
        throw EIniFileException(Format("Unable to write to %s", FileName().c_str()));
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
    WritePrivateProfileStringA(section.c_str(), ident.c_str(), nullptr, FileName().c_str());
}

void TIniFile::UpdateFile() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, FileName().c_str()); }

}  // namespace treskel
