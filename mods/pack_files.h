#pragma once

// What the files of an icon pack are, by their paths inside it: the pieces of an atlas, loose icons, or
// nothing Ravelin takes. Folders and packages are read alike: their paths are listed, the layout is chosen
// from the list, and only the chosen files are read.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "atlas/atlas_kind.h"

// The path, relative to the pack's top with "/" or "\" between its parts, as one that stays inside the
// pack: "/" between the parts, none of them empty, "." or "..", not rooted, no drive, no control
// character. None otherwise.
std::optional<std::string> packRelativePath(std::string_view path);

enum class PackFileRole { None, AtlasXml, AtlasImage, LooseIcon };

struct PackFile {
    PackFileRole role = PackFileRole::None;
    const AtlasKind* kind = nullptr;  // for an atlas's pieces
    bool dds = false;                 // for an atlas image: DDS, else PNG
    std::string iconName;             // for a loose icon: its file name without ".png"
    std::string folder;               // the part of the path before its file name, "" or ending in "/"
};

// An atlas's pieces go by the game's file names (any letter case); loose icons are PNG files at the pack's
// top or in a folder named "contour" (the game's gui/maps/icons/vehicle/contour/), since the game's other
// icon folders hold pictures of other sizes under the same names.
PackFile packFileOf(std::string_view relativePath);

// Where a pack keeps one atlas: its XML and the image beside it (DDS before PNG), as indexes into the list
// of paths.
struct PackAtlasPlace {
    std::size_t xml = 0;
    std::size_t image = 0;
    bool dds = false;
};

struct PackLooseIconPlace {
    std::string name;
    std::size_t path = 0;
};

struct PackLayout {
    std::array<std::optional<PackAtlasPlace>, kAtlasKindCount> atlases;
    std::vector<PackLooseIconPlace> looseIcons;  // in the list's order, each name once
    // Atlas XML files passed over: another folder's copy of an atlas already found, or one without an
    // image beside it (paths, with the reason).
    std::vector<std::string> passedOver;
};

// The layout of a pack whose relative paths (packRelativePath's form) are listed in order: each atlas
// from the first folder that holds its XML and an image, each loose icon name from its first file. A pack
// with neither, such as icons zipped in a folder of their own, has the PNG files of the first folder that
// holds any as its loose icons.
PackLayout packLayoutOf(const std::vector<std::string>& paths);
