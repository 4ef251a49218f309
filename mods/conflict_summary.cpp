// The text half of atlas_conflicts.h: one line per other mod's atlas.

#include "atlas/icon_state_summary.h"
#include "mods/atlas_conflicts.h"

namespace {

std::string holderName(const AtlasHolder& holder) {
    std::string name = holder.ravelins ? "Ravelin's in " + holder.shownName : holder.shownName;
    if (holder.id) name += " (" + *holder.id + ")";
    return name;
}

std::string shownName(const AtlasConflicts& conflicts, const std::optional<std::size_t>& holder) {
    return holder ? holderName(conflicts.holders[*holder]) : std::string("the game's own");
}

std::string notLoadedText(const AtlasConflicts& conflicts, const AtlasHolder& holder) {
    return "not loaded at all, since " + shownName(conflicts, holder.notLoadedBecauseOf) +
           " loads before it and also holds " + holder.sharedFile;
}

std::string useText(const AtlasConflicts& conflicts, const ForeignAtlasCopy& copy) {
    const AtlasHolder& holder = conflicts.holders[copy.holder];
    switch (copy.use) {
        case CopyUse::Used:
            return "the game shows this one";
        case CopyUse::Mixed:
            return "the game mixes its files with those of " + shownName(conflicts, copy.shownInstead) +
                   ", a mismatched atlas";
        case CopyUse::Hidden:
            break;
    }
    if (holder.notLoadedBecauseOf) return "the package is " + notLoadedText(conflicts, holder);
    return "hidden by " + shownName(conflicts, copy.shownInstead);
}

std::string lossText(const AtlasConflicts& conflicts, const ForeignAtlasCopy& copy) {
    if (!copy.entriesRavelinLacks) return {};
    const std::size_t count = copy.entriesRavelinLacks->size();
    if (count == 0) return "; Ravelin's atlas has all its entries";
    return "; it has " + std::to_string(count) + (count == 1 ? " entry" : " entries") +
           " Ravelin's atlas lacks (" + nameListText(*copy.entriesRavelinLacks, kConflictNamesShown) +
           "): ravelin-cli import \"" + conflicts.holders[copy.holder].path + "\" takes them in";
}

}  // namespace

std::vector<std::string> atlasConflictLines(const AtlasConflicts& conflicts) {
    std::vector<std::string> lines;
    for (const AtlasKind& kind : kAtlasKinds) {
        if (!conflicts.ravelinHidden[kind.index]) continue;
        for (const AtlasHolder& holder : conflicts.holders) {
            if (!holder.ravelins || holder.atlasFiles[kind.index].empty()) continue;
            lines.push_back(
                "Ravelin's " + std::string(kind.atlasName) + " in " + holder.shownName + " is not shown: " +
                (holder.notLoadedBecauseOf
                     ? "its package is " + notLoadedText(conflicts, holder)
                     : "the game shows " + shownName(conflicts, conflicts.shownInsteadOfRavelin[kind.index]) +
                           " instead"));
        }
    }
    for (const ForeignAtlasCopy& copy : conflicts.foreign) {
        lines.push_back(std::string(copy.kind->atlasName) + " of " +
                        holderName(conflicts.holders[copy.holder]) + ": " + useText(conflicts, copy) +
                        lossText(conflicts, copy));
    }
    return lines;
}
