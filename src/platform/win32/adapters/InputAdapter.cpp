// The keyboard's state, the application-wide mouse pointer, and the z-order of windows beside them.
#include "platform/win32/adapters/Adapters.h"
#include "platform/win32/window/FormWindow.h"  // RefreshCursor

namespace purgix::win32 {

std::int16_t InputAdapter::GetAsyncKeyState(int virtualKey) { return ::GetAsyncKeyState(virtualKey); }

void InputAdapter::SetMousePointer(platform::MousePointer pointer) {
    pointer_ = pointer;
    // The busy work that follows runs without a message loop: show the hourglass now.
    // Afterwards the window under the pointer chooses again (the hand over a click area).
    if (pointer == platform::MousePointer::Hourglass)
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    else
        RefreshCursor();
}

void ZOrderAdapter::SetWindowPos(platform::WindowHandle window, std::intptr_t insertAfter, int x, int y, int cx, int cy, unsigned flags) {
    ::SetWindowPos(reinterpret_cast<HWND>(window), reinterpret_cast<HWND>(insertAfter), x, y, cx, cy, flags);
}

}  // namespace purgix::win32
