// The pictures the program carries inside itself: icons, the hand cursor, the page indicators.
#include "Error.h"
#include "platform/win32/Adapters.h"
#include "platform/win32/Win32Picture.h"
#include "resource.h"

namespace purgix::win32 {

platform::PicturePtr ResourceAdapter::Resource(platform::ResourcePicture which) {
    using platform::ResourcePicture;
    auto icon = [this](int id, int size, int smallSize) -> platform::PicturePtr {
        auto big = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
        auto small = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(id), IMAGE_ICON, smallSize, smallSize, 0));
        if (big == nullptr) throw purgix::Error("missing icon resource");
        return std::make_shared<Win32Picture>(Win32Picture::Type::Icon, big, size, size, small);
    };
    auto bitmap = [this](int id) -> platform::PicturePtr {
        auto bmp = static_cast<HBITMAP>(LoadImageW(instance_, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (bmp == nullptr) throw purgix::Error("missing bitmap resource");
        BITMAP bm{};
        GetObjectW(bmp, sizeof bm, &bm);
        return std::make_shared<Win32Picture>(Win32Picture::Type::Bitmap, bmp, bm.bmWidth, bm.bmHeight);
    };
    switch (which) {
        case ResourcePicture::ProgramIcon: return icon(IDI_PROGRAM, 32, 16);
        case ResourcePicture::TrayIcon: return icon(IDI_TRAY, 16, 16);
        case ResourcePicture::HandCursor: {
            auto cur = static_cast<HCURSOR>(LoadImageW(instance_, MAKEINTRESOURCEW(IDC_HAND_CURSOR), IMAGE_CURSOR, 32, 32, 0));
            if (cur == nullptr) throw purgix::Error("missing cursor resource");
            return std::make_shared<Win32Picture>(Win32Picture::Type::Cursor, cur, 32, 32);
        }
        case ResourcePicture::Indicator0: return bitmap(IDB_INDICATOR0);
        case ResourcePicture::Indicator1: return bitmap(IDB_INDICATOR1);
        case ResourcePicture::Indicator2: return bitmap(IDB_INDICATOR2);
    }
    throw purgix::Error("unknown resource");
}

}  // namespace purgix::win32
