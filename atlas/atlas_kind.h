#pragma once

// The one table of atlas kinds: every fixed name of each kind and the keys under which the program stores
// what it learns of it. Everything that handles "each atlas" loops over kAtlasKinds; adding a kind is a
// row here plus the main window's layout.

#include <array>
#include <cstddef>
#include <string_view>

struct AtlasKind {
    std::size_t index;                   // its position in kAtlasKinds, for per-kind records
    std::string_view atlasName;          // the game's base name; progress titles name the atlas by it
    std::string_view iconDirectoryName;  // the default icons, in the working directory
    std::string_view atlasImageName;     // the PNG image of older clients
    std::string_view atlasDdsImageName;  // the DDS image of today's clients
    std::string_view atlasXmlName;
    std::string_view catalogueName;
    // The keys of ravelin.conf for what the program stores of the kind.
    std::string_view iconDirectoryKey;
    std::string_view iconCountKey;
    std::string_view atlasWidthKey;
    std::string_view atlasHeightKey;
};

inline constexpr std::array<AtlasKind, 2> kAtlasKinds{{
    {0, "battleAtlas", "defaultBattleImages", "battleAtlas.png", "battleAtlas.dds", "battleAtlas.xml",
     "battleatlas.dat", "acBattleAtlasDir", "wotNbOfBattleIcons", "acBattleAtlasWidth",
     "acBattleAtlasHeight"},
    {1, "vehicleMarkerAtlas", "defaultMarkerImages", "vehicleMarkerAtlas.png", "vehicleMarkerAtlas.dds",
     "vehicleMarkerAtlas.xml", "markeratlas.dat", "acMarkerAtlasDir", "wotNbOfMarkerIcons",
     "acMarkerAtlasWidth", "acMarkerAtlasHeight"},
}};
inline constexpr std::size_t kAtlasKindCount = kAtlasKinds.size();
inline constexpr const AtlasKind& kBattleAtlas = kAtlasKinds[0];
inline constexpr const AtlasKind& kMarkerAtlas = kAtlasKinds[1];

// "Create Atlases" builds them, and installs and packages their files, in the reverse order of taking them
// apart: the marker atlas first, as the older client did, so its log reads the same.
inline constexpr std::array<const AtlasKind*, kAtlasKindCount> kAtlasKindsInBuildOrder = [] {
    std::array<const AtlasKind*, kAtlasKindCount> kinds{};
    for (std::size_t i = 0; i < kAtlasKindCount; ++i) kinds[i] = &kAtlasKinds[kAtlasKindCount - 1 - i];
    return kinds;
}();

// Where the game keeps the atlas files, in its packages and below its mod folders.
inline constexpr std::string_view kAtlasFolderInGame = "gui/flash/atlases/";
