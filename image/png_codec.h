#pragma once

// PNG files in and out, through libpng.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/image.h"

// Decoding: palettes and grey expanded to RGB, tRNS turned into alpha, samples scaled to 8 bits,
// interlacing undone. Depth 32 when the result carries alpha, else 24. None on any failure.
std::optional<Image> loadImage(const std::string& path);
std::optional<Image> decodePng(const std::uint8_t* data, std::size_t size);

struct ImageSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};
// The size a PNG file's header gives, without decoding its pixels: none unless the file starts with the
// signature and a whole IHDR chunk (CRC included) of a size within the limits and a bit depth and colour
// type libpng accepts. A file whose pixels are damaged still fails only when decoded.
std::optional<ImageSize> readPngSize(const std::string& path);

// Encoding with fixed settings: bit depth 8, RGBA (RGB for depth 24), no interlace, filter none on every
// row, zlib level 9, no chunks besides IHDR, IDAT and IEND. The file is replaced only when the whole image
// was written.
bool saveImagePng(const Image& image, const std::string& path);
std::optional<std::vector<std::uint8_t>> encodePng(const Image& image);
