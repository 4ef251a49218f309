#include "game/game_directory.h"

#include "platform/file_system.h"
#include "platform/path_separator.h"

GameDirectoryCheck checkGameDirectory(const std::string& directory) {
    if (fileSize(directory) != kPathIsDirectory) return GameDirectoryCheck::Missing;
    if (fileSize(withTrailingSeparator(directory) + "WorldOfTanks.exe") <= 0)
        return GameDirectoryCheck::WithoutExecutable;
    return GameDirectoryCheck::Valid;
}
