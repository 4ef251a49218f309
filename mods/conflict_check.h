#pragma once

// The check that `ravelin-cli conflicts` and every install run: which other mods ship the atlases, with
// what Ravelin wrote taken from the target's working directory.

#include <optional>

#include "mods/atlas_conflicts.h"
#include "mods/mod_target.h"

class Reporter;

// The search in the target's game: Ravelin's files are those the install record holds as they are now,
// Ravelin's atlases those built in the working directory (the game's icon list where one is not built).
ConflictSearch conflictSearchFor(const ModTarget& target, const ModFolders& folders, Reporter& reporter);

// The game's mod folders read (paths.xml), then findAtlasConflicts; none, with the reason reported, when
// the game or its version is unknown or the folders cannot be read.
std::optional<AtlasConflicts> checkAtlasConflicts(const ModTarget& target, Reporter& reporter);
