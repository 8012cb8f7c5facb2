// The Windows adapters against the real API.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/win32/Text.h"
#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Platform.h"

using purgix::platform::ResourcePicture;
using purgix::win32::Win32Platform;

namespace {
Win32Platform Os() { return Win32Platform(GetModuleHandleW(nullptr)); }

// Changes one of the user's regional settings for the test's duration, the
// way Control Panel does.
class RegionalValue {
public:
    RegionalValue(LCTYPE type, const wchar_t* value) : type_(type) {
        GetLocaleInfoW(LOCALE_USER_DEFAULT, type, old_, 16);
        SetLocaleInfoW(LOCALE_USER_DEFAULT, type, value);
    }
    ~RegionalValue() { SetLocaleInfoW(LOCALE_USER_DEFAULT, type_, old_); }
    RegionalValue(const RegionalValue&) = delete;
    RegionalValue& operator=(const RegionalValue&) = delete;

private:
    LCTYPE type_;
    wchar_t old_[16] = {};
};
}  // namespace

TEST(Win32Platform, MemoryStatusReportsConsistentSixtyFourBitFigures) {
    Win32Platform os = Os();
    purgix::platform::MemoryStatus r;
    os.GlobalMemoryStatus(r);
    EXPECT_EQ(r.length, sizeof(MEMORYSTATUSEX));
    EXPECT_GT(r.totalPhys, 64ull << 20);
    EXPECT_TRUE(r.availPhys <= r.totalPhys && r.availPageFile <= r.totalPageFile && r.availVirtual <= r.totalVirtual);
    // A 64-bit process has far more than 4 GiB of address space: no clamping to 32 bits.
    EXPECT_GT(r.totalVirtual, 1ull << 32);
}

TEST(Win32Platform, NumberSeparatorsFollowTheUsersRegionalSettings) {
    Win32Platform os = Os();
    for (const auto& [thousands, decimal] : {std::pair{L".", L","}, {L"\u00a0", L"."}}) {
        RegionalValue t(LOCALE_STHOUSAND, thousands), d(LOCALE_SDECIMAL, decimal);
        const auto s = os.Separators();
        EXPECT_EQ(std::pair(s.thousands, s.decimal), std::pair(purgix::win32::Narrow(thousands), purgix::win32::Narrow(decimal)));
    }
}

TEST(Win32Platform, ResourcePicturesHaveTheirDesignedSizes) {
    Win32Platform os = Os();
    const struct {
        ResourcePicture which;
        int w, h;
    } expected[] = {{ResourcePicture::ProgramIcon, 32, 32}, {ResourcePicture::TrayIcon, 16, 16},
                    {ResourcePicture::HandCursor, 32, 32},  {ResourcePicture::Indicator0, 11, 89},
                    {ResourcePicture::Indicator1, 9, 36},   {ResourcePicture::Indicator2, 11, 51}};
    for (const auto& e : expected) {
        auto pic = os.Resource(e.which);
        ASSERT_NE(pic, nullptr);
        EXPECT_EQ(std::pair(pic->Width(), pic->Height()), std::pair(e.w, e.h));
    }
    ICONINFO info{};
    auto hand = os.Resource(ResourcePicture::HandCursor);
    auto* native = static_cast<const purgix::win32::Win32Picture*>(hand.get());
    ASSERT_TRUE(GetIconInfo(native->Icon(), &info));
    EXPECT_EQ(std::pair(info.xHotspot, info.yHotspot), std::pair(DWORD{5}, DWORD{0}));
    for (HBITMAP b : {info.hbmMask, info.hbmColor}) DeleteObject(b);
}

TEST(Win32Platform, ListsVisibleMatchingFilesSortedAndRefusesAMissingFolder) {
    Win32Platform os = Os();
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    const std::wstring dir = std::wstring(tmp) + L"purgix-list-test";
    CreateDirectoryW(dir.c_str(), nullptr);
    const wchar_t* names[] = {L"b.ini", L"A.ini", L"c.txt", L"hidden.ini"};
    for (const wchar_t* f : names)
        CloseHandle(CreateFileW((dir + L"\\" + f).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                f == names[3] ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL, nullptr));
    const auto files = os.ListFiles(purgix::win32::Narrow(dir), "*.ini");
    EXPECT_EQ(files, (std::vector<std::string>{"A.ini", "b.ini"}));
    EXPECT_THROW(os.ListFiles(purgix::win32::Narrow(dir) + "\\nowhere", "*.ini"), purgix::Error);
    for (const wchar_t* f : names) {
        SetFileAttributesW((dir + L"\\" + f).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW((dir + L"\\" + f).c_str());
    }
    RemoveDirectoryW(dir.c_str());
}

TEST(Win32Platform, ACommandLineThatCannotStartRaises) {
    Win32Platform os = Os();
    EXPECT_THROW(os.Run("no-such-program-purgix.exe", 0), purgix::Error);
    EXPECT_NO_THROW(os.Run("cmd.exe /c exit 0", 0));
}
