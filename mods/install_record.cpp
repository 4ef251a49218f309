#include "mods/install_record.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/reporter.h"
#include "platform/text_utilities.h"

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

bool InstallRecord::installedAt(const std::string& path) const {
    return std::any_of(installed.begin(), installed.end(), [&](const auto& i) { return i.path == path; });
}

bool InstallRecord::wrote(const std::string& path, const std::optional<std::string>& hash) const {
    return hash && std::any_of(installed.begin(), installed.end(),
                               [&](const auto& i) { return i.path == path && i.hash == *hash; });
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

InstallRecordReading readInstallRecordText(std::string_view text) {
    InstallRecordReading reading;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end =
            std::min(text.find_first_of(std::string_view("\r\n\0", 3), start), text.size());
        const std::string line = validUtf8(text.substr(start, end - start));
        start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
        if (line.empty()) continue;
        const std::vector<std::string> fields = tabFields(line);
        if (fields.size() == 3 && fields[0] == kInstalledTag && !fields[2].empty()) {
            reading.record.installed.push_back({fields[2], fields[1]});
        } else if (fields.size() == 3 && fields[0] == kBackupTag && !fields[1].empty() &&
                   !fields[2].empty()) {
            reading.record.backups.push_back({fields[2], fields[1]});
        } else {
            reading.unreadableLines.push_back(line);
        }
    }
    return reading;
}

std::string installRecordText(const InstallRecord& record) {
    std::string text;
    for (const auto& installed : record.installed)
        text += std::string(kInstalledTag) + "\t" + installed.hash + "\t" + installed.path + "\r\n";
    for (const auto& backup : record.backups)
        text += std::string(kBackupTag) + "\t" + backup.backup + "\t" + backup.path + "\r\n";
    return text;
}

InstallRecord readInstallRecord(const std::string& workingDirectory, Reporter& reporter) {
    const std::string path = workingDirectory + std::string(kInstallRecordName);
    if (fileSize(path) == kPathMissing) return {};
    const std::optional<std::vector<std::uint8_t>> content = readWholeFile(path);
    if (!content) {
        reporter.logError(englishText("Can't read the install record: {file}", {{"file", path}}));
        return {};
    }
    InstallRecordReading reading = readInstallRecordText(
        std::string_view(reinterpret_cast<const char*>(content->data()), content->size()));
    for (const std::string& line : reading.unreadableLines)
        reporter.logError(englishText("Can't read a line of the install record: {line}", {{"line", line}}));
    return std::move(reading.record);
}

bool writeInstallRecord(const std::string& workingDirectory, const InstallRecord& record,
                        Reporter& reporter) {
    const std::string path = workingDirectory + std::string(kInstallRecordName);
    if (record.installed.empty() && record.backups.empty()) {
        if (fileSize(path) == kPathMissing || removeFile(path)) return true;
        reporter.logError(englishText("Can't remove the install record: {file}", {{"file", path}}));
        return false;
    }
    std::optional<OutputFile> file = OutputFile::open(path, OutputFile::Mode::Replace);
    if (file) file->write(installRecordText(record));
    if (!file || !file->finish()) {
        reporter.logError(englishText("Can't write the install record: {file}", {{"file", path}}));
        return false;
    }
    return true;
}

std::vector<std::string> takeOutInstalledFiles(InstallRecord& record,
                                               const std::optional<std::vector<std::string>>& paths,
                                               Reporter& reporter) {
    std::vector<std::string> leftovers;
    std::vector<InstallRecord::Installed> kept;
    std::vector<std::string> done;  // a path listed twice is taken out once
    for (const InstallRecord::Installed& installed : record.installed) {
        if (paths && std::find(paths->begin(), paths->end(), installed.path) == paths->end()) {
            kept.push_back(installed);
            continue;
        }
        if (std::find(done.begin(), done.end(), installed.path) != done.end()) continue;
        done.push_back(installed.path);
        const bool present = fileSize(installed.path) != kPathMissing;
        if (present && !record.wrote(installed.path, contentHash(installed.path))) {
            // No longer Ravelin's: it leaves the record, and the backup of its place waits.
            reporter.logError(englishText("Left alone, changed since Ravelin installed it: {file}",
                                          {{"file", installed.path}}));
            leftovers.push_back(installed.path);
        } else if (present && !removeFile(installed.path)) {
            reporter.logError(englishText("Can't remove {file}", {{"file", installed.path}}));
            kept.push_back(installed);
            leftovers.push_back(installed.path);
        } else {
            reporter.logInfo("Removed: " + installed.path);
        }
    }
    record.installed = std::move(kept);
    return leftovers;
}

void settlePutBackBackups(const std::string& workingDirectory, InstallRecord& record, Reporter& reporter) {
    std::erase_if(record.backups, [&](const InstallRecord::BackedUp& backup) {
        const std::string source = workingDirectory + backup.backup;
        const std::optional<std::string> kept = contentHash(source);
        if (!kept || contentHash(backup.path) != kept) return false;
        removeFile(source);
        std::erase_if(record.installed, [&](const auto& installed) { return installed.path == backup.path; });
        reporter.logInfo("Put back: " + backup.path);
        return true;
    });
}

std::vector<std::string> putBackBackups(const std::string& workingDirectory, InstallRecord& record,
                                        bool nameBlocked, Reporter& reporter) {
    std::vector<std::string> leftovers;
    std::vector<InstallRecord::BackedUp> waiting;
    for (const InstallRecord::BackedUp& backup : record.backups) {
        const std::string source = workingDirectory + backup.backup;
        if (record.installedAt(backup.path)) {
            waiting.push_back(backup);
        } else if (fileSize(backup.path) != kPathMissing) {
            if (nameBlocked) {
                reporter.logError(
                    englishText("Can't put back {file} (another file is in its place); it stays in {backup}",
                                {{"file", backup.path}, {"backup", source}}));
                leftovers.push_back(backup.path);
            }
            waiting.push_back(backup);
        } else if (copyFile(source, backup.path)) {
            removeFile(source);
            reporter.logInfo("Put back: " + backup.path);
        } else {
            reporter.logError(englishText("Can't put back {file} from {backup}",
                                          {{"file", backup.path}, {"backup", source}}));
            leftovers.push_back(backup.path);
            waiting.push_back(backup);
        }
    }
    record.backups = std::move(waiting);
    return leftovers;
}
