// images_test.cpp -- the generated texture images and the PNG writer
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "images.h"
#include "png.h"

namespace {

struct meanrgb {
    double r = 0, g = 0, b = 0;
};

// Mean colour over rows [r0, r1) and columns [c0, c1), in 0..255.
meanrgb mean(const Images::image& im, int c0, int c1, int r0, int r1)
{
    meanrgb m;
    int n = 0;
    for (int r = r0; r < r1; ++r)
        for (int c = c0; c < c1; ++c, ++n) {
            const auto* p = &im.rgb[(static_cast<size_t>(r) * im.width + c) * 3];
            m.r += p[0];
            m.g += p[1];
            m.b += p[2];
        }
    m.r /= n;
    m.g /= n;
    m.b /= n;
    return m;
}

TEST(Images, EveryImageIsPowerOfTwoDeterministicAndNotFlat)
{
    ASSERT_EQ(Images::names().size(), 11u);
    for (const std::string& name : Images::names()) {
        SCOPED_TRACE(name);
        Images::image a = Images::make(name), b = Images::make(name);
        EXPECT_EQ(a.rgb, b.rgb);
        EXPECT_GE(a.width, 64);
        EXPECT_EQ(a.width & (a.width - 1), 0);
        EXPECT_EQ(a.height & (a.height - 1), 0);
        ASSERT_EQ(a.rgb.size(), static_cast<size_t>(a.width) * a.height * 3);
        std::set<std::uint32_t> colours;
        for (size_t i = 0; i < a.rgb.size(); i += 3) colours.insert(a.rgb[i] << 16 | a.rgb[i + 1] << 8 | a.rgb[i + 2]);
        EXPECT_GT(colours.size(), 50u) << "a texture should have some detail";
    }
    EXPECT_THROW(Images::make("gravel"), std::invalid_argument);
}

TEST(Images, GreyIsLuminance)
{
    Images::image im;
    im.width = 2;
    im.height = 1;
    im.rgb = {255, 0, 0, 10, 200, 30};
    Images::image g = Images::grey(im);
    // 0.299 * 255 = 76.2; 0.299 * 10 + 0.587 * 200 + 0.114 * 30 = 123.8
    EXPECT_EQ(g.rgb, (std::vector<std::uint8_t>{76, 76, 76, 124, 124, 124}));
}

TEST(Images, PpmHeaderAndPixels)
{
    Images::image im = Images::make("charge");
    std::string p = Images::ppm(im);
    std::string head = "P6\n" + std::to_string(im.width) + " " + std::to_string(im.height) + "\n255\n";
    ASSERT_EQ(p.substr(0, head.size()), head);
    EXPECT_EQ(p.size(), head.size() + im.rgb.size());
    EXPECT_EQ(std::memcmp(p.data() + head.size(), im.rgb.data(), im.rgb.size()), 0);
}

// What the pictures show, where the game's texture coordinates look at them.
TEST(Images, PicturesSitWhereTheModelsLook)
{
    // The portrait's first row is its bottom (t = 0): the white helmet is in the
    // upper half, the dark space and the suit's shoulders are not.
    Images::image v = Images::make("vesk");
    int w = v.width, h = v.height;
    meanrgb helmet = mean(v, w / 4, w * 3 / 4, h * 3 / 4, h * 3 / 4 + 4);
    meanrgb topcorner = mean(v, 0, 8, h - 8, h);
    EXPECT_GT(helmet.r + helmet.g + helmet.b, 3 * 150.0);
    EXPECT_LT(topcorner.r + topcorner.g + topcorner.b, 3 * 80.0);

    // The battery label (t 0..0.43 all around) is mostly blue.
    Images::image c = Images::make("charge");
    meanrgb label = mean(c, 0, c.width, c.height / 20, c.height * 2 / 5);
    EXPECT_GT(label.b, 1.5 * label.r);

    // The chest's front (s 0..0.4, t 0..0.26) is brown wood with gold: red over blue.
    Images::image b = Images::make("bribe");
    meanrgb front = mean(b, 0, b.width * 2 / 5, 0, b.height / 4);
    EXPECT_GT(front.r, 1.5 * front.b);

    // Slime puddles are green; the stone is grey.
    Images::image s = Images::make("slimepuddle");
    meanrgb all = mean(s, 0, s.width, 0, s.height);
    EXPECT_GT(all.g, all.r + 10);
    Images::image st = Images::make("stone");
    meanrgb stone = mean(st, 0, st.width, 0, st.height);
    EXPECT_NEAR(stone.r, stone.b, 15);
}

TEST(Png, ChecksumsOfKnownStrings)
{
    const char* digits = "123456789";
    EXPECT_EQ(Png::crc32(reinterpret_cast<const unsigned char*>(digits), 9), 0xCBF43926u);
    const char* wiki = "Wikipedia";
    EXPECT_EQ(Png::adler32(reinterpret_cast<const unsigned char*>(wiki), 9), 0x11E60398u);
}

TEST(Png, LayoutOfAnImageLargerThanOneStoredBlock)
{
    // 200 x 120 RGB is 120 * 601 = 72120 raw bytes: two stored blocks.
    Images::image im;
    im.width = 200;
    im.height = 120;
    im.rgb.assign(200 * 120 * 3, 7);
    std::string p = Png::encode(im);
    ASSERT_EQ(p.substr(0, 8), std::string("\x89PNG\r\n\x1a\n"));
    auto u32 = [&](size_t at) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(p[at])) << 24 |
               static_cast<unsigned char>(p[at + 1]) << 16 | static_cast<unsigned char>(p[at + 2]) << 8 |
               static_cast<unsigned char>(p[at + 3]);
    };
    EXPECT_EQ(p.substr(12, 4), "IHDR");
    EXPECT_EQ(u32(16), 200u);
    EXPECT_EQ(u32(20), 120u);
    size_t idat = 8 + 25;
    EXPECT_EQ(p.substr(idat + 4, 4), "IDAT");
    std::uint32_t zlen = u32(idat);
    // zlib header + two 5-byte block headers + raw + Adler-32
    EXPECT_EQ(zlen, 2u + 5 + 5 + 72120 + 4);
    const unsigned char* z = reinterpret_cast<const unsigned char*>(p.data()) + idat + 8;
    EXPECT_EQ(z[2], 0);  // first block: not last
    EXPECT_EQ(z[3] | z[4] << 8, 65535);
    EXPECT_EQ((z[3] | z[4] << 8) ^ (z[5] | z[6] << 8), 0xFFFF);
    EXPECT_EQ(z[7 + 65535], 1);  // second block is the last
    EXPECT_EQ(p.substr(p.size() - 8, 4), "IEND");
    // The IDAT's CRC covers its type and data.
    std::uint32_t crc = Png::crc32(reinterpret_cast<const unsigned char*>(p.data()) + idat + 4, 4 + zlen);
    EXPECT_EQ(u32(idat + 8 + zlen), crc);
}

}  // namespace
