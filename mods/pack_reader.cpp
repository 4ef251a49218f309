#include "mods/pack_reader.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>

#include "game/entry_ceiling.h"
#include "game/package_reader.h"
#include "mods/pack_files.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/path_separator.h"
#include "platform/reporter.h"
#include "platform/text_utilities.h"

namespace {

bool hasExtension(std::string_view path, std::string_view extension) {
    return path.size() > extension.size() &&
           findIgnoringAsciiCase(path.substr(path.size() - extension.size()), extension) == 0;
}

// The name entryCeiling knows the kind by: the pack's names match in any letter case.
std::string lowerCase(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) c = foldAsciiCase(c);
    return lower;
}

// The files of a pack by relative path, and where each is kept.
struct PackListing {
    std::vector<std::string> paths;
    std::vector<std::size_t> entryNumbers;  // a package's: each path's place among its entries
};

// The pack's files to read, by index into its listing, and what they hold once read (empty when not).
struct ChosenFile {
    std::size_t path;
    std::vector<std::uint8_t> content;
    bool read = false;
};

// A file of the disk, within the ceiling of its kind.
bool readFileWithin(const std::string& path, std::vector<std::uint8_t>& data, Reporter& reporter) {
    std::vector<std::uint8_t> head(kEntryHeadSize);
    if (FileHandle file = openFile(path, "rb"))
        head.resize(std::fread(head.data(), 1, head.size(), file.get()));
    else
        head.clear();
    const EntryCeiling ceiling = entryCeiling(lowerCase(path), head);
    const std::int64_t size = fileSize(path);
    if (size >= 0 && static_cast<std::uint64_t>(size) > ceiling.bytes) {
        reporter.logError(englishText("Can't read the icon pack's file: {file} ({reason})",
                                      {{"file", path}, {"reason", ceiling.refusal}}));
        return false;
    }
    std::optional<std::vector<std::uint8_t>> content = readWholeFile(path);
    if (!content || content->size() > ceiling.bytes) {
        reporter.logError(englishText("Can't read the icon pack's file: {file}", {{"file", path}}));
        return false;
    }
    data = std::move(*content);
    return true;
}

std::optional<PackListing> listFolder(const std::string& folder, Reporter& reporter) {
    namespace fs = std::filesystem;
    PackListing listing;
    std::vector<std::string> links;
    std::error_code error;
    const fs::path top = nativePath(folder);
    fs::recursive_directory_iterator walk(top, fs::directory_options::skip_permission_denied, error);
    for (std::size_t seen = 0; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
        if (++seen > kMaximumFolderEntries) {
            reporter.logError(
                englishText("Can't read the icon pack's folder: {folder} (more than {count} entries)",
                            {{"folder", folder}, {"count", kMaximumFolderEntries}}));
            return std::nullopt;
        }
        std::error_code typeError;
        const std::string relative = utf8PathText(walk->path().lexically_relative(top).generic_u8string());
        if (walk->is_symlink(typeError))
            links.push_back(relative);
        else if (walk->is_regular_file(typeError))
            listing.paths.push_back(relative);
    }
    if (error) {
        reporter.logError(englishText("Can't read the icon pack's folder: {folder}", {{"folder", folder}}));
        return std::nullopt;
    }
    // The same pack gives the same import whatever order the file system lists it in.
    std::sort(listing.paths.begin(), listing.paths.end());
    for (const std::string& link : links) {
        if (packFileOf(link).role != PackFileRole::None)
            reporter.logError(englishText("Refused the icon pack's file: {file} (a link)",
                                          {{"file", withTrailingSeparator(folder) + link}}));
    }
    return listing;
}

void readFolderFiles(const std::string& folder, const PackListing& listing, std::vector<ChosenFile>& chosen,
                     Reporter& reporter) {
    for (ChosenFile& file : chosen) {
        const std::string path = utf8PathText(nativePath(folder) / nativePath(listing.paths[file.path]));
        file.read = readFileWithin(path, file.content, reporter);
    }
}

// Whether a refused entry name would have mattered, so that refusing it is worth an error.
bool looksWanted(std::string_view name) {
    return hasExtension(name, ".xml") || hasExtension(name, ".dds") || hasExtension(name, ".png");
}

std::optional<PackListing> listPackage(const std::string& path, Reporter& reporter) {
    std::optional<PackageReader> package = PackageReader::open(path);
    if (!package) {
        reporter.logError(
            englishText("Can't open the icon pack: {file} (not a zip package)", {{"file", path}}));
        return std::nullopt;
    }
    PackListing listing;
    for (std::size_t number = 0; package->nextEntry(); ++number) {
        const std::string& name = package->entryName();
        if (std::optional<std::string> relative = packRelativePath(name)) {
            listing.paths.push_back(std::move(*relative));
            listing.entryNumbers.push_back(number);
        } else if (looksWanted(name)) {
            reporter.logError(englishText(
                "Refused the icon pack's entry: {file}: {entry} (a path that leads out of the package)",
                {{"file", path}, {"entry", validUtf8(name)}}));
        }
    }
    if (package->damaged())
        reporter.logError(
            englishText("Damaged icon pack: {file} (read as far as it goes)", {{"file", path}}));
    return listing;
}

void readPackageFiles(const std::string& path, const PackListing& listing, std::vector<ChosenFile>& chosen,
                      Reporter& reporter) {
    std::optional<PackageReader> package = PackageReader::open(path);
    if (!package) {
        reporter.logError(englishText("Can't open the icon pack: {file}", {{"file", path}}));
        return;
    }
    // Entry number -> chosen file; the entries come in the same order as when they were listed.
    std::vector<std::pair<std::size_t, ChosenFile*>> wanted;
    for (ChosenFile& file : chosen) wanted.emplace_back(listing.entryNumbers[file.path], &file);
    std::sort(wanted.begin(), wanted.end());
    std::uint64_t looseBytes = 0;
    auto next = wanted.begin();
    for (std::size_t number = 0; next != wanted.end() && package->nextEntry(); ++number) {
        if (number != next->first) continue;
        ChosenFile& file = *next->second;
        ++next;
        const std::string& name = listing.paths[file.path];
        const EntryReading reading = package->readEntry(lowerCase(name), file.content);
        file.read = reading.complete;
        if (file.read && hasExtension(name, ".png") && packFileOf(name).role != PackFileRole::AtlasImage) {
            looseBytes += file.content.size();
            if (looseBytes > kMaximumLooseIconBytes) {
                file.read = false;
                file.content = {};
                reporter.logError(
                    englishText("Can't read the icon pack's entry: {file}: {entry} (its loose icons hold "
                                "more than {count} bytes)",
                                {{"file", path}, {"entry", name}, {"count", kMaximumLooseIconBytes}}));
                continue;
            }
        }
        if (!file.read)
            reporter.logError(
                reading.fault.empty()
                    ? englishText("Can't read the icon pack's entry: {file}: {entry}",
                                  {{"file", path}, {"entry", name}})
                    : englishText("Can't read the icon pack's entry: {file}: {entry} ({reason})",
                                  {{"file", path}, {"entry", name}, {"reason", reading.fault}}));
    }
}

std::string textOf(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// The contents of a listed pack: its layout chosen, then only those files read.
PackContents readListedPack(const PackListing& listing, const std::string& shownPrefix,
                            const std::function<void(std::vector<ChosenFile>&)>& readChosen,
                            Reporter& reporter) {
    PackContents contents;
    contents.opened = true;
    const PackLayout layout = packLayoutOf(listing.paths);
    contents.nothingFound =
        layout.looseIcons.empty() && std::none_of(layout.atlases.begin(), layout.atlases.end(),
                                                  [](const auto& place) { return place.has_value(); });
    for (const std::string& passed : layout.passedOver)
        reporter.logInfo("Passed over: " + shownPrefix + passed);
    std::vector<ChosenFile> chosen;
    for (const auto& place : layout.atlases) {
        if (!place) continue;
        chosen.push_back({place->xml, {}});
        chosen.push_back({place->image, {}});
    }
    const std::size_t atlasFiles = chosen.size();
    for (const PackLooseIconPlace& icon : layout.looseIcons) chosen.push_back({icon.path, {}});
    readChosen(chosen);

    std::size_t next = 0;
    for (const auto& place : layout.atlases) {
        if (!place) continue;
        ChosenFile& xml = chosen[next++];
        ChosenFile& image = chosen[next++];
        if (!xml.read || !image.read) continue;  // an atlas's files go together
        contents.atlases.push_back({packFileOf(listing.paths[place->xml]).kind,
                                    shownPrefix + listing.paths[place->xml],
                                    shownPrefix + listing.paths[place->image], textOf(xml.content),
                                    std::move(image.content), place->dds});
    }
    for (std::size_t i = 0; i < layout.looseIcons.size(); ++i) {
        ChosenFile& file = chosen[atlasFiles + i];
        if (file.read)
            contents.looseIcons.push_back(
                {layout.looseIcons[i].name, shownPrefix + listing.paths[file.path], std::move(file.content)});
    }
    return contents;
}

// An atlas XML given by itself, with the image of the same name beside it (DDS before PNG).
PackContents readAtlasXml(const std::string& path, Reporter& reporter) {
    PackContents contents;
    const std::string stem = path.substr(0, path.size() - 4);
    PackAtlasFiles atlas;
    atlas.kind = packFileOf(fileNamePart(path, false)).kind;
    atlas.xmlShownName = path;
    for (const char* extension : {".dds", ".png"}) {
        if (fileSize(stem + extension) >= 0) {
            atlas.imageShownName = stem + extension;
            atlas.dds = std::string_view(extension) == ".dds";
            break;
        }
    }
    if (atlas.imageShownName.empty()) {
        reporter.logError(englishText("Can't find the atlas image beside {file} ({name}.dds or .png)",
                                      {{"file", path}, {"name", fileNamePart(stem, false)}}));
        return contents;
    }
    std::vector<std::uint8_t> xml;
    if (!readFileWithin(path, xml, reporter) || !readFileWithin(atlas.imageShownName, atlas.image, reporter))
        return contents;
    atlas.xml = textOf(xml);
    contents.opened = true;
    contents.atlases.push_back(std::move(atlas));
    return contents;
}

}  // namespace

PackContents readIconPack(const std::string& path, Reporter& reporter) {
    const std::int64_t size = fileSize(path);
    if (size == kPathMissing) {
        reporter.logError(englishText("Can't find the icon pack: {file}", {{"file", path}}));
        return {};
    }
    reporter.logInfo("Reading icon pack: " + path);
    if (size == kPathIsDirectory) {
        const std::optional<PackListing> listing = listFolder(path, reporter);
        if (!listing) return {};
        return readListedPack(
            *listing, withTrailingSeparator(path),
            [&](std::vector<ChosenFile>& chosen) { readFolderFiles(path, *listing, chosen, reporter); },
            reporter);
    }
    if (hasExtension(path, ".xml")) return readAtlasXml(path, reporter);
    if (!hasExtension(path, ".wotmod") && !hasExtension(path, ".mtmod") && !hasExtension(path, ".zip")) {
        reporter.logError(englishText(
            "Not an icon pack: {file} (a folder, a .wotmod, .mtmod or .zip package, or an atlas XML is)",
            {{"file", path}}));
        return {};
    }
    const std::optional<PackListing> listing = listPackage(path, reporter);
    if (!listing) return {};
    return readListedPack(
        *listing, path + ": ",
        [&](std::vector<ChosenFile>& chosen) { readPackageFiles(path, *listing, chosen, reporter); },
        reporter);
}
