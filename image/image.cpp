#include "image/image.h"

#include <algorithm>
#include <cstring>
#include <new>

std::optional<Image> Image::allocate(std::int64_t width, std::int64_t height, int depth, bool zeroed) {
    if (width <= 0 || height <= 0 || (depth != 32 && depth != 24)) return std::nullopt;
    if (width > kMaximumImageSide || height > kMaximumImageSide) return std::nullopt;
    const std::int64_t stride = (width * (depth / 8) + 3) / 4 * 4;
    if (stride * height > kMaximumImageBytes) return std::nullopt;
    const auto bytes = static_cast<std::size_t>(stride * height);
    std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow) std::uint8_t[bytes]);
    if (!pixels) return std::nullopt;
    if (zeroed) std::memset(pixels.get(), 0, bytes);
    return Image(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), depth,
                 static_cast<std::size_t>(stride), std::move(pixels));
}

std::optional<Image> createImage(std::int64_t width, std::int64_t height, int depth) {
    return Image::allocate(width, height, depth);
}

std::optional<Image> grabImage(const Image& source, std::int64_t x, std::int64_t y, std::int64_t width,
                               std::int64_t height) {
    std::optional<Image> result = Image::allocate(width, height, source.depth());
    if (!result) return std::nullopt;
    // The part of the rectangle that lies inside the source; the rest stays zero.
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(x + width, source.width());
    const std::int64_t bottom = std::min<std::int64_t>(y + height, source.height());
    if (left >= right || top >= bottom) return result;
    const int channels = source.bytesPerPixel();
    const auto bytes = static_cast<std::size_t>((right - left) * channels);
    for (std::int64_t row = top; row < bottom; ++row) {
        std::memcpy(result->row(static_cast<std::int32_t>(row - y)) + (left - x) * channels,
                    source.row(static_cast<std::int32_t>(row)) + left * channels, bytes);
    }
    return result;
}

namespace {

// One covered pixel, straight alpha, integer arithmetic with truncating division.
inline void blendPixel(const std::uint8_t* source, int sourceAlpha, std::uint8_t* target,
                       bool targetHasAlpha) {
    if (sourceAlpha == 0) return;
    const int targetAlpha = targetHasAlpha ? target[3] : 255;
    if (targetAlpha == 0 || sourceAlpha == 255) {
        target[0] = source[0];
        target[1] = source[1];
        target[2] = source[2];
        if (targetHasAlpha) target[3] = static_cast<std::uint8_t>(sourceAlpha);
        return;
    }
    const int sourceWeight = sourceAlpha * 255;
    const int targetWeight = targetAlpha * (255 - sourceAlpha);
    const int total = sourceWeight + targetWeight;
    for (int c = 0; c < 3; ++c) {
        target[c] = static_cast<std::uint8_t>((source[c] * sourceWeight + target[c] * targetWeight) / total);
    }
    if (targetHasAlpha) target[3] = static_cast<std::uint8_t>(total / 255);
}

}  // namespace

void drawImageBlended(Image& target, const Image& source, std::int64_t x, std::int64_t y) {
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(x + source.width(), target.width());
    const std::int64_t bottom = std::min<std::int64_t>(y + source.height(), target.height());
    if (left >= right || top >= bottom) return;
    const int sourceChannels = source.bytesPerPixel();
    const int targetChannels = target.bytesPerPixel();
    const bool targetHasAlpha = targetChannels == 4;
    for (std::int64_t row = top; row < bottom; ++row) {
        const std::uint8_t* from =
            source.row(static_cast<std::int32_t>(row - y)) + (left - x) * sourceChannels;
        std::uint8_t* to = target.row(static_cast<std::int32_t>(row)) + left * targetChannels;
        for (std::int64_t column = left; column < right; ++column) {
            const int alpha = sourceChannels == 4 ? from[3] : 255;
            blendPixel(from, alpha, to, targetHasAlpha);
            from += sourceChannels;
            to += targetChannels;
        }
    }
}
