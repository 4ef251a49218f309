#include "mods/atlas_install.h"

#include "game/mod_directory.h"
#include "mods/game_file_set.h"
#include "mods/game_lock.h"
#include "mods/tracked_install.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/reporter.h"

namespace {

StepOutcome failedWith(Reporter& reporter, const std::string& reason) {
    reporter.logError(reason);
    return StepOutcome::failed(reason);
}

}  // namespace

std::optional<ModFolders> installFolders(const ModTarget& target, Reporter& reporter) {
    if (target.gameDirectory.empty() || target.gameVersion.empty()) {
        reporter.logError(
            englishText("Can't install the new atlases: the game directory or its version is unknown."));
        return std::nullopt;
    }
    return readModFolders(target.gameDirectory, target.gameVersion, reporter);
}

StepOutcome installAtlasFiles(const ModTarget& target, const ModFolders& folders, InstallWay way,
                              const std::vector<std::string>& files, Reporter& reporter) {
    const std::string directory = way == InstallWay::LooseFiles
                                      ? modAtlasDirectory(target.gameDirectory, folders.looseFiles)
                                      : modPackageDirectory(target.gameDirectory, folders.packages);
    std::vector<FileCopy> copies;
    for (const std::string& file : files) copies.push_back({file, directory + fileNamePart(file, false)});
    const std::string root = target.gameDirectory + (way == InstallWay::LooseFiles ? "res_mods" : "mods");
    if (!liesInside(directory, root))
        return failedWith(reporter,
                          englishText("Can't install the new atlases: {directory} is not inside {root}",
                                      {{"directory", directory}, {"root", root}}));
    // Held until the files are in and recorded: another working directory installing into the same game
    // would take out or back up what this one puts in.
    std::string refusal;
    const std::optional<DirectoryLock> gameLock = lockGameModFolder(target.gameDirectory, refusal);
    if (!gameLock) return failedWith(reporter, refusal);
    if (!createModDirectory(directory))
        return failedWith(reporter, withReadOnlyFolderNote(englishText("Can't create directory: {directory}",
                                                                       {{"directory", directory}}),
                                                           directory));
    StepOutcome outcome = installTracked(target, copies, reporter);
    if (outcome.succeeded()) outcome.place = directory;
    return outcome;
}
