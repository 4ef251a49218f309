#pragma once

// Choosing the game's installation directory and remembering it with its client version.

#include <string>

struct Context;

// Asks for the game's installation directory until one holding a non-empty "WorldOfTanks.exe" (or Lesta's
// "Tanki.exe") is chosen, then stores it (with a trailing separator) in wotInstallDir and its client version
// in wotLastVersion. Installations found in the context's places are offered first. Giving up ends the
// program with a fatal error.
void selectInstallDirectory(Context& context);

// The same for a directory named up front (ravelin-cli): one that is not a game directory is a fatal
// error whose text names the path and what is wrong with it.
void useInstallDirectory(Context& context, const std::string& directory);
