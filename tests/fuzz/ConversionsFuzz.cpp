// Stored and skin texts are whatever a user or a downloaded skin holds: every
// conversion either gives a value or throws its one error.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/Settings.h"
#include "skins/ColorNumber.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (auto convert : {+[](std::string_view t) { purgix::skins::ColorNumber(t); }, +[](std::string_view t) { purgix::settings::ToInteger16(t); },
                         +[](std::string_view t) { purgix::settings::ToBoolean(t); }}) {
        try {
            convert(text);
        } catch (const purgix::settings::ConversionError&) {
        }
    }
    return 0;
}
