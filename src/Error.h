#pragma once
// The program's own failures. std::runtime_error would serve, but libstdc++
// keeps its message in the old copy-on-write string, and a static link then
// carries that whole second string implementation (some 50 KiB of Purgix.exe);
// this one keeps the text in the std::string the program already uses.
#include <exception>
#include <string>
#include <utility>

namespace purgix {

class Error : public std::exception {
public:
    explicit Error(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

}  // namespace purgix
