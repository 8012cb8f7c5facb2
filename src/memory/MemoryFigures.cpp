#include "memory/MemoryFigures.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Decimal.h"

namespace purgix::memory {

void FigureText::Append(std::string_view s) {
    const std::size_t n = std::min(s.size(), data_.size() - size_);
    std::copy_n(s.data(), n, data_.data() + size_);
    size_ += n;
}

std::uint64_t Kilobytes(std::uint64_t bytes) { return bytes / 1024 + (bytes % 1024 >= 512 ? 1 : 0); }

namespace {

void AppendDecimal(std::uint64_t value, FigureText& out) {
    char digits[20];
    std::size_t n = 0;
    do digits[sizeof digits - ++n] = static_cast<char>('0' + value % 10);
    while ((value /= 10) != 0);
    out.Append(std::string_view(digits + sizeof digits - n, n));
}

}  // namespace

Significant15 Digits15(double value) {
    Significant15 out;
    out.digits.fill('0');
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    std::uint64_t mantissa = bits & ((1ull << 52) - 1);
    const int biased = static_cast<int>(bits >> 52 & 0x7FF);
    if (biased == 0 && mantissa == 0) return out;
    int exponent2 = biased == 0 ? -1074 : biased - 1075;  // value = mantissa * 2^exponent2
    if (biased != 0) mantissa |= 1ull << 52;
    // The exact value as the fraction n / d, then scaled by a power of ten into [1, 10).
    Big n(mantissa), d(1);
    if (exponent2 > 0) n.ShiftLeft(exponent2);
    if (exponent2 < 0) d.ShiftLeft(-exponent2);
    int length = 0;  // the mantissa's bits
    for (std::uint64_t m = mantissa; m != 0; m >>= 1) ++length;
    // log10(2) a little under, so that the guess is never too high by more than one.
    int power = static_cast<int>(std::floor((exponent2 + length - 1) * 0.30102999566398));
    if (power > 0) d.MultiplyByPowerOfTen(power);
    if (power < 0) n.MultiplyByPowerOfTen(-power);
    Big ten = d;
    ten.Multiply(10);
    while (Compare(n, ten) >= 0) d.Multiply(10), ten.Multiply(10), ++power;
    while (Compare(n, d) < 0) n.Multiply(10), --power;
    for (std::size_t i = 0; i < out.digits.size(); ++i) {
        char digit = '0';
        while (Compare(n, d) >= 0) n.Subtract(d), ++digit;
        out.digits[i] = digit;
        n.Multiply(i + 1 < out.digits.size() ? 10 : 2);  // after the last digit: twice the rest, against d
    }
    const int half = Compare(n, d);
    if (half > 0 || (half == 0 && (out.digits.back() - '0') % 2 == 1)) {
        std::size_t i = out.digits.size();
        while (i > 0 && out.digits[i - 1] == '9') out.digits[--i] = '0';
        if (i == 0) {
            out.digits[0] = '1';
            ++power;
        } else {
            ++out.digits[i - 1];
        }
    }
    out.exponent = power;
    return out;
}

double RoundSignificant15(double value) {
    const Significant15 s = Digits15(value);
    std::uint64_t significand = 0;
    for (char digit : s.digits) significand = significand * 10 + static_cast<unsigned>(digit - '0');
    return DecimalToDouble(value < 0, significand, s.exponent - 14);
}

void FormatGrouped(std::uint64_t value, std::string_view thousands, FigureText& out) {
    FigureText digits;
    AppendDecimal(value, digits);
    const std::string_view d = digits.View();
    out.Clear();
    for (std::size_t i = 0; i < d.size(); ++i) {
        if (i > 0 && (d.size() - i) % 3 == 0) out.Append(thousands);
        out.Append(d.substr(i, 1));
    }
}

void FormatFixed2(double value, std::string_view decimal, FigureText& out) {
    out.Clear();
    if (!(value == value)) value = 0;  // NaN never reaches here from real figures; show 0.00 rather than garbage
    const bool negative = value < 0;
    const Significant15 s = Digits15(value);
    // Scale to hundredths: the digits with the point moved; round half away from zero.
    // hundredths = floor(value * 100 + 0.5), computed on the decimal digits.
    const int pointAfter = s.exponent + 1 + 2;  // number of mantissa digits that form the integer part of value*100
    unsigned long long hundredths = 0;
    bool roundUp = false;
    if (pointAfter > 0) {
        for (int i = 0; i < pointAfter; ++i) hundredths = hundredths * 10 + (i < 15 ? static_cast<unsigned>(s.digits[i] - '0') : 0);
        roundUp = pointAfter < 15 && s.digits[pointAfter] >= '5';
    } else {
        roundUp = pointAfter == 0 && s.digits[0] >= '5';
    }
    if (roundUp) ++hundredths;
    if (negative && hundredths != 0) out.Append("-");
    AppendDecimal(hundredths / 100, out);
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
