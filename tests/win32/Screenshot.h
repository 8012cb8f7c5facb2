#pragma once
// Reading what the screen shows of a window, under colours chosen by the test.
#include <windows.h>

#include "platform/win32/Gdi.h"
#include "ui/Control.h"

namespace purgix::testing {

inline HWND Hwnd(const ui::Control& c) { return reinterpret_cast<HWND>(c.Handle()); }

// The right-most column of the area holding a pixel other than the ground, counted from the area's left; -1 for none.
inline int LastInk(HDC dc, const RECT& area, COLORREF ground) {
    for (int x = area.right - 1; x >= area.left; --x)
        for (int y = area.top; y < area.bottom; ++y)
            if (GetPixel(dc, x, y) != ground) return x - area.left;
    return -1;
}

// Where a text drawn from the left edge in the font ends.
inline int LastInkOf(const wchar_t* text, HFONT font) {
    win32::gdi::WindowDC screen(nullptr);
    win32::gdi::MemoryDC picture(screen.Get(), 400, 40);
    PatBlt(picture.Get(), 0, 0, 400, 40, BLACKNESS);
    win32::gdi::ScopedSelectObject select(picture.Get(), font);
    SetTextColor(picture.Get(), RGB(255, 255, 255));
    SetBkMode(picture.Get(), TRANSPARENT);
    TextOutW(picture.Get(), 0, 0, text, lstrlenW(text));
    return LastInk(picture.Get(), {0, 0, 400, 40}, RGB(0, 0, 0));
}

// A shown window's client area as the screen has it, child windows included,
// once every pending repaint is done.
class Screenshot {
public:
    explicit Screenshot(HWND h) : size_(Painted(h)), window_(h), picture_(window_.Get(), size_.right, size_.bottom) {
        BitBlt(picture_.Get(), 0, 0, size_.right, size_.bottom, window_.Get(), 0, 0, SRCCOPY);
    }
    COLORREF At(int x, int y) const { return GetPixel(picture_.Get(), x, y); }
    int LastInk(const RECT& area, COLORREF ground) const { return testing::LastInk(picture_.Get(), area, ground); }

private:
    static RECT Painted(HWND h) {
        RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        RECT r{};
        GetClientRect(h, &r);
        return r;
    }
    RECT size_;
    win32::gdi::WindowDC window_;
    win32::gdi::MemoryDC picture_;
};

// Each system colour of the design its own value while it lives, so that a
// control on the wrong one shows (by default several of them are white).
class DistinctSystemColors {
public:
    static constexpr COLORREF kWindow = RGB(250, 240, 200);
    static constexpr COLORREF kWindowText = RGB(0, 0, 128);
    static constexpr COLORREF kAppWorkspace = RGB(100, 120, 140);
    static constexpr COLORREF kHighlightText = RGB(200, 255, 200);
    static constexpr COLORREF kButtonFace = RGB(210, 200, 230);
    static constexpr COLORREF kButtonText = RGB(90, 0, 0);

    DistinctSystemColors() {
        for (int i = 0; i < kCount; ++i) saved_[i] = GetSysColor(kIndex[i]);
        SetSysColors(kCount, kIndex, kColor);
    }
    ~DistinctSystemColors() { SetSysColors(kCount, kIndex, saved_); }
    DistinctSystemColors(const DistinctSystemColors&) = delete;
    DistinctSystemColors& operator=(const DistinctSystemColors&) = delete;

private:
    static constexpr int kCount = 6;
    static constexpr INT kIndex[kCount] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_APPWORKSPACE, COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE, COLOR_BTNTEXT};
    static constexpr COLORREF kColor[kCount] = {kWindow, kWindowText, kAppWorkspace, kHighlightText, kButtonFace, kButtonText};
    COLORREF saved_[kCount] = {};
};

}  // namespace purgix::testing
