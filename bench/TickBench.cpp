// One Timer1 tick of the real window (sample, texts, drawing and the repaint it
// causes), measured in the Windows build: time per tick, heap allocations per
// tick after the first, and growth of memory, handles and GDI objects over
// 10,000 ticks. Prints "key=value" lines for tools/bench. An argument lays
// the window out at that DPI instead of the screen's (0: the screen's); a
// second, "load", has the tray icon show the load, as Setup > Load in tray icon does;
// "chart" shows the chart page, where a tick draws the graph's new column.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "FakePlatform.h"
#include "app/FrmMain.h"
#include "platform/win32/window/FormWindow.h"
#include "platform/win32/adapters/Win32Platform.h"

namespace {
std::atomic<long long> allocations{0};
}

void* operator new(std::size_t n) {
    ++allocations;
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

SIZE_T WorkingSet() {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.WorkingSetSize;
}

}  // namespace

int main(int argc, char** argv) {
    purgix::win32::Win32Platform win32(GetModuleHandleW(nullptr));
    purgix::platform::Platform platform = win32.Bundle();
    purgix::app::FrmMain frm(platform, win32.forms);
    purgix::win32::FormWindow window(frm.form, win32, false, argc > 1 ? std::atoi(argv[1]) : 0);
    frm.Load();
    if (argc > 2 && std::strcmp(argv[2], "load") == 0) frm.mTrayLoad_Click();
    if (argc > 2 && std::strcmp(argv[2], "chart") == 0)
        while (frm.PageIndex() != 1) frm.ImgTab_Click();
    frm.Timer1.SetEnabled(false);  // the benchmark drives the ticks itself
    frm.Timer2.SetEnabled(false);
    Pump();

    auto tick = [&] {
        frm.Timer1_Timer();
        UpdateWindow(window.Hwnd());
        RedrawWindow(window.Hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    };
    tick();  // the first tick may size buffers
    Pump();

    const long long before = allocations.load();
    for (int i = 0; i < 1000; ++i) tick();
    const double allocsPerTick = static_cast<double>(allocations.load() - before) / 1000.0;

    const SIZE_T ws0 = WorkingSet();
    const DWORD gdi0 = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD user0 = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    DWORD handles0 = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles0);

    const int ticks = 10000;
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    for (int i = 0; i < ticks; ++i) {
        tick();
        if (i % 64 == 0) Pump();
    }
    QueryPerformanceCounter(&t1);
    Pump();

    DWORD handles1 = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles1);
    const double us = static_cast<double>(t1.QuadPart - t0.QuadPart) * 1e6 / static_cast<double>(f.QuadPart) / ticks;
    std::printf("tick_us=%.1f\n", us);
    std::printf("allocs_per_tick=%.3f\n", allocsPerTick);
    std::printf("ws_growth_kb=%lld\n", (static_cast<long long>(WorkingSet()) - static_cast<long long>(ws0)) / 1024);
    std::printf("gdi_growth=%ld\n", static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) - static_cast<long>(gdi0));
    std::printf("user_growth=%ld\n", static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) - static_cast<long>(user0));
    std::printf("handle_growth=%ld\n", static_cast<long>(handles1) - static_cast<long>(handles0));
    if (frm.mTrayLoad->Checked()) {
        // On a busy machine two runs differ more than the load icon costs: blocks of ticks with the load on
        // and off, taken in turn, the best block of each.
        double best[2] = {1e9, 1e9};
        for (int round = 0; round < 20; ++round)
            for (int on = 0; on < 2; ++on) {
                if (frm.mTrayLoad->Checked() != (on == 1)) frm.mTrayLoad_Click();
                QueryPerformanceCounter(&t0);
                for (int i = 0; i < 200; ++i) tick();
                QueryPerformanceCounter(&t1);
                Pump();
                best[on] = std::min(best[on], static_cast<double>(t1.QuadPart - t0.QuadPart) * 1e6 / static_cast<double>(f.QuadPart) / 200);
            }
        std::printf("best_tick_off_us=%.1f\nbest_tick_load_us=%.1f\n", best[0], best[1]);
    }
    return 0;
}
