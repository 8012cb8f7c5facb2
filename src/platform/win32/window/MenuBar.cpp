// A form's menus: the bar, the hidden menus kept apart as pop-ups, the item
// peers, the command ids and the keyboard shortcuts.
#include "platform/win32/window/MenuBar.h"

#include <cwchar>

#include "platform/win32/Text.h"

namespace purgix::win32 {

namespace {

constexpr UINT kFirstCommand = 1000;

void MenuText(const ui::MenuItem& item, wchar_t* buf, int capacity) {
    WidenInto(item.Caption(), buf, capacity - 16);
    const wchar_t* key = item.GetShortcut() == ui::Shortcut::F9      ? L"\tF9"
                         : item.GetShortcut() == ui::Shortcut::CtrlH ? L"\tCtrl+H"
                                                                     : L"";
    std::wcscat(buf, key);
}

UINT MenuState(const ui::MenuItem& item) {
    return (item.Checked() ? MFS_CHECKED : 0u) | (item.Enabled() ? 0u : MFS_DISABLED);
}

bool HasVisibleItems(const ui::MenuItem& menu) {
    for (const auto& item : menu.Items())
        if (item->Visible()) return true;
    return false;
}

struct MenuPeer : ui::Peer {
    MenuPeer(MenuBar& m, ui::MenuItem& i) : menus(m), item(i) {}
    void Sync(ui::Change what) override {
        if (what == ui::Change::Bounds || what == ui::Change::Visible)
            menus.Build();  // the menu's shape changed
        else
            menus.Update(item);
    }
    MenuBar& menus;
    ui::MenuItem& item;
};

}  // namespace

MenuBar::~MenuBar() {
    Destroy();
    Detach();
}

void MenuBar::Detach() {
    for (auto& [item, peer] : peerOf_)
        if (item->GetPeer() == peer) item->Attach(nullptr);
}

void MenuBar::Destroy() {
    if (window_ != nullptr && GetMenu(window_) == bar_) SetMenu(window_, nullptr);
    if (bar_ != nullptr) DestroyMenu(bar_);
    for (HMENU m : hiddenPopups_) DestroyMenu(m);
    if (accel_ != nullptr) DestroyAcceleratorTable(accel_);
    bar_ = nullptr;
    accel_ = nullptr;
    hiddenPopups_.clear();
    subMenus_.clear();
    places_.clear();
    commands_.clear();
}

void MenuBar::Build() {
    Destroy();
    ui::MenuItem& model = form_.Menu();
    bar_ = CreateMenu();
    BuildMenu(model, bar_);
    std::vector<ACCEL> keys;
    for (auto& [item, place] : places_) {
        if (item->GetShortcut() == ui::Shortcut::F9) keys.push_back({FVIRTKEY, VK_F9, static_cast<WORD>(place.second)});
        if (item->GetShortcut() == ui::Shortcut::CtrlH) keys.push_back({FVIRTKEY | FCONTROL, 'H', static_cast<WORD>(place.second)});
    }
    if (!keys.empty()) accel_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
    // A form without menus has no bar: an empty one would still take a line.
    SetMenu(window_, HasVisibleItems(model) ? bar_ : nullptr);
    DrawMenuBar(window_);
}

void MenuBar::BuildMenu(ui::MenuItem& parent, HMENU into) {
    for (const auto& owned : parent.Items()) {
        ui::MenuItem& item = *owned;
        if (peerOf_.count(&item) == 0) {
            auto peer = std::make_unique<MenuPeer>(*this, item);
            item.Attach(peer.get());
            peerOf_[&item] = peer.get();
            peers_.push_back(std::move(peer));
        }
        if (!item.Visible()) {
            // A hidden menu of the bar is kept apart, ready to open as a pop-up.
            if (&parent == &form_.Menu() && !item.Items().empty()) {
                HMENU popup = CreatePopupMenu();
                BuildMenu(item, popup);
                subMenus_[&item] = popup;
                hiddenPopups_.push_back(popup);
            }
            continue;
        }
        const UINT id = kFirstCommand + static_cast<UINT>(commands_.size());
        commands_.push_back(&item);
        places_[&item] = {into, id};
        wchar_t text[160];
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.wID = id;
        if (item.IsSeparator()) {
            mii.fMask = MIIM_FTYPE | MIIM_ID;
            mii.fType = MFT_SEPARATOR;
        } else {
            MenuText(item, text, 160);
            mii.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE;
            mii.dwTypeData = text;
            mii.fState = MenuState(item);
            if (!item.Items().empty()) {
                HMENU sub = CreatePopupMenu();
                BuildMenu(item, sub);
                subMenus_[&item] = sub;
                mii.fMask |= MIIM_SUBMENU;
                mii.hSubMenu = sub;
            }
        }
        InsertMenuItemW(into, static_cast<UINT>(GetMenuItemCount(into)), TRUE, &mii);
    }
}

void MenuBar::Update(const ui::MenuItem& item) {
    auto it = places_.find(&item);
    if (it == places_.end() || item.IsSeparator()) return;
    wchar_t text[160];  // on the stack: the status item is rewritten twice a second
    MenuText(item, text, 160);
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING | MIIM_STATE;
    mii.dwTypeData = text;
    mii.fState = MenuState(item);
    MENUITEMINFOW was{};
    was.cbSize = sizeof was;
    was.fMask = MIIM_STATE;
    const bool known = GetMenuItemInfoW(it->second.first, it->second.second, FALSE, &was) != FALSE;
    SetMenuItemInfoW(it->second.first, it->second.second, FALSE, &mii);
    if (it->second.first == bar_) DrawMenuBar(window_);
    // A check mark that came or went is news to a screen reader; the status item's text twice a second is not.
    if (known && ((was.fState ^ mii.fState) & MFS_CHECKED) != 0) {
        for (int i = 0, n = GetMenuItemCount(it->second.first); i < n; ++i)
            if (GetMenuItemID(it->second.first, i) == it->second.second)
                NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window_, OBJID_MENU, i + 1);
    }
}

bool MenuBar::Command(UINT id) {
    if (id < kFirstCommand || id - kFirstCommand >= commands_.size()) return false;
    ui::MenuItem* item = commands_[id - kFirstCommand];
    if (item->Enabled() && item->Click) item->Click();
    return true;
}

HMENU MenuBar::SubMenu(const ui::MenuItem& item) const {
    auto it = subMenus_.find(&item);
    return it == subMenus_.end() ? nullptr : it->second;
}

bool MenuBar::Shortcut(MSG& msg) const {
    HWND h = window_;
    if (accel_ == nullptr || h == nullptr || (msg.hwnd != h && !IsChild(h, msg.hwnd))) return false;
    // A shortcut acts once per press. A held key repeats its keydown, and the
    // repeats pile up while a release keeps the thread busy: each would be one
    // more release after the key is long up. A held F9 is the tick's to see.
    constexpr LPARAM kRepeat = LPARAM{1} << 30;
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && (msg.lParam & kRepeat) != 0) return false;
    return TranslateAcceleratorW(h, accel_, &msg) != 0;
}

void MenuBar::Popup(const ui::MenuItem& menu) {
    HMENU h = SubMenu(menu);
    HWND owner = window_;
    if (h == nullptr || owner == nullptr) return;
    POINT at{};
    GetCursorPos(&at);
    // The notification area's rule: unless its window is in the foreground, the
    // menu stays open after a click elsewhere or Esc. This does not show a hidden window.
    SetForegroundWindow(owner);
    const auto id = static_cast<UINT>(TrackPopupMenu(h, TPM_LEFTALIGN | TPM_RETURNCMD, at.x, at.y, 0, owner, nullptr));
    // Lets the menu's loop end before the next one starts, or the next opens only on a second click.
    PostMessageW(owner, WM_NULL, 0, 0);
    // Through the window like any menu command, and before the caller goes on.
    if (id != 0) SendMessageW(owner, WM_COMMAND, id, 0);
}

}  // namespace purgix::win32
