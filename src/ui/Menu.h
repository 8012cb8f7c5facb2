#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Control.h"

namespace purgix::ui {

enum class Shortcut { None, F9, CtrlH };

// One menu item, or a menu when it has children. A caption of "-" makes a separator.
class MenuItem {
public:
    MenuItem(const char* name, const char* caption, Shortcut shortcut = Shortcut::None);
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string_view text);
    bool IsSeparator() const { return caption_ == "-"; }
    Shortcut GetShortcut() const { return shortcut_; }
    bool Checked() const { return checked_; }
    void SetChecked(bool on);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    bool Visible() const { return visible_; }
    void SetVisible(bool on);

    MenuItem& Add(const char* name, const char* caption, Shortcut shortcut = Shortcut::None);
    const std::vector<std::unique_ptr<MenuItem>>& Items() const { return items_; }
    MenuItem* Parent() const { return parent_; }

    void Attach(Peer* p) { peer_ = p; }
    Peer* GetPeer() const { return peer_; }

    Event Click;

private:
    void Notify(Change what) {
        if (peer_ != nullptr) peer_->Sync(what);
    }
    std::string name_;
    std::string caption_;
    Shortcut shortcut_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    MenuItem* parent_ = nullptr;
    Peer* peer_ = nullptr;
    std::vector<std::unique_ptr<MenuItem>> items_;
};

}  // namespace purgix::ui
