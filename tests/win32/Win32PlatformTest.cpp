// The Windows adapters against the real API, the Registry module and the
// profile reads against the real registry and real INI files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "FakePlatform.h"
#include "Error.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Platform.h"
#include "settings/Registry.h"

using purgix::platform::ResourcePicture;
using purgix::win32::Narrow;

namespace {

constexpr wchar_t kTestKey[] = L"Software\\PurgixWin32Test";
const purgix::platform::RegistryKey kHkcu = reinterpret_cast<purgix::platform::RegistryKey>(HKEY_CURRENT_USER);

class Win32Platform : public ::testing::Test {
protected:
    Win32Platform() { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }
    ~Win32Platform() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }

    purgix::testing::FakePlatform fake;
    purgix::win32::Win32Platform win32{GetModuleHandleW(nullptr)};
    // The real registry and profiles; a fake shell records message boxes instead of showing them.
    purgix::platform::Platform platform{.memory = fake, .blocks = fake, .keyboard = fake, .pointer = fake, .windows = fake, .locale = fake,
                                        .shell = fake, .pictures = fake, .pictureFiles = fake, .files = fake, .registry = win32.registry,
                                        .profiles = win32.profiles, .settings = win32.registry, .tray = fake, .instances = fake,
                                        .diagnostics = fake};
    purgix::settings::Registry registry{platform, "Purgix"};
    const std::string key = Narrow(kTestKey);
};

using RealRegistry = Win32Platform;

}  // namespace

TEST_F(Win32Platform, ReportsSixtyFourBitMemoryFiguresTheUsersSeparatorsAndCommandsThatCannotStart) {
    purgix::platform::MemoryStatus r;
    win32.memory.GlobalMemoryStatus(r);
    // A 64-bit process has far more than 4 GiB of address space: no clamping to 32 bits.
    EXPECT_TRUE(r.length == sizeof(MEMORYSTATUSEX) && r.totalPhys > 64ull << 20 && r.availPhys <= r.totalPhys &&
                r.availPageFile <= r.totalPageFile && r.totalVirtual > 1ull << 32 && r.availVirtual <= r.totalVirtual);
    wchar_t thousands0[16], decimal0[16];
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, thousands0, 16);
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal0, 16);
    // Changed the way Control Panel changes them; the last pair puts the user's own back.
    for (auto [thousands, decimal] : {std::pair<const wchar_t*, const wchar_t*>{L".", L","}, {L"\u00a0", L"."}, {thousands0, decimal0}}) {
        SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, thousands);
        SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal);
        const auto s = win32.locale.Separators();
        EXPECT_EQ(std::pair(s.thousands, s.decimal), std::pair(Narrow(thousands), Narrow(decimal)));
    }
    EXPECT_THROW(win32.shell.Run("no-such-program-purgix.exe", 0), purgix::Error);
    EXPECT_NO_THROW(win32.shell.Run("cmd.exe /c exit 0", 0));
}

TEST_F(Win32Platform, ResourcePicturesHaveTheirDesignedSizesAndTheHandItsHotSpot) {
    for (auto [which, w, h] : {std::tuple{ResourcePicture::ProgramIcon, 32, 32}, {ResourcePicture::TrayIcon, 16, 16},
                               {ResourcePicture::HandCursor, 32, 32}, {ResourcePicture::Indicator0, 11, 89},
                               {ResourcePicture::Indicator1, 9, 36}, {ResourcePicture::Indicator2, 11, 51}})
        EXPECT_EQ(std::pair(win32.resources.Resource(which)->Width(), win32.resources.Resource(which)->Height()), std::pair(w, h));
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(purgix::win32::Native(win32.resources.Resource(ResourcePicture::HandCursor).get())->Icon(), &info));
    EXPECT_EQ(std::pair(info.xHotspot, info.yHotspot), std::pair(DWORD{5}, DWORD{0}));
    for (HBITMAP b : {info.hbmMask, info.hbmColor}) DeleteObject(b);
}

TEST_F(Win32Platform, ListsVisibleMatchingFilesSortedAndRefusesAMissingFolder) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "purgix-list-test";
    fs::create_directories(dir);
    for (const char* name : {"b.ini", "A.ini", "c.txt", "hidden.ini"}) std::ofstream(dir / name) << name;
    SetFileAttributesW((dir / "hidden.ini").c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(win32.shell.ListFiles(Narrow(dir.wstring()), "*.ini"), (std::vector<std::string>{"A.ini", "b.ini"}));
    EXPECT_THROW(win32.shell.ListFiles(Narrow((dir / "nowhere").wstring()), "*.ini"), purgix::Error);
    fs::remove_all(dir);
}

TEST_F(RealRegistry, WritesATerminatedRegSzWhereAllowedAndReadsAndDeletesGoByTheFirstNul) {
    const std::string grosse = "C:\\Tools\\Gr\u00fc\u00dfe.exe";
    registry.WriteRegistryString(kHkcu, key + "\\Deep", "Purgix", grosse);
    wchar_t stored[32] = {};
    DWORD storedType = 0, storedSize = sizeof stored;
    RegGetValueW(HKEY_CURRENT_USER, (kTestKey + std::wstring(L"\\Deep")).c_str(), L"Purgix", RRF_RT_ANY | RRF_NOEXPAND, &storedType,
                 stored, &storedSize);
    EXPECT_EQ(std::pair(storedType, std::wstring(stored, storedSize / sizeof(wchar_t))),
              std::pair(DWORD{REG_SZ}, purgix::win32::Widen(grosse) + L'\0'));
    for (const auto& [name, type, data] : std::vector<std::tuple<const wchar_t*, DWORD, std::wstring>>{
             {L"bare", REG_SZ, L"abc"}, {L"more", REG_SZ, std::wstring(L"abc\0xyz\0", 8)}, {L"expand", REG_EXPAND_SZ, L"%TEMP%"}})
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kTestKey, name, type, data.data(), DWORD(data.size() * 2)), ERROR_SUCCESS);
    // Windows (and Wine) refuse a lasting key under a volatile one: nothing is written there, and nothing said.
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (kTestKey + std::wstring(L"\\Volatile")).c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(h);
    registry.WriteRegistryString(kHkcu, key + "\\Volatile\\Sub", "Purgix", "data");
    for (const auto& [sub, name, text] : std::vector<std::tuple<std::string, std::string, std::optional<std::string>>>{
             {"\\Deep", "purgix", grosse}, {"", "bare", "abc"}, {"", "more", "abc"}, {"", "expand", std::nullopt},
             {"", "missing", std::nullopt}, {"\\Nowhere", "bare", std::nullopt}, {"\\Volatile\\Sub", "Purgix", std::nullopt}})
        EXPECT_EQ(registry.ReadRegistryString(kHkcu, key + sub, name), text) << sub << "\\" << name;
    registry.DeleteRegistryValue(kHkcu, key, "bare");
    EXPECT_EQ(registry.ReadRegistryString(kHkcu, key, "bare"), std::nullopt);
    registry.DeleteRegistryValue(kHkcu, key, "bare");  // harmless when gone, or when the key is
    registry.DeleteRegistryValue(kHkcu, key + "\\Nowhere", "bare");
    EXPECT_EQ(fake.calls, std::vector<std::string>{});
}

TEST_F(RealRegistry, ProfileReadsKeepTheWholeBufferUnlessMoreThanOneCharacterCame) {
    const std::string file = Narrow((std::filesystem::temp_directory_path() / "purgix-profile-test.inf").wstring());
    DeleteFileW(purgix::win32::Widen(file).c_str());
    EXPECT_EQ(registry.ReadProfileString("CONFIGSKIN", "SKIN", file), std::string(128, '\0')) << "missing file";
    for (const auto& [stored, read] : std::vector<std::pair<std::string, std::string>>{
             {"a", "a" + std::string(127, '\0')}, {"ab", "ab"}, {std::string(200, 'x'), std::string(126, 'x')}}) {
        ASSERT_TRUE(win32.profiles.WriteProfile("CONFIGSKIN", "SKIN", stored, file));
        EXPECT_EQ(registry.ReadProfileString("configskin", "skin", file), read) << stored;
    }
    DeleteFileW(purgix::win32::Widen(file).c_str());
}

TEST_F(RealRegistry, ProfilesKeepEveryNameInUnicodeAndRefuseLargeOrLinkedFiles) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "purgix-profiles-test";
    fs::create_directories(dir);
    const std::string japanese = "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.ini", quoted = "\" lead.ini\"";
    // A new file, and one an earlier version wrote in the ANSI code page: both come back whole, the old text kept.
    std::ofstream(dir / "old.inf", std::ios::binary) << "[OTHER]\r\nKEY=caf\xe9\r\n[CONFIGSKIN]\r\nSKIN=Aurora.ini\r\n";
    for (const char* name : {"new.inf", "old.inf"}) {
        const std::string file = Narrow((dir / name).wstring());
        ASSERT_TRUE(win32.profiles.WriteProfile("CONFIGSKIN", "SKIN", japanese, file)) << name;
        EXPECT_EQ(registry.ReadProfileString("CONFIGSKIN", "SKIN", file), japanese) << name;
        ASSERT_TRUE(win32.profiles.WriteProfile("CONFIGSKIN", "SKIN", quoted, file)) << name;
        EXPECT_EQ(registry.ReadProfileString("CONFIGSKIN", "SKIN", file), " lead.ini") << name;
    }
    EXPECT_EQ(registry.ReadProfileString("OTHER", "KEY", Narrow((dir / "old.inf").wstring())), "caf\xc3\xa9");
    // Up to 64 KiB a file is read; past that it reads as missing.
    for (auto [size, read] : {std::pair{65536u, "1"}, {65537u, ""}}) {
        const std::string head = "[SKIN]\r\ncolor_Back=1\r\n";
        std::ofstream(dir / "big.ini", std::ios::binary) << head << std::string(size - head.size(), ';');
        EXPECT_EQ(registry.ReadProfileString("SKIN", "color_Back", Narrow((dir / "big.ini").wstring())).c_str(), std::string(read)) << size;
    }
    // Read from inside a skin folder, a link out of it reads as missing; the same file inside reads.
    const fs::path links = fs::path(purgix::win32::Widen(win32.shell.ModulePath())).parent_path() / "links";
    for (const fs::path& file : {links / "Elsewhere" / "x.ini", links / "Skin" / "inside.ini"}) std::ofstream(file) << "[SKIN]\r\nBg=x.png\r\n";
    const std::string skin = Narrow((links / "Skin").wstring());
    EXPECT_EQ(registry.ReadProfileString("SKIN", "Bg", skin + "\\link.ini", skin).c_str(), std::string());
    EXPECT_EQ(registry.ReadProfileString("SKIN", "Bg", skin + "\\inside.ini", skin), "x.png");
    fs::remove_all(dir);
}
