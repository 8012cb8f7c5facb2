// The release, its three commands, and the two timers that release on their own.
#include "memory/Release.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "FakePlatform.h"
#include "app/FrmMain.h"

using purgix::app::FrmMain;
using purgix::memory::ReleaseCharacters;
using purgix::memory::ReleaseSizeError;
using purgix::testing::FakeClock;
using purgix::testing::FakePlatform;
using Calls = std::vector<std::string>;

namespace {

const std::string kFailed =
    "ShowMessage(Out of memory now,Too much RAM to release,Please try again or setup your <Release percent>!!!,Purgix)";

std::string Block(std::uint64_t bytes) { return "WriteBlankBlock(" + std::to_string(bytes) + ")"; }

}  // namespace

TEST(ReleaseSize, WorkedSizesRoundToTheNearestCharacter) {
    EXPECT_EQ(ReleaseCharacters(40, 268435456), 107374182);  // 107,374,182.4
    EXPECT_EQ(ReleaseCharacters(10, 268435456), 26843546);   // 26,843,545.6
    EXPECT_EQ(ReleaseCharacters(100, 268435456), 268435456);
    EXPECT_EQ(ReleaseCharacters(10, 0), 0);
    // Past 4 GiB the count keeps all its digits: 10 % of 24 GiB.
    EXPECT_EQ(ReleaseCharacters(10, 24ull << 30), 2576980378);
}

TEST(ReleaseSize, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(ReleaseCharacters(50, 5), 2);   // 2.5
    EXPECT_EQ(ReleaseCharacters(50, 7), 4);   // 3.5
    EXPECT_EQ(ReleaseCharacters(10, 5), 0);   // 0.5
    EXPECT_EQ(ReleaseCharacters(10, 15), 2);  // 1.5
    EXPECT_EQ(ReleaseCharacters(10, 25), 2);  // 2.5
    EXPECT_EQ(purgix::memory::RoundHalfEven(-2.5), -2);
    EXPECT_EQ(purgix::memory::RoundHalfEven(4503599627370495.5), 4503599627370496);
}

TEST(ReleaseSize, SizesThatCannotBeAddressedOrAreNegativeAreRefused) {
    EXPECT_THROW(ReleaseCharacters(-10, 268435456), ReleaseSizeError);
    EXPECT_THROW(ReleaseCharacters(100, std::numeric_limits<std::uint64_t>::max()), ReleaseSizeError);
    EXPECT_THROW(ReleaseCharacters(50, 1ull << 63), ReleaseSizeError);  // exactly 2^62 characters
    EXPECT_EQ(ReleaseCharacters(25, 1ull << 63), std::int64_t{1} << 61);
}

namespace {

class Release : public ::testing::Test {
protected:
    Release() {
        fake.memory.totalPhys = 268435456;
        fake.memory.availPhys = 110727168;  // 41.25 %
        // What the release sees while its block is held.
        fake.onBlock = [this] {
            during.push_back(State());
            clock.Spend(700);
        };
        fake.onMessage = [this] { during.push_back(State()); };
    }
    std::string State() const {
        return std::string(frm.Timer1.Enabled() ? "T1" : "-") + (frm.Timer2.Enabled() ? "T2" : "-") + " samples=" +
               std::to_string(fake.samples) + " polls=" + std::to_string(fake.keyPolls);
    }
    // The calls of the platform without the timers' switching.
    Calls PlatformCalls() const {
        Calls out;
        for (const auto& c : fake.calls)
            if (c.rfind("Timer", 0) != 0) out.push_back(c);
        return out;
    }
    int Releases() const {
        int n = 0;
        for (const auto& c : fake.calls) n += c.rfind("SetMousePointer(11)", 0) == 0 ? 1 : 0;
        return n;
    }
    // Physical memory with this much available, in whole kilobytes out of 102,400.
    void AvailableKilobytes(std::uint64_t kb) {
        fake.memory.totalPhys = 102400 * 1024;
        fake.memory.availPhys = kb * 1024;
    }

    FakePlatform fake;
    FrmMain frm{fake.platform};
    FakeClock clock{{&frm.Timer1, &frm.Timer2}, &fake.calls};
    Calls during;
};

}  // namespace

TEST_F(Release, WritesTwiceTheSizeWithBothTimersOffUnderTheHourglass) {
    frm.RefreshMEM();
    frm.VScroll3.SetValue(40);
    frm.ReleaseMemory();
    EXPECT_EQ(frm.ReleaseSize(), 107374182);
    EXPECT_EQ(fake.calls, (Calls{"Timer1(off)", "Timer2(off)", "SetMousePointer(11)", Block(214748364), "SetMousePointer(0)",
                                 "Timer1(on)", "Timer2(on)"}));
    EXPECT_EQ(during, Calls{"-- samples=1 polls=0"});

    // The release takes no sample of its own: it sizes from the last one.
    fake.calls.clear();
    fake.memory.totalPhys = 1ull << 40;
    frm.VScroll3.SetValue(10);
    frm.ReleaseMemory();
    EXPECT_EQ(frm.ReleaseSize(), 26843546);
    EXPECT_EQ(PlatformCalls(), (Calls{"SetMousePointer(11)", Block(53687092), "SetMousePointer(0)"}));
    EXPECT_EQ(fake.samples, 1);
}

TEST_F(Release, BeforeTheFirstSampleTakesNothingButStillCyclesTimersAndPointer) {
    frm.ReleaseMemory();
    EXPECT_EQ(frm.ReleaseSize(), 0);
    EXPECT_EQ(fake.calls, (Calls{"Timer1(off)", "Timer2(off)", "SetMousePointer(11)", "SetMousePointer(0)", "Timer1(on)", "Timer2(on)"}));
}

TEST_F(Release, ABlockThatCannotBeHadShowsTheMessageOnceWithTheTimersOff) {
    frm.RefreshMEM();
    fake.blocksFail = true;
    frm.ReleaseMemory();
    EXPECT_EQ(fake.calls, (Calls{"Timer1(off)", "Timer2(off)", "SetMousePointer(11)", Block(53687092), kFailed,
                                 "SetMousePointer(0)", "Timer1(on)", "Timer2(on)"}));
    EXPECT_EQ(during, (Calls{"-- samples=1 polls=0", "-- samples=1 polls=0"}));
    EXPECT_TRUE(frm.Timer1.Enabled());
    EXPECT_TRUE(frm.Timer2.Enabled());
}

TEST_F(Release, ASizeThatCannotBeRepresentedTakesTheFailurePathWithoutABlock) {
    fake.memory.totalPhys = std::numeric_limits<std::uint64_t>::max();
    frm.RefreshMEM();
    frm.VScroll3.SetValue(100);
    frm.ReleaseMemory();
    EXPECT_EQ(PlatformCalls(), (Calls{"SetMousePointer(11)", kFailed, "SetMousePointer(0)"}));
    EXPECT_EQ(during, Calls{"-- samples=1 polls=0"});
    EXPECT_TRUE(frm.Timer1.Enabled() && frm.Timer2.Enabled());
}

TEST_F(Release, ACommandThatArrivesWhileTheFailureMessageIsOpenIsIgnored) {
    frm.RefreshMEM();
    fake.blocksFail = true;
    bool clicked = false;
    fake.onMessage = [&] {
        if (!clicked) {
            clicked = true;
            frm.mOptPOP->Click();  // the tray menu still works under a modal box
        }
        during.push_back(State());
    };
    frm.ReleaseMemory();
    EXPECT_EQ(Releases(), 1);
    EXPECT_EQ(during, (Calls{"-- samples=1 polls=0", "-- samples=1 polls=0"}));
    EXPECT_TRUE(frm.Timer1.Enabled() && frm.Timer2.Enabled());
    fake.blocksFail = false;
    frm.mOptPOP->Click();  // and the next one works again
    EXPECT_EQ(Releases(), 2);
}

TEST_F(Release, TheThreeCommandsReleaseAlikeAndLeaveTheIntervalCountAlone) {
    frm.Check1.SetValue(1);
    clock.Advance(3000);  // three seconds counted
    ASSERT_EQ(frm.IntervalSeconds(), 3);
    frm.RefreshMEM();
    for (auto* command : {&frm.ImgOptimize.Click, &frm.mOpt->Click, &frm.mOptPOP->Click}) {
        fake.calls.clear();
        (*command)();
        EXPECT_EQ(PlatformCalls(), (Calls{"SetMousePointer(11)", Block(53687092), "SetMousePointer(0)"}));
        EXPECT_EQ(frm.IntervalSeconds(), 3);
    }
}

TEST_F(Release, ATickSamplesThenSettlesTheOptionsThenTestsTheThresholdThenPollsF9) {
    frm.Check2.SetValue(1);
    AvailableKilobytes(10240);  // 10 % < 15
    fake.keys[0x78] = static_cast<std::int16_t>(0x8000);
    frm.Timer1.Tick();
    // Both releases in the one tick: the threshold's before the key poll, both after the sample.
    EXPECT_EQ(Releases(), 2);
    EXPECT_EQ(during, (Calls{"-- samples=1 polls=0", "-- samples=1 polls=1"}));
    EXPECT_EQ(PlatformCalls(), (Calls{"SetMousePointer(11)", Block(20971520), "SetMousePointer(0)", "SetMousePointer(11)",
                                      Block(20971520), "SetMousePointer(0)"}));
    // Step 2 switched Timer2 off before the releases switched it on again.
    EXPECT_EQ(fake.calls.front(), "Timer2(off)");
    EXPECT_TRUE(frm.Text2.Enabled() && frm.VScroll2.Enabled());
    EXPECT_FALSE(frm.Text1.Enabled() || frm.VScroll1.Enabled());
}

TEST_F(Release, TheOptionsGreyTheirControlsAndSwitchTimer2AndAGreyBoxChangesNothing) {
    frm.Timer1.Tick();
    EXPECT_FALSE(frm.Text1.Enabled() || frm.VScroll1.Enabled() || frm.Timer2.Enabled());
    EXPECT_FALSE(frm.Text2.Enabled() || frm.VScroll2.Enabled());
    frm.Check1.SetValue(1);
    frm.Check2.SetValue(1);
    frm.Timer1.Tick();
    EXPECT_TRUE(frm.Text1.Enabled() && frm.VScroll1.Enabled() && frm.Timer2.Enabled());
    EXPECT_TRUE(frm.Text2.Enabled() && frm.VScroll2.Enabled());
    EXPECT_EQ(Releases(), 0);  // 41.25 % available is above 15
    frm.Check1.SetValue(2);
    frm.Check2.SetValue(2);
    AvailableKilobytes(1024);  // a grey threshold box does not test either
    frm.Timer1.Tick();
    EXPECT_TRUE(frm.Text1.Enabled() && frm.VScroll1.Enabled() && frm.Timer2.Enabled());
    EXPECT_TRUE(frm.Text2.Enabled() && frm.VScroll2.Enabled());
    EXPECT_EQ(Releases(), 0);
}

TEST_F(Release, TheThresholdReleasesOnlyStrictlyBelowOnTheComparedPercentage) {
    frm.Check2.SetValue(1);
    AvailableKilobytes(15360);  // exactly 15.00 %
    frm.Timer1.Tick();
    EXPECT_EQ(Releases(), 0);
    AvailableKilobytes(15359);  // 14.999 %
    frm.Timer1.Tick();
    EXPECT_EQ(Releases(), 1);

    // Raw 14.999999999999988 %, which is 15 to fifteen significant digits: no release.
    fake.memory.totalPhys = 9000000000000001ull * 1024;
    fake.memory.availPhys = 1349999999999999ull * 1024;
    frm.Timer1.Tick();
    EXPECT_DOUBLE_EQ(frm.Figures().comparedPercent, 15.0);
    EXPECT_EQ(Releases(), 1);
    // Ten kilobytes fewer is 14.9999999999999 % at fifteen digits: release.
    fake.memory.availPhys = 1349999999999989ull * 1024;
    frm.Timer1.Tick();
    EXPECT_EQ(Releases(), 2);

    frm.VScroll2.SetValue(1);
    AvailableKilobytes(1023);  // 0.999 % against 1
    frm.Timer1.Tick();
    EXPECT_EQ(Releases(), 3);
}

TEST_F(Release, AThresholdStillUnmetReleasesAgainOnEveryTick) {
    frm.Check2.SetValue(1);
    AvailableKilobytes(5120);  // 5 %, and the releases do not help
    clock.Advance(500);
    EXPECT_EQ(Releases(), 1);
    // Each release spends 700 ms; the next tick comes 500 ms after it ended.
    clock.Advance(1200);
    EXPECT_EQ(Releases(), 2);
    EXPECT_EQ(clock.Now(), 500 + 700 + 1200);
    clock.Advance(1200 * 8);
    EXPECT_EQ(Releases(), 10);
    EXPECT_EQ(fake.samples, 10);
    frm.Check2.SetValue(0);  // until the option goes off
    clock.Advance(5000);
    EXPECT_EQ(Releases(), 10);
}

TEST_F(Release, F9HeldReleasesOncePerTickAndOnlyBit15Counts) {
    fake.keys[0x78] = 1;  // pressed since the last poll, but up now
    clock.Advance(2000);
    EXPECT_EQ(Releases(), 0);
    fake.keys[0x78] = static_cast<std::int16_t>(0x8001);
    clock.Advance(500);
    EXPECT_EQ(Releases(), 1);
    clock.Advance(1200 * 3);
    EXPECT_EQ(Releases(), 4);
    EXPECT_EQ(fake.keyPolls, 8);
    fake.keys[0x78] = 0;
    clock.Advance(5000);
    EXPECT_EQ(Releases(), 4);
}

TEST_F(Release, Timer2CountsSecondsAndReleasesOnTheMinuteThenStartsAgain) {
    frm.Check1.SetValue(1);
    frm.VScroll1.SetValue(1);
    clock.Advance(59999);
    EXPECT_EQ(frm.IntervalSeconds(), 59);
    EXPECT_EQ(Releases(), 0);
    clock.Advance(1);
    EXPECT_EQ(Releases(), 1);
    EXPECT_EQ(frm.IntervalSeconds(), 0);
    // No second is counted during the 700 ms release; the count restarts from 0.
    clock.Advance(700 + 59000);
    EXPECT_EQ(frm.IntervalSeconds(), 59);
    EXPECT_EQ(Releases(), 1);
    clock.Advance(1000);
    EXPECT_EQ(Releases(), 2);

    // Lowering the minutes below the seconds counted releases at the next tick.
    frm.VScroll1.SetValue(5);
    clock.Advance(700 + 120000);
    EXPECT_EQ(frm.IntervalSeconds(), 120);
    frm.VScroll1.SetValue(1);
    clock.Advance(1000);
    EXPECT_EQ(Releases(), 3);
    EXPECT_EQ(frm.IntervalSeconds(), 0);
}

TEST_F(Release, TheIntervalCountSurvivesTogglesAndOtherReleases) {
    frm.Check1.SetValue(1);
    frm.VScroll1.SetValue(1);
    clock.Advance(20000);
    EXPECT_EQ(frm.IntervalSeconds(), 20);
    frm.Check1.SetValue(0);  // off: Timer2 stops at the next Timer1 tick, the count stays
    clock.Advance(30000);
    EXPECT_EQ(frm.IntervalSeconds(), 20);
    EXPECT_FALSE(frm.Timer2.Enabled());
    frm.Check1.SetValue(1);
    clock.Advance(500);  // Timer1 switches Timer2 on again; its first second is 1000 ms later
    clock.Advance(10000);
    EXPECT_EQ(frm.IntervalSeconds(), 30);

    // A user release and a threshold release neither reset the count nor let it run.
    frm.ImgOptimize.Click();
    frm.Check2.SetValue(1);
    AvailableKilobytes(5120);
    clock.Advance(500);  // the next Timer1 tick
    EXPECT_EQ(Releases(), 2);
    AvailableKilobytes(51200);
    EXPECT_EQ(frm.IntervalSeconds(), 30);
    clock.Advance(30000);
    EXPECT_EQ(Releases(), 3);  // the interval release at 60 counted seconds
    EXPECT_EQ(frm.IntervalSeconds(), 0);
}

TEST_F(Release, AfterAReleaseTheNextTimer1TickSwitchesTimer2OffAgainWhenTheIntervalIsOff) {
    clock.Advance(500);
    EXPECT_FALSE(frm.Timer2.Enabled());
    for (int i = 0; i < 5; ++i) {
        frm.mOpt->Click();
        EXPECT_TRUE(frm.Timer2.Enabled());
        clock.Advance(999);  // Timer2 would first tick at 1000 ms
        EXPECT_FALSE(frm.Timer2.Enabled());
    }
    EXPECT_EQ(frm.IntervalSeconds(), 0);
}
