// Skin pictures: untrusted files, read and decoded from memory.
//
// A skin is a download, so its picture name and its bytes are both hostile
// until checked: the name may point anywhere a path can, the bytes may claim
// any size. The name is checked as written and as Windows resolves it, and
// the file opened by where it finally lies (a link may lead anywhere). The
// bytes are capped, and every size they claim (each GIF frame, each icon
// image) is weighed before WIC allocates anything for it.
#include <wincodec.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Error.h"
#include "platform/win32/adapters/Adapters.h"
#include "platform/win32/pictures/Files.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/Text.h"
#include "platform/win32/pictures/Wic.h"
#include "platform/win32/pictures/Win32Picture.h"
#include "skins/PictureHeader.h"
#include "skins/PicturePath.h"

namespace purgix::win32 {

namespace {

// Skin backgrounds are a few hundred kilobytes; a larger file is not worth reading.
constexpr LONGLONG kMaxFileBytes = 16 << 20;

[[noreturn]] void Fail(const std::string& why) { throw purgix::Error("skin picture: " + why); }

void Check(HRESULT hr, const char* step) {
    if (FAILED(hr)) Fail(step);
}

std::vector<unsigned char> ReadCapped(HANDLE file) {
    if (GetFileType(file) != FILE_TYPE_DISK) Fail("not a file on disk");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) Fail("cannot read the file size");
    if (size.QuadPart <= 0 || size.QuadPart > kMaxFileBytes) Fail("empty or oversized file");
    // One byte more than the size: a file that grew while read shows it, one that shrank comes up short.
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size.QuadPart) + 1);
    std::size_t got = 0;
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file, bytes.data() + got, static_cast<DWORD>(bytes.size() - got), &n, nullptr)) Fail("cannot read the file");
        if (n == 0) break;
        got += n;
        if (got == bytes.size()) break;
    }
    if (got != static_cast<std::size_t>(size.QuadPart)) Fail("the file changed while read");
    bytes.resize(got);
    return bytes;
}

GUID ContainerOf(skins::PictureFormat format) {
    switch (format) {
        case skins::PictureFormat::Bmp: return {0x0af1d87e, 0xfcfe, 0x4188, {0xbd, 0xeb, 0xa7, 0x90, 0x64, 0x71, 0xcb, 0xe3}};
        case skins::PictureFormat::Gif: return {0x1f8a5601, 0x7d4d, 0x4cbd, {0x9c, 0x82, 0x1b, 0xc8, 0xd4, 0xee, 0xb9, 0xa5}};
        case skins::PictureFormat::Png: return {0x1b7cfaf4, 0x713f, 0x473c, {0xbb, 0xcd, 0x61, 0x37, 0x42, 0x5f, 0xae, 0xaf}};
        case skins::PictureFormat::Jpeg: return {0x19e4a5aa, 0x5662, 0x4fc5, {0xa0, 0xc0, 0x17, 0x58, 0x02, 0x8e, 0x10, 0x57}};
        case skins::PictureFormat::Ico: return {0xa3a860c4, 0x338f, 0x4c17, {0x91, 0x9a, 0xfb, 0xa4, 0xb5, 0x62, 0x8f, 0x21}};
    }
    Fail("unknown format");
}

struct Decoded {
    gdi::Bitmap bitmap;
    int width = 0, height = 0;
};

Decoded Decode(std::vector<unsigned char>& bytes, const skins::PictureHeader& header) {
    ComApartment apartment;  // outlives every interface below
    if (!apartment) Fail("COM is not available");
    ComPtr<IWICImagingFactory> factory;
    Check(CreateImagingFactory(&factory), "no imaging component");
    ComPtr<IWICStream> stream;
    Check(factory->CreateStream(&stream), "no stream");
    Check(stream->InitializeFromMemory(bytes.data(), static_cast<DWORD>(bytes.size())), "no stream");
    ComPtr<IWICBitmapDecoder> decoder;
    Check(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &decoder), "not a picture");
    // WIC chooses its decoder by content too; one that disagrees with the
    // header check would be decoding bytes nobody weighed.
    GUID container{};
    Check(decoder->GetContainerFormat(&container), "not a picture");
    if (container != ContainerOf(header.format)) Fail("the decoder does not match the header");
    ComPtr<IWICBitmapFrameDecode> frame;
    Check(decoder->GetFrame(0, &frame), "no picture in the file");
    UINT width = 0, height = 0;
    Check(frame->GetSize(&width, &height), "no picture size");
    // A GIF frame may be smaller than its screen and an icon's image need not
    // be the size its directory entry says: theirs is the frame's. Other
    // formats hold one image, whose size the header already gave.
    const bool ownSize = header.format == skins::PictureFormat::Gif || header.format == skins::PictureFormat::Ico;
    if (!ownSize && (width != header.width || height != header.height)) Fail("the picture size does not match its header");
    if (!skins::IsAcceptableSize(width, height)) Fail("picture too large");

    ComPtr<IWICFormatConverter> converter;
    Check(factory->CreateFormatConverter(&converter), "no converter");
    // Premultiplied, as AlphaBlend wants it.
    Check(converter->Initialize(frame.Get(), kPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                WICBitmapPaletteTypeCustom),
          "cannot convert the picture");

    void* bits = nullptr;
    Decoded out{gdi::Bitmap(CreatePremultipliedBitmap(static_cast<int>(width), static_cast<int>(height), &bits)),
                static_cast<int>(width), static_cast<int>(height)};
    if (out.bitmap.Get() == nullptr) Fail("no memory for the picture");
    // The cap keeps both products well inside 32 bits.
    const UINT stride = width * 4;
    Check(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)), "the picture does not decode");
    return out;
}

// One picture file of the folder, every check passed, decoded.
Decoded Load(const std::wstring& base, const std::string& name) {
    if (!skins::IsPlainRelativeName(name)) Fail("name outside the skin folder");
    const std::wstring path = FullPath(base + L"\\" + Widen(name));
    // What Windows makes of the name is what counts: check the resolved path
    // too, and that resolving it again (as opening it will) changes nothing.
    if (base.empty() || path.empty() || !IsInside(base, path) || FullPath(path) != path) Fail("name outside the skin folder");
    // And where the file opened finally lies: a link or junction inside the folder may lead out of it.
    const FileHandle file = OpenForReading(path);
    if (!file) Fail("cannot open the file");
    if (!FinallyInside(file.Get(), base)) Fail("the file lies outside the skin folder");

    std::vector<unsigned char> bytes = ReadCapped(file.Get());
    const auto header = skins::ReadPictureHeader(bytes);
    if (!header) Fail("not a BMP, GIF, JPEG, PNG or ICO picture of a size that can be shown");
    return Decode(bytes, *header);
}

// "Aurora.png" -> "Aurora@2x.png": the same picture drawn at twice the size, for scaled displays.
std::string TwiceSizeName(const std::string& name) {
    const std::size_t dot = name.find_last_of('.');
    const std::size_t separator = name.find_last_of("\\/");
    const std::size_t stem = dot == std::string::npos || (separator != std::string::npos && dot < separator) ? name.size() : dot;
    return name.substr(0, stem) + "@2x" + name.substr(stem);
}

}  // namespace

platform::PicturePtr PictureLoader::LoadPicture(const std::string& folder, const std::string& name) {
    const std::wstring base = FullPath(Widen(folder));
    Decoded picture = Load(base, name);
    gdi::Bitmap twice;
    const std::string twiceName = TwiceSizeName(name);
    if (GetFileAttributesW((base + L"\\" + Widen(twiceName)).c_str()) != INVALID_FILE_ATTRIBUTES) {
        // A twice-size picture that fails its checks or is not twice the size is passed over: the picture itself is fine.
        try {
            Decoded big = Load(base, twiceName);
            if (big.width == 2 * picture.width && big.height == 2 * picture.height)
                twice = std::move(big.bitmap);
            else
                Trace("skin picture", twiceName + " is not twice the size of " + name);
        } catch (const purgix::Error& e) {
            Trace("skin picture", twiceName + ": " + e.what());
        }
    }
    return std::make_shared<Win32Picture>(picture.bitmap.Release(), picture.width, picture.height, twice.Release());
}

}  // namespace purgix::win32
