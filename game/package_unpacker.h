#pragma once

#include <string>

struct Context;

// The package path: wotInstallDir + "res/packages/gui.pkg" (with the platform's separator).
std::string gamePackagePath(const std::string& installDirectory);

struct UnpackResult {
    int entriesFound = 0;   // the sum of the values (1, 2, 4, 8) of the wanted entries met; 0 means none
    bool complete = false;  // every wanted file was found and written completely
};

// Copies the four original atlas files out of the game's package into "originalAtlases" of the working
// directory. A package that cannot be opened ends the program with a fatal error. Each file is replaced
// only when its entry was read completely.
UnpackResult unpackOriginalAtlases(Context& context);
