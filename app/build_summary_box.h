#pragma once

// The one box after "Create Atlases": what the build and the install returned, and the icon states the
// build used, as a headline, the counts with what needs a look, and every name behind an expandable area.

#include <optional>
#include <string>

#include "platform/step_outcome.h"
#include "ui/build_summary_view.h"

struct IconStateModel;

struct WindowBuildOutcome {
    StepOutcome build;                   // failed, with the first error as reason, when it logged errors
    std::optional<StepOutcome> install;  // when the check box asked for the game and the build was clean
    bool installWanted = false;          // the check box was checked
};

BuildSummaryView buildSummaryViewOf(const IconStateModel& states, const WindowBuildOutcome& outcome,
                                    const std::string& outputDirectory);
