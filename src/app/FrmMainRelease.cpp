// The release and what calls it: the user's three commands, the threshold and
// interval options, and the F9 hot key polled on every tick.
#include <exception>
#include <limits>

#include "app/FrmMain.h"
#include "memory/Release.h"

namespace purgix::app {

namespace {
constexpr int kVkF9 = 0x78;
}

void FrmMain::WireRelease() {
    Timer1.Tick = [this] { Timer1_Timer(); };
    Timer2.Tick = [this] { Timer2_Timer(); };
    ImgOptimize.Click = [this] { ImgOptimize_Click(); };
    mOpt->Click = [this] { mOpt_Click(); };
    mOptPOP->Click = [this] { mOptPOP_Click(); };
}

void FrmMain::ImgOptimize_Click() { ReleaseMemory(); }
void FrmMain::mOpt_Click() { ReleaseMemory(); }
void FrmMain::mOptPOP_Click() { ReleaseMemory(); }

void FrmMain::ReleaseMemory() {
    // The failure message runs a modal loop, and a command that arrives through
    // it (the tray menu) must not start a second release that would switch the
    // timers back on under the open box. A closing program starts none.
    if (releasing_ || closing_) return;
    releasing_ = true;
    platform::BlockResult result = platform::BlockResult::Written;
    try {
        // No sample, threshold test, key poll or counted second falls inside a release.
        Timer1.SetEnabled(false);
        Timer2.SetEnabled(false);
        platform_.pointer.SetMousePointer(ui::MousePointer::Hourglass);
        releaseSize_ = memory::ReleaseCharacters(VScroll3.Value(), record_.totalPhys);
        // Before the first sample the total is 0: nothing to take.
        if (releaseSize_ > 0) result = platform_.blocks.WriteBlankBlock(2 * static_cast<std::uint64_t>(releaseSize_));
    } catch (const std::exception&) {
        result = platform::BlockResult::Refused;
    }
    // The shutdown ran inside the release (Exit, the end of the session) and
    // stopped it: the program is ending, its timers and windows are not to be touched.
    if (closing_) return;
    if (result == platform::BlockResult::Refused) {
        platform_.shell.ShowMessage(memory::kReleaseFailedText, kAppTitle);
        // The box's modal loop serves an Exit or the end of the session as well.
        if (closing_) return;
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
    // Strictly below: a share equal to the threshold leaves memory alone.
    if (threshold == 1 && figures_.comparedPercent < VScroll2.Value()) ReleaseMemory();

    if (IsKeyDown(kVkF9)) ReleaseMemory();
}

void FrmMain::Timer2_Timer() {
    if (intervalSeconds_ < std::numeric_limits<std::int32_t>::max()) ++intervalSeconds_;
    const int limit = VScroll1.Value() * 60;
    if (intervalSeconds_ >= limit) {
        intervalSeconds_ = 0;
        ReleaseMemory();
    }
}

}  // namespace purgix::app
