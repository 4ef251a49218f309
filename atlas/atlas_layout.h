#pragma once

// Which image stands for each catalogued icon, and where it goes on the new atlas: icons ordered tallest
// first and laid out in rows ("shelves") left to right, top to bottom, with two icons at fixed spots.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "atlas/icon_states.h"
#include "image/image.h"

class Reporter;
struct CatalogueEntry;

struct AtlasIcon {
    std::string path;      // the file that stands for the icon (see resolveIconSource)
    std::string fileName;  // the path's last component
    std::string name;      // the file name without ".png", as the new atlas XML names the icon
    bool loaded = false;   // false: no file of the name loaded (reported); the icon is left out
    std::int32_t width = 0;
    std::int32_t height = 0;
    // A replacement's pixels, decoded when its source was resolved; a default icon is decoded for drawing.
    std::optional<Image> pixels;
};

struct GatheredIcons {
    std::vector<AtlasIcon> icons;        // in layout order
    std::vector<IconStateEntry> states;  // in catalogue order, as the icons were taken (isNew left unset)
    float progressUnit = 0.0f;           // catalogue lines / 100
};

inline constexpr std::int32_t kAtlasCanvasSize = 2048;

// For every catalogued icon takes the file resolveIconSource decides on (on every core): a replacement
// that decodes whole with its pixels, else the default icon measured from its header; then orders the list
// tallest first (stable). A replacement that does not decode and a default icon whose header does not read
// are reported, in catalogue order. The default icons' pixels are decoded only for drawing.
GatheredIcons gatherAtlasIcons(const std::vector<CatalogueEntry>& catalogue,
                               const std::string& newIconsDirectory, const std::string& defaultIconDirectory,
                               Reporter& reporter);

struct AtlasSpot {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The row layout. Its fields are 16-bit like the layout always was; sums wrap explicitly.
class ShelfCursor {
public:
    static constexpr std::int32_t kFirstColumn = 2;  // columns 0 and 1 are left to "ShotSectorLine"
    static constexpr std::int32_t kRightLimit = 2044;

    AtlasSpot place(std::int32_t width, std::int32_t height);

private:
    std::int16_t x_ = kFirstColumn;
    std::int16_t y_ = 0;
    std::int16_t rowHeight_ = 0;
};

// The fixed spot of the icons named "CameraWithDirection" and "ShotSectorLine", else none.
std::optional<AtlasSpot> fixedSpotOf(std::string_view iconName);
