// The releases nobody clicked: the threshold's waits under lasting pressure, and
// F9 once a press or not at all; and the load the tray icon shows.
#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "app/FrmMain.h"
#include "tray/TrayLoad.h"

using purgix::memory::ReleaseCause;
using purgix::memory::ThresholdWait;
using Times = std::vector<std::uint64_t>;

namespace {

class Automatic : public ::testing::Test {
protected:
    Automatic() {
        fake.memory = {.totalPhys = 100 * 1024 * 1024, .availPhys = 10 * 1024 * 1024};  // 10 % available, threshold 40
        fake.onBlock = [this] {
            released.push_back(fake.now);
            if (lifts) fake.memory.availPhys = 50 * 1024 * 1024;
        };
        frm.Check1.SetValue(0);
        frm.Check2.SetValue(1);
        frm.VScroll2.SetValue(40);
    }
    // Ticks every half second until `until` ms, memory falling back to 10 % before each.
    void TickUntil(std::uint64_t until) {
        for (; fake.now < until; fake.now += 500) {
            fake.memory.availPhys = 10 * 1024 * 1024;
            frm.Timer1.Tick();
        }
    }
    int Releases(ReleaseCause cause) const {
        return static_cast<int>(std::count_if(frm.Releases().Records().begin(), frm.Releases().Records().end(),
                                              [cause](const auto& r) { return r.cause == cause; }));
    }

    purgix::testing::FakePlatform fake;
    purgix::app::FrmMain frm{fake.platform, fake};
    Times released;  // when each block was written
    bool lifts = false;
};

constexpr std::uint64_t kMinute = 60'000;

}  // namespace

TEST_F(Automatic, UnderLastingPressureTheThresholdWaitsAMinuteThenTwiceAsLongUpTo16MinutesAndStartsAgainWhenLiftedOrSwitchedOff) {
    TickUntil(50 * kMinute);
    EXPECT_EQ(released, (Times{0, 1 * kMinute, 3 * kMinute, 7 * kMinute, 15 * kMinute, 31 * kMinute, 47 * kMinute}));
    // Other releases are not held back, and do not move the schedule.
    frm.ImgOptimize.Click();
    EXPECT_EQ(released.size(), 8u);
    // A release that lifts memory to the threshold waits a minute, and the schedule starts again from there.
    released.clear();
    lifts = true;
    TickUntil(63 * kMinute + 1);
    lifts = false;
    TickUntil(67 * kMinute);
    EXPECT_EQ(released, (Times{63 * kMinute, 64 * kMinute, 65 * kMinute}));
    // Switched off in a wait and on again: the next tick releases.
    frm.Check2.SetValue(0);
    TickUntil(fake.now + 500);
    frm.Check2.SetValue(1);
    TickUntil(fake.now + 500);
    EXPECT_EQ(released.back(), 67 * kMinute + 500);
    EXPECT_EQ(frm.ThresholdHold().CurrentMs(), kMinute);
}

TEST_F(Automatic, F9ReleasesOnceAPressEvenHeldAPressTheMenuAnsweredIsNotSeenAgainAndSwitchedOffItIsNotPolled) {
    frm.Check2.SetValue(0);
    auto f9 = [this](bool down, int ticks) {
        fake.keys[0x78] = down ? static_cast<std::int16_t>(0x8001) : 0;
        TickUntil(fake.now + 500 * static_cast<std::uint64_t>(ticks));
    };
    f9(true, 10);  // held through the release and beyond
    f9(false, 1);
    f9(true, 1);
    EXPECT_EQ(Releases(ReleaseCause::F9), 2);
    f9(false, 1);
    fake.keys[0x78] = static_cast<std::int16_t>(0x8000);
    frm.mOpt->Click();  // the menu's F9 shortcut, the key still down at the next ticks
    f9(true, 3);
    EXPECT_EQ(std::pair(Releases(ReleaseCause::F9), Releases(ReleaseCause::Menu)), std::pair(2, 1));
    f9(false, 1);
    frm.mHotKey->Click();
    const int polls = fake.keyPolls;
    f9(true, 3);
    frm.mOpt->Click();  // inside the window the shortcut still releases
    EXPECT_EQ(std::tuple(Releases(ReleaseCause::F9), Releases(ReleaseCause::Menu), fake.keyPolls), std::tuple(2, 2, polls));
}

TEST(TrayLoad, TheWholeUsedPercentAsTheChartRoundsItAndItsLevelFrom70AndFrom90) {
    using purgix::platform::LoadLevel;
    using purgix::platform::TrayLoad;
    // 89.49999999999999 is 89.5 on 15 significant digits.
    for (const auto& [used, load] : std::initializer_list<std::pair<double, TrayLoad>>{
             {58.75, {59, LoadLevel::Normal}}, {69.49, {69, LoadLevel::Normal}}, {69.5, {70, LoadLevel::High}},
             {89.49999999999999, {90, LoadLevel::Critical}}, {89.49, {89, LoadLevel::High}}, {100.0, {100, LoadLevel::Critical}}})
        EXPECT_EQ(purgix::tray::TrayLoadOf(used), load) << used;
}

// A stored "1" draws the load from the first sample on; the shell hears again only when the figure moves; the menu
// switches it off (the picture again) and on at once; the tooltip stays the caption.
TEST(TrayLoad, AStoredOneShowsTheLoadFromTheFirstSampleAndTheShellHearsOnlyOfChanges) {
    purgix::testing::FakePlatform fake;
    fake.store["purgix\\options\\trayload"] = "1";
    purgix::app::FrmMain frm(fake.platform, fake);
    frm.PicTray.SetHandle(0x98);
    frm.Load();
    EXPECT_FALSE(fake.trayCalls.back().second.load.has_value()) << "nothing to show before the first sample";
    std::vector<std::optional<purgix::platform::TrayLoad>> shown;
    const std::size_t before = fake.trayCalls.size();
    for (std::uint64_t availPercent : {41, 41, 40, 40, 25, 10, 9}) {
        fake.memory.availPhys = fake.memory.totalPhys / 100 * availPercent;
        frm.RefreshMEM();
        if (availPercent == 40) frm.mTrayLoad->Click();  // off, then on again
    }
    for (std::size_t i = before; i < fake.trayCalls.size(); ++i) {
        shown.push_back(fake.trayCalls[i].second.load);
        EXPECT_EQ(purgix::platform::ShownTip(fake.trayCalls[i].second), frm.form.Caption());
    }
    using purgix::platform::LoadLevel;
    EXPECT_EQ(shown, (std::vector<std::optional<purgix::platform::TrayLoad>>{
                         {{59, LoadLevel::Normal}}, {{60, LoadLevel::Normal}}, std::nullopt, {{60, LoadLevel::Normal}},
                         {{75, LoadLevel::High}}, {{90, LoadLevel::Critical}}, {{91, LoadLevel::Critical}}}));
}
