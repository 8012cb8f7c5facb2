#pragma once
// The switches for scripts: one release without a window or a tray icon.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace purgix::app {

struct Switches {
    enum class Action { Window, Release, Help, Bad };
    Action action = Action::Window;
    std::optional<int> percent;  // with Release: the percent given, if any
    std::string reason;          // with Bad: what is wrong, for the console
};

// The arguments after the program's name.
Switches ParseSwitches(const std::vector<std::string>& args);

// What "/?" prints.
std::string SwitchesHelp();

inline constexpr int kExitReleased = 0;
inline constexpr int kExitNoBlock = 1;
inline constexpr int kExitBadSwitch = 2;

// One release of the given percent (the stored release percent when none is
// given) through the same block as the window's release; `line` gets the
// block's size, the seconds taken and the available physical memory before and
// after. Returns the exit code. `seconds` is a monotonic clock.
int ScriptedRelease(platform::Platform& platform, std::optional<int> percent, const std::function<double()>& seconds,
                    std::string& line);

}  // namespace purgix::app
