#pragma once

// The new atlases as the game's mod package: its file name, and the package written from the built files.

#include <cstddef>
#include <string>
#include <vector>

#include "mods/mod_target.h"

class Reporter;

// The package's default file name: "ravelin.atlases_<version>" and the client's package extension.
std::string defaultPackageName(const ModTarget& target);

// Writes the atlas files (names in the working directory) as the game's mod package at path, its
// description counting the replaced icons; false with the reason logged.
bool writeAtlasPackage(const ModTarget& target, const std::vector<std::string>& atlasFiles,
                       std::size_t replacedIcons, const std::string& path, Reporter& reporter);
