#pragma once
// A form's menus: the bar, the hidden menus kept apart as pop-ups, the item
// peers, the command ids and the keyboard shortcuts.
#include <windows.h>

#include <memory>
#include <map>
#include <utility>
#include <vector>

#include "ui/Form.h"

namespace purgix::win32 {

class MenuBar {
public:
    // The window is the form's, read when the menus are built (it is made after this).
    MenuBar(ui::Form& form, const HWND& window) : form_(form), window_(window) {}
    ~MenuBar();
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    // Builds the bar, the hidden pop-up menus and the shortcut table from the model, anew.
    void Build();
    void Update(const ui::MenuItem& item);
    // Runs the item of a menu command; false when the id is no item's.
    bool Command(UINT id);
    HMENU SubMenu(const ui::MenuItem& item) const;
    bool Shortcut(MSG& msg) const;
    void Popup(const ui::MenuItem& menu);
    void Detach();

private:
    void Destroy();
    void BuildMenu(ui::MenuItem& parent, HMENU into);

    ui::Form& form_;
    const HWND& window_;
    HMENU bar_ = nullptr;
    HACCEL accel_ = nullptr;
    std::vector<HMENU> hiddenPopups_;
    std::map<const ui::MenuItem*, HMENU> subMenus_;
    std::map<const ui::MenuItem*, std::pair<HMENU, UINT>> places_;  // owner menu, command id
    std::vector<ui::MenuItem*> commands_;
    std::vector<std::unique_ptr<ui::Peer>> peers_;
    std::map<ui::MenuItem*, ui::Peer*> peerOf_;
};

}  // namespace purgix::win32
