#include "app/game_atlases.h"

#include "app/atlas_settings.h"
#include "app/context.h"
#include "app/program_exit.h"
#include "app/settings.h"
#include "atlas/atlas_writer.h"
#include "atlas/icon_extraction.h"
#include "atlas/new_icon_scan.h"
#include "game/package_unpacker.h"
#include "platform/path_separator.h"
#include "ui/ui.h"

namespace {

UnpackResult unpack(Context& context) {
    const std::string& installDirectory = context.settings.wotInstallDir;
    const UnpackResult result = unpackOriginalAtlases(
        installDirectory, std::string("originalAtlases") + kPathSeparator, context.reporter);
    if (!result.packageOpened) {
        raiseFatalError(context, "Can't find the ressource file: '" + gamePackagePath(installDirectory) +
                                     "' the install dir seemes to be wrong.");
    }
    return result;
}

void extract(Context& context, const AtlasSettings& atlas) {
    Settings& settings = context.settings;
    const AtlasExtraction extraction =
        extractAtlasIcons(atlas.kind, settings.acOriginalAtlasDir, settings.acCurrentDir, context.reporter);
    if (extraction.atlasImageLoaded) {
        settings.*atlas.atlasWidth = extraction.atlasWidth;
        settings.*atlas.atlasHeight = extraction.atlasHeight;
    }
    settings.*atlas.iconCount = extraction.iconCount;
}

void build(Context& context, const AtlasSettings& atlas) {
    const Settings& settings = context.settings;
    buildAtlas(atlas.kind,
               {settings.acCurrentDir, settings.acOriginalAtlasDir, settings.acNewIconsDir,
                settings.*atlas.iconDirectory},
               context.reporter);
}

}  // namespace

int unpackGameAtlases(Context& context) {
    return unpack(context).entriesFound;
}

void extractBothAtlases(Context& context) {
    extract(context, kBattleAtlasSettings);
    extract(context, kMarkerAtlasSettings);
}

void reloadGameAtlases(Context& context, const std::string& newVersion) {
    const bool unpacked = unpack(context).complete;
    extractBothAtlases(context);
    // Remembered only once the new atlases are taken apart: until then the question comes back.
    Settings& settings = context.settings;
    if (unpacked && settings.wotNbOfBattleIcons > 0 && settings.wotNbOfMarkerIcons > 0)
        settings.wotLastVersion = newVersion;
}

void scanNewIconDirectory(Context& context) {
    context.settings.acNewIconFiles = scanNewIcons(context.settings.acNewIconsDir, context.reporter);
}

void createAtlases(Context& context) {
    build(context, kMarkerAtlasSettings);
    build(context, kBattleAtlasSettings);
    context.ui.closeProgressWindow();
}
