// The search half of atlas_conflicts.h: the atlas files of the game's folder of loose files, and every
// package below its folder of packages with the files it gives the game.

#include <algorithm>
#include <filesystem>

#include "atlas/atlas_descriptor_reader.h"
#include "game/entry_ceiling.h"
#include "game/mod_directory.h"
#include "game/package_reader.h"
#include "mods/atlas_conflicts.h"
#include "mods/pack_files.h"
#include "mods/pack_reader.h"
#include "mods/package_order.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/path_separator.h"
#include "platform/reporter.h"
#include "platform/text_utilities.h"

namespace {

constexpr std::string_view kGameFilesInPackage = "res/";

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = foldAsciiCase(c);
    return lower;
}

bool endsWith(std::string_view lowerText, std::string_view ending) {
    return lowerText.size() > ending.size() && lowerText.substr(lowerText.size() - ending.size()) == ending;
}

// The kind whose file the name (lower case, no folder) is, and whether it is its XML.
struct AtlasFileName {
    const AtlasKind* kind = nullptr;
    bool xml = false;
};

AtlasFileName atlasFileName(std::string_view lowerName) {
    for (const AtlasKind& kind : kAtlasKinds) {
        if (lowerName == lowerCase(kind.atlasXmlName)) return {&kind, true};
        if (lowerName == lowerCase(kind.atlasDdsImageName) || lowerName == lowerCase(kind.atlasImageName))
            return {&kind, false};
    }
    return {};
}

std::vector<std::string> entryNames(std::string_view xml) {
    std::vector<std::string> names;
    for (AtlasDescriptorEntry& entry : atlasEntriesOfText(xml)) names.push_back(std::move(entry.name));
    return names;
}

// A file of the disk within the ceiling of its kind; none, with an error naming it, when not.
std::optional<std::string> readWithinCeiling(const std::string& path, Reporter& reporter) {
    std::vector<std::uint8_t> head(kEntryHeadSize);
    if (FileHandle file = openFile(path, "rb"))
        head.resize(std::fread(head.data(), 1, head.size(), file.get()));
    else
        head.clear();
    const EntryCeiling ceiling = entryCeiling(lowerCase(fileNamePart(path, false)), head);
    const std::int64_t size = fileSize(path);
    std::optional<std::vector<std::uint8_t>> content;
    if (size >= 0 && static_cast<std::uint64_t>(size) <= ceiling.bytes) content = readWholeFile(path);
    if (!content || content->size() > ceiling.bytes) {
        reporter.logError(
            size >= 0 && static_cast<std::uint64_t>(size) > ceiling.bytes
                ? englishText("Can't read {file} ({reason})", {{"file", path}, {"reason", ceiling.refusal}})
                : englishText("Can't read {file}", {{"file", path}}));
        return std::nullopt;
    }
    return std::string(content->begin(), content->end());
}

std::string shownBelowGame(const std::string& gameDirectory, const std::string& path) {
    std::string shown = path.starts_with(gameDirectory) ? path.substr(gameDirectory.size()) : path;
    std::replace(shown.begin(), shown.end(), '\\', '/');
    return shown;
}

// The atlas files of res_mods/<folder>/gui/flash/atlases/: Ravelin's as one holder, the others' as another.
void scanLooseFiles(const ConflictSearch& search, std::vector<AtlasHolder>& holders, Reporter& reporter) {
    const std::string directory = modAtlasDirectory(search.gameDirectory, search.folders.looseFiles);
    std::error_code error;
    std::vector<std::string> names;
    for (std::filesystem::directory_iterator walk(nativePath(directory), error), end; !error && walk != end;
         walk.increment(error)) {
        std::error_code typeError;
        if (walk->is_regular_file(typeError)) names.push_back(utf8PathText(walk->path().filename()));
    }
    std::sort(names.begin(), names.end());
    AtlasHolder ravelins, others;
    for (AtlasHolder* holder : {&ravelins, &others}) {
        holder->path = directory;
        holder->shownName = shownBelowGame(search.gameDirectory, directory);
        holder->looseFiles = true;
    }
    ravelins.ravelins = true;
    for (const std::string& name : names) {
        const std::string lower = lowerCase(name);
        const AtlasFileName file = atlasFileName(lower);
        if (!file.kind) continue;
        const std::string path = directory + name;
        AtlasHolder& holder = search.ravelinWrote && search.ravelinWrote(path) ? ravelins : others;
        holder.atlasFiles[file.kind->index].push_back(lower);
        holder.gameFiles.push_back(std::string(kAtlasFolderInGame) + lower);
        if (file.xml && !holder.ravelins) {
            if (std::optional<std::string> xml = readWithinCeiling(path, reporter))
                holder.entries[file.kind->index] = entryNames(*xml);
        }
    }
    for (AtlasHolder* holder : {&ravelins, &others}) {
        if (!holder->gameFiles.empty()) holders.push_back(std::move(*holder));
    }
}

// One package: its id, the files it gives the game, and the entries of its atlas XML files.
std::optional<AtlasHolder> scanPackage(const ConflictSearch& search, const std::string& path,
                                       const std::string& relativePath, Reporter& reporter) {
    std::optional<PackageReader> package = PackageReader::open(path);
    if (!package) {
        reporter.logError(
            englishText("Can't open the package: {file} (not a zip package)", {{"file", path}}));
        return std::nullopt;
    }
    AtlasHolder holder;
    holder.path = path;
    holder.shownName = shownBelowGame(search.gameDirectory, path);
    holder.relativePath = relativePath;
    holder.ravelins = search.ravelinWrote && search.ravelinWrote(path);
    std::size_t count = 0;
    while (package->nextEntry()) {
        if (++count > kMaximumFolderEntries) {
            reporter.logError(englishText("Can't read the package: {file} (more than {count} entries)",
                                          {{"file", path}, {"count", kMaximumFolderEntries}}));
            return std::nullopt;
        }
        const std::string& name = package->entryName();
        if (name.ends_with('/')) continue;  // a folder's entry
        const std::optional<std::string> relative = packRelativePath(name);
        const std::string lower = lowerCase(relative.value_or(name));
        const std::string fileName = lower.substr(lower.find_last_of("/\\") + 1);
        const AtlasFileName atlasFile = atlasFileName(fileName);
        if (!relative) {
            if (atlasFile.kind || fileName == "meta.xml")
                reporter.logError(englishText(
                    "Refused the package's entry: {file}: {entry} (a path that leads out of the package)",
                    {{"file", path}, {"entry", validUtf8(name)}}));
            continue;
        }
        const bool meta = lower == "meta.xml";
        const bool gameFile = lower.starts_with(kGameFilesInPackage);
        const std::string inGame = gameFile ? lower.substr(kGameFilesInPackage.size()) : std::string();
        const bool atlas = atlasFile.kind && inGame == std::string(kAtlasFolderInGame) + fileName;
        if (gameFile) holder.gameFiles.push_back(inGame);
        if (atlas) holder.atlasFiles[atlasFile.kind->index].push_back(fileName);
        if (!meta && !(atlas && atlasFile.xml && !holder.ravelins)) continue;
        std::vector<std::uint8_t> data;
        const EntryReading reading = package->readEntry(fileName, data);
        if (!reading.complete) {
            reporter.logError(
                reading.fault.empty()
                    ? englishText("Can't read the package's entry: {file}: {entry}",
                                  {{"file", path}, {"entry", *relative}})
                    : englishText("Can't read the package's entry: {file}: {entry} ({reason})",
                                  {{"file", path}, {"entry", *relative}, {"reason", reading.fault}}));
            continue;
        }
        const std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
        if (meta)
            holder.id = packageIdInMetaXml(text);
        else
            holder.entries[atlasFile.kind->index] = entryNames(text);
    }
    if (package->damaged())
        reporter.logError(englishText("Damaged package: {file} (read as far as it goes)", {{"file", path}}));
    std::sort(holder.gameFiles.begin(), holder.gameFiles.end());
    holder.gameFiles.erase(std::unique(holder.gameFiles.begin(), holder.gameFiles.end()),
                           holder.gameFiles.end());
    return holder;
}

// The packages at any depth below the folder, in order of their relative paths.
std::vector<std::string> packagePaths(const std::string& directory, Reporter& reporter) {
    namespace fs = std::filesystem;
    std::vector<std::string> relativePaths;
    std::error_code error;
    const fs::path top = nativePath(directory);
    fs::recursive_directory_iterator walk(top, fs::directory_options::skip_permission_denied, error);
    for (std::size_t seen = 0; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
        if (++seen > kMaximumFolderEntries) {
            reporter.logError(
                englishText("Can't read the folder of packages: {folder} (more than {count} entries)",
                            {{"folder", directory}, {"count", kMaximumFolderEntries}}));
            break;
        }
        std::error_code typeError;
        const std::string relative = utf8PathText(walk->path().lexically_relative(top).generic_u8string());
        const std::string lower = lowerCase(relative);
        if ((endsWith(lower, ".wotmod") || endsWith(lower, ".mtmod")) && walk->is_regular_file(typeError))
            relativePaths.push_back(relative);
    }
    std::sort(relativePaths.begin(), relativePaths.end());
    return relativePaths;
}

}  // namespace

AtlasConflicts findAtlasConflicts(const ConflictSearch& search, Reporter& reporter) {
    std::vector<AtlasHolder> holders;
    scanLooseFiles(search, holders, reporter);
    const std::string packageDirectory = modPackageDirectory(search.gameDirectory, search.folders.packages);
    for (const std::string& relative : packagePaths(packageDirectory, reporter)) {
        std::string path = packageDirectory + relative;
        std::replace(path.begin() + static_cast<std::ptrdiff_t>(packageDirectory.size()), path.end(), '/',
                     kPathSeparator);
        if (std::optional<AtlasHolder> holder = scanPackage(search, path, relative, reporter))
            holders.push_back(std::move(*holder));
    }
    std::vector<std::string> loadOrder;
    const std::string loadOrderPath = packageDirectory + "load_order.xml";
    if (fileSize(loadOrderPath) >= 0) {
        if (std::optional<std::string> text = readWithinCeiling(loadOrderPath, reporter)) {
            LoadOrderReading reading = readLoadOrderXml(*text);
            if (reading.readable)
                loadOrder = std::move(reading.packages);
            else
                reporter.logError(englishText(
                    "Can't read {file} ({reason}); the packages are taken in the game's order without it",
                    {{"file", loadOrderPath}, {"reason", reading.fault}}));
        }
    }
    return decideAtlasConflicts(std::move(holders), loadOrder, search);
}
