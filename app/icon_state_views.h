#pragma once

// The icon-state model of the atlases the settings name, and what the program makes of it: the build
// summary, the status counts.

#include <cstddef>
#include <string>
#include <vector>

#include "atlas/icon_states.h"
#include "ui/icon_overview_view.h"

struct Settings;

IconStateModel currentIconStates(const Settings& settings);

// Where "Create Atlases" puts the new atlases.
std::string atlasOutputDirectory(const Settings& settings);

// What the icon overview shows of the model.
IconOverviewView iconOverviewViewOf(const IconStateModel& model);

// The summary after "Create Atlases", made from the states the build took the icons in (per kind in
// kAtlasKinds' order); lists cut after listLimit names (0: all).
std::string buildSummaryText(const Settings& settings, const std::vector<AtlasIconStates>& built,
                             std::size_t listLimit);
