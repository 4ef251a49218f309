#pragma once

// What Ravelin put into the game, kept in the working directory so that it can be taken out again: each
// installed file with the hash of the content Ravelin wrote, and each file of someone else that was in
// the way, copied into "backups/" before Ravelin replaced it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Context;

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

    const Installed* installedAt(const std::string& path) const;
};

// The record of the working directory; an empty one when there is none. Lines it cannot read are
// reported and skipped.
InstallRecord readInstallRecord(Context& context);
// Replaces the record (removes it when empty); false with the error logged.
bool writeInstallRecord(Context& context, const InstallRecord& record);

// A hash of the file's content (64-bit FNV-1a in hex), or none when it cannot be read.
std::optional<std::string> contentHash(const std::string& path);

// Removes the recorded files at the given paths (all when paths is none) that are still as Ravelin wrote
// them; one changed since is left alone, named in an error, and leaves the record. The record keeps what
// could not be removed. Returns the files left behind: changed since, or not removable.
std::vector<std::string> takeOutInstalledFiles(Context& context, InstallRecord& record,
                                               const std::optional<std::vector<std::string>>& paths);
// Copies each backup whose place holds no file of the record and no other file back to its place and
// drops it; a place taken by another file is named in an error when nameBlocked. Returns the backups that
// could not go back (those named), each as the place in the game it belongs to.
std::vector<std::string> putBackBackups(Context& context, InstallRecord& record, bool nameBlocked);
