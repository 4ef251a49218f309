#include "tests/support/png_samples.h"

#include <png.h>

#include <stdexcept>

namespace {

void appendToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

}  // namespace

std::vector<std::uint8_t> encodePngSample(const PngSample& sample) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("sample PNG could not be written");
    }
    png_set_write_fn(png, &out, appendToVector, flushNothing);
    png_set_IHDR(png, info, sample.width, sample.height, sample.bitDepth, sample.colourType,
                 sample.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!sample.palette.empty()) {
        std::vector<png_color> colours;
        for (std::size_t i = 0; i + 2 < sample.palette.size(); i += 3) {
            colours.push_back({sample.palette[i], sample.palette[i + 1], sample.palette[i + 2]});
        }
        png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
    }
    if (!sample.transparency.empty()) {
        png_set_tRNS(png, info, sample.transparency.data(), static_cast<int>(sample.transparency.size()),
                     nullptr);
    }
    png_write_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    std::vector<png_bytep> rows;
    for (std::uint32_t y = 0; y < sample.height; ++y) {
        rows.push_back(const_cast<png_bytep>(sample.samples.data() + y * rowBytes));
    }
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}
