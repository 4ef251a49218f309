#include <algorithm>

#include "mods/icon_import.h"

namespace {

std::string count(std::size_t number, const std::string& one, const std::string& many) {
    return std::to_string(number) + " " + (number == 1 ? one : many);
}

// "  heading: a, b, c and 3 more" with at most limit names (all for 0).
std::string listLine(const std::string& heading, const std::vector<std::string>& names, std::size_t limit) {
    if (names.empty()) return {};
    std::string line = "  " + heading + ": ";
    const std::size_t shown = limit == 0 ? names.size() : std::min(limit, names.size());
    for (std::size_t i = 0; i < shown; ++i) line += (i ? ", " : "") + names[i];
    if (shown < names.size()) line += " and " + std::to_string(names.size() - shown) + " more";
    return line + "\n";
}

std::string partSection(const PackPartImport& part, std::size_t limit) {
    std::string text = (part.kind ? std::string(part.kind->atlasName) + " from " : "Loose icons from ") +
                       part.source + ": " + count(part.icons, "icon", "icons") + ", " +
                       std::to_string(part.imported) + " imported, " + std::to_string(part.equal) +
                       " equal to the game's, " + std::to_string(part.kept.size()) + " kept";
    if (part.earlier)
        text += ", " + std::to_string(part.earlier) + " already given by an earlier atlas or pack";
    if (part.failed) text += ", " + std::to_string(part.failed) + " unreadable";
    text += "\n";
    text += listLine("Kept, the folder has other files of these names (--replace replaces them)", part.kept,
                     limit);
    text +=
        listLine(part.kind ? "Not in today's game, imported into extra/" + std::string(part.kind->atlasName)
                           : "Not in today's game, left out",
                 part.unknownNames, limit);
    text += listLine("In today's game, not in the pack: they get the game's icon", part.missingNames, limit);
    return text;
}

}  // namespace

std::string importSummaryText(const ImportOutcome& outcome, const std::string& iconDirectory,
                              std::size_t listLimit) {
    std::string text;
    for (const PackPartImport& part : outcome.parts) text += partSection(part, listLimit);
    if (outcome.parts.empty()) text += "Nothing was imported.\n";
    text += "Icons folder: " + iconDirectory + "\n";
    return text;
}
