#include "image/dds_format.h"

#include <algorithm>
#include <cstring>

#include "image/image.h"
#include "platform/localized_text.h"

namespace {

constexpr std::size_t kHeaderSize = 4 + 124;
constexpr std::size_t kDx10HeaderSize = 20;

constexpr std::uint32_t kFlagCaps = 0x1, kFlagHeight = 0x2, kFlagWidth = 0x4, kFlagPitch = 0x8,
                        kFlagPixelFormat = 0x1000, kFlagMipMapCount = 0x20000, kFlagLinearSize = 0x80000;
constexpr std::uint32_t kPixelAlpha = 0x1, kPixelFourCc = 0x4, kPixelRgb = 0x40;
constexpr std::uint32_t kCapsComplex = 0x8, kCapsTexture = 0x1000, kCapsMipMap = 0x400000;
constexpr std::uint32_t kCaps2CubeOrVolume = 0x200 | 0x200000;

constexpr std::uint32_t fourCc(std::string_view code) {
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

std::string hexText(std::uint32_t value) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xF];
    return text;
}

// A mask of eight contiguous bits on a byte boundary gives its shift; anything else is refused.
std::optional<int> byteShiftOf(std::uint32_t mask) {
    for (int shift = 0; shift < 32; shift += 8) {
        if (mask == 0xFFu << shift) return shift;
    }
    return std::nullopt;
}

const DxgiFormat* dxgiFormat(std::uint32_t code) {
    for (const DxgiFormat& format : kDxgiFormats) {
        if (format.code == code) return &format;
    }
    return nullptr;
}

// The pixel format of the classic header: a FourCC (DX10 extension or one of the table's block formats)
// or uncompressed channel masks. Fills format and dataOffset, or returns the fault.
std::string readPixelFormat(const std::uint8_t* data, std::size_t size, DdsHeader& header) {
    const std::uint8_t* h = data + 4;  // offsets below are those of the 124-byte header
    const std::uint32_t pixelFlags = readU32(h + 76);
    const std::uint32_t code = readU32(h + 80);
    DdsPixelFormat& format = header.format;
    if (pixelFlags & kPixelFourCc) {
        if (code == fourCc("DX10")) {
            if (size < kHeaderSize + kDx10HeaderSize) return englishText("truncated");
            const std::uint8_t* x = data + kHeaderSize;
            format.dx10 = true;
            format.dxgiFormat = readU32(x);
            header.dataOffset += kDx10HeaderSize;
            if (readU32(x + 4) != 3 || readU32(x + 12) > 1) return englishText("not a single 2D texture");
            const DxgiFormat* known = dxgiFormat(format.dxgiFormat);
            if (!known) return "DXGI " + std::to_string(format.dxgiFormat);
            format.encoding = known->encoding;
            return {};
        }
        for (const DdsFormatFacts& facts : kDdsFormats) {
            if (!facts.fourCc.empty() && code == fourCc(facts.fourCc)) {
                format.encoding = facts.encoding;
                return {};
            }
        }
        return "FourCC " + fourCcText(code);
    }
    if (pixelFlags & kPixelRgb) {
        const std::uint32_t bitCount = readU32(h + 84);
        format.encoding = DdsEncoding::Rgba32;
        format.redMask = readU32(h + 88);
        format.greenMask = readU32(h + 92);
        format.blueMask = readU32(h + 96);
        format.alphaMask = (pixelFlags & kPixelAlpha) ? readU32(h + 100) : 0;
        if (bitCount != 32 || !ddsWritable(format)) {
            return std::to_string(bitCount) + "-bit RGB with masks " + hexText(format.redMask) + " " +
                   hexText(format.greenMask) + " " + hexText(format.blueMask) + " " +
                   hexText(format.alphaMask);
        }
        return {};
    }
    return "pixel format " + hexText(pixelFlags);
}

}  // namespace

const DdsFormatFacts& ddsFormatFacts(DdsEncoding encoding) {
    for (const DdsFormatFacts& facts : kDdsFormats) {
        if (facts.encoding == encoding) return facts;
    }
    return kDdsFormats[0];  // unreachable: every encoding has its row
}

bool ddsWritable(const DdsPixelFormat& format) {
    if (ddsFormatFacts(format.encoding).rebuiltAs != format.encoding) return false;
    if (format.encoding != DdsEncoding::Rgba32) return true;
    if (format.dx10) {
        const DxgiFormat* known = dxgiFormat(format.dxgiFormat);
        return known && known->encoding == DdsEncoding::Rgba32;
    }
    return byteShiftOf(format.redMask) && byteShiftOf(format.greenMask) && byteShiftOf(format.blueMask) &&
           (format.alphaMask == 0 || byteShiftOf(format.alphaMask));
}

DdsPixelFormat ddsRebuiltFormat(const DdsPixelFormat& original) {
    const DdsEncoding rebuilt = ddsFormatFacts(original.encoding).rebuiltAs;
    if (rebuilt == original.encoding) return original;
    DdsPixelFormat format;
    format.encoding = rebuilt;
    return format;
}

DdsChannelShifts ddsChannelShifts(const DdsPixelFormat& format) {
    if (format.dx10) {
        const DxgiFormat* known = dxgiFormat(format.dxgiFormat);
        return known && known->bgra ? DdsChannelShifts{{16, 8, 0, 24}} : DdsChannelShifts{{0, 8, 16, 24}};
    }
    return {{byteShiftOf(format.redMask).value_or(0), byteShiftOf(format.greenMask).value_or(8),
             byteShiftOf(format.blueMask).value_or(16),
             format.alphaMask ? byteShiftOf(format.alphaMask).value_or(24) : -1}};
}

std::uint64_t ddsLevelBytes(DdsEncoding encoding, std::int64_t width, std::int64_t height) {
    const std::uint32_t blockBytes = ddsFormatFacts(encoding).blockBytes;
    if (blockBytes == 0) return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 4;
    const auto blocksWide = static_cast<std::uint64_t>((width + 3) / 4);
    const auto blocksHigh = static_cast<std::uint64_t>((height + 3) / 4);
    return blocksWide * blocksHigh * blockBytes;
}

int fullMipChainLength(std::int64_t width, std::int64_t height) {
    int levels = 1;
    for (std::int64_t side = std::max(width, height); side > 1; side /= 2) ++levels;
    return levels;
}

DdsHeaderReading readDdsHeader(const std::uint8_t* data, std::size_t size) {
    return readDdsHeader(data, size, size);
}

DdsHeaderReading readDdsHeader(const std::uint8_t* data, std::size_t size, std::size_t totalSize) {
    DdsHeaderReading reading;
    if (size < 4 || std::memcmp(data, "DDS ", 4) != 0) {
        reading.fault = englishText("not a DDS file");
        return reading;
    }
    if (size < kHeaderSize || readU32(data + 4) != 124) {
        reading.fault = size < kHeaderSize ? englishText("truncated") : englishText("damaged header");
        return reading;
    }
    const std::uint8_t* h = data + 4;
    DdsHeader header;
    header.height = readU32(h + 8);
    header.width = readU32(h + 12);
    const std::uint32_t mipCount = readU32(h + 24);
    header.mipLevels = mipCount > 1 ? static_cast<int>(std::min<std::uint32_t>(mipCount, 32)) : 1;
    header.dataOffset = kHeaderSize;
    if (readU32(h + 108) & kCaps2CubeOrVolume) {
        reading.fault = englishText("cube map or volume texture");
        return reading;
    }
    reading.fault = readPixelFormat(data, size, header);
    if (!reading.fault.empty()) return reading;
    if (header.width <= 0 || header.height <= 0) {
        reading.fault = englishText("empty image");
        return reading;
    }
    if (header.width > kMaximumImageSide || header.height > kMaximumImageSide) {
        reading.fault = englishText("larger than {size} x {size}", {{"size", kMaximumImageSide}});
        return reading;
    }
    if (totalSize - header.dataOffset < ddsLevelBytes(header.format.encoding, header.width, header.height)) {
        reading.fault = englishText("truncated");
        return reading;
    }
    reading.header = header;
    return reading;
}

void appendDdsHeader(std::vector<std::uint8_t>& out, std::int64_t width, std::int64_t height,
                     const DdsPixelFormat& format, int levels) {
    const DdsFormatFacts& facts = ddsFormatFacts(format.encoding);
    const bool compressed = facts.blockBytes != 0;
    out.insert(out.end(), {'D', 'D', 'S', ' '});
    writeU32(out, 124);
    writeU32(out, kFlagCaps | kFlagHeight | kFlagWidth | kFlagPixelFormat |
                      (levels > 1 ? kFlagMipMapCount : 0) | (compressed ? kFlagLinearSize : kFlagPitch));
    writeU32(out, static_cast<std::uint32_t>(height));
    writeU32(out, static_cast<std::uint32_t>(width));
    writeU32(out, static_cast<std::uint32_t>(compressed ? ddsLevelBytes(format.encoding, width, height)
                                                        : static_cast<std::uint64_t>(width) * 4));
    writeU32(out, 0);  // depth
    writeU32(out, static_cast<std::uint32_t>(levels));
    for (int i = 0; i < 11; ++i) writeU32(out, 0);
    writeU32(out, 32);  // the pixel format's size
    if (compressed || format.dx10) {
        writeU32(out, kPixelFourCc);
        writeU32(out, fourCc(compressed ? facts.fourCc : "DX10"));
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
    if (!compressed && format.dx10) {
        writeU32(out, format.dxgiFormat);
        writeU32(out, 3);  // a 2D texture
        writeU32(out, 0);
        writeU32(out, 1);  // one image
        writeU32(out, 0);
    }
}
