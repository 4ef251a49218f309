#include <algorithm>

#include "mods/icon_import.h"

#include "platform/localized_text.h"

namespace {

// "  heading: a, b, c and 3 more" with at most limit names (all for 0).
std::string listLine(const std::string& heading, const std::vector<std::string>& names, std::size_t limit) {
    if (names.empty()) return {};
    std::string line = "  " + heading + ": ";
    const std::size_t shown = limit == 0 ? names.size() : std::min(limit, names.size());
    for (std::size_t i = 0; i < shown; ++i) line += (i ? ", " : "") + names[i];
    if (shown < names.size()) line += " " + localized("and {count} more", {{"count", names.size() - shown}});
    return line + "\n";
}

std::string partSection(const PackPartImport& part, std::size_t limit) {
    std::string text =
        (part.kind
             ? localized("{atlas} from {source}", {{"atlas", part.kind->atlasName}, {"source", part.source}})
             : localized("Loose icons from {source}", {{"source", part.source}})) +
        ": " +
        localized("{icons}, {imported} imported, {equal} equal to the game's, {kept} kept",
                  {{"icons",
                    localizedPlural(static_cast<std::int64_t>(part.icons), "{count} icon", "{count} icons")},
                   {"imported", part.imported},
                   {"equal", part.equal},
                   {"kept", part.kept.size()}});
    if (part.earlier)
        text +=
            ", " + localized("{count} already given by an earlier atlas or pack", {{"count", part.earlier}});
    if (part.failed) text += ", " + localized("{count} unreadable", {{"count", part.failed}});
    text += "\n";
    text += listLine(localized("Kept, the folder has other files of these names (--replace replaces them)"),
                     part.kept, limit);
    text += listLine(part.kind ? localized("Not in today's game, imported into extra/{atlas}",
                                           {{"atlas", part.kind->atlasName}})
                               : localized("Not in today's game, left out"),
                     part.unknownNames, limit);
    text += listLine(localized("In today's game, not in the pack: they get the game's icon"),
                     part.missingNames, limit);
    return text;
}

}  // namespace

std::string importSummaryText(const ImportOutcome& outcome, const std::string& iconDirectory,
                              std::size_t listLimit) {
    std::string text;
    for (const PackPartImport& part : outcome.parts) text += partSection(part, listLimit);
    if (outcome.parts.empty()) text += localized("Nothing was imported.") + "\n";
    text += localized("Icons folder: {directory}", {{"directory", iconDirectory}}) + "\n";
    return text;
}
