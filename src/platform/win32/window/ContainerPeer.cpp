// The window procedure that forms and picture boxes share: painting, the
// notifications their children send (reflected back to the children's peers),
// and the mouse over windowless controls; a picture box's drawing.
#include "platform/win32/window/ContainerPeer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/win32/Messages.h"
#include "platform/win32/pictures/Win32Picture.h"
#include "platform/win32/window/FormPeer.h"

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

void Redraw(HWND container) {
    if (container != nullptr) RedrawWindow(container, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void ContainerPeer::CreateChildren() {
    // Windows stacks each new child below its elder siblings: made in the
    // model's front-to-back order, the windows stack as the model does.
    for (ui::Control* c : Model().Children()) {
        auto made = MakePeer(form, *c);
        if (made == nullptr) continue;
        ControlPeer& peer = form.Peers().Adopt(std::move(made));
        peer.Create(hwnd, 100 + static_cast<int>(form.Peers().Count()));
    }
}

void ContainerPeer::PaintAll(HDC dc) {
    PaintBackground(dc);
    const auto& kids = Model().Children();
    for (auto it = kids.rbegin(); it != kids.rend(); ++it)  // back to front
        if (const ControlPeer* peer = PeerOf(**it); peer != nullptr && (*it)->Visible()) peer->Draw(dc);
}

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
    PaintArea(paint.Get(), paint.Dirty());
    return 0;
}

void ContainerPeer::PaintArea(HDC dc, const RECT& dirty) {
    const int w = dirty.right - dirty.left, h = dirty.bottom - dirty.top;
    if (w <= 0 || h <= 0) return;
    // Off screen first, so the graph does not flicker, and only what needs it:
    // a tick's new column is a sliver of the graph.
    gdi::MemoryDC picture(form.Look().Scratch(), w, h);
    {
        gdi::ViewportOffset at(picture.Get(), -dirty.left, -dirty.top);
        PaintAll(picture.Get());
    }
    BitBlt(dc, dirty.left, dirty.top, w, h, picture.Get(), 0, 0, SRCCOPY);
}

LRESULT ContainerPeer::OnCtlColor(UINT msg, WPARAM wp, LPARAM lp) {
    ControlPeer* child = form.Peers().ForWindow(reinterpret_cast<HWND>(lp));
    const LRESULT brush = child != nullptr ? child->ReflectedCtlColor(reinterpret_cast<HDC>(wp)) : 0;
    return brush != 0 ? brush : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT ContainerPeer::OnCommand(WPARAM wp, LPARAM lp) {
    if (ControlPeer* child = form.Peers().ForWindow(reinterpret_cast<HWND>(lp))) child->ReflectedCommand(HIWORD(wp));
    return 0;
}

LRESULT ContainerPeer::OnVScroll(WPARAM wp, LPARAM lp) {
    if (ControlPeer* child = form.Peers().ForWindow(reinterpret_cast<HWND>(lp))) child->ReflectedVScroll(LOWORD(wp));
    return 0;
}

LRESULT ContainerPeer::OnDrawItem(LPARAM lp) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
    ControlPeer* child = form.Peers().ForWindow(item.hwndItem);
    if (child == nullptr) return FALSE;
    child->ReflectedDrawItem(item);
    return TRUE;
}

double ContainerPeer::Scaled(int pixels) const {
    // A hidden box gets no real mouse: its "moves" are the notification area's
    // calls, the mouse message where x would be, taken at the design's density.
    if (!IsWindowVisible(hwnd)) return Model().scaleMode == ui::ScaleMode::Twip ? pixels * ui::kTwipsPerPixel : pixels;
    const double design = form.Look().GetScale().Design(pixels);
    return Model().scaleMode == ui::ScaleMode::Twip ? design * ui::kTwipsPerPixel : design;
}

LRESULT ContainerPeer::OnMouseMove(WPARAM wp, LPARAM lp) {
    // The notification area calls its icon's window back with this message, the mouse message in x.
    if (Model().MouseMove) Model().MouseMove(ButtonMask(wp), ShiftMask(wp), Scaled(X(lp)), Scaled(Y(lp)));
    return 0;
}

ui::Image* ContainerPeer::ImageAt(int x, int y) const {
    const Scale& scale = form.Look().GetScale();
    const auto design = [&scale](int px) { return static_cast<int>(std::floor(scale.Design(px))); };
    ui::Control* hit = Model().ChildAt(design(x), design(y), [](const ui::Control& c) {
        const ControlPeer* peer = PeerOf(c);
        return peer != nullptr && peer->Clickable() != nullptr;
    });
    return hit != nullptr ? PeerOf(*hit)->Clickable() : nullptr;
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
    if (LOWORD(lp) == HTCLIENT && form.Busy()) {
        cursor = LoadCursorW(nullptr, IDC_WAIT);
    } else if (LOWORD(lp) == HTCLIENT && reinterpret_cast<HWND>(wp) == hwnd) {
        POINT pt{};
        GetCursorPos(&pt);
        ScreenToClient(hwnd, &pt);
        const ui::Image* img = ImageAt(pt.x, pt.y);
        if (img != nullptr && img->Pointer() == ui::MousePointer::Custom && img->MouseIcon() != nullptr)
            cursor = form.CursorAtDpi(*img->MouseIcon());
        else
            cursor = ClientCursor();
    }
    if (cursor == nullptr) return DefWindowProcW(hwnd, WM_SETCURSOR, wp, lp);
    SetCursor(cursor);
    return TRUE;
}

void PictureBoxPeer::Create(HWND parent, int id) {
    SetRasterScale();
    CreateChild(kPictureClass, WS_CLIPCHILDREN, 0, L"", parent, id, static_cast<ContainerPeer*>(this));
    CreateChildren();
}

void PictureBoxPeer::Rescale() {
    ControlPeer::Rescale();
    SetRasterScale();
}

void PictureBoxPeer::SetRasterScale() {
    auto& box = static_cast<ui::PictureBox&>(control);
    box.SetRasterScale(form.Look().GetScale().Factor());
    // Room for the whole drawing at once, so that a repaint of all of it (a
    // graph that starts again) does not take the heap inside a tick.
    pixels_.reserve(static_cast<std::size_t>(box.Drawing().Width()) * static_cast<std::size_t>(box.Drawing().Height()));
}

void PictureBoxPeer::SyncOwn(ui::Change what) {
    if (what == ui::Change::Colors || what == ui::Change::Picture || what == ui::Change::Drawing) Redraw(hwnd);
}

void PictureBoxPeer::Drawn(const ui::Rect& r) {
    // Hidden, there is nothing to show: showing the box paints it whole.
    if (hwnd == nullptr || !IsWindowVisible(hwnd)) return;
    // Straight to the screen. Invalidating the rectangle would cost the paint
    // message's trips to the window server, several for each tick's column.
    const RECT rc{r.left, r.top, r.left + r.width, r.top + r.height};
    if (HDC dc = GetDC(hwnd)) {
        PaintArea(dc, rc);
        ReleaseDC(hwnd, dc);
    }
}

void PictureBoxPeer::PaintBackground(HDC dc) {
    const auto& box = static_cast<const ui::PictureBox&>(control);
    Density& look = form.Look();
    const RECT all = look.GetScale().Rect({0, 0, box.Bounds().width, box.Bounds().height});
    FillRect(dc, &all, look.Brush(box.BackColor(), Ink::Ground));
    // Only the part of the drawing that this paint shows is turned into screen colours.
    const ui::Surface& s = box.Drawing();
    RECT clip{0, 0, s.Width(), s.Height()};
    GetClipBox(dc, &clip);
    const int x0 = std::max(0, static_cast<int>(clip.left)), y0 = std::max(0, static_cast<int>(clip.top));
    const int x1 = std::min(s.Width(), static_cast<int>(clip.right)), y1 = std::min(s.Height(), static_cast<int>(clip.bottom));
    if (x1 > x0 && y1 > y0) {
        const int w = x1 - x0, h = y1 - y0;
        pixels_.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
        ui::Color last = s.At(x0, y0) ^ 1;
        std::uint32_t lastPixel = 0;
        std::size_t at = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const ui::Color c = s.At(x, y);
                if (c != last) {
                    // What is drawn stands out from the box's own ground, whatever the colours.
                    const COLORREF rgb = Resolve(c, c == box.BackColor() ? Ink::Ground : Ink::Mark);
                    lastPixel = (GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb);
                    last = c;
                }
                pixels_[at++] = lastPixel;
            }
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;  // top-down rows
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, x0, y0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0, static_cast<UINT>(h), pixels_.data(), &bi,
                          DIB_RGB_COLORS);
    }
    if (const auto* pic = Native(box.Picture().get()); pic != nullptr && !HighContrast()) pic->Draw(dc, 0, 0, look.GetScale().Factor());
}

}  // namespace purgix::win32
