#include "platform/win32/BlankBlock.h"

#include <cstring>
#include <limits>

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

bool WriteBlankBlock(std::uint64_t bytes) {
    if (bytes == 0) return true;
    if (bytes > std::numeric_limits<std::size_t>::max()) return false;
    CommittedBlock block(static_cast<std::size_t>(bytes));
    if (!block) return false;
    FillBlanks(block.Data(), block.Size());
    return true;  // the block is released here, on the way out
}

}  // namespace purgix::win32
