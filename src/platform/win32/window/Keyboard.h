#pragma once
// The keyboard in a form's window: Tab and Shift+Tab through the controls the
// user can reach, Enter and Esc for its buttons, Alt and a caption's letter,
// the cues that show the focus, and the focus kept while the window is inactive.
#include <windows.h>

namespace purgix::win32 {

class FormPeer;

class FormKeys {
public:
    explicit FormKeys(FormPeer& form) : form_(form) {}
    FormKeys(const FormKeys&) = delete;
    FormKeys& operator=(const FormKeys&) = delete;

    // Tab and Shift+Tab, Enter and Esc, Alt and a caption's letter; true when the key was the form's.
    bool OnKey(const MSG& msg);
    void MoveFocus(bool forward);
    // Shows the focus rectangles or access keys (UISF_HIDEFOCUS, UISF_HIDEACCEL) from now on.
    void ShowCues(WORD which);
    // The window goes inactive: the focus it had comes back when it is active again.
    void Remember();
    // The focus as the window had it when it was last active, or its default button.
    void Restore();

private:
    FormPeer& form_;
    HWND focus_ = nullptr;
};

}  // namespace purgix::win32
