#pragma once
#include <memory>

namespace purgix::ui {

// A loaded picture (bitmap, icon or cursor). The platform creates and owns the
// native object; behaviour only passes pictures around and asks their size.
class Picture {
public:
    virtual ~Picture() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

using PicturePtr = std::shared_ptr<const Picture>;

}  // namespace purgix::ui
