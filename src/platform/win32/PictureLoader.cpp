// Skin pictures: untrusted files, read and decoded from memory.
#include <stdexcept>

#include "platform/win32/Win32Platform.h"

namespace purgix::win32 {

ui::PicturePtr Win32Platform::LoadPicture(const std::string&, const std::string&) {
    throw std::runtime_error("picture loading is not built yet");
}

}  // namespace purgix::win32
