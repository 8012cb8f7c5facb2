// Skin pictures from disk through the real file system and WIC: every format
// loads at its size, hostile files and names are refused without a crash, and
// nothing is left behind (GDI objects, open files, COM apartments).
#include <windows.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/Text.h"
#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Platform.h"

using purgix::win32::Narrow;
using Bytes = std::vector<unsigned char>;

namespace {

void Put(Bytes& b, std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// A 24-bit bottom-up BMP with rows padded to four bytes.
Bytes Bmp(int w, int h) {
    const int stride = (w * 3 + 3) & ~3;
    Bytes b{'B', 'M'};
    Put(b, 54 + stride * h, 4), Put(b, 0, 4), Put(b, 54, 4);
    Put(b, 40, 4), Put(b, w, 4), Put(b, h, 4), Put(b, 1, 2), Put(b, 24, 2), Put(b, 0, 24);
    b.resize(b.size() + static_cast<std::size_t>(stride * h), 0x7F);
    return b;
}

// A GIF whose logical screen is sw x sh and whose one image is w x h, all red.
// The LZW codes (3 bits, first byte first) clear the table before every pixel,
// so the code width never grows.
Bytes Gif(int sw, int sh, int w, int h) {
    Bytes b{'G', 'I', 'F', '8', '9', 'a'};
    Put(b, sw, 2), Put(b, sh, 2), Put(b, 0x80, 1), Put(b, 0, 2);  // a two-colour global table follows
    Put(b, 0x000000, 3), Put(b, 0x0000FF, 3);                      // black, red
    Put(b, 0x2C, 1), Put(b, 0, 4), Put(b, w, 2), Put(b, h, 2), Put(b, 0, 1);
    std::vector<int> codes;
    for (int i = 0; i < w * h; ++i) codes.insert(codes.end(), {4, 1});
    codes.push_back(5);
    Bytes lzw;
    unsigned bits = 0, count = 0;
    for (int c : codes) {
        bits |= static_cast<unsigned>(c) << count;
        for (count += 3; count >= 8; count -= 8, bits >>= 8) lzw.push_back(static_cast<unsigned char>(bits));
    }
    if (count > 0) lzw.push_back(static_cast<unsigned char>(bits));
    Put(b, 2, 1);
    for (std::size_t at = 0; at < lzw.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, lzw.size() - at);
        Put(b, n, 1);
        b.insert(b.end(), lzw.begin() + static_cast<std::ptrdiff_t>(at), lzw.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    Put(b, 0, 1), Put(b, 0x3B, 1);
    return b;
}

// PNG (from 32-bit BGRA pixels) or JPEG (from 24-bit BGR) through WIC's own encoders.
Bytes Encode(const GUID& container, const WICPixelFormatGUID& format, int w, int h, const Bytes& pixels) {
    IWICImagingFactory* factory = nullptr;
    IStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    WICPixelFormatGUID agreed = format;
    const UINT stride = static_cast<UINT>(pixels.size() / static_cast<std::size_t>(h));
    Bytes out;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) && SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) && SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) &&
        SUCCEEDED(frame->Initialize(options)) && SUCCEEDED(frame->SetSize(static_cast<UINT>(w), static_cast<UINT>(h))) &&
        SUCCEEDED(frame->SetPixelFormat(&agreed)) && agreed == format &&
        SUCCEEDED(frame->WritePixels(static_cast<UINT>(h), stride, static_cast<UINT>(pixels.size()), const_cast<BYTE*>(pixels.data()))) &&
        SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit())) {
        STATSTG stat{};
        stream->Stat(&stat, STATFLAG_NONAME);
        out.resize(static_cast<std::size_t>(stat.cbSize.QuadPart));
        const LARGE_INTEGER zero{};
        ULONG read = 0;
        stream->Seek(zero, STREAM_SEEK_SET, nullptr);
        stream->Read(out.data(), static_cast<ULONG>(out.size()), &read);
    }
    for (IUnknown* u : std::initializer_list<IUnknown*>{options, frame, encoder, stream, factory})
        if (u != nullptr) u->Release();
    if (SUCCEEDED(com)) CoUninitialize();
    return out;
}

Bytes Png(int w, int h, Bytes bgra = {}) {
    if (bgra.empty()) bgra.assign(static_cast<std::size_t>(w * h * 4), 0xC0);
    return Encode(GUID_ContainerFormatPng, GUID_WICPixelFormat32bppBGRA, w, h, bgra);
}

Bytes Jpeg(int w, int h) {
    return Encode(GUID_ContainerFormatJpeg, GUID_WICPixelFormat24bppBGR, w, h, Bytes(static_cast<std::size_t>((w * 3 + 3) / 4 * 4 * h), 0x60));
}

// An icon of one entry stating w x h (0 meaning 256), holding `image` (a PNG).
Bytes Ico(int w, int h, const Bytes& image) {
    Bytes b;
    Put(b, 0, 2), Put(b, 1, 2), Put(b, 1, 2);
    Put(b, w & 0xFF, 1), Put(b, h & 0xFF, 1), Put(b, 0, 2), Put(b, 1, 2), Put(b, 32, 2), Put(b, image.size(), 4), Put(b, 22, 4);
    b.insert(b.end(), image.begin(), image.end());
    return b;
}

Bytes Cut(Bytes b, std::size_t size) {
    b.resize(size);
    return b;
}

// A PNG whose IHDR claims w x h (the CRC no longer matches: the claim must be refused before that is found).
Bytes PngClaiming(std::uint32_t w, std::uint32_t h) {
    Bytes b = Png(1, 1);
    for (int i = 0; i < 4; ++i) {
        b[16 + i] = static_cast<unsigned char>(w >> (24 - 8 * i));
        b[20 + i] = static_cast<unsigned char>(h >> (24 - 8 * i));
    }
    return b;
}

class PictureFiles : public ::testing::Test {
public:
    purgix::ui::PicturePtr Load(const std::string& name) { return os_.LoadPicture(Narrow(skin_), name); }

protected:
    PictureFiles() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root_ = std::wstring(temp) + L"purgix-pictures-" + std::to_wstring(GetCurrentProcessId());
        Folder(root_);
        skin_ = root_ + L"\\Skin";
        Folder(skin_);
    }
    ~PictureFiles() override {
        for (auto it = made_.rbegin(); it != made_.rend(); ++it)
            if (!DeleteFileW(it->c_str())) RemoveDirectoryW(it->c_str());
    }

    // Writes a file under the skin folder (or under its parent, `outside`).
    std::wstring Write(const std::wstring& name, const Bytes& bytes, bool outside = false) {
        const std::wstring path = (outside ? root_ : skin_) + L"\\" + name;
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        EXPECT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
        CloseHandle(h);
        made_.push_back(path);
        return path;
    }
    void Folder(const std::wstring& path) {
        CreateDirectoryW(path.c_str(), nullptr);
        made_.push_back(path);
    }
    std::wstring root_, skin_;

private:
    std::vector<std::wstring> made_;
    purgix::win32::Win32Platform os_{GetModuleHandleW(nullptr)};
};

HBITMAP BitmapOf(const purgix::ui::PicturePtr& p) {
    const auto* native = purgix::win32::Native(p.get());
    return native->GetType() == purgix::win32::Win32Picture::Type::Bitmap ? native->Bitmap() : nullptr;
}

}  // namespace

TEST_F(PictureFiles, EveryFormatLoadsAsABitmapAtItsOwnSize) {
    Folder(skin_ + L"\\Sub");
    const struct {
        const char* name;
        Bytes bytes;
        int width, height;
        const wchar_t* file = nullptr;  // when the name reaches it by another way
    } rows[] = {
        {"a.bmp", Bmp(3, 2), 3, 2},
        {"a.png", Png(5, 3), 5, 3},
        {"a.jpg", Jpeg(7, 4), 7, 4},
        {"a.gif", Gif(5, 4, 3, 2), 3, 2},           // the frame's size, not the screen's
        {"a.ico", Ico(32, 32, Png(16, 16)), 16, 16},  // the image's size, not the entry's
        {"png named.bmp", Png(6, 2), 6, 2},         // decoded by content, whatever the extension
        {"Sub/./b.png", Png(2, 9), 2, 9},
        {"Sub\\..\\c.png", Png(9, 2), 9, 2, L"c.png"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_FALSE(row.bytes.empty());
        Write(row.file != nullptr ? row.file : purgix::win32::Widen(row.name), row.bytes);
        const auto picture = Load(row.name);
        EXPECT_NE(BitmapOf(picture), nullptr);
        EXPECT_EQ(picture->Width(), row.width);
        EXPECT_EQ(picture->Height(), row.height);
    }
}

TEST_F(PictureFiles, DrawBlendsPremultipliedAlphaOverWhatIsBehind) {
    // Opaque red, red at half opacity, fully transparent (BGRA, straight alpha as PNG keeps it).
    Write(L"alpha.png", Png(3, 1, {0, 0, 255, 255, 0, 0, 200, 128, 0, 0, 0, 0}));
    const auto picture = Load("alpha.png");
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 3, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, target);
    auto* px = static_cast<unsigned char*>(bits);
    std::fill(px, px + 12, 0xFF);  // white behind
    purgix::win32::Native(picture.get())->Draw(dc, 0, 0);
    GdiFlush();
    const int expected[3][3] = {{0, 0, 255}, {127, 127, 227}, {255, 255, 255}};  // B, G, R
    for (int i = 0; i < 3; ++i)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(px[4 * i + c], expected[i][c], 3) << "pixel " << i << " channel " << c;
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
}

TEST_F(PictureFiles, HostileFilesAndNamesThrow) {
    Write(L"x.bmp", Bmp(3, 2), true);  // the target every escaping name aims at
    Write(L"a.png", Png(4, 4));
    const Bytes png = Png(40, 40);
    const Bytes bigFile = Bmp(4096, 1366);  // under the pixel cap, over the file cap
    const struct {
        const wchar_t* name;
        Bytes bytes;
    } files[] = {
        {L"empty.png", {}},
        {L"text.png", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'}},
        {L"truncated.png", Cut(png, png.size() / 2)},
        {L"truncated.bmp", Cut(Bmp(30, 20), 1000)},
        {L"truncated.gif", Cut(Gif(3, 2, 3, 2), 12)},
        {L"huge.png", PngClaiming(100000, 100000)},
        {L"big.bmp", bigFile},
    };
    for (const auto& f : files) Write(f.name, f.bytes);
    ASSERT_GT(bigFile.size(), 16u << 20);
    const std::string outside = Narrow(root_ + L"\\x.bmp");
    wchar_t cwd[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, cwd);
    SetCurrentDirectoryW(root_.c_str());  // so that "C:x.bmp" would find the file outside
    const std::vector<std::string> names = {
        "empty.png", "text.png", "truncated.png", "truncated.bmp", "truncated.gif", "huge.png", "big.bmp", "missing.png", "",
          "..\\x.bmp", "../x.bmp", "Sub\\..\\..\\x.bmp", "...\\x.bmp", "Sub\\.. \\..\\x.bmp", outside.c_str(), outside.substr(2).c_str(),
          ("\\\\?\\" + outside).c_str(), ("//./" + outside).c_str(), "\\\\server\\share\\x.bmp", "C:x.bmp", "NUL", "CON.bmp",
          "com1 .png", "LpT9.gif", "a.png:alt", "."};
    for (const std::string& name : names) EXPECT_THROW(Load(name), purgix::Error) << name;
    EXPECT_THROW(Load(std::string("a.png\0.txt", 10)), purgix::Error) << "a NUL inside the name";
    SetCurrentDirectoryW(cwd);
}

TEST_F(PictureFiles, LoadsLeaveNoBitmapOpenFileOrComApartmentBehind) {
    const std::wstring good = Write(L"a.png", Png(8, 8));
    const std::wstring bad = Write(L"bad.png", Cut(Png(40, 40), 100));
    const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);  // 0 under Wine, which does not count
    for (int i = 0; i < 20; ++i) {
        auto picture = Load("a.png");
        const HBITMAP bitmap = BitmapOf(picture);
        picture.reset();
        ASSERT_EQ(GetObjectType(bitmap), 0u) << "the bitmap outlives its picture";
        EXPECT_THROW(Load("bad.png"), purgix::Error);
    }
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdi);
    // The files were opened for reading only, shared with readers only: an open handle would keep them.
    EXPECT_TRUE(DeleteFileW(good.c_str()) && DeleteFileW(bad.c_str()));
    Write(L"a.png", Png(8, 8));

    // Each load leaves the thread's COM as it found it: uninitialised here...
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    CoUninitialize();
    // ...and in the multithreaded apartment on a thread that chose it.
    struct Run {
        PictureFiles* self;
        bool loaded = false;
        HRESULT after = E_FAIL;
    } run{this};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto& r = *static_cast<Run*>(p);
            CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            try {
                r.loaded = r.self->Load("a.png")->Width() == 8;
            } catch (const std::exception&) {
            }
            r.after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);  // S_FALSE: still initialised
            CoUninitialize();
            CoUninitialize();
            return 0;
        },
        &run, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_TRUE(run.loaded);
    EXPECT_EQ(run.after, S_FALSE);
}
