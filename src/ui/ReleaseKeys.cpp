#include "ui/ReleaseKeys.h"

#include <array>

namespace purgix::ui {

namespace {

bool StartsSomething(int vk) { return vk == kVkSpace || vk == kVkReturn || vk == kVkF9; }

bool PressesSomething(int ch) { return ch == ' ' || ch == '\r' || ch == '\n'; }

}  // namespace

std::vector<bool> DroppedAfterRelease(std::span<const QueuedKey> keys) {
    std::vector<bool> dropped(keys.size(), false);
    enum Press : unsigned char { None, Kept, Dropped };
    std::array<Press, 256> press{};  // by virtual key: the fate of its last press in the queue
    bool lastPress = false, anyPress = false;  // the last press's fate: a character goes with it
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto [message, code] = keys[i];
        bool drop = false;
        switch (message) {
            case KeyMessage::Down:
            case KeyMessage::SysDown:
                drop = message == KeyMessage::SysDown || StartsSomething(code);
                press[static_cast<unsigned>(code) & 0xFF] = drop ? Dropped : Kept;
                lastPress = drop;
                anyPress = true;
                break;
            case KeyMessage::Up:
            case KeyMessage::SysUp: {
                // A letting go follows its press; one whose press came before the release goes when it could act.
                const Press p = press[static_cast<unsigned>(code) & 0xFF];
                drop = p != None ? p == Dropped : message == KeyMessage::SysUp || StartsSomething(code);
                break;
            }
            case KeyMessage::Char: drop = anyPress ? lastPress : PressesSomething(code); break;
            case KeyMessage::SysChar: drop = true; break;
        }
        dropped[i] = drop;
    }
    return dropped;
}

}  // namespace purgix::ui
