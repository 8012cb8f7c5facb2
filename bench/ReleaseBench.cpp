// The release's write speed against the machine's limit: bytes per second of
// WriteBlankBlock (commit, blank fill, free) over those of a plain memset of a
// freshly committed block of the same size, in the same run; and the wall time
// of one whole release at the design default of 10 % of physical memory.
// Prints "key=value" lines for tools/bench.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/FrmMain.h"
#include "platform/win32/BlankBlock.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/Win32Platform.h"

namespace {

double Seconds() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// The limit: a fresh block, committed the same way, filled by the C library.
bool PlainFill(std::size_t bytes) {
    purgix::win32::CommittedBlock block(bytes);
    if (!block) return false;
    std::memset(block.Data(), 0x20, bytes);
    return true;
}

}  // namespace

int main() {
    struct Size {
        const char* key;
        std::size_t bytes;
    } sizes[] = {{"64m", 64ull << 20}, {"512m", 512ull << 20}, {"2g", 2ull << 30}};
    for (const Size& s : sizes) {
        // Alternate the two, best of five each: the machine is shared.
        double release = 1e9, plain = 1e9;
        for (int round = 0; round < 5; ++round) {
            double t0 = Seconds();
            if (!purgix::win32::WriteBlankBlock(s.bytes)) return 1;
            release = std::min(release, Seconds() - t0);
            t0 = Seconds();
            if (!PlainFill(s.bytes)) return 1;
            plain = std::min(plain, Seconds() - t0);
        }
        std::printf("release_gbps_%s=%.2f\n", s.key, static_cast<double>(s.bytes) / release / 1e9);
        std::printf("plain_gbps_%s=%.2f\n", s.key, static_cast<double>(s.bytes) / plain / 1e9);
        std::printf("ratio_%s=%.2f\n", s.key, plain / release);
    }

    // One release of the real program at 10 %, through ReleaseMemory.
    purgix::win32::Win32Platform win32(GetModuleHandleW(nullptr));
    purgix::platform::Platform platform = win32.Bundle();
    purgix::app::FrmMain frm(platform);
    purgix::win32::FormWindow window(frm.form, win32, false);
    frm.VScroll3.SetValue(10);
    frm.RefreshMEM();
    const double t0 = Seconds();
    frm.ReleaseMemory();
    const double wall = Seconds() - t0;
    std::printf("release_bytes_default=%lld\n", static_cast<long long>(2 * frm.ReleaseSize()));
    std::printf("release_ms_default=%.0f\n", wall * 1000);
    return 0;
}
