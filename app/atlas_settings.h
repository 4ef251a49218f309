#pragma once

// Which settings each atlas kind fills and reads.

#include <cstdint>
#include <string>

#include "app/settings.h"
#include "atlas/atlas_kind.h"

struct AtlasSettings {
    const AtlasKind& kind;
    std::string Settings::*iconDirectory;  // where its default icons are
    std::int32_t Settings::*iconCount;     // what the last extraction found
    std::int32_t Settings::*atlasWidth;    // the game's atlas image size
    std::int32_t Settings::*atlasHeight;
};

inline const AtlasSettings kBattleAtlasSettings{kBattleAtlas, &Settings::acBattleAtlasDir,
                                                &Settings::wotNbOfBattleIcons, &Settings::acBattleAtlasWidth,
                                                &Settings::acBattleAtlasHeight};
inline const AtlasSettings kMarkerAtlasSettings{kMarkerAtlas, &Settings::acMarkerAtlasDir,
                                                &Settings::wotNbOfMarkerIcons, &Settings::acMarkerAtlasWidth,
                                                &Settings::acMarkerAtlasHeight};
