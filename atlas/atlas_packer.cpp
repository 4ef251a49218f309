#include "atlas/atlas_packer.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <system_error>
#include <thread>

#include "atlas/max_rects_bin.h"

namespace {

constexpr std::int32_t kGap = 1;
constexpr std::int32_t kSideStep = 4;

constexpr int kWidthSteps = 29;  // widths from 0.5 to 1.9 times the side of a square
constexpr std::size_t kWidthsForOtherRules = 2;
constexpr MaxRectsRule kOtherRules[] = {MaxRectsRule::ContactPoint, MaxRectsRule::BestShortSideFit,
                                        MaxRectsRule::BestLongSideFit, MaxRectsRule::BestAreaFit};

std::int32_t roundUpToStep(std::int64_t value) {
    return static_cast<std::int32_t>((value + kSideStep - 1) / kSideStep * kSideStep);
}
std::int32_t roundDownToStep(std::int64_t value) {
    return static_cast<std::int32_t>(value / kSideStep * kSideStep);
}

struct Icons {
    const std::vector<IconSize>& sizes;
    std::vector<std::size_t> order;  // tallest first, then widest; icons of no area left out
    std::int64_t paddedArea = 0;     // with the gap right of and below each icon
    std::int32_t widest = kSideStep;
    std::int32_t tallest = kSideStep;
};

// Places every icon on a canvas of that size; none when one does not fit.
std::optional<std::vector<AtlasSpot>> packInto(const Icons& icons, std::int32_t width, std::int32_t height,
                                               MaxRectsRule rule) {
    // The gap goes right of and below every icon; the canvas's own edge needs none.
    MaxRectsBin bin(width + kGap, height + kGap, rule);
    std::vector<AtlasSpot> spots(icons.sizes.size());
    for (const std::size_t index : icons.order) {
        const IconSize& size = icons.sizes[index];
        const std::optional<AtlasSpot> spot = bin.insert(size.width + kGap, size.height + kGap);
        if (!spot) return std::nullopt;
        spots[index] = *spot;
    }
    return spots;
}

std::int64_t areaOf(const PackedAtlas& atlas) {
    return std::int64_t{atlas.width} * atlas.height;
}

constexpr std::int64_t kNoArea = std::int64_t{kMaximumPackedSide} * kMaximumPackedSide + 1;

// Bottom-left on a canvas of one width: placing each icon as high as it goes does not depend on how
// tall the canvas is, so one pass on the tallest canvas gives the lowest height at once.
std::optional<PackedAtlas> packBottomLeft(const Icons& icons, std::int32_t width) {
    std::optional<std::vector<AtlasSpot>> spots =
        packInto(icons, width, kMaximumPackedSide, MaxRectsRule::BottomLeft);
    if (!spots) return std::nullopt;
    std::int32_t bottom = kSideStep;
    for (const std::size_t index : icons.order)
        bottom = std::max(bottom, (*spots)[index].y + icons.sizes[index].height);
    return PackedAtlas{width, roundUpToStep(bottom), std::move(*spots)};
}

struct Candidate {
    std::int32_t width;
    MaxRectsRule rule;
};

// The lowest canvas of the candidate's width that its rule fills, searched only below the area to beat:
// the highest such canvas first, so that a rule which cannot fill it costs one pass.
std::optional<PackedAtlas> searchHeight(const Icons& icons, const Candidate& candidate,
                                        std::int64_t areaToBeat) {
    const std::int32_t width = candidate.width;
    std::int32_t low =
        roundUpToStep(std::max<std::int64_t>(icons.tallest, icons.paddedArea / (width + kGap) - kGap));
    std::int32_t high = std::min(kMaximumPackedSide, roundDownToStep((areaToBeat - 1) / width));
    std::optional<PackedAtlas> found;
    while (low <= high) {
        const std::int32_t height =
            found ? std::max(low, roundDownToStep((std::int64_t{low} + high) / 2)) : high;
        if (std::optional<std::vector<AtlasSpot>> spots = packInto(icons, width, height, candidate.rule)) {
            found = PackedAtlas{width, height, std::move(*spots)};
            high = height - kSideStep;
        } else if (!found) {
            return std::nullopt;
        } else {
            low = height + kSideStep;
        }
    }
    return found;
}

// Runs work(i) for i in [0, count) on two threads taking turns (one when no thread can be had); each
// returns its result in its own slot, so nothing depends on which thread finishes first.
template <typename Work>
void onBothCores(std::size_t count, Work work) {
    const auto share = [&](std::size_t first) {
        for (std::size_t i = first; i < count; i += 2) work(i);
    };
    std::thread helper;
    try {
        helper = std::thread(share, 1);
    } catch (const std::system_error&) {
        share(1);
    }
    share(0);
    if (helper.joinable()) helper.join();
}

void keepSmaller(std::optional<PackedAtlas>& best, std::optional<PackedAtlas>& found) {
    if (found && (!best || areaOf(*found) < areaOf(*best))) best = std::move(found);
}

}  // namespace

std::optional<PackedAtlas> packAtlas(const std::vector<IconSize>& sizes) {
    Icons icons{sizes, {}, 0, kSideStep, kSideStep};
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const IconSize& size = sizes[i];
        if (size.width <= 0 || size.height <= 0) continue;
        icons.order.push_back(i);
        icons.paddedArea += std::int64_t{size.width + kGap} * (size.height + kGap);
        icons.widest = std::max(icons.widest, size.width);
        icons.tallest = std::max(icons.tallest, size.height);
    }
    if (icons.widest > kMaximumPackedSide || icons.tallest > kMaximumPackedSide) return std::nullopt;
    std::stable_sort(icons.order.begin(), icons.order.end(), [&](std::size_t a, std::size_t b) {
        if (sizes[a].height != sizes[b].height) return sizes[a].height > sizes[b].height;
        return sizes[a].width > sizes[b].width;
    });

    // Bottom-left at widths around the squarest canvas the area allows, one pass each.
    const double square = std::sqrt(static_cast<double>(std::max<std::int64_t>(icons.paddedArea, 1)));
    std::vector<std::int32_t> widths;
    for (int step = 0; step < kWidthSteps; ++step) {
        const std::int32_t width = std::min(
            kMaximumPackedSide, roundUpToStep(std::max<std::int64_t>(
                                    icons.widest, static_cast<std::int64_t>(square * (0.5 + 0.05 * step)))));
        if (widths.empty() || width != widths.back()) widths.push_back(width);
    }
    std::vector<std::optional<PackedAtlas>> bottomLeft(widths.size());
    onBothCores(widths.size(), [&](std::size_t i) { bottomLeft[i] = packBottomLeft(icons, widths[i]); });

    // The other rules at the widths where bottom-left did best, each searched only below the smallest
    // canvas so far. The two threads keep a bound each, so the result does not depend on timing.
    std::vector<std::size_t> ranked;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        if (bottomLeft[i]) ranked.push_back(i);
    }
    std::stable_sort(ranked.begin(), ranked.end(), [&](std::size_t a, std::size_t b) {
        return areaOf(*bottomLeft[a]) < areaOf(*bottomLeft[b]);
    });
    std::optional<PackedAtlas> best;
    for (std::optional<PackedAtlas>& found : bottomLeft) keepSmaller(best, found);
    std::vector<Candidate> candidates;
    for (std::size_t i = 0; i < std::min(ranked.size(), kWidthsForOtherRules); ++i) {
        for (const MaxRectsRule rule : kOtherRules) candidates.push_back({widths[ranked[i]], rule});
    }
    const std::int64_t bound = best ? areaOf(*best) : kNoArea;
    std::optional<PackedAtlas> shares[2];
    onBothCores(2, [&](std::size_t share) {
        std::int64_t areaToBeat = bound;
        for (std::size_t i = share; i < candidates.size(); i += 2) {
            if (std::optional<PackedAtlas> found = searchHeight(icons, candidates[i], areaToBeat)) {
                areaToBeat = areaOf(*found);
                shares[share] = std::move(found);
            }
        }
    });
    for (std::optional<PackedAtlas>& found : shares) keepSmaller(best, found);
    return best;
}
