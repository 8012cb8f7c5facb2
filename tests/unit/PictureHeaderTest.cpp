#include "skins/PictureHeader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using purgix::skins::PictureFormat;
using purgix::skins::PictureHeader;
using purgix::skins::ReadPictureHeader;

namespace {

// Builds a file's bytes field by field.
struct Bytes {
    std::vector<unsigned char> v;
    // n bytes of x, least significant first (Le) or last (Be).
    Bytes& Le(std::uint64_t x, int n) { for (int i = 0; i < n; ++i) v.push_back(static_cast<unsigned char>(x >> (8 * i))); return *this; }
    Bytes& Be(std::uint64_t x, int n) { for (int i = n; i-- > 0;) v.push_back(static_cast<unsigned char>(x >> (8 * i))); return *this; }
    Bytes& Text(const std::string& s) { v.insert(v.end(), s.begin(), s.end()); return *this; }
    Bytes& Fill(std::size_t n, unsigned char b = 0) { v.insert(v.end(), n, b); return *this; }
};

// BITMAPFILEHEADER + BITMAPINFOHEADER-family header + `data` pixel bytes.
Bytes Bmp(std::uint32_t infoSize, std::int64_t w, std::int64_t h, std::uint32_t bits, std::uint32_t compression, std::size_t data,
          std::uint32_t planes = 1) {
    Bytes b;
    b.Text("BM").Le(14 + infoSize + data, 4).Le(0, 4).Le(14 + infoSize, 4).Le(infoSize, 4);
    if (infoSize == 12) return b.Le(w, 2).Le(h, 2).Le(planes, 2).Le(bits, 2).Fill(data);
    return b.Le(static_cast<std::uint32_t>(w), 4).Le(static_cast<std::uint32_t>(h), 4).Le(planes, 2).Le(bits, 2).Le(compression, 4)
        .Fill(infoSize - 20 + data);
}

Bytes Gif(const char* version, std::uint32_t w, std::uint32_t h) { return Bytes{}.Text(version).Le(w, 2).Le(h, 2).Le(0, 3); }

Bytes Png(std::uint32_t w, std::uint32_t h, const char* chunk = "IHDR", std::uint32_t length = 13) {
    return Bytes{}.Text("\x89PNG\r\n\x1a\n").Be(length, 4).Text(chunk).Be(w, 4).Be(h, 4).Le(0x0608, 2).Fill(3).Fill(4);
}

// SOI, a JFIF segment, fill bytes, a restart marker, then `frame` (a SOFn by default).
Bytes Jpeg(std::uint32_t w, std::uint32_t h, unsigned frame = 0xC0) {
    return Bytes{}.Be(0xFFD8, 2).Be(0xFFE0, 2).Be(16, 2).Text("JFIF").Fill(10).Fill(3, 0xFF).Le(0xD0, 1)
        .Be(0xFF00 | frame, 2).Be(11, 2).Le(8, 1).Be(h, 2).Be(w, 2).Le(1, 1).Le(0x011100, 3);
}

// One icon entry (sides of 0 mean 256) and its image bytes right after the directory.
Bytes Ico(std::uint32_t w, std::uint32_t h, std::uint32_t type = 1, std::uint32_t count = 1, std::uint32_t imageBytes = 8,
          std::uint32_t offset = 22) {
    return Bytes{}.Le(0, 2).Le(type, 2).Le(count, 2).Le(w, 1).Le(h, 1).Le(0, 2).Le(1, 2).Le(32, 2).Le(imageBytes, 4).Le(offset, 4)
        .Fill(8, 0x42);
}

std::optional<PictureHeader> Read(const Bytes& b) { return ReadPictureHeader(b.v); }

}  // namespace

TEST(PictureHeader, ValidHeadersGiveFormatAndSizeAndEveryTruncationFails) {
    using F = PictureFormat;
    const std::tuple<const char*, Bytes, PictureHeader> rows[] = {
        {"bmp bottom-up", Bmp(40, 3, 2, 24, 0, 2 * 12), {F::Bmp, 3, 2}}, {"bmp top-down", Bmp(40, 3, -2, 24, 0, 2 * 12), {F::Bmp, 3, 2}},
        {"bmp core header", Bmp(12, 2, 2, 24, 0, 2 * 8), {F::Bmp, 2, 2}}, {"bmp v5 RLE", Bmp(124, 5, 4, 8, 1, 0), {F::Bmp, 5, 4}},
        {"bmp 1-bit rows padded to 4 bytes", Bmp(40, 33, 3, 1, 0, 3 * 8), {F::Bmp, 33, 3}},
        {"gif87a", Gif("GIF87a", 7, 5), {F::Gif, 7, 5}}, {"gif89a", Gif("GIF89a", 480, 210), {F::Gif, 480, 210}},
        {"png", Png(300, 200), {F::Png, 300, 200}}, {"png at the pixel cap", Png(4096, 4096), {F::Png, 4096, 4096}},
        {"png one row at the cap", Png(16777216, 1), {F::Png, 16777216, 1}},
        {"jpeg baseline", Jpeg(640, 480), {F::Jpeg, 640, 480}}, {"jpeg progressive", Jpeg(33, 17, 0xC2), {F::Jpeg, 33, 17}},
        {"ico 256 written as 0", Ico(0, 0), {F::Ico, 256, 256}}, {"ico 16 x 32", Ico(16, 32), {F::Ico, 16, 32}}};
    for (const auto& [what, bytes, expected] : rows) {
        EXPECT_EQ(Read(bytes), expected) << what;
        // Copies of exactly n bytes, so the sanitizers see any read past them.
        for (auto end = bytes.v.begin(); end != bytes.v.end(); ++end)
            ASSERT_EQ(ReadPictureHeader(std::vector<unsigned char>(bytes.v.begin(), end)), std::nullopt) << what << " cut to " << end - bytes.v.begin();
    }
}

TEST(PictureHeader, UnknownInconsistentAndAbsurdHeadersFail) {
    // Each hostile JPEG ends with a good 64 x 48 frame that a walk gone astray would find.
    const Bytes frame = Bytes{}.Be(0xFFC0, 2).Be(11, 2).Le(8, 1).Be(48, 2).Be(64, 2).Le(1, 1).Le(0x011100, 3);
    const auto jpeg = [&frame](Bytes b) { b.v.insert(b.v.end(), frame.v.begin(), frame.v.end()); return b; };
    // Pixels said to start inside the info header of a file cut there.
    Bytes insideHeader = Bmp(124, 5, 4, 8, 1, 0);
    insideHeader.v[10] = 54;
    insideHeader.v.resize(60);
    const std::pair<const char*, Bytes> rows[] = {
        {"text", Bytes{}.Text("This is not a picture, whatever its name says.")}, {"bmp width 0", Bmp(40, 0, 2, 24, 0, 0)},
        {"bmp height 0", Bmp(40, 3, 0, 24, 0, 0)}, {"bmp negative width", Bmp(40, -3, 2, 24, 0, 24)}, {"bmp two planes", Bmp(40, 3, 2, 24, 0, 24, 2)},
        {"bmp unknown info header", Bmp(44, 3, 2, 24, 0, 24)}, {"bmp rows cut short", Bmp(40, 3, 2, 24, 0, 23)},
        {"bmp pixels inside a cut header", insideHeader}, {"bmp 100000 x 100000", Bmp(40, 100000, 100000, 8, 1, 0)},
        {"bmp height of -2^31", Bmp(40, 1, -2147483648LL, 8, 1, 0)}, {"gif 65535 x 65535", Gif("GIF89a", 65535, 65535)},
        {"gif height 0", Gif("GIF89a", 7, 0)}, {"gif unknown version", Gif("GIF88a", 7, 5)},
        {"png 100000 x 100000", Png(100000, 100000)}, {"png one past the cap", Png(4097, 4096)},
        {"png one row past the cap", Png(16777217, 1)}, {"png without IHDR first", Png(3, 2, "IDAT")},
        {"png IHDR of the wrong length", Png(3, 2, "IHDR", 12)}, {"jpeg 65535 x 65535", Jpeg(65535, 65535)},
        {"jpeg height from a later DNL", Jpeg(640, 0)}, {"jpeg scan before any frame", jpeg(Bytes{}.Be(0xFFD8, 2).Be(0xFFDA, 2).Be(12, 2).Fill(10))},
        {"jpeg ends before any frame", jpeg(Bytes{}.Be(0xFFD8FFD9, 4).Be(2, 2))}, {"jpeg starts twice", jpeg(Bytes{}.Be(0xFFD8FFD8, 4).Be(2, 2))},
        {"jpeg segment length below 2", jpeg(Bytes{}.Be(0xFFD8FFE0, 4).Be(1, 2))},
        {"jpeg stuffed zero as a marker", jpeg(Bytes{}.Be(0xFFD8FF00, 4).Be(2, 2))},
        // A frame header too short for its fields: what follows it is not its size.
        {"jpeg frame header cut short", Bytes{}.Be(0xFFD8, 2).Be(0xFFC0, 2).Be(7, 2).Le(8, 1).Be(48, 2).Be(64, 2).Fill(8)},
        {"jpeg huffman table is no frame", Jpeg(640, 480, 0xC4)}, {"ico type 2 is a cursor", Ico(16, 16, 2)},
        {"ico without entries", Ico(16, 16, 1, 0)}, {"ico directory missing its second entry", Ico(16, 16, 1, 2)},
        {"ico image inside the directory", Ico(16, 16, 1, 1, 8, 10)}, {"ico image past the end", Ico(16, 16, 1, 1, 9)},
        {"ico image of no bytes", Ico(16, 16, 1, 1, 0)}};
    for (const auto& [what, bytes] : rows) EXPECT_EQ(Read(bytes), std::nullopt) << what;
    // Sides the decoder reports are checked too: their product must not wrap around to a small area.
    EXPECT_FALSE(purgix::skins::IsAcceptableSize(std::uint64_t{1} << 32, std::uint64_t{1} << 32));
}
