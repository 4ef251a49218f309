// PNG bytes of any content: what decodes must encode, and decode again to the same pixels.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_sandbox.h"
#include "image/png_codec.h"
#include "tests/support/test_files.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzSandbox();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    writeFileText("input.png", std::string(asText(data, size)));
    const std::optional<Image> image = loadImage("input.png");
    if (!image) return 0;
    if (!saveImagePng(*image, "output.png")) std::abort();
    const std::optional<Image> again = loadImage("output.png");
    if (!again || again->width() != image->width() || again->height() != image->height() ||
        again->depth() != image->depth()) {
        std::abort();
    }
    const std::size_t rowBytes = static_cast<std::size_t>(image->width()) * image->bytesPerPixel();
    for (std::int32_t y = 0; y < image->height(); ++y) {
        if (std::memcmp(image->row(y), again->row(y), rowBytes) != 0) {
            std::fprintf(stderr, "pixels changed on their way through the encoder\n");
            std::abort();
        }
    }
    checkNothingWrittenOutside();
    return 0;
}
