#pragma once

// PNG files of every colour type, written with libpng directly so the decoder is tested against
// files it did not write itself.

#include <cstdint>
#include <string>
#include <vector>

struct PngSample {
    int colourType;  // PNG_COLOR_TYPE_*
    int bitDepth;
    bool interlaced = false;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> samples;         // packed rows in the file's own format
    std::vector<std::uint8_t> palette{};       // RGB triples for palette images
    std::vector<std::uint8_t> transparency{};  // tRNS entries for palette images
};

std::vector<std::uint8_t> encodePngSample(const PngSample& sample);
