// The generator's palette reduction and DIB writer: transparency survives the palette, flat
// colours stay exact, and what is written reads back as drawn.
#include <gtest/gtest.h>

#include "dib_reader.h"
#include "dib_writer.h"
#include "palette.h"

using artwork::Image;
using artwork::Rgb;

namespace {

// 64 x 48 with a smooth ramp (far more than 256 colours), a flat fill, a lamp-green block and
// a few pure-black pixels among dark ones.
Image busy_picture() {
    Image image(64, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            image.at(x, y) =
                Rgb{static_cast<uint8_t>(x * 4), static_cast<uint8_t>(y * 5), static_cast<uint8_t>((x * y) % 256)};
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) image.at(x, y) = Rgb{0, 185, 0};
    for (int x = 0; x < 64; ++x) image.at(x, 47) = Rgb{4, 4, 4};
    image.at(5, 20) = Rgb{0, 0, 0};
    image.at(6, 20) = Rgb{1, 0, 0};
    image.at(7, 20) = Rgb{0, 0, 1};
    return image;
}

panel::DibImage read_back(const std::vector<uint8_t>& bytes) {
    return panel::parse_bmp_file(bytes);
}

}  // namespace

TEST(ArtworkEncoding, PaletteKeepsBlackForExactlyTheBlackPixels) {
    const Image picture = busy_picture();
    const Image stored = artwork::expand(artwork::quantise(picture));
    ASSERT_EQ(stored.pixels.size(), picture.pixels.size());
    for (size_t i = 0; i < picture.pixels.size(); ++i)
        EXPECT_EQ(stored.pixels[i] == artwork::TRANSPARENT, picture.pixels[i] == artwork::TRANSPARENT) << "pixel " << i;
    // Flat fills keep their exact colours; the ramp lands close.
    EXPECT_EQ(stored.at(3, 3), (Rgb{0, 185, 0}));
    EXPECT_EQ(stored.at(30, 47), (Rgb{4, 4, 4}));
    int worst = 0;
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
        const Rgb a = picture.pixels[i], b = stored.pixels[i];
        worst = std::max({worst, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
    }
    EXPECT_LT(worst, 48);
}

TEST(ArtworkEncoding, FewColoursAreKeptExactlyAndTheSameInputGivesTheSameBytes) {
    Image small(7, 3, Rgb{50, 13, 0});
    small.at(2, 1) = Rgb{255, 71, 7};
    small.at(6, 2) = artwork::TRANSPARENT;
    const artwork::IndexedImage indexed = artwork::quantise(small);
    EXPECT_EQ(indexed.palette.size(), 3u);
    EXPECT_EQ(artwork::expand(indexed).pixels, small.pixels);

    const Image busy = busy_picture();
    EXPECT_EQ(artwork::encode_dib_8(artwork::quantise(busy)), artwork::encode_dib_8(artwork::quantise(busy)));
}

TEST(ArtworkEncoding, WrittenFilesReadBackAsDrawnAtBothDepths) {
    // Odd widths exercise the row padding of both depths.
    Image picture(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            picture.at(x, y) = Rgb{static_cast<uint8_t>(40 * x), static_cast<uint8_t>(80 * y), 7};
    for (bool true_colour : {false, true}) {
        const std::vector<uint8_t> bytes =
            true_colour ? artwork::encode_dib_24(picture) : artwork::encode_dib_8(artwork::quantise(picture));
        const panel::DibImage back = read_back(bytes);
        ASSERT_EQ(back.width, 5);
        ASSERT_EQ(back.height, 3);
        EXPECT_EQ(back.bits_per_pixel, true_colour ? 24 : 8);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const Rgb p = picture.at(x, y);
                EXPECT_EQ(back.at(x, y), (panel::RgbPixel{p.r, p.g, p.b})) << x << "," << y;
            }
        // File size field and the 4-byte row stride of a 5-pixel row.
        const uint32_t size = bytes[2] | bytes[3] << 8 | bytes[4] << 16 | bytes[5] << 24;
        EXPECT_EQ(size, bytes.size());
        EXPECT_EQ(bytes.size(), true_colour ? 54u + 16 * 3 : 54u + 1024 + 8 * 3);
    }
}
