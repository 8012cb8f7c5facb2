#pragma once
// The switches for scripts (one release without a window or a tray icon; the
// end of the running copy) and the rule of one copy per session.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace purgix::app {

struct Switches {
    enum class Action { Window, Release, Exit, Help, Bad };
    Action action = Action::Window;
    std::optional<int> percent;  // with Release: the percent given, if any
    std::string reason;          // with Bad: what is wrong, for the console
};

// The arguments after the program's name.
Switches ParseSwitches(const std::vector<std::string>& args);

// What "/?" prints.
std::string SwitchesHelp();

inline constexpr int kExitHelp = 0;
inline constexpr int kExitReleased = 0;
inline constexpr int kExitNoBlock = 1;
inline constexpr int kExitBadSwitch = 2;
inline constexpr int kExitNoCopyLeft = 0;
inline constexpr int kExitCopyStillRuns = 1;

// How long a new start waits for a closing copy, and /exit for the running one.
inline constexpr unsigned kWaitForClosingCopyMs = 15000;
inline constexpr unsigned kWaitForExitMs = 10000;

// Whether this start runs as the program: the only copy, or the next one once
// a closing copy has gone. When a running copy shows itself instead, this
// start ends; it never ends while no other copy will run.
bool StartAsOnlyCopy(platform::Instances& instances);

// /exit: asks the running copy to end through its shutdown and waits for it.
// 0 only when no copy is left running; otherwise 1, and `line` says why.
int ExitRunningCopy(platform::Instances& instances, std::string& line);

// One release of the given percent (the stored release percent when none is
// given) through the same block as the window's release; `line` gets the
// block's size and its true share of physical memory (two bytes for each
// character of the percent), the seconds taken and the available physical
// memory before and after. Returns the exit code. `seconds` is a monotonic clock.
int ScriptedRelease(platform::Platform& platform, std::optional<int> percent, const std::function<double()>& seconds,
                    std::string& line);

}  // namespace purgix::app
