#include "app/CommandLine.h"

#include <cctype>
#include <cstdio>
#include <exception>

#include "memory/Release.h"
#include "settings/Settings.h"

namespace purgix::app {

namespace {

constexpr int kMinPercent = 10;
constexpr int kMaxPercent = 100;
constexpr int kDefaultPercent = 30;

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

Switches Bad(std::string reason) { return {Switches::Action::Bad, std::nullopt, std::move(reason)}; }

// Whole decimal numbers only: "/release:1e2" or "/release:50%" is a typing slip, not a percent.
std::optional<int> Percent(const std::string& text) {
    if (text.empty() || text.size() > 3) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < kMinPercent || value > kMaxPercent) return std::nullopt;
    return value;
}

// The release percent the window would use, when it is one the window accepts.
int StoredPercent(platform::Platform& platform) {
    const std::string exe = settings::ExecutableName(platform.files.ModulePath());
    try {
        const int stored = settings::ToInteger16(platform.settings.GetSetting(exe, settings::kSection, settings::key::kPrecent, "30"));
        if (stored >= kMinPercent && stored <= kMaxPercent) return stored;
    } catch (const std::exception&) {
    }
    return kDefaultPercent;
}

std::string Mebibytes(std::uint64_t bytes) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f MiB", static_cast<double>(bytes) / 1048576.0);
    return buf;
}

}  // namespace

Switches ParseSwitches(const std::vector<std::string>& args) {
    if (args.empty()) return {};
    if (args.size() > 1) return Bad("one switch at a time");
    const std::string arg = Lower(args[0]);
    if (arg == "/?" || arg == "-?") return {Switches::Action::Help, std::nullopt, {}};
    if (arg == "/release" || arg == "-release") return {Switches::Action::Release, std::nullopt, {}};
    for (const char* prefix : {"/release:", "-release:"}) {
        const std::string p(prefix);
        if (arg.rfind(p, 0) != 0) continue;
        const std::optional<int> percent = Percent(arg.substr(p.size()));
        if (!percent) return Bad("the release percent must be a whole number from 10 to 100: " + args[0]);
        return {Switches::Action::Release, percent, {}};
    }
    return Bad("unknown switch: " + args[0]);
}

std::string SwitchesHelp() {
    return "Purgix 2.00 - watches memory and releases physical memory.\n"
           "\n"
           "Purgix.exe                    starts the program (or shows the running one)\n"
           "Purgix.exe /release[:percent] releases memory once, without a window, and exits:\n"
           "                              percent from 10 to 100; without it, the release\n"
           "                              percent set in the options (30 at first)\n"
           "Purgix.exe /?                 shows this text\n"
           "\n"
           "Exit codes: 0 released, 1 the memory block could not be had, 2 bad switch.\n";
}

int ScriptedRelease(platform::Platform& platform, std::optional<int> percent, const std::function<double()>& seconds,
                    std::string& line) {
    const int used = percent ? *percent : StoredPercent(platform);
    platform::MemoryStatus before;
    platform.memory.GlobalMemoryStatus(before);
    std::uint64_t bytes = 0;
    try {
        bytes = 2 * static_cast<std::uint64_t>(memory::ReleaseCharacters(used, before.totalPhys));
    } catch (const std::exception&) {
        line = "Purgix: no block of " + std::to_string(used) + " % of physical memory can be had.";
        return kExitNoBlock;
    }
    const double start = seconds();
    const bool ok = platform.blocks.WriteBlankBlock(bytes);
    const double taken = seconds() - start;
    if (!ok) {
        line = "Purgix: the " + Mebibytes(bytes) + " block (" + std::to_string(used) + " %) could not be had.";
        return kExitNoBlock;
    }
    platform::MemoryStatus after;
    platform.memory.GlobalMemoryStatus(after);
    char buf[200];
    std::snprintf(buf, sizeof buf, "Purgix: released %s (%d %%) in %.2f s; available physical memory %s before, %s after.",
                  Mebibytes(bytes).c_str(), used, taken, Mebibytes(before.availPhys).c_str(), Mebibytes(after.availPhys).c_str());
    line = buf;
    return kExitReleased;
}

}  // namespace purgix::app
