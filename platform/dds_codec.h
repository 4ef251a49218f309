#pragma once

// DDS textures, the atlas images of today's game clients: the header, decoding of the top mip level and
// encoding with a chain of mip levels. Decoded images are 8-bit RGBA (depth 32).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/image.h"

enum class DdsEncoding { Bc1, Bc2, Bc3, Bc7, Rgba32 };

struct DdsPixelFormat {
    DdsEncoding encoding = DdsEncoding::Bc3;
    // The header's DX10 extension and its DXGI format; without it, an uncompressed format is described by
    // its channel masks.
    bool dx10 = false;
    std::uint32_t dxgiFormat = 0;
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
    std::uint32_t alphaMask = 0;
};

struct DdsHeader {
    std::int64_t width = 0;
    std::int64_t height = 0;
    int mipLevels = 1;
    DdsPixelFormat format;
    std::size_t dataOffset = 0;  // where the top level's pixels start
};

// A header, or the fault that makes the file unusable: "not a DDS file", "truncated", "DXGI 71",
// "FourCC ATI2", "24-bit RGB", "larger than 16384 x 16384", ...
struct DdsHeaderReading {
    std::optional<DdsHeader> header;
    std::string fault;
};
DdsHeaderReading readDdsHeader(const std::uint8_t* data, std::size_t size);
// The header of a file, read without its pixels.
DdsHeaderReading loadDdsHeader(const std::string& path);

struct DdsDecoding {
    std::optional<Image> image;  // the top mip level
    DdsHeader header;
    std::string fault;  // why there is no image; "can't be read" when the file cannot be read at all
};
DdsDecoding decodeDds(const std::uint8_t* data, std::size_t size);
DdsDecoding loadDds(const std::string& path);

// The top level's 4 x 4 blocks to copy from an original of the same size and format instead of encoding
// them (for an uncompressed format, the pixels of those blocks).
struct KeptBlocks {
    const std::uint8_t* original = nullptr;  // the original's top level, as stored
    std::vector<bool> touched;               // one per block, row by row: encode these from the image
};

// The whole file: header, the image and its mip levels (each half the size of the one above, down to
// mipLevels levels or 1 x 1), encoded on every core. BC7 is not written. None when the image cannot be
// encoded, or kept blocks do not match its size.
std::optional<std::vector<std::uint8_t>> encodeDds(const Image& image, const DdsPixelFormat& format,
                                                   int mipLevels, const KeptBlocks* kept = nullptr);
// The file is replaced only when it was written completely.
bool saveImageDds(const Image& image, const DdsPixelFormat& format, int mipLevels, const std::string& path,
                  const KeptBlocks* kept = nullptr);

// The number of levels down to 1 x 1.
int fullMipChainLength(std::int64_t width, std::int64_t height);
