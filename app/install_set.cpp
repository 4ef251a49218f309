#include "app/install_set.h"

#include "app/context.h"
#include "app/event_log.h"
#include "app/game_atlases.h"
#include "app/settings.h"
#include "atlas/atlas_descriptor_reader.h"
#include "atlas/atlas_kind.h"
#include "atlas/icon_catalogue.h"
#include "atlas/icon_states.h"
#include "game/mod_folders.h"
#include "platform/file_system.h"

namespace {

constexpr const char* kPackageId = "ravelin.atlases";

// Catalogued icons for which a replacement stands in, as the build decides it.
std::size_t replacedIconCount(Context& context) {
    const Settings& settings = context.settings;
    std::size_t replaced = 0;
    for (const AtlasKind* kind : kAtlasKindsInBuildOrder) {
        const auto catalogue =
            readIconCatalogue(settings.acCurrentDir, kind->catalogueName, context.reporter);
        if (!catalogue) continue;
        replaced += countIconStates(resolveIconStates(*catalogue, settings.acNewIconsDir,
                                                      settings.atlas(*kind).iconDirectory))
                        .replaced;
    }
    return replaced;
}

}  // namespace

std::optional<std::vector<std::string>> builtAtlasFiles(Context& context, const std::string& verb) {
    const Settings& settings = context.settings;
    std::vector<std::string> files;
    for (const AtlasKind* kind : kAtlasKindsInBuildOrder) {
        files.emplace_back(kind->atlasXmlName);
        for (const std::string_view image : {kind->atlasImageName, kind->atlasDdsImageName}) {
            if (fileSize(settings.acOriginalAtlasDir + std::string(image)) >= 0) files.emplace_back(image);
        }
    }
    for (const std::string& name : files) {
        if (fileSize(settings.acCurrentDir + name) < 0) {
            context.log.logError("Can't " + verb + " atlas file: " + name + " (not built yet)");
            return std::nullopt;
        }
    }
    // An atlas that lost icons in its build, or has none, would make them vanish in the game.
    for (const AtlasKind* kind : kAtlasKindsInBuildOrder) {
        const std::string xmlName(kind->atlasXmlName);
        if (fileSize(settings.acCurrentDir + buildRecordName(*kind)) < 0) {
            context.log.logError("Can't " + verb + " atlas file: " + xmlName +
                                 " (its last build logged errors)");
            return std::nullopt;
        }
        if (countAtlasEntries(settings.acCurrentDir + xmlName).value_or(0) == 0) {
            context.log.logError("Can't " + verb + " atlas file: " + xmlName + " (it holds no icons)");
            return std::nullopt;
        }
    }
    return files;
}

std::string defaultPackageName(const Context& context) {
    return std::string(kPackageId) + "_" + context.settings.wotLastVersion +
           std::string(modPackageExtension(context.settings.wotInstallDir));
}

bool writeAtlasPackage(Context& context, const std::string& path) {
    const Settings& settings = context.settings;
    const std::optional<std::string> version = gameFolderName(settings.wotLastVersion);
    if (!version) {
        context.log.logError("Can't package the new atlases: the game version is not a usable name.");
        return false;
    }
    const auto names = builtAtlasFiles(context, "package");
    if (!names) return false;
    std::vector<ModPackageFile> files;
    for (const std::string& name : *names)
        files.push_back({std::string(kAtlasFolderInGame) + name, settings.acCurrentDir + name});
    const ModPackageInfo info{kPackageId, *version, "Ravelin atlases",
                              "Battle and vehicle marker atlases built by Ravelin, " +
                                  std::to_string(replacedIconCount(context)) + " icons replaced."};
    return writeModPackage(path, info, files, context.reporter);
}
