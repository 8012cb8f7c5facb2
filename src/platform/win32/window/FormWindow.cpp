// A form's window: made from the form's design values, the one window
// procedure of forms and picture boxes, and the messages only a form gets.
#include "platform/win32/window/FormWindow.h"

#include <algorithm>
#include <utility>

#include "Error.h"
#include "platform/win32/adapters/Adapters.h"
#include "platform/win32/window/FormWindowInternal.h"
#include "platform/win32/Messages.h"
#include "platform/win32/Text.h"
#include "platform/win32/pictures/Win32Picture.h"
#include "platform/win32/adapters/Win32Platform.h"

namespace purgix::win32 {

namespace {

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* created = static_cast<ContainerPeer*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        created->hwnd = hwnd;
        SetPeerOf(hwnd, created);
    }
    auto* peer = static_cast<ContainerPeer*>(PeerOf(hwnd));
    if (peer == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
    // A handler may drop the last FormWindow (an Unload that lets its window go):
    // what it runs on stays until it returns.
    const auto keep = peer->impl.weak_from_this().lock();
    try {
        return peer->Handle(msg, wp, lp);
    } catch (...) {
        // Nothing may unwind through the window manager; the failed handler simply ends.
        TraceCurrentError("window procedure");
        return 0;
    }
}

void RegisterClasses(HINSTANCE instance) {
    static bool done = false;
    if (done) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ContainerProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kFormClass;
    RegisterClassExW(&wc);
    wc.lpszClassName = kPictureClass;
    RegisterClassExW(&wc);
    done = true;
}

struct TimerPeer : ui::Peer {
    TimerPeer(HWND w, ui::Timer& t, UINT i) : hwnd(w), timer(t), id(i) { timer.Attach(this); }
    ~TimerPeer() override {
        if (timer.GetPeer() == this) timer.Attach(nullptr);
    }
    void Sync(ui::Change) override {
        if (timer.Enabled())
            SetTimer(hwnd, id, timer.Interval(), nullptr);
        else
            KillTimer(hwnd, id);
    }
    HWND hwnd;
    ui::Timer& timer;
    UINT id;
};

}  // namespace

// --- The form

FormWindow::Impl::Impl(ui::Form& f, Win32Platform& p, bool quit, int dpi)
    : ContainerPeer(*this, f), platform(p), quitOnDestroy(quit), fixedDpi(dpi), scale{dpi != 0 ? dpi : static_cast<int>(DpiOfSystem())} {}

FormWindow::Impl::~Impl() {
    if (hwnd != nullptr && IsWindow(hwnd)) {
        // Going with its object, not closed: no Unload, and no form handler on the way out.
        SetPeerOf(hwnd, nullptr);
        DestroyWindow(hwnd);
    }
    if (owner_ != nullptr) DestroyWindow(owner_);
    DetachAll();
}

void FormWindow::Impl::Create(HWND, int) {
    RegisterClasses(platform.Instance());
    RefreshHighContrast();
    ui::Form& f = Form();
    font = formFont = gdi.Font(f.font, scale);
    byControl[&f] = this;
    f.Attach(this);

    DWORD exStyle = 0;
    if (!f.showInTaskbar) {
        // An owned window stays off the taskbar and keeps a normal caption, which
        // a tool window would shrink; its owner is an invisible stand-in.
        owner_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, platform.Instance(), nullptr);
    }
    if (f.borderStyle == ui::BorderStyle::FixedDialog) exStyle |= WS_EX_DLGMODALFRAME;
    const SIZE size = WindowSize();
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    if (f.centered) {
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        x = work.left + (work.right - work.left - size.cx) / 2;
        y = work.top + (work.bottom - work.top - size.cy) / 2;
    }
    hwnd = CreateWindowExW(exStyle, kFormClass, Widen(f.Caption()).c_str(), FrameStyle(f), x, y, size.cx, size.cy, owner_, nullptr,
                           platform.Instance(), static_cast<ContainerPeer*>(this));
    if (hwnd == nullptr) throw purgix::Error("cannot create the window of " + f.Name());
    f.SetHandle(reinterpret_cast<ui::WindowHandle>(hwnd));
    SetIcons();
    CreateChildren();
    menus.Build();
    // Made on a monitor of another density than the system's: laid out at its own.
    if (fixedDpi == 0 && static_cast<int>(DpiOfWindow(hwnd)) != scale.dpi) ApplyDpi(static_cast<int>(DpiOfWindow(hwnd)), nullptr);
    FitClientArea();
    UINT id = 1;
    for (ui::Timer* t : f.Timers()) {
        timers.push_back(std::make_unique<TimerPeer>(hwnd, *t, id++));
        timers.back()->Sync(ui::Change::Enabled);
    }
    // Focus rectangles and access keys show once the keyboard is used, unless the user always wants them.
    BOOL cues = FALSE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0);
    if (!cues) SendMessageW(hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    if (f.Visible()) ShowWindow(hwnd, SW_SHOW);
}

void FormWindow::Impl::Sync(ui::Change what) {
    if (hwnd == nullptr) return;
    switch (what) {
        case ui::Change::Caption: SetWindowTextW(hwnd, Widen(Form().Caption()).c_str()); return;
        case ui::Change::Visible: ShowWindow(hwnd, Form().Visible() ? SW_SHOW : SW_HIDE); return;
        case ui::Change::Enabled: EnableWindow(hwnd, Form().Enabled()); return;
        case ui::Change::ZOrder: BringToFront(); return;
        case ui::Change::Colors:
        case ui::Change::Picture:
        case ui::Change::Drawing: Redraw(hwnd); return;
        case ui::Change::Cursor: RefreshCursor(); return;
        case ui::Change::Icon: SetIcons(); return;
        case ui::Change::Close: SendMessageW(hwnd, WM_CLOSE, 0, 0); return;  // as the close box does
        case ui::Change::Bounds:
        case ui::Change::Value: return;  // the client area keeps its design size
    }
}

void FormWindow::Impl::BringToFront() {
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(hwnd);
}

HCURSOR FormWindow::Impl::ClientCursor() const {
    const ui::Form& f = Form();
    if (f.Pointer() == ui::MousePointer::Custom && f.MouseIcon() != nullptr) return CursorAtDpi(*f.MouseIcon());
    if (f.Pointer() == ui::MousePointer::Hourglass) return LoadCursorW(nullptr, IDC_WAIT);
    return nullptr;
}

ControlPeer* FormWindow::Impl::PeerOf(HWND child) const {
    auto it = byWindow.find(child);
    return it == byWindow.end() ? nullptr : it->second;
}

ContainerPeer* FormWindow::Impl::ContainerOf(const ui::Control& child) const {
    auto it = byControl.find(child.Parent());
    return it == byControl.end() ? nullptr : static_cast<ContainerPeer*>(it->second);
}

void FormWindow::Impl::Adopt(std::unique_ptr<ControlPeer> peer) {
    byControl[&peer->control] = peer.get();
    peer->control.Attach(peer.get());
    peers.push_back(std::move(peer));
}

void FormWindow::Impl::Redraw(HWND container) {
    if (container != nullptr) RedrawWindow(container, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// The models forget this window's peers and handles; a window opened later for the same form takes them anew.
void FormWindow::Impl::DetachAll() {
    for (auto& peer : peers) peer->Detach();
    menus.Detach();
    timers.clear();
    Detach();
}

LRESULT FormWindow::Impl::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    // Registered messages have their numbers only at run time (0 if the registration failed).
    if (const UINT show = ShowYourselfMessage(); show != 0 && msg == show) return OnShowRequest();
    if (const UINT exit = ExitMessage(); exit != 0 && msg == exit) return OnExitRequest();
    if (const UINT taskbar = TaskbarCreatedMessage(); taskbar != 0 && msg == taskbar) return Raise(Form().TaskbarCreated);
    switch (msg) {
        case WM_COMMAND: return OnCommand(wp, lp);
        case WM_TIMER: return OnTimer(wp);
        case WM_ACTIVATE: return OnActivate(wp, lp);
        case WM_CLOSE: return OnClose();
        case WM_QUERYENDSESSION: return TRUE;  // never stands in the way of logging off
        case WM_ENDSESSION: return OnEndSession(wp);
        case WM_DPICHANGED: return OnDpiChanged(wp, lp);
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE: return OnDisplaySettings(msg, wp, lp);
        case WM_DESTROY: return OnDestroy();
        case WM_NCDESTROY: return OnNcDestroy(wp, lp);
        default: return ContainerPeer::Handle(msg, wp, lp);
    }
}

LRESULT FormWindow::Impl::Raise(const ui::Event& event) {
    if (event) event();
    return 0;
}

LRESULT FormWindow::Impl::OnCommand(WPARAM wp, LPARAM lp) {
    if (lp == 0 && menus.Command(LOWORD(wp))) return 0;
    return ContainerPeer::OnCommand(wp, lp);
}

// High contrast turned on or off, or the system's colours changed: everything drawn again in the colours now in force.
LRESULT FormWindow::Impl::OnDisplaySettings(UINT msg, WPARAM wp, LPARAM lp) {
    RefreshHighContrast();
    Redraw(hwnd);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT FormWindow::Impl::OnTimer(WPARAM id) {
    auto& all = Form().Timers();
    if (id >= 1 && id <= all.size()) {
        ui::Timer* t = all[id - 1];
        if (t->Enabled() && t->Tick) t->Tick();
    }
    return 0;
}

LRESULT FormWindow::Impl::OnActivate(WPARAM wp, LPARAM lp) {
    if (LOWORD(wp) == WA_INACTIVE) {
        // The focus comes back where it was when the window is active again.
        if (const HWND had = GetFocus(); had != nullptr && IsChild(hwnd, had)) focus_ = had;
        return DefWindowProcW(hwnd, WM_ACTIVATE, wp, lp);
    }
    if (Form().Activate) Form().Activate();
    const LRESULT result = DefWindowProcW(hwnd, WM_ACTIVATE, wp, lp);
    if (HIWORD(wp) == 0) RestoreFocus();  // not while minimised
    return result;
}

// Runs the form's unload once, whichever way the window ends. Closing is never
// cancelled: a shutdown step that fails still lets the program end.
void FormWindow::Impl::Unload() {
    if (std::exchange(unloaded_, true)) return;
    try {
        if (Form().Unload) Form().Unload();
    } catch (...) {
        TraceCurrentError("shutdown");
    }
}

// The close box, Exit and /exit alike; inside a release too, whose fill the
// form's unload stops first.
LRESULT FormWindow::Impl::OnClose() {
    Unload();
    DestroyWindow(hwnd);
    return 0;
}

LRESULT FormWindow::Impl::OnEndSession(WPARAM ending) {
    // Windows ends the process soon after this message: save now, or logging off loses the settings.
    if (ending == 0) return 0;
    return OnClose();
}

// Only a form that answers show requests is a program's main form; the About window says nothing.
LRESULT FormWindow::Impl::OnShowRequest() {
    if (!Form().ShowRequested) return 0;
    return Form().ShowRequested() ? kAnswerShown : kAnswerClosing;
}

LRESULT FormWindow::Impl::OnExitRequest() {
    if (!quitOnDestroy) return 0;
    return SendMessageW(hwnd, WM_CLOSE, 0, 0);
}

LRESULT FormWindow::Impl::OnDestroy() {
    for (UINT id = 1; id <= Form().Timers().size(); ++id) KillTimer(hwnd, id);
    if (quitOnDestroy) PostQuitMessage(0);
    return 0;
}

LRESULT FormWindow::Impl::OnNcDestroy(WPARAM wp, LPARAM lp) {
    DetachAll();
    const LRESULT result = DefWindowProcW(hwnd, WM_NCDESTROY, wp, lp);
    hwnd = nullptr;
    if (owner_ != nullptr) DestroyWindow(std::exchange(owner_, nullptr));
    return result;
}

// --- The public face

FormWindow::FormWindow(ui::Form& form, Win32Platform& platform, bool quitOnDestroy, int dpi)
    : impl_(std::make_shared<Impl>(form, platform, quitOnDestroy, dpi)) {
    impl_->Create(nullptr, 0);
}

FormWindow::~FormWindow() = default;

HWND FormWindow::Hwnd() const { return impl_->hwnd; }

int FormWindow::Dpi() const { return impl_->scale.dpi; }

HMENU FormWindow::SubMenu(const ui::MenuItem& item) const { return impl_->menus.SubMenu(item); }

bool FormWindow::HandleShortcut(MSG& msg) const { return impl_->menus.Shortcut(msg); }

int RunMessageLoop(const FormWindow& main) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (main.HandleShortcut(msg) || HandleFormKeys(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void RefreshCursor() {
    POINT pt{};
    if (!GetCursorPos(&pt)) return;
    HWND h = WindowFromPoint(pt);
    if (h == nullptr || GetWindowThreadProcessId(h, nullptr) != GetCurrentThreadId()) {
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        return;
    }
    const LRESULT hit = SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    SendMessageW(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(hit, WM_MOUSEMOVE));
}

}  // namespace purgix::win32
