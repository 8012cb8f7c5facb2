#pragma once
// The program as the one copy runs it: the main form and its window made, started and run until it ends.
#include "platform/win32/adapters/Win32Platform.h"

namespace purgix::win32 {

// Ends with the message loop's exit code. A failure while the form or its
// window is made is shown to the user with its reason, and ends the program
// with kExitCannotStart: nothing is shown yet that would tell otherwise.
int RunProgram(Win32Platform& win32);

inline constexpr int kExitCannotStart = 3;

}  // namespace purgix::win32
