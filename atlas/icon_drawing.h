#pragma once

// The drawing pass both atlas writers share: every gathered icon in layout order, with its progress shown;
// a default icon decoded once, ahead of the drawing on the processor's other core.

#include <cstddef>
#include <functional>

class Image;
class Reporter;
struct AtlasIcon;
struct GatheredIcons;

// Calls draw(index, icon, pixels) in layout order for every icon that was measured: a replacement with the
// pixels it was gathered with, a default icon with its pixels when it decodes at the size it was measured
// at (else it is reported and left out). With decodeDefaults false, default icons are not decoded and draw
// gets them without pixels.
void drawIconsInOrder(const GatheredIcons& gathered, Reporter& reporter,
                      const std::function<void(std::size_t, const AtlasIcon&, const Image*)>& draw,
                      bool decodeDefaults = true);
