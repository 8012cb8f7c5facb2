// The switches for scripts and the windowless release.
#include <gtest/gtest.h>

#include <regex>
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
    // 256 MiB of physical memory: 10 % is a block of 2 x 26843546 bytes.
    EXPECT_EQ(ScriptedRelease(fake.platform, 10, seconds, line), 0);
    EXPECT_EQ(fake.calls, std::vector<std::string>{"WriteBlankBlock(53687092)"});
    EXPECT_TRUE(std::regex_match(line, std::regex(R"(Purgix: released 51 MiB \(10 %\) in 1\.50 s; available physical memory \d+ MiB before, \d+ MiB after\.)")))
        << line;
    EXPECT_EQ(fake.samples, 2) << "a sample before and one after";

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
    EXPECT_EQ(ScriptedRelease(fake.platform, 100, seconds, line), 1);
    EXPECT_NE(line.find("could not be had"), std::string::npos);
}
