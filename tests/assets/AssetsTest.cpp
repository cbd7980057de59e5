// Reads the committed icon and logo byte by byte and checks what the window relies on.
#include "ui/shared/GifImage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readAsset(const std::string& name) {
    std::ifstream file(std::string(HALVERN_ASSETS_DIR) + "/" + name, std::ios::binary);
    Bytes bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>{});
    return bytes;
}

unsigned le16(const Bytes& bytes, std::size_t at) {
    return bytes.at(at) | (unsigned{bytes.at(at + 1)} << 8U);
}

std::uint32_t le32(const Bytes& bytes, std::size_t at) {
    return le16(bytes, at) | (std::uint32_t{le16(bytes, at + 2)} << 16U);
}

using Rgb = std::array<unsigned, 3>;

const std::array<Rgb, 16> vga = {{{0, 0, 0},
                                  {128, 0, 0},
                                  {0, 128, 0},
                                  {128, 128, 0},
                                  {0, 0, 128},
                                  {128, 0, 128},
                                  {0, 128, 128},
                                  {192, 192, 192},
                                  {128, 128, 128},
                                  {255, 0, 0},
                                  {0, 255, 0},
                                  {255, 255, 0},
                                  {0, 0, 255},
                                  {255, 0, 255},
                                  {0, 255, 255},
                                  {255, 255, 255}}};

struct IconImage {
    unsigned size;
    unsigned bitsPerPixel;
    std::vector<Rgb> palette;
    std::set<Rgb> opaqueColours;
    std::size_t transparentPixels = 0;
};

// Parses one image of an icon: header, palette, colour rows and mask rows, both bottom-up.
IconImage parseIconImage(const Bytes& ico, std::size_t at, std::size_t length) {
    IconImage image{};
    EXPECT_EQ(le32(ico, at), 40U) << "header size";
    image.size = le32(ico, at + 4);
    EXPECT_EQ(le32(ico, at + 8), image.size * 2) << "colour and mask heights";
    EXPECT_EQ(le16(ico, at + 12), 1U) << "planes";
    image.bitsPerPixel = le16(ico, at + 14);
    EXPECT_EQ(le32(ico, at + 16), 0U) << "uncompressed";

    const std::size_t colours = std::size_t{1} << image.bitsPerPixel;
    std::size_t p = at + 40;
    for (std::size_t i = 0; i < colours; ++i, p += 4)
        image.palette.push_back({ico.at(p + 2), ico.at(p + 1), ico.at(p)});

    const std::size_t size = image.size;
    const std::size_t xorRow = (size * image.bitsPerPixel + 31) / 32 * 4;
    const std::size_t andRow = (size + 31) / 32 * 4;
    EXPECT_EQ(length, 40 + colours * 4 + (xorRow + andRow) * image.size) << "image length";
    const std::size_t masks = p + xorRow * image.size;
    for (std::size_t y = 0; y < image.size; ++y) {
        for (std::size_t x = 0; x < image.size; ++x) {
            const bool transparent =
                (unsigned{ico.at(masks + y * andRow + x / 8)} >> (7 - x % 8)) & 1U;
            const std::size_t bit = x * image.bitsPerPixel;
            const auto shift = static_cast<unsigned>(8 - image.bitsPerPixel - bit % 8);
            const std::size_t index =
                (unsigned{ico.at(p + y * xorRow + bit / 8)} >> shift) & (colours - 1);
            if (transparent)
                ++image.transparentPixels;
            else
                image.opaqueColours.insert(image.palette.at(index));
        }
    }
    return image;
}

TEST(Assets, IconHoldsThreeImagesWithMasks) {
    const Bytes ico = readAsset("halvern.ico");
    ASSERT_GE(ico.size(), 6U + 3 * 16);
    EXPECT_EQ(le16(ico, 0), 0U);
    EXPECT_EQ(le16(ico, 2), 1U) << "an icon, not a cursor";
    ASSERT_EQ(le16(ico, 4), 3U);

    std::set<std::tuple<unsigned, unsigned>> found;
    for (std::size_t entry = 6; entry < 6 + 3 * 16; entry += 16) {
        const unsigned size = ico.at(entry);
        const unsigned bitsPerPixel = le16(ico, entry + 6);
        const std::uint32_t length = le32(ico, entry + 8), offset = le32(ico, entry + 12);
        SCOPED_TRACE(std::to_string(size) + " px at " + std::to_string(bitsPerPixel) + " bpp");
        ASSERT_LE(std::size_t{offset} + length, ico.size());
        EXPECT_EQ(ico.at(entry + 1), size);
        EXPECT_EQ(ico.at(entry + 2), 1U << bitsPerPixel) << "colour count";

        const IconImage image = parseIconImage(ico, offset, length);
        EXPECT_EQ(image.size, size);
        EXPECT_EQ(image.bitsPerPixel, bitsPerPixel);
        EXPECT_GT(image.transparentPixels, 0U) << "the mask leaves the corners clear";
        EXPECT_LT(image.transparentPixels, std::size_t{size} * size / 2) << "and shows a window";
        const Rgb white{255, 255, 255}, cyan{0, 255, 255}, grey{128, 128, 128};
        EXPECT_TRUE(image.opaqueColours.contains(white)) << "the window's body";
        if (bitsPerPixel == 4) {
            EXPECT_TRUE(std::equal(vga.begin(), vga.end(), image.palette.begin()));
            EXPECT_TRUE(image.opaqueColours.contains(cyan)) << "the title bar";
            EXPECT_TRUE(image.opaqueColours.contains(grey)) << "the shadow";
        }
        found.emplace(size, bitsPerPixel);
    }
    EXPECT_EQ(found, (std::set<std::tuple<unsigned, unsigned>>{{32, 1}, {32, 4}, {16, 4}}));
}

bool greyOrGold(const Rgb& c) {
    const auto [r, g, b] = c;
    const bool grey = std::max({r, g, b}) - std::min({r, g, b}) <= 4;
    const bool gold = r >= g && g > b && r - b >= 40;
    return grey || gold;
}

struct Logo {
    const char* name;
    unsigned width, height;
};

// The logo at its own size and at twice it for dense screens: the same kind of file.
class LogoFile : public testing::TestWithParam<Logo> {};

INSTANTIATE_TEST_SUITE_P(Assets, LogoFile,
                         testing::Values(Logo{"logo.gif", 105, 45}, Logo{"logo@2x.gif", 210, 90}),
                         [](const auto& param) { return param.index == 0 ? "Own" : "Doubled"; });

// Read by the Windows program's own decoder: an image of the logo's size on a transparent
// ground, in greys and golds only, from a palette of 32 entries whose first is the ground.
TEST_P(LogoFile, IsOneTransparentGifFrame) {
    const Logo logo = GetParam();
    const Bytes gif = readAsset(logo.name);
    ASSERT_GE(gif.size(), 13U + 32 * 3);
    EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a") << "transparency needs 89a";
    EXPECT_EQ(2U << (gif.at(10) & 7U), 32U) << "a palette of 32 entries";
    EXPECT_EQ((Rgb{gif.at(13), gif.at(14), gif.at(15)}), (Rgb{239, 238, 238}));

    const auto image = halvern::ui::decodeGif(gif);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, static_cast<int>(logo.width));
    EXPECT_EQ(image->height, static_cast<int>(logo.height));
    EXPECT_EQ(image->pixels[3], 0U) << "a transparent corner";
    for (std::size_t p = 0; p < image->pixels.size(); p += 4) {
        const Rgb colour{image->pixels[p], image->pixels[p + 1], image->pixels[p + 2]};
        if (image->pixels[p + 3] != 0) {
            ASSERT_TRUE(greyOrGold(colour)) << colour[0] << ',' << colour[1] << ',' << colour[2];
        }
    }
}

std::uint32_t be32(const Bytes& bytes, std::size_t at) {
    return (std::uint32_t{bytes.at(at)} << 24U) | (std::uint32_t{bytes.at(at + 1)} << 16U) |
           (std::uint32_t{bytes.at(at + 2)} << 8U) | bytes.at(at + 3);
}

std::uint32_t crc32(const Bytes& bytes, std::size_t from, std::size_t to) {
    std::uint32_t crc = 0xffffffffU;
    for (std::size_t i = from; i < to; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1U) != 0 ? (crc >> 1U) ^ 0xedb88320U : crc >> 1U;
    }
    return ~crc;
}

// The larger icons: square RGBA PNGs of their sizes, every chunk whole, in the order PNG wants.
TEST(Assets, LargerIconsArePngsOfTheirSizes) {
    for (const unsigned size : {48U, 64U, 128U, 256U}) {
        SCOPED_TRACE(size);
        const Bytes png = readAsset("icons/halvern-" + std::to_string(size) + ".png");
        ASSERT_GE(png.size(), 8U + 25 + 12);
        EXPECT_EQ(Bytes(png.begin(), png.begin() + 8),
                  (Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'}));
        std::vector<std::string> chunks;
        for (std::size_t p = 8; p < png.size();) {
            const std::uint32_t length = be32(png, p);
            ASSERT_LE(p + 12 + length, png.size());
            const std::string type(png.begin() + static_cast<std::ptrdiff_t>(p + 4),
                                   png.begin() + static_cast<std::ptrdiff_t>(p + 8));
            EXPECT_EQ(be32(png, p + 8 + length), crc32(png, p + 4, p + 8 + length)) << type;
            if (type == "IHDR") {
                EXPECT_EQ(be32(png, p + 8), size);
                EXPECT_EQ(be32(png, p + 12), size);
                EXPECT_EQ(png.at(p + 16), 8U) << "bits per channel";
                EXPECT_EQ(png.at(p + 17), 6U) << "RGBA";
                EXPECT_EQ(png.at(p + 20), 0U) << "not interlaced";
            }
            chunks.push_back(type);
            p += 12 + length;
        }
        EXPECT_EQ(chunks, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    }
}

} // namespace
