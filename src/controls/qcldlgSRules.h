// The window-free rules of the folder dialog: which names a new folder may
// have, where it goes and how the dialog asks for it.  Tested natively.
#pragma once

#include <string>

namespace treskel {

// The dialog's texts.
inline constexpr const char* kQclSelectPathCaption = "Select Path...";
inline constexpr const char* kQclDriveCaption = "&Drive:";
inline constexpr const char* kQclPathCaption = "&Path:";
inline constexpr const char* kQclNewFolderCaption = "&New Folder";
inline constexpr const char* kQclCancelCaption = "Cancel";
inline constexpr const char* kQclFolderError = "IO-Error!\rCould not create folder.";
inline constexpr const char* kQclBadFolderName =
    "A folder name cannot hold \\ / : * ? \" < > |, control characters or \"..\", nor end in a dot."
    "\nPlease choose another name.";

// Why a typed name cannot become a folder here: empty when it can.  Blank
// names are not refused (the dialog ignores them); names that would reach
// another folder ("\", "/", ":", ".."), names with a character no folder
// name holds, and names ending in a dot (which the system drops, making
// another name than the one typed) are.
std::string QclNewFolderNameProblem(const std::string& name);
// Whether the name is only blanks (nothing is made for it).
bool QclNewFolderNameBlank(const std::string& name);
// The folder made for `name` inside `dir`.
std::string QclNewFolderPath(const std::string& dir, const std::string& name);
// The question: "Name: (" and the selected folder shortened to 36 characters.
std::string QclNewFolderPrompt(const std::string& selectedPath);
// The question's caption: the button's text without its "&".
std::string QclNewFolderQueryCaption();

}  // namespace treskel
