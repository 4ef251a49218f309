#include "mods/icon_likeness.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using Pixel = std::array<int, 4>;

Pixel pixelAt(const Image& image, std::int32_t x, std::int32_t y) {
    const std::uint8_t* p = image.row(y) + static_cast<std::size_t>(x) * image.bytesPerPixel();
    return {p[0], p[1], p[2], image.depth() == 32 ? p[3] : 255};
}

// The mean difference of the colours as they show (weighted by their alpha) and of the alpha, over what
// shows: a thin icon's change is not thinned out by its transparent pixels.
bool meanColourMatches(const PackIconPlace& pack, const Image& game) {
    std::array<std::int64_t, 4> sums{};
    std::int64_t shown = 0;
    for (std::int32_t y = 0; y < game.height(); ++y) {
        for (std::int32_t x = 0; x < game.width(); ++x) {
            const Pixel p = pixelAt(*pack.image, pack.x + x, pack.y + y);
            const Pixel g = pixelAt(game, x, y);
            for (int c = 0; c < 3; ++c) sums[c] += p[c] * p[3] - g[c] * g[3];
            sums[3] += (p[3] - g[3]) * 255;
            shown += std::max(p[3], g[3]);
        }
    }
    const double scale = std::max(1.0, static_cast<double>(shown));
    return std::all_of(sums.begin(), sums.end(), [&](std::int64_t sum) {
        return std::abs(static_cast<double>(sum)) / scale <= kMeanColourTolerance;
    });
}

// Every pixel of the pack's icon within the range of the colours its 4 x 4 block held: the game icon's
// pixels in the block and one pixel around it, and the pack's own pixels of the block outside the icon
// (its neighbours in the pack's atlas, which the compression saw too). Colours count by how much they show.
bool blockRangesMatch(const PackIconPlace& pack, const Image& game) {
    const Image& image = *pack.image;
    const std::int32_t right = pack.x + pack.width, bottom = pack.y + pack.height;
    for (std::int32_t blockY = pack.y / 4 * 4; blockY < bottom; blockY += 4) {
        for (std::int32_t blockX = pack.x / 4 * 4; blockX < right; blockX += 4) {
            Pixel low{255, 255, 255, 255}, high{0, 0, 0, 0};
            const auto widen = [&](const Pixel& p) {
                for (int c = 0; c < 4; ++c) {
                    low[c] = std::min(low[c], p[c]);
                    high[c] = std::max(high[c], p[c]);
                }
            };
            for (std::int32_t y = blockY - 1; y < blockY + 5; ++y) {
                for (std::int32_t x = blockX - 1; x < blockX + 5; ++x) {
                    const bool inIcon = x >= pack.x && x < right && y >= pack.y && y < bottom;
                    const bool inBlock = x >= blockX && x < blockX + 4 && y >= blockY && y < blockY + 4;
                    if (inIcon)
                        widen(pixelAt(game, x - pack.x, y - pack.y));
                    else if (inBlock && x < image.width() && y < image.height())
                        widen(pixelAt(image, x, y));
                }
            }
            for (std::int32_t y = std::max(blockY, pack.y); y < std::min(blockY + 4, bottom); ++y) {
                for (std::int32_t x = std::max(blockX, pack.x); x < std::min(blockX + 4, right); ++x) {
                    const Pixel p = pixelAt(image, x, y);
                    const int shown = std::max(p[3], pixelAt(game, x - pack.x, y - pack.y)[3]);
                    for (int c = 0; c < 4; ++c) {
                        const int outside = std::max({0, low[c] - p[c], p[c] - high[c]});
                        if ((c == 3 ? outside * 255 : outside * shown) > kBlockRangeTolerance * 255)
                            return false;
                    }
                }
            }
        }
    }
    return true;
}

}  // namespace

bool looksLikeGameIcon(const PackIconPlace& packIcon, const Image& gameIcon) {
    if (!packIcon.image || packIcon.width != gameIcon.width() || packIcon.height != gameIcon.height() ||
        packIcon.x < 0 || packIcon.y < 0 || packIcon.x + packIcon.width > packIcon.image->width() ||
        packIcon.y + packIcon.height > packIcon.image->height())
        return false;
    return meanColourMatches(packIcon, gameIcon) && blockRangesMatch(packIcon, gameIcon);
}
