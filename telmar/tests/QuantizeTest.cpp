// The colour reduction and the BMP encoding of the skin generator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "BmpWriter.h"
#include "Quantize.h"

namespace {

using namespace skingen;

RgbImage Gradient(int w, int h) {
    RgbImage image(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) image.Set(x, y, Rgb(x * 255 / (w - 1), y * 255 / (h - 1), (x ^ y) & 0xFF));
    }
    return image;
}

TEST(Quantize, FewColoursAreKeptExactly) {
    RgbImage image(4, 1);
    image.Set(0, 0, Rgb(1, 2, 3));
    image.Set(1, 0, Rgb(200, 100, 50));
    image.Set(2, 0, Rgb(1, 2, 3));
    image.Set(3, 0, Rgb(0, 193, 207));
    const auto palette = BuildPalette({&image}, {Rgb(0, 193, 207)});
    EXPECT_EQ(palette.size(), 3u);
    const RgbImage back = Expand(MapToPalette(image, palette), palette);
    EXPECT_EQ(back.pixels, image.pixels);
}

TEST(Quantize, ManyColoursFitTheTableAndReservedOnesStayExact) {
    const RgbImage image = Gradient(128, 128);
    const uint32_t reserved = Rgb(0, 193, 207);
    const auto palette = BuildPalette({&image}, {reserved});
    ASSERT_LE(palette.size(), size_t(kPaletteSize));
    EXPECT_NE(std::find(palette.begin(), palette.end(), reserved), palette.end());

    RgbImage probe(1, 1, reserved);
    EXPECT_EQ(Expand(MapToPalette(probe, palette), palette).At(0, 0), reserved);

    // Nearest colours stay close on a smooth image.
    const RgbImage back = Expand(MapToPalette(image, palette), palette);
    long worst = 0;
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const uint32_t a = image.pixels[i], b = back.pixels[i];
        for (int shift : {0, 8, 16}) {
            worst = std::max(worst, std::labs(long(a >> shift & 0xFF) - long(b >> shift & 0xFF)));
        }
    }
    EXPECT_LT(worst, 64);
}

TEST(Quantize, EqualColoursInDifferentImagesGetTheSameIndex) {
    const RgbImage a = Gradient(64, 64);
    RgbImage b(64, 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) b.Set(x, y, a.At(63 - x, y));
    }
    const auto palette = BuildPalette({&a, &b}, {});
    const IndexedImage ia = MapToPalette(a, palette), ib = MapToPalette(b, palette);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) ASSERT_EQ(ia.indices[size_t(y) * 64 + x], ib.indices[size_t(y) * 64 + 63 - x]);
    }
}

uint32_t Read32(const std::vector<unsigned char>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

TEST(BmpWriter, EightBitBottomUpRowsPaddedWithFullTable) {
    IndexedImage image{3, 2, {1, 2, 3, 4, 5, 6}};
    const std::vector<uint32_t> palette = {Rgb(10, 20, 30), Rgb(40, 50, 60)};
    const auto bmp = EncodeBmp8(image, palette);
    const size_t bits = 14 + 40 + 256 * 4;
    ASSERT_EQ(bmp.size(), bits + 2 * 4);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(Read32(bmp, 2), bmp.size());
    EXPECT_EQ(Read32(bmp, 10), bits);
    EXPECT_EQ(Read32(bmp, 14), 40u);
    EXPECT_EQ(Read32(bmp, 18), 3u);
    EXPECT_EQ(Read32(bmp, 22), 2u);
    EXPECT_EQ(bmp[28], 8);
    EXPECT_EQ(Read32(bmp, 46), 256u);
    // Table entries are blue, green, red, zero; unused ones are black.
    EXPECT_EQ(bmp[54 + 4], 60);
    EXPECT_EQ(bmp[54 + 6], 40);
    EXPECT_EQ(Read32(bmp, 54 + 255 * 4), 0u);
    // The bottom row comes first.
    const unsigned char expected[] = {4, 5, 6, 0, 1, 2, 3, 0};
    EXPECT_EQ(std::memcmp(bmp.data() + bits, expected, sizeof expected), 0);
}

}  // namespace
