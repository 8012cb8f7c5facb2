#pragma once
#include <windows.h>

#include "ui/Picture.h"

namespace purgix::win32 {

// Owns one GDI bitmap, icon or cursor.
class Win32Picture : public ui::Picture {
public:
    enum class Type { Bitmap, Icon, Cursor };
    Win32Picture(Type type, HANDLE handle, int width, int height, HICON smallIcon = nullptr)
        : type_(type), handle_(handle), small_(smallIcon), width_(width), height_(height) {}
    ~Win32Picture() override;
    Win32Picture(const Win32Picture&) = delete;
    Win32Picture& operator=(const Win32Picture&) = delete;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    Type GetType() const { return type_; }
    HBITMAP Bitmap() const { return type_ == Type::Bitmap ? static_cast<HBITMAP>(handle_) : nullptr; }
    HICON Icon() const { return type_ != Type::Bitmap ? static_cast<HICON>(handle_) : nullptr; }
    HICON SmallIcon() const { return small_ != nullptr ? small_ : Icon(); }

    // Draws the picture at its own size; bitmaps with an alpha channel blend.
    void Draw(HDC hdc, int x, int y) const;

private:
    Type type_;
    HANDLE handle_;
    HICON small_;
    int width_, height_;
};

inline const Win32Picture* Native(const ui::Picture* p) { return static_cast<const Win32Picture*>(p); }

}  // namespace purgix::win32
