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
#include "platform/win32/Text.h"
#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Platform.h"

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
        // The shipped skins, as the build lays them out beside this program.
        const fs::path shipped = fs::path(purgix::win32::Widen(os_.shell.ModulePath())).parent_path() / "Skin";
        fs::create_directories(skin_ / "Sub");
        for (const char* name : {"Aurora.png", "Graphite.bmp", "Meadow.jpg"})
            fs::copy_file(shipped / name, skin_ / name, fs::copy_options::overwrite_existing);
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

TEST_F(PictureFiles, EveryFormatDecodesByContentToItsOwnSizeAndLeavesNothingBehind) {
    const fs::path written[] = {Write(skin_ / "a.gif", kGif), Write(skin_ / "a.ico", kIco), Write(skin_ / "png named.bmp", kPng)};
    // The GIF's size is its frame's, not its screen's; the icon's its image's, not its entry's.
    for (auto [name, width, height] : {std::tuple{"Graphite.bmp", 480, 210}, {"Aurora.png", 480, 210}, {"Meadow.jpg", 480, 210},
                                       {"a.gif", 3, 2}, {"a.ico", 3, 2}, {"png named.bmp", 3, 2}, {"Sub/.\\..\\a.gif", 3, 2}}) {
        auto picture = Load(name);
        const HBITMAP bitmap = purgix::win32::Native(picture.get())->Bitmap();
        EXPECT_EQ(std::tuple(bitmap != nullptr, picture->Width(), picture->Height()), std::tuple(true, width, height)) << name;
        picture.reset();
        EXPECT_EQ(GetObjectType(bitmap), 0u) << name << ": the bitmap outlives its picture";
    }
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

TEST_F(PictureFiles, DrawBlendsPremultipliedAlphaOverWhatIsBehindRowByRow) {
    Write(skin_ / "alpha.png", kPng);
    const auto picture = Load("alpha.png");
    const BITMAPINFO info{{sizeof(BITMAPINFOHEADER), 3, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP target = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(dc, target);
    auto* px = static_cast<unsigned char*>(bits);
    std::fill(px, px + 24, 0xFF);  // white behind
    purgix::win32::Native(picture.get())->Draw(dc, 0, 0);
    GdiFlush();
    const int expected[6][3] = {{0, 0, 255}, {127, 127, 227}, {255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {255, 255, 255}};  // B, G, R
    for (int i = 0; i < 6; ++i)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(px[4 * i + c], expected[i][c], 3) << "pixel " << i << " channel " << c;
    DeleteDC(dc);
    DeleteObject(target);
}

TEST_F(PictureFiles, BigBombsAndEscapingFilesThrow) {
    // A picture just over the file cap; its decoder would not read past the end of the picture.
    Write(skin_ / "big.png", kPng + Bytes((16 << 20) + 1 - kPng.size(), '\0'));
    Write(root_ / "x.png", kPng);
    // Small files that decode to far more than they claim up front: six 8000 x 8000 frames on a 16 x 16 screen,
    // and a 16 x 16 icon entry wrapping an 8000 x 8000 PNG. The weigher refuses them before any decoder starts.
    Bytes gif("GIF89a\x10\0\x10\0\0\0\0", 13);
    for (int i = 0; i < 6; ++i) gif += Bytes("\x2c\0\0\0\0\x40\x1f\x40\x1f\0\x02\x02\x4c\x01\0", 15);
    Write(skin_ / "frames.gif", gif + "\x3b");
    Bytes png = kPng;
    png.replace(16, 8, Bytes("\0\0\x1f\x40\0\0\x1f\x40", 8));
    Write(skin_ / "wrapped.ico", Bytes("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0", 14) + Bytes(1, static_cast<char>(png.size())) +
                                      Bytes("\0\0\0\x16\0\0\0", 7) + png);
    // Links inside the folder, to a picture and a folder outside it (the build makes them: Wine 8's
    // CreateSymbolicLinkW makes nothing): where the file opened finally lies is what counts.
    const fs::path links = fs::path(purgix::win32::Widen(os_.shell.ModulePath())).parent_path() / "links";
    Write(links / "Elsewhere" / "x.png", kPng);
    const auto linked = [&](const char* name) { return os_.pictures.LoadPicture(Narrow((links / "Skin").wstring()), name); };
    EXPECT_THROW(linked("link.png"), purgix::Error);
    EXPECT_THROW(linked("Folder\\x.png"), purgix::Error);
    Write(links / "Skin" / "inside.png", kPng);
    EXPECT_EQ(linked("inside.png")->Width(), 3) << "the same picture inside the folder is fine";
    // Either of the name's two checks alone refuses a climb out of the folder; a NUL, where Windows would end
    // the name, only the first one sees.
    for (const auto& [name, why] : {std::pair<std::string, const char*>{"big.png", "oversized"}, {"..\\x.png", "outside"},
                                    {std::string("Aurora.png\0.txt", 15), "outside"}, {"frames.gif", "not a BMP"},
                                    {"wrapped.ico", "not a BMP"}}) {
        const DWORD start = GetTickCount();
        try {
            Load(name);
            ADD_FAILURE() << name << " loaded";
        } catch (const purgix::Error& e) {
            EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << name << ": " << e.what();
        }
        EXPECT_LT(GetTickCount() - start, 500u) << name;
    }
}
