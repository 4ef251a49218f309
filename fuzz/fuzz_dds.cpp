// DDS bytes of any content: decoding reads nothing past the end (the sanitizers watch the exact-size copy),
// and what decodes in an uncompressed format encodes and decodes again to the same pixels.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/dds_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> input(data, data + size);
    const DdsDecoding decoding = decodeDds(input.data(), input.size());
    if (!decoding.image) {
        if (decoding.fault.empty()) std::abort();  // every refusal names its fault
        return 0;
    }
    // Large sides take long to encode and say nothing new.
    if (decoding.header.format.encoding != DdsEncoding::Rgba32 || decoding.image->width() > 256 ||
        decoding.image->height() > 256) {
        return 0;
    }
    const std::optional<std::vector<std::uint8_t>> encoded =
        encodeDds(*decoding.image, decoding.header.format, 2);
    if (!encoded) std::abort();
    const DdsDecoding again = decodeDds(encoded->data(), encoded->size());
    if (!again.image || again.image->width() != decoding.image->width()) std::abort();
    for (std::int32_t y = 0; y < again.image->height(); ++y) {
        const std::uint8_t* before = decoding.image->row(y);
        const std::uint8_t* after = again.image->row(y);
        for (std::int32_t x = 0; x < again.image->width() * 4; ++x) {
            // Formats without alpha read back opaque.
            if (before[x] != after[x] &&
                !(x % 4 == 3 && decoding.header.format.alphaMask == 0 && !decoding.header.format.dx10)) {
                std::fprintf(stderr, "pixels changed on their way through the encoder\n");
                std::abort();
            }
        }
    }
    return 0;
}
