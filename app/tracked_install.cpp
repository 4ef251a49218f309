#include "app/tracked_install.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/context.h"
#include "app/event_log.h"
#include "app/install_record.h"
#include "app/mod_install.h"
#include "app/settings.h"
#include "app/work_lock.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/path_separator.h"

namespace {

// A free place in "backups/" for a file of the game: its path below the game directory, numbered when
// taken already.
std::string backupPlace(const Settings& settings, const std::string& path) {
    std::string relative = path.starts_with(settings.wotInstallDir)
                               ? path.substr(settings.wotInstallDir.size())
                               : fileNamePart(path, false);
    std::string place = std::string(kBackupDirectoryName) + kPathSeparator + relative;
    for (int number = 1; fileSize(settings.acCurrentDir + place) != kPathMissing; ++number)
        place = std::string(kBackupDirectoryName) + kPathSeparator + relative + "." + std::to_string(number);
    return place;
}

StepOutcome failedWith(Context& context, const std::string& reason) {
    context.log.logError(reason);
    return StepOutcome::failed(reason);
}

bool copyIntoBackups(Context& context, const std::string& path, const std::string& place) {
    const std::string backup = context.settings.acCurrentDir + place;
    std::error_code error;
    std::filesystem::create_directories(nativePath(backup).parent_path(), error);
    if (error || !copyFile(path, backup)) return false;
    context.log.logInfo("Backed up " + path + " into " + backup);
    return true;
}

// What the record itself adds to the leftovers when it cannot be written.
StepOutcome finishedWith(Context& context, const InstallRecord& record, std::vector<std::string> leftovers) {
    if (!writeInstallRecord(context, record))
        leftovers.push_back(context.settings.acCurrentDir + std::string(kInstallRecordName));
    if (leftovers.empty()) return StepOutcome::done();
    return {StepResult::DoneWithLeftovers, {}, std::move(leftovers), {}};
}

// The game's folders Ravelin writes into: those of the files it installs and of those in its record.
std::vector<std::string> gameFoldersOf(const InstallRecord& record, std::vector<std::string> paths) {
    for (const auto& installed : record.installed) paths.push_back(installed.path);
    for (const auto& backup : record.backups) paths.push_back(backup.path);
    std::vector<std::string> folders;
    for (const std::string& path : paths) {
        const std::string folder = utf8PathText(nativePath(path).parent_path()) + kPathSeparator;
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
    }
    return folders;
}

}  // namespace

StepOutcome installTracked(Context& context, const std::vector<FileCopy>& files) {
    InstallRecord record = readInstallRecord(context);
    std::vector<std::string> destinations;
    for (const FileCopy& file : files) destinations.push_back(file.destination);
    removeLeftTemporaryFiles(context, gameFoldersOf(record, destinations));
    settlePutBackBackups(context, record);
    std::vector<InstallRecord::BackedUp> newBackups;
    const auto dropNewBackups = [&] {
        for (const auto& backup : newBackups) removeFile(context.settings.acCurrentDir + backup.backup);
    };
    for (const FileCopy& file : files) {
        if (fileSize(file.destination) == kPathMissing) continue;
        if (record.installedAt(file.destination)) {
            if (record.wrote(file.destination, contentHash(file.destination))) continue;
            dropNewBackups();
            return failedWith(context, "Can't install the new atlases: " + file.destination +
                                           " changed since Ravelin installed it; move it away and install "
                                           "again.");
        }
        const InstallRecord::BackedUp backup{file.destination,
                                             backupPlace(context.settings, file.destination)};
        if (!copyIntoBackups(context, file.destination, backup.backup)) {
            dropNewBackups();
            return failedWith(context, "Can't back up " + file.destination + " into " +
                                           context.settings.acCurrentDir + backup.backup);
        }
        newBackups.push_back(backup);
    }
    std::vector<InstallRecord::Installed> installed;
    for (const FileCopy& file : files) {
        const std::optional<std::string> hash = contentHash(file.source);
        if (!hash) {
            dropNewBackups();
            return failedWith(context, "Can't read " + file.source);
        }
        installed.push_back({file.destination, *hash});
    }
    // Recorded before the files go in, beside what was there: whatever moment a kill (or a power cut)
    // stops the install at, the record names every file of Ravelin's in the game and every backup.
    InstallRecord during = record;
    during.installed.insert(during.installed.end(), installed.begin(), installed.end());
    during.backups.insert(during.backups.end(), newBackups.begin(), newBackups.end());
    if (!writeInstallRecord(context, during)) {
        dropNewBackups();
        return failedWith(context, "Can't write the install record: " + context.settings.acCurrentDir +
                                       std::string(kInstallRecordName));
    }
    if (StepOutcome outcome = installFileSet(context, files); !outcome.succeeded()) {
        writeInstallRecord(context, record);
        dropNewBackups();
        return outcome;
    }
    // What the new set does not hold goes, so the game never reads two installs at once.
    std::vector<std::string> superseded;
    for (const auto& old : record.installed) {
        if (std::none_of(installed.begin(), installed.end(),
                         [&](const auto& n) { return n.path == old.path; }))
            superseded.push_back(old.path);
    }
    std::vector<std::string> leftovers = takeOutInstalledFiles(context, record, superseded);
    std::erase_if(record.installed, [&](const auto& old) {
        return std::any_of(installed.begin(), installed.end(),
                           [&](const auto& n) { return n.path == old.path; });
    });
    record.installed.insert(record.installed.end(), installed.begin(), installed.end());
    record.backups.insert(record.backups.end(), newBackups.begin(), newBackups.end());
    putBackBackups(context, record, false);
    return finishedWith(context, record, std::move(leftovers));
}

StepOutcome uninstallAtlases(Context& context) {
    InstallRecord record = readInstallRecord(context);
    if (record.installed.empty() && record.backups.empty()) {
        context.log.logInfo("Nothing installed by Ravelin to take out.");
        return StepOutcome::nothingChanged();
    }
    std::string refusal;
    const std::optional<DirectoryLock> gameLock = lockGameModFolder(context, refusal);
    if (!gameLock) return failedWith(context, refusal);
    removeLeftTemporaryFiles(context, gameFoldersOf(record, {}));
    settlePutBackBackups(context, record);
    std::vector<std::string> leftovers = takeOutInstalledFiles(context, record, std::nullopt);
    for (std::string& backup : putBackBackups(context, record, true)) leftovers.push_back(std::move(backup));
    return finishedWith(context, record, std::move(leftovers));
}
