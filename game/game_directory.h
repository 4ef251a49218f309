#pragma once

// Whether a directory holds the game: it must exist and hold a non-empty "WorldOfTanks.exe".

#include <string>

enum class GameDirectoryCheck { Valid, Missing, WithoutExecutable };

GameDirectoryCheck checkGameDirectory(const std::string& directory);
