#include "platform/win32/Gdi.h"

#include <algorithm>

namespace purgix::win32::gdi {

Scratch::~Scratch() {
    if (dc_ != nullptr) {
        SelectObject(dc_, original_);
        DeleteDC(dc_);
    }
}

HDC Scratch::Sized(int width, int height) {
    if (width <= width_ && height <= height_) return dc_;
    if (dc_ == nullptr && (dc_ = CreateCompatibleDC(nullptr)) == nullptr) return nullptr;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = std::max(width, width_);
    bi.bmiHeader.biHeight = -std::max(height, height_);
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Bitmap grown(CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (grown.Get() == nullptr) return nullptr;
    HGDIOBJ was = SelectObject(dc_, grown.Get());
    if (original_ == nullptr) original_ = was;
    bitmap_ = std::move(grown);  // the smaller one, now selected out, goes
    width_ = bi.bmiHeader.biWidth;
    height_ = -bi.bmiHeader.biHeight;
    return dc_;
}

MemoryDC::MemoryDC(Scratch& scratch, int width, int height) : dc_(scratch.Sized(width, height)), saved_(dc_ != nullptr ? SaveDC(dc_) : 0) {
    if (dc_ != nullptr) IntersectClipRect(dc_, 0, 0, width, height);
}

MemoryDC::~MemoryDC() {
    if (dc_ != nullptr) RestoreDC(dc_, saved_);
}

void MemoryDC::CopyTo(HDC target, const RECT& r) const {
    BitBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top, dc_, r.left, r.top, SRCCOPY);
}

}  // namespace purgix::win32::gdi
