#pragma once
#include "platform/Types.h"

namespace purgix::ui {

using platform::WindowHandle;

}  // namespace purgix::ui
