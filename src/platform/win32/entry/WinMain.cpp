// The program's entry: build the Windows platform, answer the switches, run as the one copy.
#include <windows.h>

#include <cstdlib>

#include "app/CommandLine.h"
#include "platform/win32/entry/Program.h"
#include "platform/win32/entry/Switches.h"
#include "platform/win32/adapters/Win32Platform.h"

#if defined(__GLIBCXX__)
// libstdc++'s default handler for an exception that escapes names its type on
// stderr through the C++ demangler, 45 KiB of the program. A window program
// has no stderr, and every window procedure and start-up catch what they
// expect: what still escapes ends the program as the default would, less the
// message nobody sees.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Load system DLLs from System32 only, never from the folder the program was unpacked to.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

    // The switches for scripts are not a second copy: they neither show the running one nor wait for it.
    purgix::win32::Win32Platform win32(instance);
    if (const int code = purgix::win32::RunSwitches(win32); code >= 0) return code;

    // One copy per session: a second start shows the first and goes. The lock
    // is let go when `win32` goes, after the shutdown.
    if (!purgix::app::StartAsOnlyCopy(win32.instances)) return 0;

    return purgix::win32::RunProgram(win32);
}
