#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>

#include "image/png_codec.h"
#include "tests/support/png_samples.h"
#include "tests/support/scoped_working_directory.h"
#include "tests/support/test_files.h"

namespace {

struct Chunk {
    std::string type;
    std::vector<std::uint8_t> data;
};

std::uint32_t bigEndian(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

std::vector<Chunk> chunksOf(const std::vector<std::uint8_t>& png) {
    std::vector<Chunk> chunks;
    for (std::size_t offset = 8; offset + 12 <= png.size();) {
        const std::uint32_t length = bigEndian(&png[offset]);
        Chunk chunk{std::string(png.begin() + static_cast<long>(offset) + 4,
                                png.begin() + static_cast<long>(offset) + 8),
                    {}};
        chunk.data.assign(png.begin() + static_cast<long>(offset) + 8,
                          png.begin() + static_cast<long>(offset + 8 + length));
        chunks.push_back(std::move(chunk));
        offset += 12 + length;
    }
    return chunks;
}

Image gradient(int width, int height, int depth) {
    Image image = *createImage(width, height, depth);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* p = image.row(y);
        for (int x = 0; x < width * image.bytesPerPixel(); ++x)
            p[x] = static_cast<std::uint8_t>(x * 7 + y * 3);
    }
    return image;
}

std::vector<int> pixelAt(const Image& image, int x, int y) {
    const std::uint8_t* p = image.row(y) + x * image.bytesPerPixel();
    return std::vector<int>(p, p + image.bytesPerPixel());
}

}  // namespace

TEST(PngCodec, WritesOnlyHeaderDataAndEndWithFilterNoneAtLevelNine) {
    for (const int depth : {32, 24}) {
        SCOPED_TRACE(depth);
        const Image image = gradient(5, 3, depth);
        const std::vector<std::uint8_t> png = *encodePng(image);
        const auto chunks = chunksOf(png);
        std::vector<std::string> types;
        std::vector<std::uint8_t> compressed;
        for (const Chunk& chunk : chunks) {
            types.push_back(chunk.type);
            if (chunk.type == "IDAT")
                compressed.insert(compressed.end(), chunk.data.begin(), chunk.data.end());
        }
        EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
        const auto& header = chunks[0].data;
        EXPECT_EQ(bigEndian(&header[0]), 5u);
        EXPECT_EQ(bigEndian(&header[4]), 3u);
        EXPECT_EQ(header[8], 8);                    // bit depth
        EXPECT_EQ(header[9], depth == 32 ? 6 : 2);  // colour type
        EXPECT_EQ(header[10], 0);                   // compression method
        EXPECT_EQ(header[11], 0);                   // filter method
        EXPECT_EQ(header[12], 0);                   // no interlace
        EXPECT_EQ(compressed[1] >> 6, 3);           // zlib header: maximum compression
        const std::size_t rowBytes = 1 + 5 * static_cast<std::size_t>(depth / 8);
        std::vector<std::uint8_t> raw(rowBytes * 3);
        uLongf rawSize = raw.size();
        ASSERT_EQ(uncompress(raw.data(), &rawSize, compressed.data(), compressed.size()), Z_OK);
        ASSERT_EQ(rawSize, raw.size());
        for (int y = 0; y < 3; ++y) {
            EXPECT_EQ(raw[y * rowBytes], 0) << "row " << y;  // filter "none"
            EXPECT_EQ(0, std::memcmp(&raw[y * rowBytes + 1], image.row(y), rowBytes - 1));
        }
    }
}

TEST(PngCodec, RoundTripsBothDepthsExactly) {
    for (const int depth : {32, 24}) {
        const Image image = gradient(7, 4, depth);
        const std::vector<std::uint8_t> png = *encodePng(image);
        const Image back = *decodePng(png.data(), png.size());
        ASSERT_EQ(back.depth(), depth);
        for (int y = 0; y < 4; ++y) EXPECT_EQ(0, std::memcmp(back.row(y), image.row(y), 7 * depth / 8));
    }
}

TEST(PngCodec, DecodesEveryColourTypeToEightBitRgbOrRgba) {
    PngSample rgb{PNG_COLOR_TYPE_RGB, 8, false, 1, 1, {10, 20, 30}};
    const auto rgbFile = encodePngSample(rgb);
    const Image rgbImage = *decodePng(rgbFile.data(), rgbFile.size());
    EXPECT_EQ(rgbImage.depth(), 24);
    EXPECT_EQ(pixelAt(rgbImage, 0, 0), (std::vector<int>{10, 20, 30}));

    PngSample palette{PNG_COLOR_TYPE_PALETTE, 8, false, 2, 1, {0, 1}, {1, 2, 3, 4, 5, 6}, {77}};
    const auto paletteFile = encodePngSample(palette);
    const Image paletteImage = *decodePng(paletteFile.data(), paletteFile.size());
    EXPECT_EQ(paletteImage.depth(), 32);
    EXPECT_EQ(pixelAt(paletteImage, 0, 0), (std::vector<int>{1, 2, 3, 77}));
    EXPECT_EQ(pixelAt(paletteImage, 1, 0), (std::vector<int>{4, 5, 6, 255}));

    PngSample sixteen{
        PNG_COLOR_TYPE_RGB_ALPHA, 16, false, 1, 1, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0}};
    const auto sixteenFile = encodePngSample(sixteen);
    const Image sixteenImage = *decodePng(sixteenFile.data(), sixteenFile.size());
    EXPECT_EQ(pixelAt(sixteenImage, 0, 0), (std::vector<int>{0x12, 0x56, 0x9A, 0xDE}));

    PngSample grey{PNG_COLOR_TYPE_GRAY, 2, false, 4, 1, {0b00011011}};
    const auto greyFile = encodePngSample(grey);
    const Image greyImage = *decodePng(greyFile.data(), greyFile.size());
    EXPECT_EQ(greyImage.depth(), 24);
    EXPECT_EQ(pixelAt(greyImage, 1, 0), (std::vector<int>{85, 85, 85}));
    EXPECT_EQ(pixelAt(greyImage, 3, 0), (std::vector<int>{255, 255, 255}));

    PngSample greyAlpha{PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, 1, 1, {9, 99}};
    const auto greyAlphaFile = encodePngSample(greyAlpha);
    EXPECT_EQ(pixelAt(*decodePng(greyAlphaFile.data(), greyAlphaFile.size()), 0, 0),
              (std::vector<int>{9, 9, 9, 99}));

    PngSample interlaced{PNG_COLOR_TYPE_RGB, 8, true, 3, 3, {}};
    for (int i = 0; i < 27; ++i) interlaced.samples.push_back(static_cast<std::uint8_t>(i));
    const auto interlacedFile = encodePngSample(interlaced);
    const Image interlacedImage = *decodePng(interlacedFile.data(), interlacedFile.size());
    EXPECT_EQ(pixelAt(interlacedImage, 2, 2), (std::vector<int>{24, 25, 26}));
}

TEST(PngCodec, RejectsWhatIsNotAWholePng) {
    const std::vector<std::uint8_t> png = *encodePng(gradient(20, 20, 32));
    EXPECT_FALSE(decodePng(png.data(), png.size() - 30));
    EXPECT_FALSE(decodePng(png.data(), 8));
    std::vector<std::uint8_t> corrupt = png;
    corrupt[40] ^= 0xFF;
    EXPECT_FALSE(decodePng(corrupt.data(), corrupt.size()));
    const std::string text = "not a png at all";
    EXPECT_FALSE(decodePng(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    EXPECT_FALSE(loadImage("missing.png"));
}

TEST(PngCodec, RefusesImagesLargerThanTheLimits) {
    // A valid header that claims 20000 x 1 pixels: refused before any pixel memory is taken.
    PngSample wide{PNG_COLOR_TYPE_GRAY, 1, false, 20000, 1, std::vector<std::uint8_t>(2500, 0)};
    const auto wideFile = encodePngSample(wide);
    EXPECT_FALSE(decodePng(wideFile.data(), wideFile.size()));
}

TEST(PngCodec, SaveReplacesOnlyOnSuccess) {
    ScopedWorkingDirectory directory;
    const Image image = gradient(3, 3, 32);
    ASSERT_TRUE(saveImagePng(image, "icon.png"));
    EXPECT_EQ(readFileBytes("icon.png"), *encodePng(image));
    const Image back = *loadImage("icon.png");
    EXPECT_EQ(back.width(), 3);

    EXPECT_FALSE(saveImagePng(image, "missing-dir/icon.png"));
    EXPECT_FALSE(std::filesystem::exists("missing-dir"));
    EXPECT_FALSE(saveImagePng(image, ""));

    // A directory in the way cannot be replaced; nothing else changes.
    std::filesystem::create_directory("taken.png");
    EXPECT_FALSE(saveImagePng(image, "taken.png"));
    EXPECT_TRUE(std::filesystem::is_directory("taken.png"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()),
              2);
}
