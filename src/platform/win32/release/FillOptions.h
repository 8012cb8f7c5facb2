#pragma once
// What the tests and the benchmark force in a fill that the release leaves at
// its defaults. Only they, and the fill itself, include this.
#include <climits>
#include <cstddef>
#include <cstdint>

#include "platform/win32/release/BlankBlock.h"

namespace purgix::win32 {

// How one block is written: the defaults are the release's.
struct FillOptions {
    unsigned threads = 0;                 // 0: one per logical processor, at most kMaxFillThreads
    unsigned threadsThatStart = UINT_MAX;  // later thread starts fail as if CreateThread had
    // Runs on the calling thread once every unit is written, before the block is freed.
    void (*written)(const void* data, std::size_t bytes, void* context) = nullptr;
    void* context = nullptr;
    // Runs on each worker thread before it fills its slice.
    void (*sliceStarting)(void* context) = nullptr;
};

// WriteBlankBlock with the fill forced as the options say.
platform::BlockResult WriteBlankBlock(std::uint64_t bytes, const FillOptions& options);

}  // namespace purgix::win32
