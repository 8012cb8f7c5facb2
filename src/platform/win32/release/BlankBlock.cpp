#include "platform/win32/release/BlankBlock.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "platform/win32/release/FillOptions.h"
#include "ui/ReleaseKeys.h"

namespace purgix::win32 {

void FillBlanks(void* start, std::size_t bytes) noexcept {
    auto* p = static_cast<unsigned char*>(start);
    auto byteAt = [](std::size_t offset) -> unsigned char { return offset % 2 == 0 ? 0x20 : 0x00; };
    std::size_t i = 0;
    for (; i < bytes && reinterpret_cast<std::uintptr_t>(p + i) % alignof(std::uint64_t) != 0; ++i) p[i] = byteAt(i);

    // Eight bytes a store: fresh pages cost far more to fault in than to write,
    // and this keeps the writing itself off the critical path. The word keeps
    // the units' phase when the block began at an odd address.
    unsigned char pattern[8];
    for (std::size_t k = 0; k < 8; ++k) pattern[k] = byteAt(i + k);
    std::uint64_t word;
    std::memcpy(&word, pattern, sizeof word);
    auto* q = reinterpret_cast<std::uint64_t*>(p + i);
    const std::size_t words = (bytes - i) / 8;
    for (std::size_t w = 0; w < words; ++w) q[w] = word;
    i += words * 8;

    for (; i < bytes; ++i) p[i] = byteAt(i);
}

namespace {

static_assert(ui::kVkTab == VK_TAB && ui::kVkReturn == VK_RETURN && ui::kVkShift == VK_SHIFT && ui::kVkControl == VK_CONTROL &&
              ui::kVkMenu == VK_MENU && ui::kVkSpace == VK_SPACE && ui::kVkF9 == VK_F9);

std::optional<ui::KeyMessage> KeyKind(UINT message) {
    switch (message) {
        case WM_KEYDOWN: return ui::KeyMessage::Down;
        case WM_KEYUP: return ui::KeyMessage::Up;
        case WM_CHAR: return ui::KeyMessage::Char;
        case WM_SYSKEYDOWN: return ui::KeyMessage::SysDown;
        case WM_SYSKEYUP: return ui::KeyMessage::SysUp;
        case WM_SYSCHAR: return ui::KeyMessage::SysChar;
        default: return std::nullopt;  // dead keys and the rest: left as they were
    }
}

struct Slice {
    unsigned char* start = nullptr;
    std::size_t bytes = 0;
    const FillOptions* options = nullptr;
    const std::atomic<bool>* stop = nullptr;
};

DWORD WINAPI FillSlice(void* slice) {
    const auto* s = static_cast<const Slice*>(slice);
    if (s->options->sliceStarting != nullptr) s->options->sliceStarting(s->options->context);
    // In whole pieces, which start on a page and so keep the units' phase.
    for (std::size_t at = 0; at < s->bytes && !s->stop->load(std::memory_order_relaxed); at += kFillPiece)
        FillBlanks(s->start + at, std::min(kFillPiece, s->bytes - at));
    return 0;
}

unsigned LogicalProcessors() {
    DWORD n = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
    if (n == 0) {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        n = si.dwNumberOfProcessors;
    }
    return n;
}

std::size_t PageSize() {
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    return si.dwPageSize;
}

// Sent messages (another thread's SendMessage, a screen reader's question)
// and repaints; nothing posted and no input is taken, so no command can start
// inside the release.
void ServeSentAndPaint() {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    // A window that never validates itself would come back at once: bounded.
    for (int i = 0; i < 64 && PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE | PM_QS_PAINT); ++i) DispatchMessageW(&msg);
}

// After serving, the threads alone may wake this one for this long: on two
// cores every wake takes a core from the fill, and a program that asks every
// few milliseconds would otherwise have it wake as often.
constexpr DWORD kServeEveryMs = 20;

void WaitServingWindows(HANDLE* threads, DWORD count) {
    ServeSentAndPaint();  // what was already waiting does not wake the wait below
    const auto ended = [&](DWORD r) {
        if (r >= WAIT_OBJECT_0 + count) return false;
        std::swap(threads[r - WAIT_OBJECT_0], threads[count - 1]);
        --count;
        return true;
    };
    while (count > 0) {
        const DWORD r = MsgWaitForMultipleObjectsEx(count, threads, INFINITE, QS_SENDMESSAGE | QS_PAINT, 0);
        if (ended(r)) continue;
        if (r != WAIT_OBJECT_0 + count) {
            WaitForMultipleObjects(count, threads, TRUE, INFINITE);
            return;
        }
        ServeSentAndPaint();
        ended(WaitForMultipleObjects(count, threads, FALSE, kServeEveryMs));
    }
}

// Giving gigabytes back takes the system a while as well.
DWORD WINAPI FreeBlock(void* data) {
    VirtualFree(data, 0, MEM_RELEASE);
    return 0;
}

// The fill this thread is waiting for, while it waits: what StopFill stops.
struct Fill {
    HANDLE threads[kMaxFillThreads] = {};
    DWORD count = 0;
    std::atomic<bool> stop{false};
};
thread_local Fill* current = nullptr;

// Fills the block on as many threads as start, the calling thread serving
// its windows meanwhile; fills it alone when none does.
void FillInParallel(unsigned char* data, std::size_t bytes, unsigned wanted, const FillOptions& options, Fill& fill) {
    const std::size_t page = PageSize();
    const std::size_t pages = (bytes + page - 1) / page;
    HANDLE* threads = fill.threads;
    Slice slices[kMaxFillThreads];
    unsigned started = 0;
    // Suspended until every slice is known: the slices are cut for the threads that exist.
    while (started < wanted && started < options.threadsThatStart && started < pages) {
        HANDLE h = CreateThread(nullptr, 64 * 1024, FillSlice, &slices[started], CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION,
                                nullptr);
        if (h == nullptr) break;
        threads[started++] = h;
    }
    if (started == 0) {
        FillBlanks(data, bytes);
        return;
    }
    std::size_t at = 0;
    for (unsigned i = 0; i < started; ++i) {
        const std::size_t share = pages / started + (i < pages % started ? 1 : 0);
        slices[i] = {data + at, std::min(share * page, bytes - at), &options, &fill.stop};
        at += slices[i].bytes;
    }
    for (unsigned i = 0; i < started; ++i) ResumeThread(threads[i]);
    HANDLE waiting[kMaxFillThreads];
    std::copy(threads, threads + started, waiting);
    fill.count = started;
    current = &fill;
    WaitServingWindows(waiting, started);
    current = nullptr;
    for (unsigned i = 0; i < started; ++i) CloseHandle(threads[i]);
}

// Clicks queued while the release ran would each start one more release once
// it returns, and so would Space, Enter, F9 and Alt's keys: they go (which
// keys, ui::DroppedAfterRelease decides). Everything else in the same message
// ranges (Tab and the other keys, input from before the release) is put back
// in order.
void DropReleaseInput(DWORD start) {
    // Whatever is queued now was made before now. The bound only tells input
    // from before the release apart across a tick-count wrap, so it is generous:
    // a message's time comes from the window server's clock, which Wine lets run
    // a tick ahead of this thread's GetTickCount.
    const DWORD end = GetTickCount() + 1000;
    std::vector<MSG> kept;
    std::vector<MSG> keys;
    std::vector<ui::QueuedKey> queued;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE | PM_NOYIELD)) {
        const auto kind = KeyKind(msg.message);
        if (!kind || !IsWithinTicks(msg.time, start, end)) {
            kept.push_back(msg);
            continue;
        }
        keys.push_back(msg);
        queued.push_back({*kind, static_cast<int>(msg.wParam)});
    }
    const std::vector<bool> dropped = ui::DroppedAfterRelease(queued);
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (!dropped[i]) kept.push_back(keys[i]);
    for (const auto& [first, last] : {std::pair<UINT, UINT>{WM_LBUTTONDOWN, WM_MBUTTONDBLCLK}, {WM_NCLBUTTONDOWN, WM_NCMBUTTONDBLCLK}})
        while (PeekMessageW(&msg, nullptr, first, last, PM_REMOVE | PM_NOYIELD))
            if (!IsWithinTicks(msg.time, start, end)) kept.push_back(msg);
    // Back in the order they came, across the ranges (an insertion sort: a handful at most, each range in order already).
    const auto age = [start](const MSG& m) { return static_cast<LONG>(m.time - start); };
    for (std::size_t i = 1; i < kept.size(); ++i)
        for (std::size_t j = i; j > 0 && age(kept[j]) < age(kept[j - 1]); --j) std::swap(kept[j], kept[j - 1]);
    for (const MSG& m : kept) PostMessageW(m.hwnd, m.message, m.wParam, m.lParam);
}

}  // namespace

void StopFill() {
    Fill* fill = current;
    if (fill == nullptr) return;
    fill->stop = true;
    // The workers end within a piece, a few milliseconds. Nothing is served
    // meanwhile: a second close (a log-off after Exit) would otherwise run
    // inside the first one's shutdown, before it has saved anything.
    if (fill->count > 0) WaitForMultipleObjects(fill->count, fill->threads, TRUE, INFINITE);
}

platform::BlockResult WriteBlankBlock(std::uint64_t bytes, const FillOptions& options) {
    if (bytes == 0) return platform::BlockResult::Written;
    if (bytes > std::numeric_limits<std::size_t>::max()) return platform::BlockResult::Refused;
    const DWORD start = GetTickCount();
    Fill fill;
    {
        CommittedBlock block(static_cast<std::size_t>(bytes));
        if (!block) return platform::BlockResult::Refused;
        const unsigned threads = std::min(options.threads != 0 ? options.threads : LogicalProcessors(), kMaxFillThreads);
        // Even one processor gets a worker: this thread keeps the windows answering and can stop the fill.
        FillInParallel(static_cast<unsigned char*>(block.Data()), block.Size(), std::max(threads, 1u), options, fill);
        if (options.written != nullptr && !fill.stop) options.written(block.Data(), block.Size(), options.context);
        // A thread of its own gives the block back while this one goes on serving; a stopped
        // release (the program is ending) gives it back here, serving nothing more.
        if (!fill.stop) {
            if (HANDLE freeing = CreateThread(nullptr, 64 * 1024, FreeBlock, block.Data(), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr)) {
                block.Release();
                WaitServingWindows(&freeing, 1);
                CloseHandle(freeing);
            }
        }
    }  // freed by now: the release has given the memory back
    DropReleaseInput(start);
    return fill.stop ? platform::BlockResult::Stopped : platform::BlockResult::Written;
}

platform::BlockResult WriteBlankBlock(std::uint64_t bytes) { return WriteBlankBlock(bytes, FillOptions{}); }

}  // namespace purgix::win32
