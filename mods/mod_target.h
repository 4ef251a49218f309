#pragma once

// Where the layer's work goes: the game it installs into and the working directory that keeps the record
// of what it installed, with the backups of what it replaced.

#include <string>

struct ModTarget {
    std::string gameDirectory;     // ends in the path separator
    std::string gameVersion;       // the client version the atlases were built for
    std::string workingDirectory;  // ends in the path separator
};
