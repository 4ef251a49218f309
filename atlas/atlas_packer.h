#pragma once

// The layout for today's clients: every icon on a canvas as small as the packer finds, with the 1-pixel gap
// of the row layout between icons, sides multiples of 4. MaxRects over icons ordered tallest first:
// bottom-left at a range of canvas widths, then the other rules at the widths where it did best, each
// searched only for canvases smaller than the best so far; the smallest canvas wins. The work is shared by
// two threads. Deterministic: the same sizes give the same layout, whatever the machine.

#include <cstdint>
#include <optional>
#include <vector>

#include "atlas/atlas_layout.h"

struct IconSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

struct PackedAtlas {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<AtlasSpot> spots;  // in the order of the sizes given
};

inline constexpr std::int32_t kMaximumPackedSide = 16384;

// None when the icons do not fit on a 16384 x 16384 canvas. Icons of no area take a spot at 0, 0.
std::optional<PackedAtlas> packAtlas(const std::vector<IconSize>& sizes);
