#pragma once
#include "platform/Types.h"

namespace purgix::ui {

using platform::Picture;
using platform::PicturePtr;

}  // namespace purgix::ui
