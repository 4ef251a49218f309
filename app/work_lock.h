#pragma once

// One Ravelin at a time in a working directory: the lock a run that writes holds (see
// platform/directory_lock.h; the game's own lock is mods/game_lock.h).

#include <optional>
#include <string>

#include "platform/directory_lock.h"

struct Context;

// The lock of the process's working directory, for a whole run. None when another Ravelin holds it; the
// refusal then says so in one line. A folder where no lock file can be made (read-only) is not locked:
// the run goes on and fails where it writes, as before.
std::optional<DirectoryLock> lockWorkingDirectory(std::string& refusal);

// Removes the temporary files a killed run left in the working directory, its atlas and icon folders and
// "backups/", logging how many. Only under the working directory's lock: another run's files would be
// in use.
void removeLeftTemporaryFiles(Context& context);
