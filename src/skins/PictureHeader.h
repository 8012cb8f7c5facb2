#pragma once
// What a skin's picture claims to be, read from its first bytes before any
// decoder sees them: the format and the size in pixels. Skins are downloaded
// files, so a claim that is truncated, unknown or too large to hold is refused
// here, where nothing has been allocated for it yet.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace purgix::skins {

enum class PictureFormat { Bmp, Gif, Png, Jpeg, Ico };

struct PictureHeader {
    PictureFormat format;
    std::uint32_t width;
    std::uint32_t height;
    friend bool operator==(const PictureHeader&, const PictureHeader&) = default;
};

// 4096 x 4096 at four bytes a pixel is 64 MiB once decoded: far beyond any
// window's background, and still an allocation the program survives.
inline constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{4096} * 4096;

// Only the first frame of a GIF is shown, but a decoder may build them all.
inline constexpr unsigned kMaxGifFrames = 256;

// True for a size worth decoding: neither side zero, the area within the cap.
bool IsAcceptableSize(std::uint64_t width, std::uint64_t height);

// The format and size of a BMP, GIF, PNG, JPEG or ICO file from its bytes;
// nothing for any other, truncated or inconsistent file, or one whose
// pictures a decoder might build exceed the cap together: every GIF frame
// (at most kMaxGifFrames), every icon image by its own header (a PNG's IHDR
// or a bitmap's), not by what the directory claims. A GIF reports its
// screen's size, an icon its first entry's.
std::optional<PictureHeader> ReadPictureHeader(std::span<const unsigned char> bytes);

}  // namespace purgix::skins
