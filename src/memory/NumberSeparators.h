#pragma once
#include <string>

namespace purgix::memory {

// The user's number formatting: group and decimal separators (may be any text,
// a blank or a no-break space among them).
struct NumberSeparators {
    std::string thousands = ",";
    std::string decimal = ".";
};

}  // namespace purgix::memory
