#include "app/import_summary_box.h"

#include <algorithm>

#include "platform/localized_text.h"
#include "ui/window_layout.h"

namespace {

constexpr std::size_t kNamesInText = 5;  // the rest are in the details

// The counts per atlas below say which went into extra/ and which were equal to the game's.
std::string headlineOf(const ImportOutcome& outcome) {
    if (outcome.parts.empty()) return localized("Nothing was imported.");
    std::size_t imported = 0;
    for (const PackPartImport& part : outcome.parts) imported += part.imported;
    return localizedPlural(static_cast<std::int64_t>(imported), "Imported {count} icon.",
                           "Imported {count} icons.");
}

std::string errorLines(const std::vector<std::string>& errors, std::size_t limit) {
    std::string lines;
    const std::size_t shown = limit == 0 ? errors.size() : std::min(limit, errors.size());
    for (std::size_t i = 0; i < shown; ++i) lines += localizedLine(errors[i]) + "\n";
    if (shown < errors.size())
        lines += localized("and {count} more", {{"count", errors.size() - shown}}) + "\n";
    return lines;
}

}  // namespace

BuildSummaryView importSummaryViewOf(const PackImportRun& run) {
    BuildSummaryView view;
    view.warning = !run.errors.empty();
    view.title =
        localized(view.warning ? import_action::kSummaryTitleWithErrors : import_action::kSummaryTitle);
    view.headline = headlineOf(run.outcome);
    view.folder = run.iconDirectory;
    // Nothing imported: the headline says so, the errors say why.
    if (!run.outcome.parts.empty())
        view.text = importSummaryText(run.outcome, run.iconDirectory, kNamesInText) + "\n";
    if (!run.errors.empty())
        view.text +=
            localized("Errors (ravelin.log has them all):") + "\n" + errorLines(run.errors, kNamesInText);
    view.details = run.summary;
    if (!run.errors.empty())
        view.details +=
            (view.details.empty() ? "" : "\n") + localized("Errors:") + "\n" + errorLines(run.errors, 0);
    return view;
}
