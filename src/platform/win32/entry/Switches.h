#pragma once
#include <windows.h>

namespace purgix::win32 {

class Win32Platform;

// Runs the switches of the command line, if any, writing to the console the
// program was started from. Returns the exit code, or -1 when there are none
// and the window should start.
int RunSwitches(Win32Platform& platform);

}  // namespace purgix::win32
