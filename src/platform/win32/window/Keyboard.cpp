// The keys a form's window takes before they are translated, each handed to
// the control it concerns: the peers know which keys are theirs.
#include "platform/win32/window/Keyboard.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

#include "platform/win32/Messages.h"
#include "platform/win32/window/FormPeer.h"
#include "platform/win32/window/FormWindow.h"

namespace purgix::win32 {

namespace {

bool CuesHidden(HWND h, WPARAM which) { return (SendMessageW(h, WM_QUERYUISTATE, 0, 0) & which) != 0; }

// The form whose window holds this one, if it is one of ours.
FormPeer* FormOf(HWND h) {
    const HWND root = GetAncestor(h, GA_ROOT);
    wchar_t name[32] = L"";
    if (root == nullptr || GetClassNameW(root, name, 32) == 0 || std::wcscmp(name, kFormClass) != 0) return nullptr;
    ControlPeer* peer = PeerOf(root);
    return peer != nullptr && peer->hwnd == root ? &peer->form : nullptr;
}

}  // namespace

bool HandleFormKeys(MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    FormPeer* form = FormOf(msg.hwnd);
    return form != nullptr && form->Keys().OnKey(msg);
}

bool FormKeys::OnKey(const MSG& msg) {
    const auto key = static_cast<wint_t>(msg.wParam);
    const bool alt = msg.message == WM_SYSKEYDOWN, ctrl = GetKeyState(VK_CONTROL) < 0;
    const PeerTable& peers = form_.Peers();
    if (alt && key == VK_MENU) {
        ShowCues(UISF_HIDEACCEL);
        return false;  // the menu bar's still
    }
    if (!alt && !ctrl && key == VK_TAB) {
        MoveFocus(GetKeyState(VK_SHIFT) >= 0);
        ShowCues(UISF_HIDEFOCUS);
        return true;
    }
    // The first reachable button that has the part: the default one for Enter, the cancel one for Esc.
    const auto pressButton = [&peers](bool (ControlPeer::*part)() const) {
        bool pressed = false;
        peers.Each([&](ControlPeer& p) {
            if (!pressed && (p.*part)() && p.control.Reachable()) pressed = p.Press();
        });
        return pressed;
    };
    if (!alt && !ctrl && key == VK_RETURN) {
        ControlPeer* focused = peers.ForWindow(GetFocus());
        return (focused != nullptr && focused->Press()) || pressButton(&ControlPeer::IsDefault);
    }
    if (!alt && key == VK_ESCAPE) return pressButton(&ControlPeer::IsCancel);
    if (!alt || !std::iswalnum(key)) return false;
    // Alt and a letter: a button whose caption marks it, or a caption's access key.
    bool done = false;
    peers.Each([&](ControlPeer& p) {
        if (!done && p.control.Reachable()) done = p.TakeAccessKey(key);
    });
    return done;
}

void FormKeys::MoveFocus(bool forward) {
    const std::vector<ui::Control*> order = form_.Form().TabOrder();
    if (order.empty()) return;
    const ControlPeer* now = form_.Peers().ForWindow(GetFocus());
    const auto at = now == nullptr ? order.end() : std::find(order.begin(), order.end(), &now->control);
    const std::size_t n = order.size();
    std::size_t next = forward ? 0 : n - 1;
    if (at != order.end()) next = (static_cast<std::size_t>(at - order.begin()) + (forward ? 1 : n - 1)) % n;
    if (const ControlPeer* peer = PeerOf(*order[next]); peer != nullptr && peer->hwnd != nullptr) SetFocus(peer->hwnd);
}

void FormKeys::ShowCues(WORD which) {
    if (CuesHidden(form_.hwnd, which)) SendMessageW(form_.hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, which), 0);
}

void FormKeys::Remember() {
    if (const HWND had = GetFocus(); had != nullptr && IsChild(form_.hwnd, had)) focus_ = had;
}

void FormKeys::Restore() {
    if (focus_ != nullptr && IsChild(form_.hwnd, focus_) && IsWindowVisible(focus_) && IsWindowEnabled(focus_)) {
        SetFocus(focus_);
        return;
    }
    form_.Peers().Each([](const ControlPeer& p) {
        if (p.IsDefault() && p.hwnd != nullptr) SetFocus(p.hwnd);
    });
}

}  // namespace purgix::win32
