#include "ui/Controls.h"

#include <algorithm>
#include <cstdlib>

namespace purgix::ui {

Label::Label(const char* name, Rect r, const char* caption) : Control(name, Kind::Label, r), caption_(caption) {
    caption_.reserve(64);  // captions are short; keeps later updates off the heap
}

TextBox::TextBox(const char* name, Rect r, const char* text) : Control(name, Kind::TextBox, r), text_(text) {}

VScrollBar::VScrollBar(const char* name, Rect r, int min, int max, int value, int arrowStep)
    : Control(name, Kind::VScrollBar, r), min_(min), max_(max), value_(value), step_(arrowStep) {}

Image::Image(const char* name, Rect r) : Control(name, Kind::Image, r) {}

CommandButton::CommandButton(const char* name, Rect r, const char* text) : Control(name, Kind::CommandButton, r), caption(text) {}

FileListBox::FileListBox(const char* name, Rect r, const char* pattern, Lister lister)
    : Control(name, Kind::FileListBox, r), pattern_(pattern), lister_(std::move(lister)) {}

Timer::Timer(const char* name, unsigned intervalMs, bool enabled) : name_(name), interval_(intervalMs), enabled_(enabled) {}

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

Line::Line(const char* name, int ax1, int ay1, int ax2, int ay2)
    : Control(name, Kind::Line,
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
