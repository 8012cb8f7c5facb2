#include "settings/Settings.h"

#include <cctype>
#include <cmath>
#include <string>

#include "Decimal.h"

namespace purgix::settings {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Plain decimal notation only: a stored number is never hexadecimal, "inf" or
// "nan". Its value is strtod's (DecimalTextToDouble says how far); one too
// large for a double is refused.
bool ParseNumber(std::string_view text, double& out) {
    const std::string_view t = Trim(text);
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != t.size()) return false;
    out = DecimalTextToDouble(t);
    return std::isfinite(out);
}

std::size_t LastSeparator(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? 0 : slash + 1;
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

std::int16_t ToInteger16(std::string_view text) {
    double value = 0;
    if (!ParseNumber(text, value)) throw ConversionError("not a number: " + std::string(text));
    const double rounded = std::nearbyint(value);  // the default rounding mode: halves to even
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) throw ConversionError("out of the 16-bit range: " + std::string(text));
    return static_cast<std::int16_t>(rounded);
}

Bounded ToBounded(std::string_view text, int min, int max, int def) {
    double value = 0;
    if (!ParseNumber(text, value)) return {def, false};
    const double rounded = std::nearbyint(value);
    if (rounded < min) return {min, false};
    if (rounded > max) return {max, false};
    return {static_cast<int>(rounded), true};
}

std::int32_t ToInteger32(std::string_view text) {
    const std::string_view t = Trim(text);
    if (t.size() > 2 && t[0] == '&' && (t[1] == 'H' || t[1] == 'h')) {
        std::string_view digits = t.substr(2);
        while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
        if (digits.size() > 8) throw ConversionError("out of the 32-bit range: " + std::string(text));
        std::uint32_t bits = 0;
        for (char c : digits) {
            if (!std::isxdigit(static_cast<unsigned char>(c))) throw ConversionError("not a number: " + std::string(text));
            const int v = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
            bits = bits << 4 | static_cast<std::uint32_t>(v);
        }
        return static_cast<std::int32_t>(bits);
    }
    double value = 0;
    if (!ParseNumber(t, value)) throw ConversionError("not a number: " + std::string(text));
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) throw ConversionError("out of the 32-bit range: " + std::string(text));
    return static_cast<std::int32_t>(rounded);
}

bool ToBoolean(std::string_view text) {
    const std::string_view t = Trim(text);
    if (EqualsIgnoringCase(t, "true")) return true;
    if (EqualsIgnoringCase(t, "false")) return false;
    double value = 0;
    if (!ParseNumber(t, value)) throw ConversionError("not a Boolean: " + std::string(text));
    return value != 0.0;
}

std::string ExecutableName(std::string_view modulePath) {
    std::string_view file = modulePath.substr(LastSeparator(modulePath));
    const std::size_t dot = file.find_last_of('.');
    if (dot != std::string_view::npos) file = file.substr(0, dot);
    return std::string(file);
}

std::string ProgramFolder(std::string_view modulePath) {
    const std::size_t start = LastSeparator(modulePath);
    if (start == 0) return {};
    std::string_view folder = modulePath.substr(0, start - 1);
    // "D:" alone would name the drive's current folder, not its root.
    if (folder.size() == 2 && folder[1] == ':') return std::string(folder) + "\\";
    return std::string(folder);
}

}  // namespace purgix::settings
