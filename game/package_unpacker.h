#pragma once

#include <string>
#include <vector>

class PendingFiles;
class Reporter;

// A file to take out of the game's packages: the entry's path there and the file's name at its
// destination.
struct WantedFile {
    std::string entryName;  // "gui/flash/atlases/battleAtlas.xml"
    std::string fileName;   // "battleAtlas.xml"
};

// One atlas's files: its XML and the images a client may ship for it (PNG for older clients, DDS for
// today's); the XML and at least one image make it complete.
struct WantedAtlas {
    WantedFile xml;
    std::vector<WantedFile> images;
};

// The package path: wotInstallDir + "res/packages/gui.pkg" (with the platform's separator).
std::string gamePackagePath(const std::string& installDirectory);

// The GUI packages of the game in installDirectory, in the order they are looked through: "gui.pkg", then
// "gui-part<N>.pkg" by N (part 10 after part 9), those that exist.
std::vector<std::string> guiPackagePaths(const std::string& installDirectory);

struct UnpackResult {
    bool packageOpened = false;  // false: no package could be opened and nothing else was done
    int entriesFound = 0;        // how many wanted entries were met, each copy counted; 0 means none
    bool complete = false;       // each atlas's XML and image were found and every file written completely
};

// Copies each wanted atlas's files out of the game's GUI packages into destinationDirectory (ending in the
// separator), each from the first package that holds it. A file is replaced only when its entry was read
// completely and within its ceiling, and only together with the rest of its atlas: when one of an atlas's
// files fails, the earlier ones stay. An image of the other format left from an earlier client is removed.
// The copies and removals are left in pending; a file that could not be written is noted there.
UnpackResult unpackOriginalAtlases(const std::string& installDirectory,
                                   const std::string& destinationDirectory,
                                   const std::vector<WantedAtlas>& atlases, Reporter& reporter,
                                   PendingFiles& pending);
// The same, put in place at the end (complete is false when that failed).
UnpackResult unpackOriginalAtlases(const std::string& installDirectory,
                                   const std::string& destinationDirectory,
                                   const std::vector<WantedAtlas>& atlases, Reporter& reporter);
