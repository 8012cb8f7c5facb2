// The release on the real API: the block's contents, a block that cannot be
// committed, and the failure message box as the user sees it.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "app/FrmMain.h"
#include "platform/win32/BlankBlock.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Platform.h"

using purgix::win32::CommittedBlock;
using purgix::win32::FillBlanks;

namespace {

// Offsets in [from, to) that do not hold the blank's bytes 0x20, 0x00 (phase taken from `origin`).
std::size_t NotBlank(const unsigned char* origin, std::size_t from, std::size_t to) {
    std::size_t bad = 0;
    for (std::size_t i = from; i < to; ++i) bad += origin[i] != (i % 2 == 0 ? 0x20 : 0x00) ? 1 : 0;
    return bad;
}

}  // namespace

TEST(BlankBlock, FillsExactlyTheBytesAskedWithLittleEndianBlanks) {
    // A real committed block: fresh pages read as zero, so untouched bytes show.
    const std::size_t pages = 3 * 4096;
    CommittedBlock block(pages);
    ASSERT_TRUE(block);
    auto* p = static_cast<unsigned char*>(block.Data());
    const std::size_t bytes = 2 * 5001;  // 2 x ReleaseSize, not a multiple of eight
    FillBlanks(p, bytes);
    EXPECT_EQ(NotBlank(p, 0, bytes), 0u);
    for (std::size_t i = bytes; i < pages; ++i) ASSERT_EQ(p[i], 0) << "written past the end at " << i;
    std::uint16_t unit;
    std::memcpy(&unit, p + bytes - 2, 2);
    EXPECT_EQ(unit, 0x0020);

    // Any start and any length: the units keep their phase from the first byte.
    for (std::size_t start = 0; start < 9; ++start) {
        for (std::size_t len : {0u, 1u, 2u, 7u, 8u, 9u, 16u, 63u, 64u, 1001u}) {
            std::vector<unsigned char> buf(1100, 0xAB);
            FillBlanks(buf.data() + start, len);
            ASSERT_EQ(NotBlank(buf.data() + start, 0, len), 0u) << start << "+" << len;
            for (std::size_t i = 0; i < buf.size(); ++i) {
                if (i < start || i >= start + len) {
                    ASSERT_EQ(buf[i], 0xAB) << start << "+" << len << " touched " << i;
                }
            }
        }
    }
}

TEST(BlankBlock, TakesWritesAndGivesBackARealBlockAndRefusesOnePastTheAddressSpace) {
    PROCESS_MEMORY_COUNTERS before{};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    const std::uint64_t bytes = 96ull << 20;
    ASSERT_TRUE(purgix::win32::WriteBlankBlock(bytes));
    PROCESS_MEMORY_COUNTERS after{};
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    // Every page was touched (the peak rose by the block) and none is kept.
    EXPECT_GE(after.PeakWorkingSetSize, before.WorkingSetSize + bytes - (4u << 20));
    EXPECT_LT(after.WorkingSetSize, before.WorkingSetSize + (16u << 20));

    EXPECT_TRUE(purgix::win32::WriteBlankBlock(0));
    EXPECT_FALSE(purgix::win32::WriteBlankBlock(1ull << 62));
    EXPECT_FALSE(purgix::win32::WriteBlankBlock(~0ull));
}

namespace {

// What the failure box showed, gathered on the UI thread while the box's own
// modal loop runs (a thread timer fires there), then the box is closed with OK.
struct BoxSeen {
    int boxes = 0;
    std::string title;
    std::vector<std::string> texts;    // visible static texts
    std::vector<std::string> buttons;  // visible buttons
    int icons = 0;                     // visible icon statics that hold an icon
    int samplesWhileOpen = -1;
    int secondsWhileOpen = -1;
    bool timedOut = false;
};

struct BoxWatch {
    HWND form = nullptr;
    purgix::testing::FakePlatform* fake = nullptr;
    purgix::app::FrmMain* frm = nullptr;
    BoxSeen seen;
    DWORD deadline = 0;
};
BoxWatch* g_watch = nullptr;

BOOL CALLBACK FindDialog(HWND h, LPARAM found) {
    wchar_t cls[16];
    GetClassNameW(h, cls, 16);
    if (std::wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(h)) return TRUE;
    *reinterpret_cast<HWND*>(found) = h;
    return FALSE;
}

BOOL CALLBACK ReadChild(HWND h, LPARAM) {
    if (!IsWindowVisible(h)) return TRUE;
    wchar_t cls[32], text[512];
    GetClassNameW(h, cls, 32);
    GetWindowTextW(h, text, 512);
    if (_wcsicmp(cls, L"Button") == 0) g_watch->seen.buttons.push_back(purgix::win32::Narrow(text));
    if (_wcsicmp(cls, L"Static") == 0) {
        if ((GetWindowLongW(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            if (SendMessageW(h, STM_GETICON, 0, 0) != 0) ++g_watch->seen.icons;
        } else if (text[0] != L'\0') {
            g_watch->seen.texts.push_back(purgix::win32::Narrow(text));
        }
    }
    return TRUE;
}

void CALLBACK WatchForBox(HWND, UINT, UINT_PTR, DWORD) {
    BoxWatch& w = *g_watch;
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr) return;
    if (GetTickCount() > w.deadline) {  // never leave the test hanging on a box
        w.seen.timedOut = true;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
    }
    if (w.seen.boxes++ > 0) return;  // already clicked; wait for it to go
    wchar_t title[64];
    GetWindowTextW(box, title, 64);
    w.seen.title = purgix::win32::Narrow(title);
    EnumChildWindows(box, ReadChild, 0);
    // Timer messages that reach the window now must find both timers off.
    const int samples = w.fake->samples;
    const int seconds = w.frm->IntervalSeconds();
    SendMessageW(w.form, WM_TIMER, 1, 0);
    SendMessageW(w.form, WM_TIMER, 2, 0);
    w.seen.samplesWhileOpen = w.fake->samples - samples;
    w.seen.secondsWhileOpen = w.frm->IntervalSeconds() - seconds;
    HWND ok = GetDlgItem(box, IDOK);
    if (ok != nullptr)
        SendMessageW(ok, BM_CLICK, 0, 0);
    else
        PostMessageW(box, WM_COMMAND, IDOK, 0);
}

class RealRelease : public ::testing::Test {
protected:
    RealRelease() {
        fake.memory.totalPhys = 268435456;
        fake.memory.availPhys = 110727168;
        watch.form = window.Hwnd();
        watch.fake = &fake;
        watch.frm = &frm;
        g_watch = &watch;
    }
    ~RealRelease() override { g_watch = nullptr; }

    // Runs a release while a thread timer watches for the failure box.
    void ReleaseWatched() {
        watch.deadline = GetTickCount() + 15000;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, WatchForBox);
        frm.ReleaseMemory();
        KillTimer(nullptr, timer);
    }

    purgix::testing::FakePlatform fake;
    purgix::win32::Win32Platform win32{GetModuleHandleW(nullptr)};
    // The memory figures are the fake's; the block, the pointer and the message box are real.
    purgix::platform::Platform platform{fake, win32, win32, win32, win32, win32, win32, win32, fake, fake, fake};
    purgix::app::FrmMain frm{platform};
    purgix::win32::FormWindow window{frm.form, win32, false};
    BoxWatch watch;
};

}  // namespace

TEST_F(RealRelease, ASmallReleaseRunsWithoutAMessageAndRestoresPointerAndTimers) {
    frm.RefreshMEM();  // 10 % of 256 MiB: a 51 MiB block
    ReleaseWatched();
    EXPECT_EQ(frm.ReleaseSize(), 26843546);
    EXPECT_EQ(watch.seen.boxes, 0);
    EXPECT_EQ(win32.MousePointer(), purgix::ui::MousePointer::Default);
    EXPECT_TRUE(frm.Timer1.Enabled() && frm.Timer2.Enabled());
}

TEST_F(RealRelease, ABlockPastTheAddressSpaceShowsTheMessageBoxUntilOkWithTheTimersOff) {
    fake.memory.totalPhys = 1ull << 60;  // 10 %: a block of 2.3e17 bytes, which no process can commit
    fake.memory.availPhys = 1ull << 59;
    frm.RefreshMEM();
    ReleaseWatched();
    const BoxSeen& s = watch.seen;
    EXPECT_FALSE(s.timedOut);
    EXPECT_EQ(s.boxes, 1);
    EXPECT_EQ(s.title, "Purgix");
    EXPECT_EQ(s.texts, std::vector<std::string>{
                           "Out of memory now,Too much RAM to release,Please try again or setup your <Release percent>!!!"});
    EXPECT_EQ(s.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(s.icons, 0);
    EXPECT_EQ(s.samplesWhileOpen, 0);
    EXPECT_EQ(s.secondsWhileOpen, 0);
    // Closed with OK: the release returned, the box is gone, everything runs again.
    HWND left = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&left));
    EXPECT_EQ(left, nullptr);
    EXPECT_EQ(win32.MousePointer(), purgix::ui::MousePointer::Default);
    EXPECT_TRUE(frm.Timer1.Enabled() && frm.Timer2.Enabled());
}

namespace {

class Shortcut : public ::testing::Test {
protected:
    Shortcut() { fake.memory.totalPhys = 268435456; }
    int Releases() const {
        int n = 0;
        for (const auto& c : fake.calls) n += c.rfind("WriteBlankBlock(", 0) == 0 ? 1 : 0;
        return n;
    }
    bool Key(UINT message, WPARAM key, bool repeat) {
        MSG msg{window.Hwnd(), message, key, static_cast<LPARAM>(1 | (repeat ? 1u << 30 : 0u)), 0, {}};
        return window.HandleShortcut(msg);
    }
    purgix::testing::FakePlatform fake;
    purgix::win32::Win32Platform win32{GetModuleHandleW(nullptr)};
    // A fake block: the keys are what is under test.
    purgix::platform::Platform platform{fake, fake, win32, win32, win32, win32, win32, win32, fake, fake, fake};
    purgix::app::FrmMain frm{platform};
    purgix::win32::FormWindow window{frm.form, win32, false};
};

}  // namespace

TEST_F(Shortcut, F9ReleasesOncePerPressAndItsRepeatsDoNot) {
    frm.RefreshMEM();
    EXPECT_TRUE(Key(WM_KEYDOWN, VK_F9, false));
    EXPECT_EQ(Releases(), 1);
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(Key(WM_KEYDOWN, VK_F9, true));
    EXPECT_EQ(Releases(), 1);
    EXPECT_FALSE(Key(WM_KEYUP, VK_F9, true));
    EXPECT_TRUE(Key(WM_KEYDOWN, VK_F9, false));
    EXPECT_EQ(Releases(), 2);
}
