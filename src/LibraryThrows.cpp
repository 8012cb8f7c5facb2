// The helpers libstdc++'s containers and strings call to throw, defined once for the program and its tests.
//
// libstdc++ keeps them all in one object, and that object names the
// std::logic_error family, whose messages live in the old copy-on-write string:
// a static link then drags in that second string implementation, its
// std::random_device and the new string's out-of-line members, some 50 KiB of
// Purgix.exe. Defined here, every one of them, the linker never pulls that
// object, for the program or for a test (GoogleTest's own throws included), so
// both throw the same exceptions from the same code.
//
// Each throws what the library's would, or, where the library's type would
// carry its message in that old string, a purgix::Error with the library's
// very message: every handler in the program catches std::exception and shows what().
#include <version>  // says which library this is

#if defined(__GLIBCXX__)

#include <cstdarg>
#include <cstddef>
#include <exception>
#include <new>
#include <string>
#include <typeinfo>
#include <utility>

#include "Error.h"

// As the library declares them; a library that changed them fails to compile here, not at run time.
namespace std {
void __throw_bad_exception();
void __throw_bad_alloc();
void __throw_bad_array_new_length();
void __throw_bad_cast();
void __throw_bad_typeid();
void __throw_logic_error(const char*);
void __throw_domain_error(const char*);
void __throw_invalid_argument(const char*);
void __throw_length_error(const char*);
void __throw_out_of_range(const char*);
void __throw_out_of_range_fmt(const char*, ...);
void __throw_runtime_error(const char*);
void __throw_range_error(const char*);
void __throw_overflow_error(const char*);
void __throw_underflow_error(const char*);
}  // namespace std

namespace {

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

// One body for every message helper: the program carries the throw once.
[[noreturn]] __attribute__((noinline)) void ThrowError(const char* what) { throw purgix::Error(what); }

}  // namespace

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* what) { ThrowError(what); }
void __throw_domain_error(const char* what) { ThrowError(what); }
void __throw_invalid_argument(const char* what) { ThrowError(what); }
void __throw_length_error(const char* what) { ThrowError(what); }
void __throw_out_of_range(const char* what) { ThrowError(what); }
void __throw_runtime_error(const char* what) { ThrowError(what); }
void __throw_range_error(const char* what) { ThrowError(what); }
void __throw_overflow_error(const char* what) { ThrowError(what); }
void __throw_underflow_error(const char* what) { ThrowError(what); }

void __throw_out_of_range_fmt(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string what = FormatLibraryMessage(format, args);
    va_end(args);
    throw purgix::Error(std::move(what));
}

}  // namespace std

#endif
