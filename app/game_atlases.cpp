#include "app/game_atlases.h"

#include <algorithm>

#include "app/context.h"
#include "app/event_log.h"
#include "app/program_exit.h"
#include "app/settings.h"
#include "atlas/atlas_kind.h"
#include "atlas/atlas_writer.h"
#include "atlas/icon_catalogue.h"
#include "atlas/icon_extraction.h"
#include "atlas/new_icon_names.h"
#include "atlas/new_icon_scan.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/path_separator.h"
#include "platform/pending_files.h"
#include "platform/text_file.h"
#include "ui/ui.h"

namespace {

UnpackResult unpack(Context& context, PendingFiles& pending) {
    const std::string& installDirectory = context.settings.wotInstallDir;
    const UnpackResult result =
        unpackOriginalAtlases(installDirectory, std::string("originalAtlases") + kPathSeparator,
                              originalAtlasFiles(), context.reporter, pending);
    if (!result.packageOpened) {
        raiseFatalError(
            context,
            englishText("Can't find the ressource file: '{file}' the install dir seemes to be wrong.",
                        {{"file", gamePackagePath(installDirectory)}}));
    }
    return result;
}

AtlasExtraction extract(Context& context, const AtlasKind& kind, PendingFiles& pending) {
    const Settings& settings = context.settings;
    const std::string cataloguePath = settings.acCurrentDir + std::string(kind.catalogueName);
    const std::optional<std::vector<std::string>> previousNames = readCatalogueNames(cataloguePath);
    const AtlasExtraction extraction = extractAtlasIcons(kind, settings.acOriginalAtlasDir,
                                                         settings.acCurrentDir, context.reporter, pending);
    // Which icons the game's update brought, for the summary, the overview and the report.
    if (extraction.iconCount == 0) return extraction;
    const std::string listName = newIconListName(kind);
    const std::vector<std::string> names =
        readCatalogueNames(pending.currentPath(cataloguePath)).value_or(std::vector<std::string>{});
    if (!rememberNewIconNames(settings.acCurrentDir + listName, previousNames, names, pending))
        context.reporter.logError(
            englishText("Can't write the list of new icons: {file}", {{"file", listName}}));
    return extraction;
}

void store(Settings& settings, const AtlasKind& kind, const AtlasExtraction& extraction) {
    AtlasRecord& atlas = settings.atlas(kind);
    if (extraction.atlasImageLoaded) {
        atlas.atlasWidth = extraction.atlasWidth;
        atlas.atlasHeight = extraction.atlasHeight;
    }
    atlas.iconCount = extraction.iconCount;
}

bool writeFailed(Context& context, const PendingFiles& pending) {
    if (!pending.writeFailed()) return false;
    context.log.logError(englishText(
        "Not every file could be written; the original atlases and the icons taken apart earlier are kept."));
    return true;
}

AtlasBuild build(Context& context, const AtlasKind& kind) {
    const Settings& settings = context.settings;
    const std::string record = settings.acCurrentDir + buildRecordName(kind);
    removeFile(record);
    AtlasBuild built = buildAtlas(kind,
                                  {settings.acCurrentDir, settings.acOriginalAtlasDir, settings.acNewIconsDir,
                                   settings.atlas(kind).iconDirectory},
                                  context.reporter);
    if (!built.clean()) return built;
    std::optional<TextFile> file = createReplacementTextFile(record);
    if (file) writeLine(*file, "Built without errors: " + std::string(kind.atlasXmlName));
    if (!file || !closeTextFile(*file)) {
        const std::string error = englishText("Can't write the build record: {file}", {{"file", record}});
        context.log.logError(error);
        built.errors.push_back(error);
    }
    return built;
}

}  // namespace

std::vector<WantedAtlas> originalAtlasFiles() {
    const auto inGame = [](std::string_view name) {
        return WantedFile{std::string(kAtlasFolderInGame) + std::string(name), std::string(name)};
    };
    std::vector<WantedAtlas> atlases;
    for (const AtlasKind& kind : kAtlasKinds) {
        atlases.push_back(
            {inGame(kind.atlasXmlName), {inGame(kind.atlasImageName), inGame(kind.atlasDdsImageName)}});
    }
    return atlases;
}

GameAtlasesTakenApart takeGameAtlasesApart(Context& context, bool everyAtlas) {
    PendingFiles pending;  // what is not put in place goes with it
    GameAtlasesTakenApart outcome;
    const UnpackResult unpacked = unpack(context, pending);
    outcome.entriesFound = unpacked.entriesFound;
    if (unpacked.entriesFound == 0) return outcome;
    // Icons cut by a new XML from an old image, or the reverse, would be wrong: the old ones stay.
    if (everyAtlas && !unpacked.complete) {
        context.log.logError(
            englishText("Not every atlas file could be unpacked; the icons taken apart earlier are kept."));
        return outcome;
    }
    if (writeFailed(context, pending)) return outcome;
    std::vector<AtlasExtraction> extractions;
    for (const AtlasKind& kind : kAtlasKinds) extractions.push_back(extract(context, kind, pending));
    if (writeFailed(context, pending)) return outcome;
    pending.putInPlace(context.reporter);
    outcome.inPlace = true;
    for (std::size_t i = 0; i < kAtlasKinds.size(); ++i) {
        store(context.settings, kAtlasKinds[i], extractions[i]);
        outcome.iconFilesWritten += extractions[i].iconFilesWritten;
    }
    return outcome;
}

std::optional<std::int32_t> reloadGameAtlases(Context& context, const std::string& newVersion) {
    const GameAtlasesTakenApart takenApart = takeGameAtlasesApart(context, true);
    if (!takenApart.inPlace) return std::nullopt;
    // Remembered only once the new atlases are taken apart: until then the question comes back.
    Settings& settings = context.settings;
    const bool everyAtlasGaveIcons =
        std::all_of(settings.atlases.begin(), settings.atlases.end(),
                    [](const AtlasRecord& atlas) { return atlas.iconCount > 0; });
    if (everyAtlasGaveIcons) settings.wotLastVersion = newVersion;
    return takenApart.iconFilesWritten;
}

std::string rewrittenIconFilesText(std::int32_t rewritten) {
    return localized("Icon files rewritten: {count} (the others were unchanged).", {{"count", rewritten}});
}

bool todaysClientOriginals(const Settings& settings) {
    return std::any_of(kAtlasKinds.begin(), kAtlasKinds.end(), [&](const AtlasKind& kind) {
        return fileSize(settings.acOriginalAtlasDir + std::string(kind.atlasDdsImageName)) >= 0;
    });
}

void scanNewIconDirectory(Context& context) {
    context.settings.acNewIconFiles = scanNewIcons(context.settings.acNewIconsDir, context.reporter);
}

std::string buildRecordName(const AtlasKind& kind) {
    return std::string(kind.atlasName) + ".built";
}

AtlasBuildsOutcome buildBothAtlases(Context& context) {
    AtlasBuildsOutcome built;
    built.states.resize(kAtlasKindCount);
    std::optional<std::string> firstError;
    for (const AtlasKind* kind : kAtlasKindsInBuildOrder) {
        AtlasBuild atlas = build(context, *kind);
        if (!atlas.clean() && !firstError) {
            firstError = atlas.errors.empty()
                             ? englishText("The atlas {atlas} was not built.", {{"atlas", kind->atlasName}})
                             : atlas.errors.front();
        }
        built.states[kind->index] = std::move(atlas.states);
    }
    built.outcome =
        firstError ? StepOutcome::failed(*firstError) : StepOutcome::done(context.settings.acCurrentDir);
    return built;
}

AtlasBuildsOutcome createAtlases(Context& context) {
    AtlasBuildsOutcome built = buildBothAtlases(context);
    context.ui.closeProgressWindow();
    return built;
}
