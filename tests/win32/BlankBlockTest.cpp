// The release block on the real API: every unit written whatever the threads,
// the thread's windows kept alive while the fill runs, a stop obeyed before
// another piece is written and the block given back, and the clicks and the
// Space, Enter, F9 and Alt presses of an impatient user dropped, Tab kept.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/win32/release/FillOptions.h"

// After <windows.h>, which the block's header brings.
#include <psapi.h>

using purgix::win32::WriteBlankBlock;
using Result = purgix::platform::BlockResult;


namespace {

std::size_t Used(SIZE_T PROCESS_MEMORY_COUNTERS::*what) {
    PROCESS_MEMORY_COUNTERS now{};
    GetProcessMemoryInfo(GetCurrentProcess(), &now, sizeof now);
    return now.*what;
}

constexpr UINT kSessionEnds = WM_APP + 5;

// Another thread comes by while the workers are held: it waits for the repaint
// that was due when the release began, asks for another, posts a command,
// sends a message and ends the session, which stops the fill. The held workers
// go on once the stop is seen waiting for them; the user clicks and presses
// keys meanwhile.
struct Visit {
    HWND window = nullptr;
    HANDLE filling = CreateEventW(nullptr, TRUE, FALSE, nullptr), ending = CreateEventW(nullptr, TRUE, FALSE, nullptr),
           ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> paints{0};
    std::atomic<bool> clicked{false};
    bool repainted = true, answered = false, endedEarly = false;
    std::size_t touched = 0;  // the working set as the stop returns, the block still held
    ~Visit() { for (HANDLE h : {filling, ending, ended}) CloseHandle(h); }
    void AwaitPaints(int n) {
        for (const DWORD end = GetTickCount() + 3000; paints < n && GetTickCount() < end;) SwitchToThread();
        repainted = repainted && paints >= n;
    }
};
Visit* g_visit = nullptr;  // the test's, for the window procedure and the fill's callbacks

LRESULT CALLBACK VisitedWindow(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NULL) g_visit->answered = true;
    if (msg == kSessionEnds) {
        SetEvent(g_visit->ending);
        purgix::win32::StopFill();
        g_visit->touched = Used(&PROCESS_MEMORY_COUNTERS::WorkingSetSize);
        SetEvent(g_visit->ended);
    }
    if (msg != WM_PAINT) return DefWindowProcW(h, msg, wp, lp);
    ValidateRect(h, nullptr);
    ++g_visit->paints;
    return 0;
}

}  // namespace

TEST(BlankBlock, EveryUnitIsABlankUpToTheLastByteWhateverTheThreadsThatStart) {
    // Bytes, threads, threads that start: 1281 pages in slices of unequal length; fewer pages than threads; an
    // odd length, whose last byte is a unit's first; one worker; two of four threads start and take it all; none
    // starts and the calling thread does it; one per processor; whole pages in equal slices.
    using Row = std::tuple<std::size_t, unsigned, unsigned>;
    const std::size_t before = Used(&PROCESS_MEMORY_COUNTERS::WorkingSetSize);
    for (auto [bytes, threads, threadsThatStart] : {Row{(5u << 20) + 2, 3, UINT_MAX}, {3 * 4096 + 2, 16, UINT_MAX}, {2 * 4096 + 1, 2, UINT_MAX},
                                                    {(3u << 20) + 6, 1, UINT_MAX}, {(4u << 20) + 2, 4, 2}, {(4u << 20) + 2, 4, 0},
                                                    {(2u << 20) + 2, 0, UINT_MAX}, {4u << 20, 2, UINT_MAX}}) {
        // Read before the block is freed, to the end of its last page: fresh pages read as zero.
        std::pair<std::size_t, std::size_t> seen{0, SIZE_MAX};  // the bytes written, the first wrong one
        const auto check = [](const void* data, std::size_t n, void* context) {
            auto& [written, wrong] = *static_cast<std::pair<std::size_t, std::size_t>*>(context);
            written = n;
            for (std::size_t i = 0; i < (n + 4095) / 4096 * 4096 && wrong == SIZE_MAX; ++i)
                if (static_cast<const unsigned char*>(data)[i] != (i < n && i % 2 == 0 ? 0x20 : 0x00)) wrong = i;
        };
        EXPECT_EQ(WriteBlankBlock(bytes, {threads, threadsThatStart, check, &seen}), Result::Written);
        EXPECT_EQ(seen, std::pair(bytes, SIZE_MAX)) << bytes << " bytes, " << threads << " threads, " << threadsThatStart;
    }
    EXPECT_LT(Used(&PROCESS_MEMORY_COUNTERS::WorkingSetSize), before + (8u << 20)) << "the blocks, written through, are given back";
    EXPECT_EQ(WriteBlankBlock(1ull << 60), Result::Refused) << "past the address space";
    // Message times wrap every 49.7 days; a release across the wrap keeps its ends.
    using purgix::win32::IsWithinTicks;
    EXPECT_TRUE(IsWithinTicks(0xFFFFFFF0, 0xFFFFFF00, 0x100) && IsWithinTicks(0x50, 0xFFFFFF00, 0x100));
    EXPECT_FALSE(IsWithinTicks(0x101, 0xFFFFFF00, 0x100) || IsWithinTicks(0xFFFFFE00, 0xFFFFFF00, 0x100));
}


TEST(BlankBlock, DuringTheFillSentMessagesAndRepaintsAreServedInputIsDroppedAndTheSessionsEndStopsItAtOnce) {
    purgix::win32::StopFill();  // no fill: nothing to stop, nothing to wait for
    Visit visit;
    g_visit = &visit;
    const WNDCLASSW wc{0, VisitedWindow, 0, 0, GetModuleHandleW(nullptr), nullptr, nullptr, nullptr, nullptr, L"PurgixBlankBlockTest"};
    RegisterClassW(&wc);
    // Off the screen: Wine then has no X window to unmap, which costs two seconds without a window manager.
    visit.window = CreateWindowW(wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, -400, -400, 40, 40, nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(visit.window);
    PostMessageW(visit.window, WM_LBUTTONDOWN, MK_LBUTTON, 1);  // before the release: not the release's
    // A repaint due as the release begins, already seen by the message loop (as the click that started it was).
    InvalidateRect(visit.window, nullptr, FALSE);
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_APP + 1, WM_APP + 1, PM_NOREMOVE);
    for (const DWORD posted = GetTickCount(); GetTickCount() == posted;) SwitchToThread();
    visit.paints = 0;
    std::thread visitor([&visit] {
        WaitForSingleObject(visit.filling, 5000);
        visit.AwaitPaints(1);
        InvalidateRect(visit.window, nullptr, FALSE);
        visit.AwaitPaints(2);
        PostMessageW(visit.window, WM_APP, 0, 0);
        SendMessageTimeoutW(visit.window, WM_NULL, 0, 0, SMTO_NORMAL, 3000, nullptr);
        SendMessageTimeoutW(visit.window, kSessionEnds, 0, 0, SMTO_NORMAL, 10000, nullptr);
    });
    // The user clicks and presses keys while the workers are held, before they write anything; then the fill is stopped.
    const auto hold = [](void*) {
        if (!g_visit->clicked.exchange(true)) {  // by the first worker only, before the visitor comes by
            for (auto [message, wp] : {std::pair<UINT, WPARAM>{WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}, {WM_LBUTTONDBLCLK, MK_LBUTTON},
                                       {WM_RBUTTONUP, 0}, {WM_NCLBUTTONDOWN, HTCAPTION}, {WM_KEYDOWN, VK_F9}, {WM_KEYDOWN, 'A'},
                                       {WM_KEYUP, VK_F9}, {WM_COMMAND, 7}, {WM_MOUSEMOVE, 0}, {WM_LBUTTONDOWN, MK_LBUTTON},
                                       {WM_KEYDOWN, VK_SPACE}, {WM_KEYUP, VK_SPACE}, {WM_KEYDOWN, VK_TAB}, {WM_KEYDOWN, VK_RETURN},
                                       {WM_SYSKEYDOWN, 'O'}, {WM_SYSCHAR, 'o'}, {WM_KEYUP, VK_TAB}})
                PostMessageW(g_visit->window, message, wp, 2);
            SetEvent(g_visit->filling);
        }
        WaitForSingleObject(g_visit->ending, 10000);
        // A stop that did not wait for the workers would be over by now.
        if (WaitForSingleObject(g_visit->ended, 200) == WAIT_OBJECT_0) g_visit->endedEarly = true;
    };
    const std::size_t before = Used(&PROCESS_MEMORY_COUNTERS::WorkingSetSize);
    EXPECT_EQ(WriteBlankBlock(256u << 20, {2, UINT_MAX, nullptr, nullptr, hold}), Result::Stopped);
    visitor.join();
    EXPECT_EQ(std::tuple(visit.answered, visit.repainted, int{visit.paints}, visit.endedEarly), std::tuple(true, true, 2, false))
        << "answered during the fill, repainted without another wake-up, twice; the stop waited for the held workers";
    EXPECT_LT(visit.touched, before + (32u << 20)) << "stopped before a piece was written: a worker that went on would touch 256 MiB";
    // Nothing posted was taken during the fill; what is not input stays where it was, the kept input goes after it.
    std::vector<std::pair<UINT, WPARAM>> left;
    while (PeekMessageW(&msg, visit.window, 0, 0, PM_REMOVE)) left.emplace_back(msg.message, msg.wParam);
    EXPECT_EQ(left, (std::vector<std::pair<UINT, WPARAM>>{
                        {WM_COMMAND, 7}, {WM_MOUSEMOVE, 0}, {WM_APP, 0}, {WM_LBUTTONDOWN, MK_LBUTTON}, {WM_KEYDOWN, 'A'},
                        {WM_KEYDOWN, VK_TAB}, {WM_KEYUP, VK_TAB}}));
    DestroyWindow(visit.window);
}
