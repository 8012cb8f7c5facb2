// Purgix.exe's copies of libstdc++'s throw helpers, linked as the program links
// them. No GoogleTest here: it needs the library's own copies, and the two
// would clash. Each case must throw the library's type, or purgix::Error
// carrying the library's very message.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
#include <new>
#include <string>

#include "Error.h"

namespace {

enum class Thrown { Error, BadAlloc, BadArrayNewLength, Nothing };

struct Case {
    const char* name;
    std::function<void()> action;
    Thrown expected;
    const char* message;  // for Error
};

const char* volatile g_null = nullptr;
volatile std::size_t g_huge = SIZE_MAX;

}  // namespace

int main() {
    const Case cases[] = {
        {"substr past the end", [] { (void)std::string("ab").substr(3); }, Thrown::Error,
         "basic_string::substr: __pos (which is 3) > this->size() (which is 2)"},
        {"formatter's %% and %s", [] { std::__throw_out_of_range_fmt("%zu%% of %s", std::size_t{40}, "x"); },
         Thrown::Error, "40% of x"},
        {"string too long", [] { std::string().reserve(g_huge); }, Thrown::Error, "basic_string::_M_create"},
        {"string from null", [] { std::string s(g_null); }, Thrown::Error,
         "basic_string: construction from null is not valid"},
        {"allocation over the size limit", [] { (void)std::allocator<std::int64_t>().allocate(g_huge / 8); },
         Thrown::BadAlloc, nullptr},
        {"allocation whose byte count overflows", [] { (void)std::allocator<std::int64_t>().allocate(g_huge); },
         Thrown::BadArrayNewLength, nullptr},
    };
    int failures = 0;
    for (const Case& c : cases) {
        Thrown got = Thrown::Nothing;
        std::string what;
        try {
            c.action();
        } catch (const purgix::Error& e) {
            got = Thrown::Error;
            what = e.what();
        } catch (const std::bad_array_new_length&) {
            got = Thrown::BadArrayNewLength;
        } catch (const std::bad_alloc&) {
            got = Thrown::BadAlloc;
        }
        if (got != c.expected || (c.message != nullptr && what != c.message)) {
            std::printf("FAILED %s: thrown %d, \"%s\"\n", c.name, static_cast<int>(got), what.c_str());
            ++failures;
        }
    }
    std::printf("%d of %d cases failed\n", failures, static_cast<int>(std::size(cases)));
    return failures == 0 ? 0 : 1;
}
