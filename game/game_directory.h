#pragma once

// Whether a directory holds the game, and whose client it is: Wargaming's World of Tanks
// ("WorldOfTanks.exe") or Lesta's Mir Tankov ("Tanki.exe"). The executable must be a non-empty file.

#include <optional>
#include <string>
#include <string_view>

inline constexpr std::string_view kGameExecutableName = "WorldOfTanks.exe";
inline constexpr std::string_view kLestaExecutableName = "Tanki.exe";

enum class GameDirectoryCheck { Valid, Missing, IsFile, WithoutExecutable };

enum class GameClient { Wargaming, Lesta };

GameDirectoryCheck checkGameDirectory(const std::string& directory);

// The client in a game directory; none when it holds neither executable.
std::optional<GameClient> gameClientIn(const std::string& directory);

// "WG" or "Lesta", as lists of installations and the status line name them.
std::string_view gameClientName(GameClient client);
