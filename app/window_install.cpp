#include "app/window_install.h"

#include "app/context.h"
#include "app/event_log.h"
#include "app/game_atlases.h"
#include "app/game_install.h"
#include "app/settings.h"
#include "platform/localized_text.h"
#include "ui/ui.h"

namespace {

std::string joinedLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\r\n") + line;
    return text;
}

}  // namespace

WindowBuildOutcome createAtlasesFromWindow(Context& context, bool install) {
    WindowBuildOutcome outcome;
    outcome.installWanted = install;
    AtlasBuildsOutcome built = buildBothAtlases(context);
    outcome.build = std::move(built.outcome);
    outcome.states = std::move(built.states);
    if (!outcome.installWanted || !outcome.build.succeeded()) {
        if (outcome.installWanted)
            context.log.logInfo("The new atlases were not installed: the build logged errors.");
        context.ui.closeProgressWindow();
        return outcome;
    }
    context.ui.openProgressWindow(localized("Installing the new atlases"));
    context.log.logInfo("Installing the new atlases");
    context.ui.setProgressText(localized("Putting the new atlases into the game"));
    outcome.install = installNewAtlases(context);
    if (outcome.install->succeeded()) {
        context.ui.setProgressText(localized("Looking for other mods' atlases"));
        outcome.otherMods = atlasConflictsAfterInstall(context);
    }
    context.ui.setProgressBar(100);
    context.ui.closeProgressWindow();
    if (outcome.install->succeeded())
        context.log.logInfo("The new atlases are in the game: " + outcome.install->place);
    return outcome;
}

void changeSaveInGameDirectory(Context& context, bool checked) {
    context.settings.acSaveInGamedir = checked ? 1 : 0;
    context.log.logInfo(checked ? "New atlases go into the game directory too."
                                : "New atlases stay in the working directory.");
    if (checked) return;
    if (!anythingInstalled(context)) return;
    if (context.ui.showMessage(
            localized("Remove installed atlases"),
            localized("Remove the atlases Ravelin put into the game and put back the files "
                      "they replaced?"),
            MessageKind::Question) != MessageAnswer::Yes) {
        return;
    }
    const StepOutcome outcome = uninstallNewAtlases(context);
    if (outcome.result == StepResult::DoneWithLeftovers) {
        context.ui.showMessage(localized("Error"),
                               localized("Not everything could be taken out of the game:\r\n{files}",
                                         {{"files", joinedLines(outcome.leftovers)}}),
                               MessageKind::Error);
    } else {
        context.ui.showMessage(localized("Atlases removed"),
                               localized("The atlases Ravelin installed are out of the game."),
                               MessageKind::Information);
    }
}
