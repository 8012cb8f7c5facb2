// One peer type per kind of control inside a form (labels have a file of
// their own): each makes its own child window, answers its own reflected
// notifications and keys, and tells assistive programs of its changes.
#include <oleacc.h>

#include <algorithm>
#include <string>
#include <utility>

#include "platform/win32/Text.h"
#include "platform/win32/pictures/Win32Picture.h"
#include "platform/win32/window/ContainerPeer.h"
#include "platform/win32/window/FormPeer.h"

namespace purgix::win32 {

namespace {

// Lines, shapes and pictures have no window: their container draws them, and
// so do the labels that show the container through or lie under them.
class GraphicPeer : public ControlPeer {
public:
    using ControlPeer::ControlPeer;
    void Create(HWND, int) override {}
    void Rescale() override {}
    void Sync(ui::Change) override {
        if (ContainerPeer* c = Container()) Redraw(c->hwnd);
    }
};

class ShapePeer : public GraphicPeer {
public:
    using GraphicPeer::GraphicPeer;
    void Draw(HDC dc) const override {
        const RECT rc = form.Look().GetScale().Rect(control.Bounds());
        FillRect(dc, &rc, form.Look().Brush(static_cast<const ui::Shape&>(control).BackColor(), Ink::Mark));
    }
};

// The pixels GDI's LineTo lights from a to b, b itself left out, along one axis: [first, last].
std::pair<int, int> Lit(int a, int b) { return a < b ? std::pair(a, b - 1) : a > b ? std::pair(b + 1, a) : std::pair(a, a); }

class LinePeer : public GraphicPeer {
public:
    using GraphicPeer::GraphicPeer;
    void Draw(HDC dc) const override {
        const auto& line = static_cast<const ui::Line&>(control);
        const Scale& scale = form.Look().GetScale();
        if (scale.IsDesign() || (line.x1 != line.x2 && line.y1 != line.y2)) {
            gdi::Pen pen(CreatePen(PS_SOLID, scale.Pen(), Resolve(line.borderColor)));
            gdi::ScopedSelectObject select(dc, pen.Get());
            MoveToEx(dc, scale.Px(line.x1), scale.Px(line.y1), nullptr);
            LineTo(dc, scale.Px(line.x2), scale.Px(line.y2));
            return;
        }
        // Across or down: the design pixels the line lights, each as many device pixels as the scale makes of it.
        const auto [x0, x1] = line.y1 == line.y2 ? Lit(line.x1, line.x2) : std::pair(line.x1, line.x1);
        const auto [y0, y1] = line.x1 == line.x2 ? Lit(line.y1, line.y2) : std::pair(line.y1, line.y1);
        const RECT rc = scale.Rect({x0, y0, x1 - x0 + 1, y1 - y0 + 1});
        FillRect(dc, &rc, form.Look().Brush(line.borderColor, Ink::Text));
    }
};

void DrawImage(const FormPeer& form, const ui::Image& img, HDC dc) {
    const Scale& scale = form.Look().GetScale();
    if (const auto* pic = Native(img.Picture().get())) pic->Draw(dc, scale.Px(img.Bounds().left), scale.Px(img.Bounds().top), scale.Factor());
}

class ImagePeer : public GraphicPeer {
public:
    using GraphicPeer::GraphicPeer;
    void Draw(HDC dc) const override { DrawImage(form, *Clickable(), dc); }
    ui::Image* Clickable() const override { return &static_cast<ui::Image&>(control); }
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
        SendMessageW(hwnd, BM_SETCHECK, static_cast<WPARAM>(Model().Value()), 0);
    }
    void ReflectedCommand(UINT code) override {
        if (code == BN_CLICKED) Model().UserClick();
    }
    void CaptionKey() override { Model().UserClick(); }
    LRESULT ReflectedCtlColor(HDC dc) override {
        // Let the container show through: its picture goes under the box.
        PaintBehind(dc);
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }

private:
    ui::CheckBox& Model() const { return static_cast<ui::CheckBox&>(control); }
    void SyncOwn(ui::Change what) override {
        if (what != ui::Change::Value || SendMessageW(hwnd, BM_GETCHECK, 0, 0) == Model().Value()) return;
        SendMessageW(hwnd, BM_SETCHECK, static_cast<WPARAM>(Model().Value()), 0);
        Announce(EVENT_OBJECT_STATECHANGE);
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
        Announce(EVENT_OBJECT_VALUECHANGE);
    }
};

// A spinner: only its arrows are used. The native position is the value, so
// that what the control reports is what it shows.
class ScrollBarPeer : public ControlPeer {
public:
    using ControlPeer::ControlPeer;
    void Create(HWND parent, int id) override {
        CreateChild(L"SCROLLBAR", SBS_VERT | WS_TABSTOP, 0, L"", parent, id);
        SetScrollRange(hwnd, SB_CTL, std::min(Model().Min(), Model().Max()), std::max(Model().Min(), Model().Max()), FALSE);
        SetScrollPos(hwnd, SB_CTL, Model().Value(), FALSE);
    }
    // Up and Down on the focused spinner come as the arrows' clicks do; the upper arrow raises the value.
    void ReflectedVScroll(UINT code) override {
        if (code == SB_LINEUP || code == SB_PAGEUP) Model().Arrow(true);
        if (code == SB_LINEDOWN || code == SB_PAGEDOWN) Model().Arrow(false);
    }
    AccessibleFacts Facts() const override {
        AccessibleFacts facts = ControlPeer::Facts();
        facts.role = ROLE_SYSTEM_SPINBUTTON;
        facts.value = Widen(std::to_string(Model().Value()));
        return facts;
    }
    bool ShowsFocus() const override { return true; }

private:
    ui::VScrollBar& Model() const { return static_cast<ui::VScrollBar&>(control); }
    void SyncOwn(ui::Change what) override {
        if (what != ui::Change::Value) return;
        SetScrollPos(hwnd, SB_CTL, Model().Value(), TRUE);
        Announce(EVENT_OBJECT_VALUECHANGE);
    }
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
        if (code == BN_CLICKED || code == BN_DOUBLECLICKED) Press();
    }
    bool Press() override {
        if (Model().Click) Model().Click();
        return true;
    }
    void Draw(HDC dc) const override { DrawImage(form, Model(), dc); }
    ui::Image* Clickable() const override { return &Model(); }
    void ReflectedDrawItem(const DRAWITEMSTRUCT& item) override {
        const RECT& rc = item.rcItem;
        gdi::MemoryDC mem(form.Look().Scratch(), rc.right, rc.bottom);
        PaintBehind(mem.Get());
        if (HighContrast()) {
            // Without the skin's art to show where it is, the area is a plain button with its name.
            RECT face = rc;
            DrawFrameControl(mem.Get(), &face, DFC_BUTTON, DFCS_BUTTONPUSH | ((item.itemState & ODS_SELECTED) != 0 ? DFCS_PUSHED : 0));
            const gdi::ScopedSelectObject select(mem.Get(), form.Look().FormFont());
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
        if (form.Busy()) return LoadCursorW(nullptr, IDC_WAIT);
        const auto& img = Model();
        return img.Pointer() == ui::MousePointer::Custom && img.MouseIcon() != nullptr ? form.CursorAtDpi(*img.MouseIcon()) : nullptr;
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
        if (code == BN_CLICKED) Press();
    }
    bool Press() override {
        if (Model().Click) Model().Click();
        return true;
    }
    bool IsDefault() const override { return Model().isDefault; }
    bool IsCancel() const override { return Model().isCancel; }
    bool TakeAccessKey(wint_t key) override {
        const std::string& caption = Model().caption;
        const std::size_t amp = caption.find('&');
        return amp + 1 < caption.size() && std::towupper(static_cast<unsigned char>(caption[amp + 1])) == key && Press();
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

// Lines to read: the keyboard moves through them, a screen reader reads each whole.
class ListBoxPeer : public ControlPeer {
public:
    using ControlPeer::ControlPeer;
    void Create(HWND parent, int id) override {
        CreateChild(L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, L"", parent, id);
        Fill();
    }
    void Rescale() override {
        ControlPeer::Rescale();
        ChooseFace();
    }
    AccessibleFacts Facts() const override {
        AccessibleFacts facts = ControlPeer::Facts();
        facts.role = ROLE_SYSTEM_LIST;
        for (const std::string& item : Model().Items()) facts.items.push_back(Widen(item));
        facts.selected = static_cast<int>(SendMessageW(hwnd, LB_GETCURSEL, 0, 0));
        return facts;
    }

private:
    const ui::ListBox& Model() const { return static_cast<const ui::ListBox&>(control); }
    void SyncOwn(ui::Change what) override {
        if (what != ui::Change::Value) return;
        Fill();
        Announce(EVENT_OBJECT_REORDER);
    }
    // The form's face may lack a character of the lines (MS Sans Serif and Tahoma have no arrows): then the
    // first of these faces that has them all draws the list.
    void ChooseFace() {
        std::wstring text;
        for (const std::string& item : Model().Items()) text += Widen(item);
        if (text.empty() || HasEvery(font, text)) return;
        for (const char* face : {"Segoe UI", "Microsoft Sans Serif", "DejaVu Sans"}) {
            ui::Font f = form.Form().font;
            f.name = face;
            if (const HFONT candidate = form.Look().Font(f); HasEvery(candidate, text)) {
                font = candidate;
                SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
                return;
            }
        }
    }
    bool HasEvery(HFONT face, const std::wstring& text) const {
        const gdi::WindowDC dc(hwnd);
        const gdi::ScopedSelectObject select(dc.Get(), face);
        std::vector<WORD> glyphs(text.size());
        if (GetGlyphIndicesW(dc.Get(), text.c_str(), static_cast<int>(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
            return true;  // nothing to tell: the face stays
        return std::find(glyphs.begin(), glyphs.end(), WORD{0xFFFF}) == glyphs.end();
    }
    // The lines anew, the line the user was on kept by its place.
    void Fill() {
        const LRESULT at = SendMessageW(hwnd, LB_GETCURSEL, 0, 0);
        SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
        SendMessageW(hwnd, LB_RESETCONTENT, 0, 0);
        for (const std::string& item : Model().Items()) SendMessageW(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
        const auto count = static_cast<LRESULT>(Model().Items().size());
        if (count > 0) SendMessageW(hwnd, LB_SETCURSEL, static_cast<WPARAM>(at == LB_ERR ? 0 : std::min(at, count - 1)), 0);
        SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
        ChooseFace();
        InvalidateRect(hwnd, nullptr, TRUE);
    }
};

}  // namespace

std::unique_ptr<ControlPeer> MakePeer(FormPeer& form, ui::Control& c) {
    switch (c.GetKind()) {
        case ui::Kind::Label: return MakeLabelPeer(form, c);
        case ui::Kind::CheckBox: return std::make_unique<CheckBoxPeer>(form, c);
        case ui::Kind::TextBox: return std::make_unique<TextBoxPeer>(form, c);
        case ui::Kind::VScrollBar: return std::make_unique<ScrollBarPeer>(form, c);
        case ui::Kind::CommandButton: return std::make_unique<ButtonPeer>(form, c);
        case ui::Kind::PictureBox: return std::make_unique<PictureBoxPeer>(form, c);
        case ui::Kind::Image:
            // An image with a name is a click area the keyboard reaches; the others are pictures.
            if (!c.accessibleName.empty()) return std::make_unique<ClickAreaPeer>(form, c);
            return std::make_unique<ImagePeer>(form, c);
        case ui::Kind::Line: return std::make_unique<LinePeer>(form, c);
        case ui::Kind::Shape: return std::make_unique<ShapePeer>(form, c);
        case ui::Kind::ListBox: return std::make_unique<ListBoxPeer>(form, c);
        case ui::Kind::FileListBox:  // lists its folder itself and is never shown
        case ui::Kind::Form: return nullptr;
    }
    return nullptr;
}

}  // namespace purgix::win32
