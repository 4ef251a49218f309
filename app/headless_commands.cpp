#include "app/headless_commands.h"

#include <filesystem>

#include "app/context.h"
#include "app/event_log.h"
#include "app/game_atlases.h"
#include "app/game_directory_choice.h"
#include "app/game_install.h"
#include "app/icon_state_views.h"
#include "app/main_window_view.h"
#include "app/program_exit.h"
#include "app/settings.h"
#include "app/work_lock.h"
#include "app/working_directory.h"
#include "atlas/atlas_kind.h"
#include "atlas/icon_state_report.h"
#include "atlas/icon_state_summary.h"
#include "game/client_version.h"
#include "game/mod_directory.h"
#include "mods/atlas_package.h"
#include "mods/conflict_check.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/path_separator.h"
#include "ui/window_layout.h"

namespace {

constexpr std::string_view kNoWorkingDirectory =
    translatable("No Ravelin working directory here: run ravelin-cli setup GAME_DIR first.");

// The window's captions and status fields, one a line, with the version the game runs now after the
// stored one the icons were cut from.
std::string statusReport(const Settings& settings, const std::string& installedVersion) {
    const MainWindowView view = mainWindowViewOf(settings);
    std::string report;
    const auto shownDirectories = main_window::directories(view);
    for (std::size_t row = 0; row < main_window::kDirectoryCaptions.size(); ++row)
        report += localized(main_window::kDirectoryCaptions[row]) + " " + *shownDirectories[row] + "\n";
    const auto fields = main_window::statusTexts(view);
    report +=
        fields[0] + "\n" + localized("Installed game version: {version}", {{"version", installedVersion}}) +
        (installedVersion == settings.wotLastVersion ? "" : " " + localized("(run ravelin-cli update)")) +
        "\n";
    for (std::size_t field = 1; field < fields.size(); ++field) report += fields[field] + "\n";
    return report;
}

HeadlessOutcome writeReport(const Settings& settings, const std::string& path) {
    const std::string html = iconStateReportHtml(currentIconStates(settings), settings.wotLastVersion,
                                                 settings.acCurrentDir, homeDirectory());
    std::optional<OutputFile> file = OutputFile::open(path, OutputFile::Mode::Replace);
    if (file) file->write(html);
    HeadlessOutcome outcome;
    outcome.succeeded = file && file->finish();
    if (outcome.succeeded)
        outcome.report = localized("Report written to {file}", {{"file", path}}) + "\n";
    else
        outcome.reason = localized("Can't write the report: {file}", {{"file", path}});
    return outcome;
}

bool setUp(Context& context, const std::string& gameDirectory) {
    const bool tookApart = setUpFirstStart(
        context, [&] { useInstallDirectory(context, gameDirectory); }, 1);
    scanNewIconDirectory(context);
    return tookApart;
}

// Loads the settings as every later start does, following a moved working directory.
bool loadForCommonStart(Context& context) {
    if (!loadSettings(context)) return false;
    followMovedWorkingDirectory(context);
    return true;
}

// The jobs that use the originals refuse them once the game moved on: atlases built from the old version's
// icons would go into a folder the new version no longer reads.
bool gameUnchanged(Context& context) {
    const Settings& settings = context.settings;
    const std::string installed = readClientVersion(settings.wotInstallDir, context.reporter);
    if (installed == settings.wotLastVersion) return true;
    context.log.logError(
        englishText("The game was updated from {previous} to {version}: run ravelin-cli update first.",
                    {{"previous", settings.wotLastVersion}, {"version", installed}}));
    return false;
}

// Only these leave the working directory and the game as they are, so they may run beside another Ravelin.
bool onlyReads(HeadlessCommand command) {
    return command == HeadlessCommand::Status || command == HeadlessCommand::Games ||
           command == HeadlessCommand::Report || command == HeadlessCommand::Conflicts;
}

bool usesOriginals(HeadlessCommand command) {
    // Import compares with the default icons, which must be today's game's.
    return command == HeadlessCommand::Build || command == HeadlessCommand::Import ||
           command == HeadlessCommand::Install || command == HeadlessCommand::InstallPackage ||
           command == HeadlessCommand::Package;
}

// Setup and update store and report what they found even when part of it failed; the desktop program does
// the same.
bool reportsOnFailure(HeadlessCommand command) {
    return command == HeadlessCommand::Setup || command == HeadlessCommand::Update ||
           command == HeadlessCommand::UpdateInstall;
}

// A build changes no setting, but the directories followed to a moved working directory are true either way.
bool savesOnFailure(HeadlessCommand command) {
    return reportsOnFailure(command) || command == HeadlessCommand::Build;
}

// "With 3 errors (see ravelin.log), the first: ..." after the summary of a job that went on past them.
std::string errorsLine(const EventLog& log) {
    const std::int32_t errors = log.errorCount();
    return localizedPlural(errors, "With {count} error (see ravelin.log), the first: {error}",
                           "With {count} errors (see ravelin.log), the first: {error}",
                           {{"error", localizedLine(log.firstError().value_or(std::string()))}}) +
           "\n";
}

std::string iconCounts(const Settings& settings) {
    std::string counts;
    for (const AtlasKind& kind : kAtlasKinds) {
        counts += (counts.empty() ? "" : ", ") +
                  localized("{count} icons in {atlas}",
                            {{"count", settings.atlas(kind).iconCount}, {"atlas", kind.atlasName}});
    }
    return counts;
}

// The one line that tells what a job that succeeded did (status has its table instead).
std::string jobSummary(HeadlessCommand command, const Settings& settings, const std::string& wentTo) {
    switch (command) {
        case HeadlessCommand::Setup:
            return localized("Set up {directory} for World of Tanks {version}: {counts}.",
                             {{"directory", settings.acCurrentDir},
                              {"version", settings.wotLastVersion},
                              {"counts", iconCounts(settings)}}) +
                   "\n";
        case HeadlessCommand::Update:
        case HeadlessCommand::UpdateInstall:  // and after it what the build and install did
            return localized("Took the atlases of World of Tanks {version} apart: {counts}.",
                             {{"version", settings.wotLastVersion}, {"counts", iconCounts(settings)}}) +
                   "\n";
        case HeadlessCommand::Icons:
            return localized("New contour icon directory {directory}: {count} icons.",
                             {{"directory", settings.acNewIconsDir}, {"count", settings.acNewIconFiles}}) +
                   "\n";
        case HeadlessCommand::Install:
        case HeadlessCommand::InstallPackage:
            return localized("Installed into {place}", {{"place", wentTo}}) + "\n";
        case HeadlessCommand::Package:
            return localized("Package written: {file}", {{"file", wentTo}}) + "\n";
        case HeadlessCommand::Uninstall:
            return localized("Took out what Ravelin had installed into {directory}",
                             {{"directory", settings.wotInstallDir}}) +
                   "\n";
        case HeadlessCommand::Build:      // the build summary instead
        case HeadlessCommand::Import:     // the import summary instead
        case HeadlessCommand::Status:     // its table instead
        case HeadlessCommand::Games:      // its list instead
        case HeadlessCommand::Report:     // where the page went instead
        case HeadlessCommand::Conflicts:  // its lines instead
            break;
    }
    return {};
}

// update --install's: what the update found, what the build took (the new vehicles without a replacement
// among it) and where the atlases went.
std::string updateAndInstallSummary(const Settings& settings, const AtlasBuildsOutcome& built,
                                    const std::string& wentTo) {
    return jobSummary(HeadlessCommand::Update, settings, wentTo) +
           buildSummaryText(settings, built.states, 0) +
           (wentTo.empty() ? std::string() : jobSummary(HeadlessCommand::Install, settings, wentTo));
}

// The job itself, once the settings are there; install and package say where the files went, a build what
// it did, an update how many icon files it rewrote. False when setup or update could not take the atlases
// apart, so the files are as before.
bool runJob(Context& context, HeadlessCommand command, const std::string& argument, std::string& wentTo,
            std::vector<std::string>& leftovers, std::vector<std::string>& conflicts,
            std::optional<AtlasBuildsOutcome>& built, std::optional<std::int32_t>& rewritten) {
    switch (command) {
        case HeadlessCommand::Setup:
            return setUp(context, argument);
        case HeadlessCommand::Update: {
            rewritten = reloadGameAtlases(
                context, readClientVersion(context.settings.wotInstallDir, context.reporter));
            scanNewIconDirectory(context);
            return rewritten.has_value();
        }
        case HeadlessCommand::UpdateInstall: {
            rewritten = reloadGameAtlases(
                context, readClientVersion(context.settings.wotInstallDir, context.reporter));
            const bool tookApart = rewritten.has_value();
            scanNewIconDirectory(context);
            // Built only from atlases taken apart whole: else the earlier ones would go into the new folder.
            if (!tookApart || context.log.firstError()) return tookApart;
            built = createAtlases(context);
            if (built->outcome.succeeded()) {
                const StepOutcome installed = installNewAtlases(context);
                wentTo = installed.place;
                leftovers = installed.leftovers;
                if (installed.succeeded()) conflicts = atlasConflictsAfterInstall(context);
            }
            break;
        }
        case HeadlessCommand::Icons:
            context.settings.acNewIconsDir = withTrailingSeparator(argument);
            scanNewIconDirectory(context);
            break;
        case HeadlessCommand::Build:
            built = createAtlases(context);
            break;
        case HeadlessCommand::Install:
        case HeadlessCommand::InstallPackage: {
            const StepOutcome installed = installNewAtlases(
                context, command == HeadlessCommand::Install ? InstallWay::LooseFiles : InstallWay::Package);
            wentTo = installed.place;
            leftovers = installed.leftovers;
            if (installed.succeeded()) conflicts = atlasConflictsAfterInstall(context);
            break;
        }
        case HeadlessCommand::Uninstall:
            leftovers = uninstallNewAtlases(context).leftovers;
            break;
        case HeadlessCommand::Package: {
            const std::string path = argument.empty() ? context.settings.acCurrentDir +
                                                            defaultPackageName(modTarget(context.settings))
                                                      : argument;
            if (packageNewAtlases(context, path)) wentTo = path;
            break;
        }
        case HeadlessCommand::Import:     // runImportCommand's
        case HeadlessCommand::Status:     // answered from the loaded settings alone
        case HeadlessCommand::Games:      // answered from the launchers' records alone
        case HeadlessCommand::Report:     // answered from the settings and the files alone
        case HeadlessCommand::Conflicts:  // the same
            break;
    }
    return true;
}

// After an install's line: the other mods that ship the atlases, a line each.
std::string otherModsText(const std::vector<std::string>& lines) {
    std::string text = localized("Other mods ship the atlases too:") + "\n";
    for (const std::string& line : lines) text += "  " + line + "\n";
    return text;
}

// The errors a read-only check meets, for the caller to show; it has no progress.
class ErrorCollector : public Reporter {
public:
    void logInfo(std::string_view) override {}
    void logError(std::string_view text) override { errors.emplace_back(text); }
    void openProgress(std::string_view) override {}
    void setProgressText(std::string_view) override {}
    void setProgressValue(int) override {}
    void closeProgress() override {}

    std::vector<std::string> errors;
};

// The conflicts command: the game's folders as the installed version has them, since that is what the game
// reads now.
HeadlessOutcome conflictsReport(Context& context) {
    HeadlessOutcome outcome;
    ErrorCollector collector;
    ModTarget target = modTarget(context.settings);
    if (std::string installed = readClientVersion(target.gameDirectory, collector); !installed.empty())
        target.gameVersion = std::move(installed);
    collector.errors.clear();  // an unknown version leaves the stored one, which says what it needs
    const std::optional<AtlasConflicts> conflicts = checkAtlasConflicts(target, collector);
    const std::vector<std::string> lines =
        conflicts ? atlasConflictLines(*conflicts, kLocalizedConflictWording) : std::vector<std::string>();
    for (const std::string& line : lines) outcome.report += line + "\n";
    if (conflicts && lines.empty())
        outcome.report = localized("No other mod ships battleAtlas or vehicleMarkerAtlas.") + "\n";
    outcome.conflictsFound = !lines.empty();
    outcome.succeeded = collector.errors.empty();
    if (!outcome.succeeded) {
        outcome.reason = localizedLine(collector.errors.back());
        collector.errors.pop_back();
        for (const std::string& error : collector.errors) outcome.notes += localizedLine(error) + "\n";
    }
    return outcome;
}

// Keeps the lines reported while searching, for the caller to show; the search has no progress.
class NoteCollector : public Reporter {
public:
    void logInfo(std::string_view text) override { notes += localizedLine(text) + "\n"; }
    void logError(std::string_view text) override { notes += localizedLine(text) + "\n"; }
    void openProgress(std::string_view) override {}
    void setProgressText(std::string_view) override {}
    void setProgressValue(int) override {}
    void closeProgress() override {}

    std::string notes;
};

std::string gameList(const std::vector<GameInstallation>& found) {
    std::string list;
    for (const GameInstallation& installation : found) {
        list += installation.directory + "\t" + std::string(gameClientName(installation.client)) + "\t" +
                installation.realm + "\t" + installation.version + "\n";
    }
    return list;
}

HeadlessOutcome runCommand(HeadlessCommand command, const std::string& argument, const ImportRequest* import,
                           Ui& ui, const SearchPlaces& places) {
    HeadlessOutcome outcome;
    // Held to the end of the job: a second writer would mix its files with this one's.
    std::optional<DirectoryLock> lock;
    if (!onlyReads(command) && !(lock = lockWorkingDirectory(outcome.reason))) return outcome;
    std::string gameDirectory = argument;
    // Listing, or choosing for setup, reads the launchers' records and writes nothing.
    if (command == HeadlessCommand::Games || (command == HeadlessCommand::Setup && argument.empty())) {
        NoteCollector collector;
        const std::vector<GameInstallation> found = findGameInstallations(places, collector);
        outcome.notes = collector.notes;
        outcome.report = gameList(found);
        if (command == HeadlessCommand::Games) {
            // Nothing on stdout for scripts; a word for people.
            if (found.empty()) outcome.notes += localized("No game installation found.") + "\n";
            outcome.succeeded = true;
            return outcome;
        }
        if (found.size() != 1) {
            outcome.needsChoice = found.size() > 1;
            outcome.reason =
                found.empty() ? localized("No game installation found: name its directory (setup GAME_DIR).")
                              : localized("Several game installations found: name one (setup GAME_DIR).");
            return outcome;
        }
        gameDirectory = found.front().directory;
        outcome.report.clear();  // the job's own summary comes instead
    }
    Settings settings;
    EventLog log;
    Context context{settings, log, ui, places};
    try {
        if (command == HeadlessCommand::Report) {
            if (!loadSettings(context)) {
                outcome.reason = localized(kNoWorkingDirectory);
                return outcome;
            }
            return writeReport(settings, argument.empty() ? std::string(kDefaultReportFileName) : argument);
        }
        if (command == HeadlessCommand::Conflicts) {
            if (!loadSettings(context)) {
                outcome.reason = localized(kNoWorkingDirectory);
                return outcome;
            }
            return conflictsReport(context);
        }
        if (command == HeadlessCommand::Status) {
            outcome.succeeded = loadSettings(context);
            if (!outcome.succeeded) {
                outcome.reason = localized(kNoWorkingDirectory);
                return outcome;
            }
            outcome.report =
                statusReport(settings, readClientVersion(settings.wotInstallDir, context.reporter)) +
                iconStateCountLines(currentIconStates(settings));
            return outcome;
        }
        openLog(context);
        removeLeftTemporaryFiles(context);
        // Settings are saved when they were set up or loaded, as the desktop program's normal exit saves
        // them.
        const bool haveSettings = command == HeadlessCommand::Setup || loadForCommonStart(context);
        std::string wentTo;
        std::vector<std::string> leftovers;  // of an install or uninstall that was done otherwise
        std::vector<std::string> conflicts;  // other mods' atlases beside the installed ones
        const bool jobRuns = haveSettings && (!usesOriginals(command) || gameUnchanged(context));
        std::optional<AtlasBuildsOutcome> built;
        std::optional<std::int32_t> rewritten;  // by an update
        std::string importSummary;
        bool ranToItsEnd = false;
        if (jobRuns && command == HeadlessCommand::Import)
            importSummary = importIconPacksInto(context, *import).summary;
        else if (jobRuns)
            ranToItsEnd =
                runJob(context, command, gameDirectory, wentTo, leftovers, conflicts, built, rewritten);
        if (built) {
            outcome.succeeded = built->outcome.succeeded();
            outcome.reason = localizedLine(built->outcome.reason);
            // After the build of update --install, its install fails the job with its own error.
            if (command == HeadlessCommand::UpdateInstall && outcome.succeeded && log.firstError()) {
                outcome.succeeded = false;
                outcome.reason = localizedLine(*log.firstError());
            }
        } else {
            // The log keeps its entry for the missing settings; the reason says what to do.
            outcome.reason = haveSettings ? localizedLine(log.firstError().value_or(std::string()))
                                          : localized(kNoWorkingDirectory);
            outcome.succeeded = !log.firstError();
        }
        // A failed job stores nothing it changed on the way (a missing icon directory stays unused).
        if (haveSettings && (outcome.succeeded || savesOnFailure(command))) saveSettings(context);
        const std::string errors = log.firstError() ? errorsLine(log) : std::string();
        closeLog(context);
        // The build summary tells what went wrong too, so it comes also after a failed build.
        if (built && command == HeadlessCommand::UpdateInstall)
            outcome.report = updateAndInstallSummary(settings, *built, wentTo);
        else if (built)
            outcome.report = buildSummaryText(settings, built->states, 0);
        else if (command == HeadlessCommand::Import)
            outcome.report = importSummary;
        else if (outcome.succeeded)
            outcome.report = jobSummary(command, settings, wentTo);
        else if (ranToItsEnd && reportsOnFailure(command))
            outcome.report = jobSummary(command, settings, wentTo) + errors;
        // Done all the same: what was done is said, the files left behind are the reason it failed.
        if (!leftovers.empty()) {
            outcome.report = built ? updateAndInstallSummary(settings, *built, wentTo)
                                   : jobSummary(command, settings, wentTo);
            outcome.reason = localized("These files could not be taken out; remove them by hand: {files}",
                                       {{"files", nameListText(leftovers, 0)}});
        }
        // An update's line is followed by how many icon files it rewrote.
        const std::size_t firstLineEnd = outcome.report.find('\n');
        if (rewritten && firstLineEnd != std::string::npos)
            outcome.report.insert(firstLineEnd + 1, rewrittenIconFilesText(*rewritten) + "\n");
        if (!conflicts.empty()) outcome.report += otherModsText(conflicts);
    } catch (const ProgramExit& exit) {
        outcome.succeeded = false;
        outcome.reason = exit.message;
    }
    return outcome;
}

}  // namespace

HeadlessOutcome runHeadlessCommand(HeadlessCommand command, const std::string& argument, Ui& ui,
                                   const SearchPlaces& places) {
    const ImportRequest nothing;
    return runCommand(command, argument, &nothing, ui, places);
}

HeadlessOutcome runImportCommand(const ImportRequest& request, Ui& ui) {
    return runCommand(HeadlessCommand::Import, {}, &request, ui, {});
}
