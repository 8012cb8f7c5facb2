#include "settings/StartWithWindows.h"

namespace purgix::settings {

using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;

std::string StartCommand(std::string_view programFolder, std::string_view title) {
    std::string command(programFolder);
    if (command.empty() || command.back() != '\\') command += '\\';
    command += title;
    command += ".exe";
    return command;
}

StartWithWindows::StartWithWindows(Registry& registry, std::string title, std::string command)
    : registry_(registry), title_(std::move(title)), command_(std::move(command)) {}

std::string StartWithWindows::ValueData() const {
    return command_.find(' ') == std::string::npos ? command_ : "\"" + command_ + "\"";
}

bool StartWithWindows::Names(const std::string& stored) const {
    return stored == command_ || stored == "\"" + command_ + "\"";
}

bool StartWithWindows::IsSet() {
    for (platform::RegistryKey root : {kHkeyLocalMachine, kHkeyCurrentUser})
        if (Names(registry_.ReadRegistryString(root, kRunKey, title_).value_or(""))) return true;
    return false;
}

void StartWithWindows::Set() {
    const std::string data = ValueData();
    registry_.WriteRegistryString(kHkeyLocalMachine, kRunKey, title_, data);
    // The write reports nothing; reading the value back tells whether it was refused.
    if (registry_.ReadRegistryString(kHkeyLocalMachine, kRunKey, title_) == data) {
        // One entry is enough: a second one would start the program twice at log-on.
        registry_.DeleteRegistryValue(kHkeyCurrentUser, kRunKey, title_);
    } else {
        registry_.WriteRegistryString(kHkeyCurrentUser, kRunKey, title_, data);
    }
}

void StartWithWindows::Clear() {
    registry_.DeleteRegistryValue(kHkeyLocalMachine, kRunKey, title_);
    registry_.DeleteRegistryValue(kHkeyCurrentUser, kRunKey, title_);
}

}  // namespace purgix::settings
