#include "app/tracked_install.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/context.h"
#include "app/event_log.h"
#include "app/install_record.h"
#include "app/mod_install.h"
#include "app/settings.h"
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

bool copyIntoBackups(Context& context, const std::string& path, const std::string& place) {
    const std::string backup = context.settings.acCurrentDir + place;
    std::error_code error;
    std::filesystem::create_directories(nativePath(backup).parent_path(), error);
    if (error || !copyFile(path, backup)) {
        context.log.logError("Can't back up " + path + " into " + backup);
        return false;
    }
    context.log.logInfo("Backed up " + path + " into " + backup);
    return true;
}

}  // namespace

bool installTracked(Context& context, const std::vector<FileCopy>& files) {
    InstallRecord record = readInstallRecord(context);
    std::vector<InstallRecord::BackedUp> newBackups;
    const auto dropNewBackups = [&] {
        for (const auto& backup : newBackups) removeFile(context.settings.acCurrentDir + backup.backup);
    };
    for (const FileCopy& file : files) {
        if (fileSize(file.destination) == kPathMissing) continue;
        if (const auto* installed = record.installedAt(file.destination)) {
            if (contentHash(file.destination) == installed->hash) continue;
            context.log.logError("Can't install the new atlases: " + file.destination +
                                 " changed since Ravelin installed it; move it away and install again.");
            dropNewBackups();
            return false;
        }
        const InstallRecord::BackedUp backup{file.destination,
                                             backupPlace(context.settings, file.destination)};
        if (!copyIntoBackups(context, file.destination, backup.backup)) {
            dropNewBackups();
            return false;
        }
        newBackups.push_back(backup);
    }
    std::vector<InstallRecord::Installed> installed;
    for (const FileCopy& file : files) {
        const std::optional<std::string> hash = contentHash(file.source);
        if (!hash) {
            context.log.logError("Can't read " + file.source);
            dropNewBackups();
            return false;
        }
        installed.push_back({file.destination, *hash});
    }
    if (!installFileSet(context, files)) {
        dropNewBackups();
        return false;
    }
    // What the new set does not hold goes, so the game never reads two installs at once.
    std::vector<std::string> superseded;
    for (const auto& old : record.installed) {
        if (std::none_of(installed.begin(), installed.end(),
                         [&](const auto& n) { return n.path == old.path; }))
            superseded.push_back(old.path);
    }
    const bool complete = takeOutInstalledFiles(context, record, superseded);
    std::erase_if(record.installed, [&](const auto& old) {
        return std::any_of(installed.begin(), installed.end(),
                           [&](const auto& n) { return n.path == old.path; });
    });
    record.installed.insert(record.installed.end(), installed.begin(), installed.end());
    record.backups.insert(record.backups.end(), newBackups.begin(), newBackups.end());
    putBackBackups(context, record, false);
    return writeInstallRecord(context, record) && complete;
}

bool uninstallAtlases(Context& context) {
    InstallRecord record = readInstallRecord(context);
    if (record.installed.empty() && record.backups.empty()) {
        context.log.logInfo("Nothing installed by Ravelin to take out.");
        return true;
    }
    bool complete = takeOutInstalledFiles(context, record, std::nullopt);
    complete = putBackBackups(context, record, true) && complete;
    return writeInstallRecord(context, record) && complete;
}
