#include "platform/dds_codec.h"

#include <squish.h>
#include <stb_dxt.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/bc7_decoder.h"
#include "platform/file_io.h"
#include "platform/parallel_work.h"

namespace {

constexpr std::size_t kHeaderSize = 4 + 124;
constexpr std::size_t kDx10HeaderSize = 20;

constexpr std::uint32_t kFlagCaps = 0x1, kFlagHeight = 0x2, kFlagWidth = 0x4, kFlagPitch = 0x8,
                        kFlagPixelFormat = 0x1000, kFlagMipMapCount = 0x20000, kFlagLinearSize = 0x80000;
constexpr std::uint32_t kPixelAlpha = 0x1, kPixelFourCc = 0x4, kPixelRgb = 0x40;
constexpr std::uint32_t kCapsComplex = 0x8, kCapsTexture = 0x1000, kCapsMipMap = 0x400000;
constexpr std::uint32_t kCaps2CubeOrVolume = 0x200 | 0x200000;

constexpr std::uint32_t kDxgiRgba = 28, kDxgiBgra = 87, kDxgiBc7 = 98, kDxgiBc7Srgb = 99;

constexpr std::uint32_t fourCc(const char (&code)[5]) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(code[0])) |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(code[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(code[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(code[3])) << 24;
}

std::uint32_t readU32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

void writeU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::string fourCcText(std::uint32_t code) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>((code >> (8 * i)) & 0xFF);
        text += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return text;
}

bool compressed(DdsEncoding encoding) {
    return encoding != DdsEncoding::Rgba32;
}

std::size_t blockBytes(DdsEncoding encoding) {
    return encoding == DdsEncoding::Bc1 ? 8 : 16;
}

// Bytes of one level of the given size.
std::uint64_t levelBytes(DdsEncoding encoding, std::int64_t width, std::int64_t height) {
    if (!compressed(encoding))
        return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 4;
    const auto blocksWide = static_cast<std::uint64_t>((width + 3) / 4);
    const auto blocksHigh = static_cast<std::uint64_t>((height + 3) / 4);
    return blocksWide * blocksHigh * blockBytes(encoding);
}

// A mask of eight contiguous bits on a byte boundary gives its shift; anything else is refused.
std::optional<int> byteShiftOf(std::uint32_t mask) {
    for (int shift = 0; shift < 32; shift += 8) {
        if (mask == 0xFFu << shift) return shift;
    }
    return std::nullopt;
}

std::string hexText(std::uint32_t value) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xF];
    return text;
}

int squishFlags(DdsEncoding encoding) {
    switch (encoding) {
        case DdsEncoding::Bc1:
            return squish::kDxt1;
        case DdsEncoding::Bc2:
            return squish::kDxt3;
        default:
            return squish::kDxt5;
    }
}

void decodeBc7(const std::uint8_t* blocks, Image& image) {
    const std::int32_t blocksWide = (image.width() + 3) / 4;
    std::uint8_t pixels[64];
    for (std::int32_t by = 0; by < (image.height() + 3) / 4; ++by) {
        for (std::int32_t bx = 0; bx < blocksWide; ++bx) {
            decodeBc7Block(blocks + (static_cast<std::size_t>(by) * blocksWide + bx) * 16, pixels);
            for (int y = 0; y < 4 && by * 4 + y < image.height(); ++y) {
                const int columns = std::min(4, image.width() - bx * 4);
                std::memcpy(image.row(by * 4 + y) + bx * 16, pixels + y * 16,
                            static_cast<std::size_t>(columns) * 4);
            }
        }
    }
}

// Where each of red, green, blue and alpha sits in a 32-bit pixel of an uncompressed format (which
// writableFormat accepted); -1 for an alpha the format does not have.
std::array<int, 4> channelShifts(const DdsPixelFormat& format) {
    if (format.dx10)
        return format.dxgiFormat == kDxgiBgra ? std::array{16, 8, 0, 24} : std::array{0, 8, 16, 24};
    return {*byteShiftOf(format.redMask), *byteShiftOf(format.greenMask), *byteShiftOf(format.blueMask),
            format.alphaMask ? *byteShiftOf(format.alphaMask) : -1};
}

void decodeRgba32(const std::uint8_t* pixels, const DdsPixelFormat& format, Image& image) {
    const std::array<int, 4> shifts = channelShifts(format);
    const bool opaque = shifts[3] < 0;
    for (std::int32_t y = 0; y < image.height(); ++y) {
        std::uint8_t* out = image.row(y);
        const std::uint8_t* in = pixels + static_cast<std::size_t>(y) * image.width() * 4;
        for (std::int32_t x = 0; x < image.width(); ++x, in += 4, out += 4) {
            const std::uint32_t value = readU32(in);
            for (int channel = 0; channel < 3; ++channel)
                out[channel] = static_cast<std::uint8_t>(value >> shifts[channel]);
            out[3] = opaque ? 255 : static_cast<std::uint8_t>(value >> shifts[3]);
        }
    }
}

// The next level: each pixel the alpha-weighted average of up to four, so transparent pixels lend no colour.
void halveRows(const Image& source, Image& result, std::int32_t firstRow, std::int32_t endRow) {
    for (std::int32_t y = firstRow; y < endRow; ++y) {
        for (std::int32_t x = 0; x < result.width(); ++x) {
            std::uint32_t colour[3] = {}, alpha = 0, count = 0;
            for (std::int32_t dy = 0; dy < 2; ++dy) {
                for (std::int32_t dx = 0; dx < 2; ++dx) {
                    const std::int32_t sx = std::min(2 * x + dx, source.width() - 1);
                    const std::int32_t sy = std::min(2 * y + dy, source.height() - 1);
                    const std::uint8_t* p = source.row(sy) + sx * 4;
                    for (int c = 0; c < 3; ++c) colour[c] += p[c] * p[3];
                    alpha += p[3];
                    ++count;
                }
            }
            std::uint8_t* out = result.row(y) + x * 4;
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<std::uint8_t>(alpha ? (colour[c] + alpha / 2) / alpha : 0);
            out[3] = static_cast<std::uint8_t>((alpha + count / 2) / count);
        }
    }
}

std::optional<Image> halved(const Image& source) {
    std::optional<Image> result =
        Image::allocate(std::max(1, source.width() / 2), std::max(1, source.height() / 2), 32, false);
    if (!result) return std::nullopt;
    forEachRange(
        static_cast<std::size_t>(result->height()), 256.0 * 256.0,
        [&](std::size_t) { return static_cast<double>(result->width()); },
        [&](std::size_t first, std::size_t end) {
            halveRows(source, *result, static_cast<std::int32_t>(first), static_cast<std::int32_t>(end));
        });
    return result;
}

// One 4 x 4 block's pixels; past the image's edge its last row and column repeat.
void gatherBlock(const Image& level, std::int32_t bx, std::int32_t by, std::uint8_t* pixels) {
    for (int y = 0; y < 4; ++y) {
        const std::uint8_t* row = level.row(std::min(by * 4 + y, level.height() - 1));
        for (int x = 0; x < 4; ++x)
            std::memcpy(pixels + y * 16 + x * 4, row + std::min(bx * 4 + x, level.width() - 1) * 4, 4);
    }
}

// A fully transparent pixel's colour is never seen, but the encoder fits its two end colours to all
// sixteen: given the colour of the block's most opaque pixel it no longer pulls them away from the visible
// ones. Its alpha stays 0, which BC3's alpha end points keep exactly.
void fillTransparentColours(std::uint8_t* pixels) {
    int opaque = -1;
    for (int i = 0; i < 16; ++i) {
        if (pixels[i * 4 + 3] > 0 && (opaque < 0 || pixels[i * 4 + 3] > pixels[opaque * 4 + 3])) opaque = i;
    }
    if (opaque < 0) return;
    for (int i = 0; i < 16; ++i) {
        if (pixels[i * 4 + 3] == 0) std::memcpy(pixels + i * 4, pixels + opaque * 4, 3);
    }
}

// One mip level of the file being written.
struct LevelOutput {
    const Image* image;
    std::uint8_t* bytes;
};

// Rows of 4 x 4 blocks [firstRow, endRow) of one level. BC3 with stb's encoder: at least as close as
// squish's cluster fit and ten times faster (the table in the README); stb writes neither BC1's one-bit
// alpha nor BC2's explicit alpha, squish does. Untouched blocks of a kept top level are copied.
void encodeBlockRows(const LevelOutput& output, const DdsPixelFormat& format, const KeptBlocks* kept,
                     std::int32_t firstRow, std::int32_t endRow) {
    const Image& level = *output.image;
    const std::int32_t blocksWide = (level.width() + 3) / 4;
    const bool keeping = kept && kept->original;
    const auto untouched = [&](std::int32_t bx, std::int32_t by) {
        return keeping && !kept->touched[static_cast<std::size_t>(by) * blocksWide + bx];
    };
    if (format.encoding == DdsEncoding::Rgba32) {
        const std::array<int, 4> shifts = channelShifts(format);
        for (std::int32_t y = firstRow * 4; y < std::min(endRow * 4, level.height()); ++y) {
            const std::uint8_t* from = level.row(y);
            const std::size_t rowOffset = static_cast<std::size_t>(y) * level.width() * 4;
            for (std::int32_t x = 0; x < level.width(); ++x, from += 4) {
                std::uint8_t* to = output.bytes + rowOffset + static_cast<std::size_t>(x) * 4;
                if (untouched(x / 4, y / 4)) {
                    std::memcpy(to, kept->original + rowOffset + static_cast<std::size_t>(x) * 4, 4);
                    continue;
                }
                std::uint32_t value = 0;
                for (int channel = 0; channel < 4; ++channel) {
                    if (shifts[channel] >= 0)
                        value |= static_cast<std::uint32_t>(from[channel]) << shifts[channel];
                }
                for (int i = 0; i < 4; ++i) to[i] = static_cast<std::uint8_t>(value >> (8 * i));
            }
        }
        return;
    }
    const std::size_t size = blockBytes(format.encoding);
    std::uint8_t pixels[64];
    for (std::int32_t by = firstRow; by < endRow; ++by) {
        for (std::int32_t bx = 0; bx < blocksWide; ++bx) {
            const std::size_t offset = (static_cast<std::size_t>(by) * blocksWide + bx) * size;
            if (untouched(bx, by)) {
                std::memcpy(output.bytes + offset, kept->original + offset, size);
                continue;
            }
            gatherBlock(level, bx, by, pixels);
            if (format.encoding == DdsEncoding::Bc3) {
                fillTransparentColours(pixels);
                stb_compress_dxt_block(output.bytes + offset, pixels, 1, STB_DXT_NORMAL);
            } else {
                squish::Compress(
                    pixels, output.bytes + offset,
                    squishFlags(format.encoding) | squish::kColourRangeFit | squish::kWeightColourByAlpha);
            }
        }
    }
}

// Every level's block rows as one job shared among the cores, weighed by their blocks, so the small
// levels do not wait for the large one.
void encodeLevels(const std::vector<LevelOutput>& levels, const DdsPixelFormat& format,
                  const KeptBlocks* kept) {
    std::vector<std::pair<std::size_t, std::int32_t>> rows;  // level, block row
    for (std::size_t level = 0; level < levels.size(); ++level) {
        for (std::int32_t row = 0; row < (levels[level].image->height() + 3) / 4; ++row)
            rows.emplace_back(level, row);
    }
    forEachRange(
        rows.size(), 128.0 * 128.0 / 16.0,
        [&](std::size_t i) { return static_cast<double>((levels[rows[i].first].image->width() + 3) / 4); },
        [&](std::size_t first, std::size_t end) {
            // Consecutive rows of one level go to the encoder together.
            for (std::size_t i = first; i < end;) {
                std::size_t last = i;
                while (last + 1 < end && rows[last + 1].first == rows[i].first) ++last;
                encodeBlockRows(levels[rows[i].first], format, rows[i].first == 0 ? kept : nullptr,
                                rows[i].second, rows[last].second + 1);
                i = last + 1;
            }
        });
}

DdsHeaderReading parseHeader(const std::uint8_t* data, std::size_t size, std::size_t totalSize);

bool writableFormat(const DdsPixelFormat& format) {
    if (format.encoding == DdsEncoding::Bc7) return false;
    if (format.encoding != DdsEncoding::Rgba32) return true;
    if (format.dx10) return format.dxgiFormat == kDxgiRgba || format.dxgiFormat == kDxgiBgra;
    return byteShiftOf(format.redMask) && byteShiftOf(format.greenMask) && byteShiftOf(format.blueMask) &&
           (format.alphaMask == 0 || byteShiftOf(format.alphaMask));
}

}  // namespace

int fullMipChainLength(std::int64_t width, std::int64_t height) {
    int levels = 1;
    for (std::int64_t side = std::max(width, height); side > 1; side /= 2) ++levels;
    return levels;
}

DdsHeaderReading readDdsHeader(const std::uint8_t* data, std::size_t size) {
    return parseHeader(data, size, size);
}

DdsHeaderReading loadDdsHeader(const std::string& path) {
    FileHandle file = openFile(path, "rb");
    if (!file) return {std::nullopt, "can't be read"};
    std::uint8_t header[kHeaderSize + kDx10HeaderSize];
    const std::size_t read = std::fread(header, 1, sizeof header, file.get());
    std::error_code error;
    const auto total = std::filesystem::file_size(nativePath(path), error);
    if (error) return {std::nullopt, "can't be read"};
    return parseHeader(header, read, static_cast<std::size_t>(total));
}

namespace {

// available bytes of the header are at data; the whole file has totalSize bytes.
DdsHeaderReading parseHeader(const std::uint8_t* data, std::size_t size, std::size_t totalSize) {
    DdsHeaderReading reading;
    if (size < 4 || std::memcmp(data, "DDS ", 4) != 0) {
        reading.fault = "not a DDS file";
        return reading;
    }
    if (size < kHeaderSize || readU32(data + 4) != 124) {
        reading.fault = size < kHeaderSize ? "truncated" : "damaged header";
        return reading;
    }
    const std::uint8_t* h = data + 4;  // offsets below are those of the 124-byte header
    DdsHeader header;
    header.height = readU32(h + 8);
    header.width = readU32(h + 12);
    const std::uint32_t mipCount = readU32(h + 24);
    const std::uint32_t pixelFlags = readU32(h + 76);
    const std::uint32_t code = readU32(h + 80);
    const std::uint32_t bitCount = readU32(h + 84);
    const std::uint32_t caps2 = readU32(h + 108);
    header.mipLevels = mipCount > 1 ? static_cast<int>(std::min<std::uint32_t>(mipCount, 32)) : 1;
    header.dataOffset = kHeaderSize;
    DdsPixelFormat& format = header.format;

    if (caps2 & kCaps2CubeOrVolume) {
        reading.fault = "cube map or volume texture";
        return reading;
    }
    if (pixelFlags & kPixelFourCc) {
        if (code == fourCc("DXT1")) {
            format.encoding = DdsEncoding::Bc1;
        } else if (code == fourCc("DXT3")) {
            format.encoding = DdsEncoding::Bc2;
        } else if (code == fourCc("DXT5")) {
            format.encoding = DdsEncoding::Bc3;
        } else if (code == fourCc("DX10")) {
            if (size < kHeaderSize + kDx10HeaderSize) {
                reading.fault = "truncated";
                return reading;
            }
            const std::uint8_t* x = data + kHeaderSize;
            format.dx10 = true;
            format.dxgiFormat = readU32(x);
            header.dataOffset += kDx10HeaderSize;
            if (readU32(x + 4) != 3 || readU32(x + 12) > 1) {
                reading.fault = "not a single 2D texture";
                return reading;
            }
            if (format.dxgiFormat == kDxgiBc7 || format.dxgiFormat == kDxgiBc7Srgb) {
                format.encoding = DdsEncoding::Bc7;
            } else if (format.dxgiFormat == kDxgiRgba || format.dxgiFormat == kDxgiBgra) {
                format.encoding = DdsEncoding::Rgba32;
            } else {
                reading.fault = "DXGI " + std::to_string(format.dxgiFormat);
                return reading;
            }
        } else {
            reading.fault = "FourCC " + fourCcText(code);
            return reading;
        }
    } else if (pixelFlags & kPixelRgb) {
        format.encoding = DdsEncoding::Rgba32;
        format.redMask = readU32(h + 88);
        format.greenMask = readU32(h + 92);
        format.blueMask = readU32(h + 96);
        format.alphaMask = (pixelFlags & kPixelAlpha) ? readU32(h + 100) : 0;
        if (bitCount != 32 || !writableFormat(format)) {
            reading.fault = std::to_string(bitCount) + "-bit RGB with masks " + hexText(format.redMask) +
                            " " + hexText(format.greenMask) + " " + hexText(format.blueMask) + " " +
                            hexText(format.alphaMask);
            return reading;
        }
    } else {
        reading.fault = "pixel format " + hexText(pixelFlags);
        return reading;
    }
    if (header.width <= 0 || header.height <= 0) {
        reading.fault = "empty image";
        return reading;
    }
    if (header.width > kMaximumImageSide || header.height > kMaximumImageSide) {
        reading.fault =
            "larger than " + std::to_string(kMaximumImageSide) + " x " + std::to_string(kMaximumImageSide);
        return reading;
    }
    if (totalSize - header.dataOffset < levelBytes(format.encoding, header.width, header.height)) {
        reading.fault = "truncated";
        return reading;
    }
    reading.header = header;
    return reading;
}

}  // namespace

DdsDecoding decodeDds(const std::uint8_t* data, std::size_t size) {
    DdsDecoding decoding;
    DdsHeaderReading reading = readDdsHeader(data, size);
    if (!reading.header) {
        decoding.fault = std::move(reading.fault);
        return decoding;
    }
    decoding.header = *reading.header;
    const DdsHeader& header = decoding.header;
    std::optional<Image> image = Image::allocate(header.width, header.height, 32, false);
    if (!image) {
        decoding.fault = "too large to hold";
        return decoding;
    }
    const std::uint8_t* pixels = data + header.dataOffset;
    switch (header.format.encoding) {
        case DdsEncoding::Bc1:
        case DdsEncoding::Bc2:
        case DdsEncoding::Bc3:
            squish::DecompressImage(image->row(0), image->width(), image->height(),
                                    static_cast<int>(image->stride()), pixels,
                                    squishFlags(header.format.encoding));
            break;
        case DdsEncoding::Bc7:
            decodeBc7(pixels, *image);
            break;
        case DdsEncoding::Rgba32:
            decodeRgba32(pixels, header.format, *image);
            break;
    }
    decoding.image = std::move(image);
    return decoding;
}

DdsDecoding loadDds(const std::string& path) {
    const std::optional<std::vector<std::uint8_t>> content = readWholeFile(path);
    if (!content) {
        DdsDecoding decoding;
        decoding.fault = "can't be read";
        return decoding;
    }
    return decodeDds(content->data(), content->size());
}

std::optional<std::vector<std::uint8_t>> encodeDds(const Image& image, const DdsPixelFormat& format,
                                                   int mipLevels, const KeptBlocks* kept) {
    if (image.depth() != 32 || !writableFormat(format)) return std::nullopt;
    if (kept && kept->original &&
        kept->touched.size() !=
            static_cast<std::size_t>((image.width() + 3) / 4) * ((image.height() + 3) / 4))
        return std::nullopt;
    const int levels = std::clamp(mipLevels, 1, fullMipChainLength(image.width(), image.height()));
    const bool isCompressed = compressed(format.encoding);
    try {
        std::vector<std::uint8_t> out;
        out.reserve(kHeaderSize + kDx10HeaderSize +
                    levelBytes(format.encoding, image.width(), image.height()) * 4 / 3 + 64);
        out.insert(out.end(), {'D', 'D', 'S', ' '});
        writeU32(out, 124);
        writeU32(out, kFlagCaps | kFlagHeight | kFlagWidth | kFlagPixelFormat |
                          (levels > 1 ? kFlagMipMapCount : 0) |
                          (isCompressed ? kFlagLinearSize : kFlagPitch));
        writeU32(out, static_cast<std::uint32_t>(image.height()));
        writeU32(out, static_cast<std::uint32_t>(image.width()));
        writeU32(out, static_cast<std::uint32_t>(
                          isCompressed ? levelBytes(format.encoding, image.width(), image.height())
                                       : static_cast<std::uint64_t>(image.width()) * 4));
        writeU32(out, 0);  // depth
        writeU32(out, static_cast<std::uint32_t>(levels));
        for (int i = 0; i < 11; ++i) writeU32(out, 0);
        writeU32(out, 32);  // the pixel format's size
        if (isCompressed) {
            writeU32(out, kPixelFourCc);
            writeU32(out, fourCc(format.encoding == DdsEncoding::Bc1   ? "DXT1"
                                 : format.encoding == DdsEncoding::Bc2 ? "DXT3"
                                                                       : "DXT5"));
            for (int i = 0; i < 5; ++i) writeU32(out, 0);
        } else if (format.dx10) {
            writeU32(out, kPixelFourCc);
            writeU32(out, fourCc("DX10"));
            for (int i = 0; i < 5; ++i) writeU32(out, 0);
        } else {
            writeU32(out, kPixelRgb | (format.alphaMask ? kPixelAlpha : 0));
            writeU32(out, 0);
            writeU32(out, 32);
            writeU32(out, format.redMask);
            writeU32(out, format.greenMask);
            writeU32(out, format.blueMask);
            writeU32(out, format.alphaMask);
        }
        writeU32(out, kCapsTexture | (levels > 1 ? kCapsComplex | kCapsMipMap : 0));
        for (int i = 0; i < 4; ++i) writeU32(out, 0);
        if (!isCompressed && format.dx10) {
            writeU32(out, format.dxgiFormat);
            writeU32(out, 3);  // a 2D texture
            writeU32(out, 0);
            writeU32(out, 1);  // one image
            writeU32(out, 0);
        }
        // Every level first (each halved on every core), then all of them encoded at once.
        std::vector<Image> smaller;
        smaller.reserve(static_cast<std::size_t>(levels - 1));
        for (int i = 1; i < levels; ++i) {
            std::optional<Image> level = halved(smaller.empty() ? image : smaller.back());
            if (!level) return std::nullopt;
            smaller.push_back(std::move(*level));
        }
        std::vector<LevelOutput> outputs;
        std::size_t offset = out.size();
        for (int i = 0; i < levels; ++i) {
            const Image& level = i == 0 ? image : smaller[static_cast<std::size_t>(i - 1)];
            outputs.push_back({&level, nullptr});
            offset += levelBytes(format.encoding, level.width(), level.height());
        }
        const std::size_t start = out.size();
        out.resize(offset);
        offset = start;
        for (LevelOutput& output : outputs) {
            output.bytes = out.data() + offset;
            offset += levelBytes(format.encoding, output.image->width(), output.image->height());
        }
        encodeLevels(outputs, format, kept);
        return out;
    } catch (const std::exception&) {  // out of memory
        return std::nullopt;
    }
}

bool saveImageDds(const Image& image, const DdsPixelFormat& format, int mipLevels, const std::string& path,
                  const KeptBlocks* kept) {
    const std::optional<std::vector<std::uint8_t>> bytes = encodeDds(image, format, mipLevels, kept);
    if (!bytes) return false;
    std::optional<OutputFile> file = OutputFile::open(path, OutputFile::Mode::Replace);
    if (!file) return false;
    file->write(bytes->data(), bytes->size());
    return file->finish();
}
