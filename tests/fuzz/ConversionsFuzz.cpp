// Stored and skin texts are whatever a user or a downloaded skin holds: every
// conversion either gives a value or throws its one error.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "settings/Settings.h"
#include "skins/ColorNumber.h"
#include "text/Decimal.h"

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
    // What the program reads as a number, the C library reads to the same double.
    double value = 0;
    if (purgix::text::ParseDecimal(text, value)) {
        const double expected = std::strtod(std::string(text).c_str(), nullptr);
        if (std::memcmp(&value, &expected, sizeof value) != 0) __builtin_trap();
    }
    return 0;
}
