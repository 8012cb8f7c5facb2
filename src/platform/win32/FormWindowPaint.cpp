// Painting: containers (background, drawing, printed image, graphical
// controls), labels with what lies behind and above them, and font fitting.
#include <algorithm>
#include <cmath>
#include <cwchar>

#include "platform/win32/FormWindowInternal.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Picture.h"

namespace purgix::win32 {

COLORREF Resolve(ui::Color c) { return ui::IsSystemColor(c) ? GetSysColor(c & 0xFF) : static_cast<COLORREF>(c & 0xFFFFFF); }

namespace {

HFONT MakeFont(int pixels, bool bold, const wchar_t* face) {
    return CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
}

// As a static control lays out its text.
UINT TextFormat(ui::Align a) {
    const UINT align = a == ui::Align::Center ? DT_CENTER : a == ui::Align::Right ? DT_RIGHT : DT_LEFT;
    return align | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
}

void DrawGraphic(GdiCache& gdi, const ui::Control& c, HDC dc) {
    const ui::Rect& r = c.Bounds();
    switch (c.GetKind()) {
        case ui::Kind::Shape: {
            const RECT rc{r.left, r.top, r.left + r.width, r.top + r.height};
            FillRect(dc, &rc, gdi.Brush(static_cast<const ui::Shape&>(c).BackColor()));
            return;
        }
        case ui::Kind::Line: {
            const auto& line = static_cast<const ui::Line&>(c);
            gdi::Pen pen(CreatePen(PS_SOLID, 1, Resolve(line.borderColor)));
            gdi::ScopedSelectObject select(dc, pen.Get());
            MoveToEx(dc, line.x1, line.y1, nullptr);
            LineTo(dc, line.x2, line.y2);
            return;
        }
        case ui::Kind::Image:
            if (const auto* pic = Native(static_cast<const ui::Image&>(c).Picture().get())) pic->Draw(dc, r.left, r.top);
            return;
        default: return;
    }
}

}  // namespace

HBRUSH GdiCache::Brush(ui::Color c) {
    const COLORREF rgb = Resolve(c);
    auto it = brushes_.find(rgb);
    if (it == brushes_.end()) it = brushes_.emplace(rgb, gdi::Brush(CreateSolidBrush(rgb))).first;
    return it->second.Get();
}

HFONT GdiCache::Font(const ui::Font& f) {
    // Points at the design's 96 dots per inch (8.25 pt is 11 pixels); the manifest
    // has Windows scale the whole window on other settings.
    const int pixels = static_cast<int>(std::lround(f.points * 96 / 72));
    const auto key = std::make_tuple(f.name, pixels, f.bold);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) it = fonts_.emplace(key, gdi::Font(MakeFont(pixels, f.bold, Widen(f.name).c_str()))).first;
    return it->second.Get();
}

HFONT GdiCache::SmallerFont(const ui::Font& f, int step) {
    gdi::Font& slot = smaller_[f.bold ? 1 : 0][step];
    // MS Sans Serif is a bitmap face without these sizes: Tahoma is its scalable kin.
    if (slot.Get() == nullptr) slot = gdi::Font(MakeFont(10 - step, f.bold, L"Tahoma"));
    return slot.Get();
}

void ContainerPeer::PaintAll(HDC dc) {
    PaintBackground(dc);
    impl.DrawGraphics(Model(), dc);
}

void PictureBoxPeer::PaintBackground(HDC dc) {
    const auto& box = static_cast<const ui::PictureBox&>(control);
    const RECT all{0, 0, box.Bounds().width, box.Bounds().height};
    FillRect(dc, &all, impl.gdi.Brush(box.BackColor()));
    const ui::Surface& s = box.Drawing();
    if (s.Width() > 0 && s.Height() > 0) {
        pixels_.resize(static_cast<std::size_t>(s.Width()) * static_cast<std::size_t>(s.Height()));
        ui::Color last = s.At(0, 0) ^ 1;
        std::uint32_t lastPixel = 0;
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x) {
                const ui::Color c = s.At(x, y);
                if (c != last) {
                    const COLORREF rgb = Resolve(c);
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
    if (const auto* pic = Native(box.Picture().get())) pic->Draw(dc, 0, 0);
}

void FormWindow::Impl::PaintBackground(HDC dc) {
    const ui::Form& f = Form();
    const RECT all{0, 0, f.Bounds().width, f.Bounds().height};
    FillRect(dc, &all, gdi.Brush(f.BackColor()));
    if (const auto* pic = Native(f.Picture().get())) pic->Draw(dc, 0, 0);
    // The persistent image: what was drawn and printed stays, whatever covered the window.
    for (const ui::DrawnPicture& d : f.DrawnPictures())
        if (const auto* pic = Native(d.picture.get())) pic->Draw(dc, d.x, d.y);
    if (f.Printed().empty()) return;
    gdi::ScopedSelectObject select(dc, formFont);
    SetBkMode(dc, TRANSPARENT);
    for (const ui::PrintedLine& line : f.Printed()) {
        wchar_t text[256];
        WidenInto(line.text, text, 256);
        SetTextColor(dc, Resolve(line.color));
        TextOutW(dc, line.x, line.y, text, static_cast<int>(std::wcslen(text)));
    }
}

void FormWindow::Impl::DrawGraphics(const ui::Container& container, HDC dc) {
    const auto& kids = container.Children();
    for (auto it = kids.rbegin(); it != kids.rend(); ++it)  // back to front
        if ((*it)->Visible() && (*it)->IsGraphical()) DrawGraphic(gdi, **it, dc);
}

void FormWindow::Impl::PaintBehind(HDC dc, const ui::Control& child) {
    ContainerPeer* parent = ContainerOf(child);
    if (parent == nullptr) return;
    gdi::ViewportOffset at(dc, -child.Bounds().left, -child.Bounds().top);
    parent->PaintAll(dc);
}

void FormWindow::Impl::PaintAbove(HDC dc, const ui::Control& child) {
    const auto& siblings = child.Parent()->Children();
    gdi::ViewportOffset at(dc, -child.Bounds().left, -child.Bounds().top);
    // The siblings before the child lie above it; drawn back to front, the front-most ends on top.
    auto it = std::find(siblings.begin(), siblings.end(), &child);
    while (it != siblings.begin()) {
        --it;
        if ((*it)->Visible() && (*it)->IsGraphical()) DrawGraphic(gdi, **it, dc);
    }
}

void LabelPeer::ReflectedDrawItem(const DRAWITEMSTRUCT& item) {
    const auto& label = static_cast<const ui::Label&>(control);
    const RECT& rc = item.rcItem;
    gdi::MemoryDC mem(item.hDC, rc.right, rc.bottom);
    HDC dc = mem.Get();
    if (label.backColor)
        FillRect(dc, &rc, impl.gdi.Brush(*label.backColor));
    else
        impl.PaintBehind(dc, control);  // the container shows through, and the old text goes
    wchar_t text[256];
    GetWindowTextW(hwnd, text, 256);
    {
        gdi::ScopedSelectObject select(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, IsWindowEnabled(hwnd) ? Resolve(label.foreColor) : GetSysColor(COLOR_GRAYTEXT));
        RECT box = rc;
        DrawTextW(dc, text, -1, &box, TextFormat(label.alignment));
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
    {
        gdi::WindowDC dc(hwnd);
        const int length = static_cast<int>(std::wcslen(text));
        for (int step = 0; step < GdiCache::kSmallerSizes; ++step) {
            SIZE extent{};
            gdi::ScopedSelectObject select(dc.Get(), chosen);
            GetTextExtentPoint32W(dc.Get(), text, length, &extent);
            if (extent.cx <= label.Bounds().width) break;
            chosen = impl.gdi.SmallerFont(label.font, step);
        }
    }
    if (chosen != font) {
        font = chosen;
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

}  // namespace purgix::win32
