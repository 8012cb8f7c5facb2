// The real main window laid out at 96, 144 and 192 dpi: its size, where its
// controls stand and answer, how tall its text is, and the skin's art.
#include "WindowTest.h"

#include <filesystem>

#include "platform/win32/Wic.h"

using namespace purgix::testing;
namespace ui = purgix::ui;

namespace {

// The main window at a DPI, over fake memory and settings, with the shipped Aurora skin.
struct ScaledWindow {
    explicit ScaledWindow(int dpi) : window(frm.form, win32, false, dpi) {
        frm.form.SetPicture(win32.pictures.LoadPicture(Skins(), "Aurora.png"));
        frm.form.SetVisible(true);
        frm.Timer1.Tick();
    }
    static std::string Skins() {
        return purgix::win32::Narrow((std::filesystem::path(purgix::win32::Widen(purgix::win32::Win32Platform(nullptr).shell.ModulePath()))
                                          .parent_path() / "Skin").wstring());
    }
    RECT Place(const ui::Control& c) const {
        RECT r{};
        GetWindowRect(Hwnd(c), &r);
        MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    // Rows holding ink other than the ground inside a client rectangle.
    int InkRows(const RECT& area) const {
        RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        const purgix::win32::gdi::WindowDC dc(h);
        const COLORREF ground = GetPixel(dc.Get(), area.left, area.top);
        int rows = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (GetPixel(dc.Get(), x, y) != ground) {
                    ++rows;
                    break;
                }
        return rows;
    }

    FakePlatform fake;
    purgix::win32::Win32Platform win32{GetModuleHandleW(nullptr)};
    purgix::platform::Platform platform{.memory = fake, .blocks = fake, .keyboard = fake, .pointer = win32.input, .windows = win32.input,
                                        .locale = fake, .shell = fake, .pictures = win32.resources, .pictureFiles = win32.pictures,
                                        .files = fake, .registry = fake, .profiles = fake, .settings = fake, .tray = fake,
                                        .instances = fake, .diagnostics = fake};
    purgix::app::FrmMain frm{platform, win32.windows};
    purgix::win32::FormWindow window;
    HWND h = window.Hwnd();
};

}  // namespace

TEST(Dpi, TheWindowItsControlsItsClicksAndItsTextScaleWithTheDpi) {
    int designRows = 0;
    for (int dpi : {96, 144, 192}) {
        ScaledWindow w(dpi);
        const auto px = [dpi](int v) { return MulDiv(v, dpi, 96); };
        RECT client{};
        GetClientRect(w.h, &client);
        EXPECT_EQ(std::pair(int{client.right}, int{client.bottom}), std::pair(px(480), px(210))) << dpi;
        // Edges rounded, not sizes: a picture box, a label inside one, a check box, a spinner, a text box.
        for (auto [control, left, top, right, bottom] : {std::tuple<const ui::Control*, int, int, int, int>{&w.frm.PicTable, 56, 80, 393, 177},
                                                         {&w.frm.lblTotPhys, 56 + 96, 80 + 32, 56 + 169, 80 + 49},
                                                         {&w.frm.Check1, 64, 96, 77, 109},
                                                         {&w.frm.VScroll3, 216, 144, 233, 161},
                                                         {&w.frm.Text3, 184, 144, 217, 161}}) {
            const RECT r = w.Place(*control);
            EXPECT_EQ(std::tuple(int{r.left}, int{r.top}, int{r.right}, int{r.bottom}), std::tuple(px(left), px(top), px(right), px(bottom)))
                << control->Name() << " at " << dpi;
        }
        // The text is drawn at the DPI: "Virtual RAM" about half as tall again at 144 and twice as tall
        // at 192 (in a TrueType face there, whose letters are not quite the bitmap face's shape).
        const int rows = w.InkRows(w.Place(w.frm.Label4));
        if (dpi == 96) designRows = rows;
        EXPECT_NEAR(rows, designRows * dpi / 96.0, designRows * dpi / 96.0 * 0.12) << dpi;
        // The page switch answers a click at its scaled place, and behind the boxes the options stand where the design says.
        SendMessageW(w.h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(px(444), px(92)));
        SendMessageW(w.h, WM_LBUTTONUP, 0, MAKELPARAM(px(444), px(92)));
        w.frm.ImgTab_Click();
        EXPECT_EQ(w.frm.PageIndex(), 2) << dpi;
        EXPECT_EQ(ChildWindowFromPointEx(w.h, {px(70), px(102)}, CWP_SKIPINVISIBLE), Hwnd(w.frm.Check1)) << dpi;
        EXPECT_EQ(ChildWindowFromPointEx(w.h, {px(224), px(152)}, CWP_SKIPINVISIBLE), Hwnd(w.frm.VScroll3)) << dpi;
        // A figure too wide for its label is still shown whole in a smaller size.
        w.frm.lblTotalVirtual.SetCaption("137,438,953,344");
        const auto fitted = reinterpret_cast<HFONT>(SendMessageW(Hwnd(w.frm.lblTotalVirtual), WM_GETFONT, 0, 0));
        EXPECT_LT(LastInkOf(L"137,438,953,344", fitted), px(96 + 73) - px(96)) << dpi;
        // The skin's picture covers the whole client area: its light panel right up to the far corner.
        RedrawWindow(w.h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        const purgix::win32::gdi::WindowDC dc(w.h);
        EXPECT_NE(GetPixel(dc.Get(), client.right - 2, client.bottom - 2), GetSysColor(COLOR_BTNFACE)) << dpi;
    }
}

TEST(Dpi, ArtIsResampledOncePerScaleFromTheTwiceSizePictureWhenThereIsOne) {
    namespace fs = std::filesystem;
    const fs::path skin = fs::temp_directory_path() / "purgix-dpi-art";
    fs::create_directories(skin);
    const fs::path shipped = ScaledWindow::Skins();
    fs::copy_file(shipped / "Aurora.png", skin / "Aurora.png", fs::copy_options::overwrite_existing);
    fs::copy_file(shipped / "Aurora@2x.png", skin / "Aurora@2x.png", fs::copy_options::overwrite_existing);
    fs::copy_file(shipped / "Aurora.png", skin / "Single.png", fs::copy_options::overwrite_existing);
    fs::copy_file(shipped / "Aurora.png", skin / "Wrong@2x.png", fs::copy_options::overwrite_existing);  // not twice the size
    fs::copy_file(shipped / "Aurora.png", skin / "Wrong.png", fs::copy_options::overwrite_existing);
    purgix::win32::Win32Platform win32{GetModuleHandleW(nullptr)};
    const auto load = [&](const char* name) {
        return std::static_pointer_cast<const purgix::win32::Win32Picture>(win32.pictures.LoadPicture(purgix::win32::Narrow(skin.wstring()), name));
    };
    const auto aurora = load("Aurora.png"), single = load("Single.png"), wrong = load("Wrong.png");
    EXPECT_EQ(std::tuple(aurora->HasTwiceSize(), single->HasTwiceSize(), wrong->HasTwiceSize()), std::tuple(true, false, false));
    for (auto [scale, w, h] : {std::tuple{1.0, 480, 210}, {1.5, 720, 315}, {2.0, 960, 420}, {1.25, 600, 263}}) {
        const HBITMAP bitmap = aurora->BitmapAt(scale);
        BITMAP bm{};
        GetObjectW(bitmap, sizeof bm, &bm);
        EXPECT_EQ(std::pair(int{bm.bmWidth}, int{bm.bmHeight}), std::pair(w, h)) << scale;
        EXPECT_EQ(aurora->BitmapAt(scale), bitmap) << "made once per scale";
    }
    // At 200 % the twice-size picture is drawn as it is; the single one is resampled and differs from it.
    const auto pixels = [](HBITMAP b) {
        BITMAP bm{};
        GetObjectW(b, sizeof bm, &bm);
        return std::string(static_cast<const char*>(bm.bmBits), static_cast<std::size_t>(bm.bmWidthBytes) * static_cast<std::size_t>(bm.bmHeight));
    };
    const std::string twice = pixels(aurora->BitmapAt(2.0));
    EXPECT_EQ(pixels(load("Aurora@2x.png")->Bitmap()), twice);
    EXPECT_NE(pixels(single->BitmapAt(2.0)), twice);
    fs::remove_all(skin);
}
