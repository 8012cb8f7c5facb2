// The release and what calls it: the user's three commands, the threshold and
// interval options, and the F9 hot key polled on every tick; the log of the
// releases that ended and the notice after each.
#include <exception>
#include <limits>
#include <optional>

#include "app/FrmMain.h"
#include "memory/Release.h"
#include "tray/TrayLoad.h"

namespace purgix::app {

namespace {
constexpr int kVkF9 = 0x78;
using memory::ReleaseCause;
}  // namespace

void FrmMain::WireRelease() {
    Timer1.Tick = [this] { Timer1_Timer(); };
    Timer2.Tick = [this] { Timer2_Timer(); };
    ImgOptimize.Click = [this] { ImgOptimize_Click(); };
    mOpt->Click = [this] { mOpt_Click(); };
    mOptPOP->Click = [this] { mOptPOP_Click(); };
    mReleaseLog->Click = [this] { ShowReleaseLog(); };
    releaseLog_.Updated = [this] {
        if (FrmReleases* open = ReleasesWindow()) open->SetLines(ReleaseLines());
    };
}

void FrmMain::ImgOptimize_Click() { ReleaseMemory(ReleaseCause::Button); }

void FrmMain::mOpt_Click() {
    // Its F9 shortcut answers a press the tick would otherwise see as well.
    if (mHotKey->Checked() && IsKeyDown(kVkF9)) f9Down_ = true;
    ReleaseMemory(ReleaseCause::Menu);
}

void FrmMain::mOptPOP_Click() { ReleaseMemory(ReleaseCause::Tray); }

void FrmMain::ReleaseMemory(ReleaseCause cause) {
    // The failure message runs a modal loop, and a command that arrives through
    // it (the tray menu) must not start a second release that would switch the
    // timers back on under the open box. A closing program starts none.
    if (releasing_ || closing_) return;
    releasing_ = true;
    platform::BlockResult result = platform::BlockResult::Written;
    memory::ReleaseRecord record;
    record.cause = cause;
    platform::MemoryStatus before, after;
    std::uint64_t started = 0;
    try {
        // No sample, threshold test, key poll or counted second falls inside a release.
        Timer1.SetEnabled(false);
        Timer2.SetEnabled(false);
        platform_.pointer.SetMousePointer(ui::MousePointer::Hourglass);
        releaseSize_ = memory::ReleaseCharacters(VScroll3.Value(), record_.totalPhys);
        record.blockBytes = 2 * static_cast<std::uint64_t>(releaseSize_);
        // Samples of their own for the log: the figures on show stay the last tick's.
        platform_.memory.GlobalMemoryStatus(before);
        started = platform_.clock.Milliseconds();
        // Before the first sample the total is 0: nothing to take.
        if (releaseSize_ > 0) result = platform_.blocks.WriteBlankBlock(record.blockBytes);
    } catch (const std::exception& e) {
        platform_.diagnostics.Trace("release", e.what());
        result = platform::BlockResult::Refused;
    }
    // The shutdown ran inside the release (Exit, the end of the session) and
    // stopped it: the program is ending, its timers and windows are not to be touched.
    if (closing_) return;
    record.milliseconds = platform_.clock.Milliseconds() - started;
    platform_.memory.GlobalMemoryStatus(after);
    releasedTo_ = memory::ComparedPercent(after);
    if (result == platform::BlockResult::Refused) {
        platform_.shell.ShowMessage(memory::kReleaseFailedText, kAppTitle);
        // The box's modal loop serves an Exit or the end of the session as well.
        if (closing_) return;
    } else {
        record.endedAt = platform_.clock.LocalTime();
        record.availBefore = before.availPhys;
        record.availAfter = after.availPhys;
        if (mNotify->Checked() && NewTray) NewTray->Notice(memory::NoticeText(record, platform_.locale.Separators()), kAppTitle);
        releaseLog_.Add(record);
    }
    platform_.pointer.SetMousePointer(ui::MousePointer::Default);
    // Timer2 comes back whatever the interval option says; Timer1 ticks first and settles it.
    Timer1.SetEnabled(true);
    Timer2.SetEnabled(true);
    releasing_ = false;
}

bool FrmMain::IsKeyDown(int virtualKey) { return platform_.keyboard.GetAsyncKeyState(virtualKey) < 0; }

void FrmMain::Timer1_Timer() {
    RefreshMEM();

    const int interval = Check1.Value();
    if (interval == 0 || interval == 1) {
        Text1.SetEnabled(interval == 1);
        VScroll1.SetEnabled(interval == 1);
        Timer2.SetEnabled(interval == 1);
    }

    const int threshold = Check2.Value();
    if (threshold == 0 || threshold == 1) {
        Text2.SetEnabled(threshold == 1);
        VScroll2.SetEnabled(threshold == 1);
    }
    if (threshold != 1) thresholdWait_.Reset();
    // Strictly below: a share equal to the threshold leaves memory alone. After
    // a threshold release the test holds back for a while (ThresholdWait).
    if (threshold == 1 && figures_.comparedPercent < VScroll2.Value() && !thresholdWait_.Holds(platform_.clock.Milliseconds())) {
        ReleaseMemory(ReleaseCause::Threshold);
        if (closing_) return;
        thresholdWait_.Released(platform_.clock.Milliseconds(), releasedTo_ < VScroll2.Value());
    }

    // One release a press: a held key is seen going down once. Switched off,
    // F9 belongs to whichever program has the focus.
    if (!mHotKey->Checked()) {
        f9Down_ = false;
        return;
    }
    const bool down = IsKeyDown(kVkF9);
    const bool pressed = down && !f9Down_;
    f9Down_ = down;
    if (pressed) ReleaseMemory(ReleaseCause::F9);
}

void FrmMain::Timer2_Timer() {
    if (intervalSeconds_ < std::numeric_limits<std::int32_t>::max()) ++intervalSeconds_;
    const int limit = VScroll1.Value() * 60;
    if (intervalSeconds_ >= limit) {
        intervalSeconds_ = 0;
        ReleaseMemory(ReleaseCause::Interval);
    }
}

std::vector<std::string> FrmMain::ReleaseLines() const {
    const platform::NumberSeparators separators = platform_.locale.Separators();
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < releaseLog_.Size(); ++i) lines.push_back(releaseLog_.Line(i, separators));
    return lines;
}

// One log window at a time: a second "Release log..." brings the open one forward.
void FrmMain::ShowReleaseLog() {
    if (FrmReleases* open = ReleasesWindow()) {
        open->form.ZOrder();
        return;
    }
    releasesWindow_.reset();
    releases_ = std::make_unique<FrmReleases>(platform_, form.Icon());
    releasesWindow_ = windowFactory_.CreateFormWindow(releases_->form);
    releases_->SetLines(ReleaseLines());
    releases_->form.SetVisible(true);
}

// Before the first sample there is no figure to show: the picture stays until then.
void FrmMain::ShowTrayLoad() {
    if (!NewTray) return;
    NewTray->ShowLoad(mTrayLoad->Checked() && sampled_ ? std::optional(tray::TrayLoadOf(figures_.usedPhysPercent)) : std::nullopt);
}

void FrmMain::mTrayLoad_Click() {
    mTrayLoad->SetChecked(!mTrayLoad->Checked());
    ShowTrayLoad();
}

void FrmMain::mNotify_Click() { mNotify->SetChecked(!mNotify->Checked()); }

void FrmMain::mHotKey_Click() { mHotKey->SetChecked(!mHotKey->Checked()); }

}  // namespace purgix::app
