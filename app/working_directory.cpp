#include "app/working_directory.h"

#include "app/context.h"
#include "app/event_log.h"
#include "app/settings.h"
#include "platform/file_system.h"
#include "platform/path_separator.h"

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
