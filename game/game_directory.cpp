#include "game/game_directory.h"

#include "platform/file_system.h"
#include "platform/path_separator.h"

GameDirectoryCheck checkGameDirectory(const std::string& directory) {
    const std::int64_t size = fileSize(directory);
    if (size >= 0) return GameDirectoryCheck::IsFile;
    if (size != kPathIsDirectory) return GameDirectoryCheck::Missing;
    if (!gameClientIn(directory)) return GameDirectoryCheck::WithoutExecutable;
    return GameDirectoryCheck::Valid;
}

std::optional<GameClient> gameClientIn(const std::string& directory) {
    const std::string base = withTrailingSeparator(directory);
    // Lesta's executable first: its name is the one that tells the clients apart.
    if (fileSize(base + std::string(kLestaExecutableName)) > 0) return GameClient::Lesta;
    if (fileSize(base + std::string(kGameExecutableName)) > 0) return GameClient::Wargaming;
    return std::nullopt;
}

std::string_view gameClientName(GameClient client) {
    return client == GameClient::Lesta ? "Lesta" : "WG";
}
