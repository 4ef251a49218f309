#include "atlas/max_rects_bin.h"

#include <algorithm>
#include <limits>

namespace {

std::int64_t sharedLength(std::int32_t aStart, std::int32_t aEnd, std::int32_t bStart, std::int32_t bEnd) {
    return std::max<std::int64_t>(0, std::int64_t{std::min(aEnd, bEnd)} - std::max(aStart, bStart));
}

}  // namespace

MaxRectsBin::MaxRectsBin(std::int32_t width, std::int32_t height, MaxRectsRule rule)
    : width_(width), height_(height), rule_(rule) {
    addFree({0, 0, width, height});
    if (rule == MaxRectsRule::ContactPoint) {
        endingAtColumn_.resize(static_cast<std::size_t>(width) + 1);
        startingAtColumn_.resize(static_cast<std::size_t>(width) + 1);
        endingAtRow_.resize(static_cast<std::size_t>(height) + 1);
        startingAtRow_.resize(static_cast<std::size_t>(height) + 1);
    }
}

void MaxRectsBin::addFree(const Rect& space) {
    lefts_.push_back(space.left);
    tops_.push_back(space.top);
    rights_.push_back(space.right);
    bottoms_.push_back(space.bottom);
}

void MaxRectsBin::removeFree(std::size_t index) {
    lefts_[index] = lefts_.back();
    tops_[index] = tops_.back();
    rights_[index] = rights_.back();
    bottoms_[index] = bottoms_.back();
    lefts_.pop_back();
    tops_.pop_back();
    rights_.pop_back();
    bottoms_.pop_back();
}

std::int64_t MaxRectsBin::contact(const Rect& at) const {
    std::int64_t length = 0;
    if (at.left == 0 || at.right == width_) length += at.bottom - at.top;
    if (at.top == 0 || at.bottom == height_) length += at.right - at.left;
    for (const std::uint32_t index : endingAtColumn_[static_cast<std::size_t>(at.left)])
        length += sharedLength(placed_[index].top, placed_[index].bottom, at.top, at.bottom);
    for (const std::uint32_t index : startingAtColumn_[static_cast<std::size_t>(at.right)])
        length += sharedLength(placed_[index].top, placed_[index].bottom, at.top, at.bottom);
    for (const std::uint32_t index : endingAtRow_[static_cast<std::size_t>(at.top)])
        length += sharedLength(placed_[index].left, placed_[index].right, at.left, at.right);
    for (const std::uint32_t index : startingAtRow_[static_cast<std::size_t>(at.bottom)])
        length += sharedLength(placed_[index].left, placed_[index].right, at.left, at.right);
    return length;
}

template <typename Score>
std::optional<AtlasSpot> MaxRectsBin::insertBy(std::int32_t width, std::int32_t height, Score score) {
    constexpr std::uint64_t kNone = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t bestScore = kNone;
    std::size_t best = 0;
    for (std::size_t i = 0; i < lefts_.size(); ++i) {
        if (rights_[i] - lefts_[i] < width || bottoms_[i] - tops_[i] < height) continue;
        const std::uint64_t candidate = score(i);
        if (candidate < bestScore) {
            best = i;
            bestScore = candidate;
        }
    }
    if (bestScore == kNone) return std::nullopt;
    const Rect placed{lefts_[best], tops_[best], lefts_[best] + width, tops_[best] + height};
    split(placed);
    if (rule_ == MaxRectsRule::ContactPoint) {
        const auto index = static_cast<std::uint32_t>(placed_.size());
        placed_.push_back(placed);
        endingAtColumn_[static_cast<std::size_t>(placed.right)].push_back(index);
        startingAtColumn_[static_cast<std::size_t>(placed.left)].push_back(index);
        endingAtRow_[static_cast<std::size_t>(placed.bottom)].push_back(index);
        startingAtRow_[static_cast<std::size_t>(placed.top)].push_back(index);
    }
    return AtlasSpot{placed.left, placed.top};
}

std::optional<AtlasSpot> MaxRectsBin::insert(std::int32_t width, std::int32_t height) {
    // Lower is better: the rule's first measure in the high half, its tie-breaker in the low half.
    // Every measure is below 2^31, and the best possible score is above 0.
    const auto pack = [](std::int64_t first, std::int64_t second) {
        return static_cast<std::uint64_t>(first) << 32 | static_cast<std::uint32_t>(second);
    };
    const auto leftovers = [&](std::size_t i) {
        const std::int32_t x = rights_[i] - lefts_[i] - width, y = bottoms_[i] - tops_[i] - height;
        return std::pair{std::min(x, y), std::max(x, y)};
    };
    switch (rule_) {
        case MaxRectsRule::BestShortSideFit:
            return insertBy(width, height, [&](std::size_t i) {
                const auto [shortSide, longSide] = leftovers(i);
                return pack(shortSide, longSide);
            });
        case MaxRectsRule::BestLongSideFit:
            return insertBy(width, height, [&](std::size_t i) {
                const auto [shortSide, longSide] = leftovers(i);
                return pack(longSide, shortSide);
            });
        case MaxRectsRule::BestAreaFit:
            return insertBy(width, height, [&](std::size_t i) {
                const std::int64_t area = std::int64_t{rights_[i] - lefts_[i]} * (bottoms_[i] - tops_[i]);
                return pack(area - std::int64_t{width} * height, leftovers(i).first);
            });
        case MaxRectsRule::BottomLeft:
            return insertBy(width, height, [&](std::size_t i) { return pack(tops_[i] + height, lefts_[i]); });
        case MaxRectsRule::ContactPoint:
            // Contact is at most the whole perimeter.
            return insertBy(width, height, [&](std::size_t i) {
                const Rect at{lefts_[i], tops_[i], lefts_[i] + width, tops_[i] + height};
                return pack(2 * (std::int64_t{width} + height) - contact(at), 0);
            });
    }
    return std::nullopt;
}

// 1 when free rectangle i overlaps the other, else 0; without a branch.
std::size_t MaxRectsBin::overlapsFree(std::size_t i, const Rect& other) const {
    return static_cast<std::size_t>(lefts_[i] < other.right) &
           static_cast<std::size_t>(other.left < rights_[i]) &
           static_cast<std::size_t>(tops_[i] < other.bottom) &
           static_cast<std::size_t>(other.top < bottoms_[i]);
}

void MaxRectsBin::split(const Rect& placed) {
    // The free rectangles the placed one overlaps, found without branching (the packer's hottest loop).
    const std::size_t count = lefts_.size();
    hits_.resize(count);
    std::size_t hitCount = 0;
    for (std::size_t i = 0; i < count; ++i) {
        hits_[hitCount] = static_cast<std::uint32_t>(i);
        hitCount += overlapsFree(i, placed);
    }
    created_.clear();
    Rect around{placed.left, placed.top, placed.right, placed.bottom};  // what the new spaces cover
    const auto add = [&](const Rect& space) {
        created_.push_back(space);
        around = {std::min(around.left, space.left), std::min(around.top, space.top),
                  std::max(around.right, space.right), std::max(around.bottom, space.bottom)};
    };
    // From the highest index down, so that moving the last rectangle into a removed one's place never
    // moves one still to be visited.
    while (hitCount > 0) {
        const std::size_t i = hits_[--hitCount];
        const Rect space{lefts_[i], tops_[i], rights_[i], bottoms_[i]};
        removeFree(i);
        if (placed.left > space.left) add({space.left, space.top, placed.left, space.bottom});
        if (placed.right < space.right) add({placed.right, space.top, space.right, space.bottom});
        if (placed.top > space.top) add({space.left, space.top, space.right, placed.top});
        if (placed.bottom < space.bottom) add({space.left, placed.bottom, space.right, space.bottom});
    }
    const auto holds = [](const Rect& outer, const Rect& inner) {
        return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
               inner.bottom <= outer.bottom;
    };
    // An old space never lies inside a new one: it would lie inside the space the new one was cut from,
    // which was maximal. So only the new ones are checked, against each other and the old ones near them.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < created_.size(); ++i) {
        bool redundant = false;
        for (std::size_t j = 0; j < created_.size() && !redundant; ++j)
            redundant =
                i != j && holds(created_[j], created_[i]) && (!holds(created_[i], created_[j]) || j < i);
        if (!redundant) created_[kept++] = created_[i];
    }
    created_.resize(kept);
    const std::size_t oldCount = lefts_.size();
    hitCount = 0;
    for (std::size_t i = 0; i < oldCount; ++i) {
        hits_[hitCount] = static_cast<std::uint32_t>(i);
        hitCount += overlapsFree(i, around);
    }
    for (std::size_t h = 0; h < hitCount && !created_.empty(); ++h) {
        const std::size_t i = hits_[h];
        const Rect old{lefts_[i], tops_[i], rights_[i], bottoms_[i]};
        created_.erase(std::remove_if(created_.begin(), created_.end(),
                                      [&](const Rect& space) { return holds(old, space); }),
                       created_.end());
    }
    for (const Rect& space : created_) addFree(space);
}
