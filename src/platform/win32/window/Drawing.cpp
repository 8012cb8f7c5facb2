// High contrast as the system has it, and the brushes and fonts of a window's density.
#include "platform/win32/window/Drawing.h"

#include <cmath>
#include <optional>

#include "platform/win32/Text.h"
#include "platform/win32/window/TestHooks.h"

namespace purgix::win32 {

namespace {
std::optional<bool> contrastOverride;
bool contrast = false;
}  // namespace

void RefreshHighContrast() {
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof hc;
    contrast = contrastOverride.value_or(SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
                                         (hc.dwFlags & HCF_HIGHCONTRASTON) != 0);
}

void OverrideHighContrast(std::optional<bool> on) {
    contrastOverride = on;
    RefreshHighContrast();
}

bool HighContrast() { return contrast; }

COLORREF Resolve(ui::Color c, Ink ink) {
    if (ui::IsSystemColor(c)) return GetSysColor(c & 0xFF);
    // High contrast: the user's own colours stand in for the skin's and the design's.
    if (contrast) return GetSysColor(ink == Ink::Ground ? COLOR_WINDOW : ink == Ink::Mark ? COLOR_HIGHLIGHT : COLOR_WINDOWTEXT);
    return static_cast<COLORREF>(c & 0xFFFFFF);
}

namespace {

HFONT MakeFont(int pixels, bool bold, const wchar_t* face, bool trueTypeOnly) {
    return CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       trueTypeOnly ? OUT_TT_ONLY_PRECIS : OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, face);
}

bool HasFace(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    const gdi::WindowDC screen(nullptr);
    EnumFontFamiliesExW(screen.Get(), &wanted, [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM seen) -> int {
        *reinterpret_cast<bool*>(seen) = true;
        return 0;
    }, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// MS Sans Serif is a bitmap face with 96-dpi sizes only (asked for more, the
// mapper hands back its largest bitmap, even when told to take TrueType
// only). Elsewhere its TrueType kin draws: Microsoft Sans Serif where
// Windows has it, else Tahoma, its successor in Windows dialogs.
const wchar_t* ScalableFace(const std::wstring& face, bool& trueTypeOnly) {
    static const bool microsoft = HasFace(L"Microsoft Sans Serif");
    trueTypeOnly = true;
    if (face != L"MS Sans Serif") return face.c_str();
    return microsoft ? L"Microsoft Sans Serif" : L"Tahoma";
}

}  // namespace

void Density::SetDpi(int dpi, const ui::Font& formFont) {
    scale_.dpi = dpi;
    formFont_ = Font(formFont);
}

HBRUSH Density::Brush(ui::Color c, Ink ink) {
    const COLORREF rgb = Resolve(c, ink);
    auto it = brushes_.find(rgb);
    if (it == brushes_.end()) it = brushes_.emplace(rgb, gdi::Brush(CreateSolidBrush(rgb))).first;
    return it->second.Get();
}

HFONT Density::Font(const ui::Font& f) {
    // Points at the window's DPI: 8.25 pt is 11 pixels at 96, 17 at 144.
    return FontAt(f.name, static_cast<int>(std::lround(f.points * scale_.dpi / 72)), f.bold);
}

HFONT Density::SmallerFont(const ui::Font& f, int step) {
    // MS Sans Serif is a bitmap face without these sizes: Tahoma is its scalable kin.
    // Rounded down: a text that fits at 96 dpi fits at every scale.
    return FontAt("Tahoma", (10 - step) * scale_.dpi / kDesignDpi, f.bold);
}

HFONT Density::FontAt(const std::string& name, int pixels, bool bold) {
    const auto key = std::make_tuple(name, pixels, bold);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) {
        const std::wstring face = Widen(name);
        bool trueTypeOnly = false;
        const wchar_t* use = scale_.IsDesign() ? face.c_str() : ScalableFace(face, trueTypeOnly);
        it = fonts_.emplace(key, gdi::Font(MakeFont(pixels, bold, use, trueTypeOnly))).first;
    }
    return it->second.Get();
}

}  // namespace purgix::win32
