#include "app/work_lock.h"

#include "app/context.h"
#include "app/event_log.h"
#include "app/install_record.h"
#include "app/settings.h"
#include "atlas/atlas_kind.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/path_separator.h"

namespace {

void reportRemoved(Context& context, int removed) {
    if (removed > 0)
        context.log.logInfo("Removed " + std::to_string(removed) +
                            " temporary files that an interrupted run left behind.");
}

std::string holderText(const DirectoryLock& lock) {
    return lock.holder() > 0 ? " (process " + std::to_string(lock.holder()) + ")" : std::string();
}

}  // namespace

std::optional<DirectoryLock> lockWorkingDirectory(std::string& refusal) {
    const std::string directory = currentDirectory();
    DirectoryLock lock = DirectoryLock::take(directory, std::string(kLockFileName));
    if (lock.status() != DirectoryLock::Status::Taken) return lock;
    refusal = "Another Ravelin is working in this folder" + holderText(lock) + ": " + directory;
    return std::nullopt;
}

std::optional<DirectoryLock> lockGameModFolder(const Context& context, std::string& refusal) {
    const std::string folder = context.settings.wotInstallDir + "res_mods" + kPathSeparator;
    if (fileSize(folder) != kPathIsDirectory) createDirectory(folder);
    DirectoryLock lock = DirectoryLock::take(folder, std::string(kLockFileName));
    if (lock.status() != DirectoryLock::Status::Taken) return lock;
    refusal = "Another Ravelin is installing into " + context.settings.wotInstallDir + holderText(lock) +
              "; try again when it has finished.";
    return std::nullopt;
}

void removeLeftTemporaryFiles(Context& context) {
    const std::string directory = currentDirectory();
    int removed = removeTemporaryFiles(directory, false);
    std::vector<std::string> folders{"originalAtlases"};
    for (const AtlasKind& kind : kAtlasKinds) folders.emplace_back(kind.iconDirectoryName);
    for (const std::string& folder : folders) removed += removeTemporaryFiles(directory + folder, false);
    removed += removeTemporaryFiles(directory + std::string(kBackupDirectoryName), true);
    reportRemoved(context, removed);
}

void removeLeftTemporaryFiles(Context& context, const std::vector<std::string>& gameFolders) {
    int removed = 0;
    for (const std::string& folder : gameFolders) removed += removeTemporaryFiles(folder, false);
    reportRemoved(context, removed);
}
