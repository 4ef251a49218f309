#pragma once

// Where the game looks for modified loose files: "res_mods/<folder>/" in its installation directory (the
// folder as game/mod_folders.h finds it), searched before its packages. Nothing in the packages is ever
// changed.

#include <string>

// installDirectory + "res_mods/<folder>/gui/flash/atlases/" (with the platform's separator).
std::string modAtlasDirectory(const std::string& installDirectory, const std::string& folder);
// installDirectory + "mods/<folder>/", where the game loads packages from.
std::string modPackageDirectory(const std::string& installDirectory, const std::string& folder);
// Whether path, made absolute and normal, lies below directory, made so too: the last word on where
// an install may write, whatever the folder names were.
bool liesInside(const std::string& path, const std::string& directory);
// Creates the directory and every missing one above it; false when it is not a directory afterwards.
bool createModDirectory(const std::string& directory);
