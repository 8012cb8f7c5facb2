#pragma once
// Drives timers as the message loop would, without waiting: each enabled timer
// fires every interval, and enabling one starts its interval afresh (as
// SetTimer does). Enabling and disabling are logged, so that a test can read
// them in order with the platform's calls.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/Controls.h"

namespace purgix::testing {

class FakeClock {
public:
    // Timers listed earlier fire first when two fall due at the same moment.
    FakeClock(std::vector<ui::Timer*> timers, std::vector<std::string>* log = nullptr);
    ~FakeClock();
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    // Runs every tick that falls due up to now + ms, in time order.
    void Advance(std::int64_t ms);
    // Time that passes inside a handler (a release at work): nothing fires.
    void Spend(std::int64_t ms) { now_ += ms; }
    std::int64_t Now() const { return now_; }

private:
    struct Slot;
    std::vector<std::unique_ptr<Slot>> slots_;
    std::vector<std::string>* log_;
    std::int64_t now_ = 0;
};

}  // namespace purgix::testing
