// The switches for scripts, the windowless release and the rule of one copy per session.
#include <gtest/gtest.h>

#include <string>

#include "FakePlatform.h"
#include "app/CommandLine.h"

using purgix::app::ParseSwitches;
using purgix::app::ScriptedRelease;

// "Release 10": the action and the percent given, if any; a bad switch's reason names it.
TEST(Switches, ReleaseWithOrWithoutAPercentHelpAndEverythingElseIsBad) {
    const char* names[] = {"Window", "Release", "Exit", "Help", "Bad"};
    for (const auto& [args, parsed] : std::initializer_list<std::pair<std::vector<std::string>, std::string>>{
             {{}, "Window"}, {{"/release"}, "Release"}, {{"-RELEASE"}, "Release"}, {{"/release:10"}, "Release 10"},
             {{"/Release:100"}, "Release 100"}, {{"/?"}, "Help"}, {{"/EXIT"}, "Exit"}, {{"-exit"}, "Exit"}, {{"/exit:5"}, "Bad"},
             {{"/exit", "/release"}, "Bad"}, {{"/release:9"}, "Bad"}, {{"/release:101"}, "Bad"}, {{"/release:500"}, "Bad"},
             {{"/release:"}, "Bad"}, {{"/release:5x"}, "Bad"}, {{"/release:-20"}, "Bad"}, {{"/bogus"}, "Bad"}, {{"release"}, "Bad"},
             {{"/release", "/release"}, "Bad"}}) {
        const auto s = ParseSwitches(args);
        EXPECT_EQ(names[static_cast<int>(s.action)] + (s.percent ? " " + std::to_string(*s.percent) : ""), parsed) << (args.empty() ? "" : args[0]);
        EXPECT_EQ(s.reason.empty(), parsed != "Bad") << (args.empty() ? "" : args[0]);
    }
    EXPECT_NE(ParseSwitches({"/bogus"}).reason.find("/bogus"), std::string::npos);
}

TEST(Switches, AScriptedReleaseUsesTheGivenOrStoredPercentAndReportsIt) {
    purgix::testing::FakePlatform fake;
    double clock = 10;
    auto seconds = [&] { return clock += 1.5; };
    std::string line;
    // 24 GiB of physical memory, 3,000 MiB of it available before and 7,000 MiB once the release is over:
    // 10 % is a block of 2 x 2576980378 bytes, a fifth of physical memory.
    fake.memory.totalPhys = 24ull << 30;
    fake.memory.availPhys = 3000ull << 20;
    fake.onBlock = [&] { fake.memory.availPhys = (7000ull << 20) + 524288; };  // 7,000.5 MiB: whole ones, halves up
    EXPECT_EQ(ScriptedRelease(fake.platform, 10, seconds, line), 0);
    EXPECT_EQ(fake.calls, std::vector<std::string>{"WriteBlankBlock(5153960756)"});
    EXPECT_EQ(line, "Purgix: released 4,915 MiB (2 x 10 % = 20 % of physical memory) in 1.50 s; "
                    "available physical memory 3,000 MiB before, 7,001 MiB after.");
    fake.onBlock = nullptr;
    fake.memory.totalPhys = 268435456;

    // The stored percent as the window takes it: out of bounds, the nearer bound; no number, the default.
    for (auto [stored, block] : {std::pair{"50", "268435456"}, {"5", "53687092"}, {"abc", "161061274"}}) {
        fake.calls.clear();
        fake.store["purgix\\options\\precent"] = stored;
        EXPECT_EQ(ScriptedRelease(fake.platform, std::nullopt, seconds, line), 0);
        EXPECT_EQ(fake.calls, std::vector<std::string>{"WriteBlankBlock(" + std::string(block) + ")"}) << stored;
    }
    fake.blocksFail = true;
    EXPECT_EQ(ScriptedRelease(fake.platform, 60, seconds, line), 1);
    EXPECT_EQ(line, "Purgix: the 307 MiB block (2 x 60 % = 120 % of physical memory) could not be had.");
    EXPECT_EQ(fake.traces, (std::vector<std::string>{"stored release percent: no number from 10 to 100: 5",
                                                     "stored release percent: no number from 10 to 100: abc"}));
}

// Closing, or no answer at all (between its window going and its end): wait, then run as the one copy. A copy
// that never goes is running: it is asked again to show itself and this start ends.
TEST(Switches, AStartRunsAloneOrAfterAClosingCopyAndExitWaitsForTheRunningOne) {
    using purgix::platform::ShowAnswer;
    using Calls = std::vector<std::string>;
    const Calls wait = {"TakeLock", "AskRunningCopyToShow", "WaitForLock(15000)"};
    for (const auto& [otherCopy, ends, answers, runs, calls] : std::initializer_list<std::tuple<bool, bool, std::vector<ShowAnswer>, bool, Calls>>{
             {false, false, {}, true, {"TakeLock"}}, {true, false, {ShowAnswer::Shown}, false, {"TakeLock", "AskRunningCopyToShow"}},
             {true, true, {ShowAnswer::Closing}, true, wait}, {true, true, {}, true, wait},
             {true, false, {ShowAnswer::Closing}, false, {"TakeLock", "AskRunningCopyToShow", "WaitForLock(15000)", "AskRunningCopyToShow"}}}) {
        purgix::testing::FakePlatform fake;
        std::tie(fake.otherCopy, fake.endsWhileWaited, fake.answers) = std::tie(otherCopy, ends, answers);
        EXPECT_EQ(purgix::app::StartAsOnlyCopy(fake), runs) << calls.size();
        EXPECT_EQ(fake.calls, calls);
    }
    // /exit: 0 only when no copy is left; a copy that stays, or that cannot be reached, is 1 with the reason.
    for (const auto& [ends, unreachable, code, line] : std::initializer_list<std::tuple<bool, const char*, int, const char*>>{
             {true, "", 0, ""}, {false, "", 1, "Purgix: the running copy may still run: it still runs."},
             {true, "it cannot be reached (Access denied. (5))", 1, "Purgix: the running copy may still run: it cannot be reached (Access denied. (5))."}}) {
        purgix::testing::FakePlatform fake;
        fake.otherCopy = true;
        fake.endsOnExit = ends;
        fake.unreachable = unreachable;
        std::string said;
        EXPECT_EQ(purgix::app::ExitRunningCopy(fake, said), code);
        EXPECT_EQ(said, line);
        EXPECT_EQ(fake.calls, Calls{"AskRunningCopyToExit(10000)"});
    }
}
