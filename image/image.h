#pragma once

// Raster images: 8-bit RGBA (depth 32, straight alpha) or RGB (depth 24), rows top to bottom.
// Every operation that allocates reports failure by its result, also when memory runs out.

#include <cstdint>
#include <memory>
#include <optional>

class Image {
public:
    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    int depth() const { return depth_; }
    int bytesPerPixel() const { return depth_ / 8; }
    // Rows are padded to a multiple of 4 bytes.
    std::size_t stride() const { return stride_; }
    std::uint8_t* row(std::int32_t y) { return pixels_.get() + static_cast<std::size_t>(y) * stride_; }
    const std::uint8_t* row(std::int32_t y) const {
        return pixels_.get() + static_cast<std::size_t>(y) * stride_;
    }

    // A zero-filled image (or one left unfilled, for a caller that writes every pixel), or none when the size
    // is not positive, too large or cannot be allocated.
    static std::optional<Image> allocate(std::int64_t width, std::int64_t height, int depth,
                                         bool zeroed = true);

private:
    Image(std::int32_t width, std::int32_t height, int depth, std::size_t stride,
          std::unique_ptr<std::uint8_t[]> pixels)
        : width_(width), height_(height), depth_(depth), stride_(stride), pixels_(std::move(pixels)) {}

    std::int32_t width_;
    std::int32_t height_;
    int depth_;
    std::size_t stride_;
    std::unique_ptr<std::uint8_t[]> pixels_;
};

// Images beyond these are refused: a small file could otherwise demand any amount of memory.
inline constexpr std::int64_t kMaximumImageSide = 16384;
inline constexpr std::int64_t kMaximumImageBytes = std::int64_t{1} << 30;

// A new image, transparent black; none when the size is not positive, too large or cannot be allocated.
std::optional<Image> createImage(std::int64_t width, std::int64_t height, int depth);

// The rectangle at x, y of the source, copied exactly; parts outside the source are transparent black.
std::optional<Image> grabImage(const Image& source, std::int64_t x, std::int64_t y, std::int64_t width,
                               std::int64_t height);

// Draws the source with alpha blending (straight alpha, integer arithmetic) with its top-left pixel at
// x, y of the target (negative allowed); what falls outside the target is clipped.
void drawImageBlended(Image& target, const Image& source, std::int64_t x, std::int64_t y);
