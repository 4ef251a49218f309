#pragma once

// Installing the new atlases into the game: the built atlas files copied into the game's folder of loose
// files, or the package of them into its folder of packages, as one set that can be undone.

#include <optional>
#include <string>
#include <vector>

#include "game/mod_folders.h"
#include "mods/mod_target.h"
#include "platform/step_outcome.h"

class Reporter;

enum class InstallWay {
    LooseFiles,  // "res_mods/<folder>/gui/flash/atlases/"
    Package,     // "mods/<folder>/ravelin.atlases_<version>.wotmod"
};

// The game's mod folders for the target's version (paths.xml); none, with the reason logged, when the
// game directory or its version is unknown or the folders cannot be read.
std::optional<ModFolders> installFolders(const ModTarget& target, Reporter& reporter);

// Copies the files (each a path in the working directory: the atlas files for loose files, the package
// for a package) into the way's folder of the game, creating it as needed. All or nothing: the game gets
// every new file or keeps every file it had; what Ravelin installed the other way goes (see
// tracked_install.h). Done (or done with leftovers) with the folder as its place, or failed with the
// reason, also logged, when nothing was installed.
StepOutcome installAtlasFiles(const ModTarget& target, const ModFolders& folders, InstallWay way,
                              const std::vector<std::string>& files, Reporter& reporter);
