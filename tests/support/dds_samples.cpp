#include "tests/support/dds_samples.h"

#include <cstring>

namespace {

void put32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

namespace {

struct SampleFormat {
    DdsSampleFormat format;
    const char* name;
    DdsPixelFormat pixelFormat;
};

// One row per sample format: its name in test traces and how its files describe their pixels.
constexpr SampleFormat kSampleFormats[] = {
    {DdsSampleFormat::Bc1, "BC1", {DdsEncoding::Bc1, false, 0, 0, 0, 0, 0}},
    {DdsSampleFormat::Bc2, "BC2", {DdsEncoding::Bc2, false, 0, 0, 0, 0, 0}},
    {DdsSampleFormat::Bc3, "BC3", {DdsEncoding::Bc3, false, 0, 0, 0, 0, 0}},
    {DdsSampleFormat::Bc7, "BC7", {DdsEncoding::Bc7, true, 98, 0, 0, 0, 0}},
    {DdsSampleFormat::BgraMasks,
     "BGRA masks",
     {DdsEncoding::Rgba32, false, 0, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}},
    {DdsSampleFormat::RgbxMasks,
     "RGB masks without alpha",
     {DdsEncoding::Rgba32, false, 0, 0x000000FF, 0x0000FF00, 0x00FF0000, 0}},
    {DdsSampleFormat::Dx10Rgba, "DXGI 28", {DdsEncoding::Rgba32, true, 28, 0, 0, 0, 0}},
    {DdsSampleFormat::Dx10Bgra, "DXGI 87", {DdsEncoding::Rgba32, true, 87, 0, 0, 0, 0}},
};

const SampleFormat& sampleFormat(DdsSampleFormat format) {
    for (const SampleFormat& row : kSampleFormats) {
        if (row.format == format) return row;
    }
    return kSampleFormats[0];
}

}  // namespace

const char* ddsSampleFormatName(DdsSampleFormat format) {
    return sampleFormat(format).name;
}

DdsPixelFormat ddsPixelFormatOf(DdsSampleFormat format) {
    return sampleFormat(format).pixelFormat;
}

std::vector<std::uint8_t> bc7SolidBlock(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                        std::uint8_t alpha) {
    // Mode 6: 7 bits per channel and endpoint plus one p-bit per endpoint, shared by its channels; with
    // p-bits of 0 (and indices of 0) the block holds the even colour exactly.
    std::vector<std::uint8_t> block(16, 0);
    int position = 0;
    const auto put = [&](unsigned value, int bits) {
        for (int i = 0; i < bits; ++i, ++position)
            block[static_cast<std::size_t>(position >> 3)] |=
                static_cast<std::uint8_t>(((value >> i) & 1) << (position & 7));
    };
    put(1u << 6, 7);
    for (const std::uint8_t channel : {red, green, blue, alpha}) {
        put(channel >> 1, 7);
        put(channel >> 1, 7);
    }
    return block;  // p-bits and indices stay 0
}

Image blockyCopy(const Image& image) {
    Image copy = *createImage(image.width(), image.height(), 32);
    for (std::int32_t y = 0; y < image.height(); ++y) {
        for (std::int32_t x = 0; x < image.width(); ++x) {
            const std::uint8_t* from = image.row(y / 4 * 4) + x / 4 * 4 * 4;
            for (int c = 0; c < 4; ++c) copy.row(y)[x * 4 + c] = static_cast<std::uint8_t>(from[c] & 0xFE);
        }
    }
    return copy;
}

std::string ddsFileText(const Image& image, DdsSampleFormat format, int mipLevels) {
    if (format != DdsSampleFormat::Bc7) {
        const std::vector<std::uint8_t> bytes = *encodeDds(image, ddsPixelFormatOf(format), mipLevels);
        return std::string(bytes.begin(), bytes.end());
    }
    std::string text = ddsHeaderText(static_cast<std::uint32_t>(image.width()),
                                     static_cast<std::uint32_t>(image.height()), 0x4, "DX10", 0, 98);
    for (std::int32_t by = 0; by < (image.height() + 3) / 4; ++by) {
        for (std::int32_t bx = 0; bx < (image.width() + 3) / 4; ++bx) {
            const std::uint8_t* p = image.row(by * 4) + bx * 16;
            const std::vector<std::uint8_t> block = bc7SolidBlock(p[0], p[1], p[2], p[3]);
            text.append(block.begin(), block.end());
        }
    }
    return text;
}

std::string ddsHeaderText(std::uint32_t width, std::uint32_t height, std::uint32_t pixelFlags,
                          const char* fourCc, std::uint32_t bitCount, std::uint32_t dxgiFormat) {
    std::string text = "DDS ";
    put32(text, 124);
    put32(text, 0x1 | 0x2 | 0x4 | 0x1000);
    put32(text, height);
    put32(text, width);
    for (int i = 0; i < 2 + 1 + 11; ++i) put32(text, 0);  // pitch, depth, mip count, reserved
    put32(text, 32);
    put32(text, pixelFlags);
    text.append(fourCc, 4);
    put32(text, bitCount);
    for (int i = 0; i < 4; ++i) put32(text, 0);  // masks
    put32(text, 0x1000);
    for (int i = 0; i < 4; ++i) put32(text, 0);
    if (std::strncmp(fourCc, "DX10", 4) == 0) {
        put32(text, dxgiFormat);
        put32(text, 3);
        put32(text, 0);
        put32(text, 1);
        put32(text, 0);
    }
    return text;
}
