// The load icon's pixels: a 32-bit tile with its own pixel digits (crisp at 16
// pixels, where a font's hinting would blur them), turned into an icon.
#include "platform/win32/adapters/TrayLoadIcon.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "platform/win32/Gdi.h"

namespace purgix::win32 {

namespace {

// Digits on a 3 x 5 grid, a row in each three bits, the leftmost column the highest bit.
constexpr std::uint8_t kDigits[10][5] = {
    {7, 5, 5, 5, 7}, {6, 2, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

constexpr int kLargest = 64;

// Premultiplied, opaque: 0xAARRGGBB as the DIB stores it.
constexpr std::uint32_t Opaque(std::uint32_t rgb) { return 0xFF000000u | rgb; }
std::uint32_t FromSystem(int index) {
    const COLORREF c = GetSysColor(index);
    return Opaque(static_cast<std::uint32_t>(GetRValue(c)) << 16 | static_cast<std::uint32_t>(GetGValue(c)) << 8 | GetBValue(c));
}

struct Palette {
    std::uint32_t ground, digits, frame;
};

Palette PaletteFor(platform::LoadLevel level, bool highContrast) {
    using platform::LoadLevel;
    if (highContrast) {
        if (level == LoadLevel::Critical) return {FromSystem(COLOR_HIGHLIGHT), FromSystem(COLOR_HIGHLIGHTTEXT), FromSystem(COLOR_HIGHLIGHT)};
        return {FromSystem(COLOR_WINDOW), FromSystem(COLOR_WINDOWTEXT), FromSystem(COLOR_HIGHLIGHT)};
    }
    switch (level) {
        case LoadLevel::Normal: return {Opaque(0x202020), Opaque(0x8EE68E), Opaque(0x202020)};
        case LoadLevel::High: return {Opaque(0x202020), Opaque(0xFFC233), Opaque(0xFF8F00)};
        case LoadLevel::Critical: return {Opaque(0xD32F2F), Opaque(0xFFFFFF), Opaque(0xD32F2F)};
    }
    return {};
}

}  // namespace

bool SystemHighContrast() {
    HIGHCONTRASTW hc{sizeof hc, 0, nullptr};
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) != FALSE && (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

HICON DrawLoadIcon(int size, platform::TrayLoad load, bool highContrast) {
    size = std::clamp(size, 8, kLargest);
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};  // top-down rows
    void* bits = nullptr;
    gdi::Bitmap color(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (color.Get() == nullptr || bits == nullptr) return nullptr;
    auto* px = static_cast<std::uint32_t*>(bits);
    const auto put = [&](int x, int y, std::uint32_t c) {
        if (x >= 0 && y >= 0 && x < size && y < size) px[y * size + x] = c;
    };

    const Palette pal = PaletteFor(load.level, highContrast);
    std::fill(px, px + size * size, pal.ground);
    const int frame = std::max(1, size / 16);
    if (load.level == platform::LoadLevel::High)
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (x < frame || y < frame || x >= size - frame || y >= size - frame) put(x, y, pal.frame);

    int digits[3], n = 0;
    const int percent = std::clamp(load.percent, 0, 100);
    if (percent >= 100) digits[n++] = percent / 100;
    if (percent >= 10) digits[n++] = percent / 10 % 10;
    digits[n++] = percent % 10;
    // As large as fits inside the frame: a design pixel is size / 8 screen pixels tall, and narrower when three digits need it.
    const int tall = std::max(1, size / 8);
    const int room = size - 2 * frame;
    int wide = tall, gap = std::max(1, wide / 2);
    while (wide > 1 && n * 3 * wide + (n - 1) * gap > room) gap = std::max(1, --wide / 2);
    const int width = n * 3 * wide + (n - 1) * gap, height = 5 * tall;
    const int left = (size - width) / 2, top = (size - height + 1) / 2;
    for (int d = 0; d < n; ++d)
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (kDigits[digits[d]][row] & (4 >> col))
                    for (int y = 0; y < tall; ++y)
                        for (int x = 0; x < wide; ++x) put(left + d * (3 * wide + gap) + col * wide + x, top + row * tall + y, pal.digits);

    // Every pixel opaque: the AND mask all zeros, its rows padded to 16 bits.
    static const std::uint8_t kClear[kLargest * kLargest / 8] = {};
    gdi::Bitmap mask(CreateBitmap(size, size, 1, 1, kClear));
    ICONINFO info{TRUE, 0, 0, mask.Get(), color.Get()};
    return CreateIconIndirect(&info);  // copies both bitmaps, which go with this scope
}

HICON LoadIcon::For(int size, platform::TrayLoad load) {
    const bool contrast = SystemHighContrast();
    if (current_ != nullptr && size == size_ && load == load_ && contrast == contrast_) return current_;
    const HICON drawn = DrawLoadIcon(size, load, contrast);
    if (drawn == nullptr) return current_;
    if (previous_ != nullptr) DestroyIcon(previous_);
    previous_ = current_;
    current_ = drawn;
    size_ = size;
    load_ = load;
    contrast_ = contrast;
    return current_;
}

void LoadIcon::Handed() {
    if (previous_ != nullptr) DestroyIcon(std::exchange(previous_, nullptr));
}

void LoadIcon::Clear() {
    Handed();
    if (current_ != nullptr) DestroyIcon(std::exchange(current_, nullptr));
}

}  // namespace purgix::win32
