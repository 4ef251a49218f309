#pragma once

// One MaxRects bin: the free space kept as the maximal free rectangles, each new rectangle put at the
// top-left corner of the free rectangle its rule likes best. Ties go to the first such rectangle, so the
// same inserts always give the same places.

#include <cstdint>
#include <optional>
#include <vector>

#include "atlas/atlas_layout.h"

enum class MaxRectsRule {
    BestShortSideFit,  // least leftover along the shorter side, then the longer
    BestLongSideFit,   // least leftover along the longer side, then the shorter
    BestAreaFit,       // the smallest free rectangle that holds it, then the shorter leftover
    BottomLeft,        // the highest bottom edge (y grows downwards), then the leftmost
    ContactPoint,      // the most edge shared with the bin's border and with what was placed
};

class MaxRectsBin {
public:
    MaxRectsBin(std::int32_t width, std::int32_t height, MaxRectsRule rule);

    // The top-left corner given to a width x height rectangle, or none when no free space holds it.
    std::optional<AtlasSpot> insert(std::int32_t width, std::int32_t height);

private:
    // Corners: left, top inclusive; right, bottom exclusive.
    struct Rect {
        std::int32_t left, top, right, bottom;
    };
    template <typename Score>
    std::optional<AtlasSpot> insertBy(std::int32_t width, std::int32_t height, Score score);
    std::int64_t contact(const Rect& at) const;
    std::size_t overlapsFree(std::size_t i, const Rect& other) const;
    void split(const Rect& placed);
    void addFree(const Rect& space);
    void removeFree(std::size_t index);

    std::int32_t width_, height_;
    MaxRectsRule rule_;
    // The free rectangles, one array per side: the scans over them are the packer's inner loops.
    std::vector<std::int32_t> lefts_, tops_, rights_, bottoms_;
    std::vector<std::uint32_t> hits_;
    std::vector<Rect> created_;
    // For the contact rule: what was placed, and which of it ends or starts at each column and row.
    std::vector<Rect> placed_;
    std::vector<std::vector<std::uint32_t>> endingAtColumn_, startingAtColumn_, endingAtRow_, startingAtRow_;
};
