// The window procedure that forms and picture boxes share: painting, the
// notifications their children send (reflected back to the children's peers),
// and the mouse over windowless controls.
#include <cmath>
#include <utility>

#include "platform/win32/window/FormWindowInternal.h"
#include "platform/win32/pictures/Win32Picture.h"
#include "platform/win32/adapters/Win32Platform.h"

namespace purgix::win32 {

namespace {

int X(LPARAM lp) { return static_cast<short>(LOWORD(lp)); }
int Y(LPARAM lp) { return static_cast<short>(HIWORD(lp)); }

// Mouse events' masks: buttons 1 left, 2 right, 4 middle; keys 1 Shift, 2 Ctrl, 4 Alt.
int ButtonMask(WPARAM keys) {
    return ((keys & MK_LBUTTON) != 0 ? 1 : 0) | ((keys & MK_RBUTTON) != 0 ? 2 : 0) | ((keys & MK_MBUTTON) != 0 ? 4 : 0);
}
int ShiftMask(WPARAM keys) {
    return ((keys & MK_SHIFT) != 0 ? 1 : 0) | ((keys & MK_CONTROL) != 0 ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

}  // namespace

LRESULT ContainerPeer::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND: return 1;  // the paint covers every pixel
        case WM_PAINT: return OnPaint();
        case WM_PRINTCLIENT: PaintAll(reinterpret_cast<HDC>(wp)); return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: return OnCtlColor(msg, wp, lp);
        case WM_COMMAND: return OnCommand(wp, lp);
        case WM_VSCROLL: return OnVScroll(wp, lp);
        case WM_DRAWITEM: return OnDrawItem(lp);
        case WM_MOUSEMOVE: return OnMouseMove(wp, lp);
        case WM_LBUTTONDOWN: return OnButtonDown(lp);
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: return OnButtonUp(msg, wp, lp);
        case WM_SETCURSOR: return OnSetCursor(wp, lp);
        default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

LRESULT ContainerPeer::OnPaint() {
    gdi::PaintDC paint(hwnd);
    RECT client{};
    GetClientRect(hwnd, &client);
    // Off screen first: the graph repaints twice a second and must not flicker.
    gdi::MemoryDC picture(paint.Get(), client.right, client.bottom);
    PaintAll(picture.Get());
    picture.CopyTo(paint.Get(), paint.Dirty());
    return 0;
}

LRESULT ContainerPeer::OnCtlColor(UINT msg, WPARAM wp, LPARAM lp) {
    ControlPeer* child = impl.PeerOf(reinterpret_cast<HWND>(lp));
    const LRESULT brush = child != nullptr ? child->ReflectedCtlColor(reinterpret_cast<HDC>(wp)) : 0;
    return brush != 0 ? brush : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT ContainerPeer::OnCommand(WPARAM wp, LPARAM lp) {
    if (ControlPeer* child = impl.PeerOf(reinterpret_cast<HWND>(lp))) child->ReflectedCommand(HIWORD(wp));
    return 0;
}

LRESULT ContainerPeer::OnVScroll(WPARAM wp, LPARAM lp) {
    if (ControlPeer* child = impl.PeerOf(reinterpret_cast<HWND>(lp))) child->ReflectedVScroll(LOWORD(wp));
    return 0;
}

LRESULT ContainerPeer::OnDrawItem(LPARAM lp) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
    ControlPeer* child = impl.PeerOf(item.hwndItem);
    if (child == nullptr) return FALSE;
    child->ReflectedDrawItem(item);
    return TRUE;
}

double ContainerPeer::Scaled(int pixels) const {
    // A hidden box gets no real mouse: its "moves" are the notification area's
    // calls, the mouse message where x would be, taken at the design's density.
    if (!IsWindowVisible(hwnd)) return Model().scaleMode == ui::ScaleMode::Twip ? pixels * ui::kTwipsPerPixel : pixels;
    const double design = impl.scale.Design(pixels);
    return Model().scaleMode == ui::ScaleMode::Twip ? design * ui::kTwipsPerPixel : design;
}

LRESULT ContainerPeer::OnMouseMove(WPARAM wp, LPARAM lp) {
    // The notification area calls its icon's window back with this message, the mouse message in x.
    if (Model().MouseMove) Model().MouseMove(ButtonMask(wp), ShiftMask(wp), Scaled(X(lp)), Scaled(Y(lp)));
    return 0;
}

ui::Image* ContainerPeer::ImageAt(int x, int y) const {
    const auto design = [this](int px) { return static_cast<int>(std::floor(impl.scale.Design(px))); };
    return static_cast<ui::Image*>(
        Model().ChildAt(design(x), design(y), [](const ui::Control& c) { return c.GetKind() == ui::Kind::Image; }));
}

LRESULT ContainerPeer::OnButtonDown(LPARAM lp) {
    pressed_ = ImageAt(X(lp), Y(lp));
    if (pressed_ != nullptr) SetCapture(hwnd);
    return 0;
}

LRESULT ContainerPeer::OnButtonUp(UINT msg, WPARAM wp, LPARAM lp) {
    const int button = msg == WM_LBUTTONUP ? 1 : msg == WM_RBUTTONUP ? 2 : 4;
    if (Model().MouseUp) Model().MouseUp(button, ShiftMask(wp), Scaled(X(lp)), Scaled(Y(lp)));
    if (button != 1) return 0;
    ui::Image* was = std::exchange(pressed_, nullptr);
    if (GetCapture() == hwnd) ReleaseCapture();
    // A click is a press and a release on the same area.
    ui::Image* img = ImageAt(X(lp), Y(lp));
    if (img != nullptr && img == was && img->Click) img->Click();
    return 0;
}

LRESULT ContainerPeer::OnSetCursor(WPARAM wp, LPARAM lp) {
    HCURSOR cursor = nullptr;
    if (LOWORD(lp) == HTCLIENT && impl.platform.input.MousePointer() == ui::MousePointer::Hourglass) {
        cursor = LoadCursorW(nullptr, IDC_WAIT);
    } else if (LOWORD(lp) == HTCLIENT && reinterpret_cast<HWND>(wp) == hwnd) {
        POINT pt{};
        GetCursorPos(&pt);
        ScreenToClient(hwnd, &pt);
        const ui::Image* img = ImageAt(pt.x, pt.y);
        if (img != nullptr && img->Pointer() == ui::MousePointer::Custom && img->MouseIcon() != nullptr)
            cursor = impl.CursorAtDpi(*img->MouseIcon());
        else
            cursor = ClientCursor();
    }
    if (cursor == nullptr) return DefWindowProcW(hwnd, WM_SETCURSOR, wp, lp);
    SetCursor(cursor);
    return TRUE;
}

}  // namespace purgix::win32
