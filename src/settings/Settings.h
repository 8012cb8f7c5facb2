#pragma once
// The options the program keeps per user, and how their stored texts turn into
// control values. A text that does not convert raises ConversionError, which
// start-up's single trap catches like any other failed step.
#include <cstdint>
#include <string>
#include <string_view>

#include "Error.h"

namespace purgix::settings {

class ConversionError : public Error {
public:
    using Error::Error;
};

inline constexpr const char* kSection = "Options";

// Key names exactly as earlier versions stored them ("Precent" included):
// users' stores already hold these.
namespace key {
inline constexpr const char* kLessC = "LessC";
inline constexpr const char* kLess = "Less";
inline constexpr const char* kIntervalC = "intervalC";
inline constexpr const char* kInterval = "interval";
inline constexpr const char* kPrecent = "Precent";
inline constexpr const char* kMinimized = "Minimized";
inline constexpr const char* kStayOnTop = "StayOnTop";
// Switches of the Setup menu, kept beside the window's options.
inline constexpr const char* kTrayLoad = "TrayLoad";
inline constexpr const char* kNotify = "Notify";
inline constexpr const char* kHotKey = "HotKey";
}  // namespace key

// Numeric text (blanks around it, a sign, a fraction, an exponent) to a 16-bit
// integer; a fraction rounds to the nearest whole number, halves to the even one.
std::int16_t ToInteger16(std::string_view text);

// A stored number for a control with bounds: the whole number the text rounds
// to (as ToInteger16 rounds), moved to the nearer bound when outside them, or
// `def` when the text is no number. `accepted` says whether the text stood as it was.
struct Bounded {
    int value = 0;
    bool accepted = false;
};
Bounded ToBounded(std::string_view text, int min, int max, int def);

// The same numbers, or hexadecimal after "&H" (up to eight digits, taken as
// the bits of the result), to a signed 32-bit integer.
std::int32_t ToInteger32(std::string_view text);

// ASCII letters compared without regard to case, as Windows compares keys, switches and device names.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// "True" / "False" in any letter case, or numeric text where 0 is false.
bool ToBoolean(std::string_view text);

inline std::string BooleanText(bool value) { return value ? "True" : "False"; }

// A switch stored as "1" or "0"; any other text (a hand-edited store) is the
// default, and never a failure that would end start-up.
inline bool SwitchValue(std::string_view text, bool def) { return text == "1" ? true : text == "0" ? false : def; }
inline const char* SwitchText(bool on) { return on ? "1" : "0"; }

// Identity values, all taken from the running executable's full path.
// The file name without its extension: the application name of the settings.
std::string ExecutableName(std::string_view modulePath);
// The executable's folder, ending in "\" only when it is a drive's root.
std::string ProgramFolder(std::string_view modulePath);

}  // namespace purgix::settings
