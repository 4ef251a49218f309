#pragma once

// Raster images: 8-bit RGBA (depth 32, straight alpha) or RGB (depth 24), rows top to bottom.
// Every operation that allocates reports failure by its result, also when memory runs out.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

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

// A new image; transparent black without a fill colour, else the colour with alpha 255.
std::optional<Image> createImage(std::int64_t width, std::int64_t height, int depth,
                                 std::optional<Rgb> fill = std::nullopt);

// The rectangle at x, y of the source, copied exactly; parts outside the source are transparent black.
std::optional<Image> grabImage(const Image& source, std::int64_t x, std::int64_t y, std::int64_t width,
                               std::int64_t height);

enum class DrawingMode { Copy = 0, AlphaBlend = 16 };

// Drawing onto one target image. Opened by beginDrawing, closed by endDrawing or when it goes away.
class DrawingContext {
public:
    explicit DrawingContext(Image& target) : target_(&target) {}

    void setDrawingMode(DrawingMode mode) { mode_ = mode; }
    // Places the source's top-left pixel at x, y (negative allowed); what falls outside is clipped.
    void drawImage(const Image& source, std::int64_t x, std::int64_t y);
    void endDrawing() { target_ = nullptr; }

private:
    Image* target_;
    DrawingMode mode_ = DrawingMode::Copy;
};

inline std::optional<DrawingContext> beginDrawing(Image& target) {
    return DrawingContext(target);
}

// PNG decoding: palettes and grey expanded to RGB, tRNS turned into alpha, samples scaled to 8 bits,
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

// PNG encoding with fixed settings: bit depth 8, RGBA (RGB for depth 24), no interlace, filter none on
// every row, zlib level 9, no chunks besides IHDR, IDAT and IEND. The file is replaced only when the
// whole image was written.
bool saveImagePng(const Image& image, const std::string& path);
std::optional<std::vector<std::uint8_t>> encodePng(const Image& image);
