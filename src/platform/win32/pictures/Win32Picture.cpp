// Pictures as GDI draws them, at the size each display density asks for.
#include "platform/win32/pictures/Win32Picture.h"

#include <cmath>

#include "platform/win32/pictures/Wic.h"

namespace purgix::win32 {

Win32Picture::Win32Picture(HBITMAP bitmap, int width, int height, HBITMAP twice)
    : type_(Type::Bitmap), bitmap_(bitmap), twice_(twice), width_(width), height_(height) {}

Win32Picture::Win32Picture(Type type, HINSTANCE instance, int resource, int width, int height)
    : type_(type), instance_(instance), resource_(resource), width_(width), height_(height) {}

Win32Picture::~Win32Picture() {
    for (const auto& [size, icon] : icons_) {
        if (type_ == Type::Cursor)
            DestroyCursor(icon);
        else
            DestroyIcon(icon);
    }
}

HICON Win32Picture::IconAt(int size) const {
    if (type_ == Type::Bitmap) return nullptr;
    auto it = icons_.find(size);
    if (it == icons_.end()) {
        // The resource's own image of that size, or Windows's scaling of the nearest one.
        const auto loaded = static_cast<HICON>(
            LoadImageW(instance_, MAKEINTRESOURCEW(resource_), type_ == Type::Cursor ? IMAGE_CURSOR : IMAGE_ICON, size, size, 0));
        if (loaded == nullptr) return nullptr;
        it = icons_.emplace(size, loaded).first;
    }
    return it->second;
}

HBITMAP Win32Picture::BitmapAt(double scale) const {
    if (type_ != Type::Bitmap) return nullptr;
    const int w = static_cast<int>(std::lround(width_ * scale));
    const int h = static_cast<int>(std::lround(height_ * scale));
    if (w == width_ && h == height_) return bitmap_.Get();
    if (w == 2 * width_ && h == 2 * height_ && twice_.Get() != nullptr) return twice_.Get();
    if (w != scaledWidth_ || h != scaledHeight_ || scaled_.Get() == nullptr) {
        // Once per size, never at paint time again: a high-quality filter costs more than a blit.
        scaled_ = gdi::Bitmap(Resample(twice_.Get() != nullptr && scale > 1.0 ? twice_.Get() : bitmap_.Get(), w, h));
        scaledWidth_ = w;
        scaledHeight_ = h;
    }
    return scaled_.Get() != nullptr ? scaled_.Get() : bitmap_.Get();
}

void Win32Picture::Draw(HDC hdc, int x, int y, double scale) const {
    const int w = static_cast<int>(std::lround(width_ * scale));
    const int h = static_cast<int>(std::lround(height_ * scale));
    if (type_ != Type::Bitmap) {
        DrawIconEx(hdc, x, y, IconAt(w), w, h, 0, nullptr, DI_NORMAL);
        return;
    }
    const HBITMAP source = BitmapAt(scale);
    BITMAP bm{};
    GetObjectW(source, sizeof bm, &bm);
    gdi::CompatibleDC mem(hdc);
    gdi::ScopedSelectObject select(mem.Get(), source);
    // A resampling that failed leaves the picture's own size: stretched, but there.
    if (bm.bmBitsPixel == 32) {
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(hdc, x, y, w, h, mem.Get(), 0, 0, bm.bmWidth, bm.bmHeight, blend);
    } else {
        StretchBlt(hdc, x, y, w, h, mem.Get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    }
}

}  // namespace purgix::win32
