#pragma once
// Display density: the window design is in pixels at 96 dpi, laid out at each
// window's own DPI, edges rounded rather than sizes so that neighbours stay
// neighbours at every scale.
#include <windows.h>

#include <algorithm>

#include "ui/Control.h"

namespace purgix::win32 {

inline constexpr int kDesignDpi = 96;

struct Scale {
    int dpi = kDesignDpi;
    int Px(int design) const { return MulDiv(design, dpi, kDesignDpi); }
    RECT Rect(const ui::Rect& r) const { return {Px(r.left), Px(r.top), Px(r.left + r.width), Px(r.top + r.height)}; }
    // A device pixel's position in design pixels.
    double Design(int px) const { return static_cast<double>(px) * kDesignDpi / dpi; }
    double Factor() const { return static_cast<double>(dpi) / kDesignDpi; }
    // One design pixel of a line: round(DPI / 96) device pixels, at least one.
    int Pen() const { return std::max(1, Px(1)); }
    bool IsDesign() const { return dpi == kDesignDpi; }
};

// The per-monitor calls of Windows 10, looked up when first needed: Windows
// before them (and Wine before them) gets the screen's one density instead.
UINT DpiOfWindow(HWND window);
UINT DpiOfSystem();
void AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, UINT dpi);
int SystemMetricForDpi(int index, UINT dpi);

}  // namespace purgix::win32
