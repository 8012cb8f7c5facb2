// A form's window: made from the form's design values, the one window
// procedure of forms and picture boxes, the messages only a form gets, and
// the form's printed image.
#include "platform/win32/window/FormWindow.h"

#include <cwchar>
#include <utility>

#include "Error.h"
#include "platform/win32/Messages.h"
#include "platform/win32/Text.h"
#include "platform/win32/adapters/Adapters.h"
#include "platform/win32/adapters/Win32Platform.h"
#include "platform/win32/pictures/Win32Picture.h"
#include "platform/win32/window/FormPeer.h"

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
    const auto keep = peer->form.weak_from_this().lock();
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
    if (RegisterClassExW(&wc) == 0) Trace("window classes", "cannot register " + Narrow(kFormClass) + " (error " + std::to_string(GetLastError()) + ")");
    wc.lpszClassName = kPictureClass;
    if (RegisterClassExW(&wc) == 0) Trace("window classes", "cannot register " + Narrow(kPictureClass) + " (error " + std::to_string(GetLastError()) + ")");
    done = true;
}

}  // namespace

FormPeer::FormPeer(ui::Form& f, const FormWindow::Context& context, bool quit, int dpi)
    : ContainerPeer(*this, f),
      instance_(context.instance),
      pointer_(context.pointer),
      quitOnDestroy_(quit),
      fixedDpi_(dpi),
      look_(dpi != 0 ? dpi : static_cast<int>(DpiOfSystem())) {}

FormPeer::~FormPeer() {
    if (hwnd != nullptr && IsWindow(hwnd)) {
        // Going with its object, not closed: no Unload, and no form handler on the way out.
        SetPeerOf(hwnd, nullptr);
        DestroyWindow(hwnd);
    }
    if (owner_ != nullptr) DestroyWindow(owner_);
    DetachAll();
}

void FormPeer::Create(HWND, int) {
    RegisterClasses(instance_);
    RefreshHighContrast();
    ui::Form& f = Form();
    look_.SetDpi(look_.GetScale().dpi, f.font);
    font = look_.FormFont();
    peers_.AddForm(*this);
    f.Attach(this);

    DWORD exStyle = 0;
    if (!f.showInTaskbar) {
        // An owned window stays off the taskbar and keeps a normal caption, which
        // a tool window would shrink; its owner is an invisible stand-in.
        owner_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_, nullptr);
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
                           instance_, static_cast<ContainerPeer*>(this));
    if (hwnd == nullptr) throw purgix::Error("cannot create the window of " + f.Name() + " (error " + std::to_string(GetLastError()) + ")");
    f.SetHandle(reinterpret_cast<ui::WindowHandle>(hwnd));
    SetIcons();
    CreateChildren();
    peers_.Each([](ControlPeer& peer) { peer.Connect(); });
    menus_.Build();
    // Made on a monitor of another density than the system's: laid out at its own.
    if (fixedDpi_ == 0 && static_cast<int>(DpiOfWindow(hwnd)) != look_.GetScale().dpi) ApplyDpi(static_cast<int>(DpiOfWindow(hwnd)), nullptr);
    FitClientArea();
    timers_.Start(hwnd, f);
    // Focus rectangles and access keys show once the keyboard is used, unless the user always wants them.
    BOOL cues = FALSE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0);
    if (!cues) SendMessageW(hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    if (f.Visible()) ShowWindow(hwnd, SW_SHOW);
}

void FormPeer::Sync(ui::Change what) {
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

void FormPeer::BringToFront() {
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(hwnd);
}

HCURSOR FormPeer::ClientCursor() const {
    const ui::Form& f = Form();
    if (f.Pointer() == ui::MousePointer::Custom && f.MouseIcon() != nullptr) return CursorAtDpi(*f.MouseIcon());
    if (f.Pointer() == ui::MousePointer::Hourglass) return LoadCursorW(nullptr, IDC_WAIT);
    return nullptr;
}

void FormPeer::PaintBackground(HDC dc) {
    const ui::Form& f = Form();
    const Scale& scale = look_.GetScale();
    const RECT all = scale.Rect({0, 0, f.Bounds().width, f.Bounds().height});
    FillRect(dc, &all, look_.Brush(f.BackColor(), Ink::Ground));
    // In high contrast the skin's art gives way to the user's colours.
    if (const auto* pic = Native(f.Picture().get()); pic != nullptr && !HighContrast()) pic->Draw(dc, 0, 0, scale.Factor());
    // The persistent image: what was drawn and printed stays, whatever covered the window.
    for (const ui::DrawnPicture& d : f.DrawnPictures())
        if (const auto* pic = Native(d.picture.get())) pic->Draw(dc, scale.Px(d.x), scale.Px(d.y), scale.Factor());
    if (f.Printed().empty()) return;
    gdi::ScopedSelectObject select(dc, look_.FormFont());
    SetBkMode(dc, TRANSPARENT);
    for (const ui::PrintedLine& line : f.Printed()) {
        wchar_t text[256];
        WidenInto(line.text, text, 256);
        SetTextColor(dc, Resolve(line.color));
        TextOutW(dc, scale.Px(line.x), scale.Px(line.y), text, static_cast<int>(std::wcslen(text)));
    }
}

// The models forget this window's peers and handles; a window opened later for the same form takes them anew.
void FormPeer::DetachAll() {
    peers_.DetachAll();
    menus_.Detach();
    timers_.Detach();
    Detach();
}

LRESULT FormPeer::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    // Registered messages have their numbers only at run time (0 if the registration failed).
    if (const UINT show = ShowYourselfMessage(); show != 0 && msg == show) return OnShowRequest();
    if (const UINT exit = ExitMessage(); exit != 0 && msg == exit) return OnExitRequest();
    if (const UINT taskbar = TaskbarCreatedMessage(); taskbar != 0 && msg == taskbar) return Raise(Form().TaskbarCreated);
    switch (msg) {
        case WM_COMMAND: return OnCommand(wp, lp);
        case WM_TIMER: timers_.Tick(wp, Form()); return 0;
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

LRESULT FormPeer::Raise(const ui::Event& event) {
    if (event) event();
    return 0;
}

LRESULT FormPeer::OnCommand(WPARAM wp, LPARAM lp) {
    if (lp == 0 && menus_.Command(LOWORD(wp))) return 0;
    return ContainerPeer::OnCommand(wp, lp);
}

// High contrast turned on or off, or the system's colours changed: everything drawn again in the colours now in force.
LRESULT FormPeer::OnDisplaySettings(UINT msg, WPARAM wp, LPARAM lp) {
    RefreshHighContrast();
    Redraw(hwnd);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT FormPeer::OnActivate(WPARAM wp, LPARAM lp) {
    if (LOWORD(wp) == WA_INACTIVE) {
        keys_.Remember();
        return DefWindowProcW(hwnd, WM_ACTIVATE, wp, lp);
    }
    if (Form().Activate) Form().Activate();
    const LRESULT result = DefWindowProcW(hwnd, WM_ACTIVATE, wp, lp);
    if (HIWORD(wp) == 0) keys_.Restore();  // not while minimised
    return result;
}

// The close box, Exit and /exit alike; inside a release too, whose fill the
// form's unload stops first. Closing is never cancelled: a shutdown step that
// fails still lets the program end. A close that comes while the unload runs
// (it serves sent messages only once everything is saved) leaves the window
// to it: destroying it here would pull the window from under that unload.
LRESULT FormPeer::OnClose() {
    if (!closing_.Begin()) {
        if (closing_.Unloaded() && hwnd != nullptr) DestroyWindow(hwnd);
        return 0;
    }
    try {
        if (Form().Unload) Form().Unload();
    } catch (...) {
        TraceCurrentError("shutdown");
    }
    closing_.End();
    if (hwnd != nullptr) DestroyWindow(hwnd);
    return 0;
}

LRESULT FormPeer::OnEndSession(WPARAM ending) {
    // Windows ends the process soon after this message: save now, or logging off loses the settings.
    if (ending == 0) return 0;
    return OnClose();
}

// Only a form that answers show requests is a program's main form; the About window says nothing.
LRESULT FormPeer::OnShowRequest() {
    if (!Form().ShowRequested) return 0;
    return Form().ShowRequested() ? kAnswerShown : kAnswerClosing;
}

LRESULT FormPeer::OnExitRequest() {
    if (!quitOnDestroy_) return 0;
    return SendMessageW(hwnd, WM_CLOSE, 0, 0);
}

LRESULT FormPeer::OnDestroy() {
    timers_.Kill(hwnd, Form());
    if (quitOnDestroy_) PostQuitMessage(0);
    return 0;
}

LRESULT FormPeer::OnNcDestroy(WPARAM wp, LPARAM lp) {
    DetachAll();
    const LRESULT result = DefWindowProcW(hwnd, WM_NCDESTROY, wp, lp);
    hwnd = nullptr;
    if (owner_ != nullptr) DestroyWindow(std::exchange(owner_, nullptr));
    return result;
}

// --- The public face

FormWindow::FormWindow(ui::Form& form, const Context& context, bool quitOnDestroy, int dpi)
    : peer_(std::make_shared<FormPeer>(form, context, quitOnDestroy, dpi)) {
    peer_->Create(nullptr, 0);
}

FormWindow::FormWindow(ui::Form& form, Win32Platform& platform, bool quitOnDestroy, int dpi)
    : FormWindow(form, Context{platform.Instance(), platform.input}, quitOnDestroy, dpi) {}

FormWindow::~FormWindow() = default;

HWND FormWindow::Hwnd() const { return peer_->hwnd; }

HMENU FormWindow::SubMenu(const ui::MenuItem& item) const { return peer_->Menus().SubMenu(item); }

bool FormWindow::HandleShortcut(MSG& msg) const { return peer_->Menus().Shortcut(msg); }

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
