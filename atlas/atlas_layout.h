#pragma once

// Which image stands for each catalogued icon, and where it goes on the new atlas: icons ordered tallest
// first and laid out in rows ("shelves") left to right, top to bottom, with two icons at fixed spots.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Context;

struct AtlasIcon {
    std::string path;     // the chosen image file: directory + catalogue name + ".png"
    bool loaded = false;  // false: no file of the name loaded (logged); the icon is left out
    std::int32_t width = 0;
    std::int32_t height = 0;
};

struct GatheredIcons {
    std::vector<AtlasIcon> icons;  // in layout order
    float progressUnit = 0.0f;     // catalogue lines / 100
};

inline constexpr std::int32_t kAtlasCanvasSize = 2048;

// Reads the catalogue, picks for every name the replacement from acNewIconsDir when that file is not
// empty and loads, else the default icon, measures it by loading it, and orders the list tallest first
// (stable). An icon file that does not load is logged and left out. None when the catalogue cannot be
// opened.
std::optional<GatheredIcons> gatherAtlasIcons(Context& context, std::string_view catalogueName,
                                              const std::string& defaultIconDirectory);

struct AtlasSpot {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The row layout. Its fields are 16-bit like the layout always was; sums wrap explicitly.
class ShelfCursor {
public:
    static constexpr std::int32_t kFirstColumn = 2;  // columns 0 and 1 are left to "ShotSectorLine.png"
    static constexpr std::int32_t kRightLimit = 2044;

    AtlasSpot place(std::int32_t width, std::int32_t height);

private:
    std::int16_t x_ = kFirstColumn;
    std::int16_t y_ = 0;
    std::int16_t rowHeight_ = 0;
};

// The fixed spot of "CameraWithDirection.png" or "ShotSectorLine.png" (exact file name), else none.
std::optional<AtlasSpot> fixedSpotOf(std::string_view iconPath);
