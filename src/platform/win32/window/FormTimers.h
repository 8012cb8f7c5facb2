#pragma once
// A form's timers as the window's own WM_TIMER ids, switched on and off as their models say.
#include <windows.h>

#include <memory>
#include <vector>

#include "ui/Form.h"

namespace purgix::win32 {

class FormTimers {
public:
    FormTimers() = default;
    FormTimers(const FormTimers&) = delete;
    FormTimers& operator=(const FormTimers&) = delete;

    // The form's timers on the window, each running if its model is enabled.
    void Start(HWND window, ui::Form& form);
    // A WM_TIMER of the window: the timer's Tick, if it is still enabled.
    void Tick(WPARAM id, ui::Form& form) const;
    // The window is going: no tick arrives from now on.
    void Kill(HWND window, ui::Form& form) const;
    void Detach() { peers_.clear(); }

private:
    std::vector<std::unique_ptr<ui::Peer>> peers_;
};

}  // namespace purgix::win32
