#include "game/mod_directory.h"

#include <filesystem>
#include <system_error>

#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/path_separator.h"

std::string modAtlasDirectory(const std::string& installDirectory, const std::string& folder) {
    std::string directory = installDirectory;
    for (const std::string& part : {std::string("res_mods"), folder, std::string("gui"), std::string("flash"),
                                    std::string("atlases")}) {
        directory += part + kPathSeparator;
    }
    return directory;
}

std::string modPackageDirectory(const std::string& installDirectory, const std::string& folder) {
    return installDirectory + "mods" + kPathSeparator + folder + kPathSeparator;
}

namespace {

std::filesystem::path absoluteNormal(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(nativePath(path), error);
    if (error) return {};
    const std::filesystem::path normal = absolute.lexically_normal();
    return normal.has_filename() ? normal : normal.parent_path();  // without a trailing separator
}

}  // namespace

bool liesInside(const std::string& path, const std::string& directory) {
    const std::filesystem::path inner = absoluteNormal(path);
    const std::filesystem::path outer = absoluteNormal(directory);
    if (inner.empty() || outer.empty()) return false;
    const std::filesystem::path relative = inner.lexically_relative(outer);
    return !relative.empty() && relative != "." && *relative.begin() != "..";
}

bool createModDirectory(const std::string& directory) {
    std::error_code error;
    std::filesystem::create_directories(nativePath(directory), error);
    return fileSize(directory) == kPathIsDirectory;
}
