#pragma once

#include <string>

#include <vector>

class Reporter;

// The value of each wanted file in UnpackResult::entriesFound.
inline constexpr int kBattlePng = 1;
inline constexpr int kBattleXml = 2;
inline constexpr int kMarkerPng = 4;
inline constexpr int kMarkerXml = 8;
inline constexpr int kBattleDds = 16;
inline constexpr int kMarkerDds = 32;

// The package path: wotInstallDir + "res/packages/gui.pkg" (with the platform's separator).
std::string gamePackagePath(const std::string& installDirectory);

// The GUI packages of the game in installDirectory, in the order they are looked through: "gui.pkg", then
// "gui-part<N>.pkg" by N (part 10 after part 9), those that exist.
std::vector<std::string> guiPackagePaths(const std::string& installDirectory);

struct UnpackResult {
    bool packageOpened = false;  // false: no package could be opened and nothing else was done
    int entriesFound = 0;        // the sum of the values of the wanted entries met; 0 means none
    bool complete = false;       // each atlas's XML and image were found and every file written completely
};

// Copies the original atlas files (each atlas's XML and whichever of its PNG and DDS images exist) out of
// the game's GUI packages into destinationDirectory (ending in the separator), each from the first package
// that holds it. Each file is replaced only when its entry was read completely; an image of the other
// format left from an earlier client is removed.
UnpackResult unpackOriginalAtlases(const std::string& installDirectory,
                                   const std::string& destinationDirectory, Reporter& reporter);
