// The pictures the program carries inside itself: icons, the hand cursor, the page indicators.
#include "Error.h"
#include "platform/win32/adapters/Adapters.h"
#include "platform/win32/pictures/Wic.h"
#include "platform/win32/pictures/Win32Picture.h"
#include "resource.h"

namespace purgix::win32 {

platform::PicturePtr ResourceAdapter::Resource(platform::ResourcePicture which) {
    using platform::ResourcePicture;
    // Icons and the cursor are loaded at each size a display asks for; checked here once at their design size.
    auto icon = [this](Win32Picture::Type type, int id, int size) -> platform::PicturePtr {
        auto picture = std::make_shared<Win32Picture>(type, instance_, id, size, size);
        if (picture->Icon() == nullptr) throw purgix::Error("missing icon resource");
        return picture;
    };
    // The indicators are pixel lettering: at twice the size each pixel becomes a square of
    // four, the same letters as sharp, and the source from which other scales are resampled.
    auto bitmap = [this](int id) -> platform::PicturePtr {
        const auto bmp = static_cast<HBITMAP>(LoadImageW(instance_, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (bmp == nullptr) throw purgix::Error("missing bitmap resource");
        BITMAP bm{};
        GetObjectW(bmp, sizeof bm, &bm);
        return std::make_shared<Win32Picture>(bmp, bm.bmWidth, bm.bmHeight, Resample(bmp, 2 * bm.bmWidth, 2 * bm.bmHeight, true));
    };
    switch (which) {
        case ResourcePicture::ProgramIcon: return icon(Win32Picture::Type::Icon, IDI_PROGRAM, 32);
        case ResourcePicture::TrayIcon: return icon(Win32Picture::Type::Icon, IDI_TRAY, 16);
        case ResourcePicture::HandCursor: return icon(Win32Picture::Type::Cursor, IDC_HAND_CURSOR, 32);
        case ResourcePicture::Indicator0: return bitmap(IDB_INDICATOR0);
        case ResourcePicture::Indicator1: return bitmap(IDB_INDICATOR1);
        case ResourcePicture::Indicator2: return bitmap(IDB_INDICATOR2);
    }
    throw purgix::Error("unknown resource");
}

}  // namespace purgix::win32
