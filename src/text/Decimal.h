#pragma once
// Exact conversions between doubles and decimal text, as printf and strtod do
// them (correctly rounded, halves to even), without the C library's: MinGW's
// printf and strtod are some 37 KiB linked into Purgix.exe, and the program
// shows every figure through these few forms.
#include <string>
#include <string_view>

namespace purgix::text {

// printf's "%.*e": "-1.25000000000000e+02".
std::string Scientific(double value, int decimals);

// printf's "%.*f": "-125.00".
std::string Fixed(double value, int decimals);

// strtod for plain decimal text, [+-]digits[.digits][(e|E)[+-]digits] with at
// least one digit before the exponent; `out` gets strtod's value. False when
// the text is not of that form or the value is too large for a double (out is
// then infinite).
bool ParseDecimal(std::string_view text, double& out);

}  // namespace purgix::text
