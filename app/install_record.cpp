#include "app/install_record.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "app/context.h"
#include "app/event_log.h"
#include "app/settings.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/text_file.h"

namespace {

constexpr std::string_view kInstalledTag = "installed";
constexpr std::string_view kBackupTag = "backup";

std::vector<std::string> tabFields(std::string_view line) {
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.emplace_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

}  // namespace

const InstallRecord::Installed* InstallRecord::installedAt(const std::string& path) const {
    const auto found =
        std::find_if(installed.begin(), installed.end(), [&](const auto& i) { return i.path == path; });
    return found == installed.end() ? nullptr : &*found;
}

std::optional<std::string> contentHash(const std::string& path) {
    FileHandle file = openFile(path, "rb");
    if (!file) return std::nullopt;
    std::uint64_t hash = 14695981039346656037ull;
    std::vector<unsigned char> chunk(1 << 16);
    while (const std::size_t read = std::fread(chunk.data(), 1, chunk.size(), file.get())) {
        for (std::size_t i = 0; i < read; ++i) hash = (hash ^ chunk[i]) * 1099511628211ull;
    }
    if (std::ferror(file.get())) return std::nullopt;
    constexpr char kHex[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4) text[static_cast<std::size_t>(i)] = kHex[hash & 15];
    return text;
}

InstallRecord readInstallRecord(Context& context) {
    InstallRecord record;
    const std::string path = context.settings.acCurrentDir + std::string(kInstallRecordName);
    if (fileSize(path) == kPathMissing) return record;
    std::optional<TextFile> file = openTextFileForReading(path);
    if (!file) {
        context.log.logError("Can't read the install record: " + path);
        return record;
    }
    while (!atEndOfFile(*file)) {
        const std::string line = readLine(*file);
        const std::vector<std::string> fields = tabFields(line);
        if (line.empty()) continue;
        if (fields.size() == 3 && fields[0] == kInstalledTag && !fields[2].empty()) {
            record.installed.push_back({fields[2], fields[1]});
        } else if (fields.size() == 3 && fields[0] == kBackupTag && !fields[1].empty() &&
                   !fields[2].empty()) {
            record.backups.push_back({fields[2], fields[1]});
        } else {
            context.log.logError("Can't read a line of the install record: " + line);
        }
    }
    closeTextFile(*file);
    return record;
}

bool writeInstallRecord(Context& context, const InstallRecord& record) {
    const std::string path = context.settings.acCurrentDir + std::string(kInstallRecordName);
    if (record.installed.empty() && record.backups.empty()) {
        if (fileSize(path) == kPathMissing || removeFile(path)) return true;
        context.log.logError("Can't remove the install record: " + path);
        return false;
    }
    std::optional<TextFile> file = createReplacementTextFile(path);
    if (file) {
        for (const auto& installed : record.installed)
            writeLine(*file, std::string(kInstalledTag) + "\t" + installed.hash + "\t" + installed.path);
        for (const auto& backup : record.backups)
            writeLine(*file, std::string(kBackupTag) + "\t" + backup.backup + "\t" + backup.path);
    }
    if (!file || !closeTextFile(*file)) {
        context.log.logError("Can't write the install record: " + path);
        return false;
    }
    return true;
}

std::vector<std::string> takeOutInstalledFiles(Context& context, InstallRecord& record,
                                               const std::optional<std::vector<std::string>>& paths) {
    std::vector<std::string> leftovers;
    std::vector<InstallRecord::Installed> kept;
    for (const InstallRecord::Installed& installed : record.installed) {
        if (paths && std::find(paths->begin(), paths->end(), installed.path) == paths->end()) {
            kept.push_back(installed);
            continue;
        }
        const bool present = fileSize(installed.path) != kPathMissing;
        if (present && contentHash(installed.path) != installed.hash) {
            // No longer Ravelin's: it leaves the record, and the backup of its place waits.
            context.log.logError("Left alone, changed since Ravelin installed it: " + installed.path);
            leftovers.push_back(installed.path);
        } else if (present && !removeFile(installed.path)) {
            context.log.logError("Can't remove " + installed.path);
            kept.push_back(installed);
            leftovers.push_back(installed.path);
        } else {
            context.log.logInfo("Removed: " + installed.path);
        }
    }
    record.installed = std::move(kept);
    return leftovers;
}

std::vector<std::string> putBackBackups(Context& context, InstallRecord& record, bool nameBlocked) {
    std::vector<std::string> leftovers;
    std::vector<InstallRecord::BackedUp> waiting;
    for (const InstallRecord::BackedUp& backup : record.backups) {
        const std::string source = context.settings.acCurrentDir + backup.backup;
        if (record.installedAt(backup.path)) {
            waiting.push_back(backup);
        } else if (fileSize(backup.path) != kPathMissing) {
            if (nameBlocked) {
                context.log.logError("Can't put back " + backup.path +
                                     " (another file is in its place); it stays in " + source);
                leftovers.push_back(backup.path);
            }
            waiting.push_back(backup);
        } else if (copyFile(source, backup.path)) {
            removeFile(source);
            context.log.logInfo("Put back: " + backup.path);
        } else {
            context.log.logError("Can't put back " + backup.path + " from " + source);
            leftovers.push_back(backup.path);
            waiting.push_back(backup);
        }
    }
    record.backups = std::move(waiting);
    return leftovers;
}
