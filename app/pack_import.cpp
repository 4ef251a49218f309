#include "app/pack_import.h"

#include "app/context.h"
#include "app/event_log.h"
#include "app/game_atlases.h"
#include "app/settings.h"
#include "atlas/atlas_kind.h"
#include "atlas/icon_catalogue.h"
#include "game/mod_directory.h"
#include "platform/error_keeping_reporter.h"
#include "platform/localized_text.h"
#include "platform/path_separator.h"

PackImportRun importIconPacksInto(Context& context, const ImportRequest& request) {
    Settings& settings = context.settings;
    PackImportRun run;
    ErrorKeepingReporter reporter(context.reporter, run.errors);
    ImportTarget target;
    target.iconDirectory =
        withTrailingSeparator(request.into.empty() ? settings.acNewIconsDir : request.into);
    run.iconDirectory = target.iconDirectory;
    target.all = request.all;
    target.replace = request.replace;
    for (const AtlasKind& kind : kAtlasKinds) {
        target.game[kind.index] = {readCatalogueNames(settings.acCurrentDir + std::string(kind.catalogueName))
                                       .value_or(std::vector<std::string>{}),
                                   withTrailingSeparator(settings.atlas(kind).iconDirectory)};
    }
    if (!createModDirectory(target.iconDirectory)) {
        reporter.logError(
            englishText("Can't create the folder: {folder}", {{"folder", target.iconDirectory}}));
        return run;
    }
    run.outcome = importIconPacks(request.sources, target, reporter);
    run.summary = importSummaryText(run.outcome, target.iconDirectory, 0);
    for (std::size_t start = 0; start < run.summary.size();) {
        const std::size_t end = run.summary.find('\n', start);
        context.log.logInfo(run.summary.substr(start, end - start));
        start = end + 1;
    }
    // The count the window shows follows the new icon directory.
    if (withTrailingSeparator(settings.acNewIconsDir) == target.iconDirectory) scanNewIconDirectory(context);
    return run;
}
