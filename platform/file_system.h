#pragma once

// File-system queries on UTF-8 paths.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::int64_t kPathMissing = -1;
inline constexpr std::int64_t kPathIsDirectory = -2;

// Size of an existing file, kPathMissing when nothing is there (or the path is empty),
// kPathIsDirectory for a directory. Trailing "\" and "/" are ignored.
std::int64_t fileSize(const std::string& path);
// Creates one directory level; trailing blanks and separators are ignored. False when it exists already
// or cannot be created.
bool createDirectory(const std::string& path);
// The process's working directory, ending in the separator.
std::string currentDirectory();
// The last component of the path (after the last "\" or "/", a leading double quote skipped, ending at a
// closing one); without extension it is cut before its last dot, unless that dot comes first, comes last
// or is followed by a blank.
std::string fileNamePart(std::string_view path, bool withoutExtension);

// Whether Windows takes every component of the relative path as it stands: no reserved character
// (< > : " | ? * and control characters), no device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or
// without an extension) and no component ending in a blank or a dot, which Windows would drop silently.
bool windowsTakesName(std::string_view relativePath);
// The same question for the file system the program runs on (elsewhere every name is taken).
inline bool fileSystemTakesName(std::string_view relativePath) {
#ifdef _WIN32
    return windowsTakesName(relativePath);
#else
    static_cast<void>(relativePath);
    return true;
#endif
}

// Whether the file system takes "A.png" and "a.png" for the same file, as Windows does.
inline constexpr bool kFileNamesIgnoreCase =
#ifdef _WIN32
    true;
#else
    false;
#endif

// Removes a file; false when there was none or it could not be removed.
bool removeFile(const std::string& path);

// Case-insensitive wildcard match ("*" any run, "?" one character).
bool matchesWildcard(std::string_view name, std::string_view pattern);

// One enumeration of a directory's entries that match a wildcard pattern, in the file system's order.
class DirectoryListing {
public:
    enum class EntryType { None = 0, File = 1, Directory = 2 };

    // None when the directory cannot be read; an empty pattern means "*.*".
    static std::optional<DirectoryListing> open(const std::string& directory, std::string_view pattern);

    // Moves to the next matching entry; false when there is none.
    bool next();
    const std::string& entryName() const { return name_; }
    EntryType entryType() const { return type_; }

private:
    DirectoryListing(std::filesystem::directory_iterator iterator, std::string pattern)
        : iterator_(std::move(iterator)), pattern_(std::move(pattern)) {}

    std::filesystem::directory_iterator iterator_;
    std::string pattern_;
    bool started_ = false;
    std::string name_;
    EntryType type_ = EntryType::None;
};

// The user's home directory with a trailing separator, or the empty text.
std::string homeDirectory();
// A path as it may be shown to others, without the user's own folder names: relative to workingDirectory
// when it lies inside it ("." for the directory itself), else with homeDirectory written "~", else as it is.
// Both directories end in a separator (an empty one is never a prefix); letter case is compared as the file
// system does.
std::string pathShownToOthers(const std::string& path, const std::string& workingDirectory,
                              const std::string& homeDirectory);
// Where programs keep the user's own data: $XDG_DATA_HOME, or the home directory's ".local/share" when it
// is unset, empty or relative (the XDG base directories ignore a relative one). With a trailing
// separator; the empty text without either.
std::string userDataHome();
