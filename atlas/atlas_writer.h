#pragma once

// Builds one new atlas: every catalogued icon (replacement or default) drawn onto a transparent canvas at
// its layout spot, plus the atlas XML naming each drawn icon's rectangle. For a client with PNG atlases the
// canvas is 2048 x 2048 with the row layout; for one with DDS atlases it keeps the game's own layout when
// every icon fits it, else holds every icon, packed, and is written in the original's pixel format (BC3 for
// BC7) with as many mip levels, plus a PNG when the client shipped both.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "atlas/icon_states.h"
#include "image/dds_codec.h"

class Reporter;
struct AtlasKind;
struct AtlasSpot;
struct GatheredIcons;

// Where one build takes its icons from and puts the atlas; directories end in the separator.
struct AtlasBuildDirectories {
    std::string workingDirectory;        // holds the catalogue and receives the atlas image and XML
    std::string originalAtlasDirectory;  // the client's own atlas images, which tell the format
    std::string newIconsDirectory;       // the replacement icons
    std::string defaultIconDirectory;    // the icons taken from the original atlas
};

// What one build did, as a value.
struct AtlasBuild {
    // False when the catalogue, the canvas or the XML could not be created (or a DDS original could not be
    // read): the build stopped early.
    bool completed = false;
    std::vector<std::string> errors;  // every error the build reported, in order
    // What stands for each icon, as the build took it; catalogueFound false when it had no catalogue.
    AtlasIconStates states;
    // The icons of other mods it carried after the catalogue's (extra_icons.h), by name.
    std::vector<std::string> extraIcons;

    bool clean() const { return completed && errors.empty(); }
};

// Writes the kind's atlas image(s) and XML into the working directory, each replacing an earlier file only
// when complete; a failed image save is reported and the build goes on. A build that stops early leaves its
// progress open; the caller closes it.
AtlasBuild buildAtlas(const AtlasKind& kind, const AtlasBuildDirectories& directories, Reporter& reporter);

// The part after gathering: the canvas, the drawing in layout order (drawIconsInOrder), the XML and the
// image.
bool drawAtlas(const std::string& atlasImagePath, const std::string& atlasXmlPath,
               const GatheredIcons& gathered, Reporter& reporter);

// Where a build for a DDS client writes its images and in which form.
struct PackedAtlasTarget {
    std::string ddsPath;
    DdsPixelFormat format;
    int mipLevels = 1;
    std::string pngPath;  // empty unless the client shipped a PNG too
};

// The drawing for a DDS client: every icon packed onto a canvas just large enough, the XML, the images.
bool drawPackedAtlas(const PackedAtlasTarget& target, const std::string& atlasXmlPath,
                     const GatheredIcons& gathered, Reporter& reporter);

// The game's own places for the gathered icons (in their order), taken from its atlas XML, when every
// icon that loaded has exactly the size of its rectangle there and the rectangle lies on the canvas;
// else none.
std::optional<std::vector<AtlasSpot>> gameLayoutSpots(const GatheredIcons& gathered,
                                                      const std::string& originalXmlPath,
                                                      std::int64_t canvasWidth, std::int64_t canvasHeight);

// The drawing for a DDS client in the game's own layout: the original texture with the replacements
// drawn in place of the icons they replace. Blocks no replacement reaches (its 1-pixel gap included) are
// copied from the original when the format stays the same; the mip levels are made anew.
bool drawKeptAtlas(const PackedAtlasTarget& target, const std::string& originalDdsPath,
                   const std::vector<AtlasSpot>& spots, const std::string& atlasXmlPath,
                   const GatheredIcons& gathered, Reporter& reporter);
