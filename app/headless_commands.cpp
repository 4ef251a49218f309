#include "app/headless_commands.h"

#include <filesystem>

#include "app/context.h"
#include "app/event_log.h"
#include "app/main_flow.h"
#include "app/program_exit.h"
#include "app/settings.h"
#include "atlas/new_icon_scan.h"
#include "game/client_version.h"
#include "game/install_directory.h"
#include "game/package_unpacker.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/path_separator.h"

namespace {

constexpr const char* kNoSettings = "Can't open config file.";

std::string firstError(const EventLog& log) {
    for (const std::string& entry : log.pendingEntries()) {
        const std::size_t at = entry.find("]  ERROR: ");
        if (at != std::string::npos) return entry.substr(at + 10);
    }
    return {};
}

std::string statusReport(const Settings& s) {
    return "World of Tanks install directory: " + s.wotInstallDir + "\n" +
           "Battle Atlas icon directory: " + s.acBattleAtlasDir + "\n" +
           "Marker Atlas icon directory: " + s.acMarkerAtlasDir + "\n" +
           "New contour icon directory: " + s.acNewIconsDir + "\n" + "Game Version: " + s.wotLastVersion +
           "\n" + "Battle icons found: " + std::to_string(s.wotNbOfBattleIcons) + "\n" +
           "Marker icons found: " + std::to_string(s.wotNbOfMarkerIcons) + "\n" +
           "New icons found: " + std::to_string(s.acNewIconFiles) + "\n";
}

void setUp(Context& context) {
    context.log.logInfo("Seems to be first start, set up environment.");
    selectInstallDirectory(context);
    context.settings.acCurrentDir = currentDirectory();
    createWorkingDirectories(context);
    if (unpackOriginalAtlases(context).entriesFound == 0) {
        takeErrorExit(context, "Didn't select the correct install directory, exiting program!");
    }
    extractBothAtlases(context);
    context.settings.acNewIconFiles = scanNewIcons(context, context.settings.acNewIconsDir);
}

// Loads the settings as every later start does, following a moved working directory.
bool loadForCommonStart(Context& context) {
    if (!loadSettings(context)) return false;
    followMovedWorkingDirectory(context);
    return true;
}

// The job itself, once the settings are there.
void runJob(Context& context, HeadlessCommand command, const std::string& argument) {
    switch (command) {
        case HeadlessCommand::Setup:
            setUp(context);
            break;
        case HeadlessCommand::Update:
            reloadGameAtlases(context, readClientVersion(context));
            context.settings.acNewIconFiles = scanNewIcons(context, context.settings.acNewIconsDir);
            break;
        case HeadlessCommand::Icons: {
            std::error_code error;
            const auto absolute = std::filesystem::absolute(nativePath(argument), error);
            context.settings.acNewIconsDir =
                withTrailingSeparator(error ? argument : absolute.lexically_normal().string());
            context.settings.acNewIconFiles = scanNewIcons(context, context.settings.acNewIconsDir);
            break;
        }
        case HeadlessCommand::Build:
            createAtlases(context);
            break;
        case HeadlessCommand::Status:  // answered from the loaded settings alone
            break;
    }
}

}  // namespace

HeadlessOutcome runHeadlessCommand(HeadlessCommand command, const std::string& argument, Ui& ui) {
    Settings settings;
    EventLog log(ui);
    Context context{settings, log, ui};
    HeadlessOutcome outcome;
    try {
        if (command == HeadlessCommand::Status) {
            if (!loadSettings(context)) return {false, kNoSettings, {}};
            return {true, {}, statusReport(settings)};
        }
        log.logEvent("", LogLevel::LogOpen);
        // Settings are saved when they were set up or loaded, as the desktop program's normal exit saves
        // them.
        const bool haveSettings = command == HeadlessCommand::Setup || loadForCommonStart(context);
        if (haveSettings) runJob(context, command, argument);
        outcome.reason = firstError(log);
        outcome.succeeded = outcome.reason.empty();
        if (haveSettings) {
            finishProgram(context);
        } else {
            log.logEvent("", LogLevel::LogClose);
        }
        outcome.report = statusReport(settings);
    } catch (const ProgramExit& exit) {
        outcome.succeeded = false;
        outcome.reason = exit.message;
    }
    return outcome;
}
