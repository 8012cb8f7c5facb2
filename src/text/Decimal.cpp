#include "text/Decimal.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

namespace purgix::text {

namespace {

// An unsigned whole number of any size, 32 bits a word, lowest first; zero is empty.
using Big = std::vector<std::uint32_t>;

void MulAdd(Big& n, std::uint32_t factor, std::uint32_t add) {
    std::uint64_t carry = add;
    for (std::uint32_t& w : n) {
        carry += std::uint64_t{w} * factor;
        w = static_cast<std::uint32_t>(carry);
        carry >>= 32;
    }
    if (carry != 0) n.push_back(static_cast<std::uint32_t>(carry));
}

// Divides in place; the remainder.
std::uint32_t DivSmall(Big& n, std::uint32_t divisor) {
    std::uint64_t rem = 0;
    for (std::size_t i = n.size(); i-- > 0;) {
        const std::uint64_t cur = rem << 32 | n[i];
        n[i] = static_cast<std::uint32_t>(cur / divisor);
        rem = cur % divisor;
    }
    while (!n.empty() && n.back() == 0) n.pop_back();
    return static_cast<std::uint32_t>(rem);
}

// Multiplies by base^count in steps of base^step, the largest power under 2^32.
void MulPow(Big& n, std::uint32_t base, std::uint32_t step, long long count) {
    std::uint32_t big = 1;
    for (std::uint32_t i = 0; i < step; ++i) big *= base;
    for (; count >= step; count -= step) MulAdd(n, big, 0);
    for (; count > 0; --count) MulAdd(n, base, 0);
}

void ShiftLeft(Big& n, long long bits) {
    if (n.empty()) return;
    n.insert(n.begin(), static_cast<std::size_t>(bits / 32), 0);
    if (bits % 32 != 0) MulAdd(n, std::uint32_t{1} << (bits % 32), 0);
}

long long BitLength(const Big& n) {
    return n.empty() ? 0 : 32 * static_cast<long long>(n.size()) - std::countl_zero(n.back());
}

bool Bit(const Big& n, long long i) { return (n[static_cast<std::size_t>(i / 32)] >> (i % 32) & 1) != 0; }

// A magnitude's exact decimal digits: the value is 0.digits x 10^(point).
struct Expansion {
    std::string digits;
    long long point = 0;
};

Expansion Expand(double value) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const int biased = static_cast<int>(bits >> 52 & 0x7ff);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    // value = m x 2^e exactly
    const std::uint64_t m = biased == 0 ? fraction : fraction | std::uint64_t{1} << 52;
    const int e = biased == 0 ? -1074 : biased - 1075;
    Expansion x;
    if (m == 0) return x;
    Big n{static_cast<std::uint32_t>(m), static_cast<std::uint32_t>(m >> 32)};
    if (n.back() == 0) n.pop_back();
    // m x 2^e = m x 5^-e / 10^-e
    if (e >= 0)
        ShiftLeft(n, e);
    else
        MulPow(n, 5, 13, -e);
    while (!n.empty()) {
        std::uint32_t chunk = DivSmall(n, 1000000000);
        for (int i = 0; i < 9; ++i, chunk /= 10) x.digits += static_cast<char>('0' + chunk % 10);
    }
    while (x.digits.back() == '0') x.digits.pop_back();  // the leading zeros, while reversed
    std::reverse(x.digits.begin(), x.digits.end());
    x.point = static_cast<long long>(x.digits.size()) + std::min(e, 0);
    return x;
}

// Keeps the first `keep` digits (none when keep <= 0), rounding halves to even
// on the exact value. A carry past the first digit adds a leading "1".
void RoundTo(Expansion& x, long long keep) {
    const auto size = static_cast<long long>(x.digits.size());
    if (keep >= size) {
        x.digits.append(static_cast<std::size_t>(keep - size), '0');
        return;
    }
    bool up = false;
    if (keep >= 0) {
        const auto k = static_cast<std::size_t>(keep);
        const bool beyondHalf = x.digits.find_first_not_of('0', k + 1) != std::string::npos;
        const bool odd = k > 0 && (x.digits[k - 1] - '0') % 2 == 1;
        up = x.digits[k] > '5' || (x.digits[k] == '5' && (beyondHalf || odd));
    }
    x.digits.resize(static_cast<std::size_t>(std::max(keep, 0LL)));
    if (!up) return;
    std::size_t i = x.digits.size();
    while (i > 0 && x.digits[i - 1] == '9') x.digits[--i] = '0';
    if (i > 0) {
        ++x.digits[i - 1];
    } else {
        x.digits.insert(0, 1, '1');
        ++x.point;
    }
}

std::string Sign(double value) { return std::signbit(value) ? "-" : ""; }

}  // namespace

std::string Scientific(double value, int decimals) {
    if (!std::isfinite(value)) return Sign(value) + (std::isnan(value) ? "nan" : "inf");
    Expansion x = Expand(value);
    if (x.digits.empty()) x = {"0", 1};
    RoundTo(x, decimals + 1);
    x.digits.resize(static_cast<std::size_t>(decimals) + 1);  // a carry's extra zero
    std::string out = Sign(value) + x.digits[0];
    if (decimals > 0) out += '.' + x.digits.substr(1);
    const long long exponent = x.point - 1;
    out += exponent < 0 ? "e-" : "e+";
    const std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
    return out + (digits.size() < 2 ? "0" : "") + digits;
}

std::string Fixed(double value, int decimals) {
    if (!std::isfinite(value)) return Sign(value) + (std::isnan(value) ? "nan" : "inf");
    Expansion x = Expand(value);
    RoundTo(x, x.point + decimals);
    // Zeros in front until the point falls after the first digit.
    if (x.point < 1) {
        x.digits.insert(0, static_cast<std::size_t>(1 - x.point), '0');
        x.point = 1;
    }
    x.digits.resize(static_cast<std::size_t>(x.point + decimals), '0');
    std::string out = Sign(value) + x.digits.substr(0, static_cast<std::size_t>(x.point));
    if (decimals > 0) out += '.' + x.digits.substr(static_cast<std::size_t>(x.point));
    return out;
}

bool ParseDecimal(std::string_view text, double& out) {
    std::size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    auto isDigit = [&](std::size_t at) { return at < text.size() && text[at] >= '0' && text[at] <= '9'; };
    std::string digits;  // significant ones, without leading zeros
    long long scale = 0;  // value = digits x 10^scale
    std::size_t count = 0;
    for (bool fraction = false;; ++i) {
        if (!fraction && i < text.size() && text[i] == '.') {
            fraction = true;
            continue;
        }
        if (!isDigit(i)) break;
        ++count;
        if (!(digits.empty() && text[i] == '0')) digits += text[i];
        if (fraction) --scale;
    }
    if (count == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        const bool down = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (!isDigit(i)) return false;
        long long exponent = 0;
        // Past a million the value is zero or infinite whatever the digits.
        for (; isDigit(i); ++i) exponent = std::min(exponent * 10 + (text[i] - '0'), 1000000LL);
        scale += down ? -exponent : exponent;
    }
    if (i != text.size()) return false;
    while (!digits.empty() && digits.back() == '0') digits.pop_back(), ++scale;

    const double zero = negative ? -0.0 : 0.0;
    const double infinity = negative ? -HUGE_VAL : HUGE_VAL;
    const long long lead = static_cast<long long>(digits.size()) - 1 + scale;  // the first digit's power of ten
    if (digits.empty() || lead < -400) {
        out = zero;  // below half the smallest double
        return true;
    }
    if (lead > 400) {
        out = infinity;
        return false;
    }
    Big n;
    for (char c : digits) MulAdd(n, 10, static_cast<std::uint32_t>(c - '0'));
    // n x 2^-shift, a remainder below when `sticky`
    long long shift = 0;
    bool sticky = false;
    if (scale >= 0) {
        MulPow(n, 10, 9, scale);
    } else {
        // Enough quotient bits for a double and its rounding bit: 10^k < 2^(3.33 k).
        shift = std::max(0LL, 64 + -scale * 3322 / 1000 + 1 - BitLength(n));
        ShiftLeft(n, shift);
        long long k = -scale;
        for (; k >= 9; k -= 9) sticky = DivSmall(n, 1000000000) != 0 || sticky;
        for (; k > 0; --k) sticky = DivSmall(n, 10) != 0 || sticky;
    }
    const long long length = BitLength(n);
    const long long unit = std::max(length - 1 - shift - 52, -1074LL);  // the power of two of the last bit kept
    const long long drop = unit + shift;
    std::uint64_t mantissa = 0;
    for (long long b = std::max(drop, 0LL); b < length; ++b)
        if (Bit(n, b)) mantissa |= std::uint64_t{1} << (b - drop);
    if (drop > 0) {
        bool below = sticky;
        for (long long b = 0; b < drop - 1 && !below; ++b) below = Bit(n, b);
        if (Bit(n, drop - 1) && (below || (mantissa & 1) != 0)) ++mantissa;
    }
    long long power = unit;
    if (mantissa == std::uint64_t{1} << 53) mantissa >>= 1, ++power;
    std::uint64_t bits = mantissa;  // below 2^52 only for the smallest powers: subnormal
    if (mantissa >= std::uint64_t{1} << 52) {
        if (power + 1075 >= 2047) {
            out = infinity;
            return false;
        }
        bits = static_cast<std::uint64_t>(power + 1075) << 52 | (mantissa & ((std::uint64_t{1} << 52) - 1));
    }
    out = std::bit_cast<double>(bits | (negative ? std::uint64_t{1} << 63 : 0));
    return true;
}

}  // namespace purgix::text
