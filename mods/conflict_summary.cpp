// The text half of atlas_conflicts.h: one line per other mod's atlas.

#include "atlas/icon_state_summary.h"
#include "mods/atlas_conflicts.h"

namespace {

std::string englishPlural(std::int64_t count, std::string_view singular, std::string_view plural,
                          std::initializer_list<TextArgument> arguments) {
    // The count goes into the English text first, so that no value filled in is read for placeholders.
    const std::string withCount = fillPlaceholders(count == 1 ? singular : plural, {{"count", count}});
    return fillPlaceholders(withCount, arguments);
}

std::string holderName(const AtlasHolder& holder, const ConflictWording& wording) {
    std::string name = holder.ravelins
                           ? wording.localized("Ravelin's in {place}", {{"place", holder.shownName}})
                           : holder.shownName;
    if (holder.id) name += " (" + *holder.id + ")";
    return name;
}

std::string shownName(const AtlasConflicts& conflicts, const std::optional<std::size_t>& holder,
                      const ConflictWording& wording) {
    return holder ? holderName(conflicts.holders[*holder], wording) : wording.localized("the game's own", {});
}

std::string useText(const AtlasConflicts& conflicts, const ForeignAtlasCopy& copy,
                    const ConflictWording& wording) {
    const AtlasHolder& holder = conflicts.holders[copy.holder];
    const std::string atlas(copy.kind->atlasName);
    const std::string mod = holderName(holder, wording);
    const std::string other = shownName(conflicts, copy.shownInstead, wording);
    switch (copy.use) {
        case CopyUse::Used:
            return wording.localized("{atlas} of {mod}: the game shows this one.",
                                     {{"atlas", atlas}, {"mod", mod}});
        case CopyUse::Mixed:
            return wording.localized(
                "{atlas} of {mod}: the game mixes its files with those of {other}, a mismatched atlas.",
                {{"atlas", atlas}, {"mod", mod}, {"other", other}});
        case CopyUse::Hidden:
            break;
    }
    if (holder.notLoadedBecauseOf)
        return wording.localized(
            "{atlas} of {mod}: the package is not loaded at all, since {other} loads before it and also "
            "holds "
            "{file}.",
            {{"atlas", atlas},
             {"mod", mod},
             {"other", shownName(conflicts, holder.notLoadedBecauseOf, wording)},
             {"file", holder.sharedFile}});
    return wording.localized("{atlas} of {mod}: hidden by {other}.",
                             {{"atlas", atlas}, {"mod", mod}, {"other", other}});
}

std::string lossText(const AtlasConflicts& conflicts, const ForeignAtlasCopy& copy,
                     const ConflictWording& wording) {
    if (!copy.entriesRavelinLacks) return {};
    const std::size_t count = copy.entriesRavelinLacks->size();
    if (count == 0) return " " + wording.localized("Ravelin's atlas has all its entries.", {});
    return " " +
           wording.localizedPlural(
               static_cast<std::int64_t>(count),
               "It has {count} entry Ravelin's atlas lacks ({names}): ravelin-cli import \"{path}\" takes it "
               "in.",
               "It has {count} entries Ravelin's atlas lacks ({names}): ravelin-cli import \"{path}\" takes "
               "them in.",
               {{"names", nameListText(*copy.entriesRavelinLacks, kConflictNamesShown)},
                {"path", conflicts.holders[copy.holder].path}});
}

}  // namespace

const ConflictWording kEnglishConflictWording{fillPlaceholders, englishPlural};
const ConflictWording kLocalizedConflictWording{localized, localizedPlural};

std::vector<std::string> atlasConflictLines(const AtlasConflicts& conflicts, const ConflictWording& wording) {
    std::vector<std::string> lines;
    for (const AtlasKind& kind : kAtlasKinds) {
        if (!conflicts.ravelinHidden[kind.index]) continue;
        for (const AtlasHolder& holder : conflicts.holders) {
            if (!holder.ravelins || holder.atlasFiles[kind.index].empty()) continue;
            const std::string atlas(kind.atlasName);
            if (holder.notLoadedBecauseOf)
                lines.push_back(
                    wording.localized("Ravelin's {atlas} in {place} is not shown: its package is not loaded "
                                      "at all, since {other} "
                                      "loads before it and also holds {file}.",
                                      {{"atlas", atlas},
                                       {"place", holder.shownName},
                                       {"other", shownName(conflicts, holder.notLoadedBecauseOf, wording)},
                                       {"file", holder.sharedFile}}));
            else
                lines.push_back(wording.localized(
                    "Ravelin's {atlas} in {place} is not shown: the game shows {other} instead.",
                    {{"atlas", atlas},
                     {"place", holder.shownName},
                     {"other", shownName(conflicts, conflicts.shownInsteadOfRavelin[kind.index], wording)}}));
        }
    }
    for (const ForeignAtlasCopy& copy : conflicts.foreign)
        lines.push_back(useText(conflicts, copy, wording) + lossText(conflicts, copy, wording));
    return lines;
}
