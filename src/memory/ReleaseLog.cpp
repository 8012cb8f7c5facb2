#include "memory/ReleaseLog.h"

#include "memory/MemoryFigures.h"

namespace purgix::memory {

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

// Whole MiB, halves up: a block of 10 % of 8 GiB is 819.2 MiB, shown as 819.
std::uint64_t Mebibytes(std::uint64_t bytes) { return bytes / kMiB + (bytes % kMiB >= kMiB / 2 ? 1 : 0); }

void AppendMiB(std::string& out, std::uint64_t bytes, const NumberSeparators& sep) {
    FigureText t;
    FormatGrouped(Mebibytes(bytes), sep.thousands, t);
    out += t.View();
}

// Seconds to one decimal, halves up: 9,450 ms is "9.5".
void AppendSeconds(std::string& out, std::uint64_t ms, const NumberSeparators& sep) {
    const std::uint64_t tenths = (ms + 50) / 100;
    FigureText t;
    FormatGrouped(tenths / 10, sep.thousands, t);
    out += t.View();
    out += sep.decimal;
    out += static_cast<char>('0' + tenths % 10);
}

void AppendTwoDigits(std::string& out, int n) {
    out += static_cast<char>('0' + n / 10 % 10);
    out += static_cast<char>('0' + n % 10);
}

}  // namespace

const char* CauseText(ReleaseCause cause) {
    switch (cause) {
        case ReleaseCause::Button: return "Button";
        case ReleaseCause::Menu: return "Menu";
        case ReleaseCause::Tray: return "Tray";
        case ReleaseCause::F9: return "F9";
        case ReleaseCause::Threshold: return "Threshold";
        case ReleaseCause::Interval: return "Interval";
    }
    return "";
}

std::string LogLine(const ReleaseRecord& r, const NumberSeparators& sep) {
    std::string out;
    AppendTwoDigits(out, r.endedAt.hour);
    out += ':';
    AppendTwoDigits(out, r.endedAt.minute);
    out += ':';
    AppendTwoDigits(out, r.endedAt.second);
    out += "  ";
    out += CauseText(r.cause);
    out += "  ";
    AppendMiB(out, r.blockBytes, sep);
    out += " MiB in ";
    AppendSeconds(out, r.milliseconds, sep);
    out += " s  available ";
    AppendMiB(out, r.availBefore, sep);
    out += " \xE2\x86\x92 ";  // U+2192, the arrow, in UTF-8
    AppendMiB(out, r.availAfter, sep);
    out += " MiB";
    return out;
}

std::string NoticeText(const ReleaseRecord& r, const NumberSeparators& sep) {
    std::string out = "Released ";
    AppendMiB(out, r.blockBytes, sep);
    out += " MiB in ";
    AppendSeconds(out, r.milliseconds, sep);
    out += " s. Available ";
    AppendMiB(out, r.availBefore, sep);
    out += " MiB before, ";
    AppendMiB(out, r.availAfter, sep);
    out += " MiB after.";
    return out;
}

void ReleaseLog::Add(const ReleaseRecord& record) {
    records_.insert(records_.begin(), record);  // a hundred small records: moving them costs nothing
    if (records_.size() > kKept) records_.pop_back();
    if (Updated) Updated();
}

std::string ReleaseLog::ClipboardText(const NumberSeparators& separators) const {
    std::string out;
    for (const ReleaseRecord& r : records_) out += LogLine(r, separators) + "\r\n";
    return out;
}

}  // namespace purgix::memory
