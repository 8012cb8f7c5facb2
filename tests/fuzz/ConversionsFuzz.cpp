// Stored and skin texts are whatever a user or a downloaded skin holds: every
// conversion either gives a value or throws its one error.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/Settings.h"
#include "skins/ColorNumber.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    using purgix::settings::ConversionError;
    try {
        purgix::skins::ColorNumber(text);
    } catch (const ConversionError&) {
    }
    try {
        purgix::settings::ToInteger16(text);
    } catch (const ConversionError&) {
    }
    try {
        purgix::settings::ToBoolean(text);
    } catch (const ConversionError&) {
    }
    return 0;
}
