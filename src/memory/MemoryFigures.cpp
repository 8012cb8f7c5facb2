#include "memory/MemoryFigures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace purgix::memory {

void FigureText::Append(std::string_view s) {
    const std::size_t n = std::min(s.size(), data_.size() - size_);
    std::copy_n(s.data(), n, data_.data() + size_);
    size_ += n;
}

std::uint64_t Kilobytes(std::uint64_t bytes) { return bytes / 1024 + (bytes % 1024 >= 512 ? 1 : 0); }

double RoundSignificant15(double value) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    return std::strtod(buf, nullptr);
}

void FormatGrouped(std::uint64_t value, std::string_view thousands, FigureText& out) {
    char digits[24];
    const int n = std::snprintf(digits, sizeof digits, "%llu", static_cast<unsigned long long>(value));
    out.Clear();
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out.Append(thousands);
        out.Append(std::string_view(&digits[i], 1));
    }
}

void FormatFixed2(double value, std::string_view decimal, FigureText& out) {
    out.Clear();
    if (!(value == value)) value = 0;  // NaN never reaches here from real figures; show 0.00 rather than garbage
    const bool negative = value < 0;
    // 15 significant digits as decimal text: d.dddddddddddddde+XX
    char sci[40];
    std::snprintf(sci, sizeof sci, "%.14e", negative ? -value : value);
    char mant[15];
    mant[0] = sci[0];
    std::copy_n(sci + 2, 14, mant + 1);
    const int exp10 = std::atoi(sci + 17);
    // Scale to hundredths: the digits with the point moved; round half away from zero.
    // hundredths = floor(value * 100 + 0.5), computed on the decimal digits.
    const int pointAfter = exp10 + 1 + 2;  // number of mantissa digits that form the integer part of value*100
    unsigned long long hundredths = 0;
    bool roundUp = false;
    if (pointAfter > 0) {
        for (int i = 0; i < pointAfter; ++i) hundredths = hundredths * 10 + (i < 15 ? static_cast<unsigned>(mant[i] - '0') : 0);
        roundUp = pointAfter < 15 && mant[pointAfter] >= '5';
    } else {
        roundUp = pointAfter == 0 && mant[0] >= '5';
    }
    if (roundUp) ++hundredths;
    if (negative && hundredths != 0) out.Append("-");
    char whole[24];
    std::snprintf(whole, sizeof whole, "%llu", hundredths / 100);
    out.Append(whole);
    out.Append(decimal);
    const char cents[2] = {static_cast<char>('0' + hundredths % 100 / 10), static_cast<char>('0' + hundredths % 10)};
    out.Append(std::string_view(cents, 2));
}

double ComparedPercent(const MemoryStatus& r) {
    const std::uint64_t total = Kilobytes(r.totalPhys);
    return total == 0 ? 0.0 : RoundSignificant15(static_cast<double>(Kilobytes(r.availPhys)) / static_cast<double>(total) * 100);
}

void DeriveFigures(const MemoryStatus& r, const NumberSeparators& sep, MemoryFigures& f) {
    f.totalPageFileKB = Kilobytes(r.totalPageFile);
    f.totalVirtualKB = Kilobytes(r.totalVirtual);
    f.totalPhysKB = Kilobytes(r.totalPhys);
    f.availPageFileKB = Kilobytes(r.availPageFile);
    f.availPhysKB = Kilobytes(r.availPhys);
    f.availVirtualKB = Kilobytes(r.availVirtual);
    FormatGrouped(f.totalPageFileKB, sep.thousands, f.totalPageFileText);
    FormatGrouped(f.totalVirtualKB, sep.thousands, f.totalVirtualText);
    FormatGrouped(f.totalPhysKB, sep.thousands, f.totalPhysText);
    FormatGrouped(f.availPageFileKB, sep.thousands, f.availPageFileText);
    FormatGrouped(f.availPhysKB, sep.thousands, f.availPhysText);
    FormatGrouped(f.availVirtualKB, sep.thousands, f.availVirtualText);

    auto ratio = [](std::uint64_t part, std::uint64_t whole) {
        return whole == 0 ? 0.0 : static_cast<double>(part) / static_cast<double>(whole);
    };
    const double physRatio = ratio(f.availPhysKB, f.totalPhysKB);
    f.availPageFilePercent = ratio(f.availPageFileKB, f.totalPageFileKB) * 100;
    f.availVirtualPercent = ratio(f.availVirtualKB, f.totalVirtualKB) * 100;
    f.availPhysPercent = physRatio * 100;
    f.usedPhysPercent = f.totalPhysKB == 0 ? 0.0 : (1 - physRatio) * 100;
    FormatFixed2(f.availPageFilePercent, sep.decimal, f.availPageFilePercentText);
    f.availPageFilePercentText.Append("%");
    FormatFixed2(f.availVirtualPercent, sep.decimal, f.availVirtualPercentText);
    f.availVirtualPercentText.Append("%");
    FormatFixed2(f.availPhysPercent, sep.decimal, f.availPhysPercentText);
    f.availPhysPercentText.Append("%");
    FormatFixed2(f.usedPhysPercent, sep.decimal, f.usedPhysPercentText);
    f.usedPhysPercentText.Append("%");

    f.popupStatus.Clear();
    f.popupStatus.Append("Available: ");
    f.popupStatus.Append(f.availPhysPercentText.View());
    f.graphCaption.Clear();
    f.graphCaption.Append(f.popupStatus.View());
    f.graphCaption.Append("     Used: ");
    f.graphCaption.Append(f.usedPhysPercentText.View());

    f.availFraction = RoundSignificant15(physRatio);
    f.comparedPercent = RoundSignificant15(physRatio * 100);
}

}  // namespace purgix::memory
