#pragma once

// The steps that take the game's atlases apart and build new ones, shared by the desktop program and
// ravelin-cli. They store what they find in the settings.

#include <string>
#include <vector>

#include "atlas/icon_states.h"
#include "game/package_unpacker.h"
#include "platform/step_outcome.h"

struct AtlasKind;
struct Context;

// Each kind's files in the game's packages: its XML, and its PNG and DDS images (a client ships one or
// both).
std::vector<WantedAtlas> originalAtlasFiles();
// Unpacks the original atlas files into "originalAtlases"; a package that cannot be opened is a fatal
// error. Returns how many wanted entries were met (0: none).
int unpackGameAtlases(Context& context);
// Battle atlas first, then the marker atlas; counts and atlas sizes are stored as found.
void extractBothAtlases(Context& context);
// Unpacks and extracts again after a confirmed game update: only when every atlas file was unpacked anew
// (else an error, and the earlier icons stay); stores the new version only when both extractions gave
// icons.
void reloadGameAtlases(Context& context, const std::string& newVersion);
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
