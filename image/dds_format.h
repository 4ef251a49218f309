#pragma once

// The DDS pixel formats Ravelin reads and writes, as one table, and the file's header: reading it with
// every fault named, and writing it for a new texture.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class DdsEncoding { Bc1, Bc2, Bc3, Bc7, Rgba32 };

struct DdsFormatFacts {
    DdsEncoding encoding;
    std::string_view fourCc;   // how the classic header names it; empty when only a DX10 header or masks do
    std::uint32_t blockBytes;  // bytes of one 4 x 4 block; 0 for uncompressed 32-bit pixels
    DdsEncoding rebuiltAs;     // what a new atlas is written as where the game's original has this format
};

inline constexpr DdsFormatFacts kDdsFormats[] = {
    {DdsEncoding::Bc1, "DXT1", 8, DdsEncoding::Bc1},
    {DdsEncoding::Bc2, "DXT3", 16, DdsEncoding::Bc2},
    {DdsEncoding::Bc3, "DXT5", 16, DdsEncoding::Bc3},
    {DdsEncoding::Bc7, "", 16, DdsEncoding::Bc3},  // there is no BC7 encoder; BC3 keeps the full alpha
    {DdsEncoding::Rgba32, "", 0, DdsEncoding::Rgba32},
};

// The DXGI formats of a DX10 header that Ravelin reads; BGRA puts blue in the lowest byte.
struct DxgiFormat {
    std::uint32_t code;
    DdsEncoding encoding;
    bool bgra;
};
inline constexpr DxgiFormat kDxgiFormats[] = {
    {28, DdsEncoding::Rgba32, false},  // R8G8B8A8_UNORM
    {87, DdsEncoding::Rgba32, true},   // B8G8R8A8_UNORM
    {98, DdsEncoding::Bc7, false},     // BC7_UNORM
    {99, DdsEncoding::Bc7, false},     // BC7_UNORM_SRGB
};

const DdsFormatFacts& ddsFormatFacts(DdsEncoding encoding);

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

// Whether Ravelin can write the format: not BC7, and uncompressed only with one byte per channel.
bool ddsWritable(const DdsPixelFormat& format);
// What a new atlas is written as where the game's original has this format.
DdsPixelFormat ddsRebuiltFormat(const DdsPixelFormat& original);
// Where red, green, blue and alpha sit in a 32-bit pixel of a writable uncompressed format; -1 for an
// alpha the format does not have.
struct DdsChannelShifts {
    int shift[4];
};
DdsChannelShifts ddsChannelShifts(const DdsPixelFormat& format);
// Bytes of one level of the given size.
std::uint64_t ddsLevelBytes(DdsEncoding encoding, std::int64_t width, std::int64_t height);
// The number of levels down to 1 x 1.
int fullMipChainLength(std::int64_t width, std::int64_t height);

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
// size bytes of the file are at data; the whole file has totalSize bytes (more when only the header was
// read).
DdsHeaderReading readDdsHeader(const std::uint8_t* data, std::size_t size, std::size_t totalSize);
DdsHeaderReading readDdsHeader(const std::uint8_t* data, std::size_t size);
// The bytes a header takes at most, so a reader of the header alone knows how much to read.
inline constexpr std::size_t kDdsMaximumHeaderBytes = 4 + 124 + 20;

// The header of a new texture of the given size, format and number of levels.
void appendDdsHeader(std::vector<std::uint8_t>& out, std::int64_t width, std::int64_t height,
                     const DdsPixelFormat& format, int levels);
