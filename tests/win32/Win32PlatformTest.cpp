// The Windows adapters against the real API.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "platform/Error.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Platform.h"

using purgix::platform::ResourcePicture;
using purgix::win32::Narrow;

namespace {
class Win32Platform : public ::testing::Test {
protected:
    purgix::win32::Win32Platform os{GetModuleHandleW(nullptr)};
};
}  // namespace

TEST_F(Win32Platform, ReportsSixtyFourBitMemoryFiguresTheUsersSeparatorsAndCommandsThatCannotStart) {
    purgix::platform::MemoryStatus r;
    os.GlobalMemoryStatus(r);
    EXPECT_EQ(r.length, sizeof(MEMORYSTATUSEX));
    EXPECT_TRUE(r.totalPhys > 64ull << 20 && r.availPhys <= r.totalPhys && r.availPageFile <= r.totalPageFile);
    // A 64-bit process has far more than 4 GiB of address space: no clamping to 32 bits.
    EXPECT_TRUE(r.totalVirtual > 1ull << 32 && r.availVirtual <= r.totalVirtual);
    wchar_t thousands0[16], decimal0[16];
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, thousands0, 16);
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal0, 16);
    // Changed the way Control Panel changes them; the last pair puts the user's own back.
    for (auto [thousands, decimal] : {std::pair<const wchar_t*, const wchar_t*>{L".", L","}, {L"\u00a0", L"."}, {thousands0, decimal0}}) {
        SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, thousands);
        SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal);
        const auto s = os.Separators();
        EXPECT_EQ(std::pair(s.thousands, s.decimal), std::pair(Narrow(thousands), Narrow(decimal)));
    }
    EXPECT_THROW(os.Run("no-such-program-purgix.exe", 0), purgix::Error);
    EXPECT_NO_THROW(os.Run("cmd.exe /c exit 0", 0));
}

TEST_F(Win32Platform, ResourcePicturesHaveTheirDesignedSizesAndTheHandItsHotSpot) {
    for (auto [which, w, h] : {std::tuple{ResourcePicture::ProgramIcon, 32, 32}, {ResourcePicture::TrayIcon, 16, 16},
                               {ResourcePicture::HandCursor, 32, 32}, {ResourcePicture::Indicator0, 11, 89},
                               {ResourcePicture::Indicator1, 9, 36}, {ResourcePicture::Indicator2, 11, 51}}) {
        const auto picture = os.Resource(which);
        EXPECT_EQ(std::pair(picture->Width(), picture->Height()), std::pair(w, h));
    }
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(purgix::win32::Native(os.Resource(ResourcePicture::HandCursor).get())->Icon(), &info));
    EXPECT_EQ(std::pair(info.xHotspot, info.yHotspot), std::pair(DWORD{5}, DWORD{0}));
    for (HBITMAP b : {info.hbmMask, info.hbmColor}) DeleteObject(b);
}

TEST_F(Win32Platform, ListsVisibleMatchingFilesSortedAndRefusesAMissingFolder) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "purgix-list-test";
    fs::create_directories(dir);
    for (const char* name : {"b.ini", "A.ini", "c.txt", "hidden.ini"}) std::ofstream(dir / name) << name;
    SetFileAttributesW((dir / "hidden.ini").c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(os.ListFiles(Narrow(dir.wstring()), "*.ini"), (std::vector<std::string>{"A.ini", "b.ini"}));
    EXPECT_THROW(os.ListFiles(Narrow((dir / "nowhere").wstring()), "*.ini"), purgix::Error);
    fs::remove_all(dir);
}
