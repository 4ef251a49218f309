#pragma once

// DDS textures, the atlas images of today's game clients: decoding of the top mip level and encoding with
// a chain of mip levels. Decoded images are 8-bit RGBA (depth 32). The formats and the header are in
// dds_format.h.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/dds_format.h"
#include "image/image.h"

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
// mipLevels levels or 1 x 1), encoded on every core. Only writable formats (ddsWritable). None when the
// image cannot be encoded, or kept blocks do not match its size.
std::optional<std::vector<std::uint8_t>> encodeDds(const Image& image, const DdsPixelFormat& format,
                                                   int mipLevels, const KeptBlocks* kept = nullptr);
// The file is replaced only when it was written completely.
bool saveImageDds(const Image& image, const DdsPixelFormat& format, int mipLevels, const std::string& path,
                  const KeptBlocks* kept = nullptr);
