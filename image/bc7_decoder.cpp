#include "image/bc7_decoder.h"

#include <algorithm>
#include <cstring>

namespace {

struct ModeInfo {
    int subsets;
    int partitionBits;
    int rotationBits;
    int indexSelectionBits;
    int colourBits;
    int alphaBits;
    int endpointPBits;  // one per endpoint
    int sharedPBits;    // one per subset
    int indexBits;
    int secondaryIndexBits;
};

constexpr ModeInfo kModes[8] = {
    {3, 4, 0, 0, 4, 0, 1, 0, 3, 0}, {2, 6, 0, 0, 6, 0, 0, 1, 3, 0}, {3, 6, 0, 0, 5, 0, 0, 0, 2, 0},
    {2, 6, 0, 0, 7, 0, 1, 0, 2, 0}, {1, 0, 2, 1, 5, 6, 0, 0, 2, 3}, {1, 0, 2, 0, 7, 8, 0, 0, 2, 2},
    {1, 0, 0, 0, 7, 7, 1, 0, 4, 0}, {2, 6, 0, 0, 5, 5, 1, 0, 2, 0},
};

// The subset of each pixel: one bit per pixel for two subsets, two bits per pixel for three.
constexpr std::uint16_t kPartitions2[64] = {
    0xCCCC, 0x8888, 0xEEEE, 0xECC8, 0xC880, 0xFEEC, 0xFEC8, 0xEC80, 0xC800, 0xFFEC, 0xFE80, 0xE800, 0xFFE8,
    0xFF00, 0xFFF0, 0xF000, 0xF710, 0x008E, 0x7100, 0x08CE, 0x008C, 0x7310, 0x3100, 0x8CCE, 0x088C, 0x3110,
    0x6666, 0x366C, 0x17E8, 0x0FF0, 0x718E, 0x399C, 0xAAAA, 0xF0F0, 0x5A5A, 0x33CC, 0x3C3C, 0x55AA, 0x9696,
    0xA55A, 0x73CE, 0x13C8, 0x324C, 0x3BDC, 0x6996, 0xC33C, 0x9966, 0x0660, 0x0272, 0x04E4, 0x4E40, 0x2720,
    0xC936, 0x936C, 0x39C6, 0x639C, 0x9336, 0x9CC6, 0x817E, 0xE718, 0xCCF0, 0x0FCC, 0x7744, 0xEE22,
};
constexpr std::uint32_t kPartitions3[64] = {
    0xAA685050, 0x6A5A5040, 0x5A5A4200, 0x5450A0A8, 0xA5A50000, 0xA0A05050, 0x5555A0A0, 0x5A5A5050,
    0xAA550000, 0xAA555500, 0xAAAA5500, 0x90909090, 0x94949494, 0xA4A4A4A4, 0xA9A59450, 0x2A0A4250,
    0xA5945040, 0x0A425054, 0xA5A5A500, 0x55A0A0A0, 0xA8A85454, 0x6A6A4040, 0xA4A45000, 0x1A1A0500,
    0x0050A4A4, 0xAAA59090, 0x14696914, 0x69691400, 0xA08585A0, 0xAA821414, 0x50A4A450, 0x6A5A0200,
    0xA9A58000, 0x5090A0A8, 0xA8A09050, 0x24242424, 0x00AA5500, 0x24924924, 0x24499224, 0x50A50A50,
    0x500AA550, 0xAAAA4444, 0x66660000, 0xA5A0A5A0, 0x50A050A0, 0x69286928, 0x44AAAA44, 0x66666600,
    0xAA444444, 0x54A854A8, 0x95809580, 0x96969600, 0xA85454A8, 0x80959580, 0xAA141414, 0x96960000,
    0xAAAA1414, 0xA05050A0, 0xA0A5A5A0, 0x96000000, 0x40804080, 0xA9A8A9A8, 0xAAAAAA44, 0x2A4A5254,
};
// The pixel whose index is stored one bit shorter, for subset 1 of two, and subsets 1 and 2 of three.
constexpr std::uint8_t kAnchors2[64] = {
    15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 2,  8, 2,  2, 8,
    8,  15, 2,  8,  2,  2,  8,  8,  2,  2,  15, 15, 6,  8,  2,  8,  15, 15, 2, 8,  2, 2,
    2,  15, 15, 6,  6,  2,  6,  8,  15, 15, 2,  2,  15, 15, 15, 15, 15, 2,  2, 15,
};
constexpr std::uint8_t kAnchors3First[64] = {
    3,  3,  15, 15, 8, 3,  15, 15, 8,  8,  6, 6,  6, 5,  3, 3,  3,  3,  8,  15, 3,  3,
    6,  10, 5,  8,  8, 6,  8,  5,  15, 15, 8, 15, 3, 5,  6, 10, 8,  15, 15, 3,  15, 5,
    15, 15, 15, 15, 3, 15, 5,  5,  5,  8,  5, 10, 5, 10, 8, 13, 15, 12, 3,  3,
};
constexpr std::uint8_t kAnchors3Second[64] = {
    15, 8, 8, 3,  15, 15, 3,  8,  15, 15, 15, 15, 15, 15, 15, 8,  15, 8,  15, 3,  15, 8,
    15, 8, 3, 15, 6,  10, 15, 15, 10, 8,  15, 3,  15, 10, 10, 8,  9,  10, 6,  15, 8,  15,
    3,  6, 6, 8,  15, 3,  15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 3,  15, 15, 8,
};

constexpr std::uint8_t kWeights2[4] = {0, 21, 43, 64};
constexpr std::uint8_t kWeights3[8] = {0, 9, 18, 27, 37, 46, 55, 64};
constexpr std::uint8_t kWeights4[16] = {0, 4, 9, 13, 17, 21, 26, 30, 34, 38, 43, 47, 51, 55, 60, 64};

const std::uint8_t* weightsFor(int bits) {
    return bits == 2 ? kWeights2 : bits == 3 ? kWeights3 : kWeights4;
}

class BitReader {
public:
    explicit BitReader(const std::uint8_t* block) : block_(block) {}
    unsigned read(int count) {
        unsigned value = 0;
        for (int i = 0; i < count; ++i, ++position_) {
            value |= static_cast<unsigned>((block_[position_ >> 3] >> (position_ & 7)) & 1) << i;
        }
        return value;
    }

private:
    const std::uint8_t* block_;
    int position_ = 0;
};

int subsetOf(const ModeInfo& mode, unsigned partition, int pixel) {
    if (mode.subsets == 2) return (kPartitions2[partition] >> pixel) & 1;
    if (mode.subsets == 3) return static_cast<int>((kPartitions3[partition] >> (2 * pixel)) & 3);
    return 0;
}

bool isAnchor(const ModeInfo& mode, unsigned partition, int pixel) {
    if (pixel == 0) return true;
    if (mode.subsets == 2) return pixel == kAnchors2[partition];
    if (mode.subsets == 3) return pixel == kAnchors3First[partition] || pixel == kAnchors3Second[partition];
    return false;
}

// A value of `bits` bits widened to 8 by repeating its top bits.
std::uint8_t expand(unsigned value, int bits) {
    value <<= 8 - bits;
    return static_cast<std::uint8_t>(value | (value >> bits));
}

std::uint8_t interpolate(std::uint8_t first, std::uint8_t second, std::uint8_t weight) {
    return static_cast<std::uint8_t>(((64 - weight) * first + weight * second + 32) >> 6);
}

}  // namespace

void decodeBc7Block(const std::uint8_t* block, std::uint8_t* rgba) {
    int modeNumber = 0;
    while (modeNumber < 8 && ((block[0] >> modeNumber) & 1) == 0) ++modeNumber;
    if (modeNumber == 8) {
        std::memset(rgba, 0, 64);
        return;
    }
    const ModeInfo& mode = kModes[modeNumber];
    BitReader bits(block);
    bits.read(modeNumber + 1);
    const unsigned partition = bits.read(mode.partitionBits);
    const unsigned rotation = bits.read(mode.rotationBits);
    const unsigned indexSelection = bits.read(mode.indexSelectionBits);

    // endpoints[subset * 2 + end][channel], read as stored: every R, then every G, B and A.
    unsigned endpoints[6][4] = {};
    const int endpointCount = mode.subsets * 2;
    for (int channel = 0; channel < 3; ++channel) {
        for (int e = 0; e < endpointCount; ++e) endpoints[e][channel] = bits.read(mode.colourBits);
    }
    if (mode.alphaBits > 0) {
        for (int e = 0; e < endpointCount; ++e) endpoints[e][3] = bits.read(mode.alphaBits);
    }
    int colourBits = mode.colourBits;
    int alphaBits = mode.alphaBits;
    if (mode.endpointPBits || mode.sharedPBits) {
        unsigned pBits[6] = {};
        if (mode.endpointPBits) {
            for (int e = 0; e < endpointCount; ++e) pBits[e] = bits.read(1);
        } else {
            for (int s = 0; s < mode.subsets; ++s) pBits[2 * s] = pBits[2 * s + 1] = bits.read(1);
        }
        for (int e = 0; e < endpointCount; ++e) {
            for (int channel = 0; channel < 4; ++channel)
                endpoints[e][channel] = endpoints[e][channel] << 1 | pBits[e];
        }
        ++colourBits;
        if (alphaBits > 0) ++alphaBits;
    }
    std::uint8_t colours[6][4];
    for (int e = 0; e < endpointCount; ++e) {
        for (int channel = 0; channel < 3; ++channel)
            colours[e][channel] = expand(endpoints[e][channel], colourBits);
        colours[e][3] = alphaBits > 0 ? expand(endpoints[e][3], alphaBits) : 255;
    }

    unsigned indices[16];
    for (int pixel = 0; pixel < 16; ++pixel)
        indices[pixel] = bits.read(mode.indexBits - (isAnchor(mode, partition, pixel) ? 1 : 0));
    unsigned secondary[16] = {};
    if (mode.secondaryIndexBits > 0) {
        for (int pixel = 0; pixel < 16; ++pixel)
            secondary[pixel] = bits.read(mode.secondaryIndexBits - (pixel == 0 ? 1 : 0));
    }

    for (int pixel = 0; pixel < 16; ++pixel) {
        const int subset = subsetOf(mode, partition, pixel);
        const std::uint8_t* first = colours[2 * subset];
        const std::uint8_t* second = colours[2 * subset + 1];
        std::uint8_t* out = rgba + 4 * pixel;
        if (mode.secondaryIndexBits == 0) {
            const std::uint8_t weight = weightsFor(mode.indexBits)[indices[pixel]];
            for (int channel = 0; channel < 4; ++channel)
                out[channel] = interpolate(first[channel], second[channel], weight);
        } else {
            // Colour and alpha have indices of their own; the selection bit swaps which is which.
            const bool swapped = indexSelection != 0;
            const std::uint8_t colourWeight = swapped ? weightsFor(mode.secondaryIndexBits)[secondary[pixel]]
                                                      : weightsFor(mode.indexBits)[indices[pixel]];
            const std::uint8_t alphaWeight = swapped ? weightsFor(mode.indexBits)[indices[pixel]]
                                                     : weightsFor(mode.secondaryIndexBits)[secondary[pixel]];
            for (int channel = 0; channel < 3; ++channel)
                out[channel] = interpolate(first[channel], second[channel], colourWeight);
            out[3] = interpolate(first[3], second[3], alphaWeight);
        }
        if (rotation > 0) std::swap(out[3], out[rotation - 1]);
    }
}
