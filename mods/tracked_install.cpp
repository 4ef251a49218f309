#include "mods/tracked_install.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "mods/game_file_set.h"
#include "mods/game_lock.h"
#include "mods/install_record.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/path_separator.h"
#include "platform/reporter.h"

namespace {

// A free place in "backups/" for a file of the game: its path below the game directory, numbered when
// taken already.
std::string backupPlace(const ModTarget& target, const std::string& path) {
    std::string relative = path.starts_with(target.gameDirectory) ? path.substr(target.gameDirectory.size())
                                                                  : fileNamePart(path, false);
    std::string place = std::string(kBackupDirectoryName) + kPathSeparator + relative;
    for (int number = 1; fileSize(target.workingDirectory + place) != kPathMissing; ++number)
        place = std::string(kBackupDirectoryName) + kPathSeparator + relative + "." + std::to_string(number);
    return place;
}

StepOutcome failedWith(Reporter& reporter, const std::string& reason) {
    reporter.logError(reason);
    return StepOutcome::failed(reason);
}

bool copyIntoBackups(const ModTarget& target, const std::string& path, const std::string& place,
                     Reporter& reporter) {
    const std::string backup = target.workingDirectory + place;
    std::error_code error;
    std::filesystem::create_directories(nativePath(backup).parent_path(), error);
    if (error || !copyFile(path, backup)) return false;
    reporter.logInfo("Backed up " + path + " into " + backup);
    return true;
}

// What the record itself adds to the leftovers when it cannot be written.
StepOutcome finishedWith(const ModTarget& target, const InstallRecord& record,
                         std::vector<std::string> leftovers, Reporter& reporter) {
    if (!writeInstallRecord(target.workingDirectory, record, reporter))
        leftovers.push_back(target.workingDirectory + std::string(kInstallRecordName));
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

StepOutcome installTracked(const ModTarget& target, const std::vector<FileCopy>& files, Reporter& reporter) {
    const std::string& workingDirectory = target.workingDirectory;
    InstallRecord record = readInstallRecord(workingDirectory, reporter);
    std::vector<std::string> destinations;
    for (const FileCopy& file : files) destinations.push_back(file.destination);
    removeLeftTemporaryFiles(gameFoldersOf(record, destinations), reporter);
    settlePutBackBackups(workingDirectory, record, reporter);
    std::vector<InstallRecord::BackedUp> newBackups;
    const auto dropNewBackups = [&] {
        for (const auto& backup : newBackups) removeFile(workingDirectory + backup.backup);
    };
    for (const FileCopy& file : files) {
        if (fileSize(file.destination) == kPathMissing) continue;
        if (record.installedAt(file.destination)) {
            if (record.wrote(file.destination, contentHash(file.destination))) continue;
            dropNewBackups();
            return failedWith(reporter,
                              englishText("Can't install the new atlases: {file} changed since Ravelin "
                                          "installed it; move it away and install again.",
                                          {{"file", file.destination}}));
        }
        const InstallRecord::BackedUp backup{file.destination, backupPlace(target, file.destination)};
        if (!copyIntoBackups(target, file.destination, backup.backup, reporter)) {
            dropNewBackups();
            return failedWith(reporter, englishText("Can't back up {file} into {backup}",
                                                    {{"file", file.destination},
                                                     {"backup", workingDirectory + backup.backup}}));
        }
        newBackups.push_back(backup);
    }
    std::vector<InstallRecord::Installed> installed;
    for (const FileCopy& file : files) {
        const std::optional<std::string> hash = contentHash(file.source);
        if (!hash) {
            dropNewBackups();
            return failedWith(reporter, englishText("Can't read {file}", {{"file", file.source}}));
        }
        installed.push_back({file.destination, *hash});
    }
    // Recorded before the files go in, beside what was there: whatever moment a kill (or a power cut)
    // stops the install at, the record names every file of Ravelin's in the game and every backup.
    InstallRecord during = record;
    during.installed.insert(during.installed.end(), installed.begin(), installed.end());
    during.backups.insert(during.backups.end(), newBackups.begin(), newBackups.end());
    if (!writeInstallRecord(workingDirectory, during, reporter)) {
        dropNewBackups();
        return failedWith(reporter,
                          englishText("Can't write the install record: {file}",
                                      {{"file", workingDirectory + std::string(kInstallRecordName)}}));
    }
    if (StepOutcome outcome = installFileSet(files, reporter); !outcome.succeeded()) {
        writeInstallRecord(workingDirectory, record, reporter);
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
    std::vector<std::string> leftovers = takeOutInstalledFiles(record, superseded, reporter);
    std::erase_if(record.installed, [&](const auto& old) {
        return std::any_of(installed.begin(), installed.end(),
                           [&](const auto& n) { return n.path == old.path; });
    });
    record.installed.insert(record.installed.end(), installed.begin(), installed.end());
    record.backups.insert(record.backups.end(), newBackups.begin(), newBackups.end());
    putBackBackups(workingDirectory, record, false, reporter);
    return finishedWith(target, record, std::move(leftovers), reporter);
}

StepOutcome uninstallAtlases(const ModTarget& target, Reporter& reporter) {
    InstallRecord record = readInstallRecord(target.workingDirectory, reporter);
    if (record.installed.empty() && record.backups.empty()) {
        reporter.logInfo("Nothing installed by Ravelin to take out.");
        return StepOutcome::nothingChanged();
    }
    std::string refusal;
    const std::optional<DirectoryLock> gameLock = lockGameModFolder(target.gameDirectory, refusal);
    if (!gameLock) return failedWith(reporter, refusal);
    removeLeftTemporaryFiles(gameFoldersOf(record, {}), reporter);
    settlePutBackBackups(target.workingDirectory, record, reporter);
    std::vector<std::string> leftovers = takeOutInstalledFiles(record, std::nullopt, reporter);
    for (std::string& backup : putBackBackups(target.workingDirectory, record, true, reporter))
        leftovers.push_back(std::move(backup));
    return finishedWith(target, record, std::move(leftovers), reporter);
}
