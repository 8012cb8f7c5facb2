#pragma once
// Colours as the screen shows them now, and the window's density with the
// brushes and fonts made for it, kept until the window goes.
#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "platform/win32/Dpi.h"
#include "platform/win32/Gdi.h"
#include "ui/Color.h"
#include "ui/Controls.h"

namespace purgix::win32 {

// What a colour paints: a ground, text and lines, or a mark (the graph, the level, the heading band).
enum class Ink { Ground, Text, Mark };
// A design colour (plain, or a system colour by index) as the screen shows it
// now; in high contrast a plain one gives way to the user's colour for its ink.
COLORREF Resolve(ui::Color c, Ink ink = Ink::Text);
// Whether high contrast is on, as last seen (RefreshHighContrast reads the system's setting again).
bool HighContrast();
void RefreshHighContrast();

// The scale a window is laid out at, and what is made for it once.
class Density {
public:
    explicit Density(int dpi) { scale_.dpi = dpi; }
    Density(const Density&) = delete;
    Density& operator=(const Density&) = delete;

    const Scale& GetScale() const { return scale_; }
    // From now on at this DPI, the form's font made for it.
    void SetDpi(int dpi, const ui::Font& formFont);
    HFONT FormFont() const { return formFont_; }

    HBRUSH Brush(ui::Color c, Ink ink);
    // The design's font at the DPI: a bitmap face has no sizes beyond 96 dpi's,
    // so there its TrueType kin draws, as sharp at 200 % as at 100 %.
    HFONT Font(const ui::Font& f);
    // Ever smaller sizes (step 0 is the largest) for a text too wide for its label.
    static constexpr int kSmallerSizes = 4;
    HFONT SmallerFont(const ui::Font& f, int step);
    // The off-screen picture the window's paints draw into before they show.
    gdi::Scratch& Scratch() { return scratch_; }

private:
    HFONT FontAt(const std::string& name, int pixels, bool bold);
    Scale scale_;
    HFONT formFont_ = nullptr;
    std::map<COLORREF, gdi::Brush> brushes_;
    std::map<std::tuple<std::string, int, bool>, gdi::Font> fonts_;
    gdi::Scratch scratch_;
};

}  // namespace purgix::win32
