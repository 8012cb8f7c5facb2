#pragma once
// The program's addresses on the web and by mail, in one place.

namespace purgix::settings {

inline constexpr const char* kHomePage = "https://www.quenlor.com/purgix/";
inline constexpr const char* kSkinDownloadPage = "https://www.quenlor.com/purgix/skins/";
// The address the About window shows, and the one its mail link opens.
inline constexpr const char* kContactEmail = "purgix@quenlor.com";
inline constexpr const char* kMailLink = "purgix@quenlor.com?subject=Purgix%202.00";

}  // namespace purgix::settings
