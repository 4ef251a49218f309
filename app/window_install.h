#pragma once

// The main window's way into the game: "Create Atlases" with the check box checked also installs, and
// unchecking the box offers to take the installed atlases out again.

#include "app/build_summary_box.h"

struct Context;

// Builds both atlases; with install (the check box's state, or the one step after a patch), installs them
// into the game in the same progress window (not after a build with errors). The flow shows the outcome in
// one box.
WindowBuildOutcome createAtlasesFromWindow(Context& context, bool install);

// Stores the check box's state; unchecked while Ravelin's atlases are in the game, asks whether to take
// them out and shows the outcome.
void changeSaveInGameDirectory(Context& context, bool checked);
