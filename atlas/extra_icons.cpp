#include "atlas/extra_icons.h"

#include <algorithm>
#include <set>

#include "atlas/atlas_kind.h"
#include "atlas/atlas_layout.h"
#include "atlas/icon_catalogue.h"
#include "image/png_codec.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/path_separator.h"
#include "platform/reporter.h"

std::string extraIconDirectory(const std::string& iconDirectory, const AtlasKind& kind) {
    return iconDirectory + "extra" + kPathSeparator + std::string(kind.atlasName) + kPathSeparator;
}

std::vector<std::string> appendExtraIcons(GatheredIcons& gathered, const std::string& directory,
                                          const std::vector<CatalogueEntry>& catalogue, Reporter& reporter) {
    std::vector<std::string> files;
    if (std::optional<DirectoryListing> listing = DirectoryListing::open(directory, "*.png")) {
        while (listing->next()) {
            if (listing->entryType() == DirectoryListing::EntryType::File)
                files.push_back(listing->entryName());
        }
    }
    // The same folder gives the same atlas whatever order the file system lists it in.
    std::sort(files.begin(), files.end());
    std::set<std::string> catalogued;
    for (const CatalogueEntry& entry : catalogue) catalogued.insert(entry.name);
    std::vector<std::string> added;
    for (const std::string& file : files) {
        const std::string name = fileNamePart(file, true);
        const std::string path = directory + file;
        if (catalogued.count(name)) {
            reporter.logInfo("Left out " + path + ": today's game has the icon");
            continue;
        }
        if (name.find_first_of("<>&") != std::string::npos) {
            reporter.logError(
                englishText("Can't use icon: {file} (a name the atlas XML cannot hold)", {{"file", path}}));
            continue;
        }
        std::optional<Image> pixels = loadImage(path);
        if (!pixels) {
            reporter.logError(englishText("Can't load icon: {file}", {{"file", path}}));
            continue;
        }
        AtlasIcon icon;
        icon.path = path;
        icon.fileName = file;
        icon.name = name;
        icon.loaded = true;
        icon.width = pixels->width();
        icon.height = pixels->height();
        icon.pixels = std::move(pixels);
        gathered.icons.push_back(std::move(icon));
        added.push_back(name);
    }
    if (!added.empty())
        reporter.logInfo("Added " + std::to_string(added.size()) + " icons of other mods from " + directory);
    return added;
}
