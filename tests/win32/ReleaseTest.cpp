// The release on the real API: a held F9, a block that cannot be committed and
// the failure message box as the user sees it.
#include "WindowTest.h"

#include <atomic>
#include <thread>

#include "platform/win32/BlankBlock.h"

using purgix::win32::Narrow;

namespace {

std::vector<std::string> g_seen;  // the box's title, text and OK button, and how many of its parts show

// Runs on the UI thread inside the box's modal loop: reads the box, then closes it.
void CALLBACK ReadAndCloseBox(HWND, UINT, UINT_PTR, DWORD) {
    const HWND box = FindWindowW(L"#32770", nullptr);
    if (box == nullptr || GetWindowThreadProcessId(box, nullptr) != GetCurrentThreadId()) return;
    wchar_t title[64] = {}, text[512] = {}, ok[16] = {};
    GetWindowTextW(box, title, 64);
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    GetDlgItemTextW(box, IDOK, ok, 16);
    int shown = 0;  // the parts with a text or an icon
    EnumChildWindows(box, [](HWND h, LPARAM n) -> BOOL {
        return *reinterpret_cast<int*>(n) += IsWindowVisible(h) && (GetWindowTextLengthW(h) > 0 || SendMessageW(h, STM_GETICON, 0, 0)), TRUE;
    }, reinterpret_cast<LPARAM>(&shown));
    g_seen = {Narrow(title), Narrow(text), Narrow(ok), std::to_string(shown)};
    EndDialog(box, IDOK);
}

// A real block, pointer and message box; fake memory figures; each block counted.
class RealRelease : public ::testing::Test, public purgix::platform::MemoryBlocks {
protected:
    // The real block; a test may have each worker do something first.
    purgix::platform::BlockResult WriteBlankBlock(std::uint64_t bytes) override {
        ++blocks;
        return result = purgix::win32::WriteBlankBlock(bytes, {0, UINT_MAX, nullptr, this, workerStarting});
    }
    void StopFill() override { win32.memory.StopFill(); }

    std::atomic<int> blocks = 0;
    void (*workerStarting)(void* test) = nullptr;
    purgix::platform::BlockResult result{};
    purgix::testing::FakePlatform fake;
    purgix::win32::Win32Platform win32{GetModuleHandleW(nullptr)};
    purgix::platform::Platform platform{.memory = fake, .blocks = *this, .keyboard = win32.input, .pointer = win32.input,
                                        .windows = win32.input, .locale = win32.locale, .shell = win32.shell, .pictures = win32.resources,
                                        .pictureFiles = win32.pictures, .files = win32.shell, .registry = fake, .profiles = fake,
                                        .settings = fake, .tray = fake, .instances = fake, .diagnostics = fake};
    purgix::app::FrmMain frm{platform, win32.windows};
    purgix::win32::FormWindow window{frm.form, win32, false};
};

}  // namespace

TEST_F(RealRelease, F9ReleasesOncePerPressAndABlockPastTheAddressSpaceShowsTheMessageBoxUntilOk) {
    fake.memory.totalPhys = 1 << 20;
    frm.RefreshMEM();
    for (auto [repeat, handled, total] : {std::tuple{false, true, 1}, {true, false, 1}, {true, false, 1}, {false, true, 2}}) {
        MSG msg{window.Hwnd(), WM_KEYDOWN, VK_F9, static_cast<LPARAM>(1 | (repeat ? 1u << 30 : 0u)), 0, {}};
        const bool shortcut = window.HandleShortcut(msg);
        EXPECT_EQ(std::pair(shortcut, blocks.load()), std::pair(handled, total));
    }
    fake.memory.totalPhys = 1ull << 60;  // 10 %: 2.3e17 bytes, which no process can commit
    frm.RefreshMEM();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, ReadAndCloseBox);
    frm.ReleaseMemory();
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_seen, (std::vector<std::string>{
                          "Purgix", "Out of memory now,Too much RAM to release,Please try again or setup your <Release percent>!!!", "OK",
                          "2"}));  // the text and OK: no icon, no other button
    // The release returned once the box closed.
    EXPECT_EQ(std::pair(blocks.load(), win32.input.MousePointer()), std::pair(3, purgix::ui::MousePointer::Default));
}

// Log-off during a release: the end of the session, sent from another thread while the block fills, stops the
// fill, saves and destroys the window before the send returns, within a second.
TEST_F(RealRelease, TheEndOfTheSessionDuringAFillSavesAndDestroysTheWindowAtOnce) {
    fake.memory.totalPhys = 1ull << 30;  // 10 %: a 205 MiB block
    frm.RefreshMEM();
    const HWND h = window.Hwnd();
    struct {
        DWORD took = 0;
        BOOL alive = TRUE;
        std::size_t saved = 0;
    } seen;
    // The workers take their time before they write, and the session ends meanwhile.
    static HANDLE filling = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    workerStarting = [](void*) {
        SetEvent(filling);
        Sleep(300);
    };
    std::thread logoff([&] {
        WaitForSingleObject(filling, 10000);
        const DWORD sent = GetTickCount();
        SendMessageTimeoutW(h, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, nullptr);
        seen = {GetTickCount() - sent, IsWindow(h), fake.storeWrites.size()};
    });
    frm.ReleaseMemory();
    logoff.join();
    EXPECT_EQ(std::tuple(seen.alive, seen.saved), std::tuple(FALSE, std::size_t{7})) << "saved and gone as the send returned";
    EXPECT_LE(seen.took, 1000u);
    EXPECT_EQ(result, purgix::platform::BlockResult::Stopped);
}
