// Exact arithmetic between decimal digits and doubles, for every layer: the C library's strtod stays out of the exe.
#pragma once
#include <array>
#include <cstdint>
#include <string_view>

namespace purgix {

// An unsigned whole number of up to 3,712 bits, kept in place: enough for any
// double's exact value times ten and the powers of ten that scale it, and for
// 768 decimal digits and the powers of ten that make a double of them.
class Big {
public:
    explicit Big(std::uint64_t v) {
        for (; v != 0; v >>= 32) words_[size_++] = static_cast<std::uint32_t>(v);
    }
    void Multiply(std::uint32_t factor, std::uint32_t add = 0);  // this = this * factor + add
    void MultiplyByPowerOfTen(int power);
    void ShiftLeft(int bits);
    // this -= other, where other <= this.
    void Subtract(const Big& other);
    int BitLength() const;
    friend int Compare(const Big& a, const Big& b);

private:
    std::array<std::uint32_t, 116> words_;  // only the first size_ are ever read
    int size_ = 0;
};

// significand x 10^exponent as the nearest double (ties to even), signed, as
// strtod reads those digits: a value too large for a double is infinity, one
// under half the least double a zero.
double DecimalToDouble(bool negative, std::uint64_t significand, long long exponent);

// A text of the form [+-]digits[.digits][(e|E)[+-]digits] with at least one
// digit before the exponent (the caller has checked it) as the nearest double,
// for every length of text exactly as strtod reads it: no point halfway
// between two doubles has more than 767 significant digits, so digits after
// the 768th only tell whether the value lies above those 768.
double DecimalTextToDouble(std::string_view text);

}  // namespace purgix
