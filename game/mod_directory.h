#pragma once

// Where the game looks for modified files: "res_mods/<client version>/" in its installation directory,
// searched before its packages. Nothing in the packages is ever changed.

#include <string>

// installDirectory + "res_mods/<version>/gui/flash/atlases/" (with the platform's separator).
std::string modAtlasDirectory(const std::string& installDirectory, const std::string& version);
// Creates the directory and every missing one above it; false when it is not a directory afterwards.
bool createModDirectory(const std::string& directory);
