#pragma once

// The steps that take the game's atlases apart and build new ones, shared by the desktop program and
// ravelin-cli. They store what they find in the settings.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "atlas/icon_states.h"
#include "game/package_unpacker.h"
#include "platform/step_outcome.h"

struct AtlasKind;
struct Context;
struct Settings;

// Each kind's files in the game's packages: its XML, and its PNG and DDS images (a client ships one or
// both).
std::vector<WantedAtlas> originalAtlasFiles();

struct GameAtlasesTakenApart {
    int entriesFound = 0;  // wanted entries met in the game's packages (0: none, and nothing was done)
    bool inPlace = false;  // the new files went in; else every earlier one stayed
    std::int32_t iconFilesWritten = 0;  // icon files created or rewritten: only those whose bytes changed
};
// Unpacks the original atlas files into "originalAtlases" and cuts the battle atlas, then the marker
// atlas, into their icons and catalogues, as one step: every file is written completely before any goes
// in, so a full disk or a folder that refuses a file leaves the earlier originals, icons, catalogues and
// lists of new icons, all of them (an error says so). A package that cannot be opened is a fatal error.
// Counts and atlas sizes are stored once the files are in place. With everyAtlas, an atlas whose files
// were not all unpacked stops the step too.
GameAtlasesTakenApart takeGameAtlasesApart(Context& context, bool everyAtlas = false);
// Takes the atlases apart again after a confirmed game update: only when every atlas file was unpacked
// anew (else an error, and the earlier icons stay); stores the new version only when both extractions gave
// icons. When the new files went in, how many icon files were rewritten; else none.
std::optional<std::int32_t> reloadGameAtlases(Context& context, const std::string& newVersion);
// What the user is told after an update: "Icon files rewritten: 12 (the others were unchanged)."
std::string rewrittenIconFilesText(std::int32_t rewritten);
// Whether the unpacked originals are today's client's (a DDS image beside the XML).
bool todaysClientOriginals(const Settings& settings);
// Counts the icons of the new icon directory.
void scanNewIconDirectory(Context& context);
// What "Create Atlases" did, as a value.
struct AtlasBuildsOutcome {
    // Done, with the working directory as its place, when every atlas was built without an error; else
    // Failed with the first error as its reason. A failed build may have written atlas files, but without
    // their build record they are neither installed nor packaged.
    StepOutcome outcome;
    // Per kind in kAtlasKinds' order, the states the build took the icons in.
    std::vector<AtlasIconStates> states;
};

// Marker atlas first, then the battle atlas; the progress window stays open for what follows. Each atlas
// built without an error gets its build record; only such atlases are installed.
AtlasBuildsOutcome buildBothAtlases(Context& context);
// The same, closing the progress window either way.
AtlasBuildsOutcome createAtlases(Context& context);
// The build record's file name in the working directory ("battleAtlas.built").
std::string buildRecordName(const AtlasKind& kind);
