#include "app/work_lock.h"

#include "app/context.h"
#include "app/event_log.h"
#include "atlas/atlas_kind.h"
#include "mods/game_lock.h"
#include "mods/install_record.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"

std::optional<DirectoryLock> lockWorkingDirectory(std::string& refusal) {
    const std::string directory = currentDirectory();
    DirectoryLock lock = DirectoryLock::take(directory, std::string(kLockFileName));
    if (lock.status() != DirectoryLock::Status::Taken) return lock;
    refusal =
        lock.holder() > 0
            ? localized("Another Ravelin is working in this folder (process {process}): {directory}",
                        {{"process", lock.holder()}, {"directory", directory}})
            : localized("Another Ravelin is working in this folder: {directory}", {{"directory", directory}});
    return std::nullopt;
}

void removeLeftTemporaryFiles(Context& context) {
    const std::string directory = currentDirectory();
    int removed = removeTemporaryFiles(directory, false);
    std::vector<std::string> folders{"originalAtlases"};
    for (const AtlasKind& kind : kAtlasKinds) folders.emplace_back(kind.iconDirectoryName);
    for (const std::string& folder : folders) removed += removeTemporaryFiles(directory + folder, false);
    removed += removeTemporaryFiles(directory + std::string(kBackupDirectoryName), true);
    if (removed > 0) context.log.logInfo(removedTemporaryFilesText(removed));
}
