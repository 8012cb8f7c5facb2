#pragma once
// The release's block on Windows: one VirtualAlloc, written through with
// blanks, given back at once.
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace purgix::win32 {

// Writes U+0020 (bytes 0x20, 0x00) into every 16-bit unit from the first byte
// to the last; an odd last byte gets the 0x20 of its unit.
void FillBlanks(void* start, std::size_t bytes) noexcept;

// Pages reserved and committed by one VirtualAlloc, released when it goes.
class CommittedBlock {
public:
    explicit CommittedBlock(std::size_t bytes)
        : data_(bytes == 0 ? nullptr : VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)), size_(bytes) {}
    ~CommittedBlock() {
        if (data_ != nullptr) VirtualFree(data_, 0, MEM_RELEASE);
    }
    CommittedBlock(const CommittedBlock&) = delete;
    CommittedBlock& operator=(const CommittedBlock&) = delete;

    explicit operator bool() const { return data_ != nullptr; }
    void* Data() const { return data_; }
    std::size_t Size() const { return size_; }

private:
    void* data_;
    std::size_t size_;
};

// Takes `bytes` bytes, blanks them all and frees them. False when the block
// cannot be committed (too large for the address space or the commit limit).
bool WriteBlankBlock(std::uint64_t bytes);

}  // namespace purgix::win32
