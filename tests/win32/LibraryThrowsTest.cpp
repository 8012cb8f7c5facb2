// Purgix.exe's copies of libstdc++'s throw helpers, linked as the program links
// them. No GoogleTest here: it needs the library's own copies, and the two
// would clash. Each case must throw the library's type, or purgix::Error
// carrying the library's very message.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "Error.h"

namespace {

const char* volatile g_null = nullptr;
volatile std::size_t g_huge = SIZE_MAX;

}  // namespace

int main() {
    // Each action and what it must throw: a purgix::Error's message, or the library's type in brackets.
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[] { (void)std::string("ab").substr(3); }, "basic_string::substr: __pos (which is 3) > this->size() (which is 2)"},
        {[] { std::__throw_out_of_range_fmt("%zu%% of %s", std::size_t{40}, "x"); }, "40% of x"},  // the formatter's %% and %s
        {[] { std::string().reserve(g_huge); }, "basic_string::_M_create"},
        {[] { std::string s(g_null); }, "basic_string: construction from null is not valid"},
        {[] { (void)std::allocator<std::int64_t>().allocate(g_huge / 8); }, "(bad_alloc)"},  // over the size limit
        {[] { (void)std::allocator<std::int64_t>().allocate(g_huge); }, "(bad_array_new_length)"},  // the byte count overflows
    };
    int failures = 0;
    for (const auto& [action, expected] : cases) {
        std::string got = "(nothing)";
        try {
            action();
        } catch (const purgix::Error& e) {
            got = e.what();
        } catch (const std::bad_array_new_length&) {
            got = "(bad_array_new_length)";
        } catch (const std::bad_alloc&) {
            got = "(bad_alloc)";
        }
        if (got != expected) std::printf("FAILED: \"%s\" thrown where \"%s\" is due\n", got.c_str(), expected), ++failures;
    }
    std::printf("%d of %d cases failed\n", failures, static_cast<int>(std::size(cases)));
    return failures == 0 ? 0 : 1;
}
