// The command line for scripts: parsed and run by behaviour, written to the
// console or file the program's output goes to.
#include "platform/win32/entry/Switches.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "platform/win32/Text.h"
#include "platform/win32/adapters/Win32Platform.h"

namespace purgix::win32 {

namespace {

std::vector<std::string> Arguments() {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; argv != nullptr && i < count; ++i) args.push_back(Narrow(argv[i]));
    if (argv != nullptr) LocalFree(argv);
    return args;
}

// A windowed program has no console of its own: write where its output was
// sent (a file or a pipe), else to the console of the command prompt it was
// started from, else nowhere.
void Say(const std::string& text, DWORD which) {
    HANDLE out = GetStdHandle(which);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) return;
        out = GetStdHandle(which);
        if (out == nullptr || out == INVALID_HANDLE_VALUE) out = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (out == INVALID_HANDLE_VALUE) return;
    }
    std::string line = text;
    if (line.empty() || line.back() != '\n') line += '\n';
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(out, &mode)) {
        const std::wstring wide = Widen(line);
        WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
}

double Seconds() {
    LARGE_INTEGER freq, now;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(freq.QuadPart);
}

}  // namespace

int RunSwitches(Win32Platform& platform) {
    const app::Switches switches = app::ParseSwitches(Arguments());
    switch (switches.action) {
        case app::Switches::Action::Window: return -1;
        case app::Switches::Action::Help: Say(app::SwitchesHelp(), STD_OUTPUT_HANDLE); return app::kExitHelp;
        case app::Switches::Action::Bad:
            Say("Purgix: " + switches.reason + " (Purgix.exe /? lists the switches)", STD_ERROR_HANDLE);
            return app::kExitBadSwitch;
        case app::Switches::Action::Exit: {
            std::string line;
            const int code = app::ExitRunningCopy(platform.instances, line);
            if (!line.empty()) Say(line, STD_ERROR_HANDLE);
            return code;
        }
        case app::Switches::Action::Release: break;
    }
    platform::Platform bundle = platform.Bundle();
    std::string line;
    const int code = app::ScriptedRelease(bundle, switches.percent, Seconds, line);
    Say(line, code == app::kExitReleased ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    return code;
}

}  // namespace purgix::win32
