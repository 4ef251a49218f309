#pragma once

// The flows' way into the game: the built atlases installed, packaged or taken out again, with the
// settings of the working directory (the work itself is in mods/).

#include <optional>
#include <string>
#include <vector>

#include "mods/atlas_install.h"
#include "mods/mod_target.h"
#include "platform/step_outcome.h"

struct Context;
struct Settings;

// The game and the working directory the settings name.
ModTarget modTarget(const Settings& settings);

// The built atlas files by name, in the working directory: for each atlas its XML and each image format
// the client ships (as the unpacked originals show). None, with an error naming the first file, when one
// is not built yet, or an atlas's last build logged errors or it holds no icons; the error is refusal (an
// English text with {file} and {reason}) filled.
std::optional<std::vector<std::string>> builtAtlasFiles(Context& context, std::string_view refusal);

// Installs the built atlases the given way (see installAtlasFiles): failed with the first error logged
// when they cannot be gathered.
StepOutcome installNewAtlases(Context& context, InstallWay way = InstallWay::LooseFiles);

// Writes the built atlases as the game's mod package to path; false with the reason logged.
bool packageNewAtlases(Context& context, const std::string& path);

// Takes out everything Ravelin installed into the game (see uninstallAtlases).
StepOutcome uninstallNewAtlases(Context& context);

// The other mods that ship the atlases, one line each (see atlasConflictLines) in the language shown, for an
// install that went in: the lines go into the log too, in English, and what cannot be read is logged as a
// warning, since the install stands.
std::vector<std::string> atlasConflictsAfterInstall(Context& context);

// Whether the working directory's record names anything Ravelin put into the game.
bool anythingInstalled(Context& context);
