// The window at the display's settings: laid out at its DPI (and again when
// it moves to a monitor of another), its icons and pointer in that density's sizes.
#include <algorithm>

#include "platform/win32/pictures/Win32Picture.h"
#include "platform/win32/window/FormPeer.h"

namespace purgix::win32 {

DWORD FrameStyle(const ui::Form& f) {
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (f.borderStyle != ui::BorderStyle::FixedDialog && f.minButton) style |= WS_MINIMIZEBOX;
    return style;
}

SIZE FormPeer::WindowSize() const {
    const ui::Form& f = Form();
    const Scale& scale = look_.GetScale();
    const auto& items = f.Menu().Items();
    const bool bar = std::any_of(items.begin(), items.end(), [](const auto& item) { return item->Visible(); });
    RECT r{0, 0, scale.Px(f.Bounds().width), scale.Px(f.Bounds().height)};
    AdjustWindowRectForDpi(r, FrameStyle(f), bar, f.borderStyle == ui::BorderStyle::FixedDialog ? WS_EX_DLGMODALFRAME : 0,
                           static_cast<UINT>(scale.dpi));
    return {r.right - r.left, r.bottom - r.top};
}

// A menu bar may take more than one line: make the client area exactly the design's at the DPI.
void FormPeer::FitClientArea() {
    const Scale& scale = look_.GetScale();
    const int cw = scale.Px(Form().Bounds().width), ch = scale.Px(Form().Bounds().height);
    RECT client{}, window{};
    GetClientRect(hwnd, &client);
    GetWindowRect(hwnd, &window);
    if (client.right != cw || client.bottom != ch)
        SetWindowPos(hwnd, nullptr, 0, 0, window.right - window.left + cw - client.right, window.bottom - window.top + ch - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormPeer::ApplyDpi(int dpi, const RECT* suggested) {
    look_.SetDpi(dpi, Form().font);
    font = look_.FormFont();
    peers_.Each([](ControlPeer& peer) { peer.Rescale(); });
    if (suggested != nullptr) {
        SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        const SIZE size = WindowSize();
        SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    FitClientArea();
    SetIcons();
    Redraw(hwnd);
    if (Form().ScaleChanged) Form().ScaleChanged();
}

// Moved to a monitor of another density: everything at the new one, in the place Windows suggests.
LRESULT FormPeer::OnDpiChanged(WPARAM wp, LPARAM lp) {
    if (fixedDpi_ == 0) ApplyDpi(HIWORD(wp), reinterpret_cast<const RECT*>(lp));
    return 0;
}

// The caption's and the taskbar's icons in the sizes of the window's DPI.
void FormPeer::SetIcons() {
    const auto* icon = Native(Form().Icon().get());
    const auto dpi = static_cast<UINT>(look_.GetScale().dpi);
    const auto at = [&](int metric) { return reinterpret_cast<LPARAM>(icon != nullptr ? icon->IconAt(SystemMetricForDpi(metric, dpi)) : nullptr); };
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, at(SM_CXICON));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, at(SM_CXSMICON));
}

HCURSOR FormPeer::CursorAtDpi(const platform::Picture& cursor) const {
    return Native(&cursor)->IconAt(SystemMetricForDpi(SM_CXCURSOR, static_cast<UINT>(look_.GetScale().dpi)));
}

}  // namespace purgix::win32
