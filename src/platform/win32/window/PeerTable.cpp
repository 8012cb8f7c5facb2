// The lookups between a form's models, windows and peers.
#include "platform/win32/window/PeerTable.h"

#include "platform/win32/window/ContainerPeer.h"

namespace purgix::win32 {

void PeerTable::AddForm(ContainerPeer& form) { byControl_[&form.control] = &form; }

ControlPeer& PeerTable::Adopt(std::unique_ptr<ControlPeer> peer) {
    ControlPeer& kept = *peer;
    byControl_[&kept.control] = &kept;
    kept.control.Attach(&kept);
    owned_.push_back(std::move(peer));
    return kept;
}

void PeerTable::Bind(HWND window, ControlPeer& peer) { byWindow_[window] = &peer; }

ControlPeer* PeerTable::ForWindow(HWND child) const {
    auto it = byWindow_.find(child);
    return it == byWindow_.end() ? nullptr : it->second;
}

ControlPeer* PeerTable::ForControl(const ui::Control* control) const {
    auto it = byControl_.find(control);
    return it == byControl_.end() ? nullptr : it->second;
}

ContainerPeer* PeerTable::ContainerOf(const ui::Control& child) const {
    // Only forms and picture boxes hold controls, and their peers are containers.
    return static_cast<ContainerPeer*>(ForControl(child.Parent()));
}

void PeerTable::DetachAll() {
    for (auto& peer : owned_) peer->Detach();
}

}  // namespace purgix::win32
