#pragma once

// Whether an icon of a pack is the game's own icon, passed through block compression on its way into the
// pack, or an icon of the pack's own. A single PSNR threshold cannot tell: a naive DXT5 pass at another
// place leaves thin icons at 20 dB, a red tint keeps up to 25 dB. Block compression leaves two things
// standing that a changed icon does not:
// - the mean colour of what shows: a block's end points are fitted to its pixels, so over an icon the
//   errors cancel;
// - the colours a block can hold: each pixel comes back as a mix of the two end colours, which are fitted
//   to the block's sixteen pixels (invisible ones and the neighbours' included), so it stays within their
//   range.
// Measured with bench/pack_likeness.cpp (the real 2.4 marker atlas's 1555 rectangles with the test
// fixture's thin, striped icons; moved to another layout and DXT5-encoded once by a naive encoder, or
// compressed three times on two block grids): unchanged icons found equal 96.0 % and 99.7 %; red-tinted,
// 15 % brighter, channels rotated or with a 4 x 4 mark found equal at most 0 %, 0.7 %, 0.13 % and 0.19 %.
// An unchanged icon taken for a changed one costs only a replacement that looks like the game's; the other
// way round the pack's icon would be lost, so the tolerances lean to "changed".

#include <cstdint>

#include "image/image.h"

// Levels (of 255) by which the icon's mean colour and alpha may differ, each weighted by how much the
// pixels show and divided by the total shown.
inline constexpr double kMeanColourTolerance = 6.0;
// Levels by which a pixel may lie outside the range of the colours around it in its 4 x 4 block.
inline constexpr int kBlockRangeTolerance = 40;

// Where a pack's icon lies: in its atlas, whose 4 x 4 blocks the comparison follows, or a loose icon by
// itself at 0, 0.
struct PackIconPlace {
    const Image* image = nullptr;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// True when the pack's icon has the game icon's size and looks like it within what block compression
// leaves. Images of depth 24 count as opaque.
bool looksLikeGameIcon(const PackIconPlace& packIcon, const Image& gameIcon);
