#pragma once
#include <cstdint>

namespace purgix::ui {

// A colour as the window design stores it: 0x00BBGGRR for a plain colour, or
// 0x800000nn for Windows system colour nn. Signed, because skin files carry it
// through a signed text-to-integer conversion.
using Color = std::int32_t;

inline constexpr Color SystemColor(int index) {
    return static_cast<Color>(0x80000000u | static_cast<std::uint32_t>(index & 0xFF));
}
inline constexpr bool IsSystemColor(Color c) {
    return (static_cast<std::uint32_t>(c) & 0xFF000000u) == 0x80000000u;
}
inline constexpr Color Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }

inline constexpr Color kWindowBackground = SystemColor(5);
inline constexpr Color kWindowText = SystemColor(8);
inline constexpr Color kAppWorkspace = SystemColor(12);
inline constexpr Color kHighlightText = SystemColor(14);
inline constexpr Color kButtonFace = SystemColor(15);
inline constexpr Color kButtonText = SystemColor(18);
inline constexpr Color kWhite = Rgb(255, 255, 255);
inline constexpr Color kBlack = 0;

}  // namespace purgix::ui
