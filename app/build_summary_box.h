#pragma once

// The one box after "Create Atlases": what the build and the install returned, and the icon states the
// build used, as a headline, the counts with what needs a look, and every name behind an expandable area.

#include <optional>
#include <string>
#include <vector>

#include "atlas/icon_states.h"
#include "platform/step_outcome.h"
#include "ui/build_summary_view.h"

struct WindowBuildOutcome {
    StepOutcome build;                    // failed, with the first error as reason, when it had errors
    std::vector<AtlasIconStates> states;  // per kind in kAtlasKinds' order, as the build took the icons
    std::optional<StepOutcome> install;   // when the check box asked for the game and the build was clean
    bool installWanted = false;           // the check box was checked
    std::vector<std::string> otherMods;   // after an install: the other mods' atlases, a line each
};

BuildSummaryView buildSummaryViewOf(const IconStateModel& states, const WindowBuildOutcome& outcome,
                                    const std::string& outputDirectory);
