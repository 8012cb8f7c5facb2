#pragma once
// What screen readers and other assistive programs learn of a control through
// Active Accessibility, from this process or another.
#include <windows.h>

#include <string>
#include <vector>

namespace purgix::win32 {

// IID_IAccessible, spelt out: MinGW's import library hands oleacc.dll's export of it over as a function.
inline constexpr GUID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

struct AccessibleFacts {
    std::wstring name, description, value;  // empty: the standard object's
    long role = 0;                          // 0: the standard object's
    long addedState = 0;                    // states on top of the standard object's (checked, ...)
    // A list's lines, its children 1 to N, each named by its whole text; the selected one's index.
    std::vector<std::wstring> items;
    int selected = -1;
};

// The answer to WM_GETOBJECT for the window's client object: the standard
// object Windows makes for it, these facts taking the place of its own. 0
// for any other object, which the caller then leaves to DefWindowProc.
LRESULT AnswerGetObject(HWND window, WPARAM wp, LPARAM lp, const AccessibleFacts& facts);

}  // namespace purgix::win32
