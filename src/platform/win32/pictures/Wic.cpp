// Resampling bitmaps with WIC, for displays above or below 96 dpi.
#include "platform/win32/pictures/Wic.h"

namespace purgix::win32 {

HBITMAP CreatePremultipliedBitmap(int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, row order as WIC writes it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

HBITMAP Resample(HBITMAP source, int width, int height, bool nearest) {
    if (source == nullptr || width <= 0 || height <= 0) return nullptr;
    const ComApartment apartment;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmap> from;
    ComPtr<IWICBitmapScaler> scaler;
    ComPtr<IWICFormatConverter> converter;
    if (!apartment || FAILED(CreateImagingFactory(&factory)) ||
        FAILED(factory->CreateBitmapFromHBITMAP(source, nullptr, WICBitmapUsePremultipliedAlpha, &from)) ||
        FAILED(factory->CreateBitmapScaler(&scaler)) ||
        FAILED(scaler->Initialize(from.Get(), static_cast<UINT>(width), static_cast<UINT>(height), nearest ? WICBitmapInterpolationModeNearestNeighbor : WICBitmapInterpolationModeFant)) ||
        FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(scaler.Get(), kPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return nullptr;
    void* bits = nullptr;
    gdi::Bitmap bitmap(CreatePremultipliedBitmap(width, height, &bits));
    const UINT stride = static_cast<UINT>(width) * 4;
    if (bitmap.Get() == nullptr || FAILED(converter->CopyPixels(nullptr, stride, stride * static_cast<UINT>(height), static_cast<BYTE*>(bits))))
        return nullptr;
    return bitmap.Release();
}

}  // namespace purgix::win32
