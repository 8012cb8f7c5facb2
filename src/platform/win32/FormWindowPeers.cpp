// The peers of the controls inside a form: one type per kind of control, each
// making its own child window and answering its own reflected notifications.
#include <stdexcept>

#include "platform/win32/FormWindowInternal.h"
#include "platform/win32/Messages.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Platform.h"

namespace purgix::win32 {

void ControlPeer::Detach() {
    if (control.GetPeer() == this) control.Attach(nullptr);
    if (hwnd != nullptr && control.Handle() == reinterpret_cast<ui::WindowHandle>(hwnd)) control.SetHandle(0);
}

ContainerPeer* ControlPeer::Container() const { return impl.ContainerOf(control); }

void ControlPeer::Sync(ui::Change what) {
    if (hwnd == nullptr) return;
    const ui::Rect& r = control.Bounds();
    switch (what) {
        case ui::Change::Bounds: MoveWindow(hwnd, r.left, r.top, r.width, r.height, TRUE); return;
        case ui::Change::Visible: ShowWindow(hwnd, control.Visible() ? SW_SHOWNA : SW_HIDE); return;
        case ui::Change::Enabled: EnableWindow(hwnd, control.Enabled()); return;
        case ui::Change::ZOrder: SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); return;
        default: SyncOwn(what); return;
    }
}

void ControlPeer::CreateChild(const wchar_t* windowClass, DWORD style, DWORD exStyle, const wchar_t* text, HWND parent, int id,
                              void* createParam) {
    const ui::Rect& r = control.Bounds();
    style |= WS_CHILD | WS_CLIPSIBLINGS | (control.Visible() ? WS_VISIBLE : 0u) | (control.Enabled() ? 0u : WS_DISABLED);
    hwnd = CreateWindowExW(exStyle, windowClass, text, style, r.left, r.top, r.width, r.height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), impl.platform.Instance(), createParam);
    if (hwnd == nullptr) throw std::runtime_error("cannot create the window of " + control.Name());
    impl.byWindow[hwnd] = this;
    control.SetHandle(reinterpret_cast<ui::WindowHandle>(hwnd));
    if (font == nullptr) font = impl.formFont;
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

namespace {

// Lines, shapes and images have no window: their container draws them, and so
// do the labels that show the container through or lie under them.
class GraphicPeer : public ControlPeer {
public:
    using ControlPeer::ControlPeer;
    void Create(HWND, int) override {}
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
    font = designFont_ = impl.gdi.Font(label.font);
    wchar_t text[256];
    WidenInto(label.Caption(), text, 256);
    CreateChild(L"STATIC", SS_OWNERDRAW | SS_NOPREFIX, 0, text, parent, id);
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
    CreateChild(kPictureClass, WS_CLIPCHILDREN, 0, L"", parent, id, static_cast<ContainerPeer*>(this));
    CreateChildren();
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
    std::vector<HWND> order;
    for (ui::Control* c : Model().Children()) {
        auto made = MakePeer(impl, *c);
        if (made == nullptr) continue;
        ControlPeer& peer = *made;
        impl.Adopt(std::move(made));
        peer.Create(hwnd, 100 + static_cast<int>(impl.peers.size()));
        if (peer.hwnd != nullptr) order.push_back(peer.hwnd);
    }
    // Children are listed front to back: stack the windows the same way.
    HWND after = HWND_TOP;
    for (HWND h : order) {
        SetWindowPos(h, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = h;
    }
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
