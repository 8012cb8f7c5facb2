#include "skins/PicturePath.h"

#include "settings/Settings.h"

namespace purgix::skins {

namespace {

using settings::EqualsIgnoringCase;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Windows opens these names as devices in any folder and with any extension ("NUL.bmp", "com1 .png").
bool IsDeviceName(std::string_view component) {
    std::string_view base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (EqualsIgnoringCase(base, device)) return true;
    return base.size() == 4 && base[3] >= '1' && base[3] <= '9' &&
           (EqualsIgnoringCase(base.substr(0, 3), "COM") || EqualsIgnoringCase(base.substr(0, 3), "LPT"));
}

}  // namespace

bool IsPlainRelativeName(std::string_view name) {
    // A leading separator is the root of a drive, a UNC share or a \\?\ or \\.\ device path.
    if (name.empty() || IsSeparator(name.front())) return false;
    // ':' is a drive ("C:x.bmp") or an alternate stream ("x.bmp:alt"); a NUL would end
    // the name Windows sees before the end of the name checked here.
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view(":*?\"<>|").find(c) != std::string_view::npos) return false;
    int depth = 0;
    for (std::size_t start = 0; start <= name.size();) {
        std::size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
        const std::string_view part = name.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (--depth < 0) return false;
            continue;
        }
        // Windows trims trailing dots and blanks, so "..." or ".. " may come out as ".."
        // after the count above was made (Wine turns "..." into "..").
        if (part.find_first_not_of(". ") == std::string_view::npos || IsDeviceName(part)) return false;
        ++depth;
    }
    return true;
}

}  // namespace purgix::skins
