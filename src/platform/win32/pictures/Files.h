#pragma once
// Files from places the user does not control (skin folders): opened once,
// and judged by where the file opened finally lies, links followed.
#include <windows.h>

#include <string>
#include <string_view>

namespace purgix::win32 {

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return h_; }
    explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

// Opens a file for reading. Others may read along; nobody may write, rename
// or delete it while the handle lives, so the name keeps meaning this file.
FileHandle OpenForReading(const std::wstring& path);

// The full path Windows makes of a name (".." resolved, no link followed); empty when it cannot.
std::wstring FullPath(const std::wstring& path);

// True when `full` lies strictly below `folder`, on a separator boundary
// ("C:\Skins2\x.bmp" is not inside "C:\Skins"), letter case aside.
bool IsInside(std::wstring_view folder, std::wstring_view full);

// True when the file opened lies, links and junctions followed, inside the
// folder as it finally lies too (the folder itself may be a link).
bool FinallyInside(HANDLE file, const std::wstring& folder);

}  // namespace purgix::win32
