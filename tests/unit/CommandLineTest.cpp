// The switches for scripts, the windowless release and the rule of one copy per session.
#include <gtest/gtest.h>

#include <string>

#include "FakePlatform.h"
#include "app/CommandLine.h"

using purgix::app::ParseSwitches;
using purgix::app::ScriptedRelease;
using Action = purgix::app::Switches::Action;

TEST(Switches, ReleaseWithOrWithoutAPercentHelpAndEverythingElseIsBad) {
    const struct {
        std::vector<std::string> args;
        Action action;
        int percent;  // 0: none given
    } cases[] = {
        {{}, Action::Window, 0},           {{"/release"}, Action::Release, 0},   {{"-RELEASE"}, Action::Release, 0},
        {{"/release:10"}, Action::Release, 10}, {{"/Release:100"}, Action::Release, 100}, {{"/?"}, Action::Help, 0},
        {{"/EXIT"}, Action::Exit, 0},      {{"-exit"}, Action::Exit, 0},         {{"/exit:5"}, Action::Bad, 0},
        {{"/exit", "/release"}, Action::Bad, 0},
        {{"/release:9"}, Action::Bad, 0},  {{"/release:101"}, Action::Bad, 0}, {{"/release:500"}, Action::Bad, 0},
        {{"/release:"}, Action::Bad, 0},   {{"/release:5x"}, Action::Bad, 0},  {{"/release:-20"}, Action::Bad, 0},
        {{"/bogus"}, Action::Bad, 0},      {{"release"}, Action::Bad, 0},      {{"/release", "/release"}, Action::Bad, 0},
    };
    for (const auto& c : cases) {
        const auto s = ParseSwitches(c.args);
        const std::string what = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(s.action, c.action) << what;
        EXPECT_EQ(s.percent.value_or(0), c.percent) << what;
        EXPECT_EQ(s.reason.empty(), c.action != Action::Bad) << what;
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
    fake.onBlock = [&] { fake.memory.availPhys = 7000ull << 20; };
    EXPECT_EQ(ScriptedRelease(fake.platform, 10, seconds, line), 0);
    EXPECT_EQ(fake.calls, std::vector<std::string>{"WriteBlankBlock(5153960756)"});
    EXPECT_EQ(line, "Purgix: released 4,915 MiB (2 x 10 % = 20 % of physical memory) in 1.50 s; "
                    "available physical memory 3,000 MiB before, 7,000 MiB after.");
    fake.onBlock = nullptr;
    fake.memory.totalPhys = 268435456;

    const struct {
        const char* stored;
        const char* block;
    } stored[] = {{"50", "WriteBlankBlock(268435456)"}, {"5", "WriteBlankBlock(161061274)"}, {"abc", "WriteBlankBlock(161061274)"}};
    for (const auto& s : stored) {
        fake.calls.clear();
        fake.store["purgix\\options\\precent"] = s.stored;
        EXPECT_EQ(ScriptedRelease(fake.platform, std::nullopt, seconds, line), 0);
        EXPECT_EQ(fake.calls, std::vector<std::string>{s.block}) << s.stored;
    }

    fake.blocksFail = true;
    EXPECT_EQ(ScriptedRelease(fake.platform, 60, seconds, line), 1);
    EXPECT_EQ(line, "Purgix: the 307 MiB block (2 x 60 % = 120 % of physical memory) could not be had.");
    EXPECT_EQ(fake.traces, std::vector<std::string>{"stored release percent: not a number: abc"}) << "the stored text that did not convert";
}

TEST(Switches, AStartRunsAloneOrAfterAClosingCopyAndExitWaitsForTheRunningOne) {
    using purgix::platform::ShowAnswer;
    using Calls = std::vector<std::string>;
    const struct {
        bool otherCopy, endsWhileWaited;
        std::vector<ShowAnswer> answers;
        bool runs;
        Calls calls;
    } starts[] = {
        {false, false, {}, true, {"TakeLock"}},
        {true, false, {ShowAnswer::Shown}, false, {"TakeLock", "AskRunningCopyToShow"}},
        // Closing, or no answer at all (between its window going and its end): wait, then run as the one copy.
        {true, true, {ShowAnswer::Closing}, true, {"TakeLock", "AskRunningCopyToShow", "WaitForLock(15000)"}},
        {true, true, {}, true, {"TakeLock", "AskRunningCopyToShow", "WaitForLock(15000)"}},
        // It never goes: it is running, so it is asked again to show itself and this start ends.
        {true, false, {ShowAnswer::Closing}, false, {"TakeLock", "AskRunningCopyToShow", "WaitForLock(15000)", "AskRunningCopyToShow"}},
    };
    for (const auto& s : starts) {
        purgix::testing::FakePlatform fake;
        fake.otherCopy = s.otherCopy;
        fake.endsWhileWaited = s.endsWhileWaited;
        fake.answers = s.answers;
        EXPECT_EQ(purgix::app::StartAsOnlyCopy(fake), s.runs) << s.calls.size();
        EXPECT_EQ(fake.calls, s.calls);
    }
    for (bool ends : {true, false}) {
        purgix::testing::FakePlatform fake;
        fake.otherCopy = true;
        fake.endsOnExit = ends;
        EXPECT_EQ(purgix::app::ExitRunningCopy(fake), ends ? 0 : 1);
        EXPECT_EQ(fake.calls, Calls{"AskRunningCopyToExit(10000)"});
    }
}
