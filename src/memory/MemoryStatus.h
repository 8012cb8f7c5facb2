#pragma once
#include <cstdint>

namespace purgix::memory {

// The memory-status record: byte counts as 64-bit unsigned values, so that
// machines past 2 GiB (or 4 GiB) report their real figures.
struct MemoryStatus {
    std::uint32_t length = 0;
    std::uint32_t memoryLoad = 0;
    std::uint64_t totalPhys = 0;
    std::uint64_t availPhys = 0;
    std::uint64_t totalPageFile = 0;
    std::uint64_t availPageFile = 0;
    std::uint64_t totalVirtual = 0;
    std::uint64_t availVirtual = 0;
};

}  // namespace purgix::memory
