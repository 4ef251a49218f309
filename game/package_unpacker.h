#pragma once

#include <string>

struct Context;

// The package path: wotInstallDir + "res/packages/gui.pkg" (with the platform's separator).
std::string gamePackagePath(const std::string& installDirectory);

// Copies the four original atlas files out of the game's package into "originalAtlases" of the working
// directory. Returns the sum of the values (1, 2, 4, 8) of the wanted entries met while listing the package;
// 0 means none. A package that cannot be opened ends the program with a fatal error. Each file is replaced
// only when its entry was read completely.
int unpackOriginalAtlases(Context& context);
