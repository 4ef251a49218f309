#include "atlas/icon_states.h"

#include <algorithm>
#include <unordered_set>

#include "atlas/atlas_kind.h"
#include "atlas/icon_catalogue.h"
#include "atlas/nearest_name.h"
#include "atlas/new_icon_names.h"
#include "platform/file_system.h"
#include "platform/parallel_work.h"
#include "platform/text_utilities.h"

namespace {

constexpr std::string_view kIconExtension = ".png";

AtlasIconStates atlasStates(const IconStateSource& source, const std::string& workingDirectory,
                            const std::string& replacementDirectory) {
    AtlasIconStates atlas;
    atlas.kind = &source.kind;
    const auto catalogue = readCatalogueEntries(workingDirectory + std::string(source.kind.catalogueName));
    if (!catalogue) return atlas;
    atlas.catalogueFound = true;
    atlas.icons = resolveIconStates(*catalogue, replacementDirectory, source.defaultIconDirectory);
    finishAtlasIconStates(atlas, workingDirectory);
    return atlas;
}

// A file name as the file system compares it.
std::string comparedName(std::string name) {
    if (kFileNamesIgnoreCase) {
        for (char& c : name) c = foldAsciiCase(c);
    }
    return name;
}

std::vector<UnmatchedIconFile> unmatchedFiles(const std::vector<AtlasIconStates>& atlases,
                                              const std::string& replacementDirectory) {
    std::vector<std::string> names;
    std::unordered_set<std::string> taken;
    for (const AtlasIconStates& atlas : atlases) {
        for (const IconStateEntry& icon : atlas.icons) {
            names.push_back(icon.name);
            taken.insert(comparedName(icon.name + std::string(kIconExtension)));
        }
    }
    std::vector<UnmatchedIconFile> unmatched;
    std::optional<DirectoryListing> listing = DirectoryListing::open(replacementDirectory, "*.png");
    if (!listing) return unmatched;
    while (listing->next()) {
        if (listing->entryType() != DirectoryListing::EntryType::File) continue;
        const std::string& fileName = listing->entryName();
        if (taken.count(comparedName(fileName))) continue;
        const std::string stem = fileName.substr(0, fileName.size() - kIconExtension.size());
        unmatched.push_back({fileName, NearestNameFinder(stem).nearestOf(names).name});
    }
    std::sort(unmatched.begin(), unmatched.end(),
              [](const UnmatchedIconFile& a, const UnmatchedIconFile& b) { return a.fileName < b.fileName; });
    return unmatched;
}

}  // namespace

IconStateEntry iconStateEntryOf(const CatalogueEntry& icon, const IconSource& source) {
    IconStateEntry entry;
    entry.name = icon.name;
    entry.state = source.state;
    entry.width = icon.width;
    entry.height = icon.height;
    entry.defaultPath = source.defaultPath;
    entry.replacementPath = source.replacementPath;
    if (source.replacement) {
        entry.replacementWidth = source.replacement->width();
        entry.replacementHeight = source.replacement->height();
    }
    return entry;
}

std::vector<IconStateEntry> resolveIconStates(const std::vector<CatalogueEntry>& catalogue,
                                              const std::string& replacementDirectory,
                                              const std::string& defaultDirectory) {
    std::vector<IconStateEntry> entries;
    entries.reserve(catalogue.size());
    // The pixels are not kept: a few sources ahead keep both cores busy and memory small.
    constexpr std::size_t kAhead = 32;
    const FolderNames replacementNames = FolderNames::of(replacementDirectory);
    produceInOrder<IconStateEntry>(
        catalogue.size(), kAhead,
        [&](std::size_t index) {
            return iconStateEntryOf(
                catalogue[index], resolveIconSource(catalogue[index], replacementDirectory, defaultDirectory,
                                                    &replacementNames));
        },
        [&](std::size_t, IconStateEntry&& entry) { entries.push_back(std::move(entry)); });
    return entries;
}

void finishAtlasIconStates(AtlasIconStates& atlas, const std::string& workingDirectory) {
    const std::vector<std::string> newNames =
        readNewIconNames(workingDirectory + newIconListName(*atlas.kind));
    const std::unordered_set<std::string> isNew(newNames.begin(), newNames.end());
    for (IconStateEntry& icon : atlas.icons) icon.isNew = isNew.count(icon.name) > 0;
    atlas.counts = countIconStates(atlas.icons);
}

IconStateModel iconStateModelOf(std::vector<AtlasIconStates> atlases,
                                const std::string& replacementDirectory) {
    IconStateModel model;
    model.replacementDirectory = replacementDirectory;
    model.atlases = std::move(atlases);
    model.unmatched = unmatchedFiles(model.atlases, replacementDirectory);
    return model;
}

IconStateCounts countIconStates(const std::vector<IconStateEntry>& icons) {
    IconStateCounts counts;
    counts.icons = icons.size();
    for (const IconStateEntry& icon : icons) {
        counts.replaced += icon.hasReplacement() ? 1 : 0;
        counts.otherSize += icon.state == IconState::OtherSize ? 1 : 0;
        counts.unreadable += icon.state == IconState::UnreadableReplacement ? 1 : 0;
        counts.empty += icon.state == IconState::EmptyReplacement ? 1 : 0;
        counts.newIcons += icon.isNew ? 1 : 0;
        counts.newWithoutReplacement += icon.isNew && !icon.hasReplacement() ? 1 : 0;
    }
    return counts;
}

IconStateModel readIconStates(const std::vector<IconStateSource>& sources,
                              const std::string& workingDirectory, const std::string& replacementDirectory) {
    std::vector<AtlasIconStates> atlases;
    for (const IconStateSource& source : sources)
        atlases.push_back(atlasStates(source, workingDirectory, replacementDirectory));
    return iconStateModelOf(std::move(atlases), replacementDirectory);
}
