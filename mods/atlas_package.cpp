#include "mods/atlas_package.h"

#include <optional>

#include "atlas/atlas_kind.h"
#include "game/mod_folders.h"
#include "game/mod_package.h"
#include "platform/localized_text.h"
#include "platform/reporter.h"

namespace {

constexpr const char* kPackageId = "ravelin.atlases";

}  // namespace

std::string defaultPackageName(const ModTarget& target) {
    return std::string(kPackageId) + "_" + target.gameVersion +
           std::string(modPackageExtension(target.gameDirectory));
}

bool writeAtlasPackage(const ModTarget& target, const std::vector<std::string>& atlasFiles,
                       std::size_t replacedIcons, const std::string& path, Reporter& reporter) {
    const std::optional<std::string> version = gameFolderName(target.gameVersion);
    if (!version) {
        reporter.logError(
            englishText("Can't package the new atlases: the game version is not a usable name."));
        return false;
    }
    std::vector<ModPackageFile> files;
    for (const std::string& name : atlasFiles)
        files.push_back({std::string(kAtlasFolderInGame) + name, target.workingDirectory + name});
    const ModPackageInfo info{kPackageId, *version, "Ravelin atlases",
                              "Battle and vehicle marker atlases built by Ravelin, " +
                                  std::to_string(replacedIcons) + " icons replaced."};
    return writeModPackage(path, info, files, reporter);
}
