// Skin pictures through the real file system and WIC. The header and name
// rules have their own tests in the unit tier; here: every format decodes to
// its size and pixels, Windows' resolution of a name is checked, big files are
// not read, and nothing is left behind (bitmaps, open files, COM apartments).
#include <objbase.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "Error.h"
#include "WindowTest.h"
#include "platform/win32/pictures/Files.h"

using purgix::win32::Narrow;
using Bytes = std::string;
namespace fs = std::filesystem;

namespace {

// 3 x 2 RGBA: opaque red, red at half opacity, clear; opaque blue, opaque green, clear.
const Bytes kPng(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x03\x00\x00\x00\x02\x08\x06\x00\x00\x00\x9d"
    "\x74\x66\x1a\x00\x00\x00\x1a\x49\x44\x41\x54\x78\xda\x63\xf8\xcf\xc0\xf0\xff\x04\x03\x43\x03\x03\x04\xfc\xff\xcf\x00\x82"
    "\x40\x00\x00\x67\x34\x07\x43\xcd\x1e\x4d\xb8\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82", 83);
// A red 3 x 2 frame on a 5 x 4 logical screen.
const Bytes kGif(
    "\x47\x49\x46\x38\x39\x61\x05\x00\x04\x00\x80\x00\x00\x00\x00\x00\xff\x00\x00\x2c\x00\x00\x00\x00\x03\x00\x02\x00\x00\x02"
    "\x05\x0c\xc3\x30\x0c\x53\x00\x3b", 38);
// One 32 x 32 entry holding the 3 x 2 PNG.
const Bytes kIco = Bytes("\0\0\1\0\1\0\x20\x20\0\0\1\0\x20\0\x53\0\0\0\x16\0\0\0", 22) + kPng;

class PictureFiles : public ::testing::Test {
protected:
    PictureFiles() {
        fs::create_directories(skin_ / "Sub");
        for (const char* name : {"Aurora.png", "Graphite.bmp", "Meadow.jpg"})  // the shipped skins'
            fs::copy_file(purgix::testing::Beside("Skin") / name, skin_ / name, fs::copy_options::overwrite_existing);
    }
    ~PictureFiles() override { fs::remove_all(root_, ignored_); }
    purgix::ui::PicturePtr Load(const std::string& name) { return os_.pictures.LoadPicture(Narrow(skin_.wstring()), name); }
    static fs::path Write(const fs::path& file, const Bytes& bytes) { return std::ofstream(file, std::ios::binary) << bytes, file; }
    const fs::path root_ = fs::temp_directory_path() / ("purgix-pictures-" + std::to_string(GetCurrentProcessId()));
    const fs::path skin_ = root_ / "Skin";
    purgix::win32::Win32Platform os_{GetModuleHandleW(nullptr)};
    std::error_code ignored_;
};

}  // namespace

// The GIF's size is its frame's, not its screen's; the icon's its image's, not its entry's. Alpha blends
// premultiplied over what lies behind. Nothing stays behind: no bitmap, no open file, no COM apartment.
TEST_F(PictureFiles, EveryFormatDecodesByContentToItsOwnSizeBlendsItsAlphaAndLeavesNothingBehind) {
    const fs::path written[] = {Write(skin_ / "a.gif", kGif), Write(skin_ / "a.ico", kIco), Write(skin_ / "png named.bmp", kPng)};
    for (auto [name, width, height] : {std::tuple{"Graphite.bmp", 480, 210}, {"Aurora.png", 480, 210}, {"Meadow.jpg", 480, 210},
                                       {"a.gif", 3, 2}, {"a.ico", 3, 2}, {"png named.bmp", 3, 2}, {"Sub/.\\..\\a.gif", 3, 2}}) {
        auto picture = Load(name);
        const HBITMAP bitmap = purgix::win32::Native(picture.get())->Bitmap();
        EXPECT_EQ(std::tuple(bitmap != nullptr, picture->Width(), picture->Height()), std::tuple(true, width, height)) << name;
        picture.reset();
        EXPECT_EQ(GetObjectType(bitmap), 0u) << name << ": the bitmap outlives its picture";
    }
    // Over white: opaque red, red at half opacity, clear; opaque blue, opaque green, clear (blue, green, red each).
    const BITMAPINFO info{{sizeof(BITMAPINFOHEADER), 3, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    unsigned char* px = nullptr;
    const purgix::win32::gdi::CompatibleDC dc(nullptr);
    const purgix::win32::gdi::Bitmap target(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&px), nullptr, 0));
    const purgix::win32::gdi::ScopedSelectObject select(dc.Get(), target.Get());
    std::fill_n(px, 24, 0xFF);
    purgix::win32::Native(Load("png named.bmp").get())->Draw(dc.Get(), 0, 0);
    GdiFlush();
    const int expected[] = {0, 0, 255, 127, 127, 227, 255, 255, 255, 255, 0, 0, 0, 255, 0, 255, 255, 255};
    for (int i = 0; i < 18; ++i) EXPECT_NEAR(px[i / 3 * 4 + i % 3], expected[i], 3) << "pixel " << i / 3 << " channel " << i % 3;
    // Opened for reading only, shared with readers only: an open handle would keep the files.
    for (const fs::path& file : written) EXPECT_TRUE(DeleteFileW(file.c_str())) << file;
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK) << "the loads left COM initialised";
    CoUninitialize();
    // A thread that chose the multithreaded apartment loads in it and stays in it.
    int width = 0, after = E_FAIL;
    std::thread([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        try {
            width = Load("Aurora.png")->Width();
        } catch (const purgix::Error&) {
        }
        after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);  // S_FALSE: still initialised
        CoUninitialize();
        CoUninitialize();
    }).join();
    EXPECT_EQ(std::pair(width, after), std::pair(480, int{S_FALSE}));
}

// Pictures that decode to far more than they claim are the header check's (the unit tier) and the end-to-end tier's.
TEST_F(PictureFiles, BigAndEscapingFilesThrow) {
    // A picture just over the file cap; its decoder would not read past the end of the picture.
    Write(skin_ / "big.png", kPng + Bytes((16 << 20) + 1 - kPng.size(), '\0'));
    Write(root_ / "x.png", kPng);
    // Links inside the folder, to a picture and a folder outside it (the build makes them: Wine 8's
    // CreateSymbolicLinkW makes nothing): where the file opened finally lies is what counts.
    const fs::path links = purgix::testing::Beside("links");
    Write(links / "Elsewhere" / "x.png", kPng);
    const auto linked = [&](const char* name) { return os_.pictures.LoadPicture(Narrow((links / "Skin").wstring()), name); };
    EXPECT_THROW(linked("link.png"), purgix::Error);
    EXPECT_THROW(linked("Folder\\x.png"), purgix::Error);
    Write(links / "Skin" / "inside.png", kPng);
    EXPECT_EQ(linked("inside.png")->Width(), 3) << "the same picture inside the folder is fine";
    // Inside is below the folder on a separator, whatever the letters: "Skins" is not inside "Skin".
    using purgix::win32::IsInside;
    EXPECT_TRUE(IsInside(L"C:\\Skin\\", L"c:\\skin\\x.png") && !IsInside(L"C:\\Skin", L"C:\\Skins\\x.png") && !IsInside(L"C:\\Skin", L"C:\\Skin\\"));
    // Either of the name's two checks alone refuses a climb out of the folder; a NUL, where Windows would end
    // the name, only the first one sees.
    for (const auto& [name, why] : {std::pair<std::string, const char*>{"big.png", "oversized"}, {"..\\x.png", "outside"},
                                    {std::string("Aurora.png\0.txt", 15), "outside"}}) {
        try {
            Load(name);
            ADD_FAILURE() << name << " loaded";
        } catch (const purgix::Error& e) {
            EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << name << ": " << e.what();
        }
    }
}
