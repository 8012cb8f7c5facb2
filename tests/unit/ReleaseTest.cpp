// The release, its three commands, and the two timers that release on their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <tuple>
#include <utility>

#include "FakePlatform.h"
#include "app/FrmMain.h"

using Calls = std::vector<std::string>;

namespace {

// A release's calls, timers' switching included: the block (none when 0), then the failure message if any.
Calls Cycle(std::uint64_t block, bool failed = false) {
    Calls c{"Timer1(off)", "Timer2(off)", "SetMousePointer(11)"};
    if (block > 0) c.push_back("WriteBlankBlock(" + std::to_string(block) + ")");
    if (failed)
        c.push_back("ShowMessage(Out of memory now,Too much RAM to release,Please try again or setup your <Release percent>!!!,Purgix)");
    c.insert(c.end(), {"SetMousePointer(0)", "Timer1(on)", "Timer2(on)"});
    return c;
}

struct TimerLog : purgix::ui::Peer {
    TimerLog(purgix::ui::Timer& t, Calls& log) : timer(t), calls(log) { t.Attach(this); }
    void Sync(purgix::ui::Change) override { calls.push_back(timer.Name() + (timer.Enabled() ? "(on)" : "(off)")); }
    purgix::ui::Timer& timer;
    Calls& calls;
};

class Release : public ::testing::Test {
protected:
    Release() { fake.onBlock = [this] { during.push_back({fake.samples, fake.keyPolls}); }; }
    Calls Take() { return std::exchange(fake.calls, {}); }
    int Releases() const { return static_cast<int>(fake.Calls("SetMousePointer(11)").size()); }
    void Available(std::uint64_t kb, std::uint64_t totalKb = 102400) { fake.memory = {.totalPhys = totalKb * 1024, .availPhys = kb * 1024}; }
    // Ticks as a clock delivers them: none while the timer is off.
    static void Tick(purgix::ui::Timer& t, int n) { while (n-- > 0 && t.Enabled()) t.Tick(); }

    purgix::testing::FakePlatform fake;
    purgix::app::FrmMain frm{fake.platform, fake};
    TimerLog log1{frm.Timer1, fake.calls}, log2{frm.Timer2, fake.calls};
    std::vector<std::pair<int, int>> during;  // samples and key polls seen by each block
};

}  // namespace

TEST_F(Release, EachCommandWritesTwiceTheLastSampledSizeAndAFailureShowsTheMessageOnceIgnoringCommandsWhileItIsOpen) {
    frm.ImgOptimize.Click();  // before the first sample: nothing to take, timers and pointer still cycle
    EXPECT_EQ(Take(), Cycle(0));
    frm.RefreshMEM();
    frm.VScroll3.SetValue(40);
    frm.mOpt->Click();
    EXPECT_EQ(Take(), Cycle(214748364));
    fake.memory.totalPhys = 1ull << 40;  // not sampled: the release sizes from the last sample
    frm.VScroll3.SetValue(10);
    fake.blocksFail = true;
    fake.onMessage = [this] { frm.mOptPOP->Click(); };  // the tray menu still works under a modal box
    frm.mOptPOP->Click();
    EXPECT_EQ(Take(), Cycle(53687092, true));
    fake.memory.totalPhys = std::numeric_limits<std::uint64_t>::max();  // a size that cannot be represented
    frm.RefreshMEM();
    frm.VScroll3.SetValue(100);
    frm.ReleaseMemory(purgix::memory::ReleaseCause::Menu);
    EXPECT_EQ(Take(), Cycle(0, true));
}

TEST_F(Release, EachTickSamplesSettlesAndGreysTheOptionsThenReleasesStrictlyBelowTheThresholdAndOnceForAHeldF9) {
    frm.Check2.SetValue(1);
    Available(5120);  // 5 % < 15, and the releases do not help
    fake.keys[0x78] = static_cast<std::int16_t>(0x8001);
    // The first tick's threshold release judges that tick's sample, and F9 is polled after it; each release takes
    // a sample of its own before its block. Then the threshold waits and the held key is the same press.
    Tick(frm.Timer1, 3);
    EXPECT_EQ(during, (std::vector<std::pair<int, int>>{{2, 0}, {4, 1}}));
    EXPECT_EQ(fake.calls.front(), "Timer2(off)");  // the interval option settled before the releases
    frm.Check2.SetValue(0);
    fake.keys[0x78] = 1;  // pressed since the last poll but up now: only bit 15 counts
    Tick(frm.Timer1, 3);
    EXPECT_EQ(Releases(), 2);
    // A grey box leaves its controls and Timer2 as they were; the threshold releases only strictly below it.
    for (auto [box, kb, totalKb, threshold, on, release] : {
             std::tuple{0, 1024ull, 102400ull, 15, false, 0}, {1, 1024ull, 102400ull, 15, true, 1}, {2, 1024ull, 102400ull, 15, true, 0},
             {1, 15360ull, 102400ull, 15, true, 0}, {1, 15359ull, 102400ull, 15, true, 1},  // exactly 15 %, just under
             {1, 1500000000000000ull, 10000000000000002ull, 15, true, 0},                   // 14.999999999999996
             {1, 1499999999999990ull, 10000000000000000ull, 15, true, 1},                   // 14.9999999999999
             {1, 1024ull, 102400ull, 1, true, 0}}) {
        frm.Check1.SetValue(box);
        frm.Check2.SetValue(box);
        frm.VScroll2.SetValue(threshold);
        Available(kb, totalKb);
        fake.now += purgix::memory::ThresholdWait::kLongestMs;  // past any wait
        const int before = Releases();
        frm.Timer1.Tick();
        EXPECT_EQ(std::tuple(frm.Text1.Enabled(), frm.VScroll1.Enabled(), frm.Timer2.Enabled(), frm.Text2.Enabled(), frm.VScroll2.Enabled(),
                             Releases() - before), std::tuple(on, on, on, on, on, release))
            << kb << " of " << totalKb << " KB against " << threshold << ", box " << box;
    }
}

// Timer2 ticks once a second, Timer1 twice.
TEST_F(Release, TheIntervalCountsSecondsAcrossTogglesAndOtherReleasesAndRestartsAfterItsOwn) {
    EXPECT_EQ(std::pair(frm.Timer1.Interval(), frm.Timer2.Interval()), std::pair(500u, 1000u));
    frm.Check1.SetValue(1);
    frm.VScroll1.SetValue(1);
    Tick(frm.Timer2, 59);
    EXPECT_EQ(Releases(), 0);
    Tick(frm.Timer2, 21);  // the 60th second releases and the count starts again
    EXPECT_EQ(std::pair(Releases(), frm.IntervalSeconds()), std::pair(1, 20));
    frm.Check1.SetValue(0);  // neither the option's toggling nor a user or threshold release touches the count
    Tick(frm.Timer1, 1);
    EXPECT_FALSE(frm.Timer2.Enabled());
    frm.Check1.SetValue(1);
    frm.ImgOptimize.Click();
    frm.Check2.SetValue(1);
    Available(5120);
    Tick(frm.Timer1, 1);
    EXPECT_EQ(Releases(), 3);
    frm.VScroll1.SetValue(5);
    Tick(frm.Timer2, 41);
    EXPECT_EQ(frm.IntervalSeconds(), 61);
    frm.VScroll1.SetValue(1);  // lowered below the count: the next second releases
    Tick(frm.Timer2, 1);
    EXPECT_EQ(std::pair(Releases(), frm.IntervalSeconds()), std::pair(4, 0));
}

// The end of the session (or Exit) is served inside the release: it stops the fill, saves once, and the
// release then touches no timer, pointer or box of a program that is ending; nothing starts another release.
TEST_F(Release, AShutdownDuringTheFillStopsItSavesOnceAndTheReleaseThenTouchesNothing) {
    frm.Check2.SetValue(1);
    Available(5120);
    fake.keys[0x78] = static_cast<std::int16_t>(0x8000);  // F9 held as well: a second release in the same tick
    fake.onBlock = [this] { frm.form.Unload(); };
    frm.Timer1.Tick();
    const Calls calls = Take();
    const auto at = std::find(calls.begin(), calls.end(), "StopFill(filling)");
    ASSERT_NE(at, calls.end());
    EXPECT_EQ(Calls(calls.begin(), at), (Calls{"Timer2(off)", "Timer1(off)", "SetMousePointer(11)", "WriteBlankBlock(20971520)"}));
    // The shutdown's steps (this window never loaded: no skin list, no icon), and nothing after them.
    EXPECT_EQ(Calls(at + 1, calls.end()), (Calls{"SaveSetting(LessC)", "SaveSetting(Less)", "SaveSetting(intervalC)", "SaveSetting(interval)",
                                                 "SaveSetting(Precent)", "SaveSetting(StayOnTop)", "SaveSetting(Minimized)",
                                                 "SaveSetting(TrayLoad)", "SaveSetting(Notify)", "SaveSetting(HotKey)",
                                                 "DeleteValue(Purgix)", "DeleteValue(Purgix)"}));  // machine and user Run values
}
