#pragma once
// Windows Imaging Component for the picture loader and the resampler: COM for
// as long as a use lasts, owned interfaces, and the few GUIDs needed.
#include <wincodec.h>

#include "platform/win32/Gdi.h"

namespace purgix::win32 {

// COM on this thread for as long as the object lives. A thread already in the
// multithreaded apartment keeps it: WIC works there too.
class ComApartment {
public:
    ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    explicit operator bool() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT hr_;
};

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_ != nullptr) p_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T** operator&() { return &p_; }
    T* operator->() const { return p_; }
    T* Get() const { return p_; }

private:
    T* p_ = nullptr;
};

// WIC's GUIDs, spelt out here: libuuid's definitions come in one object with
// hundreds of others.
inline constexpr GUID kImagingFactory = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
inline constexpr GUID kPixelFormat32bppPBGRA = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x10}};

inline HRESULT CreateImagingFactory(IWICImagingFactory** factory) {
    return CoCreateInstance(kImagingFactory, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWICImagingFactory), reinterpret_cast<void**>(factory));
}

// A top-down 32-bit premultiplied DIB section of the size, its bits in `bits`; nullptr when none can be had.
HBITMAP CreatePremultipliedBitmap(int width, int height, void** bits);

// The bitmap resampled to width x height with WIC's Fant filter (a box average
// that keeps thin lines and small lettering legible), or each pixel copied
// whole (`nearest`); nullptr when it cannot.
HBITMAP Resample(HBITMAP source, int width, int height, bool nearest = false);

}  // namespace purgix::win32
