// The peers of the controls inside a form: one type per kind of control, each
// making its own child window and answering its own reflected notifications;
// and the message handling that forms and picture boxes share.
#include <cmath>
#include <utility>

#include "Error.h"
#include "platform/win32/FormWindowInternal.h"
#include "platform/win32/Messages.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Platform.h"

namespace purgix::win32 {

void ControlPeer::Detach() {
    if (control.GetPeer() == this) control.Attach(nullptr);
    if (hwnd != nullptr && control.Handle() == reinterpret_cast<ui::WindowHandle>(hwnd)) control.SetHandle(0);
}

ContainerPeer* ControlPeer::Container() const { return impl.ContainerOf(control); }

RECT ControlPeer::DeviceRect() const { return impl.scale.Rect(control.Bounds()); }

void ControlPeer::Sync(ui::Change what) {
    if (hwnd == nullptr) return;
    const RECT r = DeviceRect();
    switch (what) {
        case ui::Change::Bounds: MoveWindow(hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE); return;
        case ui::Change::Visible: ShowWindow(hwnd, control.Visible() ? SW_SHOWNA : SW_HIDE); return;
        case ui::Change::Enabled: EnableWindow(hwnd, control.Enabled()); return;
        case ui::Change::ZOrder: SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); return;
        default: SyncOwn(what); return;
    }
}

void ControlPeer::Rescale() {
    if (hwnd == nullptr) return;
    Sync(ui::Change::Bounds);
    font = impl.formFont;
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void ControlPeer::CreateChild(const wchar_t* windowClass, DWORD style, DWORD exStyle, const wchar_t* text, HWND parent, int id,
                              void* createParam) {
    const RECT r = DeviceRect();
    style |= WS_CHILD | WS_CLIPSIBLINGS | (control.Visible() ? WS_VISIBLE : 0u) | (control.Enabled() ? 0u : WS_DISABLED);
    hwnd = CreateWindowExW(exStyle, windowClass, text, style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), impl.platform.Instance(), createParam);
    if (hwnd == nullptr) throw purgix::Error("cannot create the window of " + control.Name());
    impl.byWindow[hwnd] = this;
    control.SetHandle(reinterpret_cast<ui::WindowHandle>(hwnd));
    if (font == nullptr) font = impl.formFont;
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

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

// Lines, shapes and images have no window: their container draws them, and so
// do the labels that show the container through or lie under them.
class GraphicPeer : public ControlPeer {
public:
    using ControlPeer::ControlPeer;
    void Create(HWND, int) override {}
    void Rescale() override {}
    void Sync(ui::Change) override {
        if (ContainerPeer* c = Container()) FormWindow::Impl::Redraw(c->hwnd);
    }
};

class CheckBoxPeer : public ControlPeer {
public:
    using ControlPeer::ControlPeer;
    void Create(HWND parent, int id) override {
        // Three states and no automatic toggling: the model decides what a click does.
        CreateChild(L"BUTTON", BS_3STATE | WS_TABSTOP, 0, L"", parent, id);
        SyncOwn(ui::Change::Value);
    }
    void ReflectedCommand(UINT code) override {
        if (code == BN_CLICKED) Model().UserClick();
    }
    LRESULT ReflectedCtlColor(HDC dc) override {
        // Let the container show through: its picture goes under the box.
        impl.PaintBehind(dc, control);
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }

private:
    ui::CheckBox& Model() const { return static_cast<ui::CheckBox&>(control); }
    void SyncOwn(ui::Change what) override {
        if (what == ui::Change::Value) SendMessageW(hwnd, BM_SETCHECK, static_cast<WPARAM>(Model().Value()), 0);
    }
};

class TextBoxPeer : public ControlPeer {
public:
    using ControlPeer::ControlPeer;
    void Create(HWND parent, int id) override {
        const auto& box = static_cast<const ui::TextBox&>(control);
        CreateChild(L"EDIT", ES_LEFT | ES_AUTOHSCROLL | (box.readOnly ? ES_READONLY : 0u), WS_EX_CLIENTEDGE, Widen(box.Text()).c_str(),
                    parent, id);
    }

private:
    void SyncOwn(ui::Change what) override {
        if (what != ui::Change::Caption) return;
        wchar_t text[256];
        WidenInto(static_cast<const ui::TextBox&>(control).Text(), text, 256);
        SetWindowTextW(hwnd, text);
    }
};

// A spinner: only its arrows are used.
class ScrollBarPeer : public ControlPeer {
public:
    using ControlPeer::ControlPeer;
    void Create(HWND parent, int id) override {
        CreateChild(L"SCROLLBAR", SBS_VERT | WS_TABSTOP, 0, L"", parent, id);
        // A middle position keeps both arrows live whatever the model's value.
        SetScrollRange(hwnd, SB_CTL, 0, 2, FALSE);
        SetScrollPos(hwnd, SB_CTL, 1, FALSE);
    }
    void ReflectedVScroll(UINT code) override {
        auto& bar = static_cast<ui::VScrollBar&>(control);
        if (code == SB_LINEUP || code == SB_PAGEUP) bar.Arrow(true);
        if (code == SB_LINEDOWN || code == SB_PAGEDOWN) bar.Arrow(false);
    }
};

class ButtonPeer : public ControlPeer {
public:
    using ControlPeer::ControlPeer;
    void Create(HWND parent, int id) override {
        CreateChild(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, Widen(Model().caption).c_str(), parent, id);
    }
    void ReflectedCommand(UINT code) override {
        if (code == BN_CLICKED && Model().Click) Model().Click();
    }

private:
    ui::CommandButton& Model() const { return static_cast<ui::CommandButton&>(control); }
};

}  // namespace

void LabelPeer::Create(HWND parent, int id) {
    const auto& label = static_cast<const ui::Label&>(control);
    font = designFont_ = impl.gdi.Font(label.font, impl.scale);
    wchar_t text[256];
    WidenInto(label.Caption(), text, 256);
    CreateChild(L"STATIC", SS_OWNERDRAW | SS_NOPREFIX, 0, text, parent, id);
    FitFont(text);
}

void LabelPeer::Rescale() {
    Sync(ui::Change::Bounds);
    designFont_ = impl.gdi.Font(static_cast<const ui::Label&>(control).font, impl.scale);
    font = nullptr;  // whatever fits anew
    wchar_t text[256];
    GetWindowTextW(hwnd, text, 256);
    FitFont(text);
}

void LabelPeer::SyncOwn(ui::Change what) {
    if (what == ui::Change::Colors) InvalidateRect(hwnd, nullptr, FALSE);
    if (what != ui::Change::Caption) return;
    wchar_t text[256];  // on the stack: figures change twice a second
    WidenInto(static_cast<const ui::Label&>(control).Caption(), text, 256);
    FitFont(text);
    SetWindowTextW(hwnd, text);
}

void PictureBoxPeer::Create(HWND parent, int id) {
    // The drawing's raster at the screen's density: lines a design pixel wide come out sharp at every scale.
    static_cast<ui::PictureBox&>(control).SetRasterScale(impl.scale.Factor());
    CreateChild(kPictureClass, WS_CLIPCHILDREN, 0, L"", parent, id, static_cast<ContainerPeer*>(this));
    CreateChildren();
}

void PictureBoxPeer::Rescale() {
    ControlPeer::Rescale();
    static_cast<ui::PictureBox&>(control).SetRasterScale(impl.scale.Factor());
}

void PictureBoxPeer::SyncOwn(ui::Change what) {
    if (what == ui::Change::Colors || what == ui::Change::Picture || what == ui::Change::Drawing) FormWindow::Impl::Redraw(hwnd);
}

void PictureBoxPeer::Drawn(const ui::Rect& r) {
    if (hwnd == nullptr) return;
    const RECT rc{r.left, r.top, r.left + r.width, r.top + r.height};
    RedrawWindow(hwnd, &rc, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void ContainerPeer::CreateChildren() {
    // Windows stacks each new child below its elder siblings: made in the
    // model's front-to-back order, the windows stack as the model does.
    for (ui::Control* c : Model().Children()) {
        auto made = MakePeer(impl, *c);
        if (made == nullptr) continue;
        ControlPeer& peer = *made;
        impl.Adopt(std::move(made));
        peer.Create(hwnd, 100 + static_cast<int>(impl.peers.size()));
    }
}

// --- Containers: forms and picture boxes alike

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

std::unique_ptr<ControlPeer> MakePeer(FormWindow::Impl& impl, ui::Control& c) {
    switch (c.GetKind()) {
        case ui::Kind::Label: return std::make_unique<LabelPeer>(impl, c);
        case ui::Kind::CheckBox: return std::make_unique<CheckBoxPeer>(impl, c);
        case ui::Kind::TextBox: return std::make_unique<TextBoxPeer>(impl, c);
        case ui::Kind::VScrollBar: return std::make_unique<ScrollBarPeer>(impl, c);
        case ui::Kind::CommandButton: return std::make_unique<ButtonPeer>(impl, c);
        case ui::Kind::PictureBox: return std::make_unique<PictureBoxPeer>(impl, c);
        case ui::Kind::Line:
        case ui::Kind::Shape:
        case ui::Kind::Image: return std::make_unique<GraphicPeer>(impl, c);
        case ui::Kind::FileListBox:  // lists its folder itself and is never shown
        case ui::Kind::Form: return nullptr;
    }
    return nullptr;
}

}  // namespace purgix::win32
