#include "ui/Controls.h"

#include <algorithm>
#include <cstdlib>

namespace purgix::ui {

void Label::SetCaption(std::string_view text) {
    if (text == caption_) return;
    caption_.assign(text);
    Notify(Change::Caption);
}

void CheckBox::SetValue(int v) {
    if (v < 0 || v > 2) throw InvalidValue("check box value out of range");
    if (v == value_) return;
    value_ = v;
    Notify(Change::Value);
}

void TextBox::SetText(std::string_view text) {
    if (text == text_) return;
    text_.assign(text);
    Notify(Change::Caption);
}

void VScrollBar::SetValue(int v) {
    if (v < std::min(min_, max_) || v > std::max(min_, max_)) throw InvalidValue("scroll bar value out of range");
    if (v == value_) return;
    value_ = v;
    Notify(Change::Value);
    if (Change) Change();
}

void VScrollBar::Arrow(bool up) {
    const int lo = std::min(min_, max_);
    const int hi = std::max(min_, max_);
    const int next = std::clamp(up ? value_ + step_ : value_ - step_, lo, hi);
    if (next != value_) SetValue(next);
}

Line::Line(std::string name, int ax1, int ay1, int ax2, int ay2)
    : Control(std::move(name), Kind::Line,
              {std::min(ax1, ax2), std::min(ay1, ay2), std::abs(ax2 - ax1) + 1, std::abs(ay2 - ay1) + 1}),
      x1(ax1), y1(ay1), x2(ax2), y2(ay2) {}

void Shape::SetBackColor(Color c) {
    if (c == backColor_) return;
    backColor_ = c;
    Notify(Change::Colors);
}

void Image::SetPicture(PicturePtr p) {
    picture_ = std::move(p);
    Notify(Change::Picture);
}

void Image::SetMouseIcon(PicturePtr icon, MousePointer pointer) {
    mouseIcon_ = std::move(icon);
    pointer_ = pointer;
    Notify(Change::Cursor);
}

void FileListBox::SetPath(const std::string& folder) {
    entries_ = lister_(folder, pattern_);
    path_ = folder;
    index_ = -1;
}

const std::string& FileListBox::List(int i) const {
    if (i < 0 || i >= ListCount()) throw InvalidValue("list index out of range");
    return entries_[static_cast<std::size_t>(i)];
}

void FileListBox::SetListIndex(int i) {
    if (i < -1 || i >= ListCount()) throw InvalidValue("list index out of range");
    index_ = i;
    if (Click) Click();
}

void ListBox::SetItems(std::vector<std::string> items) {
    if (items == items_) return;
    items_ = std::move(items);
    Notify(Change::Value);
}

void Timer::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    if (peer_ != nullptr) peer_->Sync(Change::Enabled);
}

}  // namespace purgix::ui
