// Painting: containers (background, drawing, printed image, graphical
// controls), labels with what lies behind and above them, and font fitting.
#include <algorithm>
#include <cmath>
#include <cwchar>
#include <optional>

#include "platform/win32/window/FormWindowInternal.h"
#include "platform/win32/Text.h"
#include "platform/win32/pictures/Win32Picture.h"

namespace purgix::win32 {

namespace {
std::optional<bool> contrastOverride;
bool contrast = false;
}  // namespace

void RefreshHighContrast() {
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof hc;
    contrast = contrastOverride.value_or(SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
                                         (hc.dwFlags & HCF_HIGHCONTRASTON) != 0);
}

void OverrideHighContrast(std::optional<bool> on) {
    contrastOverride = on;
    RefreshHighContrast();
}

bool HighContrast() { return contrast; }

COLORREF Resolve(ui::Color c, Ink ink) {
    if (ui::IsSystemColor(c)) return GetSysColor(c & 0xFF);
    // High contrast: the user's own colours stand in for the skin's and the design's.
    if (contrast) return GetSysColor(ink == Ink::Ground ? COLOR_WINDOW : ink == Ink::Mark ? COLOR_HIGHLIGHT : COLOR_WINDOWTEXT);
    return static_cast<COLORREF>(c & 0xFFFFFF);
}

namespace {

HFONT MakeFont(int pixels, bool bold, const wchar_t* face, bool trueTypeOnly) {
    return CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       trueTypeOnly ? OUT_TT_ONLY_PRECIS : OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, face);
}

bool HasFace(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    const gdi::WindowDC screen(nullptr);
    EnumFontFamiliesExW(screen.Get(), &wanted, [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM seen) -> int {
        *reinterpret_cast<bool*>(seen) = true;
        return 0;
    }, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// MS Sans Serif is a bitmap face with 96-dpi sizes only (asked for more, the
// mapper hands back its largest bitmap, even when told to take TrueType
// only). Elsewhere its TrueType kin draws: Microsoft Sans Serif where
// Windows has it, else Tahoma, its successor in Windows dialogs.
const wchar_t* ScalableFace(const std::wstring& face, bool& trueTypeOnly) {
    static const bool microsoft = HasFace(L"Microsoft Sans Serif");
    trueTypeOnly = true;
    if (face != L"MS Sans Serif") return face.c_str();
    return microsoft ? L"Microsoft Sans Serif" : L"Tahoma";
}

// As a static control lays out its text.
UINT TextFormat(ui::Align a) {
    const UINT align = a == ui::Align::Center ? DT_CENTER : a == ui::Align::Right ? DT_RIGHT : DT_LEFT;
    return align | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
}

// The pixels GDI's LineTo lights from a to b, b itself left out, along one axis: [first, last].
std::pair<int, int> Lit(int a, int b) { return a < b ? std::pair(a, b - 1) : a > b ? std::pair(b + 1, a) : std::pair(a, a); }

void DrawGraphic(GdiCache& gdi, const Scale& scale, const ui::Control& c, HDC dc) {
    switch (c.GetKind()) {
        case ui::Kind::Shape: {
            const RECT rc = scale.Rect(c.Bounds());
            FillRect(dc, &rc, gdi.Brush(static_cast<const ui::Shape&>(c).BackColor(), Ink::Mark));
            return;
        }
        case ui::Kind::Line: {
            const auto& line = static_cast<const ui::Line&>(c);
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
            FillRect(dc, &rc, gdi.Brush(line.borderColor, Ink::Text));
            return;
        }
        case ui::Kind::Image:
            if (const auto* pic = Native(static_cast<const ui::Image&>(c).Picture().get()))
                pic->Draw(dc, scale.Px(c.Bounds().left), scale.Px(c.Bounds().top), scale.Factor());
            return;
        default: return;
    }
}

}  // namespace

HBRUSH GdiCache::Brush(ui::Color c, Ink ink) {
    const COLORREF rgb = Resolve(c, ink);
    auto it = brushes_.find(rgb);
    if (it == brushes_.end()) it = brushes_.emplace(rgb, gdi::Brush(CreateSolidBrush(rgb))).first;
    return it->second.Get();
}

HFONT GdiCache::Font(const ui::Font& f, const Scale& scale) {
    // Points at the window's DPI: 8.25 pt is 11 pixels at 96, 17 at 144.
    return FontAt(f.name, static_cast<int>(std::lround(f.points * scale.dpi / 72)), f.bold, scale);
}

HFONT GdiCache::SmallerFont(const ui::Font& f, int step, const Scale& scale) {
    // MS Sans Serif is a bitmap face without these sizes: Tahoma is its scalable kin.
    // Rounded down: a text that fits at 96 dpi fits at every scale.
    return FontAt("Tahoma", (10 - step) * scale.dpi / kDesignDpi, f.bold, scale);
}

HFONT GdiCache::FontAt(const std::string& name, int pixels, bool bold, const Scale& scale) {
    const auto key = std::make_tuple(name, pixels, bold);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) {
        const std::wstring face = Widen(name);
        bool trueTypeOnly = false;
        const wchar_t* use = scale.IsDesign() ? face.c_str() : ScalableFace(face, trueTypeOnly);
        it = fonts_.emplace(key, gdi::Font(MakeFont(pixels, bold, use, trueTypeOnly))).first;
    }
    return it->second.Get();
}

void ContainerPeer::PaintAll(HDC dc) {
    PaintBackground(dc);
    impl.DrawGraphics(Model(), dc);
}

void PictureBoxPeer::PaintBackground(HDC dc) {
    const auto& box = static_cast<const ui::PictureBox&>(control);
    const RECT all = impl.scale.Rect({0, 0, box.Bounds().width, box.Bounds().height});
    FillRect(dc, &all, impl.gdi.Brush(box.BackColor(), Ink::Ground));
    const ui::Surface& s = box.Drawing();
    if (s.Width() > 0 && s.Height() > 0) {
        pixels_.resize(static_cast<std::size_t>(s.Width()) * static_cast<std::size_t>(s.Height()));
        ui::Color last = s.At(0, 0) ^ 1;
        std::uint32_t lastPixel = 0;
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x) {
                const ui::Color c = s.At(x, y);
                if (c != last) {
                    // What is drawn stands out from the box's own ground, whatever the colours.
                    const COLORREF rgb = Resolve(c, c == box.BackColor() ? Ink::Ground : Ink::Mark);
                    lastPixel = (GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb);
                    last = c;
                }
                pixels_[static_cast<std::size_t>(y * s.Width() + x)] = lastPixel;
            }
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = s.Width();
        bi.bmiHeader.biHeight = -s.Height();  // top-down rows
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(s.Width()), static_cast<DWORD>(s.Height()), 0, 0, 0,
                          static_cast<UINT>(s.Height()), pixels_.data(), &bi, DIB_RGB_COLORS);
    }
    if (const auto* pic = Native(box.Picture().get()); pic != nullptr && !HighContrast()) pic->Draw(dc, 0, 0, impl.scale.Factor());
}

void FormWindow::Impl::PaintBackground(HDC dc) {
    const ui::Form& f = Form();
    const RECT all = scale.Rect({0, 0, f.Bounds().width, f.Bounds().height});
    FillRect(dc, &all, gdi.Brush(f.BackColor(), Ink::Ground));
    // In high contrast the skin's art gives way to the user's colours.
    if (const auto* pic = Native(f.Picture().get()); pic != nullptr && !HighContrast()) pic->Draw(dc, 0, 0, scale.Factor());
    // The persistent image: what was drawn and printed stays, whatever covered the window.
    for (const ui::DrawnPicture& d : f.DrawnPictures())
        if (const auto* pic = Native(d.picture.get())) pic->Draw(dc, scale.Px(d.x), scale.Px(d.y), scale.Factor());
    if (f.Printed().empty()) return;
    gdi::ScopedSelectObject select(dc, formFont);
    SetBkMode(dc, TRANSPARENT);
    for (const ui::PrintedLine& line : f.Printed()) {
        wchar_t text[256];
        WidenInto(line.text, text, 256);
        SetTextColor(dc, Resolve(line.color));
        TextOutW(dc, scale.Px(line.x), scale.Px(line.y), text, static_cast<int>(std::wcslen(text)));
    }
}

void FormWindow::Impl::DrawGraphics(const ui::Container& container, HDC dc) {
    const auto& kids = container.Children();
    for (auto it = kids.rbegin(); it != kids.rend(); ++it)  // back to front
        if ((*it)->Visible() && (*it)->IsGraphical()) DrawGraphic(gdi, scale, **it, dc);
}

void FormWindow::Impl::PaintBehind(HDC dc, const ui::Control& child) {
    ContainerPeer* parent = ContainerOf(child);
    if (parent == nullptr) return;
    gdi::ViewportOffset at(dc, -scale.Px(child.Bounds().left), -scale.Px(child.Bounds().top));
    parent->PaintAll(dc);
}

void FormWindow::Impl::PaintAbove(HDC dc, const ui::Control& child) {
    const auto& siblings = child.Parent()->Children();
    gdi::ViewportOffset at(dc, -scale.Px(child.Bounds().left), -scale.Px(child.Bounds().top));
    // The siblings before the child lie above it; drawn back to front, the front-most ends on top.
    auto it = std::find(siblings.begin(), siblings.end(), &child);
    while (it != siblings.begin()) {
        --it;
        if ((*it)->Visible() && (*it)->IsGraphical()) DrawGraphic(gdi, scale, **it, dc);
    }
}

void LabelPeer::ReflectedDrawItem(const DRAWITEMSTRUCT& item) {
    const auto& label = static_cast<const ui::Label&>(control);
    const RECT& rc = item.rcItem;
    gdi::MemoryDC mem(item.hDC, rc.right, rc.bottom);
    HDC dc = mem.Get();
    if (label.backColor)
        FillRect(dc, &rc, impl.gdi.Brush(*label.backColor, Ink::Ground));
    else
        impl.PaintBehind(dc, control);  // the container shows through, and the old text goes
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
    impl.PaintAbove(dc, control);
    mem.CopyTo(item.hDC, rc);
}

// A figure wider than its label (the 64-bit address space has 15 digits) is
// shown whole in a smaller size of the same face rather than cut off.
void LabelPeer::FitFont(const wchar_t* text) {
    const auto& label = static_cast<const ui::Label&>(control);
    HFONT chosen = designFont_;
    const RECT area = DeviceRect();
    {
        gdi::WindowDC dc(hwnd);
        const int length = static_cast<int>(std::wcslen(text));
        for (int step = 0; step < GdiCache::kSmallerSizes; ++step) {
            SIZE extent{};
            gdi::ScopedSelectObject select(dc.Get(), chosen);
            GetTextExtentPoint32W(dc.Get(), text, length, &extent);
            if (extent.cx <= area.right - area.left) break;
            chosen = impl.gdi.SmallerFont(label.font, step, impl.scale);
        }
    }
    if (chosen != font) {
        font = chosen;
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

}  // namespace purgix::win32
