#include "foundation/qclnonvS.h"

#include <memory>

#include "foundation/qclsysin.h"
#include "platform/Forms.h"
#include "platform/FormLoader.h"

namespace treskel {

HKEY QclRegRootKeyHandle(TQclRegRootKey root) {
    switch (root) {
        case TQclRegRootKey::rpClassesRoot: return HKEY_CLASSES_ROOT;
        case TQclRegRootKey::rpCurrentUser: return HKEY_CURRENT_USER;
        case TQclRegRootKey::rpLocalMachine: return HKEY_LOCAL_MACHINE;
        case TQclRegRootKey::rpUsers: return HKEY_USERS;
        case TQclRegRootKey::rpCurrentConfig: return HKEY_CURRENT_CONFIG;
        case TQclRegRootKey::rpDynData: return HKEY_DYN_DATA;
    }
    return nullptr;
}

TQclRegIniFile::TQclRegIniFile(HKEY rootKey, const std::string& key) : TRegIniFile(key) {
    SetLazyWrite(true);
    SetRootKey(rootKey);
}

// ------------------------------------------------------------ TQclIniCtrl

TQclIniCtrl::TQclIniCtrl(TComponent* owner) : TQclComponent(owner) {}

void TQclIniCtrl::SetAlphaCounter(bool value) {
    alphaCounter_ = value;
    if (value && maxEntries_ > 26) maxEntries_ = 26;
}

void TQclIniCtrl::SetMaxEntries(uint8_t value) {
    if (alphaCounter_ && value > 26) return;
    maxEntries_ = value;
}

void TQclIniCtrl::SetIniFile(const std::string& value) {
    iniFile_ = ExtractFileExt(value).empty() ? value + ".INI" : value;
}

void TQclIniCtrl::SetNetUser(bool value) {
    netUser_ = value;
    if (value) user_ = GetUserName();
}

void TQclIniCtrl::SetTarget(TQclIniTarget value) {
    target_ = value;
    effective_ = value == TQclIniTarget::itIniFile ? Effective::IniFile : Effective::Registry;
}

std::string TQclIniCtrl::GetUserName() { return QclGetUserNameStr(); }

std::string TQclIniCtrl::GetRegKey() const {
    if (QclIsEmptyStr(regPath_)) return QclApplication != nullptr ? QclApplication->GetRegKey() : "Software\\";
    return QclAddBackslash(regPath_);
}

std::string TQclIniCtrl::GetIniFileName() {
    if (QclIsEmptyStr(iniFile_)) {
        char buf[MAX_PATH + 1];
        DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
        iniFile_ = ChangeFileExt(std::string(buf, n), ".INI");
    }
    if (iniPrefix_ == TQclPathPrefix::ppFixed) return iniFile_;
    return QclGetPathPrefix(iniPrefix_, true) + ExtractFileName(iniFile_);
}

std::string TQclIniCtrl::GetSection(const std::string& section) {
    if (QclIsEmptyStr(section)) return lastSection_.empty() ? std::string("Common") : lastSection_;
    std::string result;
    if (effective_ == Effective::Registry)
        result = section == "#ROOT" ? std::string() : section;
    else if (common_)
        result = section;
    else
        result = section + "." + (netUser_ ? GetUserName() : user_);
    lastSection_ = result;
    return result;
}

template <class Op>
auto TQclIniCtrl::WithStore(const std::string& section, Op op)
    -> decltype(op(std::declval<TCustomIniFile&>(), section)) {
    // The store lives for this one operation, also when it raises.
    std::unique_ptr<TCustomIniFile> store;
    if (effective_ == Effective::Registry)
        store = std::make_unique<TQclRegIniFile>(QclRegRootKeyHandle(regRoot_), GetRegKey());
    else
        store = std::make_unique<TIniFile>(GetIniFileName());
    return op(*store, GetSection(section));
}

std::string TQclIniCtrl::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& defaultValue) {
    return WithStore(section, [&](TCustomIniFile& f, const std::string& s) { return f.ReadString(s, ident, defaultValue); });
}

int TQclIniCtrl::ReadInteger(const std::string& section, const std::string& ident, int defaultValue) {
    return WithStore(section, [&](TCustomIniFile& f, const std::string& s) { return f.ReadInteger(s, ident, defaultValue); });
}

bool TQclIniCtrl::ReadBool(const std::string& section, const std::string& ident, bool defaultValue) {
    return WithStore(section, [&](TCustomIniFile& f, const std::string& s) { return f.ReadBool(s, ident, defaultValue); });
}

bool TQclIniCtrl::ReadFont(const std::string& section, const std::string& ident, TFont* font) {
    std::string value = ReadString(section, ident, {});
    if (value.empty() || font == nullptr) return false;
    return QclStringToFont(value, font);
}

void TQclIniCtrl::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    WithStore(section, [&](TCustomIniFile& f, const std::string& s) { f.WriteString(s, ident, value); });
}

void TQclIniCtrl::WriteInteger(const std::string& section, const std::string& ident, int value) {
    WithStore(section, [&](TCustomIniFile& f, const std::string& s) { f.WriteInteger(s, ident, value); });
}

void TQclIniCtrl::WriteBool(const std::string& section, const std::string& ident, bool value) {
    WithStore(section, [&](TCustomIniFile& f, const std::string& s) { f.WriteBool(s, ident, value); });
}

void TQclIniCtrl::WriteFont(const std::string& section, const std::string& ident, TFont* font) {
    WriteString(section, ident, QclFontToString(font));
}

void TQclIniCtrl::DeleteKey(const std::string& section, const std::string& ident) {
    WithStore(section, [&](TCustomIniFile& f, const std::string& s) { f.DeleteKey(s, ident); });
}

// ------------------------------------------------------------ font strings

TQclIniCtrl* QclChooseIniCtrl(TQclIniUse use, TQclIniCtrl* link) {
    switch (use) {
        case TQclIniUse::ioUseLink: return link;
        case TQclIniUse::ioUseGlobal: return QclApplication != nullptr ? QclApplication->IniCtrl() : nullptr;
        case TQclIniUse::ioNone: break;
    }
    return nullptr;
}

std::string QclFontToString(TFont* font) {
    TQclFontFields f;
    f.Name = font->Name();
    f.Size = font->Size();
    f.Color = font->Color();
    f.Style = font->Style();
    return QclFontFieldsToString(f);
}

bool QclStringToFont(const std::string& s, TFont* font) {
    TQclFontFields f;
    if (!QclStringToFontFields(s, f)) return false;
    // One change notice for the whole font.
    TFont next;
    next.Assign(font);
    next.SetName(f.Name);
    next.SetSize(f.Size);
    next.SetColor(f.Color);
    next.SetStyle(f.Style);
    font->Assign(&next);
    return true;
}

// ------------------------------------------------------------ registration

void RegisterNonvClasses() {
    PublishClass<TQclIniCtrl, TQclComponent>()
        .String("About", &TQclIniCtrl::About, &TQclIniCtrl::SetAbout)
        .Bool("AlphaCounter", &TQclIniCtrl::AlphaCounter, &TQclIniCtrl::SetAlphaCounter)
        .Bool("Common", &TQclIniCtrl::Common, &TQclIniCtrl::SetCommon, true)
        .String("IniFile", &TQclIniCtrl::IniFile, &TQclIniCtrl::SetIniFile)
        .Enum<TQclPathPrefix>("IniPrefix", &TQclIniCtrl::IniPrefix, &TQclIniCtrl::SetIniPrefix,
                              TQclPathPrefix::ppWindows)
        .Int("MaxEntries", &TQclIniCtrl::MaxEntries,
             [](TQclIniCtrl* c, int v) { c->SetMaxEntries(static_cast<uint8_t>(v)); }, 16)
        .Bool("NetUser", &TQclIniCtrl::NetUser, &TQclIniCtrl::SetNetUser)
        .String("User", &TQclIniCtrl::User, &TQclIniCtrl::SetUser)
        .String("RegPath", &TQclIniCtrl::RegPath, &TQclIniCtrl::SetRegPath)
        .Enum<TQclRegRootKey>("RegRoot", &TQclIniCtrl::RegRoot, &TQclIniCtrl::SetRegRoot,
                              TQclRegRootKey::rpCurrentUser)
        .Enum<TQclIniTarget>("Target", &TQclIniCtrl::Target, &TQclIniCtrl::SetTarget, TQclIniTarget::itAuto);
}

}  // namespace treskel
