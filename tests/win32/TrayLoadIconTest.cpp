// The load in the notification icon on the real API: drawn at each taskbar
// size with its level's cues, in the user's colours in high contrast, and one
// icon alive at a time however long the load moves.
#include "WindowTest.h"

#include "platform/win32/Dpi.h"
#include "platform/win32/adapters/TrayLoadIcon.h"
#include "tray/CTray.h"
#include "tray/TrayLoad.h"

using namespace purgix::testing;
using purgix::platform::LoadLevel;
using purgix::platform::TrayLoad;

namespace {

// The icon's colour pixels, 0x00RRGGBB, row by row.
std::vector<std::uint32_t> Pixels(HICON icon, int& size) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return {};
    purgix::win32::gdi::Bitmap color(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    GetObjectW(color.Get(), sizeof bm, &bm);
    size = bm.bmWidth;
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> px(static_cast<std::size_t>(bm.bmWidth * bm.bmHeight));
    const purgix::win32::gdi::WindowDC screen(nullptr);
    GetDIBits(screen.Get(), color.Get(), 0, static_cast<UINT>(bm.bmHeight), px.data(), &bmi, DIB_RGB_COLORS);
    for (auto& p : px) p &= 0xFFFFFF;
    return px;
}

std::uint32_t Rgb(COLORREF c) { return static_cast<std::uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c); }

}  // namespace

TEST(TrayLoadIcon, EachTaskbarSizeShowsTheDigitsWhole_TheLevelsByFrameAndFillAsWellAsHue_AndHighContrastInTheUsersColours) {
    // 96, 120, 144 and 192 dpi: the taskbar's small icon at each.
    std::vector<int> sizes;
    for (UINT dpi : {96u, 120u, 144u, 192u}) sizes.push_back(purgix::win32::SystemMetricForDpi(SM_CXSMICON, dpi));
    ASSERT_EQ(sizes, (std::vector<int>{16, 20, 24, 32}));
    for (const bool contrast : {false, true}) {
        const DistinctSystemColors colors;
        for (int asked : sizes) {
            std::string looks;  // per level: framed or flat, and the tile dark or light
            std::set<std::vector<std::uint32_t>> images;
            for (const TrayLoad load : {TrayLoad{59, LoadLevel::Normal}, {79, LoadLevel::High}, {95, LoadLevel::Critical},
                                        {100, LoadLevel::Critical}, {8, LoadLevel::Normal}}) {
                const HICON icon = purgix::win32::DrawLoadIcon(asked, load, contrast);
                int size = 0;
                const std::vector<std::uint32_t> px = Pixels(icon, size);
                DestroyIcon(icon);
                ASSERT_EQ(size, asked);
                images.insert(px);
                const int frame = std::max(1, size / 16);
                const std::uint32_t corner = px[0], ground = px[static_cast<std::size_t>(frame * size + size / 2)];
                // The digits: every pixel neither ground nor frame, inside the tile with a pixel to spare, five design rows tall.
                int left = size, right = -1, top = size, bottom = -1;
                for (int y = 0; y < size; ++y)
                    for (int x = 0; x < size; ++x) {
                        const std::uint32_t p = px[static_cast<std::size_t>(y * size + x)];
                        if (p == ground || p == corner) continue;
                        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
                    }
                EXPECT_TRUE(left >= 1 && right <= size - 2 && top >= 1 && bottom <= size - 2) << size << " px, " << load.percent;
                EXPECT_EQ(bottom - top + 1, 5 * std::max(1, size / 8)) << size << " px, " << load.percent;
                const int luma = (299 * static_cast<int>(ground >> 16) + 587 * static_cast<int>(ground >> 8 & 0xFF) + 114 * static_cast<int>(ground & 0xFF)) / 1000;
                if (load.percent % 2 == 1) looks += std::string(corner == ground ? "flat/" : "framed/") + (luma > 64 ? "light " : "dark ");
                if (contrast && load.percent == 59) {
                    EXPECT_EQ(std::pair(ground, px[static_cast<std::size_t>(top * size + left)]),
                              std::pair(Rgb(DistinctSystemColors::kWindow), Rgb(DistinctSystemColors::kWindowText)));
                }
                if (contrast && load.percent == 95) {
                    EXPECT_EQ(ground, Rgb(GetSysColor(COLOR_HIGHLIGHT)));
                }
            }
            EXPECT_EQ(images.size(), 5u) << "each figure and level its own picture";
            if (!contrast) {
                EXPECT_EQ(looks, "flat/dark framed/dark flat/light ") << asked << " px: each level told apart without its hue";
            }
        }
    }
}

// The tray class and the real adapter together, as ticks drive them: each new figure is one new icon, the one before
// destroyed once the shell has the new; 10,000 ticks with the load moving every 50th (each new icon goes through
// Wine's tray, several milliseconds) leave no GDI or USER object behind; off, no load icon is left.
TEST(TrayLoadIcon, OneIconIsAliveAtATimeAndTenThousandTicksWithTheLoadMovingLeaveNothingBehind) {
    const HWND window = CreateWindowW(L"STATIC", L"", WS_POPUP, -400, -400, 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    purgix::win32::TrayAdapter shell;
    purgix::ui::PictureBox box{"PicTray", {0, 0, 33, 33}, purgix::ui::kButtonFace};
    box.SetHandle(reinterpret_cast<purgix::ui::WindowHandle>(window));
    purgix::win32::ResourceAdapter resources(GetModuleHandleW(nullptr));
    box.SetPicture(resources.Resource(purgix::platform::ResourcePicture::TrayIcon));
    {
        purgix::win32::TraceAdapter traces;
        purgix::tray::CTray tray(shell, traces);
        tray.PicBox(box);
        tray.ShowIcon();
        tray.ShowLoad(purgix::tray::TrayLoadOf(50));
        const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
        HICON before = shell.LoadIconShown();
        int alive = 0;
        for (int i = 0; i < 10000; ++i) {
            tray.ShowLoad(purgix::tray::TrayLoadOf(40 + i / 50 % 60));
            if (shell.LoadIconShown() == before) continue;
            ICONINFO info{};
            if (GetIconInfo(before, &info)) {  // the icon before this one should be gone
                ++alive;
                DeleteObject(info.hbmColor);
                DeleteObject(info.hbmMask);
            }
            before = shell.LoadIconShown();
        }
        EXPECT_EQ(alive, 0);
        EXPECT_EQ(std::pair(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)),
                  std::pair(gdi, user));
        tray.ShowLoad(std::nullopt);
        EXPECT_EQ(shell.LoadIconShown(), nullptr);
    }
    DestroyWindow(window);
}
