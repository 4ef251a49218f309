#include "atlas/icon_state_summary.h"

#include <functional>
#include <vector>

#include "atlas/atlas_kind.h"
#include "atlas/icon_states.h"
#include "platform/localized_text.h"

std::string iconStateCountsText(const IconStateCounts& counts) {
    // Empty files are rare and named only when there are some, so the usual line stays as it was.
    const std::string empty =
        counts.empty ? localizedPlural(counts.empty, "{count} empty file", "{count} empty files") + ", " : "";
    return localized(
        "{icons}, {replaced} replaced, {unreadable}, {empty}{otherSize} of another size, {newIcons} new "
        "since the "
        "last game version",
        {{"icons", localizedPlural(counts.icons, "{count} icon", "{count} icons")},
         {"replaced", counts.replaced},
         {"unreadable", localizedPlural(counts.unreadable, "{count} unreadable replacement",
                                        "{count} unreadable replacements")},
         {"empty", empty},
         {"otherSize", counts.otherSize},
         {"newIcons", counts.newIcons}});
}

namespace {

// "  heading: a, b, c and 3 more" with at most limit items (all for 0).
std::string listLine(const std::string& heading, const std::vector<std::string>& items, std::size_t limit) {
    return "  " + heading + ": " + nameListText(items, limit) + "\n";
}

std::vector<std::string> namesWhere(const AtlasIconStates& atlas,
                                    const std::function<std::string(const IconStateEntry&)>& describe) {
    std::vector<std::string> names;
    for (const IconStateEntry& icon : atlas.icons) {
        std::string text = describe(icon);
        if (!text.empty()) names.push_back(std::move(text));
    }
    return names;
}

std::string atlasSection(const AtlasIconStates& atlas, std::size_t limit) {
    const std::string name(atlas.kind->atlasName);
    if (!atlas.catalogueFound)
        return localized("{atlas}: no icon list; take the game's atlases apart first", {{"atlas", name}}) +
               "\n";
    std::string text = name + ": " + iconStateCountsText(atlas.counts) + "\n";
    const auto unreadable = namesWhere(atlas, [](const IconStateEntry& icon) {
        return icon.state == IconState::UnreadableReplacement ? icon.name + ".png" : std::string();
    });
    if (!unreadable.empty())
        text += listLine(localized("Unreadable, the default icon was used"), unreadable, limit);
    const auto empty = namesWhere(atlas, [](const IconStateEntry& icon) {
        return icon.state == IconState::EmptyReplacement ? icon.name + ".png" : std::string();
    });
    if (!empty.empty()) text += listLine(localized("Empty file, the default icon is used"), empty, limit);
    const auto otherSize = namesWhere(atlas, [](const IconStateEntry& icon) {
        if (icon.state != IconState::OtherSize) return std::string();
        return icon.name + ".png (" + sizeChangeText(icon) + ")";
    });
    if (!otherSize.empty())
        text += listLine(localized("Of another size than the icon they replace"), otherSize, limit);
    const auto newDefaults = namesWhere(atlas, [](const IconStateEntry& icon) {
        return icon.isNew && !icon.hasReplacement() ? icon.name : std::string();
    });
    if (!newDefaults.empty()) {
        text += listLine(localizedPlural(static_cast<std::int64_t>(newDefaults.size()),
                                         "{count} new vehicle has no replacement yet",
                                         "{count} new vehicles have no replacement yet"),
                         newDefaults, limit);
    }
    return text;
}

}  // namespace

std::string nameListText(const std::vector<std::string>& items, std::size_t limit) {
    std::string text;
    const std::size_t shown = limit == 0 ? items.size() : std::min(limit, items.size());
    for (std::size_t i = 0; i < shown; ++i) text += (i ? ", " : "") + items[i];
    if (shown < items.size()) text += " " + localized("and {count} more", {{"count", items.size() - shown}});
    return text;
}

std::string sizeChangeText(const IconStateEntry& icon) {
    return localized("{width} x {height} instead of {iconWidth} x {iconHeight}",
                     {{"width", icon.replacementWidth},
                      {"height", icon.replacementHeight},
                      {"iconWidth", icon.width},
                      {"iconHeight", icon.height}});
}

std::string iconStateSummary(const IconStateModel& model, const std::string& outputDirectory,
                             std::size_t listLimit) {
    std::string text;
    for (const AtlasIconStates& atlas : model.atlases) text += atlasSection(atlas, listLimit);
    if (model.unmatched.empty()) {
        text += localized("Every file in the replacement folder matches an icon.") + "\n";
    } else {
        text += localizedPlural(static_cast<std::int64_t>(model.unmatched.size()),
                                "{count} file in the replacement folder matches no icon:",
                                "{count} files in the replacement folder match no icon:") +
                "\n";
        const std::size_t shown =
            listLimit == 0 ? model.unmatched.size() : std::min(listLimit, model.unmatched.size());
        for (std::size_t i = 0; i < shown; ++i) {
            const UnmatchedIconFile& file = model.unmatched[i];
            text += "  " + file.fileName;
            if (!file.suggestion.empty())
                text += " " + localized("(nearest icon: {name})", {{"name", file.suggestion}});
            text += "\n";
        }
        if (shown < model.unmatched.size())
            text += "  " + localized("and {count} more", {{"count", model.unmatched.size() - shown}}) + "\n";
    }
    return text + localized("The new atlases are in {directory}", {{"directory", outputDirectory}}) + "\n";
}

std::string iconStateCountLines(const IconStateModel& model) {
    std::string text;
    for (const AtlasIconStates& atlas : model.atlases) {
        text += std::string(atlas.kind->atlasName) + ": " +
                (atlas.catalogueFound ? iconStateCountsText(atlas.counts) : localized("no icon list")) + "\n";
    }
    return text + localized("Files matching no icon: {count}", {{"count", model.unmatched.size()}}) + "\n";
}
