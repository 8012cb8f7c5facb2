#include "ui/Menu.h"

namespace purgix::ui {

void MenuItem::SetCaption(std::string_view text) {
    if (text == caption_) return;
    caption_.assign(text);
    Notify(Change::Caption);
}

void MenuItem::SetChecked(bool on) {
    if (on == checked_) return;
    checked_ = on;
    Notify(Change::Value);
}

void MenuItem::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    Notify(Change::Enabled);
}

void MenuItem::SetVisible(bool on) {
    if (on == visible_) return;
    visible_ = on;
    Notify(Change::Visible);
}

MenuItem::MenuItem(const char* name, const char* caption, Shortcut shortcut) : name_(name), caption_(caption), shortcut_(shortcut) {
    caption_.reserve(32);  // the status line is rewritten twice a second
}

MenuItem& MenuItem::Add(const char* name, const char* caption, Shortcut shortcut) {
    items_.push_back(std::make_unique<MenuItem>(name, caption, shortcut));
    items_.back()->parent_ = this;
    Notify(Change::Bounds);  // the menu's shape changed
    return *items_.back();
}

}  // namespace purgix::ui
