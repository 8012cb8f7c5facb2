// The keyboard in a form's window: Tab and Shift+Tab through the controls the
// user can reach, Enter and Esc for its buttons, Alt and a caption's letter,
// the cues that show the focus; and each control's window answering
// assistive programs.
#include "platform/win32/window/FormWindowInternal.h"

#include <cwctype>

#include "platform/win32/Messages.h"
#include "platform/win32/Text.h"

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
            if (peer->ShowsFocus() && peer->Caption() == nullptr) {
                const LRESULT painted = Forward(h, msg, wp, lp);
                if (GetFocus() == h && !CuesHidden(h, UISF_HIDEFOCUS)) {
                    const gdi::WindowDC dc(h);
                    RECT r{};
                    GetClientRect(h, &r);
                    DrawFocusRect(dc.Get(), &r);
                }
                return painted;
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

// The form whose window holds this one, if it is one of ours.
FormWindow::Impl* FormOf(HWND h) {
    const HWND root = GetAncestor(h, GA_ROOT);
    wchar_t name[32] = L"";
    if (root == nullptr || GetClassNameW(root, name, 32) == 0 || std::wcscmp(name, kFormClass) != 0) return nullptr;
    auto* peer = static_cast<ContainerPeer*>(PeerOf(root));
    return peer != nullptr && peer->hwnd == root ? &peer->impl : nullptr;
}

// Every control of the container and of the containers inside it.
template <class Visit>
void EachControl(const ui::Container& container, Visit visit) {
    for (ui::Control* c : container.Children()) {
        visit(*c);
        if (c->GetKind() == ui::Kind::PictureBox) EachControl(static_cast<const ui::Container&>(*c), visit);
    }
}

bool Press(ui::Control& c) {
    if (c.GetKind() == ui::Kind::Image && static_cast<ui::Image&>(c).Click) static_cast<ui::Image&>(c).Click();
    else if (c.GetKind() == ui::Kind::CommandButton && static_cast<ui::CommandButton&>(c).Click) static_cast<ui::CommandButton&>(c).Click();
    else return false;
    return true;
}

}  // namespace

const ui::Label* ControlPeer::Caption() const {
    const ui::Label* caption = nullptr;
    EachControl(impl.Form(), [&](const ui::Control& c) {
        if (c.GetKind() == ui::Kind::Label && static_cast<const ui::Label&>(c).labelFor == &control) caption = &static_cast<const ui::Label&>(c);
    });
    return caption;
}

AccessibleFacts ControlPeer::Facts() const { return {Widen(control.accessibleName), Widen(control.accessibleDescription), {}, 0, 0}; }

void SetPeerOf(HWND h, ControlPeer* peer) { SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(peer)); }

ControlPeer* PeerOf(HWND h) { return reinterpret_cast<ControlPeer*>(GetWindowLongPtrW(h, GWLP_USERDATA)); }

void ControlPeer::Subclass() {
    SetPeerOf(hwnd, this);
    classProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChildProc)));
}

std::wstring WithAccessKey(const wchar_t* text, char key) {
    std::wstring out;
    bool marked = false;
    for (const wchar_t* p = text; *p != L'\0'; ++p) {
        if (*p == L'&') out += L'&';
        if (!marked && std::towupper(*p) == std::towupper(static_cast<wchar_t>(static_cast<unsigned char>(key)))) {
            out += L'&';
            marked = true;
        }
        out += *p;
    }
    return out;
}

bool HandleFormKeys(MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    FormWindow::Impl* form = FormOf(msg.hwnd);
    return form != nullptr && form->OnKey(msg);
}

bool FormWindow::Impl::OnKey(const MSG& msg) {
    const auto key = static_cast<int>(msg.wParam);
    const bool alt = msg.message == WM_SYSKEYDOWN, ctrl = GetKeyState(VK_CONTROL) < 0;
    ControlPeer* focused = PeerOf(GetFocus());
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
    const auto pressButton = [this](bool ui::CommandButton::*part) {
        bool pressed = false;
        EachControl(Form(), [&](ui::Control& c) {
            if (!pressed && c.GetKind() == ui::Kind::CommandButton && static_cast<ui::CommandButton&>(c).*part && c.Reachable())
                pressed = Press(c);
        });
        return pressed;
    };
    if (!alt && !ctrl && key == VK_RETURN) return (focused != nullptr && Press(focused->control)) || pressButton(&ui::CommandButton::isDefault);
    if (!alt && key == VK_ESCAPE) return pressButton(&ui::CommandButton::isCancel);
    if (!alt || !std::iswalnum(static_cast<wint_t>(key))) return false;
    // Alt and a letter: a button whose caption marks it, or a caption's access key (its control focused, a box ticked).
    bool done = false;
    EachControl(Form(), [&](ui::Control& c) {
        if (done || !c.Reachable()) return;
        if (c.GetKind() == ui::Kind::CommandButton) {
            const std::string& caption = static_cast<ui::CommandButton&>(c).caption;
            const std::size_t amp = caption.find('&');
            if (amp + 1 < caption.size() && std::towupper(static_cast<unsigned char>(caption[amp + 1])) == static_cast<wint_t>(key)) done = Press(c);
            return;
        }
        if (c.GetKind() != ui::Kind::Label) return;
        const auto& label = static_cast<ui::Label&>(c);
        if (label.labelFor == nullptr || std::towupper(static_cast<unsigned char>(label.accessKey)) != static_cast<wint_t>(key) ||
            !label.labelFor->Reachable())
            return;
        if (auto it = byControl.find(label.labelFor); it != byControl.end() && it->second->hwnd != nullptr) SetFocus(it->second->hwnd);
        if (label.labelFor->GetKind() == ui::Kind::CheckBox) static_cast<ui::CheckBox*>(label.labelFor)->UserClick();
        ShowCues(UISF_HIDEFOCUS);
        done = true;
    });
    return done;
}

void FormWindow::Impl::MoveFocus(bool forward) {
    const std::vector<ui::Control*> order = Form().TabOrder();
    if (order.empty()) return;
    const ControlPeer* now = PeerOf(GetFocus());
    const auto at = now == nullptr ? order.end() : std::find(order.begin(), order.end(), &now->control);
    const std::size_t n = order.size();
    std::size_t next = forward ? 0 : n - 1;
    if (at != order.end()) next = (static_cast<std::size_t>(at - order.begin()) + (forward ? 1 : n - 1)) % n;
    if (auto it = byControl.find(order[next]); it != byControl.end() && it->second->hwnd != nullptr) SetFocus(it->second->hwnd);
}

void FormWindow::Impl::ShowCues(WORD which) {
    if (CuesHidden(hwnd, which)) SendMessageW(hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, which), 0);
}

void FormWindow::Impl::RestoreFocus() {
    if (focus_ != nullptr && IsChild(hwnd, focus_) && IsWindowVisible(focus_) && IsWindowEnabled(focus_)) {
        SetFocus(focus_);
        return;
    }
    EachControl(Form(), [&](ui::Control& c) {
        if (c.GetKind() == ui::Kind::CommandButton && static_cast<ui::CommandButton&>(c).isDefault && c.Handle() != 0)
            SetFocus(reinterpret_cast<HWND>(c.Handle()));
    });
}

}  // namespace purgix::win32
