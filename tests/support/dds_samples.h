#pragma once

// DDS atlases for tests, in every format the program reads. BC7 files are built from solid blocks (mode 6
// with both endpoints equal) of even colours, so their pixels are known exactly by construction.

#include <cstdint>
#include <string>
#include <vector>

#include "image/dds_codec.h"
#include "image/image.h"

enum class DdsSampleFormat { Bc1, Bc2, Bc3, Bc7, BgraMasks, RgbxMasks, Dx10Rgba, Dx10Bgra };

inline constexpr DdsSampleFormat kEveryDdsSampleFormat[] = {
    DdsSampleFormat::Bc1,      DdsSampleFormat::Bc2,       DdsSampleFormat::Bc3,
    DdsSampleFormat::Bc7,      DdsSampleFormat::BgraMasks, DdsSampleFormat::RgbxMasks,
    DdsSampleFormat::Dx10Rgba, DdsSampleFormat::Dx10Bgra};

const char* ddsSampleFormatName(DdsSampleFormat format);
DdsPixelFormat ddsPixelFormatOf(DdsSampleFormat format);  // BC7 has none to write with

// A BC7 block of one colour; the lowest bit of each channel is dropped.
std::vector<std::uint8_t> bc7SolidBlock(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                        std::uint8_t alpha);
// The image with every 4 x 4 block filled with the colour of its top-left pixel, each channel made even:
// what a file of solid BC7 blocks holds.
Image blockyCopy(const Image& image);
// The file of the image in the format, with the given number of mip levels (BC7: the blocky copy, one level).
std::string ddsFileText(const Image& image, DdsSampleFormat format, int mipLevels = 1);
// A DDS header (and DX10 extension) with the given values and no pixels, for files that must be refused.
std::string ddsHeaderText(std::uint32_t width, std::uint32_t height, std::uint32_t pixelFlags,
                          const char* fourCc, std::uint32_t bitCount = 0, std::uint32_t dxgiFormat = 0);
