#include <gtest/gtest.h>

#include "image/image.h"

namespace {

void setPixel(Image& image, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b,
              std::uint8_t a = 255) {
    std::uint8_t* p = image.row(y) + x * image.bytesPerPixel();
    p[0] = r;
    p[1] = g;
    p[2] = b;
    if (image.depth() == 32) p[3] = a;
}

std::vector<int> pixel(const Image& image, int x, int y) {
    const std::uint8_t* p = image.row(y) + x * image.bytesPerPixel();
    std::vector<int> values(p, p + image.bytesPerPixel());
    return values;
}

Image solid(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    Image image = *createImage(width, height, 32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) setPixel(image, x, y, r, g, b, a);
    return image;
}

void blend(Image& target, const Image& source, std::int64_t x, std::int64_t y) {
    drawImageBlended(target, source, x, y);
}

}  // namespace

TEST(Image, CreateIsTransparentAndRefusesBadSizes) {
    const Image clear = *createImage(3, 2, 32);
    EXPECT_EQ(pixel(clear, 2, 1), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(clear.stride(), 12u);
    EXPECT_EQ(createImage(3, 2, 24)->stride(), 12u);  // 9 bytes padded to 12
    EXPECT_FALSE(createImage(0, 5, 32));
    EXPECT_FALSE(createImage(5, -1, 32));
    EXPECT_FALSE(createImage(kMaximumImageSide + 1, 1, 32));
    EXPECT_FALSE(createImage(std::int64_t{1} << 40, std::int64_t{1} << 40, 32));
}

TEST(Image, GrabCopiesExactlyAndLeavesOutsidePartsTransparentBlack) {
    Image source = solid(4, 4, 10, 20, 30, 0);  // alpha 0 with colour: copied as it is
    setPixel(source, 3, 3, 1, 2, 3, 4);
    const Image inside = *grabImage(source, 1, 1, 3, 3);
    EXPECT_EQ(pixel(inside, 0, 0), (std::vector<int>{10, 20, 30, 0}));
    EXPECT_EQ(pixel(inside, 2, 2), (std::vector<int>{1, 2, 3, 4}));
    const Image overlapping = *grabImage(source, -1, 3, 3, 2);
    EXPECT_EQ(pixel(overlapping, 0, 0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(pixel(overlapping, 1, 0), (std::vector<int>{10, 20, 30, 0}));
    EXPECT_EQ(pixel(overlapping, 1, 1), (std::vector<int>{0, 0, 0, 0}));
    const Image outside = *grabImage(source, 100, -100, 2, 2);
    EXPECT_EQ(pixel(outside, 1, 1), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_FALSE(grabImage(source, 0, 0, 0, 4));
    EXPECT_FALSE(grabImage(source, 0, 0, std::int64_t{1} << 33, 4));
}

TEST(Image, AlphaBlendFollowsTheIntegerRule) {
    // Hand-worked: sA = 128 over dA = 128 gives alpha (128*255 + 128*127) / 255 = 191 and colour
    // (200*128*255 + 100*128*127) / (128*255 + 128*127) = 166.
    Image canvas = solid(1, 1, 100, 100, 100, 128);
    blend(canvas, solid(1, 1, 200, 0, 255, 128), 0, 0);
    EXPECT_EQ(pixel(canvas, 0, 0), (std::vector<int>{166, 33, 203, 191}));

    Image clear = *createImage(2, 1, 32);
    Image icon = solid(2, 1, 9, 8, 7, 0);
    setPixel(icon, 1, 0, 50, 60, 70, 3);
    blend(clear, icon, 0, 0);
    EXPECT_EQ(pixel(clear, 0, 0), (std::vector<int>{0, 0, 0, 0}));     // alpha 0 leaves the canvas alone
    EXPECT_EQ(pixel(clear, 1, 0), (std::vector<int>{50, 60, 70, 3}));  // copied onto transparent

    Image opaque = solid(1, 1, 1, 1, 1, 255);
    blend(opaque, solid(1, 1, 250, 250, 250, 255), 0, 0);
    EXPECT_EQ(pixel(opaque, 0, 0), (std::vector<int>{250, 250, 250, 255}));
}

TEST(Image, DepthTwentyFourSourceIsDrawnOpaque) {
    Image canvas = *createImage(2, 2, 32);
    Image rgb = *createImage(1, 1, 24);
    setPixel(rgb, 0, 0, 5, 6, 7);
    blend(canvas, rgb, 1, 1);
    EXPECT_EQ(pixel(canvas, 1, 1), (std::vector<int>{5, 6, 7, 255}));
    EXPECT_EQ(pixel(canvas, 0, 0), (std::vector<int>{0, 0, 0, 0}));
}

TEST(Image, DrawingClipsAtEveryEdge) {
    Image canvas = *createImage(2048, 2048, 32);
    const Image icon = solid(4, 3, 1, 2, 3, 255);
    blend(canvas, icon, 2046, 0);
    EXPECT_EQ(pixel(canvas, 2046, 0)[3], 255);
    EXPECT_EQ(pixel(canvas, 2047, 2)[3], 255);
    EXPECT_EQ(pixel(canvas, 2045, 0)[3], 0);

    Image small = *createImage(3, 3, 32);
    blend(small, icon, -2, -1);  // only the icon's bottom-right 2 x 2 lands
    EXPECT_EQ(pixel(small, 0, 0)[3], 255);
    EXPECT_EQ(pixel(small, 1, 1)[3], 255);
    EXPECT_EQ(pixel(small, 2, 0)[3], 0);
    EXPECT_EQ(pixel(small, 0, 2)[3], 0);
    blend(small, icon, 3, 0);
    blend(small, icon, -4, 0);
    blend(small, icon, 0, -3);
    blend(small, icon, 0, std::int64_t{1} << 40);
    EXPECT_EQ(pixel(small, 2, 2)[3], 0);
}
