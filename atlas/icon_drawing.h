#pragma once

// The drawing pass both atlas writers share: every gathered icon in layout order, with its progress shown,
// decoded once, ahead of the drawing on the processor's other core.

#include <cstddef>
#include <functional>

class Image;
class Reporter;
struct AtlasIcon;
struct GatheredIcons;

// Calls draw(index, icon, pixels) in layout order for every icon that decodes at the size it was measured
// at. A replacement that does not is reported and its default icon, when that decodes at the same size,
// drawn instead; an icon with neither is reported and left out. Icons for which needsPixels says false are
// not decoded: draw gets them, when they were measured, without pixels.
void drawIconsInOrder(const GatheredIcons& gathered, Reporter& reporter,
                      const std::function<void(std::size_t, const AtlasIcon&, const Image*)>& draw,
                      const std::function<bool(const AtlasIcon&)>& needsPixels = nullptr);
