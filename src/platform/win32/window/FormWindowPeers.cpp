// The peers of the controls inside a form: one type per kind of control, each
// making its own child window and answering its own reflected notifications;
// and the message handling that forms and picture boxes share.
#include <cmath>
#include <oleacc.h>

#include <string>
#include <utility>

#include "Error.h"
#include "platform/win32/window/FormWindowInternal.h"
#include "platform/win32/Messages.h"
#include "platform/win32/Text.h"
#include "platform/win32/pictures/Win32Picture.h"
#include "platform/win32/adapters/Win32Platform.h"

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
    Subclass();
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
    void Rescale() override {}
    void Sync(ui::Change) override {
        if (ContainerPeer* c = Container()) FormWindow::Impl::Redraw(c->hwnd);
    }
};

class CheckBoxPeer : public ControlPeer {
public:
    using ControlPeer::ControlPeer;
    AccessibleFacts Facts() const override {
        AccessibleFacts facts = ControlPeer::Facts();
        facts.role = ROLE_SYSTEM_CHECKBUTTON;
        facts.addedState = Model().Value() == 1 ? STATE_SYSTEM_CHECKED : Model().Value() == 2 ? STATE_SYSTEM_MIXED : 0;
        return facts;
    }
    // The box alone shows: the focus goes round it, where a caption's would be.
    bool ShowsFocus() const override { return true; }
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
    // Up and Down on the focused spinner come as the arrows' clicks do.
    void ReflectedVScroll(UINT code) override {
        auto& bar = static_cast<ui::VScrollBar&>(control);
        if (code == SB_LINEUP || code == SB_PAGEUP) bar.Arrow(true);
        if (code == SB_LINEDOWN || code == SB_PAGEDOWN) bar.Arrow(false);
    }
    AccessibleFacts Facts() const override {
        AccessibleFacts facts = ControlPeer::Facts();
        facts.role = ROLE_SYSTEM_SPINBUTTON;
        facts.value = Widen(std::to_string(static_cast<const ui::VScrollBar&>(control).Value()));
        return facts;
    }
    bool ShowsFocus() const override { return true; }
};

// A click area over the skin's art: a button that shows nothing of its own
// but the focus rectangle (and, in high contrast, a plain button face), so
// that the keyboard and screen readers have it as the mouse does.
class ClickAreaPeer : public ControlPeer {
public:
    using ControlPeer::ControlPeer;
    void Create(HWND parent, int id) override {
        CreateChild(L"BUTTON", BS_OWNERDRAW, 0, Widen(control.accessibleName).c_str(), parent, id);
    }
    void ReflectedCommand(UINT code) override {
        // A quick second click is a click too, as it was on the bare area.
        if ((code == BN_CLICKED || code == BN_DOUBLECLICKED) && Model().Click) Model().Click();
    }
    void ReflectedDrawItem(const DRAWITEMSTRUCT& item) override {
        const RECT& rc = item.rcItem;
        gdi::MemoryDC mem(item.hDC, rc.right, rc.bottom);
        impl.PaintBehind(mem.Get(), control);
        if (HighContrast()) {
            // Without the skin's art to show where it is, the area is a plain button with its name.
            RECT face = rc;
            DrawFrameControl(mem.Get(), &face, DFC_BUTTON, DFCS_BUTTONPUSH | ((item.itemState & ODS_SELECTED) != 0 ? DFCS_PUSHED : 0));
            const gdi::ScopedSelectObject select(mem.Get(), impl.formFont);
            SetBkMode(mem.Get(), TRANSPARENT);
            SetTextColor(mem.Get(), GetSysColor(COLOR_BTNTEXT));
            const std::wstring name = Widen(control.accessibleName);
            DrawTextW(mem.Get(), name.c_str(), -1, &face, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_NOPREFIX);
        }
        if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
            RECT inner = rc;
            InflateRect(&inner, -1, -1);
            DrawFocusRect(mem.Get(), &inner);
        }
        mem.CopyTo(item.hDC, rc);
    }
    AccessibleFacts Facts() const override {
        AccessibleFacts facts = ControlPeer::Facts();
        facts.role = ROLE_SYSTEM_PUSHBUTTON;
        return facts;
    }
    HCURSOR Cursor() const override {
        if (impl.platform.input.MousePointer() == ui::MousePointer::Hourglass) return LoadCursorW(nullptr, IDC_WAIT);
        const auto& img = Model();
        return img.Pointer() == ui::MousePointer::Custom && img.MouseIcon() != nullptr ? impl.CursorAtDpi(*img.MouseIcon()) : nullptr;
    }

private:
    ui::Image& Model() const { return static_cast<ui::Image&>(control); }
};

class ButtonPeer : public ControlPeer {
public:
    using ControlPeer::ControlPeer;
    void Create(HWND parent, int id) override {
        CreateChild(L"BUTTON", (Model().isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP, 0, Widen(Model().caption).c_str(),
                    parent, id);
    }
    void ReflectedCommand(UINT code) override {
        if (code == BN_CLICKED && Model().Click) Model().Click();
    }
    AccessibleFacts Facts() const override {
        AccessibleFacts facts = ControlPeer::Facts();
        for (char c : Model().caption)
            if (c != '&') facts.name += static_cast<wchar_t>(static_cast<unsigned char>(c));
        facts.role = ROLE_SYSTEM_PUSHBUTTON;
        return facts;
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

// A figure is read with its row and column: "Physical RAM, Available: 24,277,772".
AccessibleFacts LabelPeer::Facts() const {
    const auto& label = static_cast<const ui::Label&>(control);
    AccessibleFacts facts = ControlPeer::Facts();
    facts.name = Widen(label.accessibleName.empty() ? label.Caption() : label.accessibleName + ": " + label.Caption());
    facts.role = ROLE_SYSTEM_STATICTEXT;
    return facts;
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

std::unique_ptr<ControlPeer> MakePeer(FormWindow::Impl& impl, ui::Control& c) {
    switch (c.GetKind()) {
        case ui::Kind::Label: return std::make_unique<LabelPeer>(impl, c);
        case ui::Kind::CheckBox: return std::make_unique<CheckBoxPeer>(impl, c);
        case ui::Kind::TextBox: return std::make_unique<TextBoxPeer>(impl, c);
        case ui::Kind::VScrollBar: return std::make_unique<ScrollBarPeer>(impl, c);
        case ui::Kind::CommandButton: return std::make_unique<ButtonPeer>(impl, c);
        case ui::Kind::PictureBox: return std::make_unique<PictureBoxPeer>(impl, c);
        case ui::Kind::Image:
            // An image with a name is a click area the keyboard reaches; the others are pictures.
            if (!c.accessibleName.empty()) return std::make_unique<ClickAreaPeer>(impl, c);
            return std::make_unique<GraphicPeer>(impl, c);
        case ui::Kind::Line:
        case ui::Kind::Shape: return std::make_unique<GraphicPeer>(impl, c);
        case ui::Kind::FileListBox:  // lists its folder itself and is never shown
        case ui::Kind::Form: return nullptr;
    }
    return nullptr;
}

}  // namespace purgix::win32
