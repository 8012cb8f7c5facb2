#include "FakePlatform.h"

#include <cctype>

namespace purgix::testing {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace purgix::testing
