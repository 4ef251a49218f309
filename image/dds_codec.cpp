#include "image/dds_codec.h"

#include <squish.h>
#include <stb_dxt.h>

#include <algorithm>
#include <cstring>

#include "image/bc7_decoder.h"
#include "platform/file_io.h"
#include "platform/localized_text.h"
#include "platform/parallel_work.h"

namespace {

std::uint32_t readU32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// ---- decoders: the top level's pixels into an image of the header's size --------------------------

template <int kSquishFormat>
void decodeWithSquish(const std::uint8_t* blocks, const DdsPixelFormat&, Image& image) {
    squish::DecompressImage(image.row(0), image.width(), image.height(), static_cast<int>(image.stride()),
                            blocks, kSquishFormat);
}

void decodeBc7(const std::uint8_t* blocks, const DdsPixelFormat&, Image& image) {
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

void decodeRgba32(const std::uint8_t* pixels, const DdsPixelFormat& format, Image& image) {
    const DdsChannelShifts shifts = ddsChannelShifts(format);
    const bool opaque = shifts.shift[3] < 0;
    for (std::int32_t y = 0; y < image.height(); ++y) {
        std::uint8_t* out = image.row(y);
        const std::uint8_t* in = pixels + static_cast<std::size_t>(y) * image.width() * 4;
        for (std::int32_t x = 0; x < image.width(); ++x, in += 4, out += 4) {
            const std::uint32_t value = readU32(in);
            for (int channel = 0; channel < 3; ++channel)
                out[channel] = static_cast<std::uint8_t>(value >> shifts.shift[channel]);
            out[3] = opaque ? 255 : static_cast<std::uint8_t>(value >> shifts.shift[3]);
        }
    }
}

// ---- encoders: 4 x 4 blocks at a time ------------------------------------------------------------

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

// BC3 with stb's encoder: at least as close as squish's cluster fit and ten times faster (the table in the
// README).
void encodeBc3Block(std::uint8_t* pixels, std::uint8_t* block) {
    fillTransparentColours(pixels);
    stb_compress_dxt_block(block, pixels, 1, STB_DXT_NORMAL);
}

// stb writes neither BC1's one-bit alpha nor BC2's explicit alpha; squish does.
template <int kSquishFormat>
void encodeWithSquish(std::uint8_t* pixels, std::uint8_t* block) {
    squish::Compress(pixels, block, kSquishFormat | squish::kColourRangeFit | squish::kWeightColourByAlpha);
}

// Who decodes and who encodes each format. BC7 is never written; uncompressed pixels are written one by
// one (encodeBlockRows), so neither has a block encoder.
struct DdsCodec {
    DdsEncoding encoding;
    void (*decode)(const std::uint8_t* data, const DdsPixelFormat& format, Image& image);
    void (*encodeBlock)(std::uint8_t* pixels, std::uint8_t* block);
};

constexpr DdsCodec kCodecs[] = {
    {DdsEncoding::Bc1, decodeWithSquish<squish::kDxt1>, encodeWithSquish<squish::kDxt1>},
    {DdsEncoding::Bc2, decodeWithSquish<squish::kDxt3>, encodeWithSquish<squish::kDxt3>},
    {DdsEncoding::Bc3, decodeWithSquish<squish::kDxt5>, encodeBc3Block},
    {DdsEncoding::Bc7, decodeBc7, nullptr},
    {DdsEncoding::Rgba32, decodeRgba32, nullptr},
};

const DdsCodec& codecOf(DdsEncoding encoding) {
    for (const DdsCodec& codec : kCodecs) {
        if (codec.encoding == encoding) return codec;
    }
    return kCodecs[0];  // unreachable: every encoding has its row
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

// One mip level of the file being written.
struct LevelOutput {
    const Image* image;
    std::uint8_t* bytes;
};

// Rows of 4 x 4 blocks [firstRow, endRow) of one level. Untouched blocks of a kept top level are copied.
void encodeBlockRows(const LevelOutput& output, const DdsPixelFormat& format, const KeptBlocks* kept,
                     std::int32_t firstRow, std::int32_t endRow) {
    const Image& level = *output.image;
    const std::int32_t blocksWide = (level.width() + 3) / 4;
    const bool keeping = kept && kept->original;
    const auto untouched = [&](std::int32_t bx, std::int32_t by) {
        return keeping && !kept->touched[static_cast<std::size_t>(by) * blocksWide + bx];
    };
    const auto encodeBlock = codecOf(format.encoding).encodeBlock;
    if (!encodeBlock) {  // uncompressed
        const DdsChannelShifts shifts = ddsChannelShifts(format);
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
                    if (shifts.shift[channel] >= 0)
                        value |= static_cast<std::uint32_t>(from[channel]) << shifts.shift[channel];
                }
                for (int i = 0; i < 4; ++i) to[i] = static_cast<std::uint8_t>(value >> (8 * i));
            }
        }
        return;
    }
    const std::size_t size = ddsFormatFacts(format.encoding).blockBytes;
    std::uint8_t pixels[64];
    for (std::int32_t by = firstRow; by < endRow; ++by) {
        for (std::int32_t bx = 0; bx < blocksWide; ++bx) {
            const std::size_t offset = (static_cast<std::size_t>(by) * blocksWide + bx) * size;
            if (untouched(bx, by)) {
                std::memcpy(output.bytes + offset, kept->original + offset, size);
                continue;
            }
            gatherBlock(level, bx, by, pixels);
            encodeBlock(pixels, output.bytes + offset);
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

}  // namespace

DdsHeaderReading loadDdsHeader(const std::string& path) {
    FileHandle file = openFile(path, "rb");
    if (!file) return {std::nullopt, "can't be read"};
    std::uint8_t header[kDdsMaximumHeaderBytes];
    const std::size_t read = std::fread(header, 1, sizeof header, file.get());
    std::error_code error;
    const auto total = std::filesystem::file_size(nativePath(path), error);
    if (error) return {std::nullopt, englishText("can't be read")};
    return readDdsHeader(header, read, static_cast<std::size_t>(total));
}

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
        decoding.fault = englishText("too large to hold");
        return decoding;
    }
    codecOf(header.format.encoding).decode(data + header.dataOffset, header.format, *image);
    decoding.image = std::move(image);
    return decoding;
}

DdsDecoding loadDds(const std::string& path) {
    // A file whose header is of no use is not read whole.
    if (DdsHeaderReading reading = loadDdsHeader(path); !reading.header) {
        DdsDecoding decoding;
        decoding.fault = std::move(reading.fault);
        return decoding;
    }
    const std::optional<std::vector<std::uint8_t>> content = readWholeFile(path);
    if (!content) {
        DdsDecoding decoding;
        decoding.fault = englishText("can't be read");
        return decoding;
    }
    return decodeDds(content->data(), content->size());
}

std::optional<std::vector<std::uint8_t>> encodeDds(const Image& image, const DdsPixelFormat& format,
                                                   int mipLevels, const KeptBlocks* kept) {
    if (image.depth() != 32 || !ddsWritable(format)) return std::nullopt;
    if (kept && kept->original &&
        kept->touched.size() !=
            static_cast<std::size_t>((image.width() + 3) / 4) * ((image.height() + 3) / 4))
        return std::nullopt;
    const int levels = std::clamp(mipLevels, 1, fullMipChainLength(image.width(), image.height()));
    try {
        std::vector<std::uint8_t> out;
        appendDdsHeader(out, image.width(), image.height(), format, levels);
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
            offset += ddsLevelBytes(format.encoding, level.width(), level.height());
        }
        const std::size_t start = out.size();
        out.resize(offset);
        offset = start;
        for (LevelOutput& output : outputs) {
            output.bytes = out.data() + offset;
            offset += ddsLevelBytes(format.encoding, output.image->width(), output.image->height());
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
