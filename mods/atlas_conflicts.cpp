#include "mods/atlas_conflicts.h"

#include <algorithm>
#include <map>
#include <set>

#include "mods/package_order.h"
#include "platform/text_utilities.h"

// The game's choice, file by file (a file being its path below the game's res/, letter case ignored):
// 1. A file in res_mods/<folder>/ is shown, whatever the packages hold.
// 2. The packages load in this order: those load_order.xml lists, in its order (a package listed twice at
//    its first place), then the others sorted by their meta.xml id, or by file name where they have
//    none, in byte order, their paths below mods/<folder>/ breaking ties.
// 3. A listed package always loads; where several listed ones hold a file, the last listed wins.
// 4. A package not listed loads only when no package loaded before it holds a file of the same path;
//    otherwise it is not loaded at all, and none of its files is shown.

namespace {

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = foldAsciiCase(c);
    return lower;
}

std::string fileNameOf(const std::string& relativePath) {
    return relativePath.substr(relativePath.rfind('/') + 1);
}

// The packages in the order the game loads them, and how many of them come from load_order.xml.
std::vector<std::size_t> loadingOrder(const std::vector<AtlasHolder>& holders,
                                      const std::vector<std::string>& loadOrder, std::size_t& listedCount) {
    std::vector<std::pair<std::size_t, std::size_t>> listed;  // (place in the list, holder)
    std::vector<std::size_t> unlisted;
    for (std::size_t h = 0; h < holders.size(); ++h) {
        if (holders[h].looseFiles) continue;
        const auto place = std::find_if(loadOrder.begin(), loadOrder.end(), [&](const std::string& entry) {
            return loadOrderEntryNames(entry, holders[h].relativePath);
        });
        if (place != loadOrder.end())
            listed.emplace_back(static_cast<std::size_t>(place - loadOrder.begin()), h);
        else
            unlisted.push_back(h);
    }
    std::sort(listed.begin(), listed.end(), [&](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first
                                  : holders[a.second].relativePath < holders[b.second].relativePath;
    });
    const auto key = [&](std::size_t h) {
        return std::pair(holders[h].id.value_or(fileNameOf(holders[h].relativePath)),
                         holders[h].relativePath);
    };
    std::sort(unlisted.begin(), unlisted.end(),
              [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
    std::vector<std::size_t> order;
    for (const auto& entry : listed) order.push_back(entry.second);
    listedCount = order.size();
    order.insert(order.end(), unlisted.begin(), unlisted.end());
    return order;
}

std::vector<std::string> entriesLacking(const std::vector<std::string>& entries,
                                        const std::vector<std::string>& ravelins) {
    const std::set<std::string> known(ravelins.begin(), ravelins.end());
    std::set<std::string> seen;
    std::vector<std::string> lacking;
    for (const std::string& name : entries) {
        if (!known.contains(name) && seen.insert(name).second) lacking.push_back(name);
    }
    return lacking;
}

}  // namespace

AtlasConflicts decideAtlasConflicts(std::vector<AtlasHolder> holders,
                                    const std::vector<std::string>& loadOrder, const ConflictSearch& search) {
    AtlasConflicts conflicts;
    conflicts.holders = std::move(holders);
    std::vector<AtlasHolder>& all = conflicts.holders;

    // Which holder's copy of each file the game shows.
    std::map<std::string, std::size_t> shown;
    std::size_t listedCount = 0;
    const std::vector<std::size_t> order = loadingOrder(all, loadOrder, listedCount);
    for (std::size_t i = 0; i < order.size(); ++i) {
        AtlasHolder& package = all[order[i]];
        if (i >= listedCount) {
            const auto taken = std::find_if(package.gameFiles.begin(), package.gameFiles.end(),
                                            [&](const std::string& file) { return shown.contains(file); });
            if (taken != package.gameFiles.end()) {
                package.notLoadedBecauseOf = shown[*taken];
                package.sharedFile = *taken;
                continue;
            }
        }
        for (const std::string& file : package.gameFiles) shown[file] = order[i];
    }
    for (std::size_t h = 0; h < all.size(); ++h) {
        if (!all[h].looseFiles) continue;
        for (const std::string& file : all[h].gameFiles) shown[file] = h;
    }
    const auto shownFor = [&](const std::string& atlasFile) -> std::optional<std::size_t> {
        const auto found = shown.find(std::string(kAtlasFolderInGame) + atlasFile);
        return found == shown.end() ? std::nullopt : std::optional(found->second);
    };

    for (const AtlasKind& kind : kAtlasKinds) {
        const std::string xmlName = lowerCase(kind.atlasXmlName);
        for (std::size_t h = 0; h < all.size(); ++h) {
            const std::vector<std::string>& files = all[h].atlasFiles[kind.index];
            if (files.empty()) continue;
            std::size_t used = 0;
            std::optional<std::string> firstHidden;
            for (const std::string& file : files) {
                if (shownFor(file) == h)
                    ++used;
                else if (!firstHidden || file == xmlName)
                    firstHidden = file;
            }
            std::optional<std::size_t> instead = firstHidden ? shownFor(*firstHidden) : std::nullopt;
            // All its files shown, but the game takes a piece it lacks (its image of the other format, or
            // its XML) from another copy: that mixes too.
            bool mixed = used > 0 && used < files.size();
            if (used == files.size()) {
                for (const std::string_view name :
                     {kind.atlasXmlName, kind.atlasDdsImageName, kind.atlasImageName}) {
                    const std::string lower = lowerCase(name);
                    const std::optional<std::size_t> owner = shownFor(lower);
                    if (owner && *owner != h && std::find(files.begin(), files.end(), lower) == files.end()) {
                        mixed = true;
                        instead = owner;
                        break;
                    }
                }
            }
            if (all[h].ravelins) {
                if (used == 0) {
                    conflicts.ravelinHidden[kind.index] = true;
                    conflicts.shownInsteadOfRavelin[kind.index] = instead;
                }
                continue;
            }
            ForeignAtlasCopy copy;
            copy.kind = &kind;
            copy.holder = h;
            copy.use = used == 0 ? CopyUse::Hidden : mixed ? CopyUse::Mixed : CopyUse::Used;
            copy.shownInstead = instead;
            if (all[h].entries[kind.index] && search.ravelinEntries[kind.index])
                copy.entriesRavelinLacks =
                    entriesLacking(*all[h].entries[kind.index], *search.ravelinEntries[kind.index]);
            conflicts.foreign.push_back(std::move(copy));
        }
    }
    return conflicts;
}
