#pragma once
#include <cstdint>

#include "Error.h"

namespace purgix::memory {

// A release size that cannot be had: not a number, negative, or a block too
// large to address. The release reports it like any other failure.
class ReleaseSizeError : public Error {
public:
    using Error::Error;
};

// The release percent's bounds, as its spinner has them, and the one a new user starts with.
inline constexpr int kMinReleasePercent = 10;
inline constexpr int kMaxReleasePercent = 100;
inline constexpr int kDefaultReleasePercent = 30;

// Characters per release stop below 2^62, so that the block of two bytes per
// character fits a 64-bit byte count and a 64-bit address space.
inline constexpr std::int64_t kMaxReleaseCharacters = (std::int64_t{1} << 62) - 1;

// Rounds to the nearest whole number, halves to the even neighbour, whatever
// the floating-point environment says.
double RoundHalfEven(double value);

// The release's character count: percent / 100 of the total physical bytes,
// computed in double precision and rounded half to even. Throws ReleaseSizeError.
std::int64_t ReleaseCharacters(int percent, std::uint64_t totalPhysBytes);

// The message a failed release shows.
inline constexpr const char* kReleaseFailedText =
    "Out of memory now,Too much RAM to release,Please try again or setup your <Release percent>!!!";

}  // namespace purgix::memory
