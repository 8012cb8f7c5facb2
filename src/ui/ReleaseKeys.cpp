#include "ui/ReleaseKeys.h"

#include <map>

namespace purgix::ui {

namespace {

bool StartsSomething(int vk) { return vk == kVkSpace || vk == kVkReturn || vk == kVkF9; }

bool PressesSomething(int ch) { return ch == ' ' || ch == '\r' || ch == '\n'; }

}  // namespace

std::vector<bool> DroppedAfterRelease(std::span<const QueuedKey> keys) {
    std::vector<bool> dropped(keys.size(), false);
    std::map<int, bool> pressDropped;  // by key: whether its last press in the queue went
    bool lastPress = false, anyPress = false;  // the last press's fate: a character goes with it
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto [message, code] = keys[i];
        bool drop = false;
        switch (message) {
            case KeyMessage::Down:
            case KeyMessage::SysDown:
                drop = message == KeyMessage::SysDown || StartsSomething(code);
                pressDropped[code] = drop;
                lastPress = drop;
                anyPress = true;
                break;
            case KeyMessage::Up:
            case KeyMessage::SysUp: {
                const auto it = pressDropped.find(code);
                // A letting go follows its press; one whose press came before the release goes when it could act.
                drop = it != pressDropped.end() ? it->second : message == KeyMessage::SysUp || StartsSomething(code);
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
