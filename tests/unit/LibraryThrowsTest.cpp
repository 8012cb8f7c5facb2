// The library's throw helpers as the program links them: this file runs natively and in the Win32 tier, so
// the tests see the same exceptions as Purgix.exe.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "Error.h"

namespace {

const char* volatile g_null = nullptr;
volatile std::size_t g_huge = SIZE_MAX;

}  // namespace

// What each failing library call throws: a purgix::Error carrying the library's very message, or the library's type.
TEST(LibraryThrows, AContainersFailureIsTheProgramsErrorWithTheLibrarysMessageAndAllocationFailuresKeepTheirTypes) {
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[] { (void)std::string("ab").substr(3); }, "basic_string::substr: __pos (which is 3) > this->size() (which is 2)"},
        {[] { (void)std::string("ab").at(7); }, "basic_string::at: __n (which is 7) >= this->size() (which is 2)"},
        {[] { std::string().reserve(g_huge); }, "basic_string::_M_create"},
        {[] { std::vector<int>().reserve(g_huge); }, "vector::reserve"},
        {[] { std::string s(g_null); }, "basic_string: construction from null is not valid"},
        {[] { (void)std::allocator<std::int64_t>().allocate(g_huge / 8); }, "(bad_alloc)"},  // over the size limit
        {[] { (void)std::allocator<std::int64_t>().allocate(g_huge); }, "(bad_array_new_length)"},  // the byte count overflows
    };
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
        } catch (const std::exception& e) {
            got = std::string("(the library's own) ") + e.what();
        }
        EXPECT_EQ(got, expected);
    }
}
