#pragma once
#include <windows.h>

#include <memory>

#include "ui/Form.h"

namespace purgix::win32 {

class Win32Platform;

// The native side of one form: a top-level window with a real child window for
// every windowed control, GDI painting for pictures, lines, shapes and images,
// the menu bar, the timers and the keyboard shortcuts. It keeps the models and
// the windows in step both ways.
class FormWindow {
public:
    FormWindow(ui::Form& form, Win32Platform& platform, bool quitOnDestroy);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND Hwnd() const;
    // The child window of a windowed control, or nullptr.
    HWND ControlWindow(const ui::Control& control) const;
    // The menu handle of an item that has items (hidden pop-up menus included).
    HMENU SubMenu(const ui::MenuItem& item) const;
    // Runs the form's keyboard shortcuts; true when the message was one.
    bool HandleShortcut(MSG& msg) const;
    // Paints a container (the form or a picture box) as the screen would show it.
    void Paint(const ui::Container& container, HDC hdc) const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// Runs the message loop until the last form quits; returns the exit code.
int RunMessageLoop(const FormWindow& main);

}  // namespace purgix::win32
