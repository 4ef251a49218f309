#include "atlas/icon_states.h"

#include <algorithm>
#include <unordered_set>

#include "atlas/atlas_kind.h"
#include "atlas/icon_catalogue.h"
#include "atlas/nearest_name.h"
#include "atlas/new_icon_names.h"
#include "image/png_codec.h"
#include "platform/file_system.h"
#include "platform/text_utilities.h"

namespace {

constexpr std::string_view kIconExtension = ".png";

IconStateEntry entryOf(const CatalogueEntry& line, const std::string& defaultDirectory,
                       const std::string& replacementDirectory) {
    IconStateEntry entry;
    entry.name = line.name;
    entry.width = line.width;
    entry.height = line.height;
    entry.defaultPath = defaultDirectory + line.name + std::string(kIconExtension);
    const std::string replacement = replacementDirectory + line.name + std::string(kIconExtension);
    // As the build takes it: an empty file is no replacement.
    if (fileSize(replacement) <= 0) return entry;
    entry.replacementPath = replacement;
    const std::optional<Image> image = loadImage(replacement);
    if (!image) {
        entry.state = IconState::UnreadableReplacement;
        return entry;
    }
    entry.replacementWidth = image->width();
    entry.replacementHeight = image->height();
    const bool sameSize = image->width() == line.width && image->height() == line.height;
    entry.state = sameSize ? IconState::Replaced : IconState::OtherSize;
    return entry;
}

AtlasIconStates atlasStates(const IconStateSource& source, const std::string& workingDirectory,
                            const std::string& replacementDirectory) {
    AtlasIconStates atlas;
    atlas.kind = &source.kind;
    const auto catalogue = readCatalogueEntries(workingDirectory + std::string(source.kind.catalogueName));
    if (!catalogue) return atlas;
    atlas.catalogueFound = true;
    const std::vector<std::string> newNames =
        readNewIconNames(workingDirectory + newIconListName(source.kind));
    const std::unordered_set<std::string> isNew(newNames.begin(), newNames.end());
    atlas.icons.reserve(catalogue->size());
    for (const CatalogueEntry& line : *catalogue) {
        atlas.icons.push_back(entryOf(line, source.defaultIconDirectory, replacementDirectory));
        atlas.icons.back().isNew = isNew.count(line.name) > 0;
    }
    atlas.counts = countIconStates(atlas.icons);
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

IconStateCounts countIconStates(const std::vector<IconStateEntry>& icons) {
    IconStateCounts counts;
    counts.icons = icons.size();
    for (const IconStateEntry& icon : icons) {
        counts.replaced += icon.hasReplacement() ? 1 : 0;
        counts.otherSize += icon.state == IconState::OtherSize ? 1 : 0;
        counts.unreadable += icon.state == IconState::UnreadableReplacement ? 1 : 0;
        counts.newIcons += icon.isNew ? 1 : 0;
        counts.newWithoutReplacement += icon.isNew && !icon.hasReplacement() ? 1 : 0;
    }
    return counts;
}

IconStateModel readIconStates(const std::vector<IconStateSource>& sources,
                              const std::string& workingDirectory, const std::string& replacementDirectory) {
    IconStateModel model;
    model.replacementDirectory = replacementDirectory;
    for (const IconStateSource& source : sources)
        model.atlases.push_back(atlasStates(source, workingDirectory, replacementDirectory));
    model.unmatched = unmatchedFiles(model.atlases, replacementDirectory);
    return model;
}
