// Helpers of the tests that drive real windows under Wine.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace treskel::test {

struct BoxRecord {
    std::string text;
    std::string caption;
    UINT flags = 0;
};

// Message boxes shown since the test started, answered without showing.
std::vector<BoxRecord>& MessageBoxes();
// The answers (IDOK, IDYES, ...) for the next boxes, in order.  Without
// one, a box is answered with its most cautious button (Cancel, No, OK).
void AnswerNextBox(int id);

struct QueryRecord {
    std::string caption;
    std::string prompt;
    std::string value;
};
std::vector<QueryRecord>& InputQueries();
// The text typed into the next input query; std::nullopt-like: Cancel.
void AnswerNextQuery(const std::string& text);
void CancelNextQuery();

}  // namespace treskel::test

namespace treskel {
class TCommonDialog;
}

namespace treskel::test {

// Standard dialogs (open, font, colour, print) run since the test started,
// by class name; each is answered by the next queued answer, which sets the
// dialog's properties as a user would and returns whether it was accepted.
// Without one, the dialog is cancelled.
std::vector<std::string>& CommonDialogs();
void AnswerNextDialog(std::function<bool(TCommonDialog& dialog)> answer);

// Handles the messages waiting in the queue.
void PumpMessages();
// Pumps messages until `done` holds or `ms` milliseconds pass.
bool PumpUntil(const std::function<bool()>& done, int ms = 5000);
// Keeps the windows going for `ms` milliseconds, so that a scene stays on
// the screen for a screenshot taken from outside.
void HoldOnScreen(int ms);

// Sends a click (down and up) at a point of a window's client area.
void ClickAt(HWND wnd, int x, int y);
// A click through the queue: a control that follows a press with the
// mouse until the button is up finds the whole click waiting there.
void PostClick(HWND wnd, int x, int y, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP);
// The mouse itself, through the system's input queue: moves to a point of
// the screen and clicks there `clicks` times with the left button (or the
// one whose press and release flags are given).
void MouseClickOnScreen(POINT p, int clicks = 1, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP);
// Presses the left button at `from`, moves to `to` in steps and lets go,
// as the mouse itself does.
void MouseDragOnScreen(POINT from, POINT to);
// The same from a thread of its own, for a window that follows the mouse
// in a loop of its own until the button is up: the caller pumps messages
// until `Done`.  `atTarget` runs on that thread while the button is still
// down at `to`.
class MouseDragAside {
public:
    MouseDragAside(POINT from, POINT to, std::function<void()> atTarget);
    ~MouseDragAside();
    MouseDragAside(const MouseDragAside&) = delete;
    MouseDragAside& operator=(const MouseDragAside&) = delete;
    bool Done() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
// Types characters into the window with the focus, as key presses.
void TypeText(HWND wnd, const std::string& text);
// Types wide characters on the keyboard, as a keyboard of any language or
// an input method hands them over (KEYEVENTF_UNICODE), to the window with
// the focus.
void TypeUnicode(std::wstring_view text);
// The text of a rich-edit window as the window holds it, each paragraph
// ending in CR.
std::wstring RichEditText(HWND wnd);
// Where wide texts differ, character by character (at most the first ten
// places, as "at 12: U+010D became U+0063"), or "" when they are equal.
std::string Differences(std::wstring_view expected, std::wstring_view actual);
void PressKey(HWND wnd, WORD vk);
// A lower-case letter or a digit pressed with Alt or Ctrl (`modifier`:
// VK_MENU, VK_CONTROL) held on the keyboard (the system's input, to the
// window with the focus).
void PressKeyWith(WORD modifier, char key);
inline void PressAltKey(char key) { PressKeyWith(VK_MENU, key); }
inline void PressCtrlKey(char key) { PressKeyWith(VK_CONTROL, key); }
// A lower-case letter or a digit typed on the keyboard.
void TypeIntoFocus(char c);
// Lower-case letters, digits and blanks typed on the keyboard in one go,
// as quickly as a user types a word.
void TypeIntoFocus(const std::string& text);
// A key (VK_ESCAPE, VK_TAB, ...) pressed and let go on the keyboard.
void TapKey(WORD vk);
// The same with a key (VK_SHIFT, VK_CONTROL) held.
void TapKeyWith(WORD modifier, WORD vk);

// Removes the program's registry key, so that a test starts afresh.
void ClearProgramRegistry();
// A string value under the current user's key `key` (or under `root`),
// "" when absent, and writing one (the key is made when needed).
std::string ReadRegistryString(const std::string& key, const std::string& name, HKEY root = HKEY_CURRENT_USER);
void WriteRegistryString(const std::string& key, const std::string& name, const std::string& value);
// Whether the value, or the key, exists.
bool RegistryValueExists(const std::string& key, const std::string& name);
bool RegistryKeyExists(const std::string& key);

// Saves what the screen shows of a window, frame included, as
// "<name>.bmp" in the folder that TRESKEL_SHOTS names (nothing without it).
void SaveWindowShot(HWND wnd, const std::string& name);

}  // namespace treskel::test
