#pragma once
// How long the threshold test holds back after a threshold release: a minute,
// and twice as long each time a release leaves memory below the threshold.
#include <cstdint>

namespace purgix::memory {

class ThresholdWait {
public:
    static constexpr std::uint64_t kFirstMs = 60'000;
    static constexpr std::uint64_t kLongestMs = 16 * 60'000;

    // True while the wait after the last threshold release runs (times from one monotonic clock).
    bool Holds(std::uint64_t now) const { return waiting_ && now < until_; }
    // A threshold release ended at `now`, leaving available memory still below the threshold or not.
    void Released(std::uint64_t now, bool stillBelow);
    // The threshold option went off: the next release starts the schedule afresh.
    void Reset() { *this = ThresholdWait(); }
    // The wait the last release started, 0 before any.
    std::uint64_t CurrentMs() const { return current_; }

private:
    bool waiting_ = false;
    std::uint64_t until_ = 0;
    std::uint64_t current_ = 0;
    std::uint64_t next_ = kFirstMs;  // what the next release that leaves memory below waits
};

}  // namespace purgix::memory
