#include "app/main_flow.h"

#include "app/context.h"
#include "app/event_log.h"
#include "app/game_atlases.h"
#include "app/game_directory_choice.h"
#include "app/game_install.h"
#include "app/icon_state_views.h"
#include "app/import_summary_box.h"
#include "app/main_window_view.h"
#include "app/pack_import.h"
#include "app/program_exit.h"
#include "app/settings.h"
#include "app/window_install.h"
#include "app/work_lock.h"
#include "app/working_directory.h"
#include "game/client_version.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/path_separator.h"
#include "ui/ui.h"
#include "ui/window_layout.h"

namespace {

// The desktop program's state: the shared context and the windows it owns.
struct Desktop {
    Context& context;
    DesktopUi& ui;

    void refreshMainWindow() { ui.refreshMainWindow(mainWindowViewOf(context.settings)); }
};

void firstStart(Context& context) {
    context.ui.showMessage(
        localized("First Start"),
        localized("Can't load the config file, it seems to be the first start, please select\r\n"
                  "the World of Tanks® installation dir in the following dialog!"),
        MessageKind::Information);
    // A directory without atlases gets one more choice.
    setUpFirstStart(
        context, [&context] { selectInstallDirectory(context); }, 2);
}

void chooseNewGameDirectory(Desktop& desktop) {
    Context& context = desktop.context;
    if (context.ui.showMessage(
            localized("New W.o.T. directory"),
            localized("You are about to select a new directory for World of Tanks®\r\nAre you sure ?"),
            MessageKind::Question) != MessageAnswer::Yes) {
        return;
    }
    const Settings before = context.settings;
    selectInstallDirectory(context);
    const GameAtlasesTakenApart takenApart = takeGameAtlasesApart(context);
    if (takenApart.entriesFound == 0) takeErrorExit(context, kWrongInstallDirectory);
    // The icons are still the earlier game's (a full disk): so is everything the settings say.
    if (!takenApart.inPlace) context.settings = before;
    desktop.refreshMainWindow();
}

void chooseNewIconDirectory(Desktop& desktop) {
    Context& context = desktop.context;
    Settings& settings = context.settings;
    settings.acNewIconsDir =
        context.ui.chooseFolder(localized("Select new contour icons directory:"), settings.acNewIconsDir);
    if (settings.acNewIconsDir.empty()) {
        settings.acNewIconsDir = settings.acCurrentDir + "newTankImages" + kPathSeparator;
        context.ui.showMessage(
            localized("Using old directory"),
            localized(
                "You didn't slect anything or abort the request.\r\nUsing the old directory: {directory}",
                {{"directory", settings.acNewIconsDir}}),
            MessageKind::Plain);
    }
    // Rescanned either way, so the window always shows the directory and count the build will use.
    scanNewIconDirectory(context);
    desktop.refreshMainWindow();
}

// The icon overview of the states given, at the size the user chose last; a filter given is selected.
void showIconOverview(Desktop& desktop, const IconStateModel& states,
                      std::optional<icon_overview::Filter> filter = std::nullopt) {
    const Settings& settings = desktop.context.settings;
    IconOverviewView view = iconOverviewViewOf(states);
    view.filter = filter;
    view.windowSize = {settings.acOverviewWidth, settings.acOverviewHeight,
                       settings.acOverviewMaximized != 0};
    desktop.ui.showIconOverview(view);
}

// "Create Atlases", then one box: where the atlases went or why not, what needs a look, every name behind
// its details; "Show icons" opens the overview on what needs attention. After an update, the box first says
// how many icon files it rewrote.
void createAtlasesAndSummarize(Desktop& desktop, bool install,
                               std::optional<std::int32_t> rewritten = std::nullopt) {
    Context& context = desktop.context;
    const WindowBuildOutcome outcome = createAtlasesFromWindow(context, install);
    // What the build took, not what reading the files again would say.
    const IconStateModel states = iconStateModelOf(outcome.states, context.settings.acNewIconsDir);
    BuildSummaryView view = buildSummaryViewOf(states, outcome, atlasOutputDirectory(context.settings));
    if (rewritten) view.text = rewrittenIconFilesText(*rewritten) + "\n\n" + view.text;
    if (desktop.ui.showBuildSummary(view) == BuildSummaryChoice::ShowIcons)
        showIconOverview(desktop, states, icon_overview::Filter::NeedsAttention);
}

// After a patch with Ravelin's atlases in the game, they show the wrong pixels: the question offers the
// whole way back, taking apart, building and installing. When the new atlases were taken apart for that,
// how many icon files were rewritten.
std::optional<std::int32_t> offerUpdateAndInstall(Context& context, const std::string& version) {
    const std::string previous = context.settings.wotLastVersion;
    if (context.ui.showMessage(
            localized("New game version detected"),
            localized("World of Tanks® was updated from {previous} to {version} since the last "
                      "start of Ravelin, and the atlases Ravelin installed were built for "
                      "{previous}.\r\nWould you like to take the new atlases apart, build and "
                      "install new ones in one go?",
                      {{"previous", previous}, {"version", version}}),
            MessageKind::Question) != MessageAnswer::Yes) {
        return std::nullopt;
    }
    const std::optional<std::int32_t> rewritten = reloadGameAtlases(context, version);
    return context.settings.wotLastVersion == version ? rewritten : std::nullopt;
}

void commonStart(Desktop& desktop) {
    Context& context = desktop.context;
    followMovedWorkingDirectory(context);
    const std::string version = readClientVersion(context.settings.wotInstallDir, context.reporter);
    std::optional<std::int32_t> rewrittenForInstall;
    if (version != context.settings.wotLastVersion && anythingInstalled(context)) {
        rewrittenForInstall = offerUpdateAndInstall(context, version);
    } else if (version != context.settings.wotLastVersion &&
               context.ui.showMessage(
                   localized("New game version detected"),
                   localized("It looks like, that the World of Tanks® game was updated since last start "
                             "of Ravelin.\r\n Would you like to load the new Atlases from the new "
                             "version?"),
                   MessageKind::Question) == MessageAnswer::Yes) {
        const std::optional<std::int32_t> rewritten = reloadGameAtlases(context, version);
        // The older client's start stays as it always was; today's says what the update changed.
        if (rewritten && context.settings.wotLastVersion == version &&
            todaysClientOriginals(context.settings)) {
            context.ui.showMessage(localized("New game version loaded"),
                                   localized("The atlases of World of Tanks {version} were taken apart.",
                                             {{"version", version}}) +
                                       "\r\n" + rewrittenIconFilesText(*rewritten),
                                   MessageKind::Information);
        }
    }
    scanNewIconDirectory(context);
    desktop.refreshMainWindow();
    desktop.ui.showMainWindow();
    if (rewrittenForInstall) createAtlasesAndSummarize(desktop, true, rewrittenForInstall);
}

// Icon packs chosen or dropped, imported into the new icon directory as ravelin-cli does without --all and
// --replace. The window behind the box already shows the new count and an open overview the new icons.
void importAndSummarize(Desktop& desktop, const std::vector<std::string>& sources) {
    Context& context = desktop.context;
    const PackImportRun run = importIconPacksInto(context, {sources, {}, false, false});
    desktop.refreshMainWindow();
    if (desktop.ui.iconOverviewOpen()) showIconOverview(desktop, currentIconStates(context.settings));
    if (desktop.ui.showBuildSummary(importSummaryViewOf(run)) == BuildSummaryChoice::ShowIcons)
        showIconOverview(desktop, currentIconStates(context.settings));
}

// The overview's size is stored once the user changed it from what it opened at, default or remembered.
void rememberIconOverviewSize(Desktop& desktop) {
    const std::optional<OverviewWindowSize> size = desktop.ui.iconOverviewSize();
    Settings& settings = desktop.context.settings;
    const bool chosenBefore = settings.acOverviewWidth != 0 || settings.acOverviewHeight != 0;
    const OverviewWindowSize opened{
        chosenBefore ? settings.acOverviewWidth : icon_overview_window::kClientWidth,
        chosenBefore ? settings.acOverviewHeight : icon_overview_window::kClientHeight,
        settings.acOverviewMaximized != 0};
    if (!size || *size == opened) return;
    settings.acOverviewWidth = size->width;
    settings.acOverviewHeight = size->height;
    settings.acOverviewMaximized = size->maximized ? 1 : 0;
}

// A language chosen in the menu is stored (the system's by storing none) and spoken at once, even where
// --lang chose another for this run: the windows are made anew in it, an open overview shown again.
void changeLanguage(Desktop& desktop, const std::string& code) {
    Context& context = desktop.context;
    context.settings.language = code;
    context.log.logInfo(code.empty() ? "Language: the system's." : "Language: " + code + ".");
    const std::string before = currentLanguage();
    if (chooseLanguage(code.empty() ? desktop.ui.systemLanguages() : std::vector{code}) == before) {
        desktop.refreshMainWindow();  // the check mark moves
        return;
    }
    rememberIconOverviewSize(desktop);
    const bool overviewOpen = desktop.ui.iconOverviewOpen();
    desktop.ui.remakeWindows();
    desktop.refreshMainWindow();
    if (overviewOpen) showIconOverview(desktop, currentIconStates(context.settings));
}

void runEventLoop(Desktop& desktop) {
    for (bool quit = false; !quit;) {
        const WindowEvent event = desktop.ui.waitEvent();
        switch (event.kind) {
            case UiEvent::MainWindowCloseRequest:
                quit = true;
                break;
            case UiEvent::ChooseGameDirectory:
                chooseNewGameDirectory(desktop);
                break;
            case UiEvent::ChooseNewIconsDirectory:
                chooseNewIconDirectory(desktop);
                break;
            case UiEvent::CreateAtlases:
                createAtlasesAndSummarize(desktop, desktop.context.settings.acSaveInGamedir != 0);
                break;
            case UiEvent::SaveInGameDirectoryChecked:
            case UiEvent::SaveInGameDirectoryUnchecked:
                changeSaveInGameDirectory(desktop.context, event.kind == UiEvent::SaveInGameDirectoryChecked);
                desktop.refreshMainWindow();
                break;
            case UiEvent::OpenInstructions:
                desktop.ui.openInstructionsWindow();
                break;
            case UiEvent::CloseInstructions:
                desktop.ui.closeInstructionsWindow();
                break;
            case UiEvent::OpenIconOverview:
            case UiEvent::RefreshIconOverview:  // what is on disk now
                showIconOverview(desktop, currentIconStates(desktop.context.settings));
                break;
            case UiEvent::IconOverviewClosed:
                rememberIconOverviewSize(desktop);
                break;
            case UiEvent::ImportChosen:
            case UiEvent::PathsDropped:
                if (!event.paths.empty()) importAndSummarize(desktop, event.paths);
                break;
            case UiEvent::LanguageChosen:
                changeLanguage(desktop, event.language);
                break;
        }
        storeChangedSettings(desktop.context);
    }
}

}  // namespace

int runProgram(DesktopUi& ui, const SearchPlaces& places) {
    Settings settings;
    EventLog log;
    Context context{settings, log, ui, places};
    Desktop desktop{context, ui};
    ignoreFileSizeSignal();
    // Held until the program ends; before the log, which a second program would start anew.
    std::string refusal;
    const std::optional<DirectoryLock> lock = lockWorkingDirectory(refusal);
    if (!lock) {
        ui.showMessage("Ravelin", refusal, MessageKind::Error);
        return 1;
    }
    bool started = false;  // the settings are complete: set up or loaded
    bool ended = false;    // the settings and the log's last line are written
    const auto endNormally = [&] {
        if (ended) return;
        ended = true;
        if (started) {
            rememberIconOverviewSize(desktop);  // it may still be open
            saveSettings(context);
        }
        closeLog(context);
    };
    // A first start that is ended before it is complete stores nothing, so the next start is a first
    // start again.
    ui.setEndRequestHandler(endNormally);
    try {
        openLog(context);
        removeLeftTemporaryFiles(context);
        ui.openMainWindow();
        if (!loadSettings(context)) {
            firstStart(context);
            storeChangedSettings(context);
        }
        started = true;
        commonStart(desktop);
        storeChangedSettings(context);
        runEventLoop(desktop);
        endNormally();
    } catch (const ProgramExit&) {
        // The error exit, a fatal error or a log that could not be created: nothing more is saved.
        ended = true;
    }
    ui.setEndRequestHandler(nullptr);
    return 0;
}
