#include "atlas/icon_state_summary.h"

#include <functional>
#include <vector>

#include "atlas/atlas_kind.h"
#include "atlas/icon_states.h"

namespace {

std::string count(std::size_t number, const std::string& one, const std::string& many) {
    return std::to_string(number) + " " + (number == 1 ? one : many);
}

}  // namespace

std::string iconStateCountsText(const IconStateCounts& counts) {
    // Empty files are rare and named only when there are some, so the usual line stays as it was.
    const std::string empty = counts.empty ? count(counts.empty, "empty file", "empty files") + ", " : "";
    return count(counts.icons, "icon", "icons") + ", " + std::to_string(counts.replaced) + " replaced, " +
           count(counts.unreadable, "unreadable replacement", "unreadable replacements") + ", " + empty +
           std::to_string(counts.otherSize) + " of another size, " + std::to_string(counts.newIcons) +
           " new since the last game version";
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
    if (!atlas.catalogueFound) return name + ": no icon list; take the game's atlases apart first\n";
    std::string text = name + ": " + iconStateCountsText(atlas.counts) + "\n";
    const auto unreadable = namesWhere(atlas, [](const IconStateEntry& icon) {
        return icon.state == IconState::UnreadableReplacement ? icon.name + ".png" : std::string();
    });
    if (!unreadable.empty()) text += listLine("Unreadable, the default icon was used", unreadable, limit);
    const auto empty = namesWhere(atlas, [](const IconStateEntry& icon) {
        return icon.state == IconState::EmptyReplacement ? icon.name + ".png" : std::string();
    });
    if (!empty.empty()) text += listLine("Empty file, the default icon is used", empty, limit);
    const auto otherSize = namesWhere(atlas, [](const IconStateEntry& icon) {
        if (icon.state != IconState::OtherSize) return std::string();
        return icon.name + ".png (" + sizeChangeText(icon) + ")";
    });
    if (!otherSize.empty()) text += listLine("Of another size than the icon they replace", otherSize, limit);
    const auto newDefaults = namesWhere(atlas, [](const IconStateEntry& icon) {
        return icon.isNew && !icon.hasReplacement() ? icon.name : std::string();
    });
    if (!newDefaults.empty()) {
        const std::size_t n = newDefaults.size();
        text += listLine(
            std::to_string(n) + (n == 1 ? " new vehicle has" : " new vehicles have") + " no replacement yet",
            newDefaults, limit);
    }
    return text;
}

}  // namespace

std::string nameListText(const std::vector<std::string>& items, std::size_t limit) {
    std::string text;
    const std::size_t shown = limit == 0 ? items.size() : std::min(limit, items.size());
    for (std::size_t i = 0; i < shown; ++i) text += (i ? ", " : "") + items[i];
    if (shown < items.size()) text += " and " + std::to_string(items.size() - shown) + " more";
    return text;
}

std::string sizeChangeText(const IconStateEntry& icon) {
    return std::to_string(icon.replacementWidth) + " x " + std::to_string(icon.replacementHeight) +
           " instead of " + std::to_string(icon.width) + " x " + std::to_string(icon.height);
}

std::string iconStateSummary(const IconStateModel& model, const std::string& outputDirectory,
                             std::size_t listLimit) {
    std::string text;
    for (const AtlasIconStates& atlas : model.atlases) text += atlasSection(atlas, listLimit);
    if (model.unmatched.empty()) {
        text += "Every file in the replacement folder matches an icon.\n";
    } else {
        text += count(model.unmatched.size(), "file", "files") + " in the replacement folder " +
                (model.unmatched.size() == 1 ? "matches" : "match") + " no icon:\n";
        const std::size_t shown =
            listLimit == 0 ? model.unmatched.size() : std::min(listLimit, model.unmatched.size());
        for (std::size_t i = 0; i < shown; ++i) {
            const UnmatchedIconFile& file = model.unmatched[i];
            text += "  " + file.fileName;
            if (!file.suggestion.empty()) text += " (nearest icon: " + file.suggestion + ")";
            text += "\n";
        }
        if (shown < model.unmatched.size())
            text += "  and " + std::to_string(model.unmatched.size() - shown) + " more\n";
    }
    return text + "The new atlases are in " + outputDirectory + "\n";
}

std::string iconStateCountLines(const IconStateModel& model) {
    std::string text;
    for (const AtlasIconStates& atlas : model.atlases) {
        text += std::string(atlas.kind->atlasName) + ": " +
                (atlas.catalogueFound ? iconStateCountsText(atlas.counts) : std::string("no icon list")) +
                "\n";
    }
    return text + "Files matching no icon: " + std::to_string(model.unmatched.size()) + "\n";
}
