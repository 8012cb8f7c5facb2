#include "FakePlatform.h"

#include <algorithm>

namespace purgix::testing {

ui::PicturePtr FakePlatform::Resource(platform::ResourcePicture which) {
    switch (which) {
        case platform::ResourcePicture::ProgramIcon: return std::make_shared<FakePicture>("icon", 32, 32);
        case platform::ResourcePicture::TrayIcon: return std::make_shared<FakePicture>("tray", 16, 16);
        case platform::ResourcePicture::HandCursor: return std::make_shared<FakePicture>("hand", 32, 32);
        case platform::ResourcePicture::Indicator0: return std::make_shared<FakePicture>("indicator0", 11, 89);
        case platform::ResourcePicture::Indicator1: return std::make_shared<FakePicture>("indicator1", 9, 36);
        case platform::ResourcePicture::Indicator2: return std::make_shared<FakePicture>("indicator2", 11, 51);
    }
    return nullptr;
}

std::vector<std::string> FakePlatform::ListFiles(const std::string& folder, const std::string& pattern) {
    auto it = folders.find(folder);
    if (it == folders.end()) throw std::runtime_error("path not found: " + folder);
    std::vector<std::string> out;
    const std::string ext = pattern.size() > 1 && pattern[0] == '*' ? pattern.substr(1) : pattern;
    for (const auto& f : it->second)
        if (f.size() >= ext.size() && f.compare(f.size() - ext.size(), ext.size(), ext) == 0) out.push_back(f);
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace purgix::testing
