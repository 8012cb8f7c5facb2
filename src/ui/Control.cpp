#include "ui/Control.h"

#include <algorithm>

namespace purgix::ui {

void Control::SetBounds(const Rect& r) {
    if (r == bounds_) return;
    bounds_ = r;
    Notify(Change::Bounds);
}

void Control::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    Notify(Change::Enabled);
}

void Control::SetVisible(bool on) {
    if (on == visible_) return;
    visible_ = on;
    Notify(Change::Visible);
}

void Control::ZOrder() {
    if (parent_ != nullptr)
        parent_->BringToFront(*this);
    else
        Notify(Change::ZOrder);
}

void Container::Add(Control& child) {
    child.parent_ = this;
    children_.push_back(&child);
}

void Container::BringToFront(Control& child) {
    auto it = std::find(children_.begin(), children_.end(), &child);
    if (it == children_.end()) return;
    std::rotate(children_.begin(), it, it + 1);
    child.Notify(Change::ZOrder);
}

Control* Container::ChildAt(int x, int y, const std::function<bool(const Control&)>& accept) const {
    for (Control* c : children_) {
        const Rect& r = c->Bounds();
        if (c->Visible() && x >= r.left && y >= r.top && x < r.left + r.width && y < r.top + r.height && accept(*c))
            return c;
    }
    return nullptr;
}

}  // namespace purgix::ui
