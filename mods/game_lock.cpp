#include "mods/game_lock.h"

#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/path_separator.h"
#include "platform/reporter.h"

std::optional<DirectoryLock> lockGameModFolder(const std::string& gameDirectory, std::string& refusal) {
    const std::string folder = gameDirectory + "res_mods" + kPathSeparator;
    if (fileSize(folder) != kPathIsDirectory) createDirectory(folder);
    DirectoryLock lock = DirectoryLock::take(folder, std::string(kLockFileName));
    if (lock.status() != DirectoryLock::Status::Taken) return lock;
    refusal =
        lock.holder() > 0
            ? englishText(
                  "Another Ravelin is installing into {directory} (process {process}); try again "
                  "when it has finished.",
                  {{"directory", gameDirectory}, {"process", lock.holder()}})
            : englishText("Another Ravelin is installing into {directory}; try again when it has finished.",
                          {{"directory", gameDirectory}});
    return std::nullopt;
}

std::string removedTemporaryFilesText(int removed) {
    if (removed <= 0) return {};
    return "Removed " + std::to_string(removed) + " temporary files that an interrupted run left behind.";
}

void removeLeftTemporaryFiles(const std::vector<std::string>& gameFolders, Reporter& reporter) {
    int removed = 0;
    for (const std::string& folder : gameFolders) removed += removeTemporaryFiles(folder, false);
    if (removed > 0) reporter.logInfo(removedTemporaryFilesText(removed));
}
