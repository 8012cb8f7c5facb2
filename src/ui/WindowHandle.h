#pragma once
#include <cstdint>

namespace purgix::ui {

// A native window as behaviour sees it: an opaque number, 0 for none.
using WindowHandle = std::uintptr_t;

}  // namespace purgix::ui
