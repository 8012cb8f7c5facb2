#pragma once
// The release's block on Windows: one VirtualAlloc, written through with
// blanks by every core, given back at once.
#include <windows.h>

#include <climits>
#include <cstddef>
#include <cstdint>

#include "platform/Platform.h"

namespace purgix::win32 {

// Writes U+0020 (bytes 0x20, 0x00) into every 16-bit unit from the first byte
// to the last; an odd last byte gets the 0x20 of its unit.
void FillBlanks(void* start, std::size_t bytes) noexcept;

// Pages reserved and committed by one VirtualAlloc, released when it goes.
class CommittedBlock {
public:
    explicit CommittedBlock(std::size_t bytes)
        : data_(bytes == 0 ? nullptr : VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)), size_(bytes) {}
    ~CommittedBlock() {
        if (data_ != nullptr) VirtualFree(data_, 0, MEM_RELEASE);
    }
    CommittedBlock(const CommittedBlock&) = delete;
    CommittedBlock& operator=(const CommittedBlock&) = delete;

    explicit operator bool() const { return data_ != nullptr; }
    void* Data() const { return data_; }
    std::size_t Size() const { return size_; }
    // Another owner frees it from now on.
    void Release() { data_ = nullptr; }

private:
    void* data_;
    std::size_t size_;
};

// More threads than this only queue up on the same page-fault path.
inline constexpr unsigned kMaxFillThreads = 16;
// The workers look for a stop between pieces of this size: a few milliseconds each.
inline constexpr std::size_t kFillPiece = 4u << 20;

// Takes `bytes` bytes, blanks them all and frees them. Refused when the block
// cannot be committed (too large for the address space or the commit limit);
// Stopped when StopFill was called meanwhile.
//
// The fill runs on worker threads, one contiguous page-aligned slice each,
// while the calling thread answers sent messages and repaints its windows;
// posted messages and input wait. Afterwards, clicks and the keys that would
// start a release (Space, Enter, F9, Alt's) made during it are dropped, so
// that impatience does not queue more releases; Tab and the like stay. Only
// when no worker can be started does the calling thread fill alone.
platform::BlockResult WriteBlankBlock(std::uint64_t bytes);

// Stops the fill this thread is waiting for (from a handler served meanwhile):
// the workers finish the piece they are writing, and this returns once they
// have all stopped, serving no message meanwhile. Nothing happens when there is no fill.
void StopFill();

// True when a message time stamp lies in [start, end], GetTickCount values
// that wrap every 49.7 days.
constexpr bool IsWithinTicks(DWORD time, DWORD start, DWORD end) { return time - start <= end - start; }

}  // namespace purgix::win32
