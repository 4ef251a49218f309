#pragma once

#include <string>

class Reporter;

// The package path: wotInstallDir + "res/packages/gui.pkg" (with the platform's separator).
std::string gamePackagePath(const std::string& installDirectory);

struct UnpackResult {
    bool packageOpened = false;  // false: nothing else was done
    int entriesFound = 0;        // the sum of the values (1, 2, 4, 8) of the wanted entries met; 0 means none
    bool complete = false;       // every wanted file was found and written completely
};

// Copies the four original atlas files out of the package of the game in installDirectory into
// destinationDirectory (ending in the separator). Each file is replaced only when its entry was read
// completely.
UnpackResult unpackOriginalAtlases(const std::string& installDirectory,
                                   const std::string& destinationDirectory, Reporter& reporter);
