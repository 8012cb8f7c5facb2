#include "platform/win32/Win32Picture.h"

#include "platform/win32/Gdi.h"

namespace purgix::win32 {

Win32Picture::~Win32Picture() {
    switch (type_) {
        case Type::Bitmap: DeleteObject(handle_); break;
        case Type::Icon: DestroyIcon(static_cast<HICON>(handle_)); break;
        case Type::Cursor: DestroyCursor(static_cast<HCURSOR>(handle_)); break;
    }
    if (small_ != nullptr) DestroyIcon(small_);
}

void Win32Picture::Draw(HDC hdc, int x, int y) const {
    if (type_ != Type::Bitmap) {
        DrawIconEx(hdc, x, y, Icon(), width_, height_, 0, nullptr, DI_NORMAL);
        return;
    }
    gdi::CompatibleDC mem(hdc);
    gdi::ScopedSelectObject select(mem.Get(), handle_);
    BITMAP bm{};
    GetObjectW(handle_, sizeof bm, &bm);
    if (bm.bmBitsPixel == 32) {
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(hdc, x, y, width_, height_, mem.Get(), 0, 0, width_, height_, blend);
    } else {
        BitBlt(hdc, x, y, width_, height_, mem.Get(), 0, 0, SRCCOPY);
    }
}

}  // namespace purgix::win32
