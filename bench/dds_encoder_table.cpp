// Compares BC3 (DXT5) encoders on one image: time and quality (PSNR over the pixels the image shows).
//   ravelin_dds_encoder_table IMAGE.png              the candidates from Debian (libsquish, stb_dxt) and
//                                                    the program's own encodeDds
//   ravelin_dds_encoder_table IMAGE.png OTHER.dds    only the quality of a file another encoder wrote
//   ravelin_dds_encoder_table --convert IN.png OUT.dds   PNG in, BC3 DDS out, as one process, to be timed
//                                                    against another program's whole process

#include <squish.h>
#include <stb_dxt.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "image/dds_codec.h"
#include "image/png_codec.h"

namespace {

double visiblePsnr(const Image& source, const Image& decoded) {
    double squares = 0;
    std::int64_t samples = 0;
    for (std::int32_t y = 0; y < source.height(); ++y) {
        for (std::int32_t x = 0; x < source.width(); ++x) {
            const std::uint8_t* a = source.row(y) + x * 4;
            const std::uint8_t* b = decoded.row(y) + x * 4;
            if (a[3] == 0) continue;
            for (int c = 0; c < 4; ++c) squares += (a[c] - b[c]) * (a[c] - b[c]);
            samples += 4;
        }
    }
    return squares == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * static_cast<double>(samples) / squares);
}

// Blocks of a whole image, as a DDS file for decoding.
std::vector<std::uint8_t> asDds(const Image& image, const std::vector<std::uint8_t>& blocks) {
    Image empty = *createImage(image.width(), image.height(), 32);
    std::vector<std::uint8_t> file = *encodeDds(empty, DdsPixelFormat{}, 1);
    file.resize(128);
    file.insert(file.end(), blocks.begin(), blocks.end());
    return file;
}

void row(const char* name, const Image& image, const std::function<std::vector<std::uint8_t>()>& encode) {
    const auto start = std::chrono::steady_clock::now();
    const std::vector<std::uint8_t> file = encode();
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count();
    const DdsDecoding decoded = decodeDds(file.data(), file.size());
    std::printf("| %-44s | %8lld | %6.2f |\n", name, static_cast<long long>(elapsed),
                decoded.image ? visiblePsnr(image, *decoded.image) : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--convert") == 0) {
        const std::optional<Image> image = loadImage(argv[2]);
        return image && image->depth() == 32 && saveImageDds(*image, DdsPixelFormat{}, 1, argv[3]) ? 0 : 1;
    }
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s IMAGE.png [OTHER.dds]\n", argv[0]);
        return 2;
    }
    const std::optional<Image> image = loadImage(argv[1]);
    if (!image || image->depth() != 32) return 1;
    if (argc == 3) {
        const DdsDecoding other = loadDds(argv[2]);
        if (!other.image) return 1;
        std::printf("%.2f\n", visiblePsnr(*image, *other.image));
        return 0;
    }
    const int width = image->width(), height = image->height();
    const auto squishWith = [&](int flags) {
        return [&, flags] {
            std::vector<std::uint8_t> blocks(static_cast<std::size_t>((width + 3) / 4) * ((height + 3) / 4) *
                                             16);
            squish::CompressImage(image->row(0), width, height, static_cast<int>(image->stride()),
                                  blocks.data(), squish::kDxt5 | flags);
            return asDds(*image, blocks);
        };
    };
    const auto stbWith = [&](int mode) {
        return [&, mode] {
            std::vector<std::uint8_t> blocks;
            std::uint8_t pixels[64], block[16];
            for (int by = 0; by < (height + 3) / 4; ++by) {
                for (int bx = 0; bx < (width + 3) / 4; ++bx) {
                    for (int y = 0; y < 4; ++y)
                        for (int x = 0; x < 4; ++x)
                            std::memcpy(pixels + y * 16 + x * 4,
                                        image->row(std::min(by * 4 + y, height - 1)) +
                                            std::min(bx * 4 + x, width - 1) * 4,
                                        4);
                    stb_compress_dxt_block(block, pixels, 1, mode);
                    blocks.insert(blocks.end(), block, block + 16);
                }
            }
            return asDds(*image, blocks);
        };
    };
    std::printf("%d x %d\n| %-44s | %8s | %6s |\n|---|---:|---:|\n", width, height, "BC3 encoder", "ms",
                "PSNR");
    row("libsquish range fit", *image, squishWith(squish::kColourRangeFit));
    row("libsquish range fit, weighted by alpha", *image,
        squishWith(squish::kColourRangeFit | squish::kWeightColourByAlpha));
    row("libsquish cluster fit", *image, squishWith(squish::kColourClusterFit));
    row("libsquish cluster fit, weighted by alpha", *image,
        squishWith(squish::kColourClusterFit | squish::kWeightColourByAlpha));
    row("stb_dxt", *image, stbWith(STB_DXT_NORMAL));
    row("stb_dxt high quality", *image, stbWith(STB_DXT_HIGHQUAL));
    row("Ravelin (stb_dxt on every core)", *image, [&] { return *encodeDds(*image, DdsPixelFormat{}, 1); });
    // The whole job, as ImageMagick's convert does it: read the PNG, encode, write the file.
    const auto start = std::chrono::steady_clock::now();
    const bool saved = saveImageDds(*loadImage(argv[1]), DdsPixelFormat{}, 1, std::string(argv[1]) + ".dds");
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count();
    std::printf("| %-44s | %8lld | %6s |\n",
                saved ? "Ravelin, PNG in and DDS out (whole job)" : "(not saved)",
                static_cast<long long>(elapsed), "");
    return 0;
}
