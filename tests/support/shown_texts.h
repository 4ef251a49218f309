#pragma once

// Texts the windows show that come from the layers below them, in the language chosen: for the windows'
// tests that no caption is cut, and for the gallery's pictures. Header-only, so that both backends' suites
// take it without linking the layers.

#include <string>
#include <vector>

#include "platform/localized_text.h"
#include "ui/build_summary_view.h"

// The progress window's titles as the steps open it, with the longest atlas name.
inline std::vector<std::string> progressTitles() {
    const std::string atlas = "vehicleMarkerAtlas";
    return {localized("Unpacking Atlas files"),
            localized("Extract original {atlas} icons", {{"atlas", atlas}}),
            localized("Searching for new icons"),
            localized("Creating Atlas files {atlas}", {{"atlas", atlas}}),
            localized("Import {atlas} icons", {{"atlas", atlas}}),
            localized("Import loose icons"),
            localized("Installing the new atlases")};
}

// The progress window's texts that name no file.
inline std::vector<std::string> progressTexts() {
    return {localized("Getting icons ..."), localized("Getting icon size and rearange them ..."),
            localized("Saving Atlas image and Xml file"), localized("Putting the new atlases into the game"),
            localized("Looking for other mods' atlases")};
}

// A build summary that went partly wrong, as the program words it, with the atlases in directory.
inline BuildSummaryView exampleBuildSummary(const std::string& directory) {
    const std::string counts = localized(
        "{icons}, {replaced} replaced, {unreadable}, {empty}{otherSize} of another size, {newIcons} new "
        "since the last game version",
        {{"icons", localizedPlural(1523, "{count} icon", "{count} icons")},
         {"replaced", 212},
         {"unreadable",
          localizedPlural(1, "{count} unreadable replacement", "{count} unreadable replacements")},
         {"empty", ""},
         {"otherSize", 3},
         {"newIcons", 22}});
    return {true,
            localized("The new atlases are in {directory}", {{"directory", directory}}),
            localized("Unreadable, the default icon was used") + ": germany-G65_JgTig_8_8cm.png\n" +
                localized("Fix or remove these files, then Create Atlases again.") +
                "\n\nbattleAtlas: " + counts + "\n",
            "",
            directory,
            ""};
}
