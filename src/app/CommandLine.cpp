#include "app/CommandLine.h"

#include <cctype>
#include <exception>

#include "memory/MemoryFigures.h"
#include "memory/Release.h"
#include "settings/Settings.h"

namespace purgix::app {

namespace {

using memory::kDefaultReleasePercent;
using memory::kMaxReleasePercent;
using memory::kMinReleasePercent;

Switches Bad(std::string reason) { return {Switches::Action::Bad, std::nullopt, std::move(reason)}; }

// Whole decimal numbers only: "/release:1e2" or "/release:50%" is a typing slip, not a percent.
std::optional<int> Percent(const std::string& text) {
    if (text.empty() || text.size() > 3) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < kMinReleasePercent || value > kMaxReleasePercent) return std::nullopt;
    return value;
}

// The release percent the window would use: the stored one as start-up takes it.
int StoredPercent(platform::Platform& platform) {
    const std::string exe = settings::ExecutableName(platform.files.ModulePath());
    const std::string text = platform.settings.GetSetting(exe, settings::kSection, settings::key::kPrecent, std::to_string(kDefaultReleasePercent));
    const settings::Bounded stored = settings::ToBounded(text, kMinReleasePercent, kMaxReleasePercent, kDefaultReleasePercent);
    if (!stored.accepted) platform.diagnostics.Trace("stored release percent", "no number from 10 to 100: " + text);
    return stored.value;
}

// Whole mebibytes with thousands commas, as a script's log wants them: "4,821 MiB".
std::string Mebibytes(std::uint64_t bytes) {
    std::string digits = std::to_string((bytes + 524288) / 1048576);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits + " MiB";
}

// The block is two bytes for each character of the release percent: its share is twice the percent.
std::string Share(int percent) {
    return "2 x " + std::to_string(percent) + " % = " + std::to_string(2 * percent) + " % of physical memory";
}

}  // namespace

Switches ParseSwitches(const std::vector<std::string>& args) {
    if (args.empty()) return {};
    if (args.size() > 1) return Bad("one switch at a time");
    const std::string& arg = args[0];
    // A switch begins with "/" or "-"; its name's letter case does not matter.
    const std::string_view name = arg.empty() || (arg[0] != '/' && arg[0] != '-') ? std::string_view() : std::string_view(arg).substr(1);
    using settings::EqualsIgnoringCase;
    if (name == "?") return {Switches::Action::Help, std::nullopt, {}};
    if (EqualsIgnoringCase(name, "release")) return {Switches::Action::Release, std::nullopt, {}};
    if (EqualsIgnoringCase(name, "exit")) return {Switches::Action::Exit, std::nullopt, {}};
    if (EqualsIgnoringCase(name.substr(0, 8), "release:")) {
        const std::optional<int> percent = Percent(std::string(name.substr(8)));
        if (!percent) return Bad("the release percent must be a whole number from 10 to 100: " + arg);
        return {Switches::Action::Release, percent, {}};
    }
    return Bad("unknown switch: " + arg);
}

std::string SwitchesHelp() {
    return "Purgix 2.00 - watches memory and releases physical memory.\n"
           "\n"
           "Purgix.exe                    starts the program (or shows the running one)\n"
           "Purgix.exe /release[:percent] releases memory once, without a window, and exits:\n"
           "                              percent from 10 to 100; without it, the release\n"
           "                              percent set in the options (30 at first). The\n"
           "                              block is twice the percent of physical memory\n"
           "                              (two bytes a character): 50 or more asks for all of it\n"
           "Purgix.exe /exit              ends the running copy as Exit does (its settings\n"
           "                              saved) and waits up to 10 seconds for it\n"
           "Purgix.exe /?                 shows this text\n"
           "\n"
           "Exit codes: /release 0 released, 1 the memory block could not be had;\n"
           "/exit 0 no copy left running, 1 a copy still runs or cannot be reached;\n"
           "2 bad switch.\n";
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
        line = "Purgix: no block of " + Share(used) + " can be had.";
        return kExitNoBlock;
    }
    const double start = seconds();
    const bool ok = platform.blocks.WriteBlankBlock(bytes) == platform::BlockResult::Written;
    const double taken = seconds() - start;
    if (!ok) {
        line = "Purgix: the " + Mebibytes(bytes) + " block (" + Share(used) + ") could not be had.";
        return kExitNoBlock;
    }
    platform::MemoryStatus after;
    platform.memory.GlobalMemoryStatus(after);
    memory::FigureText time;
    memory::FormatFixed2(taken, ".", time);
    line = "Purgix: released " + Mebibytes(bytes) + " (" + Share(used) + ") in " + std::string(time.View()) + " s; available physical memory " +
           Mebibytes(before.availPhys) + " before, " + Mebibytes(after.availPhys) + " after.";
    return kExitReleased;
}

bool StartAsOnlyCopy(platform::Instances& instances) {
    if (instances.TakeLock()) return true;
    // A copy that answers nothing is closing, or has not made its window yet:
    // wait for it rather than leave nothing running.
    if (instances.AskRunningCopyToShow() == platform::ShowAnswer::Shown) return false;
    if (instances.WaitForLock(kWaitForClosingCopyMs)) return true;
    // Still there after all: it runs, so this start has nothing to add but the showing.
    instances.AskRunningCopyToShow();
    return false;
}

int ExitRunningCopy(platform::Instances& instances, std::string& line) {
    const platform::ExitAnswer answer = instances.AskRunningCopyToExit(kWaitForExitMs);
    if (answer.noCopyLeft) return kExitNoCopyLeft;
    line = "Purgix: the running copy may still run: " + answer.reason + ".";
    return kExitCopyStillRuns;
}

}  // namespace purgix::app
