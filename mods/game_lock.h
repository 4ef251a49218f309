#pragma once

// One install at a time into a game: the lock an install or an uninstall holds on the game's mod folder,
// and the clean-up of what a killed one left there.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/directory_lock.h"

class Reporter;

// The lock file's name, in a working directory and in the game's "res_mods" alike.
inline constexpr std::string_view kLockFileName = "ravelin.lock";

// The lock of the game's mod folder ("res_mods", made when missing) for one install or uninstall. None,
// with the refusal in one line, when another Ravelin is installing into the same game.
std::optional<DirectoryLock> lockGameModFolder(const std::string& gameDirectory, std::string& refusal);

// Removes the temporary files a killed run left in the game's folders Ravelin writes into (each ends in
// a separator), logging how many. Only under the game's lock: another run's files would be in use.
void removeLeftTemporaryFiles(const std::vector<std::string>& gameFolders, Reporter& reporter);

// The line that says how many temporary files went; empty when none did.
std::string removedTemporaryFilesText(int removed);
