#include "skins/ColorNumber.h"

#include "settings/Settings.h"

namespace purgix::skins {

ui::Color ColorNumber(std::string_view text) { return settings::ToInteger32(text.substr(0, text.find('\0'))); }

}  // namespace purgix::skins
