#pragma once
// The peers of one form's window and the ways to them: from a model, from a
// child window, and from a control to its container's peer.
#include <windows.h>

#include <cstddef>
#include <memory>
#include <map>
#include <vector>

#include "ui/Control.h"

namespace purgix::win32 {

class ControlPeer;
class ContainerPeer;

class PeerTable {
public:
    PeerTable() = default;
    PeerTable(const PeerTable&) = delete;
    PeerTable& operator=(const PeerTable&) = delete;

    // The form's own peer: found by its model, owned by nobody here.
    void AddForm(ContainerPeer& form);
    // Keeps the peer, attached to its model, until the window goes.
    ControlPeer& Adopt(std::unique_ptr<ControlPeer> peer);
    // The child window the peer made.
    void Bind(HWND window, ControlPeer& peer);

    ControlPeer* ForWindow(HWND child) const;
    ControlPeer* ForControl(const ui::Control* control) const;
    // The peer of the form or picture box that holds the control.
    ContainerPeer* ContainerOf(const ui::Control& child) const;
    std::size_t Count() const { return owned_.size(); }

    // Every peer but the form's, in the order they were made: containers before what they hold, siblings front to back.
    template <class Visit>
    void Each(Visit visit) const {
        for (const auto& peer : owned_) visit(*peer);
    }
    // The models forget these peers and handles; a window opened later for the same form takes them anew.
    void DetachAll();

private:
    std::vector<std::unique_ptr<ControlPeer>> owned_;
    std::map<const ui::Control*, ControlPeer*> byControl_;
    std::map<HWND, ControlPeer*> byWindow_;
};

}  // namespace purgix::win32
