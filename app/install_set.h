#pragma once

// What goes into the game from a build: the new atlas files and, for a package, its name and description.

#include <optional>
#include <string>
#include <vector>

#include "game/mod_package.h"

struct Context;

// The built atlas files by name, in the working directory: for each atlas its XML and each image format
// the client ships (as the unpacked originals show). None, with an error naming the first file, when one
// is not built yet, or an atlas's last build logged errors or it holds no icons.
std::optional<std::vector<std::string>> builtAtlasFiles(Context& context, const std::string& verb);

// The package's default file name: "ravelin.atlases_<version>" and the client's package extension.
std::string defaultPackageName(const Context& context);

// Writes the built atlases as the game's mod package to path; false with the reason logged.
bool writeAtlasPackage(Context& context, const std::string& path);
