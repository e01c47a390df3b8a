// What the files of the acquisition library share: the one connection.
#pragma once

#include <windows.h>

#include <array>

#include "platform/Handles.h"
#include "twain/TwainLib.h"
#include "twain/TwainTypes.h"

namespace treskel::twainlib {

using namespace treskel::twain;

// Error codes of the first failure of an acquisition.
enum TwainError : int {
    kErrNone = 0,
    kErrCapGet = 2,
    kErrCapSet = 3,
    kErrManager = 4,
    kErrSource = 5,
    kErrNotState4 = 7,
    kErrNullContainer = 8,
    kErrBadContainer = 9,
    kErrContainerType = 10,
    kErrItemType = 11,
    kErrEmptyContainer = 12,
    kErrNoCommonValues = 13,
};

struct Session {
    int state = 1;
    ModuleHandle manager;
    DSMENTRYPROC entry = nullptr;
    int present = 0;  // 0 not tested, 1 loads, -1 does not
    TW_IDENTITY app{};
    TW_IDENTITY source{};
    HWND parent = nullptr;
    TW_USERINTERFACE ui{};
    bool hideUI = false;
    TW_PENDINGXFERS pending{};
    TW_UINT16 lastResult = 0;
    HANDLE lastImage = nullptr;
    // Set when a transfer failed: the acquisition ends with what came.
    bool transferFailed = false;
    std::array<HANDLE, kTwainMaxImages> images{};
    int imageCount = 0;
    int error = kErrNone;
    TW_UINT16 errorResult = 0, errorCondition = 0;
    TwainImageCallback callback = nullptr;
    bool callbackArmed = false;
};

Session& S();

// DSM_Entry with the manager (dest null) or the open source; true for
// TWRC_SUCCESS.  A source call below state 4 is refused.
bool ManagerCall(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, void* data);
bool SourceCall(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, void* data);
// Remembers the first failure of an acquisition.
void RecordError(int code);
// An internal check: shows "Assertion failed" and returns false when
// `condition` does not hold; the caller then gives up.
bool Check(bool condition);

}  // namespace treskel::twainlib
