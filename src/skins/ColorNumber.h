#pragma once
#include <string_view>

#include "ui/Color.h"

namespace purgix::skins {

// A skin's colour text: decimal or "&H" hexadecimal, signed 32-bit, read up to
// its first NUL (the profile reader pads short values with NULs). Empty,
// non-numeric and out-of-range text throws settings::ConversionError.
ui::Color ColorNumber(std::string_view text);

}  // namespace purgix::skins
