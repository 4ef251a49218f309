#include "platform/folder_names.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/file_io.h"
#include "platform/path_separator.h"

namespace {

// The name as the file system compares it; none where that cannot be told here (Windows folds letters
// beyond ASCII by its own table).
std::optional<std::string> comparedName(std::string_view name) {
    std::string compared(name);
#ifdef _WIN32
    for (char& c : compared) {
        if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
#endif
    return compared;
}

}  // namespace

FolderNames FolderNames::of(const std::string& directory) {
    FolderNames names;
    std::error_code error;
    std::filesystem::directory_iterator entries(nativePath(directory), error);
    for (const std::filesystem::directory_iterator end; !error && entries != end; entries.increment(error)) {
        const std::optional<std::string> compared = comparedName(utf8PathText(entries->path().filename()));
        if (!compared) return FolderNames();  // a name this cannot compare: every look goes to the disk
        names.names_.insert(*compared);
    }
    // Only a listing read to its end can tell that a name is not there.
    names.listed_ = !error;
    if (error) names.names_.clear();
    return names;
}

bool FolderNames::mayHold(std::string_view name) const {
    if (!listed_) return true;
    for (const char c : name) {
        if (isPathSeparator(c)) return true;
    }
    const std::optional<std::string> compared = comparedName(name);
    return !compared || names_.count(*compared) > 0;
}
