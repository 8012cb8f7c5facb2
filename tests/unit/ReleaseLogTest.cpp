// What a release leaves behind: its line in the log, with the cause each entry
// point gives it, and the notice beside the tray icon.
#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "app/FrmMain.h"

using purgix::memory::ReleaseCause;
using Strings = std::vector<std::string>;

namespace {

constexpr std::uint64_t kMiB = 1 << 20;

class ReleaseLog : public ::testing::Test {
protected:
    ReleaseLog() {
        // 24 GiB at 10 %: a block of 4,915.2 MiB; 3,000 MiB available before each release and 7,000 after it.
        fake.memory = {.totalPhys = 24 * 1024 * kMiB, .availPhys = 3000 * kMiB};
        fake.separators = {".", ","};
        fake.blockMs = 9450;
        fake.onBlock = [this] { fake.memory.availPhys = 7000 * kMiB; };
        frm.PicTray.SetHandle(0x98);
        frm.Load();
        frm.VScroll3.SetValue(10);
        frm.Check1.SetValue(0);
        frm.Check2.SetValue(0);
        Tick();
    }
    void Tick() {
        fake.memory.availPhys = 3000 * kMiB;
        frm.Timer1.Tick();
    }
    Strings Causes() const {
        Strings causes;
        for (const auto& r : frm.Releases().Records()) causes.push_back(purgix::memory::CauseText(r.cause));
        return causes;
    }
    const purgix::platform::NotifyIconData& LastTrayCall() const { return fake.trayCalls.back().second; }

    purgix::testing::FakePlatform fake;
    purgix::app::FrmMain frm{fake.platform, fake};
};

}  // namespace

// The log's window, open throughout, follows it.
TEST_F(ReleaseLog, EachEntryPointNamesItsCauseAndEachEndedReleaseIsOneLineNewestFirstInTheUsersDigits) {
    frm.mReleaseLog->Click();
    frm.mReleaseLog->Click();  // the open one comes forward
    ASSERT_NE(frm.ReleasesWindow(), nullptr);
    EXPECT_EQ(fake.Calls("CreateFormWindow(FrmReleases)").size(), 1u);
    const auto& shown = frm.ReleasesWindow()->lstReleases.Items();
    EXPECT_EQ(shown, (Strings{purgix::app::kNoReleaseYet}));
    frm.ImgOptimize.Click();
    frm.mOpt->Click();
    frm.mOptPOP->Click();
    fake.keys[0x78] = static_cast<std::int16_t>(0x8000);
    Tick();
    fake.keys[0x78] = 0;
    frm.Check2.SetValue(1);
    frm.VScroll2.SetValue(40);  // 3,000 of 24,576 MiB is 12 %
    Tick();
    frm.Check2.SetValue(0);
    frm.Check1.SetValue(1);
    frm.VScroll1.SetValue(1);
    for (int i = 0; i < 60; ++i) frm.Timer2.Tick();
    EXPECT_EQ(Causes(), (Strings{"Interval", "Threshold", "F9", "Tray", "Menu", "Button"}));
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_EQ(shown[5], "14:03:15  Button  4.915 MiB in 9,5 s  available 3.000 \u2192 7.000 MiB");
    // A release that fails leaves no line; the log keeps the last hundred, and the clipboard gets them all.
    fake.blocksFail = true;
    frm.ImgOptimize.Click();
    EXPECT_EQ(std::pair(frm.Releases().Size(), shown.size()), std::pair(std::size_t{6}, std::size_t{6}));
    purgix::memory::ReleaseRecord r{{9, 5, 7}, ReleaseCause::F9, 1536 * kMiB - kMiB / 2, 49, 0, 1023 * kMiB};
    for (int i = 0; i < 100; ++i) frm.Releases().Add(r);
    EXPECT_EQ(frm.Releases().Size(), 100u);
    const std::string text = frm.Releases().ClipboardText({",", "."});
    EXPECT_EQ(text.substr(0, text.find("\r\n") + 2), "09:05:07  F9  1,536 MiB in 0.0 s  available 0 \u2192 1,023 MiB\r\n")
        << "whole MiB and tenths of a second, halves up";
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 100);
    EXPECT_EQ(text.find("Button"), std::string::npos) << "the oldest went first";
}

TEST_F(ReleaseLog, WhileAskedForEachEndedReleaseShowsOneQuietNoticeAndAFailureOnlyItsMessage) {
    frm.ImgOptimize.Click();
    EXPECT_EQ(LastTrayCall().flags & purgix::platform::kNifInfo, 0u) << "off by default";
    frm.mNotify->Click();
    for (auto cause : {&purgix::app::FrmMain::ImgOptimize_Click, &purgix::app::FrmMain::mOptPOP_Click}) {
        const std::size_t calls = fake.trayCalls.size();
        fake.memory.availPhys = 3000 * kMiB;
        (frm.*cause)();
        ASSERT_EQ(fake.trayCalls.size(), calls + 1);
        const auto& [operation, notice] = fake.trayCalls.back();
        EXPECT_EQ(std::tuple(operation, notice.flags, notice.infoFlags, notice.info, notice.infoTitle, purgix::platform::ShownTip(notice)),
                  std::tuple(purgix::platform::kNimModify, 0x17u, 0x90u,
                             "Released 4.915 MiB in 9,5 s. Available 3.000 MiB before, 7.000 MiB after.", "Purgix",
                             "--- Zarvex RAM Purgix 2.00 ---"));
    }
    frm.mTrayLoad->Click();  // the next call to the shell shows no notice again
    EXPECT_EQ(LastTrayCall().flags, 7u);
    fake.blocksFail = true;
    const std::size_t calls = fake.trayCalls.size();
    frm.ImgOptimize.Click();
    EXPECT_EQ(std::pair(fake.trayCalls.size(), fake.Calls("ShowMessage").size()), std::pair(calls, std::size_t{1}));
}

// The log's window before any release says so and copies nothing; a clipboard that refuses leaves a trace.
TEST(ReleasesWindow, SaysWhenThereIsNothingYetAndACopyThatFailsLeavesATrace) {
    purgix::testing::FakePlatform fake;
    purgix::app::FrmReleases log(fake.platform, nullptr);
    EXPECT_EQ(log.lstReleases.Items(), Strings{purgix::app::kNoReleaseYet});
    log.cmdCopy.Click();
    EXPECT_TRUE(fake.Calls("CopyText").empty());
    log.SetLines({"b", "a"});
    fake.copyFails = true;
    log.cmdCopy.Click();
    EXPECT_EQ(std::pair(fake.Calls("CopyText"), fake.traces), std::pair(Strings{"CopyText(b\r\na\r\n)"}, Strings{"release log: clipboard in use"}));
}
