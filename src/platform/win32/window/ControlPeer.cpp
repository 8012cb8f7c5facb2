// What every control's peer shares: its child window and the procedure in
// front of the window's class, its place at the window's density, what lies
// behind and above it, and what assistive programs are told.
#include "platform/win32/window/ControlPeer.h"

#include "Error.h"
#include "platform/win32/Text.h"
#include "platform/win32/window/ContainerPeer.h"
#include "platform/win32/window/FormPeer.h"

namespace purgix::win32 {

namespace {

bool CuesHidden(HWND h, WPARAM which) { return (SendMessageW(h, WM_QUERYUISTATE, 0, 0) & which) != 0; }

// Each control's window procedure in front of its class's. The peer comes
// from the window's user data, which its class leaves to the program: a
// window property (what comctl32's subclassing keeps) costs a round trip to
// Wine's server on every message, twice a second for every figure.
LRESULT CALLBACK ChildProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    const ControlPeer* peer = PeerOf(h);
    if (peer == nullptr) return DefWindowProcW(h, msg, wp, lp);
    const auto Forward = [peer](HWND w, UINT m, WPARAM a, LPARAM b) { return CallWindowProcW(peer->ClassProc(), w, m, a, b); };
    switch (msg) {
        case WM_GETOBJECT:
            if (const LRESULT answer = AnswerGetObject(h, wp, lp, peer->Facts())) return answer;
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE:  // the focus rectangle and the access keys come and go
            InvalidateRect(h, nullptr, FALSE);
            if (const ui::Label* caption = peer->Caption(); caption != nullptr && caption->Handle() != 0)
                InvalidateRect(reinterpret_cast<HWND>(caption->Handle()), nullptr, FALSE);
            break;
        case WM_PAINT:
            if (peer->ShowsFocus() && peer->Caption() == nullptr && GetFocus() == h && !CuesHidden(h, UISF_HIDEFOCUS)) {
                // The class paints into this paint's own DC and the rectangle goes on top, clipped alike: a
                // repaint of part of the control redraws that part of the rectangle, never half of it.
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(h, &ps);
                Forward(h, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
                RECT r{};
                GetClientRect(h, &r);
                DrawFocusRect(dc, &r);
                EndPaint(h, &ps);
                return 0;
            }
            break;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT) {
                if (const HCURSOR cursor = peer->Cursor()) {
                    SetCursor(cursor);
                    return TRUE;
                }
            }
            break;
        case WM_NCDESTROY:  // the class's procedure has the last word, and a picture box's still finds its peer
            SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(peer->ClassProc()));
            break;
        default: break;
    }
    return Forward(h, msg, wp, lp);
}

}  // namespace

void SetPeerOf(HWND h, ControlPeer* peer) { SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(peer)); }

ControlPeer* PeerOf(HWND h) { return reinterpret_cast<ControlPeer*>(GetWindowLongPtrW(h, GWLP_USERDATA)); }

void ControlPeer::Detach() {
    if (control.GetPeer() == this) control.Attach(nullptr);
    if (hwnd != nullptr && control.Handle() == reinterpret_cast<ui::WindowHandle>(hwnd)) control.SetHandle(0);
}

ContainerPeer* ControlPeer::Container() const { return form.Peers().ContainerOf(control); }

RECT ControlPeer::DeviceRect() const { return form.Look().GetScale().Rect(control.Bounds()); }

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
    font = form.Look().FormFont();
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void ControlPeer::CreateChild(const wchar_t* windowClass, DWORD style, DWORD exStyle, const wchar_t* text, HWND parent, int id,
                              void* createParam) {
    const RECT r = DeviceRect();
    style |= WS_CHILD | WS_CLIPSIBLINGS | (control.Visible() ? WS_VISIBLE : 0u) | (control.Enabled() ? 0u : WS_DISABLED);
    hwnd = CreateWindowExW(exStyle, windowClass, text, style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), form.Instance(), createParam);
    if (hwnd == nullptr) throw purgix::Error("cannot create the window of " + control.Name() + " (error " + std::to_string(GetLastError()) + ")");
    Subclass();
    form.Peers().Bind(hwnd, *this);
    control.SetHandle(reinterpret_cast<ui::WindowHandle>(hwnd));
    if (font == nullptr) font = form.Look().FormFont();
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void ControlPeer::Subclass() {
    SetPeerOf(hwnd, this);
    classProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChildProc)));
}

AccessibleFacts ControlPeer::Facts() const {
    AccessibleFacts facts;
    facts.name = Widen(control.accessibleName);
    facts.description = Widen(control.accessibleDescription);
    return facts;
}

void ControlPeer::Announce(DWORD event) const {
    if (hwnd != nullptr) NotifyWinEvent(event, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

void ControlPeer::PaintBehind(HDC dc) const {
    ContainerPeer* parent = Container();
    if (parent == nullptr) return;
    const Scale& scale = form.Look().GetScale();
    gdi::ViewportOffset at(dc, -scale.Px(control.Bounds().left), -scale.Px(control.Bounds().top));
    parent->PaintAll(dc);
}

void ControlPeer::PaintAbove(HDC dc) const {
    const auto& siblings = control.Parent()->Children();
    const Scale& scale = form.Look().GetScale();
    gdi::ViewportOffset at(dc, -scale.Px(control.Bounds().left), -scale.Px(control.Bounds().top));
    // The siblings before the control lie above it; drawn back to front, the front-most ends on top.
    auto it = std::find(siblings.begin(), siblings.end(), &control);
    while (it != siblings.begin()) {
        --it;
        if (const ControlPeer* peer = PeerOf(**it); peer != nullptr && (*it)->Visible()) peer->Draw(dc);
    }
}

}  // namespace purgix::win32
