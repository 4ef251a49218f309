#pragma once

// The names in one folder, listed once, so that thousands of looks for files that are not there cost no
// file system call each. Under Wine such a look reads the whole folder to find a name in other letter case,
// so that asking for 4,000 absent icons among 500 replacements took a second.

#include <string>
#include <string_view>
#include <unordered_set>

class FolderNames {
public:
    // Lists the folder's entries now. A folder that cannot be listed answers "maybe" for every name.
    static FolderNames of(const std::string& directory);

    // False only when no entry of that name was in the folder: letter case counts only where the file
    // system's does (not on Windows). Names that reach into a subfolder are always "maybe".
    bool mayHold(std::string_view name) const;

private:
    bool listed_ = false;
    std::unordered_set<std::string> names_;  // as the file system compares them
};
