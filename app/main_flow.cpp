#include "app/main_flow.h"

#include "app/context.h"
#include "app/event_log.h"
#include "app/program_exit.h"
#include "app/settings.h"
#include "atlas/atlas_kind.h"
#include "atlas/atlas_writer.h"
#include "atlas/icon_extraction.h"
#include "atlas/new_icon_scan.h"
#include "game/client_version.h"
#include "game/install_directory.h"
#include "game/package_unpacker.h"
#include "platform/file_system.h"
#include "platform/path_separator.h"
#include "ui/ui.h"

namespace {

constexpr const char* kWrongInstallDirectory =
    "Didn't select the correct install directory, exiting program!";

void firstStart(Context& context) {
    context.ui.showMessage("First Start",
                           "Can't load the config file, it seems to be the first start, please select\r\n"
                           "the World of Tanks® installation dir in the following dialog!",
                           MessageKind::Information);
    context.log.logInfo("Seems to be first start, set up environment.");
    selectInstallDirectory(context);
    context.settings.acCurrentDir = currentDirectory();
    createWorkingDirectories(context);
    if (unpackOriginalAtlases(context).entriesFound == 0) {
        selectInstallDirectory(context);
        if (unpackOriginalAtlases(context).entriesFound == 0) takeErrorExit(context, kWrongInstallDirectory);
    }
    extractBothAtlases(context);
}

void commonStart(Context& context) {
    Settings& settings = context.settings;
    followMovedWorkingDirectory(context);

    const std::string version = readClientVersion(context);
    if (version != settings.wotLastVersion &&
        context.ui.showMessage("New game version detected",
                               "It looks like, that the World of Tanks® game was updated since last start of "
                               "Ravelin.\r\n Would you like to load the new Atlases from the new version?",
                               MessageKind::Question) == MessageAnswer::Yes) {
        reloadGameAtlases(context, version);
    }
    settings.acNewIconFiles = scanNewIcons(context, settings.acNewIconsDir);
    context.ui.refreshMainWindow(settings);
    context.ui.showMainWindow();
}

void chooseNewGameDirectory(Context& context) {
    if (context.ui.showMessage(
            "New W.o.T. directory",
            "You are about to select a new directory for World of Tanks®\r\nAre you sure ?",
            MessageKind::Question) != MessageAnswer::Yes) {
        return;
    }
    selectInstallDirectory(context);
    if (unpackOriginalAtlases(context).entriesFound == 0) takeErrorExit(context, kWrongInstallDirectory);
    extractBothAtlases(context);
    context.ui.refreshMainWindow(context.settings);
}

void chooseNewIconDirectory(Context& context) {
    Settings& settings = context.settings;
    settings.acNewIconsDir =
        context.ui.chooseFolder("Select new contour icons directory:", settings.acNewIconsDir);
    if (settings.acNewIconsDir.empty()) {
        settings.acNewIconsDir = settings.acCurrentDir + "newTankImages" + kPathSeparator;
        context.ui.showMessage(
            "Using old directory",
            "You didn't slect anything or abort the request.\r\nUsing the old directory: " +
                settings.acNewIconsDir,
            MessageKind::Plain);
    }
    // Rescanned either way, so the window always shows the directory and count the build will use.
    settings.acNewIconFiles = scanNewIcons(context, settings.acNewIconsDir);
    context.ui.refreshMainWindow(settings);
}

}  // namespace

void createWorkingDirectories(Context& context) {
    Settings& settings = context.settings;
    struct WorkingDirectory {
        const char* name;
        std::string Settings::*field;
    };
    static const WorkingDirectory kDirectories[] = {
        {"originalAtlases", &Settings::acOriginalAtlasDir},
        {"defaultBattleImages", &Settings::acBattleAtlasDir},
        {"defaultMarkerImages", &Settings::acMarkerAtlasDir},
        {"newTankImages", &Settings::acNewIconsDir},
    };
    for (const WorkingDirectory& directory : kDirectories) {
        const std::string path = settings.acCurrentDir + directory.name;
        if (fileSize(directory.name) != kPathIsDirectory) {
            context.log.logInfo("The directory " + path + " doesn't exist, creating ...");
            if (!createDirectory(directory.name)) context.log.logError("Can't create directory: " + path);
        }
        settings.*directory.field = path + kPathSeparator;
    }
}

void followMovedWorkingDirectory(Context& context) {
    Settings& settings = context.settings;
    const std::string workingDirectory = currentDirectory();
    if (workingDirectory == settings.acCurrentDir) return;
    const std::string oldDirectory = settings.acCurrentDir;
    settings.acCurrentDir = workingDirectory;
    // An empty old directory holds nothing; a stored one without its separator still names a folder.
    if (oldDirectory.empty()) return;
    const std::string oldPrefix = withTrailingSeparator(oldDirectory);
    for (std::string Settings::*field :
         {&Settings::wotInstallDir, &Settings::acOriginalAtlasDir, &Settings::acBattleAtlasDir,
          &Settings::acMarkerAtlasDir, &Settings::acNewIconsDir}) {
        std::string& directory = settings.*field;
        if (directory.starts_with(oldPrefix))
            directory = workingDirectory + directory.substr(oldPrefix.size());
    }
    context.log.logInfo("Working directory moved from " + oldDirectory + " to " + workingDirectory + ".");
}

void extractBothAtlases(Context& context) {
    context.settings.wotNbOfBattleIcons = extractAtlasIcons(context, kBattleAtlas);
    context.settings.wotNbOfMarkerIcons = extractAtlasIcons(context, kMarkerAtlas);
}

void reloadGameAtlases(Context& context, const std::string& newVersion) {
    const bool unpacked = unpackOriginalAtlases(context).complete;
    extractBothAtlases(context);
    // Remembered only once the new atlases are taken apart: until then the question comes back.
    const Settings& settings = context.settings;
    if (unpacked && settings.wotNbOfBattleIcons > 0 && settings.wotNbOfMarkerIcons > 0)
        context.settings.wotLastVersion = newVersion;
}

void createAtlases(Context& context) {
    const Settings& settings = context.settings;
    buildAtlas(context, kMarkerAtlas.atlasImageName, kMarkerAtlas.atlasXmlName, settings.acMarkerAtlasDir,
               kMarkerAtlas.catalogueName);
    buildAtlas(context, kBattleAtlas.atlasImageName, kBattleAtlas.atlasXmlName, settings.acBattleAtlasDir,
               kBattleAtlas.catalogueName);
    context.ui.closeProgressWindow();
}

void takeErrorExit(Context& context, const std::string& message) {
    context.ui.showMessage("Error", message, MessageKind::Error);
    throw ProgramExit{ProgramExit::Reason::ErrorExit, message};
}

void startProgram(Context& context) {
    context.log.logEvent("", LogLevel::LogOpen);
    context.ui.openMainWindow();
    if (!loadSettings(context)) firstStart(context);
    commonStart(context);
}

void runEventLoop(Context& context) {
    for (bool quit = false; !quit;) {
        switch (context.ui.waitEvent()) {
            case UiEvent::MainWindowCloseRequest:
                quit = true;
                break;
            case UiEvent::ChooseGameDirectory:
                chooseNewGameDirectory(context);
                break;
            case UiEvent::ChooseNewIconsDirectory:
                chooseNewIconDirectory(context);
                break;
            case UiEvent::CreateAtlases:
                createAtlases(context);
                break;
            case UiEvent::OpenInstructions:
                context.ui.openInstructionsWindow();
                break;
            case UiEvent::CloseInstructions:
                context.ui.closeInstructionsWindow();
                break;
        }
    }
}

void finishProgram(Context& context) {
    saveSettings(context);
    context.log.logEvent("", LogLevel::LogClose);
}

int runProgram(Ui& ui) {
    Settings settings;
    EventLog log(ui);
    Context context{settings, log, ui};
    try {
        startProgram(context);
        runEventLoop(context);
        finishProgram(context);
    } catch (const ProgramExit&) {
        // The error exit, a fatal error or a log that could not be created: nothing more is saved.
    }
    return 0;
}
