#pragma once

// The box after an import from the window: the build summary's box with its own title, the counts per
// atlas and the names the game lacks or the pack lacks in short, the errors with the file and the entry,
// and every name behind the expandable area.

#include "app/pack_import.h"
#include "ui/build_summary_view.h"

BuildSummaryView importSummaryViewOf(const PackImportRun& run);
