#pragma once

struct Context;

// Asks for the game's installation directory until one holding a non-empty "WorldOfTanks.exe" is chosen,
// then stores it (with a trailing separator) in wotInstallDir and its client version in wotLastVersion.
// Giving up ends the program with a fatal error, so the result is always true.
bool selectInstallDirectory(Context& context);
