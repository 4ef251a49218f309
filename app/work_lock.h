#pragma once

// One Ravelin at a time in a working directory, and one install at a time into a game: the locks a run
// that writes holds (see platform/directory_lock.h).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/directory_lock.h"

struct Context;

inline constexpr std::string_view kLockFileName = "ravelin.lock";

// The lock of the process's working directory, for a whole run. None when another Ravelin holds it; the
// refusal then says so in one line. A folder where no lock file can be made (read-only) is not locked:
// the run goes on and fails where it writes, as before.
std::optional<DirectoryLock> lockWorkingDirectory(std::string& refusal);

// The lock of the game's mod folder ("res_mods", made when missing) for one install or uninstall. None,
// with the refusal in one line, when another Ravelin is installing into the same game.
std::optional<DirectoryLock> lockGameModFolder(const Context& context, std::string& refusal);

// Removes the temporary files a killed run left in the working directory, its atlas and icon folders and
// "backups/", logging how many. Only under the working directory's lock: another run's files would be
// in use.
void removeLeftTemporaryFiles(Context& context);

// The same for the game's folders Ravelin writes into (each ends in a separator), under the game's lock.
void removeLeftTemporaryFiles(Context& context, const std::vector<std::string>& gameFolders);
