#pragma once

// The fixed names of the two atlas kinds. Which settings each kind fills is the program's business; the
// atlas layer only needs the names.

#include <string_view>

struct AtlasKind {
    std::string_view atlasName;          // how progress titles name the atlas
    std::string_view iconDirectoryName;  // the default icons, in the working directory
    std::string_view atlasImageName;     // the PNG image of older clients
    std::string_view atlasDdsImageName;  // the DDS image of today's clients
    std::string_view atlasXmlName;
    std::string_view catalogueName;
};

inline constexpr AtlasKind kBattleAtlas{"battleAtlas",     "defaultBattleImages", "battleAtlas.png",
                                        "battleAtlas.dds", "battleAtlas.xml",     "battleatlas.dat"};
inline constexpr AtlasKind kMarkerAtlas{"vehicleMarkerAtlas",     "defaultMarkerImages",
                                        "vehicleMarkerAtlas.png", "vehicleMarkerAtlas.dds",
                                        "vehicleMarkerAtlas.xml", "markeratlas.dat"};
