#pragma once

// The fixed names of the two atlas kinds.

#include <string_view>

struct AtlasKind {
    std::string_view iconDirectoryName;
    std::string_view atlasImageName;
    std::string_view atlasXmlName;
    std::string_view catalogueName;
};

inline constexpr AtlasKind kBattleAtlas{"defaultBattleImages", "battleAtlas.png", "battleAtlas.xml",
                                        "battleatlas.dat"};
inline constexpr AtlasKind kMarkerAtlas{"defaultMarkerImages", "vehicleMarkerAtlas.png",
                                        "vehicleMarkerAtlas.xml", "markeratlas.dat"};
