#pragma once
// The native side of one form: a top-level window with a real child window for
// every windowed control (each model learns its handle), GDI painting for
// pictures, lines, shapes, images and the form's printed image, the menu bar
// and its pop-ups, the timers and the keyboard shortcuts. It keeps the models
// and the windows in step both ways.
#include <windows.h>

#include <memory>

#include "platform/Platform.h"
#include "ui/Form.h"

namespace purgix::win32 {

class FormPeer;
class Win32Platform;

class FormWindow {
public:
    // What a form's window needs of the program around it.
    struct Context {
        HINSTANCE instance;
        const platform::Pointer& pointer;  // the application-wide one: the hourglass during a release
    };

    // The main form's window ends the message loop when it goes. It is laid
    // out at the DPI of the monitor it is on, following it from monitor to
    // monitor; a `dpi` given (tests, benchmarks) holds instead.
    FormWindow(ui::Form& form, const Context& context, bool quitOnDestroy, int dpi = 0);
    FormWindow(ui::Form& form, Win32Platform& platform, bool quitOnDestroy, int dpi = 0);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // nullptr once the window has been closed.
    HWND Hwnd() const;
    // The menu handle of an item that has items (hidden pop-up menus included).
    HMENU SubMenu(const ui::MenuItem& item) const;
    // Runs the form's keyboard shortcuts; true when the message was one.
    bool HandleShortcut(MSG& msg) const;

private:
    // Shared with the window procedure, which keeps it alive while a handler
    // runs: a form's Unload may well destroy the FormWindow that raised it.
    std::shared_ptr<FormPeer> peer_;
};

// The keys one of the program's forms takes before they are translated (Tab,
// Enter, Esc, Alt and an access key); true when the message was one.
bool HandleFormKeys(MSG& msg);

// Runs the message loop until the main form's window goes; returns the exit code.
int RunMessageLoop(const FormWindow& main);

// Has the window under the mouse pointer choose its pointer again, as a move would.
void RefreshCursor();

}  // namespace purgix::win32
