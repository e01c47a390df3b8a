// Where a window's placement is stored and how: value names, formats and
// the reading and writing of one form's placement in a settings store.
#pragma once

#include <string>

#include "platform/Forms.h"
#include "platform/IniFiles.h"
#include "winutil/AppUtilsRules.h"

namespace treskel {

std::string DefaultPlacementSection(TComponent* component);
// The program's own INI file and registry key (the hook, sub-key and
// title switch of AppUtilsRules.h decide).
std::string DefaultIniFileName();
std::string DefaultRegistryKey();

// A store is an INI file or a registry key read like one.
std::string StoreReadString(TCustomIniFile* store, const std::string& section, const std::string& ident,
                            const std::string& def);
int StoreReadInteger(TCustomIniFile* store, const std::string& section, const std::string& ident, int def);
void StoreWriteString(TCustomIniFile* store, const std::string& section, const std::string& ident,
                      const std::string& value);
void StoreWriteInteger(TCustomIniFile* store, const std::string& section, const std::string& ident, int value);

// "(1024x768)" for a screen of that size.
std::string ScreenSizeSuffix();
std::string ReadScreenString(TCustomIniFile* store, const std::string& section, const std::string& ident);
void WriteScreenString(TCustomIniFile* store, const std::string& section, const std::string& ident,
                       const std::string& value);

void SaveWindowPlacement(TCustomForm* form, TCustomIniFile* store, const std::string& section);
void LoadWindowPlacement(TCustomForm* form, TCustomIniFile* store, const std::string& section, bool loadState,
                         bool loadPosition);

}  // namespace treskel
