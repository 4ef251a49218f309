#include "app/working_directory.h"

#include <filesystem>
#include <vector>

#include "app/context.h"
#include "app/event_log.h"
#include "app/game_atlases.h"
#include "app/program_exit.h"
#include "app/settings.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/path_separator.h"

std::string userWorkingDirectory() {
    const std::string data = userDataHome();
    return data.empty() ? data : data + "ravelin" + kPathSeparator;
}

bool enterUserWorkingDirectory() {
    const std::string directory = userWorkingDirectory();
    if (directory.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(nativePath(directory), error);
    if (error) return false;
    std::filesystem::current_path(nativePath(directory), error);
    return !error;
}

void createWorkingDirectories(Context& context) {
    Settings& settings = context.settings;
    struct WorkingDirectory {
        std::string name;
        std::string& field;
    };
    std::vector<WorkingDirectory> directories{{"originalAtlases", settings.acOriginalAtlasDir}};
    for (const AtlasKind& kind : kAtlasKinds)
        directories.push_back({std::string(kind.iconDirectoryName), settings.atlas(kind).iconDirectory});
    directories.push_back({"newTankImages", settings.acNewIconsDir});
    for (const WorkingDirectory& directory : directories) {
        const std::string path = settings.acCurrentDir + directory.name;
        if (fileSize(directory.name) != kPathIsDirectory) {
            context.log.logInfo("The directory " + path + " doesn't exist, creating ...");
            if (!createDirectory(directory.name))
                context.log.logError(
                    englishText("Can't create directory: {directory}", {{"directory", path}}));
        }
        directory.field = path + kPathSeparator;
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
    std::vector<std::string*> directories{&settings.wotInstallDir, &settings.acOriginalAtlasDir};
    for (AtlasRecord& atlas : settings.atlases) directories.push_back(&atlas.iconDirectory);
    directories.push_back(&settings.acNewIconsDir);
    for (std::string* stored : directories) {
        std::string& directory = *stored;
        if (directory.starts_with(oldPrefix))
            directory = workingDirectory + directory.substr(oldPrefix.size());
    }
    context.log.logInfo("Working directory moved from " + oldDirectory + " to " + workingDirectory + ".");
}

bool setUpFirstStart(Context& context, const std::function<void()>& chooseGameDirectory, int attempts) {
    context.log.logInfo("Seems to be first start, set up environment.");
    chooseGameDirectory();
    context.settings.acCurrentDir = currentDirectory();
    createWorkingDirectories(context);
    GameAtlasesTakenApart takenApart;
    while ((takenApart = takeGameAtlasesApart(context)).entriesFound == 0) {
        if (--attempts <= 0) takeErrorExit(context, kWrongInstallDirectory);
        chooseGameDirectory();
    }
    // Not taken apart (a full disk): no version is remembered, so the next start offers it again.
    if (!takenApart.inPlace) context.settings.wotLastVersion.clear();
    return takenApart.inPlace;
}
