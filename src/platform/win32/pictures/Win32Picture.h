#pragma once
// One loaded picture: a GDI bitmap the picture owns, or an icon or cursor
// resource loaded at each size a display asks for.
#include <windows.h>

#include <map>

#include "platform/Types.h"
#include "platform/win32/Gdi.h"

namespace purgix::win32 {

class Win32Picture : public platform::Picture {
public:
    enum class Type { Bitmap, Icon, Cursor };
    // A bitmap of width x height, and optionally the same picture at twice the size, the source on scaled displays.
    Win32Picture(HBITMAP bitmap, int width, int height, HBITMAP twice = nullptr);
    // An icon or cursor resource whose design size is width x height.
    Win32Picture(Type type, HINSTANCE instance, int resource, int width, int height);
    ~Win32Picture() override;
    Win32Picture(const Win32Picture&) = delete;
    Win32Picture& operator=(const Win32Picture&) = delete;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    Type GetType() const { return type_; }
    HBITMAP Bitmap() const { return bitmap_.Get(); }
    bool HasTwiceSize() const { return twice_.Get() != nullptr; }
    // An icon or cursor at size x size pixels, loaded the first time it is asked for.
    HICON IconAt(int size) const;
    // At the design size.
    HICON Icon() const { return IconAt(width_); }

    // Draws the picture at (x, y), `scale` times its own size. Bitmaps are
    // resampled once per size (from the twice-size picture when there is one)
    // and blend when they have an alpha channel; icons are loaded at the size.
    void Draw(HDC hdc, int x, int y, double scale = 1.0) const;
    // The bitmap as Draw shows it at that scale (the picture's own at 100 %).
    HBITMAP BitmapAt(double scale) const;

private:
    Type type_;
    gdi::Bitmap bitmap_, twice_;
    HINSTANCE instance_ = nullptr;
    int resource_ = 0;
    int width_, height_;
    mutable std::map<int, HICON> icons_;
    mutable gdi::Bitmap scaled_;
    mutable int scaledWidth_ = 0, scaledHeight_ = 0;
};

inline const Win32Picture* Native(const platform::Picture* p) { return static_cast<const Win32Picture*>(p); }

}  // namespace purgix::win32
