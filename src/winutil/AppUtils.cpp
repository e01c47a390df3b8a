#include "winutil/AppUtils.h"

#include <cstdio>

#include "platform/Forms.h"
#include "platform/Registry.h"
#include "platform/SysUtils.h"

namespace treskel {

std::string DefaultPlacementSection(TComponent* component) {
    if (component == nullptr) return {};
    if (dynamic_cast<TCustomForm*>(component) != nullptr) return component->ClassName();
    if (auto* control = dynamic_cast<TControl*>(component)) {
        if (TCustomForm* form = GetParentForm(control)) return std::string(form->ClassName()) + control->Name();
        if (control->Parent() != nullptr) return control->Parent()->Name() + control->Name();
        return control->Name();
    }
    if (auto* owner = dynamic_cast<TCustomForm*>(component->Owner()))
        return std::string(owner->ClassName()) + "." + component->Name();
    return {};
}

namespace {
std::string ProgramPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}
}  // namespace

std::string DefaultIniFileName() { return IniFileNameFor(ProgramPath()); }

std::string DefaultRegistryKey() {
    return RegistryKeyFor(ProgramPath(), Application != nullptr ? Application->Title() : std::string());
}

std::string StoreReadString(TCustomIniFile* store, const std::string& section, const std::string& ident,
                            const std::string& def) {
    return store != nullptr ? store->ReadString(section, ident, def) : def;
}

int StoreReadInteger(TCustomIniFile* store, const std::string& section, const std::string& ident, int def) {
    return store != nullptr ? store->ReadInteger(section, ident, def) : def;
}

void StoreWriteString(TCustomIniFile* store, const std::string& section, const std::string& ident,
                      const std::string& value) {
    if (store == nullptr) return;
    std::string v = value;
    // The INI reader strips one pair of quotes: give it one more.
    if (dynamic_cast<TIniFile*>(store) != nullptr && v.size() >= 2 &&
        ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\'')))
        v = "\"" + v + "\"";
    store->WriteString(section, ident, v);
}

void StoreWriteInteger(TCustomIniFile* store, const std::string& section, const std::string& ident, int value) {
    if (store != nullptr) store->WriteInteger(section, ident, value);
}

std::string ScreenSizeSuffix() {
    char buf[40];
    std::snprintf(buf, sizeof buf, "(%dx%d)", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return buf;
}

std::string ReadScreenString(TCustomIniFile* store, const std::string& section, const std::string& ident) {
    std::string s = StoreReadString(store, section, ident + ScreenSizeSuffix(), "");
    return s.empty() ? StoreReadString(store, section, ident, "") : s;
}

void WriteScreenString(TCustomIniFile* store, const std::string& section, const std::string& ident,
                       const std::string& value) {
    StoreWriteString(store, section, ident + ScreenSizeSuffix(), value);
    StoreWriteString(store, section, ident, value);
}

namespace {
std::string Four(int a, int b, int c, int d) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d,%d,%d,%d", a, b, c, d);
    return buf;
}

int WordOr(const std::string& s, int n, int def) { return StrToIntDef(NthWord(n, s, " ,"), def); }

bool IsMainForm(TCustomForm* form) {
    return Application == nullptr || Application->MainForm() == nullptr || Application->MainForm() == form;
}

constexpr UINT kPlacementLength = 44;
}  // namespace

void SaveWindowPlacement(TCustomForm* form, TCustomIniFile* store, const std::string& section) {
    WINDOWPLACEMENT wp{};
    wp.length = kPlacementLength;
    GetWindowPlacement(form->Handle(), &wp);
    if (form->FormStyle() == TFormStyle::fsMDIChild && IsIconic(form->Handle())) wp.flags |= WPF_SETMINPOSITION;
    if (form == (Application != nullptr ? Application->MainForm() : nullptr) && Application->Handle() != nullptr &&
        IsIconic(Application->Handle()))
        wp.showCmd = SW_SHOWMINIMIZED;
    StoreWriteInteger(store, section, "Flags", static_cast<int>(wp.flags));
    StoreWriteInteger(store, section, "ShowCmd", static_cast<int>(wp.showCmd));
    StoreWriteInteger(store, section, "PixelsPerInch", EnsureScreen()->PixelsPerInch());
    WriteScreenString(store, section, "MinMaxPos",
                      Four(wp.ptMinPosition.x, wp.ptMinPosition.y, wp.ptMaxPosition.x, wp.ptMaxPosition.y));
    const RECT& n = wp.rcNormalPosition;
    WriteScreenString(store, section, "NormPos", Four(n.left, n.top, n.right, n.bottom));
}

namespace {
void LoadPosition(TCustomForm* form, TCustomIniFile* store, const std::string& section, WINDOWPLACEMENT& wp) {
    bool found = false;
    wp.flags = static_cast<UINT>(StoreReadInteger(store, section, "Flags", static_cast<int>(wp.flags)));
    std::string s = ReadScreenString(store, section, "MinMaxPos");
    if (!s.empty()) {
        found = true;
        wp.ptMinPosition = {WordOr(s, 1, 0), WordOr(s, 2, 0)};
        wp.ptMaxPosition = {WordOr(s, 3, 0), WordOr(s, 4, 0)};
    }
    s = ReadScreenString(store, section, "NormPos");
    if (!s.empty()) {
        found = true;
        wp.rcNormalPosition = {WordOr(s, 1, form->Left()), WordOr(s, 2, form->Top()),
                               WordOr(s, 3, form->Left() + form->Width()), WordOr(s, 4, form->Top() + form->Height())};
    }
    if (StoreReadInteger(store, section, "PixelsPerInch", EnsureScreen()->PixelsPerInch()) !=
        EnsureScreen()->PixelsPerInch())
        found = false;
    if (!found) return;
    RECT& r = wp.rcNormalPosition;
    auto style = form->BorderStyle();
    if (style != TFormBorderStyle::bsSizeable && style != TFormBorderStyle::bsSizeToolWin) {
        r.right = r.left + form->Width();
        r.bottom = r.top + form->Height();
    }
    if (r.right <= r.left) return;
    r = ToRECT(EnsureScreen()->KeepOnMonitor(FromRECT(r)));
    if (form->Position() == TPosition::poScreenCenter || form->Position() == TPosition::poDesktopCenter)
        form->SetPosition(TPosition::poDesigned);
    SetWindowPlacement(form->Handle(), &wp);
}

void LoadState(TCustomForm* form, TCustomIniFile* store, const std::string& section) {
    TWindowState state = TWindowState::wsNormal;
    if (IsMainForm(form) &&
        (form->FormStyle() == TFormStyle::fsMDIForm ||
         (form->FormStyle() == TFormStyle::fsNormal && form->Position() == TPosition::poDefault)))
        state = TWindowState::wsMaximized;
    switch (StoreReadInteger(store, section, "ShowCmd", 0)) {
        case 1: case 5: case 9: state = TWindowState::wsNormal; break;
        case 2: case 6: case 7: state = TWindowState::wsMinimized; break;
        case 3: state = TWindowState::wsMaximized; break;
        default: break;
    }
    if (state == TWindowState::wsMinimized && IsMainForm(form)) {
        // The application goes to the task bar, not the form.
        form->SetWindowState(TWindowState::wsNormal);
        if (Application != nullptr) PostMessageA(Application->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return;
    }
    form->SetWindowState(state);
}
}  // namespace

void LoadWindowPlacement(TCustomForm* form, TCustomIniFile* store, const std::string& section, bool loadState,
                         bool loadPosition) {
    if (!loadState && !loadPosition) return;
    WINDOWPLACEMENT wp{};
    wp.length = kPlacementLength;
    GetWindowPlacement(form->Handle(), &wp);
    // Applying the placement must not show the window before its time.
    if (!IsWindowVisible(form->Handle())) wp.showCmd = SW_HIDE;
    if (loadPosition) LoadPosition(form, store, section, wp);
    if (loadState) LoadState(form, store, section);
    form->Update();
}

}  // namespace treskel
