#pragma once
// The memory load the tray icon shows: used physical memory in whole percent and its level.
#include "platform/Platform.h"

namespace purgix::tray {

inline constexpr int kHighLoad = 70;
inline constexpr int kCriticalLoad = 90;

// From the used percentage the chart page shows ("Used: 58.75%" is 59). The
// level follows the whole figure, so that the colour never disagrees with it.
platform::TrayLoad TrayLoadOf(double usedPercent);

}  // namespace purgix::tray
