// Time for behaviour: the tick count since Windows started, and the wall clock's time of day.
#include "platform/win32/adapters/Adapters.h"

namespace purgix::win32 {

std::uint64_t ClockAdapter::Milliseconds() { return GetTickCount64(); }

platform::TimeOfDay ClockAdapter::LocalTime() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wHour, t.wMinute, t.wSecond};
}

}  // namespace purgix::win32
