#include "ui/Control.h"

#include <algorithm>

namespace purgix::ui {

Control::Control(const char* name, Kind kind, Rect bounds) : name_(name), kind_(kind), bounds_(bounds) {}

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

bool Control::Reachable() const {
    for (const Control* c = this; c != nullptr; c = c->parent_) {
        if (!c->Visible() && c->parent_ != nullptr) return false;  // a form shows its controls to the keyboard when it shows
        if (!c->Enabled()) return false;
        const Container* p = c->parent_;
        if (p == nullptr) break;
        const Rect& r = c->Bounds();
        const Control* front = p->ChildAt(r.left + r.width / 2, r.top + r.height / 2, [](const Control& o) { return o.GetKind() == Kind::PictureBox; });
        // A picture box in front of the control, over its middle, covers it (the pages over the options).
        if (front != nullptr && front != c) {
            const auto& kids = p->Children();
            if (std::find(kids.begin(), kids.end(), front) < std::find(kids.begin(), kids.end(), c)) return false;
        }
    }
    return true;
}

std::vector<Control*> Container::TabOrder() const {
    std::vector<Control*> order;
    std::function<void(const Container&)> collect = [&](const Container& container) {
        for (Control* c : container.Children()) {
            if (c->tabIndex >= 0 && c->Reachable()) order.push_back(c);
            if (c->GetKind() == Kind::PictureBox || c->GetKind() == Kind::Form) collect(static_cast<const Container&>(*c));
        }
    };
    collect(*this);
    std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });
    return order;
}

}  // namespace purgix::ui
