#include "app/window_install.h"

#include "app/context.h"
#include "app/event_log.h"
#include "app/game_atlases.h"
#include "app/install_record.h"
#include "app/mod_install.h"
#include "app/settings.h"
#include "app/tracked_install.h"
#include "ui/ui.h"

namespace {

std::string joinedLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\r\n") + line;
    return text;
}

}  // namespace

void createAtlasesFromWindow(Context& context) {
    if (context.settings.acSaveInGamedir == 0) {
        createAtlases(context);
        return;
    }
    const std::int32_t errorsBefore = context.log.errorCount();
    buildBothAtlases(context);
    if (context.log.errorCount() != errorsBefore) {
        context.ui.closeProgressWindow();
        context.log.logInfo("The new atlases were not installed: the build logged errors.");
        context.ui.showMessage(
            "Error",
            "The new atlases were built with errors (see ravelin.log), so they were not put "
            "into the game.\r\nThe game's files are as they were.",
            MessageKind::Error);
        return;
    }
    context.ui.openProgressWindow("Installing the new atlases");
    context.log.logInfo("Installing the new atlases");
    context.ui.setProgressText("Putting the new atlases into the game");
    const StepOutcome outcome = installNewAtlases(context);
    context.ui.setProgressBar(100);
    context.ui.closeProgressWindow();
    if (outcome.succeeded()) {
        context.log.logInfo("The new atlases are in the game: " + outcome.place);
        std::string text = "The new atlases are in the game:\r\n" + outcome.place;
        if (!outcome.leftovers.empty())
            text += "\r\n\r\nThese files could not be taken out; remove them by hand:\r\n" +
                    joinedLines(outcome.leftovers);
        context.ui.showMessage("Atlases installed", text,
                               outcome.leftovers.empty() ? MessageKind::Information : MessageKind::Error);
    } else {
        std::string reason = outcome.reason;
        if (!reason.ends_with("as they were.")) reason += "\r\nThe game's files are as they were.";
        context.ui.showMessage("Error", "The new atlases could not be put into the game:\r\n" + reason,
                               MessageKind::Error);
    }
}

void changeSaveInGameDirectory(Context& context, bool checked) {
    context.settings.acSaveInGamedir = checked ? 1 : 0;
    context.log.logInfo(checked ? "New atlases go into the game directory too."
                                : "New atlases stay in the working directory.");
    if (checked) return;
    const InstallRecord record = readInstallRecord(context);
    if (record.installed.empty() && record.backups.empty()) return;
    if (context.ui.showMessage("Remove installed atlases",
                               "Remove the atlases Ravelin put into the game and put back the files they "
                               "replaced?",
                               MessageKind::Question) != MessageAnswer::Yes) {
        return;
    }
    const StepOutcome outcome = uninstallAtlases(context);
    if (outcome.result == StepResult::DoneWithLeftovers) {
        context.ui.showMessage(
            "Error", "Not everything could be taken out of the game:\r\n" + joinedLines(outcome.leftovers),
            MessageKind::Error);
    } else {
        context.ui.showMessage("Atlases removed", "The atlases Ravelin installed are out of the game.",
                               MessageKind::Information);
    }
}
