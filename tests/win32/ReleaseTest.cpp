// The release on the real API: a block that cannot be committed, the failure
// message box as the user sees it, and a held F9.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "FakePlatform.h"
#include "app/FrmMain.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Platform.h"

namespace {

std::vector<std::string> g_seen;  // each box's title, then its visible children
DWORD g_deadline = 0;

BOOL CALLBACK FindBox(HWND h, LPARAM found) {
    wchar_t cls[16];
    GetClassNameW(h, cls, 16);
    if (std::wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(h)) return TRUE;
    *reinterpret_cast<HWND*>(found) = h;
    return FALSE;
}

BOOL CALLBACK ReadChild(HWND h, LPARAM) {
    wchar_t cls[32], text[512];
    GetClassNameW(h, cls, 32);
    GetWindowTextW(h, text, 512);
    const bool icon = (GetWindowLongW(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && SendMessageW(h, STM_GETICON, 0, 0) != 0;
    const std::string kind = icon ? "icon" : _wcsicmp(cls, L"Button") == 0 ? "button:" : "text:";
    if (IsWindowVisible(h) && (icon || text[0] != L'\0')) g_seen.push_back(kind + (icon ? "" : purgix::win32::Narrow(text)));
    return TRUE;
}

// Runs on the UI thread inside the box's modal loop: reads the box, then closes it with OK.
void CALLBACK WatchForBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr) return;
    if (GetTickCount() > g_deadline) {  // never leave the test hanging on a box
        g_seen.push_back("timed out");
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
    }
    wchar_t title[64];
    GetWindowTextW(box, title, 64);
    g_seen.push_back(purgix::win32::Narrow(title));
    EnumChildWindows(box, ReadChild, 0);
    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}

// A real block, pointer and message box; fake memory figures; each block counted.
class RealRelease : public ::testing::Test, public purgix::platform::MemoryBlocks {
protected:
    RealRelease() { g_seen.clear(); }
    bool WriteBlankBlock(std::uint64_t bytes) override {
        ++blocks;
        return win32.WriteBlankBlock(bytes);
    }
    void ReleaseWatched() {
        g_deadline = GetTickCount() + 15000;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, WatchForBox);
        frm.ReleaseMemory();
        KillTimer(nullptr, timer);
    }

    int blocks = 0;
    purgix::testing::FakePlatform fake;
    purgix::win32::Win32Platform win32{GetModuleHandleW(nullptr)};
    purgix::platform::Platform platform{.memory = fake, .blocks = *this, .keyboard = win32, .windows = win32, .locale = win32, .shell = win32, .pictures = win32, .pictureFiles = win32, .files = win32, .registry = fake, .profiles = fake, .settings = fake, .tray = win32, .windowFactory = win32};
    purgix::app::FrmMain frm{platform};
    purgix::win32::FormWindow window{frm.form, win32, false};
};

}  // namespace

TEST_F(RealRelease, ASmallBlockIsWrittenThroughAndOnePastTheAddressSpaceShowsTheMessageBoxUntilOk) {
    frm.RefreshMEM();
    ReleaseWatched();  // 10 % of 256 MiB: a 51 MiB block, taken without a message
    EXPECT_EQ(g_seen, std::vector<std::string>{});
    fake.memory.totalPhys = 1ull << 60;  // 10 %: 2.3e17 bytes, which no process can commit
    frm.RefreshMEM();
    ReleaseWatched();
    EXPECT_EQ(blocks, 2);
    EXPECT_EQ(g_seen, (std::vector<std::string>{
                          "Purgix", "button:OK",
                          "text:Out of memory now,Too much RAM to release,Please try again or setup your <Release percent>!!!"}));
    EXPECT_EQ(win32.MousePointer(), purgix::ui::MousePointer::Default);  // the release returned once OK closed the box
}

TEST_F(RealRelease, F9ReleasesOncePerPressAndItsRepeatsDoNot) {
    fake.memory.totalPhys = 1 << 20;
    frm.RefreshMEM();
    for (auto [repeat, handled, total] : {std::tuple{false, true, 1}, {true, false, 1}, {true, false, 1}, {false, true, 2}}) {
        MSG msg{window.Hwnd(), WM_KEYDOWN, VK_F9, static_cast<LPARAM>(1 | (repeat ? 1u << 30 : 0u)), 0, {}};
        EXPECT_EQ(window.HandleShortcut(msg), handled);
        EXPECT_EQ(blocks, total);
    }
}
