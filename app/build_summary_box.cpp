#include "app/build_summary_box.h"

#include <vector>

#include "atlas/atlas_kind.h"
#include "atlas/icon_state_summary.h"
#include "atlas/icon_states.h"
#include "platform/localized_text.h"

namespace {

constexpr std::size_t kNamesInText = 5;  // the rest are in the details

std::string joined(const std::vector<std::string>& names) {
    return nameListText(names, kNamesInText);
}

std::string headlineOf(const WindowBuildOutcome& outcome, const std::string& outputDirectory) {
    if (outcome.install) {
        const StepOutcome& install = *outcome.install;
        if (!install.succeeded()) {
            std::string reason = localizedLine(install.reason);
            if (!install.reason.ends_with("as they were."))
                reason += " " + localized("The game's files are as they were.");
            return localized("The new atlases were not put into the game: {reason}", {{"reason", reason}});
        }
        return localized("The new atlases are in the game: {place}", {{"place", install.place}});
    }
    if (!outcome.build.succeeded()) {
        return outcome.installWanted
                   ? localized("The new atlases were built with errors, so they were not put into the game.")
                   : localized("The new atlases were built with errors.");
    }
    return localized("The new atlases are in {directory}", {{"directory", outputDirectory}});
}

// The replacement files that did not stand in for their icons, by file name.
std::vector<std::string> filesWhere(const IconStateModel& states, IconState state) {
    std::vector<std::string> names;
    for (const AtlasIconStates& atlas : states.atlases) {
        for (const IconStateEntry& icon : atlas.icons)
            if (icon.state == state) names.push_back(icon.name + ".png");
    }
    return names;
}

}  // namespace

BuildSummaryView buildSummaryViewOf(const IconStateModel& states, const WindowBuildOutcome& outcome,
                                    const std::string& outputDirectory) {
    BuildSummaryView view;
    view.folder = outputDirectory;
    view.headline = headlineOf(outcome, outputDirectory);
    const bool leftovers = outcome.install && !outcome.install->leftovers.empty();
    const std::vector<std::string> unreadable = filesWhere(states, IconState::UnreadableReplacement);
    view.warning = !outcome.build.succeeded() || (outcome.install && !outcome.install->succeeded()) ||
                   leftovers || !unreadable.empty();

    std::string& text = view.text;
    if (leftovers)
        text +=
            localized("These older files could not be taken out of the game; remove them by hand: {files}",
                      {{"files", joined(outcome.install->leftovers)}}) +
            "\n\n";
    if (!unreadable.empty())
        text += localized("Unreadable, the default icon was used") + ": " + joined(unreadable) + "\n" +
                localized("Fix or remove these files, then Create Atlases again.") + "\n\n";
    const std::vector<std::string> empty = filesWhere(states, IconState::EmptyReplacement);
    if (!empty.empty())
        text += localized("Empty file, the default icon is used") + ": " + joined(empty) + "\n\n";
    if (!outcome.build.succeeded())
        text += localized("First error: {error}", {{"error", localizedLine(outcome.build.reason)}}) + "\n" +
                localized("ravelin.log has every error.") + "\n\n";
    for (const AtlasIconStates& atlas : states.atlases) {
        text += std::string(atlas.kind->atlasName) + ": " +
                (atlas.catalogueFound ? iconStateCountsText(atlas.counts) : localized("no icon list")) + "\n";
    }
    if (!states.unmatched.empty()) {
        std::vector<std::string> files;
        for (const UnmatchedIconFile& file : states.unmatched)
            files.push_back(file.suggestion.empty()
                                ? file.fileName
                                : file.fileName + " " +
                                      localized("(nearest icon: {name})", {{"name", file.suggestion}}));
        text += localized("Files that match no icon: {files}", {{"files", joined(files)}}) + "\n";
    }
    view.details = iconStateSummary(states, outputDirectory, 0);
    if (!outcome.otherMods.empty()) {
        text +=
            "\n" +
            localizedPlural(static_cast<std::int64_t>(outcome.otherMods.size()),
                            "Other mods ship the atlases too ({count} line in the details): which copy the "
                            "game shows, and what the hidden ones lose.",
                            "Other mods ship the atlases too ({count} lines in the details): which copy the "
                            "game shows, and what the hidden ones lose.") +
            "\n";
        std::string lines = localized("Other mods ship the atlases too:") + "\n";
        for (const std::string& line : outcome.otherMods) lines += "  " + line + "\n";
        view.details = lines + "\n" + view.details;
    }
    return view;
}
