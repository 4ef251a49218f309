#include "app/mod_install.h"

#include "app/context.h"
#include "app/event_log.h"
#include "app/settings.h"
#include "atlas/atlas_kind.h"
#include "game/mod_directory.h"
#include "game/mod_folders.h"
#include "platform/file_io.h"
#include "platform/file_system.h"

std::string installNewAtlases(Context& context) {
    const Settings& settings = context.settings;
    if (settings.wotInstallDir.empty() || settings.wotLastVersion.empty()) {
        context.log.logError("Can't install the new atlases: the game directory or its version is unknown.");
        return {};
    }
    const std::optional<ModFolders> folders =
        readModFolders(settings.wotInstallDir, settings.wotLastVersion, context.reporter);
    if (!folders) return {};
    const std::string directory = modAtlasDirectory(settings.wotInstallDir, folders->looseFiles);
    if (!createModDirectory(directory)) {
        context.log.logError("Can't create directory: " + directory);
        return {};
    }
    for (const AtlasKind* kind : {&kMarkerAtlas, &kBattleAtlas}) {
        std::vector<std::string_view> files = {kind->atlasXmlName};
        for (const std::string_view image : {kind->atlasImageName, kind->atlasDdsImageName}) {
            if (fileSize(settings.acOriginalAtlasDir + std::string(image)) >= 0) files.push_back(image);
        }
        for (const std::string_view file : files) {
            const std::string name(file);
            if (fileSize(settings.acCurrentDir + name) < 0) {
                context.log.logError("Can't install atlas file: " + name + " (not built yet)");
            } else if (copyFile(settings.acCurrentDir + name, directory + name)) {
                context.log.logInfo("Installed atlas file: " + directory + name);
            } else {
                context.log.logError("Can't install atlas file: " + directory + name);
            }
        }
    }
    return directory;
}
