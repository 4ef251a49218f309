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

bool createModDirectory(const std::string& directory) {
    std::error_code error;
    std::filesystem::create_directories(nativePath(directory), error);
    return fileSize(directory) == kPathIsDirectory;
}
