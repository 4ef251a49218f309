#include "image/dds_codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "image/bc7_decoder.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/dds_samples.h"

namespace {

// Writes BC7 blocks field by field, lowest bit first, as the format stores them.
class Bc7Block {
public:
    Bc7Block& put(unsigned value, int bits) {
        for (int i = 0; i < bits; ++i, ++position_)
            bytes_[static_cast<std::size_t>(position_ >> 3)] |=
                static_cast<std::uint8_t>(((value >> i) & 1) << (position_ & 7));
        return *this;
    }
    Bc7Block& mode(int number) { return put(1u << number, number + 1); }
    std::vector<std::uint8_t> pixels() const {
        std::vector<std::uint8_t> rgba(64);
        decodeBc7Block(bytes_, rgba.data());
        return rgba;
    }

private:
    std::uint8_t bytes_[16] = {};
    int position_ = 0;
};

std::vector<int> pixel(const std::vector<std::uint8_t>& rgba, int index) {
    return {rgba[index * 4], rgba[index * 4 + 1], rgba[index * 4 + 2], rgba[index * 4 + 3]};
}

std::vector<int> pixelOf(const Image& image, int x, int y) {
    const std::uint8_t* p = image.row(y) + x * 4;
    return {p[0], p[1], p[2], p[3]};
}

std::string faultOf(const std::string& file) {
    return decodeDds(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()).fault;
}

DdsDecoding decode(const std::string& file) {
    return decodeDds(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
}

// Peak signal-to-noise ratio over the pixels the source shows (alpha above 0), all four channels.
double visiblePsnr(const Image& source, const Image& decoded) {
    double squares = 0;
    std::int64_t samples = 0;
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const std::uint8_t* a = source.row(y) + x * 4;
            const std::uint8_t* b = decoded.row(y) + x * 4;
            if (a[3] == 0) continue;
            for (int c = 0; c < 4; ++c) squares += (a[c] - b[c]) * (a[c] - b[c]);
            samples += 4;
        }
    }
    return samples == 0 || squares == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * samples / squares);
}

}  // namespace

TEST(Bc7, SolidModeSixBlocksHoldTheirColourExactly) {
    const auto rgba = Bc7Block()
                          .mode(6)
                          .put(100, 7)
                          .put(100, 7)
                          .put(20, 7)
                          .put(20, 7)
                          .put(127, 7)
                          .put(127, 7)
                          .put(64, 7)
                          .put(64, 7)
                          .put(1, 1)
                          .put(1, 1)
                          .pixels();
    for (int i = 0; i < 16; ++i) EXPECT_EQ(pixel(rgba, i), (std::vector<int>{201, 41, 255, 129})) << i;
    // The reserved mode (no mode bit at all) is transparent black.
    EXPECT_EQ(pixel(Bc7Block().put(0, 8).pixels(), 5), (std::vector<int>{0, 0, 0, 0}));
}

TEST(Bc7, ModeSixInterpolatesWithFourBitIndices) {
    // Endpoint 0 black, endpoint 1 white, p-bits 0 and 1; pixel 0 (the anchor) has 3 index bits.
    Bc7Block block;
    block.mode(6);
    for (int channel = 0; channel < 4; ++channel) block.put(0, 7).put(127, 7);
    block.put(0, 1).put(1, 1);
    block.put(0, 3);                                                      // pixel 0: index 0
    for (int i = 1; i < 16; ++i) block.put(static_cast<unsigned>(i), 4);  // pixel i: index i
    const auto rgba = block.pixels();
    EXPECT_EQ(pixel(rgba, 0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(pixel(rgba, 15), (std::vector<int>{255, 255, 255, 255}));
    EXPECT_EQ(pixel(rgba, 8)[0], (34 * 255 + 32) >> 6);  // weight 34 of 64 for index 8
}

TEST(Bc7, PartitionsPlaceEverySubsetWhereTheFormatSays) {
    // Mode 1, partition 0: the right half is subset 1. Red endpoints of subset 0, green of subset 1.
    Bc7Block two;
    two.mode(1).put(0, 6);
    for (const unsigned red : {63u, 63u, 0u, 0u}) two.put(red, 6);
    for (const unsigned green : {0u, 0u, 63u, 63u}) two.put(green, 6);
    for (int i = 0; i < 4; ++i) two.put(0, 6);  // blue
    two.put(1, 1).put(1, 1);                    // shared p-bits: 0 becomes 7-bit 1, which widens to 2
    const auto halves = two.pixels();
    for (int i = 0; i < 16; ++i) {
        const bool right = i % 4 >= 2;
        EXPECT_EQ(pixel(halves, i),
                  (right ? std::vector<int>{2, 255, 2, 255} : std::vector<int>{255, 2, 2, 255}))
            << i;
    }

    // Mode 0, partition 0 of three subsets: red, green and blue subsets in the format's own layout.
    Bc7Block three;
    three.mode(0).put(0, 4);
    for (int channel = 0; channel < 3; ++channel) {
        for (int subset = 0; subset < 3; ++subset)
            three.put(subset == channel ? 15 : 0, 4).put(subset == channel ? 15 : 0, 4);
    }
    for (int e = 0; e < 6; ++e) three.put(1, 1);  // p-bits: 0 becomes 5-bit 1, which widens to 8
    const auto thirds = three.pixels();
    const int layout[16] = {0, 0, 1, 1, 0, 0, 1, 1, 0, 2, 2, 1, 2, 2, 2, 2};
    for (int i = 0; i < 16; ++i) {
        std::vector<int> expected = {8, 8, 8, 255};
        expected[static_cast<std::size_t>(layout[i])] = 255;
        EXPECT_EQ(pixel(thirds, i), expected) << i;
    }
}

TEST(Bc7, RotationAndIndexSelectionOfModesFourAndFive) {
    // Mode 5, rotation 1 (alpha and red swap): red 8 bits of colour 7-bit, alpha 8-bit endpoints.
    Bc7Block rotated;
    rotated.mode(5).put(1, 2);
    rotated.put(127, 7).put(127, 7).put(0, 7).put(0, 7).put(0, 7).put(0, 7);  // R G B
    rotated.put(51, 8).put(51, 8);                                            // A
    EXPECT_EQ(pixel(rotated.pixels(), 3), (std::vector<int>{51, 0, 0, 255}));

    // Mode 4 with the selection bit: colour takes the 3-bit indices, alpha the 2-bit ones.
    Bc7Block selected;
    selected.mode(4).put(0, 2).put(1, 1);
    selected.put(0, 5).put(31, 5).put(0, 5).put(31, 5).put(0, 5).put(31, 5);  // R G B: black to white
    selected.put(0, 6).put(63, 6);                                            // A: 0 to 255
    selected.put(0, 1);
    for (int i = 1; i < 16; ++i) selected.put(3, 2);  // 2-bit indices: 3 (alpha here)
    selected.put(0, 2);
    for (int i = 1; i < 16; ++i) selected.put(0, 3);  // 3-bit indices: 0 (colour here)
    const auto rgba = selected.pixels();
    EXPECT_EQ(pixel(rgba, 0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(pixel(rgba, 1), (std::vector<int>{0, 0, 0, 255}));
}

TEST(DdsCodec, RefusesWhatItCannotReadWithTheFault) {
    const struct {
        std::string file;
        const char* fault;
    } cases[] = {
        {"not a texture", "not a DDS file"},
        {"DDS " + std::string(40, '\0'), "truncated"},
        {ddsHeaderText(16, 16, 0x4, "DX10", 0, 71), "DXGI 71"},
        {ddsHeaderText(16, 16, 0x4, "ATI2"), "FourCC ATI2"},
        {ddsHeaderText(16, 16, 0x4, "DXT2"), "FourCC DXT2"},
        {ddsHeaderText(16, 16, 0x40, "\0\0\0\0", 24),
         "24-bit RGB with masks 0x00000000 0x00000000 0x00000000 0x00000000"},
        {ddsHeaderText(20000, 16, 0x4, "DXT5"), "larger than 16384 x 16384"},
        {ddsHeaderText(0, 16, 0x4, "DXT5"), "empty image"},
        {ddsHeaderText(16, 16, 0x4, "DXT5") + std::string(255, '\0'), "truncated"},  // 256 bytes needed
        {ddsHeaderText(16, 16, 0x4, "DX10", 0, 98).substr(0, 140), "truncated"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        EXPECT_EQ(faultOf(c.file), c.fault);
    }
}

TEST(DdsCodec, EveryFormatDecodesAndUncompressedOnesExactly) {
    const Image source = AtlasFixture::generate({20, 61, 37, 3, 12, 5, "icon"}).image;  // odd sides
    for (const DdsSampleFormat format : kEveryDdsSampleFormat) {
        SCOPED_TRACE(ddsSampleFormatName(format));
        const DdsDecoding decoding = decode(ddsFileText(source, format));
        ASSERT_TRUE(decoding.image) << decoding.fault;
        EXPECT_EQ(decoding.image->width(), 61);
        EXPECT_EQ(decoding.image->height(), 37);
        switch (format) {
            case DdsSampleFormat::Bc7:
                EXPECT_EQ(encodePng(*decoding.image), encodePng(blockyCopy(source)));
                break;
            case DdsSampleFormat::BgraMasks:
            case DdsSampleFormat::Dx10Rgba:
            case DdsSampleFormat::Dx10Bgra:
                EXPECT_EQ(encodePng(*decoding.image), encodePng(source));
                break;
            case DdsSampleFormat::RgbxMasks:  // no alpha channel: everything opaque
                EXPECT_EQ(pixelOf(*decoding.image, 0, 0)[3], 255);
                EXPECT_EQ(pixelOf(*decoding.image, 30, 20)[1], pixelOf(source, 30, 20)[1]);
                break;
            case DdsSampleFormat::Bc1:  // one-bit alpha: see below
                break;
            default:  // tiny striped icons are the hardest case for 4 x 4 blocks
                EXPECT_GT(visiblePsnr(source, *decoding.image), 15.0);
        }
    }
}

TEST(DdsCodec, BlockOneKeepsTransparencyAsOneBitAlpha) {
    Image source = *createImage(8, 4, 32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            std::memcpy(source.row(y) + x * 4, "\xC8\x64\x20\xFF", 4);  // left: opaque
    const DdsDecoding decoding = decode(ddsFileText(source, DdsSampleFormat::Bc1));
    ASSERT_TRUE(decoding.image);
    EXPECT_EQ(pixelOf(*decoding.image, 1, 1)[3], 255);
    EXPECT_EQ(pixelOf(*decoding.image, 6, 2), (std::vector<int>{0, 0, 0, 0}));
}

TEST(DdsCodec, MipLevelsAreWrittenAndCounted) {
    const Image source = AtlasFixture::generate({10, 64, 32, 3, 12, 6, "icon"}).image;
    const std::string file = ddsFileText(source, DdsSampleFormat::Bc3, 4);
    const DdsHeaderReading reading =
        readDdsHeader(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
    ASSERT_TRUE(reading.header);
    EXPECT_EQ(reading.header->mipLevels, 4);
    EXPECT_EQ(file.size(), 128u + (64 * 32 + 32 * 16 + 16 * 8 + 8 * 4));  // one byte a pixel in BC3
    // More levels than the image has are cut to the chain down to 1 x 1.
    EXPECT_EQ(fullMipChainLength(64, 32), 7);
    const std::string full = ddsFileText(source, DdsSampleFormat::Dx10Rgba, 99);
    EXPECT_EQ(
        readDdsHeader(reinterpret_cast<const std::uint8_t*>(full.data()), full.size()).header->mipLevels, 7);
}

// The colour that fully transparent pixels carry is not fitted: alpha 0 stays exactly 0, and the visible
// pixels come out far closer than when the encoder fits that colour too (25 dB on this image).
TEST(DdsCodec, BlockThreeFillsTransparentPixelsWithAVisibleColour) {
    const Image source = AtlasFixture::generate({30, 96, 64, 6, 30, 3, "icon"}).image;
    const DdsDecoding decoding = decode(ddsFileText(source, DdsSampleFormat::Bc3, 3));
    ASSERT_TRUE(decoding.image);
    int transparent = 0;
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            if (pixelOf(source, x, y)[3] != 0) continue;
            ++transparent;
            ASSERT_EQ(pixelOf(*decoding.image, x, y)[3], 0) << x << "," << y;
        }
    }
    EXPECT_GT(transparent, 1000);
    EXPECT_GT(visiblePsnr(source, *decoding.image), 33.0);
}

TEST(DdsCodec, EveryTruncationIsRefusedWithoutReadingPastTheEnd) {
    const Image source = AtlasFixture::generate({4, 16, 8, 3, 6, 2, "icon"}).image;
    for (const DdsSampleFormat format : kEveryDdsSampleFormat) {
        SCOPED_TRACE(ddsSampleFormatName(format));
        const std::string file = ddsFileText(source, format);
        for (std::size_t length = 0; length < file.size(); ++length) {
            // A copy of exactly that length, so the sanitizers see any read beyond it.
            const std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<long>(length));
            EXPECT_FALSE(decodeDds(cut.data(), cut.size()).image) << length;
        }
    }
}
