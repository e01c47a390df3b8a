// Message boxes, the input query and the standard dialogs.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/Sets.h"
#include "platform/TypInfo.h"

namespace treskel {

// Every message box of the program goes through here.  Tests install a
// responder that answers (and records) instead of showing the box; it
// gets text, caption and MB_ flags and returns the button's ID.
using MessageBoxResponder = std::function<int(const std::string& text, const std::string& caption, UINT flags)>;
void SetMessageBoxResponder(MessageBoxResponder responder);
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum class TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = Set<TMsgDlgBtn>;

// A message box captioned after its type ("Warning", "Error",
// "Information", "Confirm"; the application's title for mtCustom);
// returns the modal result of the button pressed.
int MessageDlg(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
// The same with a caption of the caller's.
int MessageDlgCaption(const std::string& msg, const std::string& caption, TMsgDlgType type, TMsgDlgButtons buttons);
void ShowMessage(const std::string& msg);

// Asks for a line of text; false when cancelled (`value` then unchanged).
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue);
// Tests answer input queries through this instead of the real dialog: it
// gets caption, prompt and the value, and returns false to cancel.
using InputQueryResponder = std::function<bool(const std::string& caption, const std::string& prompt, std::string& value)>;
void SetInputQueryResponder(InputQueryResponder responder);

}  // namespace treskel
