// The registry and INI classes, checked against what the system itself
// reads back from the registry and the file.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>

#include "platform/IniFiles.h"
#include "platform/Registry.h"
#include "support/GuiTest.h"
#include "support/TestEnv.h"

namespace treskel {
namespace {

const char kKey[] = "SOFTWARE\\Qiv\\RegTest";

struct RawValue {
    DWORD type = 0;
    std::string data;  // the bytes as stored, terminating zero included
};

std::optional<RawValue> ReadRaw(const std::string& path, const std::string& name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    RawValue v;
    DWORD size = 0;
    LONG r = RegQueryValueExA(key, name.c_str(), nullptr, &v.type, nullptr, &size);
    if (r == ERROR_SUCCESS) {
        v.data.resize(size);
        r = RegQueryValueExA(key, name.c_str(), nullptr, &v.type, reinterpret_cast<BYTE*>(v.data.data()), &size);
    }
    RegCloseKey(key);
    if (r != ERROR_SUCCESS) return std::nullopt;
    return v;
}

void WriteRaw(const std::string& path, const std::string& name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

std::string Sz(const std::string& s) { return s + '\0'; }

TEST(RegIniFile, WritesStringValuesInSectionSubkeys) {
    TRegIniFile ini(std::string(kKey) + "\\");
    ini.WriteString("Section", "name", "value");
    ini.WriteInteger("Section", "count", -42);
    ini.WriteBool("Section", "on", true);
    ini.WriteBool("Section", "off", false);
    ini.WriteString("", "top", "at the key");
    ini.WriteString("Deep\\Er", "x", "");

    const std::string sec = std::string(kKey) + "\\Section";
    for (auto [name, text] : std::vector<std::pair<const char*, const char*>>{
             {"name", "value"}, {"count", "-42"}, {"on", "1"}, {"off", "0"}}) {
        auto v = ReadRaw(sec, name);
        ASSERT_TRUE(v) << name;
        EXPECT_EQ(v->type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(v->data, Sz(text)) << name;
    }
    EXPECT_EQ(ReadRaw(kKey, "top")->data, Sz("at the key"));
    EXPECT_EQ(ReadRaw(std::string(kKey) + "\\Deep\\Er", "x")->data, Sz(""));
}

TEST(RegIniFile, ReadsNeverCreateKeys) {
    TRegIniFile ini(kKey);
    EXPECT_EQ(ini.ReadString("Missing", "a", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInteger("Missing", "a", 7), 7);
    EXPECT_TRUE(ini.ReadBool("Missing", "a", true));
    EXPECT_FALSE(ini.ValueExists("Missing", "a"));
    EXPECT_FALSE(ini.SectionExists("Missing"));
    TStringList names{"stale"};
    ini.ReadSection("Missing", names);
    EXPECT_EQ(names.Count(), 0);
    ini.ReadSections(names);
    ini.DeleteKey("Missing", "a");
    ini.EraseSection("Missing");
    EXPECT_FALSE(test::RegistryKeyExists(kKey));
    EXPECT_FALSE(test::RegistryKeyExists("SOFTWARE\\Qiv"));

    // A store key that exists does not get the missing section either.
    test::WriteRegistryString(kKey, "v", "1");
    EXPECT_EQ(ini.ReadString("Other", "v", "d"), "d");
    EXPECT_FALSE(test::RegistryKeyExists(std::string(kKey) + "\\Other"));
    EXPECT_EQ(ini.ReadString("", "v", "d"), "1");
}

TEST(RegIniFile, NumbersAndFlagsAsText) {
    const std::string sec = std::string(kKey) + "\\S";
    test::WriteRegistryString(sec, "n", "123");
    test::WriteRegistryString(sec, "hex", "$1F");
    test::WriteRegistryString(sec, "bad", "12abc");
    test::WriteRegistryString(sec, "five", "5");
    test::WriteRegistryString(sec, "zero", "0");
    DWORD dword = 77;
    WriteRaw(sec, "dword", REG_DWORD, &dword, sizeof dword);
    TRegIniFile ini(kKey);
    EXPECT_EQ(ini.ReadInteger("S", "n", 0), 123);
    EXPECT_EQ(ini.ReadInteger("S", "hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("S", "bad", -1), -1);
    EXPECT_EQ(ini.ReadInteger("S", "dword", 0), 77);
    EXPECT_EQ(ini.ReadString("S", "dword", ""), "77");
    EXPECT_TRUE(ini.ReadBool("S", "five", false));
    EXPECT_FALSE(ini.ReadBool("S", "zero", true));
    EXPECT_TRUE(ini.ReadBool("S", "bad", true));
    EXPECT_FALSE(ini.ReadBool("S", "bad", false));
}

TEST(RegIniFile, DeleteAndEraseAndList) {
    TRegIniFile ini(kKey);
    ini.WriteString("A", "x", "1");
    ini.WriteString("A", "y", "2");
    ini.WriteString("B\\Sub", "z", "3");
    ini.DeleteKey("A", "x");
    EXPECT_FALSE(ReadRaw(std::string(kKey) + "\\A", "x"));
    EXPECT_TRUE(test::RegistryKeyExists(std::string(kKey) + "\\A"));
    TStringList list;
    ini.ReadSection("A", list);
    EXPECT_EQ(list.ToVector(), std::vector<std::string>{"y"});
    ini.ReadSectionValues("A", list);
    EXPECT_EQ(list.ToVector(), std::vector<std::string>{"y=2"});
    ini.ReadSections(list);
    list.Sort();
    EXPECT_EQ(list.ToVector(), (std::vector<std::string>{"A", "B"}));
    ini.EraseSection("B");
    EXPECT_FALSE(test::RegistryKeyExists(std::string(kKey) + "\\B"));
    EXPECT_TRUE(test::RegistryKeyExists(kKey));
}

TEST(RegIniFile, LongValues) {
    std::string big(5000, 'q');
    big[4999] = 'z';
    TRegIniFile ini(kKey);
    ini.WriteString("L", "big", big);
    EXPECT_EQ(ini.ReadString("L", "big", ""), big);
    EXPECT_EQ(ReadRaw(std::string(kKey) + "\\L", "big")->data, Sz(big));
}

TEST(Registry, OpenCreateReadWrite) {
    TRegistry reg;
    EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.OpenKey(kKey, false));
    EXPECT_FALSE(test::RegistryKeyExists(kKey));
    ASSERT_TRUE(reg.OpenKey(kKey, true));
    EXPECT_EQ(reg.CurrentPath(), kKey);
    reg.WriteString("s", "text");
    reg.WriteInteger("i", -5);
    reg.WriteBool("b", true);
    const unsigned char bytes[3] = {1, 0, 255};
    reg.WriteBinaryData("bin", bytes, 3);
    EXPECT_EQ(ReadRaw(kKey, "s")->data, Sz("text"));
    auto i = ReadRaw(kKey, "i");
    EXPECT_EQ(i->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(i->data, std::string("\xFB\xFF\xFF\xFF", 4));
    EXPECT_EQ(reg.ReadString("s"), "text");
    EXPECT_EQ(reg.ReadInteger("i"), -5);
    EXPECT_TRUE(reg.ReadBool("b"));
    unsigned char back[8] = {};
    EXPECT_EQ(reg.ReadBinaryData("bin", back, 8), 3);
    EXPECT_EQ(back[2], 255);
    EXPECT_EQ(reg.GetDataType("s"), TRegDataType::rdString);
    EXPECT_EQ(reg.GetDataType("bin"), TRegDataType::rdBinary);
    EXPECT_EQ(reg.GetDataSize("s"), 5);
    EXPECT_EQ(reg.GetDataSize("none"), -1);
    EXPECT_EQ(reg.ReadString("none"), "");
    EXPECT_THROW(reg.ReadInteger("none"), ERegistryException);
    EXPECT_THROW(reg.ReadInteger("s"), ERegistryException);
    EXPECT_THROW(reg.ReadString("i"), ERegistryException);
    EXPECT_TRUE(reg.DeleteValue("s"));
    EXPECT_FALSE(reg.ValueExists("s"));
    TStringList names;
    reg.GetValueNames(names);
    names.Sort();
    EXPECT_EQ(names.ToVector(), (std::vector<std::string>{"b", "bin", "i"}));
}

TEST(Registry, RelativeAndAbsoluteKeys) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(std::string("\\") + kKey + "\\", true));
    EXPECT_EQ(reg.CurrentPath(), kKey);
    ASSERT_TRUE(reg.OpenKey("Child\\Grand", true));
    EXPECT_EQ(reg.CurrentPath(), std::string(kKey) + "\\Child\\Grand");
    EXPECT_TRUE(test::RegistryKeyExists(std::string(kKey) + "\\Child\\Grand"));
    ASSERT_TRUE(reg.OpenKey(std::string("\\") + kKey, false));
    EXPECT_TRUE(reg.KeyExists("Child"));
    EXPECT_FALSE(reg.KeyExists("Nope"));
    EXPECT_TRUE(reg.HasSubKeys());
    TStringList keys;
    reg.GetKeyNames(keys);
    EXPECT_EQ(keys.ToVector(), std::vector<std::string>{"Child"});
    EXPECT_TRUE(reg.DeleteKey("Child"));  // with its subkeys
    EXPECT_FALSE(test::RegistryKeyExists(std::string(kKey) + "\\Child"));
    EXPECT_FALSE(reg.DeleteKey("Child"));
}

TEST(Registry, ReadOnlyKeysRefuseWrites) {
    test::WriteRegistryString(kKey, "v", "x");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(kKey));
    EXPECT_EQ(reg.ReadString("v"), "x");
    EXPECT_THROW(reg.WriteString("v", "y"), ERegistryException);
    EXPECT_EQ(ReadRaw(kKey, "v")->data, Sz("x"));
    EXPECT_FALSE(reg.OpenKeyReadOnly(std::string("\\") + kKey + "\\Missing"));
    EXPECT_FALSE(test::RegistryKeyExists(std::string(kKey) + "\\Missing"));
    reg.CloseKey();
    EXPECT_EQ(reg.CurrentKey(), nullptr);
    EXPECT_THROW(reg.WriteString("v", "y"), ERegistryException);
}

TEST(RegPath, Normalized) {
    EXPECT_EQ(NormalizeRegPath("\\A\\\\B\\"), "A\\B");
    EXPECT_EQ(NormalizeRegPath(""), "");
    EXPECT_EQ(JoinRegPath("A\\", "\\B"), "A\\B");
    EXPECT_EQ(JoinRegPath("", "B"), "B");
    EXPECT_EQ(JoinRegPath("A", ""), "A");
}

TEST(IniFile, LinesUnderSections) {
    test::TempDir dir;
    const std::string file = dir.File("settings.ini");
    {
        TIniFile ini(file);
        ini.WriteString("common", "path", "C:\\Data");
        ini.WriteInteger("common", "compression", 2);
        ini.WriteBool("common", "updated", true);
        ini.WriteString("Other", "q", "'quoted'");
        EXPECT_EQ(ini.FileName(), file);
    }
    std::vector<unsigned char> bytes = test::ReadAll(file);
    // The system decides about blank lines between sections.
    std::string text = StringReplaceAll(std::string(bytes.begin(), bytes.end()), "\r\n\r\n", "\r\n");
    EXPECT_EQ(text, "[common]\r\npath=C:\\Data\r\ncompression=2\r\nupdated=1\r\n[Other]\r\nq='quoted'\r\n");

    TIniFile ini(file);
    EXPECT_EQ(ini.ReadString("common", "path", ""), "C:\\Data");
    EXPECT_EQ(ini.ReadInteger("common", "compression", 0), 2);
    EXPECT_TRUE(ini.ReadBool("common", "updated", false));
    // The system's reader takes one pair of quotes off.
    EXPECT_EQ(ini.ReadString("Other", "q", ""), "quoted");
    EXPECT_EQ(ini.ReadString("none", "x", "dflt"), "dflt");
    TStringList list;
    ini.ReadSections(list);
    EXPECT_EQ(list.ToVector(), (std::vector<std::string>{"common", "Other"}));
    ini.ReadSection("common", list);
    EXPECT_EQ(list.ToVector(), (std::vector<std::string>{"path", "compression", "updated"}));
    EXPECT_TRUE(ini.ValueExists("common", "updated"));
    ini.DeleteKey("common", "updated");
    EXPECT_FALSE(ini.ValueExists("common", "updated"));
    EXPECT_TRUE(ini.SectionExists("common"));
    ini.EraseSection("Other");
    EXPECT_FALSE(ini.SectionExists("Other"));
}

TEST(IniFile, LongValuesAreNotCut) {
    test::TempDir dir;
    TIniFile ini(dir.File("long.ini"));
    std::string big(3000, 'x');
    big += "end";
    ini.WriteString("s", "big", big);
    EXPECT_EQ(ini.ReadString("s", "big", ""), big);
}

}  // namespace
}  // namespace treskel
