#pragma once
#include <vector>

#include "ui/Control.h"
#include "ui/Picture.h"

namespace purgix::ui {

// A raster that keeps what was drawn on it until it is cleared. Pixels hold
// design colours (system colours included); the peer resolves them on paint.
// Drawing is given in design pixels; the raster has as many pixels as the
// screen shows for them (`scale` a design pixel each), so that a scaled
// display draws sharp lines rather than stretched ones.
class Surface {
public:
    void Resize(int designWidth, int designHeight, Color fill);
    // A new density: what was drawn is kept, resampled to the nearest pixel.
    void Rescale(double scale);
    double Scale() const { return scale_; }
    // The raster's size and pixels.
    int Width() const { return width_; }
    int Height() const { return height_; }
    Color At(int x, int y) const { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }
    void Fill(Color c);
    // Fills the raster pixels whose centres lie in [x0, x1) x [y0, y1) (in
    // design pixels); the corners may be given in any order, are real numbers,
    // and are clipped. Returns the smallest raster rectangle holding the pixels
    // that changed (empty when none did).
    Rect FillSpan(double x0, double y0, double x1, double y1, Color c);

private:
    int designWidth_ = 0, designHeight_ = 0;
    double scale_ = 1.0;
    int width_ = 0;
    int height_ = 0;
    std::vector<Color> pixels_;
};

class PictureBox : public Container {
public:
    PictureBox(const char* name, Rect r, Color back);
    Color BackColor() const { return backColor_; }
    void SetBackColor(Color c);
    const PicturePtr& Picture() const { return picture_; }
    // Raises Change once the new picture is in place.
    void SetPicture(PicturePtr p);
    Event Change;

    // Drawing, in pixels from the top-left corner.
    const Surface& Drawing() const { return surface_; }
    // How many screen pixels a design pixel of the drawing takes (the peer's to say).
    void SetRasterScale(double scale);
    void Cls();
    // A one-pixel-wide vertical line from (x, y0) to (x, y1), end point excluded.
    void VerticalLine(double x, double y0, double y1, Color c);
    // A filled box with the corners (x0, y0) and (x1, y1).
    void FilledBox(double x0, double y0, double x1, double y1, Color c);

private:
    Color backColor_;
    PicturePtr picture_;
    Surface surface_;
};

}  // namespace purgix::ui
