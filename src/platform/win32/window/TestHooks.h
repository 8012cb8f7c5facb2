#pragma once
// What the tests and benchmarks set that the program never does. Only they include this.
#include <optional>

namespace purgix::win32 {

// High contrast as the system has it (nullopt), or as a test says.
void OverrideHighContrast(std::optional<bool> on);

}  // namespace purgix::win32
