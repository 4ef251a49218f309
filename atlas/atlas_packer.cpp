#include "atlas/atlas_packer.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

constexpr std::int32_t kGap = 1;
constexpr std::int32_t kSideStep = 4;

struct Rect {
    std::int32_t x, y, width, height;
    bool contains(const Rect& other) const {
        return other.x >= x && other.y >= y && other.x + other.width <= x + width &&
               other.y + other.height <= y + height;
    }
    bool overlaps(const Rect& other) const {
        return other.x < x + width && other.x + other.width > x && other.y < y + height &&
               other.y + other.height > y;
    }
};

// One MaxRects bin; icons come in already enlarged by the gap.
class MaxRectsBin {
public:
    MaxRectsBin(std::int32_t width, std::int32_t height) : free_{{0, 0, width, height}} {}

    std::optional<AtlasSpot> insert(std::int32_t width, std::int32_t height) {
        const Rect* best = nullptr;
        std::int32_t bestShort = 0, bestLong = 0;
        for (const Rect& space : free_) {
            if (space.width < width || space.height < height) continue;
            const std::int32_t leftoverX = space.width - width, leftoverY = space.height - height;
            const std::int32_t shortSide = std::min(leftoverX, leftoverY),
                               longSide = std::max(leftoverX, leftoverY);
            if (!best || shortSide < bestShort || (shortSide == bestShort && longSide < bestLong)) {
                best = &space;
                bestShort = shortSide;
                bestLong = longSide;
            }
        }
        if (!best) return std::nullopt;
        const Rect placed{best->x, best->y, width, height};
        split(placed);
        return AtlasSpot{placed.x, placed.y};
    }

private:
    void split(const Rect& placed) {
        std::vector<Rect> created;
        for (std::size_t i = 0; i < free_.size();) {
            const Rect space = free_[i];
            if (!space.overlaps(placed)) {
                ++i;
                continue;
            }
            free_[i] = free_.back();
            free_.pop_back();
            if (placed.x > space.x) created.push_back({space.x, space.y, placed.x - space.x, space.height});
            if (placed.x + placed.width < space.x + space.width)
                created.push_back({placed.x + placed.width, space.y,
                                   space.x + space.width - placed.x - placed.width, space.height});
            if (placed.y > space.y) created.push_back({space.x, space.y, space.width, placed.y - space.y});
            if (placed.y + placed.height < space.y + space.height)
                created.push_back({space.x, placed.y + placed.height, space.width,
                                   space.y + space.height - placed.y - placed.height});
        }
        // Only the new spaces can be inside another space, or hold an old one.
        for (std::size_t i = 0; i < created.size(); ++i) {
            bool redundant = false;
            for (std::size_t j = 0; j < created.size() && !redundant; ++j) {
                if (i != j && created[j].contains(created[i]) && (!created[i].contains(created[j]) || j < i))
                    redundant = true;
            }
            for (std::size_t j = 0; j < free_.size() && !redundant; ++j)
                redundant = free_[j].contains(created[i]);
            if (redundant) continue;
            free_.erase(std::remove_if(free_.begin(), free_.end(),
                                       [&](const Rect& old) { return created[i].contains(old); }),
                        free_.end());
            free_.push_back(created[i]);
        }
    }

    std::vector<Rect> free_;
};

std::int32_t roundUpToStep(std::int64_t value) {
    return static_cast<std::int32_t>((value + kSideStep - 1) / kSideStep * kSideStep);
}

// Places every icon (in the given order) on a canvas of that size; none when one does not fit.
std::optional<std::vector<AtlasSpot>> packInto(const std::vector<IconSize>& sizes,
                                               const std::vector<std::size_t>& order, std::int32_t width,
                                               std::int32_t height) {
    // The gap goes right of and below every icon; the canvas's own edge needs none.
    MaxRectsBin bin(width + kGap, height + kGap);
    std::vector<AtlasSpot> spots(sizes.size());
    for (const std::size_t index : order) {
        const IconSize& size = sizes[index];
        if (size.width <= 0 || size.height <= 0) continue;
        const std::optional<AtlasSpot> spot = bin.insert(size.width + kGap, size.height + kGap);
        if (!spot) return std::nullopt;
        spots[index] = *spot;
    }
    return spots;
}

}  // namespace

std::optional<PackedAtlas> packAtlas(const std::vector<IconSize>& sizes) {
    std::vector<std::size_t> order(sizes.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (sizes[a].height != sizes[b].height) return sizes[a].height > sizes[b].height;
        return sizes[a].width > sizes[b].width;
    });
    std::int64_t area = 0;
    std::int32_t widest = kSideStep, tallest = kSideStep;
    for (const IconSize& size : sizes) {
        if (size.width <= 0 || size.height <= 0) continue;
        area += static_cast<std::int64_t>(size.width + kGap) * (size.height + kGap);
        widest = std::max(widest, size.width);
        tallest = std::max(tallest, size.height);
    }
    if (widest > kMaximumPackedSide || tallest > kMaximumPackedSide) return std::nullopt;

    // Widths from the squarest canvas the area allows to a third wider; for each the lowest height that
    // holds every icon. The smallest area wins, then the squarer canvas.
    const auto square =
        static_cast<std::int64_t>(std::ceil(std::sqrt(static_cast<double>(std::max<std::int64_t>(area, 1)))));
    std::optional<PackedAtlas> best;
    for (int step = 0; step <= 8; ++step) {
        const std::int32_t width = std::min(
            kMaximumPackedSide, roundUpToStep(std::max<std::int64_t>(widest, square + square * step / 24)));
        std::int32_t low = roundUpToStep(std::max<std::int64_t>(tallest, area / width));
        std::int32_t high = kMaximumPackedSide;
        if (best)
            high =
                std::min(high, roundUpToStep(static_cast<std::int64_t>(best->width) * best->height / width));
        std::optional<std::vector<AtlasSpot>> found;
        std::int32_t foundHeight = 0;
        while (low <= high) {
            const std::int32_t middle =
                roundUpToStep((static_cast<std::int64_t>(low) + high) / 2 - kSideStep + 1);
            std::optional<std::vector<AtlasSpot>> spots =
                packInto(sizes, order, width, std::max(middle, low));
            if (spots) {
                found = std::move(spots);
                foundHeight = std::max(middle, low);
                high = foundHeight - kSideStep;
            } else {
                low = std::max(middle, low) + kSideStep;
            }
        }
        if (!found) continue;
        const std::int64_t foundArea = static_cast<std::int64_t>(width) * foundHeight;
        const std::int64_t bestArea = best ? static_cast<std::int64_t>(best->width) * best->height : 0;
        if (!best || foundArea < bestArea) best = PackedAtlas{width, foundHeight, std::move(*found)};
        if (width == kMaximumPackedSide) break;
    }
    return best;
}
