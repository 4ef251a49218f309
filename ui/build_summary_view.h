#pragma once

// What the one box after "Create Atlases" (and, with its own title, after an import) shows: the outcome in
// one headline, the counts and what needs a look beneath it, and every name in an area the user expands. Its
// buttons open the atlases' folder or the icon overview.

#include <string>

struct BuildSummaryView {
    bool warning = false;  // something went wrong: "Atlases created with errors" and a warning sign
    std::string headline;  // installed and where, or not installed and why; or where the atlases are
    std::string text;      // the counts, the files that need a look and the remedy
    std::string details;   // every name; empty: no expandable area
    std::string folder;    // what "Open folder" shows
    std::string title;     // another box's title (an import's); empty: the build's, as warning says
};

// How the box was left ("Open folder" opens the folder in the backend and closes the box too).
enum class BuildSummaryChoice { Close, ShowIcons };

// The button that closed the box, inside the backends.
enum class SummaryBoxButton { Ok, OpenFolder, ShowIcons };
