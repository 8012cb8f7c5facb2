// Purgix.exe's own copies of the helpers libstdc++'s containers call to throw.
// libstdc++ keeps them all in one object, and that object names the
// std::logic_error family, whose messages live in the old copy-on-write string:
// a static link then drags in that second string implementation, its
// std::random_device and the new string's out-of-line members, some 50 KiB.
// Defined here, the linker never pulls that object. Only the program links
// this file: a test linking libraries that want the rest of those helpers
// would meet two definitions.
//
// Each throws what the library's would, or, for the logic_error family, a
// purgix::Error with the library's very message: every handler in the
// program catches std::exception and shows what().
#include <bits/functexcept.h>

#include <cstdarg>
#include <cstddef>
#include <new>
#include <string>
#include <utility>

#include "Error.h"

namespace purgix::win32 {

// libstdc++'s own formatter knows %s, %zu and %%, and nothing else.
std::string FormatLibraryMessage(const char* format, std::va_list args) {
    std::string out;
    for (const char* p = format; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            out += va_arg(args, const char*);
            ++p;
        } else if (p[0] == '%' && p[1] == 'z' && p[2] == 'u') {
            out += std::to_string(va_arg(args, std::size_t));
            p += 2;
        } else if (p[0] == '%' && p[1] == '%') {
            out += '%';
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

}  // namespace purgix::win32

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_logic_error(const char* what) { throw purgix::Error(what); }
void __throw_length_error(const char* what) { throw purgix::Error(what); }

void __throw_out_of_range_fmt(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string what = purgix::win32::FormatLibraryMessage(format, args);
    va_end(args);
    throw purgix::Error(std::move(what));
}

}  // namespace std
