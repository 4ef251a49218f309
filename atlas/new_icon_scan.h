#pragma once

#include <cstdint>
#include <string>

class Reporter;

// Counts the "*.png" files (any letter case, not directories) directly in the directory; 0 with an error
// reported when it is not an existing directory.
std::int32_t scanNewIcons(const std::string& directory, Reporter& reporter);
