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
    // They are kept at one bit a pixel (bottom-up rows, palette entry 1 the
    // ink) and drawn as 32-bit pictures: the ink opaque, the rest clear.
    auto bitmap = [this](int id) -> platform::PicturePtr {
        const HRSRC found = FindResourceW(instance_, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2));  // RT_BITMAP
        const HGLOBAL loaded = found != nullptr ? LoadResource(instance_, found) : nullptr;
        const auto* info = loaded != nullptr ? static_cast<const BITMAPINFO*>(LockResource(loaded)) : nullptr;
        if (info == nullptr || info->bmiHeader.biBitCount != 1) throw purgix::Error("missing bitmap resource");
        const int w = info->bmiHeader.biWidth, h = info->bmiHeader.biHeight;
        const RGBQUAD ink = info->bmiColors[1];
        const auto* rows = reinterpret_cast<const BYTE*>(info->bmiColors + 2);
        void* bits = nullptr;
        const HBITMAP bmp = CreatePremultipliedBitmap(w, h, &bits);
        if (bmp == nullptr) throw purgix::Error("no bitmap for a resource");
        auto* out = static_cast<DWORD*>(bits);
        for (int y = 0; y < h; ++y) {
            const BYTE* row = rows + (h - 1 - y) * ((w + 31) / 32 * 4);
            for (int x = 0; x < w; ++x)
                *out++ = (row[x / 8] >> (7 - x % 8) & 1) != 0 ? 0xFF000000u | RGB(ink.rgbBlue, ink.rgbGreen, ink.rgbRed) : 0;
        }
        return std::make_shared<Win32Picture>(bmp, w, h, Resample(bmp, 2 * w, 2 * h, true));
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
