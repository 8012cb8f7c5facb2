// The real main window laid out at 96, 144 and 192 dpi: its size, where its
// controls stand and answer, its text and drawing, and the skin's art.
#include <cmath>

#include "WindowTest.h"

using namespace purgix::testing;
namespace ui = purgix::ui;
using purgix::win32::Narrow;

namespace {

RECT Place(HWND form, const ui::Control& c) {
    RECT r{};
    GetWindowRect(Hwnd(c), &r);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Rows holding ink other than the ground inside a client rectangle.
int InkRows(HDC dc, const RECT& area) {
    const COLORREF ground = GetPixel(dc, area.left, area.top);
    int rows = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (GetPixel(dc, x, y) != ground) {
                ++rows;
                break;
            }
    return rows;
}

HFONT FontOf(const ui::Control& c) { return reinterpret_cast<HFONT>(SendMessageW(Hwnd(c), WM_GETFONT, 0, 0)); }

}  // namespace

TEST(Dpi, TheWindowItsControlsItsTextAndItsDrawingScaleWithTheDpi) {
    int designRows = 0;
    for (int dpi : {96, 144, 192}) {
        Main w(dpi);
        w.frm.form.SetPicture(w.win32.pictures.LoadPicture(Narrow(Beside("Skin").wstring()), "Aurora.png"));
        w.frm.form.SetVisible(true);
        w.frm.Timer1.Tick();
        const auto px = [dpi](int v) { return MulDiv(v, dpi, 96); };
        RECT client{};
        GetClientRect(w.h, &client);
        EXPECT_EQ(std::pair(int{client.right}, int{client.bottom}), std::pair(px(480), px(210))) << dpi;
        // Edges rounded, not sizes: a picture box, a label inside one, a click area, a check box, a spinner, a text box.
        for (auto [control, left, top, right, bottom] : {std::tuple<const ui::Control*, int, int, int, int>{&w.frm.PicTable, 56, 80, 393, 177},
                 {&w.frm.lblTotPhys, 56 + 96, 80 + 32, 56 + 169, 80 + 49}, {&w.frm.ImgTab, 424, 72, 465, 113}, {&w.frm.Check1, 64, 96, 77, 109},
                 {&w.frm.VScroll3, 216, 144, 233, 161}, {&w.frm.Text3, 184, 144, 217, 161}}) {
            const RECT r = Place(w.h, *control);
            EXPECT_EQ(std::tuple(int{r.left}, int{r.top}, int{r.right}, int{r.bottom}), std::tuple(px(left), px(top), px(right), px(bottom)))
                << control->Name() << " at " << dpi;
        }
        // 8.25 points at the DPI, drawn at it: "Virtual RAM" about half as tall again at 144 and twice as tall at 192
        // (in a TrueType face there, whose letters are not quite the bitmap face's shape).
        LOGFONTW font{};
        GetObjectW(FontOf(w.frm.Label4), sizeof font, &font);
        EXPECT_EQ(font.lfHeight, -std::lround(8.25 * dpi / 72)) << dpi;
        RedrawWindow(w.h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        const purgix::win32::gdi::WindowDC dc(w.h);
        const int rows = InkRows(dc.Get(), Place(w.h, w.frm.Label4));
        if (dpi == 96) designRows = rows;
        EXPECT_NEAR(rows, designRows * dpi / 96.0, designRows * dpi / 96.0 * 0.12) << dpi;
        // The skin's picture covers the whole client area: its light panel right up to the far corner.
        EXPECT_NE(GetPixel(dc.Get(), client.right - 2, client.bottom - 2), GetSysColor(COLOR_BTNFACE)) << dpi;
        // The chart page: the level bar's raster as wide as its box, its last device column drawn.
        SendMessageW(Hwnd(w.frm.ImgTab), BM_CLICK, 0, 0);
        const RECT bar = Place(w.h, w.frm.PicGrpPro);
        RedrawWindow(w.h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        EXPECT_EQ(std::pair(w.frm.PageIndex(), GetPixel(dc.Get(), bar.right - 1, bar.bottom - 1)), std::pair(1, RGB(0, 0, 0))) << dpi;
        // The options page: behind the boxes the options stand where the design says.
        SendMessageW(Hwnd(w.frm.ImgTab), BM_CLICK, 0, 0);
        EXPECT_EQ(ChildWindowFromPointEx(w.h, {px(70), px(102)}, CWP_SKIPINVISIBLE), Hwnd(w.frm.Check1)) << dpi;
        EXPECT_EQ(ChildWindowFromPointEx(w.h, {px(224), px(152)}, CWP_SKIPINVISIBLE), Hwnd(w.frm.VScroll3)) << dpi;
        // A figure too wide for its label is shown whole in a smaller size, and in the label's own once it fits again.
        const HFONT design = FontOf(w.frm.lblTotalVirtual);
        w.frm.lblTotalVirtual.SetCaption("137,438,953,344");  // 128 TiB of address space, in kilobytes
        EXPECT_LT(LastInkOf(L"137,438,953,344", FontOf(w.frm.lblTotalVirtual)), px(96 + 73) - px(96)) << dpi;
        w.frm.lblTotalVirtual.SetCaption("2,097,152");
        EXPECT_EQ(FontOf(w.frm.lblTotalVirtual), design) << dpi;
    }
}

TEST(Dpi, ArtIsResampledOncePerScaleFromTheTwiceSizePictureWhenThereIsOne) {
    namespace fs = std::filesystem;
    const fs::path skin = fs::temp_directory_path() / "purgix-dpi-art";
    fs::create_directories(skin);
    for (auto [from, to] : {std::pair{"Aurora.png", "Aurora.png"}, {"Aurora@2x.png", "Aurora@2x.png"}, {"Aurora.png", "Single.png"},
                            {"Aurora.png", "Wrong.png"}, {"Aurora.png", "Wrong@2x.png"}})  // the last not twice the size
        fs::copy_file(Beside("Skin") / from, skin / to, fs::copy_options::overwrite_existing);
    purgix::win32::Win32Platform win32{GetModuleHandleW(nullptr)};
    const auto load = [&](const char* name) {
        return std::static_pointer_cast<const purgix::win32::Win32Picture>(win32.pictures.LoadPicture(Narrow(skin.wstring()), name));
    };
    const auto aurora = load("Aurora.png"), single = load("Single.png"), wrong = load("Wrong.png");
    EXPECT_EQ(std::tuple(aurora->HasTwiceSize(), single->HasTwiceSize(), wrong->HasTwiceSize()), std::tuple(true, false, false));
    const auto pixels = [](HBITMAP b, int w = 0, int h = 0) {
        BITMAP bm{};
        GetObjectW(b, sizeof bm, &bm);
        EXPECT_EQ(std::pair(int{bm.bmWidth}, int{bm.bmHeight}), std::pair(w ? w : int{bm.bmWidth}, h ? h : int{bm.bmHeight}));
        return std::string(static_cast<const char*>(bm.bmBits), static_cast<std::size_t>(bm.bmWidthBytes) * static_cast<std::size_t>(bm.bmHeight));
    };
    for (auto [scale, w, h] : {std::tuple{1.0, 480, 210}, {1.5, 720, 315}, {2.0, 960, 420}, {1.25, 600, 263}}) {
        const HBITMAP bitmap = aurora->BitmapAt(scale);
        pixels(bitmap, w, h);
        EXPECT_EQ(aurora->BitmapAt(scale), bitmap) << "made once per scale " << scale;
    }
    // At 200 % the twice-size picture is drawn as it is; the single one is resampled and differs from it.
    const std::string twice = pixels(aurora->BitmapAt(2.0));
    EXPECT_EQ(pixels(load("Aurora@2x.png")->Bitmap()), twice);
    EXPECT_NE(pixels(single->BitmapAt(2.0)), twice);
    fs::remove_all(skin);
}
