#pragma once
// The Run value that starts the program when the user logs on. It lives under
// HKEY_LOCAL_MACHINE when the user may write there, and otherwise under
// HKEY_CURRENT_USER, so that users without administrator rights can use it too.
#include <string>
#include <string_view>

#include "settings/Registry.h"

namespace purgix::settings {

inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The program folder, a "\" unless it already ends in one, the title and ".exe".
std::string StartCommand(std::string_view programFolder, std::string_view title);

class StartWithWindows {
public:
    // `title` names the Run value; `command` is what it starts (see StartCommand).
    StartWithWindows(Registry& registry, std::string title, std::string command);

    // The data the Run value gets: the command, in double quotes when it holds a
    // blank (Windows would otherwise try "C:\Program" first).
    std::string ValueData() const;

    // True when either key's value starts this program, quoted or not.
    bool IsSet();
    // Writes the machine-wide value; when that is refused, the user's own.
    void Set();
    // Removes the value from both keys.
    void Clear();

private:
    bool Names(const std::string& stored) const;

    Registry& registry_;
    std::string title_;
    std::string command_;
};

}  // namespace purgix::settings
