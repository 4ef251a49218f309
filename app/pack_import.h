#pragma once

// Importing icon packs, for ravelin-cli and the window alike: today's game as the working directory holds
// it is what the icons are compared with, the summary goes into the log, and the new icon count follows.

#include <string>
#include <vector>

#include "mods/icon_import.h"

struct Context;

// What import takes: the packs, first one first, and where the icons go (empty: the new icon directory).
struct ImportRequest {
    std::vector<std::string> sources;  // absolute paths, as the caller resolved them
    std::string into;
    bool all = false;      // also the icons equal to the game's
    bool replace = false;  // replace files already in the folder
};

struct PackImportRun {
    std::string iconDirectory;        // where the icons went, ending in the separator
    ImportOutcome outcome;            // none when the folder could not be created
    std::vector<std::string> errors;  // as reported, each naming the file and the entry
    std::string summary;              // importSummaryText with every name, as the log has it
};

// Imports into the request's folder; the settings' new icon count is rescanned when that is the new icon
// directory. The caller holds the working directory's lock.
PackImportRun importIconPacksInto(Context& context, const ImportRequest& request);
