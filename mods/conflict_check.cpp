#include "mods/conflict_check.h"

#include <memory>

#include "atlas/atlas_descriptor_reader.h"
#include "atlas/icon_catalogue.h"
#include "mods/install_record.h"
#include "platform/file_io.h"
#include "platform/localized_text.h"
#include "platform/reporter.h"

namespace {

std::optional<std::vector<std::string>> ravelinAtlasEntries(const ModTarget& target, const AtlasKind& kind) {
    if (std::optional<std::vector<std::uint8_t>> xml =
            readWholeFile(target.workingDirectory + std::string(kind.atlasXmlName))) {
        std::vector<std::string> names;
        for (AtlasDescriptorEntry& entry :
             atlasEntriesOfText(std::string_view(reinterpret_cast<const char*>(xml->data()), xml->size())))
            names.push_back(std::move(entry.name));
        return names;
    }
    return readCatalogueNames(target.workingDirectory + std::string(kind.catalogueName));
}

}  // namespace

ConflictSearch conflictSearchFor(const ModTarget& target, const ModFolders& folders, Reporter& reporter) {
    ConflictSearch search;
    search.gameDirectory = target.gameDirectory;
    search.folders = folders;
    auto record = std::make_shared<InstallRecord>(readInstallRecord(target.workingDirectory, reporter));
    search.ravelinWrote = [record](const std::string& path) {
        return record->installedAt(path) && record->wrote(path, contentHash(path));
    };
    for (const AtlasKind& kind : kAtlasKinds)
        search.ravelinEntries[kind.index] = ravelinAtlasEntries(target, kind);
    return search;
}

std::optional<AtlasConflicts> checkAtlasConflicts(const ModTarget& target, Reporter& reporter) {
    if (target.gameDirectory.empty() || target.gameVersion.empty()) {
        reporter.logError(
            englishText("Can't look for other mods' atlases: the game directory or its version is unknown."));
        return std::nullopt;
    }
    const std::optional<ModFolders> folders =
        readModFolders(target.gameDirectory, target.gameVersion, reporter);
    if (!folders) return std::nullopt;
    return findAtlasConflicts(conflictSearchFor(target, *folders, reporter), reporter);
}
