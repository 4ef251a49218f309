#include "platform/file_system.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "platform/file_io.h"
#include "platform/path_separator.h"
#include "platform/text_utilities.h"

namespace {

std::string withoutTrailing(std::string_view path, std::string_view characters) {
    std::size_t end = path.size();
    while (end > 0 && characters.find(path[end - 1]) != std::string_view::npos) --end;
    // A bare root keeps its separator.
    if (end == 0 && !path.empty() && isPathSeparator(path.front())) end = 1;
    return std::string(path.substr(0, end));
}

}  // namespace

std::int64_t fileSize(const std::string& path) {
    const std::string trimmed = withoutTrailing(path, "\\/");
    if (trimmed.empty()) return kPathMissing;
    std::error_code error;
    const auto status = std::filesystem::status(nativePath(trimmed), error);
    if (error || !std::filesystem::exists(status)) return kPathMissing;
    if (std::filesystem::is_directory(status)) return kPathIsDirectory;
    const auto size = std::filesystem::file_size(nativePath(trimmed), error);
    return error ? kPathMissing : static_cast<std::int64_t>(size);
}

bool createDirectory(const std::string& path) {
    const std::string trimmed = withoutTrailing(path, " \\/");
    if (trimmed.empty()) return false;
    std::error_code error;
    return std::filesystem::create_directory(nativePath(trimmed), error) && !error;
}

std::string currentDirectory() {
    std::error_code error;
    const auto directory = std::filesystem::current_path(error);
    if (error) return {};
    return withTrailingSeparator(utf8PathText(directory));
}

std::string fileNamePart(std::string_view path, bool withoutExtension) {
    const std::size_t lastSeparator = path.find_last_of("\\/");
    std::string_view name = lastSeparator == std::string_view::npos ? path : path.substr(lastSeparator + 1);
    if (!name.empty() && name.front() == '"') name.remove_prefix(1);
    if (const std::size_t quote = name.find('"'); quote != std::string_view::npos)
        name = name.substr(0, quote);
    if (withoutExtension) {
        const std::size_t dot = name.rfind('.');
        if (dot != std::string_view::npos && dot != 0 && dot + 1 != name.size() &&
            name.find(' ', dot) == std::string_view::npos) {
            name = name.substr(0, dot);
        }
    }
    return std::string(name);
}

bool windowsTakesName(std::string_view path) {
    static constexpr std::string_view kDevices[] = {"con", "prn", "aux", "nul"};
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = std::min(path.find_first_of("\\/", start), path.size());
        const std::string_view component = path.substr(start, end - start);
        for (const char c : component) {
            if (static_cast<unsigned char>(c) < 0x20 ||
                std::string_view("<>:\"|?*").find(c) != std::string_view::npos)
                return false;
        }
        if (!component.empty() && (component.back() == ' ' || component.back() == '.')) return false;
        std::string stem(component.substr(0, component.find('.')));
        for (char& c : stem) c = foldAsciiCase(c);
        for (const std::string_view device : kDevices) {
            if (stem == device) return false;
        }
        if (stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) && stem[3] >= '1' &&
            stem[3] <= '9')
            return false;
        if (end == path.size()) return true;
        start = end + 1;
    }
}

bool removeFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::remove(nativePath(path), error) && !error;
}

bool matchesWildcard(std::string_view name, std::string_view pattern) {
    // Iterative matching with one backtrack point for the last "*".
    std::size_t n = 0, p = 0, starPattern = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || foldAsciiCase(pattern[p]) == foldAsciiCase(name[n]))) {
            if (pattern[p] == '?') {  // one character, not one byte
                ++n;
                while (n < name.size() && isUtf8ContinuationByte(name[n])) ++n;
                ++p;
            } else {
                ++n;
                ++p;
            }
        } else if (starPattern != std::string_view::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::optional<DirectoryListing> DirectoryListing::open(const std::string& directory,
                                                       std::string_view pattern) {
    std::error_code error;
    std::filesystem::directory_iterator iterator(nativePath(directory), error);
    if (error) return std::nullopt;
    // "*.*" means every entry to the platform this comes from, so an empty pattern matches everything.
    return DirectoryListing(std::move(iterator), pattern.empty() ? std::string("*") : std::string(pattern));
}

bool DirectoryListing::next() {
    std::error_code error;
    const std::filesystem::directory_iterator end;
    if (started_ && iterator_ != end) iterator_.increment(error);
    started_ = true;
    for (; !error && iterator_ != end; iterator_.increment(error)) {
        std::string name = utf8PathText(iterator_->path().filename());
        if (!matchesWildcard(name, pattern_)) continue;
        std::error_code statusError;
        const auto status = iterator_->status(statusError);
        if (std::filesystem::is_directory(status)) {
            type_ = EntryType::Directory;
        } else if (std::filesystem::is_regular_file(status)) {
            type_ = EntryType::File;
        } else {
            type_ = EntryType::None;
        }
        name_ = std::move(name);
        return true;
    }
    name_.clear();
    type_ = EntryType::None;
    return false;
}

std::string userDataHome() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && std::filesystem::path(data).is_absolute()) return withTrailingSeparator(data);
    const std::string home = homeDirectory();
    return home.empty() ? home : home + ".local" + kPathSeparator + "share" + kPathSeparator;
}

std::string homeDirectory() {
#ifdef _WIN32
    const char* home = std::getenv("USERPROFILE");
#else
    const char* home = std::getenv("HOME");
#endif
    return home && *home ? withTrailingSeparator(home) : std::string();
}

namespace {

bool startsWithDirectory(std::string_view path, std::string_view directory) {
    if (directory.empty() || path.size() < directory.size()) return false;
    for (std::size_t i = 0; i < directory.size(); ++i) {
        const char a = path[i], b = directory[i];
        const bool bothSeparators = isPathSeparator(a) && isPathSeparator(b);
        const bool same = kFileNamesIgnoreCase ? foldAsciiCase(a) == foldAsciiCase(b) : a == b;
        if (!same && !bothSeparators) return false;
    }
    return true;
}

}  // namespace

std::string pathShownToOthers(const std::string& path, const std::string& workingDirectory,
                              const std::string& homeDirectory) {
    if (startsWithDirectory(path, workingDirectory)) {
        const std::string inside = path.substr(workingDirectory.size());
        return inside.empty() ? std::string(".") + kPathSeparator : inside;
    }
    if (startsWithDirectory(path, homeDirectory))
        return std::string("~") + kPathSeparator + path.substr(homeDirectory.size());
    return path;
}
