#include "ui/PictureBox.h"

#include <algorithm>
#include <cmath>

namespace purgix::ui {

namespace {
int Scaled(int design, double scale) { return std::max(static_cast<int>(std::lround(design * scale)), 0); }
}  // namespace

void Surface::Resize(int designWidth, int designHeight, Color fill) {
    designWidth_ = designWidth;
    designHeight_ = designHeight;
    width_ = Scaled(designWidth, scale_);
    height_ = Scaled(designHeight, scale_);
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill);
}

void Surface::Rescale(double scale) {
    if (scale == scale_ || !(scale > 0)) return;
    const Surface old = *this;
    scale_ = scale;
    Resize(designWidth_, designHeight_, 0);
    if (old.width_ == 0 || old.height_ == 0) return;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            pixels_[static_cast<std::size_t>(y * width_ + x)] =
                old.At(std::min(x * old.width_ / std::max(width_, 1), old.width_ - 1), std::min(y * old.height_ / std::max(height_, 1), old.height_ - 1));
}

void Surface::Fill(Color c) { std::fill(pixels_.begin(), pixels_.end(), c); }

namespace {
// A pixel is covered when its centre lies inside the span: round half up.
int Edge(double v, int limit) {
    if (!(v > 0)) return 0;  // also catches NaN
    if (v >= limit) return limit;
    return static_cast<int>(std::floor(v + 0.5));
}
}  // namespace

Rect Surface::FillSpan(double x0, double y0, double x1, double y1, Color c) {
    const int left = Edge(std::min(x0, x1) * scale_, width_);
    const int right = Edge(std::max(x0, x1) * scale_, width_);
    const int top = Edge(std::min(y0, y1) * scale_, height_);
    const int bottom = Edge(std::max(y0, y1) * scale_, height_);
    // Only the pixels that change count: redrawing what is there repaints nothing.
    int changedTop = bottom, changedBottom = top, changedLeft = right, changedRight = left;
    for (int y = top; y < bottom; ++y) {
        auto row = pixels_.begin() + y * width_;
        for (int x = left; x < right; ++x) {
            if (row[x] == c) continue;
            row[x] = c;
            changedTop = std::min(changedTop, y);
            changedBottom = y + 1;
            changedLeft = std::min(changedLeft, x);
            changedRight = std::max(changedRight, x + 1);
        }
    }
    if (changedTop >= changedBottom) return {};
    return {changedLeft, changedTop, changedRight - changedLeft, changedBottom - changedTop};
}

PictureBox::PictureBox(const char* name, Rect r, Color back) : Container(name, Kind::PictureBox, r), backColor_(back) {
    surface_.Resize(r.width, r.height, back);
}

void PictureBox::SetBackColor(Color c) {
    // Like a fresh background: a new colour clears what was drawn.
    backColor_ = c;
    surface_.Fill(c);
    Notify(Change::Colors);
}

void PictureBox::SetPicture(PicturePtr p) {
    picture_ = std::move(p);
    Notify(Change::Picture);
    if (Change) Change();
}

void PictureBox::SetRasterScale(double scale) {
    if (scale == surface_.Scale()) return;
    surface_.Rescale(scale);
    Notify(Change::Drawing);
}

void PictureBox::Cls() {
    // A box whose size changed starts a raster of the new size.
    surface_.Resize(Bounds().width, Bounds().height, backColor_);
    if (Peer* p = GetPeer()) p->Drawn({0, 0, surface_.Width(), surface_.Height()});
}

void PictureBox::VerticalLine(double x, double y0, double y1, Color c) {
    const Rect r = surface_.FillSpan(x, y0, x + 1, y1, c);
    if (Peer* p = GetPeer(); p != nullptr && r.width > 0 && r.height > 0) p->Drawn(r);
}

void PictureBox::FilledBox(double x0, double y0, double x1, double y1, Color c) {
    const Rect r = surface_.FillSpan(x0, y0, x1, y1, c);
    if (Peer* p = GetPeer(); p != nullptr && r.width > 0 && r.height > 0) p->Drawn(r);
}

}  // namespace purgix::ui
