#pragma once

// What Ravelin put into the game, kept in the working directory so that it can be taken out again: each
// installed file with the hash of the content Ravelin wrote, and each file of someone else that was in
// the way, copied into "backups/" before Ravelin replaced it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Reporter;

inline constexpr std::string_view kInstallRecordName = "ravelin-installed.txt";
inline constexpr std::string_view kBackupDirectoryName = "backups";

struct InstallRecord {
    struct Installed {
        std::string path;  // in the game
        std::string hash;  // of the content Ravelin wrote
    };
    struct BackedUp {
        std::string path;    // in the game, where the file was
        std::string backup;  // relative to the working directory
    };
    std::vector<Installed> installed;
    std::vector<BackedUp> backups;

    // A path is listed twice, with the old and the new content, while an install puts its files in (a
    // record an interrupted install leaves): either content is Ravelin's.
    bool installedAt(const std::string& path) const;
    bool wrote(const std::string& path, const std::optional<std::string>& hash) const;
};

// A record's text read: its entries, and the lines it could not read. Lines end as in a text file (CR, LF,
// CR LF or NUL); a byte that is no part of a character reads as "?".
struct InstallRecordReading {
    InstallRecord record;
    std::vector<std::string> unreadableLines;
};
InstallRecordReading readInstallRecordText(std::string_view text);
// The record as its file holds it: one line per entry, ending in CR LF.
std::string installRecordText(const InstallRecord& record);

// The record of the working directory; an empty one when there is none. Lines it cannot read are
// reported and skipped.
InstallRecord readInstallRecord(const std::string& workingDirectory, Reporter& reporter);
// Replaces the record (removes it when empty); false with the error logged.
bool writeInstallRecord(const std::string& workingDirectory, const InstallRecord& record, Reporter& reporter);

// A hash of the file's content (64-bit FNV-1a in hex), or none when it cannot be read.
std::optional<std::string> contentHash(const std::string& path);

// Finishes what an interrupted put-back left: a backup whose place holds its very content was put back, so
// it is removed and leaves the record, with what the record said was installed there.
void settlePutBackBackups(const std::string& workingDirectory, InstallRecord& record, Reporter& reporter);

// Removes the recorded files at the given paths (all when paths is none) that are still as Ravelin wrote
// them; one changed since is left alone, named in an error, and leaves the record. The record keeps what
// could not be removed. Returns the files left behind: changed since, or not removable.
std::vector<std::string> takeOutInstalledFiles(InstallRecord& record,
                                               const std::optional<std::vector<std::string>>& paths,
                                               Reporter& reporter);
// Copies each backup whose place holds no file of the record and no other file back to its place and
// drops it; a place taken by another file is named in an error when nameBlocked. Returns the backups that
// could not go back (those named), each as the place in the game it belongs to.
std::vector<std::string> putBackBackups(const std::string& workingDirectory, InstallRecord& record,
                                        bool nameBlocked, Reporter& reporter);
