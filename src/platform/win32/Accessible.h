#pragma once
// What screen readers and other assistive programs learn of a control through
// Active Accessibility, from this process or another.
#include <windows.h>

#include <string>

namespace purgix::win32 {

struct AccessibleFacts {
    std::wstring name, description, value;  // empty: the standard object's
    long role = 0;                          // 0: the standard object's
    long addedState = 0;                    // states on top of the standard object's (checked, ...)
};

// The answer to WM_GETOBJECT for the window's client object: the standard
// object Windows makes for it, these facts taking the place of its own. 0
// for any other object, which the caller then leaves to DefWindowProc.
LRESULT AnswerGetObject(HWND window, WPARAM wp, LPARAM lp, const AccessibleFacts& facts);

}  // namespace purgix::win32
