#include "skins/PictureHeader.h"

#include <cstring>
#include <utility>

namespace purgix::skins {

namespace {

// A bounds-checked reader: every field read past the end fails the header, so
// the parsers below never need a length check of their own.
class Reader {
public:
    explicit Reader(std::span<const unsigned char> bytes) : bytes_(bytes) {}

    bool Has(std::uint64_t offset, std::uint64_t count) const {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }
    bool Matches(std::size_t offset, const char* text) const {
        const std::size_t n = std::strlen(text);
        return Has(offset, n) && std::memcmp(bytes_.data() + offset, text, n) == 0;
    }
    std::optional<std::uint32_t> Le(std::size_t offset, std::size_t count) const {
        if (!Has(offset, count)) return std::nullopt;
        std::uint32_t v = 0;
        for (std::size_t i = count; i-- > 0;) v = (v << 8) | bytes_[offset + i];
        return v;
    }
    std::optional<std::uint32_t> Be(std::size_t offset, std::size_t count) const {
        if (!Has(offset, count)) return std::nullopt;
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < count; ++i) v = (v << 8) | bytes_[offset + i];
        return v;
    }
    std::size_t Size() const { return bytes_.size(); }

private:
    std::span<const unsigned char> bytes_;
};

std::optional<PictureHeader> Sized(PictureFormat format, std::uint64_t width, std::uint64_t height) {
    if (!IsAcceptableSize(width, height)) return std::nullopt;
    return PictureHeader{format, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
}

std::optional<PictureHeader> Bmp(const Reader& r) {
    // BITMAPFILEHEADER (14 bytes), then the info header, which starts with its own size.
    const auto infoSize = r.Le(14, 4), pixelsAt = r.Le(10, 4);
    if (!infoSize || !pixelsAt) return std::nullopt;
    std::uint64_t width = 0, height = 0;
    std::optional<std::uint32_t> planes, bits, compression = 0u;
    if (*infoSize == 12) {  // BITMAPCOREHEADER: unsigned 16-bit sides, always bottom-up
        const auto w = r.Le(18, 2), h = r.Le(20, 2);
        if (!w || !h) return std::nullopt;
        width = *w;
        height = *h;
        planes = r.Le(22, 2);
        bits = r.Le(24, 2);
    } else if (*infoSize == 40 || *infoSize == 52 || *infoSize == 56 || *infoSize == 64 || *infoSize == 108 || *infoSize == 124) {
        // BITMAPINFOHEADER and its extensions (OS/2 2.x, V2, V3, V4, V5).
        const auto w = r.Le(18, 4), h = r.Le(22, 4);
        if (!w || !h || static_cast<std::int32_t>(*w) <= 0) return std::nullopt;
        width = *w;
        // A negative height is a top-down picture of that many rows.
        const std::int64_t rows = static_cast<std::int32_t>(*h);
        height = static_cast<std::uint64_t>(rows < 0 ? -rows : rows);
        planes = r.Le(26, 2);
        bits = r.Le(28, 2);
        compression = r.Le(30, 4);
    } else {
        return std::nullopt;
    }
    // The pixels start after the info header, so the whole header lies inside the file too.
    if (planes != 1u || !bits || !compression || *pixelsAt < 14 + std::uint64_t{*infoSize}) return std::nullopt;
    if (!IsAcceptableSize(width, height)) return std::nullopt;
    // Uncompressed rows (BI_RGB, BI_BITFIELDS, BI_ALPHABITFIELDS) have a known
    // length: a file cut short of them is refused before a decoder reads it.
    std::uint64_t pixelBytes = 0;
    if (*compression == 0 || *compression == 3 || *compression == 6) pixelBytes = (width * *bits + 31) / 32 * 4 * height;
    if (!r.Has(*pixelsAt, pixelBytes)) return std::nullopt;
    return Sized(PictureFormat::Bmp, width, height);
}

// The size a PNG's IHDR claims, its chunk starting at `at` (the eight-byte signature first).
std::optional<std::pair<std::uint32_t, std::uint32_t>> PngSize(const Reader& r, std::size_t at) {
    if (!r.Matches(at, "\x89PNG\r\n\x1a\n") || r.Be(at + 8, 4) != 13u || !r.Matches(at + 12, "IHDR") || !r.Has(at + 16, 13 + 4))
        return std::nullopt;
    return std::pair(*r.Be(at + 16, 4), *r.Be(at + 20, 4));
}

// The sizes a decoder will build, added up: a small file may hold many large
// pictures, and some decoders build them all however few are shown.
class Weigher {
public:
    bool Add(std::uint64_t width, std::uint64_t height) {
        if (!IsAcceptableSize(width, height)) return false;
        total_ += width * height;
        return total_ <= kMaxPicturePixels;
    }

private:
    std::uint64_t total_ = 0;
};

// Skips a run of GIF sub-blocks (a length byte, that many bytes, ... a zero); false when it runs off the end.
bool SkipSubBlocks(const Reader& r, std::size_t& at) {
    for (;;) {
        const auto n = r.Le(at, 1);
        if (!n) return false;
        at += 1 + *n;
        if (*n == 0) return true;
    }
}

std::optional<PictureHeader> Gif(const Reader& r) {
    // The logical screen descriptor follows the signature; all seven bytes must be there.
    if (!r.Has(6, 7)) return std::nullopt;
    const std::uint32_t width = *r.Le(6, 2), height = *r.Le(8, 2);
    Weigher weigher;
    if (!weigher.Add(width, height)) return std::nullopt;
    const auto colorTable = [](std::uint32_t packed) { return (packed & 0x80) != 0 ? std::size_t{3} << ((packed & 7) + 1) : 0; };
    std::size_t at = 13 + colorTable(*r.Le(10, 1));
    // Every image of the file is weighed, to the trailer: the whole file must be there.
    unsigned frames = 0;
    for (;;) {
        const auto block = r.Le(at, 1);
        if (block == 0x3Bu) break;
        if (block == 0x21u) {  // an extension: its label, then sub-blocks
            at += 2;
        } else if (block == 0x2Cu && r.Has(at, 10)) {  // an image: its descriptor, colour table, code size, sub-blocks
            if (++frames > kMaxGifFrames || !weigher.Add(*r.Le(at + 5, 2), *r.Le(at + 7, 2))) return std::nullopt;
            at += 10 + colorTable(*r.Le(at + 9, 1)) + 1;
        } else {
            return std::nullopt;
        }
        if (!SkipSubBlocks(r, at)) return std::nullopt;
    }
    if (frames == 0) return std::nullopt;
    return PictureHeader{PictureFormat::Gif, width, height};
}

std::optional<PictureHeader> Png(const Reader& r) {
    // The first chunk must be IHDR, 13 bytes of data and its CRC.
    const auto size = PngSize(r, 0);
    if (!size) return std::nullopt;
    return Sized(PictureFormat::Png, size->first, size->second);
}

bool IsStartOfFrame(unsigned marker) {
    // C4 (Huffman tables), C8 (reserved) and CC (arithmetic conditioning) share the range.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::optional<PictureHeader> Jpeg(const Reader& r) {
    // Segments from after SOI up to the first frame header. Every step moves
    // forward, so the walk ends within the data: a length below 2 leaves the
    // next turn on the length's own bytes, where no 0xFF marker can be.
    std::size_t at = 2;
    for (;;) {
        if (r.Le(at, 1) != 0xFFu) return std::nullopt;
        while (r.Le(at + 1, 1) == 0xFFu) ++at;  // fill bytes before a marker
        const auto marker = r.Le(at + 1, 1);
        if (!marker || *marker == 0x00) return std::nullopt;
        at += 2;
        if (*marker == 0x01 || (*marker >= 0xD0 && *marker <= 0xD7)) continue;  // markers without a length
        // SOI again, EOI, or scan data before any frame: no size to be had.
        if (*marker == 0xD8 || *marker == 0xD9 || *marker == 0xDA) return std::nullopt;
        const auto length = r.Be(at, 2);
        if (!length || !r.Has(at, *length)) return std::nullopt;
        if (IsStartOfFrame(*marker)) {
            // Precision, height, width, component count. A height of 0 defers it
            // to a later DNL segment: refused, the size must be known up front.
            if (*length < 8) return std::nullopt;
            return Sized(PictureFormat::Jpeg, *r.Be(at + 5, 2), *r.Be(at + 3, 2));
        }
        at += *length;
    }
}

std::optional<PictureHeader> Ico(const Reader& r) {
    // ICONDIR: reserved 0, type 1 (icon, not cursor), entry count; then the
    // 16-byte entries. Every image lies after all of them and inside the file.
    const auto count = r.Le(4, 2);
    if (r.Le(2, 2) != 1u || !count || *count == 0) return std::nullopt;
    const std::size_t images = 6 + std::size_t{16} * *count;
    Weigher weigher;
    for (std::size_t entry = 6; entry < images; entry += 16) {
        const auto bytes = r.Le(entry + 8, 4), offset = r.Le(entry + 12, 4);
        if (!bytes || *bytes == 0 || *offset < images || !r.Has(*offset, *bytes)) return std::nullopt;
        // What the entry says is not what a decoder builds: the image's own header is, a PNG's or a bitmap's.
        std::uint64_t width = 0, height = 0;
        if (const auto png = PngSize(r, *offset)) {
            width = png->first;
            height = png->second;
        } else {
            const auto info = r.Le(*offset, 4), w = r.Le(*offset + 4, 4), h = r.Le(*offset + 8, 4);
            if (!info || *info < 40 || *info > *bytes || !w || !h || static_cast<std::int32_t>(*w) <= 0) return std::nullopt;
            // The height counts the mask's rows too: a bound, not less.
            const std::int64_t rows = static_cast<std::int32_t>(*h);
            width = *w;
            height = static_cast<std::uint64_t>(rows < 0 ? -rows : rows);
        }
        if (!weigher.Add(width, height)) return std::nullopt;
    }
    const std::uint32_t w = *r.Le(6, 1), h = *r.Le(7, 1);
    return Sized(PictureFormat::Ico, w == 0 ? 256 : w, h == 0 ? 256 : h);
}

}  // namespace

bool IsAcceptableSize(std::uint64_t width, std::uint64_t height) {
    // Each side is at most the cap, so the product cannot overflow.
    return width > 0 && height > 0 && width <= kMaxPicturePixels && height <= kMaxPicturePixels &&
           width * height <= kMaxPicturePixels;
}

std::optional<PictureHeader> ReadPictureHeader(std::span<const unsigned char> bytes) {
    const Reader r(bytes);
    if (r.Matches(0, "BM")) return Bmp(r);
    if (r.Matches(0, "GIF87a") || r.Matches(0, "GIF89a")) return Gif(r);
    if (r.Matches(0, "\x89PNG\r\n\x1a\n")) return Png(r);
    if (r.Le(0, 1) == 0xFFu && r.Le(1, 1) == 0xD8u) return Jpeg(r);
    if (r.Le(0, 2) == 0u) return Ico(r);
    return std::nullopt;
}

}  // namespace purgix::skins
