#pragma once
// The few things both the toolkit and the operating-system interfaces speak of:
// a native window, a loaded picture, the mouse pointer's kinds. Neither layer
// owns the other, so they meet here.
#include <cstdint>
#include <memory>

namespace purgix::platform {

// A native window as behaviour sees it: an opaque number, 0 for none.
using WindowHandle = std::uintptr_t;

// A loaded picture (bitmap, icon or cursor). The platform creates and owns the
// native object; behaviour only passes pictures around and asks their size.
class Picture {
public:
    virtual ~Picture() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

using PicturePtr = std::shared_ptr<const Picture>;

// Mouse pointer kinds a window or control can ask for over itself.
enum class MousePointer { Default = 0, Hourglass = 11, Custom = 99 };

}  // namespace purgix::platform
