#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/image.h"

namespace {

struct Tap {
    int index;
    float weight;
};

// Triangle-filter weights for every output sample of one axis; the support widens when shrinking.
std::vector<std::vector<Tap>> axisTaps(int sourceSize, int targetSize) {
    const double scale = static_cast<double>(targetSize) / sourceSize;
    const double support = scale < 1.0 ? 1.0 / scale : 1.0;
    std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(targetSize));
    for (int out = 0; out < targetSize; ++out) {
        const double centre = (out + 0.5) / scale - 0.5;
        const int first = std::max(0, static_cast<int>(std::floor(centre - support)));
        const int last = std::min(sourceSize - 1, static_cast<int>(std::ceil(centre + support)));
        double sum = 0.0;
        auto& list = taps[static_cast<std::size_t>(out)];
        for (int in = first; in <= last; ++in) {
            const double weight = 1.0 - std::abs(in - centre) / support;
            if (weight <= 0.0) continue;
            list.push_back({in, static_cast<float>(weight)});
            sum += weight;
        }
        if (list.empty()) {
            list.push_back({std::clamp(static_cast<int>(std::lround(centre)), 0, sourceSize - 1), 1.0f});
            sum = 1.0;
        }
        for (Tap& tap : list) tap.weight = static_cast<float>(tap.weight / sum);
    }
    return taps;
}

// Premultiplied float planes, so transparent pixels lend no colour to their neighbours.
struct Plane {
    int width;
    int height;
    int channels;
    std::vector<float> values;
    float* at(int x, int y) { return values.data() + (static_cast<std::size_t>(y) * width + x) * channels; }
};

Plane resampleRows(Plane& in, int width) {
    Plane out{width, in.height, in.channels,
              std::vector<float>(static_cast<std::size_t>(width) * in.height * in.channels)};
    const auto taps = axisTaps(in.width, width);
    for (int y = 0; y < in.height; ++y) {
        for (int x = 0; x < width; ++x) {
            float* target = out.at(x, y);
            for (const Tap& tap : taps[static_cast<std::size_t>(x)]) {
                const float* source = in.at(tap.index, y);
                for (int c = 0; c < in.channels; ++c) target[c] += source[c] * tap.weight;
            }
        }
    }
    return out;
}

Plane resampleColumns(Plane& in, int height) {
    Plane out{in.width, height, in.channels,
              std::vector<float>(static_cast<std::size_t>(in.width) * height * in.channels)};
    const auto taps = axisTaps(in.height, height);
    for (int y = 0; y < height; ++y) {
        for (const Tap& tap : taps[static_cast<std::size_t>(y)]) {
            for (int x = 0; x < in.width; ++x) {
                float* target = out.at(x, y);
                const float* source = in.at(x, tap.index);
                for (int c = 0; c < in.channels; ++c) target[c] += source[c] * tap.weight;
            }
        }
    }
    return out;
}

std::uint8_t toByte(float value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

}  // namespace

std::optional<Image> resampleImage(const Image& source, std::int32_t width, std::int32_t height) {
    std::optional<Image> result = Image::allocate(width, height, source.depth());
    if (!result) return std::nullopt;
    try {
        const int channels = source.bytesPerPixel();
        const bool hasAlpha = channels == 4;
        Plane plane{
            source.width(), source.height(), channels,
            std::vector<float>(static_cast<std::size_t>(source.width()) * source.height() * channels)};
        for (int y = 0; y < source.height(); ++y) {
            const std::uint8_t* pixel = source.row(y);
            for (int x = 0; x < source.width(); ++x, pixel += channels) {
                float* value = plane.at(x, y);
                const float alpha = hasAlpha ? pixel[3] / 255.0f : 1.0f;
                for (int c = 0; c < 3; ++c) value[c] = pixel[c] * alpha;
                if (hasAlpha) value[3] = pixel[3];
            }
        }
        // The pass that makes the smaller intermediate image goes first.
        const bool rowsFirst = static_cast<std::int64_t>(width) * source.height() <=
                               static_cast<std::int64_t>(source.width()) * height;
        Plane resized = rowsFirst ? resampleRows(plane, width) : resampleColumns(plane, height);
        resized = rowsFirst ? resampleColumns(resized, height) : resampleRows(resized, width);
        for (int y = 0; y < height; ++y) {
            std::uint8_t* pixel = result->row(y);
            for (int x = 0; x < width; ++x, pixel += channels) {
                const float* value = resized.at(x, y);
                const float alpha = hasAlpha ? value[3] / 255.0f : 1.0f;
                for (int c = 0; c < 3; ++c) pixel[c] = alpha > 0.0f ? toByte(value[c] / alpha) : 0;
                if (hasAlpha) pixel[3] = toByte(value[3]);
            }
        }
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return result;
}
