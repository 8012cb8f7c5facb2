// File > Release log on Windows: this run's releases shown to the user. Until
// the log's own window ("Purgix releases", a list the keyboard and screen
// readers reach, with Copy and Close) replaces it, the lines show in a box.
#include "memory/ReleaseLog.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Platform.h"

namespace purgix::win32 {

void WindowFactoryAdapter::ShowReleaseLog(memory::ReleaseLog& log, ui::Form& owner) {
    const platform::NumberSeparators separators = platform_.locale.Separators();
    std::string text = log.Size() == 0 ? std::string("No release has ended since Purgix started.") : log.ClipboardText(separators);
    MessageBoxW(reinterpret_cast<HWND>(owner.Handle()), Widen(text).c_str(), L"Purgix releases", MB_OK);
}

}  // namespace purgix::win32
