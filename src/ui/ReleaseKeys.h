#pragma once
// Which keys pressed while a release ran are dropped once it ends: those that
// would start another release, so that impatience queues none.
#include <span>
#include <vector>

namespace purgix::ui {

// The key messages of a window's queue, by kind.
enum class KeyMessage { Down, Up, Char, SysDown, SysUp, SysChar };

// The virtual keys the rule names (Windows's codes).
inline constexpr int kVkTab = 0x09, kVkReturn = 0x0D, kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12, kVkSpace = 0x20, kVkF9 = 0x78;

struct QueuedKey {
    KeyMessage message;
    int code;  // the virtual key, or the character for Char and SysChar
};

// For each key made during a release, in queue order: true when it goes.
// Space and Enter press whatever has the focus, which the user cannot see
// under the hourglass, and F9 releases; Alt with a letter (or F10, or Alt
// alone for the menu bar) reaches the menus and the access keys. They all go,
// and so does the letting go of a key whose press went, and the character a
// dropped press made. Tab, Shift and the rest only move the focus or do
// nothing that releases: they stay, in order.
std::vector<bool> DroppedAfterRelease(std::span<const QueuedKey> keys);

}  // namespace purgix::ui
