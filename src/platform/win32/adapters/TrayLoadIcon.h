#pragma once
// The memory load drawn as the notification icon: whole-percent digits and
// the level's colours and cues, at the taskbar's icon size.
#include <windows.h>

#include "platform/Platform.h"

namespace purgix::win32 {

// A size x size icon showing the load; the caller destroys it. Below 70 % the
// digits stand on a dark tile; from 70 % a frame runs round the tile; from 90 %
// the tile is filled. In high contrast the tile, digits, frame and fill take the
// user's window, text and highlight colours.
HICON DrawLoadIcon(int size, platform::TrayLoad load, bool highContrast);

bool SystemHighContrast();

// The one load icon the shell shows: drawn again only when the figure, the
// level, the size or the contrast changes, and the one before destroyed once
// the shell has been handed its successor.
class LoadIcon {
public:
    LoadIcon() = default;
    ~LoadIcon() { Clear(); }
    LoadIcon(const LoadIcon&) = delete;
    LoadIcon& operator=(const LoadIcon&) = delete;

    HICON For(int size, platform::TrayLoad load);
    // The shell has the current icon: the one before goes.
    void Handed();
    // No load shown any more: both go.
    void Clear();
    HICON Current() const { return current_; }

private:
    HICON current_ = nullptr, previous_ = nullptr;
    int size_ = 0;
    platform::TrayLoad load_;
    bool contrast_ = false;
};

}  // namespace purgix::win32
