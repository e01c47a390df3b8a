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
inline constexpr const char* kQclBlankFolderName = "A folder name cannot be blanks only.\nPlease type a name.";

// Longest name of one folder, and longest path of a folder that the
// system makes (room is kept for a file name of 8.3 characters in it).
inline constexpr size_t kQclMaxFolderName = 255;
inline constexpr size_t kQclMaxFolderPath = 248;

// Why a typed name cannot become a folder inside `dir`, in words; empty
// when it can.  Refused: names of blanks only; names that would reach
// another folder ("\", "/", ":", ".."), names with a character no folder
// name holds, and names ending in a dot (which the system drops, making
// another name than the one typed); names of the system's devices (CON,
// NUL, COM1...); names longer than a folder's name, or that make a path
// longer than a folder's path, can be.  The name is taken as trimmed of
// blanks at both ends, as the dialog makes it.
std::string QclNewFolderNameProblem(const std::string& dir, const std::string& name);
// Why the system could not make the folder, in words: `exists` when
// something of that name is there already, else the system's own reason.
std::string QclNewFolderFailure(const std::string& name, bool exists, const std::string& systemReason);
// The folder made for `name` inside `dir`.
std::string QclNewFolderPath(const std::string& dir, const std::string& name);
// The question: "Name: (" and the selected folder shortened to 36 characters.
std::string QclNewFolderPrompt(const std::string& selectedPath);
// The question's caption: the button's text without its "&".
std::string QclNewFolderQueryCaption();

}  // namespace treskel
