#pragma once

// Other mods' sprites that a Ravelin atlas carries along: the PNG files of the icon folder's
// extra/<atlas>/ folder, which ravelin-cli import fills with the names today's game lacks (a badge or
// statistics mod's own entries of battleAtlas). Without them, Ravelin's atlas in res_mods would hide that
// mod's atlas and with it those entries.

#include <cstddef>
#include <string>
#include <vector>

class Reporter;
struct AtlasKind;
struct CatalogueEntry;
struct GatheredIcons;

// iconDirectory + "extra/<atlas name>/" (the directory ends in the separator, and so does the result).
std::string extraIconDirectory(const std::string& iconDirectory, const AtlasKind& kind);

// Appends every PNG file of the directory whose name the catalogue lacks to the gathered icons, after the
// catalogue's, in the order of their names, decoded whole. A file that does not decode, or whose name the
// atlas XML cannot hold, is reported and left out. The names added, in order.
std::vector<std::string> appendExtraIcons(GatheredIcons& gathered, const std::string& directory,
                                          const std::vector<CatalogueEntry>& catalogue, Reporter& reporter);
