#pragma once

// Importing icon packs: each atlas of a pack is cut by its own XML, each icon compared with today's game
// icon of the same name, and the icons that differ written as NAME.png into the icon folder; names today's
// game lacks (other mods' sprites) go into its extra/<atlas>/ folder for the build to carry along.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "atlas/atlas_kind.h"

class Reporter;

// Today's game as the working directory holds it, per atlas kind.
struct GameIconSet {
    std::vector<std::string> names;  // the icon catalogue's names
    std::string iconDirectory;       // its default icons, ending in the separator
};

struct ImportTarget {
    std::string iconDirectory;  // where the icons go, ending in the separator
    std::array<GameIconSet, kAtlasKindCount> game;
    bool all = false;      // also the icons equal to the game's
    bool replace = false;  // replace files already in the icon folder
};

// What one atlas of a pack, or one pack's loose icons, gave.
struct PackPartImport {
    std::string source;                     // the atlas XML or the pack, as errors name it
    const AtlasKind* kind = nullptr;        // none for loose icons
    std::size_t icons = 0;                  // the icons it holds
    std::size_t imported = 0;               // written, or already in the folder as they would be written
    std::size_t equal = 0;                  // equal to the game's, not written (written with --all)
    std::size_t earlier = 0;                // a name an earlier pack or atlas of this import gave
    std::size_t failed = 0;                 // could not be cut, read or written (reported)
    std::vector<std::string> kept;          // files of the folder that were left as they were
    std::vector<std::string> unknownNames;  // names today's game does not have (for an atlas: the extras)
    std::vector<std::string> missingNames;  // names of today's game the atlas lacks: they get the game's icon
};

struct ImportOutcome {
    std::vector<PackPartImport> parts;  // in the order of the sources, each source's atlases in kind order
    std::size_t unreadableSources = 0;  // sources of which nothing could be read
};

// Imports the sources in the order given; the first one that gives a name wins (a name a pack has as the
// game has it is given too, except against the same pack's other atlas). A file already in the folder
// is kept unless target.replace; every file is replaced only when completely written. Errors name the file
// and the entry and are reported; the rest of the import goes on.
ImportOutcome importIconPacks(const std::vector<std::string>& sources, const ImportTarget& target,
                              Reporter& reporter);

// The summary: per atlas the icons imported, equal to the game's and kept, then the names lists; lists are
// cut after listLimit names ("and N more"), 0 lists them all. Lines end in "\n".
std::string importSummaryText(const ImportOutcome& outcome, const std::string& iconDirectory,
                              std::size_t listLimit);
