#pragma once

// Installing the new atlases into the game: the built atlas files copied into the game's folder of loose
// files, or the package of them into its folder of packages, as one set that can be undone.

#include <string>
#include <vector>

#include "platform/file_set.h"
#include "platform/step_outcome.h"

struct Context;

enum class InstallWay {
    LooseFiles,  // "res_mods/<folder>/gui/flash/atlases/"
    Package,     // "mods/<folder>/ravelin.atlases_<version>.wotmod"
};

// Copies, for both atlases, the XML and each image format the client ships (as the originals show) from
// the working directory into the game's mod directory, or writes them as a package into the working
// directory and copies that into the game, creating the folders as needed. All or nothing: the game gets
// every new file or keeps every file it had; what Ravelin installed the other way goes (see
// tracked_install.h). Done (or done with leftovers) with the directory as its place, or failed with the
// reason, also logged, when nothing was installed.
StepOutcome installNewAtlases(Context& context, InstallWay way = InstallWay::LooseFiles);

// Puts the files into the game as one set (see replaceFiles), logging each installed file or why none
// was: done, or failed with that reason.
StepOutcome installFileSet(Context& context, const std::vector<FileCopy>& files);
