#pragma once
// Scoped owners for GDI objects and device contexts: whatever leaves a painting
// function early, a return or an exception, still gives back what it took.
#include <windows.h>

#include <utility>

namespace purgix::win32::gdi {

// A pen, brush, bitmap or font that DeleteObject frees.
template <typename Handle>
class Object {
public:
    explicit Object(Handle h = nullptr) : h_(h) {}
    ~Object() {
        if (h_ != nullptr) DeleteObject(h_);
    }
    Object(Object&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    Object& operator=(Object&& other) noexcept {
        std::swap(h_, other.h_);
        return *this;
    }
    Handle Get() const { return h_; }
    // Hands the object on to another owner.
    Handle Release() { return std::exchange(h_, nullptr); }

private:
    Handle h_;
};

using Pen = Object<HPEN>;
using Brush = Object<HBRUSH>;
using Bitmap = Object<HBITMAP>;
using Font = Object<HFONT>;

class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~ScopedSelectObject() { SelectObject(dc_, old_); }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A window's DC from GetDC, released on leaving.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDC() { ReleaseDC(hwnd_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint on entry, EndPaint on leaving, so that the update region is always validated.
class PaintDC {
public:
    explicit PaintDC(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
    ~PaintDC() { EndPaint(hwnd_, &ps_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC Get() const { return dc_; }
    const RECT& Dirty() const { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// A memory DC like another, deleted on leaving.
class CompatibleDC {
public:
    explicit CompatibleDC(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~CompatibleDC() { DeleteDC(dc_); }
    CompatibleDC(const CompatibleDC&) = delete;
    CompatibleDC& operator=(const CompatibleDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// An off-screen picture the size of a window: draw into it, then copy it out in one go.
class MemoryDC {
public:
    MemoryDC(HDC like, int width, int height)
        : dc_(like), bitmap_(CreateCompatibleBitmap(like, width, height)), select_(dc_.Get(), bitmap_.Get()) {}
    HDC Get() const { return dc_.Get(); }
    void CopyTo(HDC target, const RECT& r) const {
        BitBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top, dc_.Get(), r.left, r.top, SRCCOPY);
    }

private:
    // In the order of taking: the bitmap is selected out before either goes.
    CompatibleDC dc_;
    Bitmap bitmap_;
    ScopedSelectObject select_;
};

// Moves the origin for drawing a container's picture into one of its children.
class ViewportOffset {
public:
    ViewportOffset(HDC dc, int dx, int dy) : dc_(dc) { OffsetViewportOrgEx(dc, dx, dy, &old_); }
    ~ViewportOffset() { SetViewportOrgEx(dc_, old_.x, old_.y, nullptr); }
    ViewportOffset(const ViewportOffset&) = delete;
    ViewportOffset& operator=(const ViewportOffset&) = delete;

private:
    HDC dc_;
    POINT old_{};
};

}  // namespace purgix::win32::gdi
