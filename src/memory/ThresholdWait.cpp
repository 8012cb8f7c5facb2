#include "memory/ThresholdWait.h"

#include <algorithm>

namespace purgix::memory {

// Under lasting pressure (another program holding the memory) each release
// achieves little and costs a multi-gigabyte write: the waits grow. A release
// that lifts memory to the threshold shows the pressure is over.
void ThresholdWait::Released(std::uint64_t now, bool stillBelow) {
    current_ = stillBelow ? next_ : kFirstMs;
    next_ = stillBelow ? std::min(2 * next_, kLongestMs) : kFirstMs;
    until_ = now + current_;
    waiting_ = true;
}

}  // namespace purgix::memory
