// The release block on the real API: every unit written whatever the threads,
// written through to physical memory, the thread's windows kept alive while
// the fill runs, and the clicks and F9 presses of an impatient user dropped.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/win32/BlankBlock.h"

using purgix::win32::FillOptions;
using purgix::win32::WriteBlankBlock;

namespace {

// Reads the block back before it is freed.
struct ReadBack {
    int calls = 0;
    std::size_t bytes = 0;
    std::size_t firstWrong = SIZE_MAX;

    static void Check(const void* data, std::size_t bytes, void* context) {
        auto& r = *static_cast<ReadBack*>(context);
        ++r.calls;
        r.bytes = bytes;
        const auto* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < bytes && r.firstWrong == SIZE_MAX; ++i)
            if (p[i] != (i % 2 == 0 ? 0x20 : 0x00)) r.firstWrong = i;
    }
};

HWND MessageWindow() { return CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr); }

}  // namespace

TEST(BlankBlock, FillsExactlyTheBytesAskedWithLittleEndianBlanks) {
    purgix::win32::CommittedBlock block(3 * 4096);  // fresh pages read as zero, so any byte written past the end shows
    ASSERT_TRUE(block);
    const auto* p = static_cast<const unsigned char*>(block.Data());
    const std::size_t bytes = 2 * 5001;  // 2 x ReleaseSize, not a multiple of eight
    purgix::win32::FillBlanks(block.Data(), bytes);
    for (std::size_t i = 0; i < block.Size(); ++i) ASSERT_EQ(p[i], i < bytes && i % 2 == 0 ? 0x20 : 0x00) << "at " << i;
}

TEST(BlankBlock, EveryUnitIsWrittenWhateverTheThreadsThatStart) {
    const struct {
        std::size_t bytes;
        unsigned threads, threadsThatStart;
    } rows[] = {
        {4u << 20, 2, UINT_MAX},
        {(5u << 20) + 2, 3, UINT_MAX},  // 1281 pages: three slices of unequal length
        {3 * 4096 + 2, 16, UINT_MAX},   // fewer pages than threads
        {2 * 4096 + 1, 2, UINT_MAX},    // an odd length: the last byte is a unit's first
        {(3u << 20) + 6, 1, UINT_MAX},  // the calling thread alone
        {(4u << 20) + 2, 4, 2},         // two of four threads start: they take it all
        {(4u << 20) + 2, 4, 0},         // none starts: the calling thread does it
        {(2u << 20) + 2, 0, UINT_MAX},  // one per processor
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.bytes << " bytes, " << row.threads << " threads, " << row.threadsThatStart << " start");
        ReadBack r;
        EXPECT_TRUE(WriteBlankBlock(row.bytes, {row.threads, row.threadsThatStart, ReadBack::Check, &r}));
        EXPECT_EQ(r.calls, 1);
        EXPECT_EQ(r.bytes, row.bytes);
        EXPECT_EQ(r.firstWrong, SIZE_MAX);
    }
    ReadBack none;
    EXPECT_FALSE(WriteBlankBlock(1ull << 60, {2, UINT_MAX, ReadBack::Check, &none}));  // no process can commit that
    EXPECT_EQ(none.calls, 0);
}

TEST(BlankBlock, TheBlockIsWrittenThroughToPhysicalMemory) {
    PROCESS_MEMORY_COUNTERS before{}, after{};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    // Earlier tests may have set the high-water mark: the block must rise above it.
    const std::size_t bytes = (before.PeakWorkingSetSize - before.WorkingSetSize + (32u << 20)) & ~std::size_t{0xFFFFF};
    ASSERT_LE(bytes, 512u << 20);
    ASSERT_TRUE(WriteBlankBlock(bytes));
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    EXPECT_GE(after.PeakWorkingSetSize, before.WorkingSetSize + bytes);
}

namespace {

std::atomic<int> g_paints;
LARGE_INTEGER g_answered;

LRESULT CALLBACK NoteVisits(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NULL) QueryPerformanceCounter(&g_answered);
    if (msg != WM_PAINT) return DefWindowProcW(h, msg, wp, lp);
    PAINTSTRUCT ps;
    BeginPaint(h, &ps);
    EndPaint(h, &ps);
    ++g_paints;
    return 0;
}

// Another thread comes by while the fill is held. It waits for the repaint
// that was due when the release began, asks for another, posts a command and
// sends a message; the fill goes on once it has its answer.
struct Visit {
    HWND window;
    HANDLE filling = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE visited = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool repainted = false, answered = false;
    LARGE_INTEGER filled{};
    ~Visit() {
        CloseHandle(filling);
        CloseHandle(visited);
    }
    static bool AwaitPaints(int n) {
        for (const DWORD end = GetTickCount() + 3000; g_paints < n && GetTickCount() < end;) SwitchToThread();
        return g_paints >= n;
    }
    static DWORD WINAPI Visitor(void* p) {
        auto& v = *static_cast<Visit*>(p);
        WaitForSingleObject(v.filling, 5000);
        v.repainted = AwaitPaints(1);
        InvalidateRect(v.window, nullptr, FALSE);
        v.repainted = AwaitPaints(2) && v.repainted;
        PostMessageW(v.window, WM_APP, 0, 0);
        v.answered = SendMessageTimeoutW(v.window, WM_NULL, 0, 0, SMTO_NORMAL, 3000, nullptr) != 0;
        SetEvent(v.visited);
        return 0;
    }
    static void Hold(void* p) {
        auto& v = *static_cast<Visit*>(p);
        SetEvent(v.filling);
        WaitForSingleObject(v.visited, 5000);
    }
    static void Written(const void*, std::size_t, void* p) { QueryPerformanceCounter(&static_cast<Visit*>(p)->filled); }
};

}  // namespace

TEST(BlankBlock, WhileTheFillRunsTheThreadAnswersAndRepaintsButTakesNothingPosted) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = NoteVisits;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PurgixBlankBlockTest";
    RegisterClassW(&wc);
    // Off the screen: Wine then has no X window to unmap, which costs two seconds without a window manager.
    HWND window = CreateWindowW(wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, -400, -400, 40, 40, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    UpdateWindow(window);
    // A repaint due as the release begins, already seen by the message loop (as the click that started it was).
    InvalidateRect(window, nullptr, FALSE);
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_APP + 1, WM_APP + 1, PM_NOREMOVE);
    g_paints = 0;

    Visit visit{window};
    HANDLE thread = CreateThread(nullptr, 0, Visit::Visitor, &visit, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    FillOptions options{2, UINT_MAX, Visit::Written, &visit, Visit::Hold};
    ASSERT_TRUE(WriteBlankBlock(8u << 20, options));
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);

    EXPECT_TRUE(visit.answered);
    EXPECT_LT(g_answered.QuadPart, visit.filled.QuadPart) << "answered only after the fill";
    EXPECT_TRUE(visit.repainted) << "a repaint waited for something else to wake the thread";
    EXPECT_EQ(g_paints, 2);
    EXPECT_TRUE(PeekMessageW(&msg, window, WM_APP, WM_APP, PM_REMOVE)) << "the posted command did not wait";
    DestroyWindow(window);
    UnregisterClassW(wc.lpszClassName, wc.hInstance);
}

TEST(BlankBlock, ClicksAndF9DuringTheReleaseAreDroppedAndTheRestKeptInOrder) {
    HWND window = MessageWindow();
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, 1);  // before the release: not the release's
    for (const DWORD posted = GetTickCount(); GetTickCount() == posted;) {
    }
    const auto impatient = [](const void*, std::size_t, void* w) {
        const HWND h = static_cast<HWND>(w);
        for (int i = 0; i < 10; ++i) {
            PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, 2);
            PostMessageW(h, WM_LBUTTONUP, 0, 2);
        }
        PostMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, 2);
        PostMessageW(h, WM_RBUTTONUP, 0, 2);
        PostMessageW(h, WM_NCLBUTTONDOWN, HTCAPTION, 2);
        PostMessageW(h, WM_KEYDOWN, VK_F9, 1);
        PostMessageW(h, WM_KEYDOWN, 'A', 1);
        PostMessageW(h, WM_KEYUP, VK_F9, 1);
        PostMessageW(h, WM_COMMAND, 7, 0);
        PostMessageW(h, WM_MOUSEMOVE, 0, 2);
    };
    ASSERT_TRUE(WriteBlankBlock(1u << 20, {2, UINT_MAX, impatient, window}));
    std::vector<std::pair<UINT, WPARAM>> left;
    for (MSG msg; PeekMessageW(&msg, window, 0, 0, PM_REMOVE);) left.emplace_back(msg.message, msg.wParam);
    // Messages outside the input ranges stay where they were; the kept input is put back after them.
    const std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_COMMAND, 7}, {WM_MOUSEMOVE, 0}, {WM_LBUTTONDOWN, MK_LBUTTON}, {WM_KEYDOWN, 'A'}};
    EXPECT_EQ(left, expected);
    DestroyWindow(window);
}

TEST(BlankBlock, TickComparisonsSurviveTheWrapAround) {
    const struct {
        DWORD time, start, end;
        bool within;
    } rows[] = {
        {100, 100, 200, true},          {200, 100, 200, true},       {99, 100, 200, false},
        {201, 100, 200, false},         {0xFFFFFFF0, 0xFFFFFF00, 0x100, true},
        {0x50, 0xFFFFFF00, 0x100, true}, {0x101, 0xFFFFFF00, 0x100, false}, {0xFFFFFE00, 0xFFFFFF00, 0x100, false},
    };
    for (const auto& r : rows) EXPECT_EQ(purgix::win32::IsWithinTicks(r.time, r.start, r.end), r.within) << r.time << " in " << r.start << ".." << r.end;
}

namespace {

// The session ends while the fill is held: the handler's wait must last until
// the fill is done, which only happens once the handler is seen waiting.
struct SessionEnd {
    HANDLE filling = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE waiting = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> returned{false};
    bool returnedEarly = false;
    bool waited = false;
    ~SessionEnd() {
        for (HANDLE h : {filling, waiting, go}) CloseHandle(h);
    }
    static SessionEnd* current;
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg != WM_APP + 5) return DefWindowProcW(h, msg, wp, lp);
        SetEvent(current->waiting);
        current->waited = purgix::win32::FinishFillInProgress();
        current->returned = true;
        return 0;
    }
    static DWORD WINAPI Ender(void* p) {
        auto& s = *static_cast<SessionEnd*>(p);
        WaitForSingleObject(s.filling, 5000);
        HWND window = FindWindowW(L"PurgixSessionEndTest", nullptr);
        SendMessageTimeoutW(window, WM_APP + 5, 0, 0, SMTO_NORMAL, 10000, nullptr);
        return 0;
    }
    static DWORD WINAPI Watcher(void* p) {
        auto& s = *static_cast<SessionEnd*>(p);
        WaitForSingleObject(s.waiting, 5000);
        Sleep(200);  // time enough for a wait that does not wait to return
        s.returnedEarly = s.returned;
        SetEvent(s.go);
        return 0;
    }
    static void Hold(void* p) {
        auto& s = *static_cast<SessionEnd*>(p);
        SetEvent(s.filling);
        WaitForSingleObject(s.go, 10000);
    }
};
SessionEnd* SessionEnd::current = nullptr;

}  // namespace

TEST(BlankBlock, TheSessionsEndWaitsForTheFillInProgress) {
    EXPECT_FALSE(purgix::win32::FinishFillInProgress()) << "no fill, nothing to wait for";
    WNDCLASSW wc{};
    wc.lpfnWndProc = SessionEnd::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PurgixSessionEndTest";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
    SessionEnd end;
    SessionEnd::current = &end;
    HANDLE threads[] = {CreateThread(nullptr, 0, SessionEnd::Ender, &end, 0, nullptr),
                        CreateThread(nullptr, 0, SessionEnd::Watcher, &end, 0, nullptr)};
    ASSERT_TRUE(WriteBlankBlock(8u << 20, {2, UINT_MAX, nullptr, &end, SessionEnd::Hold}));
    WaitForMultipleObjects(2, threads, TRUE, INFINITE);
    for (HANDLE h : threads) CloseHandle(h);
    EXPECT_TRUE(end.waited);
    EXPECT_FALSE(end.returnedEarly) << "the session's end ran inside the release";
    DestroyWindow(window);
    UnregisterClassW(wc.lpszClassName, wc.hInstance);
}
