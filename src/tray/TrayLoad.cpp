#include "tray/TrayLoad.h"

#include <cmath>

#include "memory/MemoryFigures.h"

namespace purgix::tray {

platform::TrayLoad TrayLoadOf(double usedPercent) {
    // Halves up, on the value's 15 significant digits as every shown figure is.
    const double rounded = std::floor(memory::RoundSignificant15(usedPercent) + 0.5);
    const int percent = !(rounded > 0) ? 0 : rounded > 100 ? 100 : static_cast<int>(rounded);
    const platform::LoadLevel level = percent >= kCriticalLoad ? platform::LoadLevel::Critical
                                      : percent >= kHighLoad   ? platform::LoadLevel::High
                                                               : platform::LoadLevel::Normal;
    return {percent, level};
}

}  // namespace purgix::tray
