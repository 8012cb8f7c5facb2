// The per-monitor DPI calls, found at run time.
#include "platform/win32/Dpi.h"

namespace purgix::win32 {

namespace {

template <class Function>
Function User32(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

UINT ScreenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

}  // namespace

UINT DpiOfWindow(HWND window) {
    static const auto get = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    const UINT dpi = get != nullptr ? get(window) : 0;
    return dpi != 0 ? dpi : DpiOfSystem();
}

UINT DpiOfSystem() {
    static const auto get = User32<UINT(WINAPI*)()>("GetDpiForSystem");
    const UINT dpi = get != nullptr ? get() : 0;
    return dpi != 0 ? dpi : ScreenDpi();
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, UINT dpi) {
    static const auto adjust = User32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (adjust == nullptr || !adjust(&rect, style, menu, exStyle, dpi)) AdjustWindowRectEx(&rect, style, menu, exStyle);
}

int SystemMetricForDpi(int index, UINT dpi) {
    static const auto get = User32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    return get != nullptr ? get(index, dpi) : MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(DpiOfSystem()));
}

}  // namespace purgix::win32
