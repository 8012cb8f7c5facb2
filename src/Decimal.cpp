#include "Decimal.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace purgix {

void Big::Multiply(std::uint32_t factor, std::uint32_t add) {
    std::uint64_t carry = add;
    for (int i = 0; i < size_; ++i) {
        carry += static_cast<std::uint64_t>(words_[i]) * factor;
        words_[i] = static_cast<std::uint32_t>(carry);
        carry >>= 32;
    }
    if (carry != 0) words_[size_++] = static_cast<std::uint32_t>(carry);
}

void Big::MultiplyByPowerOfTen(int power) {
    for (; power >= 9; power -= 9) Multiply(1000000000);
    for (; power > 0; --power) Multiply(10);
}

void Big::ShiftLeft(int bits) {
    for (; bits >= 32 && size_ > 0; bits -= 32) {
        // The words move up by one, a zero word comes in at the bottom: times 2^32.
        for (int i = size_; i > 0; --i) words_[i] = words_[i - 1];
        words_[0] = 0;
        ++size_;
    }
    if (bits % 32 > 0) Multiply(1u << bits % 32);
}

void Big::Subtract(const Big& other) {
    std::int64_t borrow = 0;
    for (int i = 0; i < size_; ++i) {
        borrow += static_cast<std::int64_t>(words_[i]) - (i < other.size_ ? other.words_[i] : 0);
        words_[i] = static_cast<std::uint32_t>(borrow);
        borrow = borrow < 0 ? -1 : 0;
    }
    while (size_ > 0 && words_[size_ - 1] == 0) --size_;
}

int Big::BitLength() const { return size_ == 0 ? 0 : 32 * (size_ - 1) + std::bit_width(words_[size_ - 1]); }

int Compare(const Big& a, const Big& b) {
    if (a.size_ != b.size_) return a.size_ < b.size_ ? -1 : 1;
    for (int i = a.size_ - 1; i >= 0; --i)
        if (a.words_[i] != b.words_[i]) return a.words_[i] < b.words_[i] ? -1 : 1;
    return 0;
}

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr int kDigitsKept = 768;

// n x 10^exponent, where n has `digits` decimal digits (at most 768), correctly
// rounded by exact long division: the quotient's first 53 bits (fewer below
// the normal range), then the rest against one half. `more` says that non-zero
// digits after n's were dropped: the value lies above n x 10^exponent by less
// than one of its last digit, so a tie rounds up.
double Nearest(Big n, int digits, long long exponent, bool more) {
    if (exponent + digits > 309) return kInfinity;  // at least 10^309
    if (exponent + digits <= -324) return 0;        // under 10^-324, less than half the least double
    Big d(1);
    if (exponent > 0) n.MultiplyByPowerOfTen(static_cast<int>(exponent));
    if (exponent < 0) d.MultiplyByPowerOfTen(static_cast<int>(-exponent));
    int power = n.BitLength() - d.BitLength();
    if (power > 0) d.ShiftLeft(power);
    if (power < 0) n.ShiftLeft(-power);
    if (Compare(n, d) < 0) n.ShiftLeft(1), --power;
    // Now the value is n / d x 2^power with n / d in [1, 2).
    const int bits = std::min(53, power + 1075);  // below 2^-1022 the last bit stays 2^-1074
    if (bits < 0) return 0;
    std::uint64_t q = 0;
    for (int i = 0; i < bits; ++i) {
        q <<= 1;
        if (Compare(n, d) >= 0) n.Subtract(d), q |= 1;
        n.ShiftLeft(1);
    }
    const int half = Compare(n, d);  // twice the rest against one last bit
    if (half > 0 || (half == 0 && (more || q % 2 == 1))) ++q;
    if (bits < 53) return std::bit_cast<double>(q);  // q times 2^-1074; 2^52 of them is the least normal double
    if (q == 1ull << 53) q >>= 1, ++power;
    if (power > 1023) return kInfinity;
    return std::bit_cast<double>(static_cast<std::uint64_t>(power + 1023) << 52 | (q & ((1ull << 52) - 1)));
}

}  // namespace

double DecimalToDouble(bool negative, std::uint64_t significand, long long exponent) {
    // Every whole number up to 2^53 and every power of ten up to 10^22 is a
    // double, so one multiplication or division, itself correctly rounded,
    // gives the nearest double to their exact product or quotient.
    static constexpr double kExact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    double magnitude = 0;
    if (significand != 0 && significand <= 1ull << 53 && exponent >= -22 && exponent <= 22) {
        const double m = static_cast<double>(significand);
        magnitude = exponent >= 0 ? m * kExact[exponent] : m / kExact[-exponent];
    } else if (significand != 0) {
        int digits = 0;
        for (std::uint64_t s = significand; s != 0; s /= 10) ++digits;
        magnitude = Nearest(Big(significand), digits, exponent, false);
    }
    return negative ? -magnitude : magnitude;
}

double DecimalTextToDouble(std::string_view text) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) ++i;
    Big n(0);
    std::uint64_t significand = 0;  // the first nineteen, for the short way
    int kept = 0;
    long long exponent = 0;
    bool point = false, more = false;
    for (; i < text.size() && text[i] != 'e' && text[i] != 'E'; ++i) {
        if (text[i] == '.') {
            point = true;
            continue;
        }
        const auto digit = static_cast<std::uint32_t>(text[i] - '0');
        if (kept < kDigitsKept && (kept > 0 || digit != 0)) {
            n.Multiply(10, digit);
            if (kept < 19) significand = significand * 10 + digit;
            ++kept;
            if (point) --exponent;
        } else if (kept == 0) {
            if (point) --exponent;  // a leading zero after the point
        } else {
            more |= digit != 0;
            if (!point) ++exponent;
        }
    }
    if (i < text.size()) {
        ++i;
        const bool down = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        // Held at 10^15: far past any finite or non-zero double, and short of any text's length of digits.
        long long e = 0;
        for (; i < text.size(); ++i) e = std::min(e * 10 + (text[i] - '0'), 1'000'000'000'000'000LL);
        exponent += down ? -e : e;
    }
    if (kept <= 19) return DecimalToDouble(negative, significand, exponent);
    const double magnitude = Nearest(n, kept, exponent, more);
    return negative ? -magnitude : magnitude;
}

}  // namespace purgix
