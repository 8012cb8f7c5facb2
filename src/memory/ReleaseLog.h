#pragma once
// This run's releases: what started each, how large it was, how long it took
// and what it left, kept newest first for the log window and the notice.
#include <cstddef>
#include <cstdint>
#include <vector>
#include <functional>
#include <string>

#include "memory/NumberSeparators.h"
#include "platform/Platform.h"

namespace purgix::memory {

// Where a release was started from.
enum class ReleaseCause { Button, Menu, Tray, F9, Threshold, Interval };

// The cause as the log writes it.
const char* CauseText(ReleaseCause cause);

struct ReleaseRecord {
    platform::TimeOfDay endedAt;
    ReleaseCause cause = ReleaseCause::Button;
    std::uint64_t blockBytes = 0;
    std::uint64_t milliseconds = 0;
    std::uint64_t availBefore = 0, availAfter = 0;  // available physical bytes
};

// "4,821 MiB in 9.5 s" and the rest, in the user's separators.
std::string LogLine(const ReleaseRecord& r, const NumberSeparators& separators);
std::string NoticeText(const ReleaseRecord& r, const NumberSeparators& separators);

class ReleaseLog {
public:
    static constexpr std::size_t kKept = 100;

    // Puts the record first; the oldest goes beyond kKept. Raises Updated.
    void Add(const ReleaseRecord& record);
    // Newest first.
    const std::vector<ReleaseRecord>& Records() const { return records_; }
    std::size_t Size() const { return records_.size(); }
    std::string Line(std::size_t index, const NumberSeparators& separators) const { return LogLine(records_.at(index), separators); }
    // Every line, newest first, each ended by CR LF as the clipboard's text has it.
    std::string ClipboardText(const NumberSeparators& separators) const;

    // Raised after each release that ended: a window showing the log reads it anew.
    std::function<void()> Updated;

private:
    std::vector<ReleaseRecord> records_;
};

}  // namespace purgix::memory
