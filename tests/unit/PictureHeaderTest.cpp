#include "skins/PictureHeader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
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

// The screen with a two-colour table, an extension, each frame (its descriptor, code size, one data block) and the trailer.
Bytes Gif(const char* version, std::uint32_t w, std::uint32_t h, const std::vector<std::pair<std::uint32_t, std::uint32_t>>& frames = {{1, 1}}) {
    Bytes b;
    b.Text(version).Le(w, 2).Le(h, 2).Le(0x80, 1).Le(0, 2).Fill(6).Le(0x04F921, 3).Fill(4).Le(0, 1);
    for (auto [fw, fh] : frames) b.Le(0x2C, 1).Le(0, 4).Le(fw, 2).Le(fh, 2).Le(0, 1).Le(2, 1).Le(2, 1).Fill(2).Le(0, 1);
    return b.Le(0x3B, 1);
}

Bytes Png(std::uint32_t w, std::uint32_t h, const char* chunk = "IHDR", std::uint32_t length = 13) {
    return Bytes{}.Text("\x89PNG\r\n\x1a\n").Be(length, 4).Text(chunk).Be(w, 4).Be(h, 4).Le(0x0608, 2).Fill(3).Fill(4);
}

// SOI, a JFIF segment, fill bytes, a restart marker, then `frame` (a SOFn by default).
Bytes Jpeg(std::uint32_t w, std::uint32_t h, unsigned frame = 0xC0) {
    return Bytes{}.Be(0xFFD8, 2).Be(0xFFE0, 2).Be(16, 2).Text("JFIF").Fill(10).Fill(3, 0xFF).Le(0xD0, 1)
        .Be(0xFF00 | frame, 2).Be(11, 2).Le(8, 1).Be(h, 2).Be(w, 2).Le(1, 1).Le(0x011100, 3);
}

// An icon's bitmap image: its info header (whose height counts the mask's rows too) and a few pixel bytes.
Bytes Dib(std::uint32_t w, std::uint32_t h) { return Bytes{}.Le(40, 4).Le(w, 4).Le(2 * h, 4).Le(1, 2).Le(32, 2).Fill(32); }

// The directory's entries (sides of 0 mean 256) and their images, in order after it.
Bytes Ico(const std::vector<std::tuple<std::uint32_t, std::uint32_t, Bytes>>& entries, std::uint32_t type = 1) {
    Bytes b;
    b.Le(0, 2).Le(type, 2).Le(entries.size(), 2);
    std::size_t at = 6 + 16 * entries.size();
    for (const auto& [w, h, image] : entries) {
        b.Le(w, 1).Le(h, 1).Le(0, 2).Le(1, 2).Le(32, 2).Le(image.v.size(), 4).Le(at, 4);
        at += image.v.size();
    }
    for (const auto& e : entries) b.v.insert(b.v.end(), std::get<2>(e).v.begin(), std::get<2>(e).v.end());
    return b;
}
Bytes Ico(std::uint32_t w, std::uint32_t h) { return Ico({{w, h, Dib(w == 0 ? 256 : w, h == 0 ? 256 : h)}}); }
// One entry whose size and place are as given, whatever the file holds.
Bytes IcoEntry(std::uint32_t count, std::uint32_t imageBytes, std::uint32_t offset, std::uint32_t type = 1) {
    Bytes b = Ico({{16, 16, Dib(16, 16)}}, type);
    b.v[4] = static_cast<unsigned char>(count);
    for (int i = 0; i < 4; ++i) b.v[14 + i] = static_cast<unsigned char>(imageBytes >> (8 * i)), b.v[18 + i] = static_cast<unsigned char>(offset >> (8 * i));
    return b;
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
        {"gif frames filling the cap with the screen", Gif("GIF89a", 16, 16, {{4096, 2048}, {4096, 2047}, {1, 1}}), {F::Gif, 16, 16}},
        {"png", Png(300, 200), {F::Png, 300, 200}}, {"png at the pixel cap", Png(4096, 4096), {F::Png, 4096, 4096}},
        {"png one row at the cap", Png(16777216, 1), {F::Png, 16777216, 1}},
        {"jpeg baseline", Jpeg(640, 480), {F::Jpeg, 640, 480}}, {"jpeg progressive", Jpeg(33, 17, 0xC2), {F::Jpeg, 33, 17}},
        {"ico 256 written as 0", Ico(0, 0), {F::Ico, 256, 256}}, {"ico 16 x 32", Ico(16, 32), {F::Ico, 16, 32}},
        {"ico of a bitmap and a png", Ico({{16, 16, Dib(16, 16)}, {48, 48, Png(48, 48)}}), {F::Ico, 16, 16}}};
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
        // A small screen, and what the decoder builds beyond it: each frame, and all of them together.
        {"gif of six 8000 x 8000 frames on a 16 x 16 screen", Gif("GIF89a", 16, 16, std::vector(6, std::pair<std::uint32_t, std::uint32_t>{8000, 8000}))},
        {"gif frames over the cap together", Gif("GIF89a", 16, 16, {{4096, 2048}, {4096, 2048}})},
        {"gif of 257 frames", Gif("GIF89a", 16, 16, std::vector(257, std::pair<std::uint32_t, std::uint32_t>{1, 1}))},
        {"gif without a frame", Gif("GIF89a", 16, 16, {})}, {"gif with an unknown block", [] { Bytes b = Gif("GIF89a", 7, 5); b.v.back() = 0x42; return b; }()},
        {"png 100000 x 100000", Png(100000, 100000)}, {"png one past the cap", Png(4097, 4096)},
        {"png one row past the cap", Png(16777217, 1)}, {"png without IHDR first", Png(3, 2, "IDAT")},
        {"png IHDR of the wrong length", Png(3, 2, "IHDR", 12)}, {"jpeg 65535 x 65535", Jpeg(65535, 65535)},
        {"jpeg height from a later DNL", Jpeg(640, 0)}, {"jpeg scan before any frame", jpeg(Bytes{}.Be(0xFFD8, 2).Be(0xFFDA, 2).Be(12, 2).Fill(10))},
        {"jpeg ends before any frame", jpeg(Bytes{}.Be(0xFFD8FFD9, 4).Be(2, 2))}, {"jpeg starts twice", jpeg(Bytes{}.Be(0xFFD8FFD8, 4).Be(2, 2))},
        {"jpeg segment length below 2", jpeg(Bytes{}.Be(0xFFD8FFE0, 4).Be(1, 2))},
        {"jpeg stuffed zero as a marker", jpeg(Bytes{}.Be(0xFFD8FF00, 4).Be(2, 2))},
        // A frame header too short for its fields: what follows it is not its size.
        {"jpeg frame header cut short", Bytes{}.Be(0xFFD8, 2).Be(0xFFC0, 2).Be(7, 2).Le(8, 1).Be(48, 2).Be(64, 2).Fill(8)},
        {"jpeg huffman table is no frame", Jpeg(640, 480, 0xC4)}, {"ico type 2 is a cursor", IcoEntry(1, 72, 22, 2)},
        {"ico without entries", IcoEntry(0, 72, 22)}, {"ico directory missing its second entry", IcoEntry(2, 72, 22)},
        {"ico image inside the directory", IcoEntry(1, 40, 14)}, {"ico image past the end", IcoEntry(1, 73, 22)},
        {"ico image of no bytes", IcoEntry(1, 0, 22)},
        // What the directory says is not what the decoder builds.
        {"ico whose 16 x 16 entry wraps an 8000 x 8000 png", Ico({{16, 16, Png(8000, 8000)}})},
        {"ico whose 16 x 16 entry holds an 8000 x 8000 bitmap", Ico({{16, 16, Dib(8000, 8000)}})},
        {"ico whose second image is too large", Ico({{16, 16, Dib(16, 16)}, {16, 16, Png(4096, 4096)}})},
        {"ico image that is neither png nor bitmap", Ico({{16, 16, Bytes{}.Fill(48, 0x42)}})}};
    for (const auto& [what, bytes] : rows) EXPECT_EQ(Read(bytes), std::nullopt) << what;
    // Sides the decoder reports are checked too: their product must not wrap around to a small area.
    EXPECT_FALSE(purgix::skins::IsAcceptableSize(std::uint64_t{1} << 32, std::uint64_t{1} << 32));
}
