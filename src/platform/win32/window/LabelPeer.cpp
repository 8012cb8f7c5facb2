// A label: owner-drawn, so that the lines and shapes stacked above it can be
// drawn over its text; its text fitted to its box, its access key for the
// control it names.
#include <algorithm>
#include <cwchar>

#include <oleacc.h>

#include "platform/win32/Text.h"
#include "platform/win32/window/ContainerPeer.h"
#include "platform/win32/window/FormPeer.h"

namespace purgix::win32 {

namespace {

// As a static control lays out its text.
UINT TextFormat(ui::Align a) {
    const UINT align = a == ui::Align::Center ? DT_CENTER : a == ui::Align::Right ? DT_RIGHT : DT_LEFT;
    return align | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
}

class LabelPeer : public ControlPeer {
public:
    using ControlPeer::ControlPeer;

    void Create(HWND parent, int id) override {
        font = designFont_ = form.Look().Font(Model().font);
        wchar_t text[256];
        WidenInto(Model().Caption(), text, 256);
        CreateChild(L"STATIC", SS_OWNERDRAW | SS_NOPREFIX, 0, text, parent, id);
        FitFont(text);
    }

    void Connect() override {
        if (Model().labelFor == nullptr) return;
        if (ControlPeer* named = PeerOf(*Model().labelFor)) named->NamedBy(Model());
    }

    void Rescale() override {
        Sync(ui::Change::Bounds);
        designFont_ = form.Look().Font(Model().font);
        font = nullptr;  // whatever fits anew
        wchar_t text[256];
        GetWindowTextW(hwnd, text, 256);
        FitFont(text);
    }

    // A figure is read with its row and column: "Physical RAM, Available: 24,277,772".
    AccessibleFacts Facts() const override {
        const ui::Label& label = Model();
        AccessibleFacts facts = ControlPeer::Facts();
        facts.name = Widen(label.accessibleName.empty() ? label.Caption() : label.accessibleName + ": " + label.Caption());
        facts.role = ROLE_SYSTEM_STATICTEXT;
        return facts;
    }

    // Alt and the caption's letter: the control it names has the focus, and a check box is ticked.
    bool TakeAccessKey(wint_t key) override {
        ui::Control* named = Model().labelFor;
        if (named == nullptr || std::towupper(static_cast<unsigned char>(Model().accessKey)) != key || !named->Reachable()) return false;
        ControlPeer* peer = PeerOf(*named);
        if (peer == nullptr) return false;
        if (peer->hwnd != nullptr) SetFocus(peer->hwnd);
        peer->CaptionKey();
        form.Keys().ShowCues(UISF_HIDEFOCUS);
        return true;
    }

    void ReflectedDrawItem(const DRAWITEMSTRUCT& item) override;

private:
    const ui::Label& Model() const { return static_cast<const ui::Label&>(control); }
    void SyncOwn(ui::Change what) override {
        if (what == ui::Change::Colors) InvalidateRect(hwnd, nullptr, FALSE);
        if (what != ui::Change::Caption) return;
        wchar_t text[256];  // on the stack: figures change twice a second
        WidenInto(Model().Caption(), text, 256);
        FitFont(text);
        SetWindowTextW(hwnd, text);
    }
    void FitFont(const wchar_t* text);
    HFONT designFont_ = nullptr;
};

void LabelPeer::ReflectedDrawItem(const DRAWITEMSTRUCT& item) {
    const ui::Label& label = Model();
    Density& look = form.Look();
    const RECT& rc = item.rcItem;
    gdi::MemoryDC mem(look.Scratch(), rc.right, rc.bottom);
    HDC dc = mem.Get();
    if (label.backColor)
        FillRect(dc, &rc, look.Brush(*label.backColor, Ink::Ground));
    else
        PaintBehind(dc);  // the container shows through, and the old text goes
    wchar_t text[256];
    GetWindowTextW(hwnd, text, 256);
    {
        gdi::ScopedSelectObject select(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, IsWindowEnabled(hwnd) ? Resolve(label.foreColor) : GetSysColor(COLOR_GRAYTEXT));
        RECT box = rc;
        if (label.accessKey != 0) {
            // Its access key underlined, once the keyboard is in use; the focus round it while its control has it.
            const std::wstring marked = WithAccessKey(text, label.accessKey);
            const LRESULT cues = SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0);
            const UINT format = (TextFormat(label.alignment) & ~UINT{DT_NOPREFIX}) | ((cues & UISF_HIDEACCEL) != 0 ? DT_HIDEPREFIX : 0);
            DrawTextW(dc, marked.c_str(), -1, &box, format);
            if (label.labelFor != nullptr && label.labelFor->Handle() != 0 && GetFocus() == reinterpret_cast<HWND>(label.labelFor->Handle()) &&
                (cues & UISF_HIDEFOCUS) == 0) {
                RECT ink = rc;
                DrawTextW(dc, marked.c_str(), -1, &ink, format | DT_CALCRECT);
                InflateRect(&ink, 1, 1);
                ink.left = std::max(ink.left, rc.left);
                DrawFocusRect(dc, &ink);
            }
        } else {
            DrawTextW(dc, text, -1, &box, TextFormat(label.alignment));
        }
    }
    // The table's rules lie above its figures: a window of its own must not hide them.
    PaintAbove(dc);
    mem.CopyTo(item.hDC, rc);
}

// A figure wider than its label (the 64-bit address space has 15 digits) is
// shown whole in a smaller size of the same face rather than cut off.
void LabelPeer::FitFont(const wchar_t* text) {
    HFONT chosen = designFont_;
    const RECT area = DeviceRect();
    {
        gdi::WindowDC dc(hwnd);
        const int length = static_cast<int>(std::wcslen(text));
        for (int step = 0; step < Density::kSmallerSizes; ++step) {
            SIZE extent{};
            gdi::ScopedSelectObject select(dc.Get(), chosen);
            GetTextExtentPoint32W(dc.Get(), text, length, &extent);
            if (extent.cx <= area.right - area.left) break;
            chosen = form.Look().SmallerFont(Model().font, step);
        }
    }
    if (chosen != font) {
        font = chosen;
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

}  // namespace

std::unique_ptr<ControlPeer> MakeLabelPeer(FormPeer& form, ui::Control& control) { return std::make_unique<LabelPeer>(form, control); }

}  // namespace purgix::win32
