#pragma once
#include <array>
#include <cstdint>
#include <string_view>

#include "memory/MemoryStatus.h"
#include "memory/NumberSeparators.h"

namespace purgix::memory {

// A short text kept in place, so that a sample never touches the heap.
class FigureText {
public:
    std::string_view View() const { return {data_.data(), size_}; }
    void Clear() { size_ = 0; }
    void Append(std::string_view s);

private:
    std::array<char, 96> data_{};
    std::size_t size_ = 0;
};

// The figures derived from one memory-status record.
struct MemoryFigures {
    // Kilobyte counts as the texts show them (rounded, halves away from zero).
    std::uint64_t totalPhysKB = 0, availPhysKB = 0;
    std::uint64_t totalPageFileKB = 0, availPageFileKB = 0;
    std::uint64_t totalVirtualKB = 0, availVirtualKB = 0;
    FigureText totalPhysText, availPhysText, totalPageFileText, availPageFileText, totalVirtualText, availVirtualText;

    double availPhysPercent = 0, availPageFilePercent = 0, availVirtualPercent = 0, usedPhysPercent = 0;
    FigureText availPhysPercentText, availPageFilePercentText, availVirtualPercentText, usedPhysPercentText;

    double availFraction = 0;     // 0..1, to 15 significant digits: scales the graph and the level bar
    double comparedPercent = 0;   // to 15 significant digits: what the threshold test compares
    FigureText popupStatus;       // "Available: 41.25%"
    FigureText graphCaption;      // "Available: 41.25%     Used: 58.75%"
};

// Bytes to kilobytes, halves away from zero, exact for every 64-bit count.
std::uint64_t Kilobytes(std::uint64_t bytes);

// A finite value's magnitude to 15 significant digits, correctly rounded from
// its exact binary value (ties to even), as printf's "%.14e" gives them: the
// digits, and the power of ten of the first (0 for zero).
struct Significant15 {
    std::array<char, 15> digits{};
    int exponent = 0;
};
Significant15 Digits15(double value);

// The value rounded to 15 significant digits (print with 15 digits, read back).
double RoundSignificant15(double value);

// "###,##0" for a whole number, with the user's group separator.
void FormatGrouped(std::uint64_t value, std::string_view thousands, FigureText& out);

// "0.00": two decimals, halves away from zero (decided on the value's 15
// significant digits, so 41.245 shows 41.25), the user's decimal separator.
void FormatFixed2(double value, std::string_view decimal, FigureText& out);

// Available over total physical kilobytes x 100, to 15 significant digits:
// what the threshold test compares (0 for a total of zero).
double ComparedPercent(const MemoryStatus& record);

// Fills every figure from one record. A total of zero gives zero percentages
// and a zero fraction instead of a fault.
void DeriveFigures(const MemoryStatus& record, const NumberSeparators& separators, MemoryFigures& out);

}  // namespace purgix::memory
