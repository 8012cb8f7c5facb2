#include "memory/Release.h"

#include <cmath>

namespace purgix::memory {

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    const double down = std::floor(value);
    const double rest = value - down;  // exact in binary floating point
    if (rest > 0.5) return down + 1;
    if (rest < 0.5) return down;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

std::int64_t ReleaseCharacters(int percent, std::uint64_t totalPhysBytes) {
    const double size = RoundHalfEven(static_cast<double>(percent) / 100 * static_cast<double>(totalPhysBytes));
    if (std::isnan(size)) throw ReleaseSizeError("release size is not a number");
    if (size < 0) throw ReleaseSizeError("release size is negative");
    // 2^62 is exact in a double; anything at or past it cannot be addressed twice over.
    if (size >= static_cast<double>(kMaxReleaseCharacters)) throw ReleaseSizeError("release size is too large");
    return static_cast<std::int64_t>(size);
}

}  // namespace purgix::memory
